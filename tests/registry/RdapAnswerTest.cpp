// Reading RDAP answers, as a pure function and against a real server.
#include "RdapServer.h"
#include "support/QStringPrinter.h"

#include "registry/RdapAnswer.h"
#include "registry/RdapQuestion.h"

#include <QTest>

#include <gtest/gtest.h>

#include <optional>

using namespace std::chrono_literals;

namespace {

const QDateTime kNow(QDate(2026, 3, 2), QTime(9, 30), Qt::UTC);

std::string domainJson(const std::string& statuses, const std::string& events = "[]",
                       const std::string& objectClass = "domain") {
    return R"({"objectClassName":")" + objectClass + R"(","ldhName":"example.com","status":)" +
           statuses + R"(,"events":)" + events + "}";
}

struct AnswerCase {
    const char* name;
    int status;
    std::string body;
    RegistryVerdict verdict;
    NoVerdictReason reason;
};

TEST(RdapAnswer, readsEachKindOfAnswer) {
    const std::string tooLarge =
        domainJson(R"(["active"])", R"([{"eventAction":"x","eventDate":")" +
                                        std::string(kMaxRdapBodyBytes, '9') + "\"}]");
    const AnswerCase cases[] = {
        {"404 is not held", 404, "", RegistryVerdict::NotHeld, NoVerdictReason::None},
        {"404 with a body", 404, R"({"errorCode":404})", RegistryVerdict::NotHeld,
         NoVerdictReason::None},
        {"active", 200, domainJson(R"(["active"])"), RegistryVerdict::Held, NoVerdictReason::None},
        {"server hold", 200, domainJson(R"(["server hold","client transfer prohibited"])"),
         RegistryVerdict::Held, NoVerdictReason::None},
        {"redemption", 200, domainJson(R"(["redemption period","pending delete"])"),
         RegistryVerdict::HeldInRedemption, NoVerdictReason::None},
        {"pending restore", 200, domainJson(R"(["pending delete","pending restore"])"),
         RegistryVerdict::HeldInRedemption, NoVerdictReason::None},
        {"pending delete alone", 200, domainJson(R"(["pending delete"])"),
         RegistryVerdict::HeldPendingDelete, NoVerdictReason::None},
        {"no status at all", 200, R"({"objectClassName":"domain"})", RegistryVerdict::Held,
         NoVerdictReason::None},
        {"500", 500, domainJson(R"(["active"])"), RegistryVerdict::NoVerdict,
         NoVerdictReason::Unreadable},
        {"201 is not 200", 201, domainJson(R"(["active"])"), RegistryVerdict::NoVerdict,
         NoVerdictReason::Unreadable},
        {"not JSON", 200, "<html>held</html>", RegistryVerdict::NoVerdict,
         NoVerdictReason::Unreadable},
        {"empty", 200, "", RegistryVerdict::NoVerdict, NoVerdictReason::Unreadable},
        {"an entity", 200, domainJson(R"(["active"])", "[]", "entity"), RegistryVerdict::NoVerdict,
         NoVerdictReason::Unreadable},
        {"an array", 200, R"([{"objectClassName":"domain"}])", RegistryVerdict::NoVerdict,
         NoVerdictReason::Unreadable},
        {"over 1 MiB", 200, tooLarge, RegistryVerdict::NoVerdict, NoVerdictReason::Unreadable},
        {"429", 429, "", RegistryVerdict::NoVerdict, NoVerdictReason::Refused},
    };
    for (const AnswerCase& c : cases) {
        const RegistryResult result =
            ReadRdapAnswer(c.status, {}, QByteArray::fromStdString(c.body), kNow);
        EXPECT_EQ(result.verdict, c.verdict) << c.name;
        EXPECT_EQ(result.reason, c.reason) << c.name;
        EXPECT_EQ(result.httpStatus, c.status) << c.name;
        EXPECT_EQ(result.protocol, RegistryProtocol::Rdap) << c.name;
        EXPECT_EQ(result.answeredAt, kNow) << c.name;
    }
}

