#include "verify/AvailabilityCheck.h"
#include "CheckServer.h"
#include "web/FetchOutcome.h"

#include <gtest/gtest.h>

namespace {

const QString kRefusal = QStringLiteral("您的请求过于频繁");

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
    CheckWorkspace ws;
    ws.addRow(QStringLiteral("taken.com"));
    ws.addRow(QStringLiteral("free.com"));
    ws.addRow(QStringLiteral("was-taken.com"), kVerdictRegistered, true);
    ws.addRow(QStringLiteral("unknown.com"), kVerdictFree);

    ApplyVerdict(ws.rows, 0, AnswerClass::Registered);
    ApplyVerdict(ws.rows, 1, AnswerClass::NotRegistered);
    ApplyVerdict(ws.rows, 2, AnswerClass::NotRegistered);
    ApplyVerdict(ws.rows, 3, AnswerClass::Empty);
    ApplyVerdict(ws.rows, 3, AnswerClass::RateRefusal);
    ApplyVerdict(ws.rows, -1, AnswerClass::Registered);
    ApplyVerdict(ws.rows, ws.rows.count(), AnswerClass::Registered);

    EXPECT_EQ(ws.verdict(0), kVerdictRegistered);
    EXPECT_TRUE(ws.rows.row(0).subdued);
    EXPECT_EQ(ws.verdict(1), kVerdictFree);
    EXPECT_FALSE(ws.rows.row(1).subdued);
    EXPECT_EQ(ws.verdict(2), kVerdictFree);
    EXPECT_TRUE(ws.rows.row(2).subdued);
    EXPECT_EQ(ws.verdict(3), kVerdictFree);
    EXPECT_FALSE(ws.rows.row(3).subdued);
    EXPECT_EQ(ws.rows.count(), 4);
}

} // namespace
