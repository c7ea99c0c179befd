#include "app/Form1Controls.h"

#include "app/BusyGuard.h"
#include "app/Form1Design.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableView>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

constexpr int kDesignPanelTwips = 1440;

QWidget* createControl(const ControlDesign& design, QWidget* parent) {
    const QString caption = QString::fromUtf16(design.caption);
    switch (design.kind) {
    case ControlKind::CommandButton: {
        auto* button = new QPushButton(caption, parent);
        button->setAutoDefault(false);
        return button;
    }
    case ControlKind::Image: {
        auto* image = new QLabel(parent);
        image->setScaledContents(true);
        return image;
    }
    case ControlKind::Frame:
        return new QGroupBox(caption, parent);
    case ControlKind::BorderlessFrame:
        return new QWidget(parent);
    case ControlKind::ListView:
        return new QTableView(parent);
    case ControlKind::StatusBar: {
        auto* bar = new QStatusBar(parent);
        bar->setSizeGripEnabled(false);
        // The bar's own design-time panel; start-up inserts the two working panels before it.
        auto* designPanel = new QLabel(bar);
        designPanel->setObjectName(QStringLiteral("StatusBar1.Panel"));
        designPanel->setFixedWidth(pixels(kDesignPanelTwips));
        bar->addWidget(designPanel);
        return bar;
    }
    case ControlKind::Label: {
        auto* label = new QLabel(caption, parent);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case ControlKind::TextBox: {
        auto* box = new QLineEdit(caption, parent);
        box->setMaxLength(std::numeric_limits<int>::max());
        return box;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(caption, parent);
        box->setChecked(design.initiallyOn);
        return box;
    }
    case ControlKind::OptionButton:
        return new QRadioButton(caption, parent);
    case ControlKind::DropDownList: {
        auto* list = new QComboBox(parent);
        list->setEditable(false);
        return list;
    }
    }
    return nullptr;
}

template <typename T> T* as(const QHash<QString, QWidget*>& byName, const QString& name) {
    auto* widget = qobject_cast<T*>(byName.value(name));
    Q_ASSERT_X(widget, "BuildForm1Controls", "a control of the design is missing");
    return widget;
}

template <typename T, size_t N>
void collect(std::array<T*, N>& into, const QHash<QString, QWidget*>& byName,
             const QString& arrayName) {
    for (size_t i = 0; i < N; ++i)
        into[i] = as<T>(byName, arrayName + u'(' + QString::number(i) + u')');
}

// Inputs without a caption of their own are named after the caption that stands beside them.
void nameInputsForAssistiveTools(const Form1Controls& c) {
    c.Text1->setAccessibleName(c.Label1[0]->text());
    c.Text2[0]->setAccessibleName(c.Label1[2]->text());
    c.Text2[1]->setAccessibleName(c.Label1[2]->text() + c.Label1[3]->text());
    c.Combo1->setAccessibleName(c.Check2[0]->text());
    c.Combo2->setAccessibleName(c.Label1[9]->text());
    c.Combo3->setAccessibleName(c.Label1[10]->text());
    c.Text4->setAccessibleName(c.Label2->text());
    c.Label1[0]->setBuddy(c.Text1);
    c.Label1[2]->setBuddy(c.Text2[0]);
    c.Label1[9]->setBuddy(c.Combo2);
    c.Label1[10]->setBuddy(c.Combo3);
    c.Label2->setBuddy(c.Text4);
}

} // namespace

