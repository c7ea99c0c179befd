// The watch's background question against a real server: the same verdicts as the check of
// every name, asked without a nested wait; and the watch list wired to it.
#include "FixedTimeZone.h"
#include "support/QStringPrinter.h"
#include "support/TestServer.h"
#include "support/UserTexts.h"

#include "verify/CheckProtocol.h"
#include "watch/AvailabilityQuestion.h"
#include "watch/WatchRunner.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

using namespace std::chrono_literals;

namespace {

const QDateTime kNow(QDate(2026, 12, 9), QTime(9, 30), Qt::UTC);

struct Answer {
    int status = 200;
    std::string body;
    bool held = false;
};

class AvailabilityQuestionTest : public ::testing::Test {
protected:
    AvailabilityQuestionTest()
        : server([this](const httplib::Request& request, httplib::Response& response) {
              const Answer& a = answers.at(request.get_param_value("domain"));
              if (a.held && !server.holdUntilReleased())
                  return;
              response.status = a.status;
              response.set_content(a.body, "text/plain");
          }),
          question(server.baseUrl(), [] { return kNow; }) {}

    std::optional<CheckResult> ask(const QString& domain) {
        std::optional<CheckResult> result;
        question.ask(domain, [&](const CheckResult& r) { result = r; });
        if (!QTest::qWaitFor([&] { return result.has_value(); }, 20000))
            ADD_FAILURE() << "no answer for " << domain.toStdString();
        return result;
    }

    std::map<std::string, Answer> answers;
    TestServer server;
    AvailabilityQuestion question;
};

TEST_F(AvailabilityQuestionTest, readsAnswersAsTheCheckOfEveryNameDoes) {
    answers["free.com"] = {200, "free.com|210|\nsecond line"};
    answers["taken.com"] = {200, "<b>taken.com|211|</b>"};
    answers["error.com"] = {500, "|210| but an error page"};
    answers["refused.com"] = {200, ServiceMarkers::kRefusal};
    answers["empty.com"] = {200, ""};

    const std::optional<CheckResult> free = ask(QStringLiteral("free.com"));
    ASSERT_TRUE(free);
    EXPECT_EQ(free->record.verdict, CheckVerdict::Free);
    EXPECT_EQ(free->record.httpStatus, 200);
    EXPECT_EQ(free->record.firstLine, QStringLiteral("free.com|210|"));
    EXPECT_EQ(free->record.time, kNow);
    EXPECT_FALSE(free->rateRefused);

    EXPECT_EQ(ask(QStringLiteral("taken.com"))->record.verdict, CheckVerdict::Registered);
    const std::optional<CheckResult> error = ask(QStringLiteral("error.com"));
    EXPECT_EQ(error->record.verdict, CheckVerdict::NoVerdict) << "an error page is never free";
    EXPECT_EQ(error->record.httpStatus, 500);
    const std::optional<CheckResult> refused = ask(QStringLiteral("refused.com"));
    EXPECT_EQ(refused->record.verdict, CheckVerdict::NoVerdict);
    EXPECT_TRUE(refused->rateRefused);
    EXPECT_EQ(ask(QStringLiteral("empty.com"))->record.verdict, CheckVerdict::NoVerdict);

    EXPECT_EQ(server.targets().front(), "/check/check_ac1.cgi?domain=free.com");
}

// A maintenance page, a proxy's or a login page can come with 200: only an answer that names the
// asked name, as a whole name and in any case, gives a verdict.
TEST_F(AvailabilityQuestionTest, onlyAnAnswerThatNamesTheAskedNameGivesAVerdict) {
    const struct {
        const char* asked;
        std::string body;
        CheckVerdict verdict;
    } cases[] = {
        {"drop.com", "drop.com|210|available", CheckVerdict::Free},
        {"drop.com", "DROP.Com|210|", CheckVerdict::Free},
        {"drop.com", "drop.com|211|registered", CheckVerdict::Registered},
        {"drop.com", "|210|\nanswer for drop.com", CheckVerdict::Free},
        {"drop.com", "<html>系统维护中</html>", CheckVerdict::NoVerdict},
        {"drop.com", "<html>请登录 |211|</html>", CheckVerdict::NoVerdict},
        {"drop.com", "nodrop.com|210|", CheckVerdict::NoVerdict},
        {"drop.com", "www.drop.com|210|", CheckVerdict::NoVerdict},
        {"drop.com", "drop.com.cn|210|", CheckVerdict::NoVerdict},
        {"drop.com", "drop.com-shop.net|210|", CheckVerdict::NoVerdict},
        {"b.com", "ab.com|210|", CheckVerdict::NoVerdict},
        {"b.com", "ab.com b.com|210|", CheckVerdict::Free},
        {"中文.cn", "xn--fiq228c.cn|210|", CheckVerdict::Free},
        {"中文.cn", "大中文.cn|210|", CheckVerdict::NoVerdict},
    };
    for (const auto& c : cases) {
        answers[c.asked] = {200, c.body};
        const std::optional<CheckResult> result = ask(QString::fromUtf8(c.asked));
        ASSERT_TRUE(result);
        EXPECT_EQ(result->record.verdict, c.verdict) << c.asked << " <- " << c.body;
        EXPECT_EQ(result->record.firstLine, AnswerFirstLine(QString::fromStdString(c.body)));
        EXPECT_FALSE(result->rateRefused);
    }
}

TEST_F(AvailabilityQuestionTest, aTimeOutGivesNoVerdict) {
    answers["slow.com"] = {200, "|210|", true};
    question.setTimeLimit(200ms);
    const std::optional<CheckResult> slow = ask(QStringLiteral("slow.com"));
    ASSERT_TRUE(slow);
    EXPECT_EQ(slow->record.verdict, CheckVerdict::NoVerdict);
    EXPECT_EQ(slow->record.httpStatus, 0);
    server.release();
}

TEST_F(AvailabilityQuestionTest, asksWithoutWaitingAndAnAbortedQuestionNeverAnswers) {
    answers["held.com"] = {200, "|210|", true};
    bool eventHandled = false;
    QTimer::singleShot(0, [&] { eventHandled = true; });
    bool answered = false;
    question.ask(QStringLiteral("held.com"), [&](const CheckResult&) { answered = true; });
    EXPECT_FALSE(eventHandled) << "asking ran no event loop of its own";
    EXPECT_FALSE(answered);

    bool arrived = false;
    server.onArrival([&](const std::string&) { arrived = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrived; }, 20000));
    question.abort();
    server.release();
    answers["next.com"] = {200, "next.com|211|"};
    EXPECT_EQ(ask(QStringLiteral("next.com"))->record.verdict, CheckVerdict::Registered);
    EXPECT_FALSE(answered) << "the aborted question's answer is dropped";
}

