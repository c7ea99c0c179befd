#include "support/QStringPrinter.h"
#include "watch/WatchedList.h"

#include "app/WatchListWindow.h"
#include "watch/WatchListModel.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardItemModel>
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
        window = makeWindow();
    }

    std::unique_ptr<WatchListWindow> makeWindow() {
        return std::make_unique<WatchListWindow>(*monitor, store, settingsPath);
    }

    // Names n000.example, n001.example, ... waiting for their deletion date, so none is checked.
    void watchNumberedNames(int count) {
        monitor->remove(domains());
        QList<WatchMonitor::NewName> names;
        for (int i = 0; i < count; ++i)
            names.append({numbered(i), QDate(2025, 4, 1).addDays(i % 7)});
        ASSERT_EQ(monitor->addMany(names), count);
    }

    static QString numbered(int i) { return u"n%1.example"_s.arg(i, 3, 10, QChar(u'0')); }

    QString nameInView(int viewRow) {
        return window->view()->model()->index(viewRow, 0).data().toString();
    }

    QString topNameInView() { return nameInView(window->view()->rowAt(0)); }

    QStringList domains() {
        QStringList names;
        for (const WatchEntry& entry : monitor->entries())
            names << entry.domain;
        return names;
    }

    void selectRows(const QList<int>& rows) {
        QItemSelectionModel* selection = window->view()->selectionModel();
        selection->clearSelection();
        for (int row : rows)
            selection->select(window->view()->model()->index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    template <typename T> T* child(const QString& name) {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    QString settingsPath = dir.filePath(u"morrowcatch.conf"_s);
    std::unique_ptr<WatchListWindow> window;
};

} // namespace

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

TEST_F(WatchListWindowTest, aHeaderClickSortsTheViewAndTheCommandsTakeTheRowsAsShown) {
    monitor->addMany({{u"a.example"_s, QDate(2025, 4, 3)},
                      {u"b.example"_s, QDate(2025, 4, 1)},
                      {u"c.example"_s, QDate(2025, 4, 4)},
                      {u"d.example"_s, QDate(2025, 4, 2)}});
    window->show();
    QHeaderView* header = window->view()->horizontalHeader();
    const QPoint dateHeader(header->sectionViewportPosition(WatchListModel::DeletionDate) + 5,
                            header->height() / 2);
    const auto shown = [this] {
        QString initials;
        for (int r = 0; r < 4; ++r)
            initials += nameInView(r).front();
        return initials;
    };
    for (const QString& afterClick : {u"bdac"_s, u"cadb"_s, u"abcd"_s, u"bdac"_s}) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, dateHeader);
        EXPECT_EQ(shown(), afterClick);
    }

    selectRows({0, 1});
    EXPECT_EQ(window->selectedNames(), (QStringList{u"b.example"_s, u"d.example"_s}));
    const QString path = dir.filePath(u"sorted.csv"_s);
    ASSERT_EQ(window->exportTo(path), QString());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString exported;
    for (const QByteArray& line : file.readAll().split('\n').mid(1, 4))
        exported += QLatin1Char(line.front());
    EXPECT_EQ(exported, shown()) << "the file has the rows as the view shows them";
}

TEST_F(WatchListWindowTest, removingRowsKeepsTheSelectionAndPlaceOfTheRowsThatRemain) {
    struct RemovalInView {
        const char* what;
        Qt::SortOrder order;
        int topRow; // -1: scrolled to the bottom
        QList<int> selected;
        QList<int> removed; // rows as shown
    };
    const QList<RemovalInView> cases = {
        {"at the bottom, the first row removed", Qt::AscendingOrder, -1, {198, 199}, {0}},
        {"rows removed above, in and below the view",
         Qt::AscendingOrder,
         100,
         {101, 105, 150},
         {10, 50, 51, 52, 103, 150}},
        {"the first row in view removed", Qt::AscendingOrder, 100, {99, 102}, {100}},
        {"sorted the other way, rows removed above",
         Qt::DescendingOrder,
         50,
         {55, 60},
         {0, 1, 2, 30}},
    };
    window->show();
    QTableView* view = window->view();
    for (const RemovalInView& c : cases) {
        SCOPED_TRACE(c.what);
        watchNumberedNames(200);
        view->sortByColumn(WatchListModel::Domain, c.order);
        QCoreApplication::processEvents();
        if (c.topRow < 0)
            view->scrollToBottom();
        else
            view->verticalScrollBar()->setValue(c.topRow);
        selectRows(c.selected);
        QStringList removed, selectedLeft;
        for (int row : c.removed)
            removed << nameInView(row);
        for (int row : c.selected) {
            if (!c.removed.contains(row))
                selectedLeft << nameInView(row);
        }
        int top = view->rowAt(0);
        while (c.removed.contains(top))
            ++top;
        const QString topLeft = nameInView(top);
        QSignalSpy reset(view->model(), &QAbstractItemModel::modelReset);

        monitor->remove(removed);
        QCoreApplication::processEvents();
        EXPECT_EQ(reset.size(), 0);
        EXPECT_EQ(topNameInView(), topLeft);
        if (c.topRow < 0) {
            EXPECT_EQ(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());
        }
        EXPECT_EQ(window->selectedNames(), selectedLeft);
    }
}

