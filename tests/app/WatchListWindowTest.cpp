#include "support/QStringPrinter.h"
#include "watch/WatchedList.h"

#include "app/WatchListWindow.h"
#include "watch/WatchListModel.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

class WatchListWindowTest : public WatchedList {
protected:
    void SetUp() override {
        WatchedList::SetUp();
        window = std::make_unique<WatchListWindow>(*monitor, store);
    }

    QStringList domains() {
        QStringList names;
        for (const WatchEntry& entry : monitor->entries())
            names << entry.domain;
        return names;
    }

    void selectRows(std::initializer_list<int> rows) {
        QItemSelectionModel* selection = window->view()->selectionModel();
        selection->clearSelection();
        for (int row : rows)
            selection->select(window->model().index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    template <typename T> T* child(const QString& name) {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    std::unique_ptr<WatchListWindow> window;
};

} // namespace

TEST_F(WatchListWindowTest, isASeparateWindowWithItsTitleButtonsAndView) {
    EXPECT_EQ(window->windowTitle(), u"关注列表"_s);
    EXPECT_EQ(window->objectName(), u"WatchListWindow"_s);
    EXPECT_TRUE(window->isWindow());
    EXPECT_FALSE(window->isModal());
    const QList<std::pair<QString, QString>> buttons = {{u"CheckNowButton"_s, u"立即检查"_s},
                                                        {u"RemoveButton"_s, u"移除"_s},
                                                        {u"AddButton"_s, u"添加..."_s},
                                                        {u"ExportButton"_s, u"导出为CSV..."_s}};
    for (const auto& [name, caption] : buttons) {
        auto* button = child<QPushButton>(name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), caption);
        EXPECT_EQ(button->accessibleName(), caption);
    }
    auto* view = child<QTableView>(u"WatchListView"_s);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(view->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(view->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(view->tabKeyNavigation());
}

TEST_F(WatchListWindowTest, closingHidesTheWindowAndDoesNotEndTheProgram) {
    // lastWindowClosed is only emitted while the application's own loop runs.
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    const bool quitOnLast = QGuiApplication::quitOnLastWindowClosed();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    QTimer::singleShot(0, window.get(), [this] {
        window->showAndRaise();
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->close());
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    });
    QCoreApplication::exec();
    QGuiApplication::setQuitOnLastWindowClosed(quitOnLast);

    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(lastClosed.size(), 0);
    window->showAndRaise();
    EXPECT_TRUE(window->isVisible()) << "the window can be shown again";
}

TEST_F(WatchListWindowTest, addedNamesAreWatchedAtOnceWithoutADate) {
    EXPECT_EQ(window->addNames(u"  A.example \r\n\n   \nb.example\na.example\n"_s), 2);
    EXPECT_EQ(domains(), (QStringList{u"a.example"_s, u"b.example"_s}));
    for (const WatchEntry& entry : monitor->entries()) {
        EXPECT_FALSE(entry.deletionDate.has_value());
        EXPECT_EQ(entry.state, WatchState::Watching);
    }
    EXPECT_EQ(asked, QStringList{u"a.example"_s}) << "the first name is checked at once";
    EXPECT_EQ(window->model().rowCount(), 2);
    EXPECT_EQ(window->model().text(1, WatchListModel::DeletionDate), QString());
    EXPECT_EQ(window->addNames(u"\n \n"_s), 0);
}

TEST_F(WatchListWindowTest, checkNowAndRemoveActOnTheSelectedRows) {
    window->addNames(u"a.example\nb.example\nc.example\nd.example"_s);
    answer(CheckVerdict::Registered);
    auto* checkNow = child<QPushButton>(u"CheckNowButton"_s);
    auto* remove = child<QPushButton>(u"RemoveButton"_s);
    ASSERT_TRUE(checkNow && remove);
    EXPECT_FALSE(checkNow->isEnabled()) << "nothing is selected";
    EXPECT_FALSE(remove->isEnabled());

    // Without the request b.example, the most overdue, would come next.
    selectRows({3});
    EXPECT_TRUE(checkNow->isEnabled());
    QTest::mouseClick(checkNow, Qt::LeftButton);
    advanceSeconds(2);
    EXPECT_EQ(asked, (QStringList{u"a.example"_s, u"d.example"_s}));
    answer(CheckVerdict::Registered);

    selectRows({1, 2});
    EXPECT_EQ(window->selectedNames(), (QStringList{u"b.example"_s, u"c.example"_s}));
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(domains(), (QStringList{u"a.example"_s, u"d.example"_s}));
    EXPECT_EQ(window->model().rowCount(), 2);
    EXPECT_EQ(store.loadAll().size(), 2);
    EXPECT_FALSE(remove->isEnabled()) << "the removed rows took the selection with them";
}

TEST_F(WatchListWindowTest, theIntervalBoxRangesFromHalfAMinuteToADayAndSetsTheMonitor) {
    auto* box = child<QSpinBox>(u"IntervalBox"_s);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->accessibleName(), u"检查间隔"_s);
    EXPECT_EQ(box->minimum(), 30);
    EXPECT_EQ(box->maximum(), 86400);
    EXPECT_EQ(box->value(), 600);
    EXPECT_FALSE(box->keyboardTracking()) << "each typed digit would move every planned check";

    box->setValue(45);
    EXPECT_EQ(monitor->interval(), 45s);
    EXPECT_EQ(store.interval(), 45s);

    // A window opened later shows the interval kept in the store.
    monitor->load();
    WatchListWindow again(*monitor, store);
    EXPECT_EQ(again.findChild<QSpinBox*>(u"IntervalBox"_s)->value(), 45);
}

TEST_F(WatchListWindowTest, exportWritesTheListOrSaysWhyItCouldNot) {
    window->addNames(u"a.example\nb.example"_s);
    const QString path = dir.filePath(u"watch.csv"_s);
    EXPECT_EQ(window->exportTo(path), QString());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray csv = file.readAll();
    EXPECT_EQ(csv, window->model().asCsv());
    EXPECT_TRUE(QString::fromUtf8(csv).contains(u"\r\nb.example,,正在关注,"_s));

    const QString missing = dir.filePath(u"no/such/folder/watch.csv"_s);
    EXPECT_FALSE(window->exportTo(missing).isEmpty());
    EXPECT_FALSE(QFile::exists(missing));
}
