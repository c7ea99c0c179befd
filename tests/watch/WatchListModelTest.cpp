#include "WatchedList.h"
#include "support/QStringPrinter.h"

#include "watch/WatchListModel.h"
#include "watch/WatchRules.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QSortFilterProxyModel>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

class WatchListModelTest : public WatchedList {
protected:
    void SetUp() override {
        WatchedList::SetUp();
        model = std::make_unique<WatchListModel>(*monitor, store);
        // Aborts the test on any breach of the model contract (rows announced wrongly, stale
        // counts between begin and end).
        tester = std::make_unique<QAbstractItemModelTester>(
            model.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    }

    QStringList rowTexts(int row) {
        QStringList texts;
        for (int c = 0; c < WatchListModel::ColumnCount; ++c)
            texts << model->index(row, c).data().toString();
        return texts;
    }

    QStringList domains() {
        QStringList names;
        for (int r = 0; r < model->rowCount(); ++r)
            names << model->index(r, WatchListModel::Domain).data().toString();
        return names;
    }

    QString stateTip(int row) {
        return model->index(row, WatchListModel::State).data(Qt::ToolTipRole).toString();
    }

    std::unique_ptr<WatchListModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

} // namespace

TEST_F(WatchListModelTest, showsItsColumnsWithDatesAndLocalTimes) {
    ASSERT_TRUE(monitor->add(u"Later.Example"_s, QDate(2025, 3, 5)));
    ASSERT_TRUE(monitor->add(u"free.example"_s));
    answer(CheckVerdict::Free);
    ASSERT_TRUE(monitor->add(u"open.example"_s));
    advanceSeconds(2);
    answer(CheckVerdict::Registered);
    advanceSeconds(28);
    answer(CheckVerdict::Free); // free.example's confirmation

    ASSERT_EQ(model->rowCount(), 3);
    // The date starts at local midnight; 12:00 UTC is 20:00 local.
    EXPECT_EQ(rowTexts(0), (QStringList{u"later.example"_s,
                                        u"2025-03-05"_s,
                                        u"等待删除"_s,
                                        {},
                                        u"2025-03-05 00:00:00"_s,
                                        u"0"_s,
                                        u"无法查询"_s}));
    EXPECT_EQ(rowTexts(1), (QStringList{u"free.example"_s,
                                        {},
                                        u"可以注册"_s,
                                        u"2025-03-01 20:00:30"_s,
                                        {},
                                        u"2"_s,
                                        u"无法查询"_s}));
    EXPECT_EQ(rowTexts(2), (QStringList{u"open.example"_s,
                                        {},
                                        u"正在关注"_s,
                                        u"2025-03-01 20:00:02"_s,
                                        u"2025-03-01 20:10:02"_s,
                                        u"1"_s,
                                        u"无法查询"_s}));
}

TEST_F(WatchListModelTest, rowsFollowTheMonitorsAddsChecksAndRemovals) {
    QSignalSpy inserted(model.get(), &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
    QSignalSpy reset(model.get(), &QAbstractItemModel::modelReset);

    monitor->addMany({{u"a.example"_s, {}}, {u"b.example"_s, {}}, {u"c.example"_s, {}}});
    EXPECT_EQ(domains(), (QStringList{u"a.example"_s, u"b.example"_s, u"c.example"_s}));
    ASSERT_EQ(inserted.size(), 1) << "one insertion for the names added together";
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[0][2].toInt(), 2);

    changed.clear();
    answer(CheckVerdict::Registered);
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].value<QModelIndex>().row(), 0);
    EXPECT_EQ(changed[0][1].value<QModelIndex>().row(), 0);
    EXPECT_EQ(model->index(0, WatchListModel::CheckCount).data().toString(), u"1"_s);

    monitor->remove({u"b.example"_s});
    EXPECT_EQ(domains(), (QStringList{u"a.example"_s, u"c.example"_s}));
    EXPECT_EQ(reset.size(), 0);
    EXPECT_EQ(model->index(1, WatchListModel::State).data().toString(), u"正在关注"_s);

    ASSERT_TRUE(monitor->add(u"d.example"_s));
    EXPECT_EQ(domains(), (QStringList{u"a.example"_s, u"c.example"_s, u"d.example"_s}));
}

TEST_F(WatchListModelTest, manyNamesAtOnceAndAReloadKeepEveryRow) {
    QList<WatchMonitor::NewName> names;
    for (int i = 0; i < 250; ++i)
        names.append({u"n%1.example"_s.arg(i), QDate(2025, 4, 1)});
    ASSERT_EQ(monitor->addMany(names), 250);
    ASSERT_EQ(model->rowCount(), 250);
    EXPECT_EQ(model->index(249, WatchListModel::Domain).data().toString(), u"n249.example"_s);

    monitor->load();
    EXPECT_EQ(model->rowCount(), 250);
    EXPECT_EQ(model->index(0, WatchListModel::DeletionDate).data().toString(), u"2025-04-01"_s);
}