TEST_F(WatchListWindowTest, columnWidthsAndSortingComeBackInTheNextWindow) {
    struct WindowEnding {
        const char* what;
        bool closed; // else destroyed while still open, as when the program ends
        Qt::SortOrder order;
        QString firstShown;
    };
    const QList<WindowEnding> endings = {
        {"closed", true, Qt::DescendingOrder, u"b.example"_s},
        {"still open when the program ends", false, Qt::AscendingOrder, u"a.example"_s},
    };
    monitor->addMany({{u"a.example"_s, QDate(2025, 4, 1)}, {u"b.example"_s, QDate(2025, 4, 2)}});
    int width = 200;
    for (const WindowEnding& c : endings) {
        SCOPED_TRACE(c.what);
        window = makeWindow();
        window->show();
        window->view()->setColumnWidth(WatchListModel::Domain, ++width);
        window->view()->sortByColumn(WatchListModel::DeletionDate, c.order);
        if (c.closed)
            window->close();
        else
            window.reset();

        const std::unique_ptr<WatchListWindow> next = makeWindow();
        QHeaderView* header = next->view()->horizontalHeader();
        EXPECT_EQ(header->sectionSize(WatchListModel::Domain), width);
        EXPECT_EQ(header->sortIndicatorSection(), WatchListModel::DeletionDate);
        EXPECT_EQ(header->sortIndicatorOrder(), c.order);
        EXPECT_EQ(next->view()->model()->index(0, 0).data().toString(), c.firstShown)
            << "the rows are sorted, not only the header marked";
    }
    EXPECT_FALSE(QSettings(settingsPath, QSettings::IniFormat)
                     .value(u"watchListWindow/headerState"_s)
                     .toByteArray()
                     .isEmpty());
}

TEST_F(WatchListWindowTest, selectDomainSelectsTheNamesRowAndBringsItIntoView) {
    struct Selecting {
        const char* what;
        Qt::SortOrder order;
        bool shownFirst;
        QString asked;
        QString selected; // empty: the selection stays as it was
    };
    const QList<Selecting> cases = {
        {"far down the list", Qt::AscendingOrder, true, numbered(180), numbered(180)},
        {"sorted the other way", Qt::DescendingOrder, true, numbered(10), numbered(10)},
        {"while hidden, typed loosely", Qt::AscendingOrder, false, u" N150.Example "_s,
         numbered(150)},
        {"not watched", Qt::AscendingOrder, true, u"x.example"_s, QString()},
    };
    watchNumberedNames(200);
    for (const Selecting& c : cases) {
        SCOPED_TRACE(c.what);
        window = makeWindow();
        window->view()->sortByColumn(WatchListModel::Domain, c.order);
        if (c.shownFirst)
            window->show();
        selectRows({0});
        const QString before = nameInView(0);

        window->selectDomain(c.asked);
        window->show();
        const QString expected = c.selected.isEmpty() ? before : c.selected;
        EXPECT_EQ(window->selectedNames(), QStringList{expected});
        if (!c.selected.isEmpty()) {
            EXPECT_EQ(window->view()->currentIndex().data().toString(), expected);
        }
        QTableView* view = window->view();
        EXPECT_TRUE(view->viewport()->rect().contains(
            view->visualRect(view->selectionModel()->selectedRows().value(0)).center()));
    }
}

TEST_F(WatchListWindowTest, columnsSavedBeforeTheRegistryColumnKeepTheirWidthsAndShowIt) {
    // A header saved by the six-column window of the release before.
    QStandardItemModel sixColumns(0, 6);
    QTableView oldView;
    oldView.setModel(&sixColumns);
    oldView.setColumnWidth(0, 233);
    {
        QSettings settings(settingsPath, QSettings::IniFormat);
        settings.setValue(u"watchListWindow/headerState"_s,
                          oldView.horizontalHeader()->saveState());
    }
    monitor->add(u"a.example"_s);
    window = makeWindow();
    window->show();
    QHeaderView* header = window->view()->horizontalHeader();
    ASSERT_EQ(header->count(), WatchListModel::ColumnCount);
    EXPECT_FALSE(header->isSectionHidden(WatchListModel::Registry));
    EXPECT_GT(header->sectionSize(WatchListModel::Registry), 20);
    EXPECT_EQ(window->view()->model()->index(0, WatchListModel::Registry).data().toString(),
              u"无法查询"_s);
}
