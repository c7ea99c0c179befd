#include "RequestLog.h"
#include "RowAccounting.h"
#include "SoakDataSet.h"
#include "SwitchingStandIn.h"
#include "sandbox/FilterDomains.h"
#include "sandbox/ListQuery.h"
#include "search/BuildListQuery.h"
#include "support/UserTexts.h"

#include <httplib.h>

#include <QUrl>
#include <QUrlQuery>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QDateTime kLogTime(QDate(2026, 12, 9), QTime(8, 0));

using namespace std::chrono_literals;

bool AnyMentions(const Findings& findings, const std::string& word) {
    return std::any_of(findings.begin(), findings.end(), [&word](const std::string& finding) {
        return finding.find(word) != std::string::npos;
    });
}

std::string Joined(const Findings& findings) {
    std::string text;
    for (const std::string& finding : findings)
        text += finding + "\n";
    return text;
}

ResultRow Row(int number, const char* domain) {
    ResultRow row;
    row.cells[ResultListModel::Number] = QString::number(number);
    row.cells[ResultListModel::Domain] = QString::fromUtf8(domain);
    row.cells[ResultListModel::DeletionTime] = QStringLiteral("2024-05-30");
    row.cells[ResultListModel::DeletionType] = QStringLiteral("Delete");
    return row;
}

std::vector<ResultRow> FourRows() {
    return {Row(1, "aa.com"), Row(2, "ab.com"), Row(3, "ac.net"), Row(4, "ad.com")};
}

void Renumber(std::vector<ResultRow>& rows) {
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i].cells[ResultListModel::Number] = QString::number(i + 1);
}

TEST(SoakLogLine, readsTheStandInsOwnLines) {
    const auto plain = ParseLogLine(
        FormatRequestLogLine("127.0.0.1", "GET", "/?kw=a&page=12", 200, 9120, "", kLogTime));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->target, "/?kw=a&page=12");
    EXPECT_EQ(plain->status, 200);
    EXPECT_FALSE(plain->failed());

    const auto failed = ParseLogLine(FormatRequestLogLine(
        "127.0.0.1", "GET", "/check/check_ac1.cgi?domain=ab.com", 500, 120, "500", kLogTime));
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->status, 500);
    EXPECT_EQ(failed->failure, "500");

    const auto blank = ParseLogLine(
        FormatRequestLogLine("127.0.0.1", "GET", "/?kw= a&p=0", 200, 1, "hang", kLogTime));
    ASSERT_TRUE(blank);
    EXPECT_EQ(blank->target, "/?kw= a&p=0");
    EXPECT_EQ(blank->failure, "hang");

    EXPECT_FALSE(ParseLogLine("2024-06-01 10:00:00.000 127.0.0.1 GET"));
    EXPECT_FALSE(ParseLogLine("2024-06-01 10:00:00.000 127.0.0.1 GET /x ok 12"));
    EXPECT_FALSE(ParseLogLine(""));
}

TEST(SoakLogLine, pageAndDomainKeys) {
    EXPECT_EQ(RequestedPage("/?kw=a&pagesize=30&st=1"), 1);
    EXPECT_EQ(RequestedPage("/?kw=a&pagesize=30&st=1&page=1000"), 1000);
    EXPECT_EQ(RequestedPage("/?kw=a&page=x"), 0);
    EXPECT_EQ(RequestedPage("/?xpage=7"), 1);
    EXPECT_EQ(QueryValue("/check/check_ac1.cgi?domain=ab.com", "domain"), "ab.com");
    EXPECT_EQ(QueryValue("/check/check_ac1.cgi?domain=", "domain"), "");
    EXPECT_FALSE(QueryValue("/check/check_ac1.cgi", "domain"));
}

TEST(SoakRowAccounting, exactRowsPass) {
    EXPECT_TRUE(AccountRows(FourRows(), FourRows()).empty());
    EXPECT_TRUE(AccountRows({}, {}).empty());
}

TEST(SoakRowAccounting, everyKindOfWrongListIsFound) {
    const std::vector<ResultRow> expected = FourRows();

    std::vector<ResultRow> lost = expected;
    lost.erase(lost.begin() + 2);
    Renumber(lost);
    const Findings lostFindings = AccountRows(lost, expected);
    EXPECT_TRUE(AnyMentions(lostFindings, "lost \"ac.net\"")) << Joined(lostFindings);

    std::vector<ResultRow> gap = expected;
    gap.erase(gap.begin() + 1);
    const Findings gapFindings = AccountRows(gap, expected);
    EXPECT_TRUE(AnyMentions(gapFindings, "row 2 is numbered \"3\"")) << Joined(gapFindings);

    std::vector<ResultRow> twice = expected;
    twice.insert(twice.begin() + 2, expected[1]);
    Renumber(twice);
    const Findings twiceFindings = AccountRows(twice, expected);
    EXPECT_TRUE(AnyMentions(twiceFindings, "repeats \"ab.com\"")) << Joined(twiceFindings);

    std::vector<ResultRow> swapped = expected;
    std::swap(swapped[1], swapped[2]);
    Renumber(swapped);
    const Findings swappedFindings = AccountRows(swapped, expected);
    EXPECT_TRUE(AnyMentions(swappedFindings, "out of order")) << Joined(swappedFindings);

    std::vector<ResultRow> foreign = expected;
    foreign.push_back(Row(5, "zz.org"));
    const Findings foreignFindings = AccountRows(foreign, expected);
    EXPECT_TRUE(AnyMentions(foreignFindings, "\"zz.org\" is on no page"))
        << Joined(foreignFindings);

    std::vector<ResultRow> changed = expected;
    changed[3].cells[ResultListModel::DeletionType] = QStringLiteral("Pre-Release");
    changed[0].subdued = true;
    const Findings changedFindings = AccountRows(changed, expected);
    EXPECT_TRUE(AnyMentions(changedFindings, "row 4")) << Joined(changedFindings);
    EXPECT_TRUE(AnyMentions(changedFindings, "row 1 subdued")) << Joined(changedFindings);
}

