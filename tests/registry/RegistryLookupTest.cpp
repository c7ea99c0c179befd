// The front: a name goes to its registry (RDAP by the bootstrap, else WHOIS by the table),
// through the shared pacing, and comes back as one result.
#include "RdapServer.h"
#include "WhoisTestServer.h"
#include "support/QStringPrinter.h"

#include "registry/RdapBootstrapSource.h"
#include "registry/RegistryLookup.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

using namespace std::chrono_literals;

namespace {

const QDateTime kNow(QDate(2026, 3, 2), QTime(9, 30), Qt::UTC);

std::string domainJson(const std::string& statuses) {
    return R"({"objectClassName":"domain","status":)" + statuses +
           R"(,"events":[{"eventAction":"expiration","eventDate":"2026-03-20T00:00:00Z"}]})";
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

class RegistryLookupTest : public ::testing::Test {
protected:
    RegistryLookupTest() {
        // A fresh cached bootstrap that sends .com and .xn--fiqs8s... to the test server.
        const QByteArray bootstrap =
            R"({"services": [[["com", "net"], [")" + rdap.base().toUtf8() + R"("]]]})";
        writeFile(QDir(cache.path()).filePath(QStringLiteral("rdap-dns.json")), bootstrap);
        QJsonObject state;
        state.insert(u"fetched", kNow.toString(Qt::ISODate));
        state.insert(u"due", kNow.addDays(1).toString(Qt::ISODate));
        writeFile(QDir(cache.path()).filePath(QStringLiteral("rdap-dns.state.json")),
                  QJsonDocument(state).toJson());
        bootstrapSource = std::make_unique<RdapBootstrapSource>(
            cache.path(), rdap.base() + u"dns.json", [] { return kNow; });
        lookup = std::make_unique<RegistryLookup>(*bootstrapSource, queue, [] { return kNow; });
        lookup->setWhoisOverride(whois.address());
    }

    std::optional<RegistryResult> ask(const QString& name) {
        std::optional<RegistryResult> result;
        lookup->lookup(name, [&](const RegistryResult& r) { result = r; });
        if (!QTest::qWaitFor([&] { return result.has_value(); }, 20000))
            ADD_FAILURE() << "no result for " << name.toStdString();
        return result;
    }

    QTemporaryDir cache;
    RdapServer rdap;
    WhoisTestServer whois;
    RegistryQueue queue{0ms};
    std::unique_ptr<RdapBootstrapSource> bootstrapSource;
    std::unique_ptr<RegistryLookup> lookup;
};

TEST_F(RegistryLookupTest, eachNameGoesToItsRegistryAndComesBackAsOneResult) {
    rdap.answer("/domain/held.com", {200, domainJson(R"(["active"])")});
    rdap.answer("/domain/restorable.com",
                {200, domainJson(R"(["redemption period","pending delete"])")});
    rdap.answer("/domain/xn--fsqu00a.com", {200, domainJson(R"(["pending delete"])")});
    whois.answer("free.cn", {"No matching record.\r\n"});
    whois.answer("taken.de", {"Domain: taken.de\nStatus: connect\n"});

    struct Case {
        const char16_t* name;
        RegistryVerdict verdict;
        NoVerdictReason reason;
        RegistryProtocol protocol;
        const char16_t* domain;
    };
    const Case cases[] = {
        {u"held.com", RegistryVerdict::Held, NoVerdictReason::None, RegistryProtocol::Rdap,
         u"held.com"},
        {u" Restorable.COM. ", RegistryVerdict::HeldInRedemption, NoVerdictReason::None,
         RegistryProtocol::Rdap, u"restorable.com"},
        {u"例子.com", RegistryVerdict::HeldPendingDelete, NoVerdictReason::None,
         RegistryProtocol::Rdap, u"xn--fsqu00a.com"},
        {u"gone.net", RegistryVerdict::NotHeld, NoVerdictReason::None, RegistryProtocol::Rdap,
         u"gone.net"},
        {u"free.cn", RegistryVerdict::NotHeld, NoVerdictReason::None, RegistryProtocol::Whois,
         u"free.cn"},
        {u"taken.de", RegistryVerdict::Held, NoVerdictReason::None, RegistryProtocol::Whois,
         u"taken.de"},
        {u"example.zz", RegistryVerdict::NoVerdict, NoVerdictReason::UnknownRegistry,
         RegistryProtocol::None, u""},
        {u"free.io", RegistryVerdict::NoVerdict, NoVerdictReason::Unreadable,
         RegistryProtocol::Whois, u"free.io"},
    };
    for (const Case& c : cases) {
        const QString name = QString::fromUtf16(c.name);
        const std::optional<RegistryResult> result = ask(name);
        ASSERT_TRUE(result) << name.toStdString();
        EXPECT_EQ(result->verdict, c.verdict) << name.toStdString();
        EXPECT_EQ(result->reason, c.reason) << name.toStdString();
        EXPECT_EQ(result->protocol, c.protocol) << name.toStdString();
        if (c.domain[0] != u'\0') {
            EXPECT_EQ(result->domain, QString::fromUtf16(c.domain));
        }
        EXPECT_EQ(result->answeredAt, kNow);
    }
    const std::optional<RegistryResult> held = ask(QStringLiteral("held.com"));
    EXPECT_EQ(held->events.expiration, QDateTime(QDate(2026, 3, 20), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(held->registry, QStringLiteral("127.0.0.1:") + QString::number(rdap.server().port()));
    EXPECT_EQ(whois.queries().front(), "free.cn\r\n");
    EXPECT_EQ(rdap.lastAccept(), "application/rdap+json");
}

TEST_F(RegistryLookupTest, namesThatCannotBeAskedNeverLeaveTheProgram) {
    for (const char16_t* bad :
         {u"", u"com", u"bad name.com", u"a..com", u"-a.com", u"a-.com", u"evil.com\r\nsecond.com",
          u"a/b.com", u"a_b.com", u"%41.com", u"a.com/../x"}) {
        const std::optional<RegistryResult> result = ask(QString::fromUtf16(bad));
        ASSERT_TRUE(result);
        EXPECT_EQ(result->reason, NoVerdictReason::InvalidName)
            << QString::fromUtf16(bad).toStdString();
    }
    EXPECT_EQ(AsciiDomainName(QString(QString(300, u'a') + u".com")), QString());
    EXPECT_TRUE(rdap.targets().empty());
    EXPECT_TRUE(whois.queries().isEmpty());
}

TEST_F(RegistryLookupTest, aRefusalHoldsTheRegistryAndSaysWhenToAskAgain) {
    rdap.answer("/domain/slow.com", {429, "", {{"Retry-After", "1"}}});
    rdap.answer("/domain/next.com", {200, domainJson(R"(["active"])")});
    const std::optional<RegistryResult> refused = ask(QStringLiteral("slow.com"));
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->reason, NoVerdictReason::Refused);
    EXPECT_EQ(refused->refusalWait, 1s);
    EXPECT_GE(refused->askAgainAt, kNow.addSecs(1));
    const QString registry = refused->registry;
    const auto holdEnd = queue.pacing().heldUntil(registry, queue.now());
    ASSERT_TRUE(holdEnd);

    // The next question to that registry waits for the hold.
    const std::optional<RegistryResult> next = ask(QStringLiteral("next.com"));
    EXPECT_EQ(next->verdict, RegistryVerdict::Held);
    EXPECT_GE(rdap.arrivalOf("/domain/next.com"), *holdEnd);

    whois.answer("limited.cn", {"Your connection limit exceeded. Please slow down.\r\n"});
    const std::optional<RegistryResult> whoisRefusal = ask(QStringLiteral("limited.cn"));
    EXPECT_EQ(whoisRefusal->reason, NoVerdictReason::Refused);
    EXPECT_TRUE(queue.pacing().heldUntil(whois.address(), queue.now()));
}

TEST_F(RegistryLookupTest, aCancelledLookupNeverAnswersAndFreesItsRegistry) {
    rdap.answer("/domain/stuck.com", {200, domainJson("[]"), {}, true});
    bool answered = false;
    const quint64 id = lookup->lookup(QStringLiteral("stuck.com"),
                                      [&](const RegistryResult&) { answered = true; });
    bool arrived = false;
    rdap.server().onArrival([&](const std::string&) { arrived = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrived; }, 20000));
    lookup->cancel(id);
    EXPECT_EQ(lookup->pendingCount(), 0);
    rdap.server().release();

    rdap.answer("/domain/after.com", {404, ""});
    EXPECT_EQ(ask(QStringLiteral("after.com"))->verdict, RegistryVerdict::NotHeld);
    EXPECT_FALSE(answered);

    const quint64 invalid =
        lookup->lookup(QString(), [&](const RegistryResult&) { answered = true; });
    lookup->cancel(invalid);
    EXPECT_EQ(ask(QStringLiteral("gone.com"))->verdict, RegistryVerdict::NotHeld);
    EXPECT_FALSE(answered) << "not even a result already decided";
}

TEST_F(RegistryLookupTest, timeOutsAndTheOverride) {
    rdap.answer("/domain/silent.com", {200, domainJson("[]"), {}, true});
    lookup->setTimeLimit(200ms);
    EXPECT_EQ(ask(QStringLiteral("silent.com"))->reason, NoVerdictReason::Unreachable);
    rdap.server().release();

    EXPECT_FALSE(lookup->setWhoisOverride(QStringLiteral("nonsense")));
    EXPECT_EQ(lookup->routeOf(QStringLiteral("x.cn")).registry, whois.address())
        << "an unreadable override changes nothing";
    ASSERT_TRUE(lookup->setWhoisOverride(QString()));
    EXPECT_EQ(lookup->routeOf(QStringLiteral("x.cn")).registry,
              QStringLiteral("whois.cnnic.cn:43"));
    EXPECT_EQ(lookup->routeOf(QStringLiteral("x.com")).protocol, RegistryProtocol::Rdap);
}

} // namespace