TEST_F(WatchListModelTest, aNewIntervalUpdatesTheRowsWithoutResettingThem) {
    monitor->addMany({{u"a.example"_s, {}}, {u"b.example"_s, {}}});
    answer(CheckVerdict::Registered);
    QSignalSpy reset(model.get(), &QAbstractItemModel::modelReset);
    QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);

    monitor->setInterval(30min);
    EXPECT_EQ(reset.size(), 0) << "a reset would clear the user's selection";
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_EQ(model->index(0, WatchListModel::NextCheck).data().toString(),
              u"2025-03-01 20:30:00"_s);
}

TEST_F(WatchListModelTest, theStateTipListsTheLastChecksNewestFirstWithServerTextEscaped) {
    ASSERT_TRUE(monitor->add(u"a.example"_s));
    EXPECT_EQ(stateTip(0), u"<p style='white-space:pre'>尚未检查</p>"_s);
    answer(CheckVerdict::Registered, 200, u"<b>|210|</b>"_s);
    for (int i = 0; i < 5; ++i) {
        advanceSeconds(60);
        monitor->checkNow({u"a.example"_s});
        answer(i == 4 ? CheckVerdict::Free : CheckVerdict::NoVerdict, i == 0 ? 0 : 503,
               u"line %1"_s.arg(i));
    }
    const QString tip = stateTip(0);
    ASSERT_TRUE(tip.startsWith(u"<p style='white-space:pre'>"_s)) << tip.toStdString();
    const QStringList lines = tip.sliced(27, tip.size() - 27 - 4).split(u'\n');
    EXPECT_EQ(lines, (QStringList{u"2025-03-01 20:05:00  HTTP 503  未被注册---OK  line 4"_s,
                                  u"2025-03-01 20:04:00  HTTP 503  无结论  line 3"_s,
                                  u"2025-03-01 20:03:00  HTTP 503  无结论  line 2"_s,
                                  u"2025-03-01 20:02:00  HTTP 503  无结论  line 1"_s,
                                  u"2025-03-01 20:01:00  无回答  无结论  line 0"_s}));

    monitor->remove({u"a.example"_s});
    ASSERT_TRUE(monitor->add(u"b.example"_s));
    advanceSeconds(2);
    answer(CheckVerdict::Registered, 200, u"<b>|210|</b> & <script>x</script>"_s);
    const QString escaped = stateTip(0);
    EXPECT_TRUE(escaped.contains(u"已被注册  &lt;b&gt;|210|&lt;/b&gt; &amp; &lt;script&gt;"_s))
        << escaped.toStdString();
    EXPECT_FALSE(escaped.contains(u"<b>"_s));
    EXPECT_FALSE(model->index(0, WatchListModel::Domain).data(Qt::ToolTipRole).isValid())
        << "only the state has a tip";
}

TEST_F(WatchListModelTest, theCsvHasTheHeadersAndEveryRowAsShownWithFormulasDefused) {
    ASSERT_TRUE(monitor->add(u"a.example"_s, QDate(2025, 3, 5)));
    ASSERT_TRUE(monitor->add(u"=cmd.example"_s));
    answer(CheckVerdict::Registered);
    const QByteArray csv = model->asCsv();
    ASSERT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(QString::fromUtf8(csv.mid(3)),
              u"域名,删除日期,状态,上次检查,下次检查,检查次数,注册局\r\n"
              u"a.example,2025-03-05,等待删除,,2025-03-05 00:00:00,0,无法查询\r\n"
              u"'=cmd.example,,正在关注,2025-03-01 20:00:00,2025-03-01 20:10:00,1,无法查询\r\n"_s);
}

TEST_F(WatchListModelTest, removedNamesGoAsRowRangesFromTheLastWithoutAReset) {
    // Rows removed, and the ranges announced, in order; the list is n0 ... n7.
    const QList<std::pair<QList<int>, QList<std::pair<int, int>>>> cases = {
        {{3}, {{3, 3}}},
        {{0, 7}, {{7, 7}, {0, 0}}},
        {{0, 1, 4, 6, 7}, {{6, 7}, {4, 4}, {0, 1}}},
        {{0, 1, 2, 3, 4, 5, 6, 7}, {{0, 7}}},
    };
    for (const auto& [rows, expected] : cases) {
        monitor->remove(domains());
        QList<WatchMonitor::NewName> names;
        for (int i = 0; i < 8; ++i)
            names.append({u"n%1.example"_s.arg(i), QDate(2025, 4, 1)});
        monitor->addMany(names);
        QStringList removed, remaining;
        for (int i = 0; i < 8; ++i)
            (rows.contains(i) ? removed : remaining) << names[i].domain;
        const QPersistentModelIndex lastKept =
            model->index(int(domains().indexOf(remaining.value(remaining.size() - 1))), 2);
        QSignalSpy reset(model.get(), &QAbstractItemModel::modelReset);
        QSignalSpy announced(model.get(), &QAbstractItemModel::rowsRemoved);

        monitor->remove(removed);
        EXPECT_EQ(reset.size(), 0) << "a reset loses the view's selection and place";
        QList<std::pair<int, int>> ranges;
        for (const QList<QVariant>& signal : announced)
            ranges.append({signal[1].toInt(), signal[2].toInt()});
        EXPECT_EQ(ranges, expected);
        EXPECT_EQ(domains(), remaining);
        EXPECT_EQ(model->rowOf(removed.first()), -1);
        if (!remaining.isEmpty()) {
            EXPECT_EQ(lastKept.row(), remaining.size() - 1);
            EXPECT_EQ(lastKept.data().toString(), u"等待删除"_s) << "rows read the right entries";
            EXPECT_EQ(model->rowOf(remaining.last()), remaining.size() - 1);
        }
    }
}

