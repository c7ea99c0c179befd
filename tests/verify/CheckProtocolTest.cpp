#include "support/Rows.h"
#include "support/UserTexts.h"
#include "verify/ApplyVerdict.h"
#include "web/FetchOutcome.h"

#include <gtest/gtest.h>

using namespace UserTexts;

namespace {

const QString kRefusal = QString::fromUtf8(ServiceMarkers::kRefusal);

TEST(AvailabilityAddress, appendsTheNameExactlyAsGiven) {
    EXPECT_EQ(
        AvailabilityAddress(QStringLiteral("http://127.0.0.1:8730"), QStringLiteral(" Ab88.com ")),
        QStringLiteral("http://127.0.0.1:8730/check/check_ac1.cgi?domain= Ab88.com "));
    EXPECT_EQ(AvailabilityAddress(QStringLiteral("http://h"), QStringLiteral("a&b=c.cn")),
              QStringLiteral("http://h/check/check_ac1.cgi?domain=a&b=c.cn"));
}

TEST(ClassifyAnswer, firstMatchingRuleDecides) {
    EXPECT_EQ(ClassifyAnswer(QString()), AnswerClass::Empty);
    EXPECT_EQ(ClassifyAnswer(u"<p>" + kRefusal + u"</p>"), AnswerClass::RateRefusal);
    EXPECT_EQ(ClassifyAnswer(u"|211|" + kRefusal), AnswerClass::RateRefusal);
    EXPECT_EQ(ClassifyAnswer(QStringLiteral("|211|")), AnswerClass::Registered);
    EXPECT_EQ(ClassifyAnswer(QStringLiteral("200|ab.com|211|taken")), AnswerClass::Registered);
    EXPECT_EQ(ClassifyAnswer(QStringLiteral("|210|")), AnswerClass::NotRegistered);
    EXPECT_EQ(ClassifyAnswer(QStringLiteral("|2111|")), AnswerClass::NotRegistered);
    EXPECT_EQ(ClassifyAnswer(QStringLiteral(" ")), AnswerClass::NotRegistered);
}

TEST(ClassifyFetched, onlyPagesWithinTheTwoHundredsGiveAVerdict) {
    using Kind = FetchOutcome::Kind;
    EXPECT_EQ(ClassifyFetched(FetchOutcome::page(QStringLiteral("|211|"), 200)),
              AnswerClass::Registered);
    EXPECT_EQ(ClassifyFetched(FetchOutcome::page(QStringLiteral("|210|"), 299)),
              AnswerClass::NotRegistered);
    EXPECT_EQ(ClassifyFetched(FetchOutcome::page(kRefusal, 200)), AnswerClass::RateRefusal);
    EXPECT_EQ(ClassifyFetched(FetchOutcome::page(QString(), 200)), AnswerClass::Empty);
    for (const int status : {0, 199, 300, 404, 500, 503})
        EXPECT_EQ(ClassifyFetched(FetchOutcome::page(QStringLiteral("<html>|210|</html>"), status)),
                  AnswerClass::Empty)
            << status;
    for (const Kind kind : {Kind::TimedOut, Kind::TooLarge, Kind::Closing})
        EXPECT_EQ(ClassifyFetched(FetchOutcome::of(kind)), AnswerClass::Empty);
    EXPECT_EQ(ClassifyFetched(FetchOutcome::failed(2)), AnswerClass::Empty);
}

TEST(ApplyVerdict, writesTheVerdictAndGreysOnlyRegisteredRows) {
    ResultListModel rows;
    Rows::append(rows, QStringLiteral("taken.com"));
    Rows::append(rows, QStringLiteral("free.com"));
    Rows::append(rows, QStringLiteral("was-taken.com"), Rows::Verdict::Registered, true);
    Rows::append(rows, QStringLiteral("unknown.com"), Rows::Verdict::Free);

    ApplyVerdict(rows, 0, AnswerClass::Registered);
    ApplyVerdict(rows, 1, AnswerClass::NotRegistered);
    ApplyVerdict(rows, 2, AnswerClass::NotRegistered);
    ApplyVerdict(rows, 3, AnswerClass::Empty);
    ApplyVerdict(rows, 3, AnswerClass::RateRefusal);
    ApplyVerdict(rows, -1, AnswerClass::Registered);
    ApplyVerdict(rows, rows.count(), AnswerClass::Registered);

    EXPECT_EQ(rows.cell(0, ResultListModel::Verdict), kRegistered);
    EXPECT_TRUE(rows.row(0).subdued);
    EXPECT_EQ(rows.cell(1, ResultListModel::Verdict), kFree);
    EXPECT_FALSE(rows.row(1).subdued);
    EXPECT_EQ(rows.cell(2, ResultListModel::Verdict), kFree);
    EXPECT_TRUE(rows.row(2).subdued);
    EXPECT_EQ(rows.cell(3, ResultListModel::Verdict), kFree);
    EXPECT_FALSE(rows.row(3).subdued);
    EXPECT_EQ(rows.count(), 4);
}

} // namespace

TEST(AnswerFirstLine, keepsOnlyABoundedFirstLine) {
    EXPECT_EQ(AnswerFirstLine(u"first\r\nsecond"), QStringLiteral("first"));
    EXPECT_EQ(AnswerFirstLine(QString(500, u'a')).size(), kAnswerLineLimit);
    // A character outside the basic plane is two UTF-16 units: never cut between them.
    const QString nearLimit = QString(kAnswerLineLimit - 1, u'a') + QStringLiteral("😀");
    EXPECT_EQ(AnswerFirstLine(nearLimit), QString(kAnswerLineLimit - 1, u'a'));
}