TEST(RdapAnswer, keepsStatusesAndTheFourEvents) {
    const std::string events = R"([
        {"eventAction":"registration","eventDate":"1995-08-14T04:00:00Z"},
        {"eventAction":"expiration","eventDate":"2026-08-13T04:00:00.123Z"},
        {"eventAction":"last changed","eventDate":"2025-08-14T07:01:38+02:00"},
        {"eventAction":"deletion","eventDate":"2026-03-07"},
        {"eventAction":"last update of RDAP database","eventDate":"2026-03-02T09:00:00Z"},
        {"eventAction":"expiration","eventDate":"2030-01-01T00:00:00Z"},
        {"eventAction":"transfer","eventDate":"not a date"}])";
    const RegistryResult result = ReadRdapAnswer(
        200, {}, QByteArray::fromStdString(domainJson(R"(["redemption period", 7, ""])", events)),
        kNow);
    EXPECT_EQ(result.statuses, QStringList{QStringLiteral("redemption period")});
    EXPECT_EQ(result.events.registration, QDateTime(QDate(1995, 8, 14), QTime(4, 0), Qt::UTC));
    EXPECT_EQ(result.events.expiration, QDateTime(QDate(2026, 8, 13), QTime(4, 0, 0, 123), Qt::UTC))
        << "the first expiration counts";
    EXPECT_EQ(result.events.lastChanged, QDateTime(QDate(2025, 8, 14), QTime(5, 1, 38), Qt::UTC));
    EXPECT_EQ(result.events.deletion.date(), QDate(2026, 3, 7));
}

TEST(RdapAnswer, aHostileDomainObjectStaysSmall) {
    std::string statuses = "[";
    for (int i = 0; i < 1000; ++i)
        statuses += "\"" + std::string(500, 'x') + "\",";
    statuses += "\"pending delete\"]";
    const RegistryResult result =
        ReadRdapAnswer(200, {}, QByteArray::fromStdString(domainJson(statuses)), kNow);
    EXPECT_EQ(result.verdict, RegistryVerdict::Held);
    EXPECT_LE(result.statuses.size(), 32);
    for (const QString& status : result.statuses)
        EXPECT_LE(status.size(), 100);
}

TEST(RdapAnswer, retryAfterInSecondsOrAsADateWithinTenMinutes) {
    struct Case {
        const char* value;
        std::chrono::seconds wait;
    };
    const Case cases[] = {
        {"", 60s},
        {"120", 120s},
        {" 5 ", 5s},
        {"0", 0s},
        {"600", 600s},
        {"601", 600s},
        {"99999999999999999999", 600s},
        {"-5", 60s},
        {"1.5", 60s},
        {"soon", 60s},
        {"Mon, 02 Mar 2026 09:32:00 GMT", 120s},
        {"Mon, 02 Mar 2026 11:00:00 GMT", 600s},
        {"Mon, 02 Mar 2026 09:00:00 GMT", 0s},
        {"Mon, 02 Mar 2026 25:00:00 GMT", 60s},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadRetryAfter(c.value, kNow), c.wait) << c.value;

    const RegistryResult refused = ReadRdapAnswer(429, {{"retry-after", "90"}}, QByteArray(), kNow);
    EXPECT_EQ(refused.refusalWait, 90s);
    EXPECT_EQ(refused.askAgainAt, kNow.addSecs(90));
}

// Against a real server: the request, and how each way of ending reads.
class RdapQuestionTest : public ::testing::Test {
protected:
    RdapQuestionTest() : question([] { return kNow; }) {}

    std::optional<RegistryResult> ask(const QString& name) {
        std::optional<RegistryResult> result;
        question.ask(server.base(), name, [&](const RegistryResult& r) { result = r; });
        if (!QTest::qWaitFor([&] { return result.has_value(); }, 20000))
            ADD_FAILURE() << "no answer for " << name.toStdString();
        return result;
    }

