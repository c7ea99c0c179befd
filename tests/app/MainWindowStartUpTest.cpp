#include "MainWindowFixture.h"

#include "app/Maker.h"
#include "app/TrayTip.h"
#include "search/CriteriaLists.h"

#include <QHeaderView>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList entries(const QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

} // namespace

TEST(MainWindowStartUp, opensWithEveryCriterionAtItsDefault) {
    MainWindow form(testConfig());
    EXPECT_TRUE(control<QRadioButton>(form, "Option1(0)")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(form, "Option2(0)")->isChecked());
    const char* checked[] = {"Check1(0)", "Check1(1)", "Check3(1)", "Check3(2)"};
    const char* clear[] = {"Check1(2)", "Check2(0)", "Check2(1)", "Check2(2)", "Check2(3)",
                           "Check2(4)", "Check2(5)", "Check3(0)", "Check3(3)"};
    for (const char* name : checked)
        EXPECT_TRUE(control<QCheckBox>(form, name)->isChecked()) << name;
    for (const char* name : clear)
        EXPECT_FALSE(control<QCheckBox>(form, name)->isChecked()) << name;
    EXPECT_EQ(control<QLineEdit>(form, "Text2(0)")->text(), QStringLiteral("1"));
    EXPECT_EQ(control<QLineEdit>(form, "Text2(1)")->text(), QStringLiteral("3"));
    EXPECT_TRUE(control<QLineEdit>(form, "Text1")->text().isEmpty());
    EXPECT_TRUE(control<QLineEdit>(form, "Text4")->text().isEmpty());
    EXPECT_EQ(control<QComboBox>(form, "Combo1")->currentText(), QStringLiteral("全部拼音"));
    EXPECT_EQ(control<QComboBox>(form, "Combo2")->currentText(), QStringLiteral("Delete"));
    EXPECT_EQ(control<QComboBox>(form, "Combo3")->currentText(), QStringLiteral("已经删除"));
    EXPECT_EQ(
        entries(control<QComboBox>(form, "Combo1")),
        (QStringList{QStringLiteral("全部拼音"), QStringLiteral("单拼音"), QStringLiteral("双拼音"),
                     QStringLiteral("三拼音"), QStringLiteral("四拼音")}));
    EXPECT_EQ(entries(control<QComboBox>(form, "Combo2")),
              (QStringList{QStringLiteral("----全部----"), QStringLiteral("Delete"),
                           QStringLiteral("Pre-Release")}));
    for (const char* name : {"Combo1", "Combo2", "Combo3"})
        EXPECT_FALSE(control<QComboBox>(form, name)->isEditable()) << name;
    for (const char* name : {"Command1", "Command2", "Command3", "Command4", "Command5"})
        EXPECT_TRUE(control<QPushButton>(form, name)->property("Tag").toString().isEmpty());
}

TEST(MainWindowStartUp, theTwoOptionGroupsAreIndependent) {
    MainWindow form(testConfig());
    auto* left = control<QRadioButton>(form, "Option1(1)");
    auto* byDate = control<QRadioButton>(form, "Option2(3)");
    QTest::mouseClick(byDate, Qt::LeftButton);
    EXPECT_TRUE(byDate->isChecked());
    EXPECT_TRUE(control<QRadioButton>(form, "Option1(0)")->isChecked());
    QTest::mouseClick(left, Qt::LeftButton);
    EXPECT_TRUE(left->isChecked());
    EXPECT_FALSE(control<QRadioButton>(form, "Option1(0)")->isChecked());
    EXPECT_TRUE(byDate->isChecked());
    EXPECT_FALSE(control<QRadioButton>(form, "Option2(0)")->isChecked());
}

TEST(MainWindowStartUp, tabMovesInTabIndexOrderAcrossContainersStoppingAtSelectedOptions) {
    MainWindow form(testConfig());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 22; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    const QStringList expected{
        QStringLiteral("Text1"),     QStringLiteral("Text2(0)"),   QStringLiteral("Text2(1)"),
        QStringLiteral("Check1(0)"), QStringLiteral("Check1(1)"),  QStringLiteral("Check1(2)"),
        QStringLiteral("Check2(0)"), QStringLiteral("Check2(1)"),  QStringLiteral("Check2(2)"),
        QStringLiteral("Check2(3)"), QStringLiteral("Check2(4)"),  QStringLiteral("Check2(5)"),
        QStringLiteral("Combo1"),    QStringLiteral("Option2(0)"), QStringLiteral("Check3(0)"),
        QStringLiteral("Check3(1)"), QStringLiteral("Check3(2)"),  QStringLiteral("Check3(3)"),
        QStringLiteral("Combo2"),    QStringLiteral("Combo3"),     QStringLiteral("ListView1"),
        QStringLiteral("Command1"),  QStringLiteral("Option1(0)")};
    EXPECT_EQ(visited, expected);
    const QStringList tail{QStringLiteral("Command2"), QStringLiteral("Command3"),
                           QStringLiteral("Command4"), QStringLiteral("Text4"),
                           QStringLiteral("Command5")};
    for (const QString& name : tail) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), name);
    }
}

