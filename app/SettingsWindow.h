#pragma once

#include "app/SettingsFile.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// "设置": the settings file's keys, checked as the file's reading checks them, and written back
// with the rest of the file kept. Service addresses take effect at once; registry settings when
// the program next starts, as the window says.
class SettingsWindow : public QDialog {
    Q_OBJECT
public:
    explicit SettingsWindow(QString path, QWidget* parent = nullptr);

    // Reads the file again and shows its values and what was wrong in it.
    void load();
    void showAndRaise();
    // Checks the values and writes them; false, with the reason shown, when it could not.
    bool save();

signals:
    void saved(const SettingsValues& values);

private:
    QString m_path;
    QLineEdit* m_listBase;
    QLineEdit* m_checkBase;
    QLineEdit* m_bootstrap;
    QLineEdit* m_whois;
    QSpinBox* m_spacing;
    QCheckBox* m_enabled;
    QLabel* m_problems;
};
