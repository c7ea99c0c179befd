// The watch list's seventh column: the registry's last word on each name, its tooltip, its
// order when sorted and its place in the CSV export.
#include "FakeRegistry.h"
#include "WatchedList.h"
#include "support/QStringPrinter.h"

#include "watch/WatchListModel.h"

#include <QSortFilterProxyModel>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct ColumnCase {
    QString domain;
    RegistryVerdict verdict;
    NoVerdictReason reason;
    QString text;
    QString tip; // between the paragraph's tags
};

const QString kTipStart = u"<p style='white-space:pre'>"_s;

// 12:00 UTC is 20:00 local: every time is shown in local time.
const QList<ColumnCase> kCases = {
    {u"held.example"_s, RegistryVerdict::Held, NoVerdictReason::None, u"已注册"_s,
     u"状态：client transfer prohibited, &lt;b&gt;x&lt;/b&gt; &amp;\n到期日期：2026-01-02\n"
     "注册局回答时间：2025-03-01 20:00:07"_s},
    {u"redemption.example"_s, RegistryVerdict::HeldInRedemption, NoVerdictReason::None, u"赎回期"_s,
     u"状态：redemption period\n注册局回答时间：2025-03-01 20:00:07"_s},
    {u"pending.example"_s, RegistryVerdict::HeldPendingDelete, NoVerdictReason::None, u"待删除"_s,
     u"状态：pending delete\n注册局回答时间：2025-03-01 20:00:07"_s},
    {u"free.example"_s, RegistryVerdict::NotHeld, NoVerdictReason::None, u"未注册"_s,
     u"注册局回答时间：2025-03-01 20:00:07"_s},
    {u"unreachable.example"_s, RegistryVerdict::NoVerdict, NoVerdictReason::Unreachable,
     u"无法查询"_s, u"无法查询：注册局没有回答\n注册局回答时间：2025-03-01 20:00:07"_s},
    {u"unknown.example"_s, RegistryVerdict::NoVerdict, NoVerdictReason::UnknownRegistry,
     u"无法查询"_s, u"无法查询：不知道该域名的注册局\n注册局回答时间：2025-03-01 20:00:07"_s},
};

class WatchListRegistryColumn : public WatchedList {
protected:
    void SetUp() override {
        WatchedList::SetUp();
        registries.attach(*monitor);
        model = std::make_unique<WatchListModel>(*monitor, store);
        monitor->setHeld(true);
        QList<WatchMonitor::NewName> names;
        for (const ColumnCase& c : kCases)
            names.append({c.domain, {}});
        names.append({u"never.example"_s, {}});
        monitor->addMany(names);
        monitor->setHeld(false);
        // Each check asks the registry; the checks go in the list's order, a second apart.
        for (qsizetype i = 0; i < names.size(); ++i) {
            answer(CheckVerdict::Registered);
            advanceSeconds(1);
        }
        ASSERT_EQ(registries.asked.size(), names.size());
        for (const ColumnCase& c : kCases) {
            RegistryResult result = FakeRegistry::result(c.verdict, c.reason);
            if (c.verdict == RegistryVerdict::Held) {
                result.statuses = {u"client transfer prohibited"_s, u"<b>x</b> &"_s};
                result.events.expiration = QDateTime(QDate(2026, 1, 1), QTime(20, 0), Qt::UTC);
            } else if (c.verdict != RegistryVerdict::NotHeld &&
                       c.verdict != RegistryVerdict::NoVerdict) {
                result.statuses = {c.verdict == RegistryVerdict::HeldInRedemption
                                       ? u"redemption period"_s
                                       : u"pending delete"_s};
            }
            registries.answer(result);
        }
    }

    QString cell(const QString& domain, int role = Qt::DisplayRole) {
        return model->index(model->rowOf(domain), WatchListModel::Registry).data(role).toString();
    }

    FakeRegistry registries;
    std::unique_ptr<WatchListModel> model;
};

} // namespace

TEST_F(WatchListRegistryColumn, eachVerdictHasItsTextAndItsTipEscaped) {
    for (const ColumnCase& c : kCases) {
        SCOPED_TRACE(c.domain.toStdString());
        EXPECT_EQ(cell(c.domain), c.text);
        EXPECT_EQ(cell(c.domain, Qt::ToolTipRole), kTipStart + c.tip + u"</p>"_s);
    }
    EXPECT_EQ(cell(u"never.example"_s), u"无法查询"_s) << "no verdict yet";
    EXPECT_EQ(cell(u"never.example"_s, Qt::ToolTipRole), kTipStart + u"尚未查询注册局</p>"_s);
}

TEST_F(WatchListRegistryColumn, theColumnSurvivesARestart) {
    WatchStore reopened;
    ASSERT_TRUE(reopened.open(dir.filePath(u"watchlist.sqlite"_s)).usable());
    WatchMonitor again(
        reopened, [](const QString&, WatchMonitor::CheckDone) {}, [this] { return now; });
    again.setHeld(true);
    again.load();
    WatchListModel shown(again, reopened);
    for (const ColumnCase& c : kCases) {
        SCOPED_TRACE(c.domain.toStdString());
        const QModelIndex index = shown.index(shown.rowOf(c.domain), WatchListModel::Registry);
        EXPECT_EQ(index.data().toString(), c.text);
        EXPECT_EQ(index.data(Qt::ToolTipRole).toString(), kTipStart + c.tip + u"</p>"_s);
    }
}

TEST_F(WatchListRegistryColumn, sortsFromNotHeldToHeldThenThoseWithoutAVerdict) {
    QSortFilterProxyModel sorted;
    sorted.setSourceModel(model.get());
    sorted.setSortRole(WatchListModel::SortRole);
    sorted.sort(WatchListModel::Registry, Qt::AscendingOrder);
    QStringList order;
    for (int r = 0; r < sorted.rowCount(); ++r)
        order << sorted.index(r, WatchListModel::Domain).data().toString();
    ASSERT_EQ(order.size(), 7);
    EXPECT_EQ(order.mid(0, 4), (QStringList{u"free.example"_s, u"pending.example"_s,
                                            u"redemption.example"_s, u"held.example"_s}));
    QStringList rest = order.mid(4);
    rest.sort();
    EXPECT_EQ(rest,
              (QStringList{u"never.example"_s, u"unknown.example"_s, u"unreachable.example"_s}));
}

TEST_F(WatchListRegistryColumn, theCsvCarriesTheColumn) {
    const QStringList lines = QString::fromUtf8(model->asCsv()).split(u"\r\n"_s);
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(u",注册局"_s)) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(u"held.example,"_s)) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith(u",已注册"_s)) << lines[1].toStdString();
}