TEST(WatchRunner, holdsNestAndAStopIsForGood) {
    WatchRunner list(QStringLiteral("http://127.0.0.1:9"), [] { return kNow; });
    {
        WatchRunner::Hold search(list);
        EXPECT_TRUE(list.monitor().isHeld());
        { WatchRunner::Hold nestedCheck(list); }
        EXPECT_TRUE(list.monitor().isHeld()) << "the inner hold's end releases nothing";
    }
    EXPECT_FALSE(list.monitor().isHeld());

    {
        WatchRunner::Hold search(list);
        list.stop();
    }
    EXPECT_TRUE(list.monitor().isHeld()) << "once stopped, the end of a hold releases nothing";
}

TEST(WatchRunner, aNameThatTurnsFreeIsNotifiedOnceAndSurvivesARestart) {
    FixedTimeZone zone;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("watchlist.sqlite"));
    TestServer server([](const httplib::Request& request, httplib::Response& response) {
        answerText(response, request.get_param_value("domain") + "|210|available", "text/plain");
    });
    {
        QDateTime now = kNow;
        WatchRunner list(server.baseUrl(), [&] { return now; });
        ASSERT_EQ(list.open(path).status, StoreOpenResult::Status::Opened);
        QSignalSpy free(&list.monitor(), &WatchMonitor::becameFree);
        ASSERT_TRUE(list.monitor().add(QStringLiteral("drop.com"), QDate(2026, 12, 9)));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return list.monitor().entry(QStringLiteral("drop.com"))->checkCount == 1; },
            20000));
        EXPECT_EQ(free.count(), 0) << "one free answer is no evidence";
        now = now.addSecs(30);
        list.monitor().runDue();
        ASSERT_TRUE(QTest::qWaitFor([&] { return free.count() > 0; }, 20000));
        EXPECT_EQ(free.count(), 1);
        EXPECT_EQ(free.front().front().toString(), QStringLiteral("drop.com"));
        EXPECT_EQ(list.monitor().entry(QStringLiteral("drop.com"))->state, WatchState::Free);
    }
    WatchRunner reopened(server.baseUrl(), [] { return kNow; });
    QSignalSpy free(&reopened.monitor(), &WatchMonitor::becameFree);
    ASSERT_EQ(reopened.open(path).status, StoreOpenResult::Status::Opened);
    const std::optional<WatchEntry> entry = reopened.monitor().entry(QStringLiteral("drop.com"));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->state, WatchState::Free);
    EXPECT_EQ(entry->checkCount, 2);
    EXPECT_EQ(reopened.store().recentChecks(QStringLiteral("drop.com"), 5).size(), 2);
    EXPECT_EQ(free.count(), 0) << "a name found free before is not announced again";
    EXPECT_EQ(server.requestCount(), 2u);
}

} // namespace
