#pragma once

#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTableView;
class QWidget;

// Every control of the main window, under the names the rest of the program uses. Each
// widget's objectName is the same name, array members with their index: "Check1(0)".
struct Form1Controls {
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QLabel* Image1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QWidget* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QTableView* ListView1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, 3> statusPanels{};

    std::array<QLabel*, 11> Label1{};
    QLabel* Label2 = nullptr;
    QLineEdit* Text1 = nullptr;
    std::array<QLineEdit*, 2> Text2{};
    QLineEdit* Text4 = nullptr;
    std::array<QCheckBox*, 3> Check1{};
    std::array<QCheckBox*, 6> Check2{};
    std::array<QCheckBox*, 4> Check3{};
    std::array<QRadioButton*, 4> Option1{};
    std::array<QRadioButton*, 5> Option2{};
    QButtonGroup* option1Group = nullptr;
    QButtonGroup* option2Group = nullptr;
    QComboBox* Combo1 = nullptr;
    QComboBox* Combo2 = nullptr;
    QComboBox* Combo3 = nullptr;
};

// The window's design: kinds, captions, places (twips at 15 per pixel), tab order and initial
// states. Fixed at build time; nothing moves or resizes a control afterwards.
Form1Controls BuildForm1Controls(QWidget* form);

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int pixels(int twips) {
    return twips / kTwipsPerPixel;
}