    RdapServer server;
    RdapQuestion question;
};

TEST_F(RdapQuestionTest, answersReadAsTheirKind) {
    struct Case {
        const char* name;
        RdapServer::Answer answer;
        RegistryVerdict verdict;
        NoVerdictReason reason;
        std::chrono::seconds wait = 0s;
    };
    const std::string huge =
        domainJson(R"(["active"])", "[]") + std::string(kMaxRdapBodyBytes, ' ');
    const Case cases[] = {
        {"gone.com", {404, "{}"}, RegistryVerdict::NotHeld, NoVerdictReason::None},
        {"held.com",
         {200, domainJson(R"(["active"])")},
         RegistryVerdict::Held,
         NoVerdictReason::None},
        {"dropping.com",
         {200, domainJson(R"(["pending delete"])")},
         RegistryVerdict::HeldPendingDelete,
         NoVerdictReason::None},
        {"slow-down.com",
         {429, "", {{"Retry-After", "30"}}},
         RegistryVerdict::NoVerdict,
         NoVerdictReason::Refused,
         30s},
        {"slow-date.com",
         {429, "", {{"Retry-After", "Mon, 02 Mar 2026 09:31:30 GMT"}}},
         RegistryVerdict::NoVerdict,
         NoVerdictReason::Refused,
         90s},
        {"slow-plain.com", {429, ""}, RegistryVerdict::NoVerdict, NoVerdictReason::Refused, 60s},
        {"broken.com",
         {500, domainJson(R"(["active"])")},
         RegistryVerdict::NoVerdict,
         NoVerdictReason::Unreadable},
        {"page.com",
         {200, "<html></html>", {}, false, "text/html"},
         RegistryVerdict::NoVerdict,
         NoVerdictReason::Unreadable},
        {"entity.com",
         {200, domainJson("[]", "[]", "entity")},
         RegistryVerdict::NoVerdict,
         NoVerdictReason::Unreadable},
        {"huge.com", {200, huge}, RegistryVerdict::NoVerdict, NoVerdictReason::Unreadable},
    };
    for (const Case& c : cases)
        server.answer(std::string("/domain/") + c.name, c.answer);
    for (const Case& c : cases) {
        const std::optional<RegistryResult> result = ask(QString::fromUtf8(c.name));
        ASSERT_TRUE(result) << c.name;
        EXPECT_EQ(result->verdict, c.verdict) << c.name;
        EXPECT_EQ(result->reason, c.reason) << c.name;
        EXPECT_EQ(result->refusalWait, c.wait) << c.name;
        EXPECT_EQ(result->domain, QString::fromUtf8(c.name));
        EXPECT_EQ(result->registry, QStringLiteral("127.0.0.1"));
    }
    EXPECT_EQ(server.targets().front(), "/domain/gone.com");
    EXPECT_EQ(server.lastAccept(), "application/rdap+json");
}

TEST_F(RdapQuestionTest, silenceAndARefusedConnectionGiveNoVerdict) {
    server.answer("/domain/silent.com", {200, domainJson("[]"), {}, true});
    question.setTimeLimit(200ms);
    const std::optional<RegistryResult> silent = ask(QStringLiteral("silent.com"));
    ASSERT_TRUE(silent);
    EXPECT_EQ(silent->verdict, RegistryVerdict::NoVerdict);
    EXPECT_EQ(silent->reason, NoVerdictReason::Unreachable);
    server.server().release();

    std::optional<RegistryResult> refused;
    question.ask(QStringLiteral("http://127.0.0.1:1/"), QStringLiteral("closed.com"),
                 [&](const RegistryResult& r) { refused = r; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return refused.has_value(); }, 20000));
    EXPECT_EQ(refused->reason, NoVerdictReason::Unreachable);
}

} // namespace