class SoakVerdictAccounting : public ::testing::Test {
protected:
    // ab.com's question failed; aa.com and ad.com are registered, ac.net is free.
    SoakVerdictAccounting() {
        fates.insert(QStringLiteral("aa.com"), {1, false, true});
        fates.insert(QStringLiteral("ab.com"), {1, true, false});
        fates.insert(QStringLiteral("ac.net"), {1, false, false});
        fates.insert(QStringLiteral("ad.com"), {1, false, true});
        after = before;
        for (size_t i : {0u, 3u}) {
            after[i].verdict = ResultRow::Verdict::Registered;
            after[i].subdued = true;
        }
        after[2].verdict = ResultRow::Verdict::Free;
    }

    std::vector<ResultRow> before = FourRows();
    std::vector<ResultRow> after;
    QHash<QString, QuestionFate> fates;
};

TEST_F(SoakVerdictAccounting, theStandInsVerdictsPass) {
    EXPECT_TRUE(AccountVerdicts(before, after, fates).empty())
        << Joined(AccountVerdicts(before, after, fates));
}

TEST_F(SoakVerdictAccounting, aVerdictWhereTheQuestionFailed) {
    after[1].verdict = ResultRow::Verdict::Free;
    EXPECT_TRUE(AnyMentions(AccountVerdicts(before, after, fates), "although its question failed"));
}

TEST_F(SoakVerdictAccounting, missingOrWrongVerdictsAndColours) {
    after[2].verdict = ResultRow::Verdict::None;
    after[0].verdict = ResultRow::Verdict::Free;
    after[3].subdued = false;
    const Findings findings = AccountVerdicts(before, after, fates);
    EXPECT_TRUE(AnyMentions(findings, "row 3 \"ac.net\" has \"\"")) << Joined(findings);
    EXPECT_TRUE(AnyMentions(findings, "row 1 \"aa.com\" has")) << Joined(findings);
    EXPECT_TRUE(AnyMentions(findings, "row 4 \"ad.com\" subdued flag not set")) << Joined(findings);
}

TEST_F(SoakVerdictAccounting, lostReorderedOrTwiceAskedRows) {
    std::vector<ResultRow> shorter = after;
    shorter.pop_back();
    EXPECT_TRUE(AnyMentions(AccountVerdicts(before, shorter, fates), "3 rows after the check"));

    std::vector<ResultRow> swapped = after;
    std::swap(swapped[0], swapped[1]);
    EXPECT_TRUE(AnyMentions(AccountVerdicts(before, swapped, fates), "row 1 holds \"ab.com\""));

    fates[QStringLiteral("ac.net")].asked = 2;
    fates.insert(QStringLiteral("zz.org"), {1, false, false});
    const Findings findings = AccountVerdicts(before, after, fates);
    EXPECT_TRUE(AnyMentions(findings, "asked about 2 times")) << Joined(findings);
    EXPECT_TRUE(AnyMentions(findings, "\"zz.org\", which no row held")) << Joined(findings);
}

// The soak judges the rows by its own reading of the query; the stand-in must list the same
// names in the same order for the query the program sends, or the soak would blame the program.
TEST(SoakDataSetTest, standInListsWhatTheSoakExpects) {
    const QDate today(2024, 6, 1);
    const SoakDataSet data = MakeSoakDataSet(today, 7, 50, 11);
    ASSERT_EQ(data.listed.size(), 7u * kRowsPerPage);
    EXPECT_EQ(data.pageCount(), 7);
    EXPECT_EQ(data.catalog->size(), 7u * kRowsPerPage + 50);

    const QString address = BuildListQuery(QStringLiteral("http://127.0.0.1:1/?"), data.criteria);
    const QUrlQuery query(QUrl(address, QUrl::TolerantMode));
    // The stand-in sees the keys decoded, "suffix[]" for "suffix%5B%5D".
    const auto items = query.queryItems(QUrl::FullyDecoded);
    const ListQuery parsed = ParseListQuery([&items](const std::string& key) {
        std::vector<std::string> values;
        for (const auto& [name, value] : items) {
            if (name.toStdString() == key)
                values.push_back(value.toStdString());
        }
        return values;
    });
    ASSERT_EQ(parsed.suffixes, (std::vector<std::string>{"com", "net"}));
    EXPECT_EQ(FindMatches(*data.catalog, parsed, today), data.listed);
}

TEST(SwitchingStandInTest, keepsItsPortAndChangesHowItFails) {
    RequestLog log;
    SandboxOptions options;
    options.log = log.sink();
    SwitchingStandIn standIn(std::make_shared<const DomainCatalog>(), options);
    ASSERT_TRUE(standIn.start({FailureMode::ServerError, 1.0}));
    const int port = standIn.port();
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(5s);
    const auto error = client.Get("/?kw=a");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->status, 500);

    ASSERT_TRUE(standIn.switchTo({FailureMode::DropConnection, 1.0}));
    EXPECT_EQ(standIn.port(), port);
    EXPECT_FALSE(client.Get("/?kw=a&page=2"));
    standIn.stop();

    const std::vector<LoggedRequest> requests = log.take();
    ASSERT_EQ(requests.size(), 2u) << "a dropped connection is logged as well";
    EXPECT_EQ(requests[0].failure, FailureNote(FailureMode::ServerError));
    EXPECT_EQ(requests[1].failure, FailureNote(FailureMode::DropConnection));
    EXPECT_EQ(RequestedPage(requests[1].target), 2);
}

} // namespace