TEST_F(WatchListModelTest, aListThatChangedOtherwiseIsReadAgainWhole) {
    monitor->addMany({{u"a.example"_s, {}}, {u"b.example"_s, {}}, {u"c.example"_s, {}}});
    // Another program changed the file: shorter, but with a name not seen before.
    ASSERT_EQ(store.remove({u"b.example"_s, u"c.example"_s}), 2);
    WatchEntry added;
    added.domain = u"d.example"_s;
    added.deletionDate = QDate(2025, 4, 2);
    added.addedAt = now;
    ASSERT_TRUE(store.add(added));
    QSignalSpy reset(model.get(), &QAbstractItemModel::modelReset);
    monitor->load();
    EXPECT_EQ(reset.size(), 1);
    EXPECT_EQ(rowTexts(1).mid(0, 2), (QStringList{u"d.example"_s, u"2025-04-02"_s}));
}

TEST_F(WatchListModelTest, theSortRoleOrdersDatesTimesStatesAndCountsByValue) {
    // m waits for a date; z is checked ten times, a minute apart; k thrice, then found free.
    ASSERT_TRUE(monitor->add(u"m.example"_s, QDate(2025, 3, 10)));
    const auto checks = [this](const QString& name, QList<CheckVerdict> verdicts) {
        ASSERT_TRUE(monitor->add(name));
        for (qsizetype i = 0; i < verdicts.size(); ++i) {
            if (i > 0)
                monitor->checkNow({name});
            answer(verdicts[i]);
            advanceSeconds(60);
        }
    };
    checks(u"z.example"_s, QList<CheckVerdict>(10, CheckVerdict::Registered));
    checks(u"k.example"_s, {CheckVerdict::Registered, CheckVerdict::Free, CheckVerdict::Free});
    ASSERT_EQ(rowTexts(2)[WatchListModel::State], u"可以注册"_s);

    QSortFilterProxyModel sorted;
    sorted.setSourceModel(model.get());
    sorted.setSortRole(WatchListModel::SortRole);
    // Each order differs from that of the texts; empty cells come last.
    const QList<std::tuple<WatchListModel::Column, Qt::SortOrder, QString>> cases = {
        {WatchListModel::DeletionDate, Qt::AscendingOrder, u"mzk"_s},
        {WatchListModel::State, Qt::AscendingOrder, u"mzk"_s},
        {WatchListModel::LastCheck, Qt::AscendingOrder, u"zkm"_s},
        {WatchListModel::NextCheck, Qt::AscendingOrder, u"zmk"_s},
        {WatchListModel::CheckCount, Qt::AscendingOrder, u"mkz"_s},
        {WatchListModel::CheckCount, Qt::DescendingOrder, u"zkm"_s},
    };
    for (const auto& [column, order, expected] : cases) {
        SCOPED_TRACE(WatchListModel::header(column).toStdString());
        sorted.sort(-1);
        sorted.sort(column, order);
        QString initials;
        for (int r = 0; r < sorted.rowCount(); ++r)
            initials += sorted.index(r, WatchListModel::Domain).data().toString().front();
        EXPECT_EQ(initials, expected);
    }
}

TEST_F(WatchListModelTest, aCaughtNamesTipSaysWhenItWasFoundRegisteredAgain) {
    ASSERT_TRUE(monitor->add(u"a.example"_s));
    answer(CheckVerdict::Free);
    advanceSeconds(30);
    answer(CheckVerdict::Free);
    // Found registered at 20:01:30, then checked by the user six times more.
    for (int i = 0; i < 7; ++i) {
        advanceSeconds(60);
        monitor->checkNow({u"a.example"_s});
        answer(i % 2 ? CheckVerdict::NoVerdict : CheckVerdict::Registered);
    }
    EXPECT_EQ(rowTexts(0), (QStringList{u"a.example"_s,
                                        {},
                                        u"已被抢注"_s,
                                        u"2025-03-01 20:07:30"_s,
                                        {},
                                        u"9"_s,
                                        u"无法查询"_s}));
    const QStringList lines = stateTip(0).split(u'\n');
    ASSERT_EQ(lines.size(), 1 + WatchListModel::kChecksInTip);
    EXPECT_EQ(lines[0], u"<p style='white-space:pre'>发现已被抢注：2025-03-01 20:01:30"_s);
    EXPECT_TRUE(lines[1].startsWith(u"2025-03-01 20:07:30"_s)) << lines[1].toStdString();
}