Form1Controls BuildForm1Controls(QWidget* form) {
    QHash<QString, QWidget*> byName;
    std::vector<std::pair<int, QWidget*>> tabStops;
    QHash<Container, QWidget*> containers{{Container::Form, form}};

    for (const ControlDesign& design : Form1Design()) {
        QWidget* widget = createControl(design, containers.value(design.container));
        const QString name = QString::fromUtf16(design.name);
        widget->setObjectName(name);
        widget->setGeometry(pixels(design.left), pixels(design.top), pixels(design.width),
                            pixels(design.height));
        if (design.kind == ControlKind::Label)
            widget->adjustSize();
        const QString caption = QString::fromUtf16(design.caption);
        if (!caption.isEmpty() && design.kind != ControlKind::TextBox)
            widget->setAccessibleName(caption);
        if (name == QStringLiteral("Frame1"))
            containers.insert(Container::Frame1, widget);
        else if (name == QStringLiteral("Frame2"))
            containers.insert(Container::Frame2, widget);
        else if (name == QStringLiteral("Frame3"))
            containers.insert(Container::Frame3, widget);
        if (design.tabIndex >= 0 && widget->focusPolicy() != Qt::NoFocus)
            tabStops.emplace_back(design.tabIndex, widget);
        byName.insert(name, widget);
    }

    Form1Controls c;
    c.Command1 = as<QPushButton>(byName, QStringLiteral("Command1"));
    c.Command2 = as<QPushButton>(byName, QStringLiteral("Command2"));
    c.Command3 = as<QPushButton>(byName, QStringLiteral("Command3"));
    c.Command4 = as<QPushButton>(byName, QStringLiteral("Command4"));
    c.Command5 = as<QPushButton>(byName, QStringLiteral("Command5"));
    c.Image1 = as<QLabel>(byName, QStringLiteral("Image1"));
    c.Frame1 = as<QGroupBox>(byName, QStringLiteral("Frame1"));
    c.Frame2 = byName.value(QStringLiteral("Frame2"));
    c.Frame3 = as<QGroupBox>(byName, QStringLiteral("Frame3"));
    c.ListView1 = as<QTableView>(byName, QStringLiteral("ListView1"));
    c.StatusBar1 = as<QStatusBar>(byName, QStringLiteral("StatusBar1"));
    collect(c.Label1, byName, QStringLiteral("Label1"));
    c.Label2 = as<QLabel>(byName, QStringLiteral("Label2"));
    c.Text1 = as<QLineEdit>(byName, QStringLiteral("Text1"));
    collect(c.Text2, byName, QStringLiteral("Text2"));
    c.Text4 = as<QLineEdit>(byName, QStringLiteral("Text4"));
    collect(c.Check1, byName, QStringLiteral("Check1"));
    collect(c.Check2, byName, QStringLiteral("Check2"));
    collect(c.Check3, byName, QStringLiteral("Check3"));
    collect(c.Option1, byName, QStringLiteral("Option1"));
    collect(c.Option2, byName, QStringLiteral("Option2"));
    c.Combo1 = as<QComboBox>(byName, QStringLiteral("Combo1"));
    c.Combo2 = as<QComboBox>(byName, QStringLiteral("Combo2"));
    c.Combo3 = as<QComboBox>(byName, QStringLiteral("Combo3"));

    // Two independent groups: each keeps exactly one button selected.
    c.option1Group = new QButtonGroup(c.Frame2);
    for (size_t i = 0; i < c.Option1.size(); ++i)
        c.option1Group->addButton(c.Option1[i], static_cast<int>(i));
    c.option2Group = new QButtonGroup(c.Frame1);
    for (size_t i = 0; i < c.Option2.size(); ++i)
        c.option2Group->addButton(c.Option2[i], static_cast<int>(i));
    // Tab stops only at the selected button of a group; the arrow keys move within it.
    for (QButtonGroup* group : {c.option1Group, c.option2Group}) {
        for (QAbstractButton* button : group->buttons())
            button->setFocusPolicy(Qt::ClickFocus);
        QObject::connect(group, &QButtonGroup::buttonToggled, group,
                         [](QAbstractButton* button, bool checked) {
                             button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
                         });
    }
    for (const ControlDesign& design : Form1Design()) {
        if (design.kind == ControlKind::OptionButton && design.initiallyOn)
            as<QRadioButton>(byName, QString::fromUtf16(design.name))->setChecked(true);
    }

    for (QPushButton* button : {c.Command1, c.Command2, c.Command3, c.Command4, c.Command5})
        button->setProperty(kTagProperty, QString());

    std::stable_sort(tabStops.begin(), tabStops.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 1; i < tabStops.size(); ++i)
        QWidget::setTabOrder(tabStops[i - 1].second, tabStops[i].second);

    nameInputsForAssistiveTools(c);
    return c;
}