TEST(MainWindowStartUp, tabAndShiftTabLeaveAResultListThatHasRows) {
    MainWindow form(testConfig());
    for (int i = 0; i < 3; ++i) {
        ResultRow row;
        row.cells[ResultListModel::Domain] = QStringLiteral("r%1.com").arg(i);
        form.rows().appendRow(std::move(row));
    }
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    auto* list = control<QTableView>(form, "ListView1");
    list->setFocus();
    list->setCurrentIndex(form.rows().index(0, 0));
    ASSERT_EQ(QApplication::focusWidget(), list);

    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->currentIndex().row(), 1) << "arrow keys still move within the list";
    QTest::keyClick(list, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("Command1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    ASSERT_EQ(QApplication::focusWidget(), list);
    QTest::keyClick(list, Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("Combo3"));
}

TEST(MainWindowStartUp, dateListSpansMonthYearAndLeapDayEndsWithZeroPadding) {
    EXPECT_EQ(CriteriaLists::deletionDateChoices(QDate(2027, 1, 2)).mid(7),
              (QStringList{QStringLiteral("2027-01-01"), QStringLiteral("2026-12-31"),
                           QStringLiteral("2026-12-30"), QStringLiteral("2026-12-29"),
                           QStringLiteral("2026-12-28")}));
    EXPECT_EQ(CriteriaLists::deletionDateChoices(QDate(2028, 2, 27)).mid(1, 5),
              (QStringList{QStringLiteral("2028-03-02"), QStringLiteral("2028-03-01"),
                           QStringLiteral("2028-02-29"), QStringLiteral("2028-02-28"),
                           QStringLiteral("2028-02-27")}));

    MainWindow form(testConfig(QStringLiteral("http://127.0.0.1:9"), QDate(2026, 12, 8)));
    EXPECT_EQ(entries(control<QComboBox>(form, "Combo3")),
              (QStringList{QStringLiteral("即将删除"), QStringLiteral("2026-12-12"),
                           QStringLiteral("2026-12-11"), QStringLiteral("2026-12-10"),
                           QStringLiteral("2026-12-09"), QStringLiteral("2026-12-08"),
                           QStringLiteral("已经删除"), QStringLiteral("2026-12-07"),
                           QStringLiteral("2026-12-06"), QStringLiteral("2026-12-05"),
                           QStringLiteral("2026-12-04"), QStringLiteral("2026-12-03")}));
    EXPECT_EQ(CriteriaLists::dateEntry(QDate(2027, 1, 5)), QStringLiteral("2027-01-05"));
}

TEST(MainWindowStartUp, resultListHasSixColumnsNoRowsAndSelectsWholeRowsWithoutEditing) {
    MainWindow form(testConfig());
    auto* view = control<QTableView>(form, "ListView1");
    ASSERT_EQ(view->model()->columnCount(), 6);
    EXPECT_EQ(view->model()->rowCount(), 0);
    const int widthsInPixels[] = {40, 106, 80, 86, 93, 126};
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(view->columnWidth(c), widthsInPixels[c]) << c;
    EXPECT_TRUE(view->showGrid());
    EXPECT_EQ(view->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(view->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(view->isSortingEnabled());

    ResultRow row;
    row.cells[ResultListModel::Number] = QStringLiteral("1");
    row.cells[ResultListModel::Domain] = QStringLiteral("ab88.com");
    form.rows().appendRow(row);
    form.show();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(0, 0)).center());
    EXPECT_EQ(view->selectionModel()->selectedIndexes().size(), 6);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {},
                       view->visualRect(view->model()->index(0, 0)).center());
    EXPECT_EQ(view->indexWidget(view->model()->index(0, 0)), nullptr);
    EXPECT_EQ(form.rows().cell(0, ResultListModel::Number), QStringLiteral("1"));
}

TEST(MainWindowStartUp, statusBarShowsReadyAndTheMakerInFixedPlainTextPanels) {
    MainWindow form(testConfig());
    auto* first = control<QLabel>(form, "StatusBar1.Panel1");
    auto* second = control<QLabel>(form, "StatusBar1.Panel2");
    EXPECT_EQ(first->text(), QStringLiteral("状态：准备就绪"));
    EXPECT_EQ(second->text(), Maker::kInformation);
    EXPECT_EQ(first->width(), 272);
    EXPECT_EQ(second->width(), 493);
    EXPECT_EQ(first->textFormat(), Qt::PlainText);
    form.status().setText(QStringLiteral("<b>状态：x</b>"));
    EXPECT_EQ(first->text(), QStringLiteral("<b>状态：x</b>"));
    EXPECT_EQ(first->textFormat(), Qt::PlainText);
    EXPECT_EQ(second->text(), Maker::kInformation);
}

TEST(MainWindowStartUp, captionIsTitleVersionDashesAndCreditAndTheTipIsItCutToFit) {
    MainWindow form(testConfig());
    const QString caption = form.windowTitle();
    EXPECT_TRUE(caption.startsWith(QStringLiteral("Morrowcatch1.2——")));
    EXPECT_TRUE(caption.endsWith(Maker::kCredit));
    EXPECT_FALSE(caption.contains(u' '));
    ASSERT_NE(form.trayIcon(), nullptr);
    const QString tip = form.trayIcon()->toolTip();
    EXPECT_TRUE(caption.startsWith(tip));
    EXPECT_LE(tip.toUtf8().size(), kTrayTipBytes);
    EXPECT_GT(tip.toUtf8().size(), kTrayTipBytes - 4) << "cut no shorter than it must be";
}

TEST(TrayTip, cutsAtCharacterBoundariesNeverInsideOne) {
    EXPECT_EQ(TrayTipFor(QStringLiteral("abc"), 3), QStringLiteral("abc"));
    EXPECT_EQ(TrayTipFor(QStringLiteral("ab中"), 4), QStringLiteral("ab"));
    EXPECT_EQ(TrayTipFor(QStringLiteral("ab中"), 5), QStringLiteral("ab中"));
    const QString withEmoji = QStringLiteral("a") + QString::fromUcs4(U"\U0001F600") + u'b';
    EXPECT_EQ(TrayTipFor(withEmoji, 4), QStringLiteral("a"));
    EXPECT_EQ(TrayTipFor(withEmoji, 5), withEmoji.left(3));
    EXPECT_EQ(TrayTipFor(QString(), 63), QString());
}

TEST(MainWindowStartUp, windowIsFixedSizeWithControlsAtTheirDesignedPlaces) {
    MainWindow form(testConfig());
    EXPECT_EQ(form.size(), QSize(818, 541));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(control<QPushButton>(form, "Command1")->geometry(), QRect(8, 8, 73, 33));
    EXPECT_EQ(control<QPushButton>(form, "Command4")->geometry(), QRect(200, 8, 89, 33));
    EXPECT_EQ(control<QTableView>(form, "ListView1")->geometry(), QRect(272, 53, 545, 468));
    EXPECT_EQ(control<QWidget>(form, "Frame2")->parentWidget()->objectName(),
              QStringLiteral("Frame1"));
    EXPECT_EQ(control<QRadioButton>(form, "Option1(3)")->geometry(), QRect(168, 16, 57, 17));
    EXPECT_EQ(control<QPushButton>(form, "Command5")->parentWidget()->objectName(),
              QStringLiteral("Frame3"));
    EXPECT_EQ(control<QStatusBar>(form, "StatusBar1")->geometry(), QRect(0, 524, 818, 17));
    EXPECT_EQ(control<QLabel>(form, "Label1(3)")->text(), QStringLiteral("->"));
    EXPECT_EQ(control<QCheckBox>(form, "Check2(1)")->accessibleName(),
              QStringLiteral("AABB/ABAB/ABBA型"));
}

TEST(MainWindowStartUp, textBoxesTakeTextsLongerThanTheUsualCap) {
    MainWindow form(testConfig());
    const QString longName(40000, u'a');
    auto* box = control<QLineEdit>(form, "Text4");
    box->setText(longName);
    EXPECT_EQ(box->text().size(), 40000);
}
