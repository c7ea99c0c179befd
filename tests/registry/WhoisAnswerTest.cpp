// Reading WHOIS answers, as a pure function and over a real TCP connection.
#include "WhoisTestServer.h"
#include "support/QStringPrinter.h"

#include "registry/WhoisAnswer.h"
#include "registry/WhoisQuestion.h"
#include "registry/WhoisServers.h"

#include <QTest>

#include <gtest/gtest.h>

#include <optional>

using namespace std::chrono_literals;

namespace {

const QDateTime kNow(QDate(2026, 3, 2), QTime(9, 30), Qt::UTC);

// Each registry's own way of saying that it does not hold a name.
struct NotFoundCase {
    const char16_t* name;
    const char* answer;
};

const NotFoundCase kNotFound[] = {
    {u"free.cn", "No matching record.\r\n"},
    {u"free.com", "No match for \"FREE.COM\".\r\n>>> Last update of whois database: 2026<<<\r\n"},
    {u"free.net", "No match for \"FREE.NET\".\r\n"},
    {u"free.org", "NOT FOUND\r\n>>> Last update of WHOIS database: 2026 <<<\r\n"},
    {u"free.de", "Domain: free.de\nStatus: free\n"},
    {u"tab.de", "Domain: tab.de\nStatus:\tfree\n"},
    {u"free.jp", "[ JPRS database provides information on network administration. ]\nNo match!!\n"},
    {u"free.uk", "\r\n    This domain name has not been registered.\r\n"},
    {u"free.co", "Not found: free.co\r\n"},
    {u"free.io", "NOT FOUND\r\n"},
    {u"free.ru", "No entries found for the selected source(s).\n"},
    {u"free.eu", "Domain: free.eu\nStatus: AVAILABLE\n"},
    {u"free.me", "NOT FOUND\r\n"},
    {u"free.us", "No Data Found\r\n"},
};

RegistryResult read(const QByteArray& answer, const QString& name) {
    const std::optional<WhoisServer> server = WhoisServerFor(name);
    return ReadWhoisAnswer(answer, name, server ? server->notFoundTexts : QStringList(), kNow);
}

TEST(WhoisAnswer, eachRegistrysNotFoundTextIsNotHeld) {
    for (const NotFoundCase& c : kNotFound) {
        const QString name = QString::fromUtf16(c.name);
        const RegistryResult result = read(c.answer, name);
        EXPECT_EQ(result.verdict, RegistryVerdict::NotHeld) << name.toStdString();
        EXPECT_EQ(result.protocol, RegistryProtocol::Whois);
    }
    // The texts belong to their registries: another's is only an answer naming the name.
    EXPECT_EQ(read("No match!!\nDomain: taken.de\n", QStringLiteral("taken.de")).verdict,
              RegistryVerdict::Held);
    EXPECT_EQ(read("status: FREE\nDomain: taken.de\n", QStringLiteral("taken.de")).verdict,
              RegistryVerdict::Held)
        << "compared as the registry writes it";
}

TEST(WhoisAnswer, aNamedDomainIsHeldWithItsStatusAndExpiry) {
    const QByteArray verisign =
        "   Domain Name: EXAMPLE.COM\r\n"
        "   Registry Expiry Date: 2026-08-13T04:00:00Z\r\n"
        "   Domain Status: clientDeleteProhibited https://icann.org/epp#clientDeleteProhibited\r\n"
        "   Domain Status: pendingDelete https://icann.org/epp#pendingDelete\r\n";
    RegistryResult held = read(verisign, QStringLiteral("example.com"));
    EXPECT_EQ(held.verdict, RegistryVerdict::HeldPendingDelete);
    EXPECT_EQ(held.statuses, (QStringList{QStringLiteral("clientDeleteProhibited"),
                                          QStringLiteral("pendingDelete")}));
    EXPECT_EQ(held.events.expiration, QDateTime(QDate(2026, 8, 13), QTime(4, 0), Qt::UTC));
    const QByteArray cnnic = "Domain Name: hyf.cn\nDomain Status: ok\n"
                             "Expiration Time: 2026-09-27 09:00:00\n";
    EXPECT_EQ(read(cnnic, QStringLiteral("hyf.cn")).events.expiration,
              QDateTime(QDate(2026, 9, 27), QTime(1, 0), Qt::UTC))
        << "CNNIC's times are Beijing time";

    struct Case {
        const char* answer;
        const char16_t* name;
        RegistryVerdict verdict;
    };
    const Case cases[] = {
        {"Domain Name: taken.cn\nDomain Status: redemptionPeriod\nDomain Status: pendingDelete\n",
         u"taken.cn", RegistryVerdict::HeldInRedemption},
        {"Domain: taken.de\nStatus: connect\n", u"taken.de", RegistryVerdict::Held},
        {"Domain Name: TAKEN.ORG\nDomain Status: ok\n", u"taken.org", RegistryVerdict::Held},
        {"Domain Name: xn--fiq228c.cn\nDomain Status: ok\n", u"xn--fiq228c.cn",
         RegistryVerdict::Held},
        {"Domain Name: 中文.cn\nDomain Status: ok\n", u"xn--fiq228c.cn", RegistryVerdict::Held},
        // Naming another name is not naming this one.
        {"Domain Name: other.com\n", u"example.com", RegistryVerdict::NoVerdict},
        {"Domain Name: myexample.com\n", u"example.com", RegistryVerdict::NoVerdict},
        {"Name Server: ns1.example.com\n", u"example.com", RegistryVerdict::NoVerdict},
        {"Domain Name: example.com-shop.net\n", u"example.com", RegistryVerdict::NoVerdict},
        {"% Welcome to the registry\r\n", u"example.com", RegistryVerdict::NoVerdict},
        {"", u"example.com", RegistryVerdict::NoVerdict},
        {" \r\n\t", u"example.com", RegistryVerdict::NoVerdict},
    };
    for (const Case& c : cases) {
        const QString name = QString::fromUtf16(c.name);
        EXPECT_EQ(read(c.answer, name).verdict, c.verdict) << c.answer;
    }
}

TEST(WhoisAnswer, aRefusalAsksToWaitWhateverElseItSays) {
    const char* refusals[] = {
        "WHOIS LIMIT EXCEEDED - SEE WWW.PIR.ORG/WHOIS FOR DETAILS\r\n",
        "Your connection limit exceeded. Please slow down and try again later.\r\n",
        "Query rate exceeded, please try again later. No match for \"EXAMPLE.COM\".\r\n",
        "Look up quota exceeded.\n",
    };
    for (const char* refusal : refusals) {
        const RegistryResult result = read(refusal, QStringLiteral("example.com"));
        EXPECT_EQ(result.verdict, RegistryVerdict::NoVerdict) << refusal;
        EXPECT_EQ(result.reason, NoVerdictReason::Refused) << refusal;
        EXPECT_EQ(result.askAgainAt, kNow.addSecs(60));
    }
}

TEST(WhoisAnswer, hostileAnswersStayHarmless) {
    QByteArray overLimit = "Domain Name: example.com\r\n";
    overLimit += QByteArray(kMaxWhoisBytes, 'x');
    EXPECT_EQ(read(overLimit, QStringLiteral("example.com")).reason, NoVerdictReason::Unreadable)
        << "a cut-off answer says nothing";

    QByteArray atLimit = "Domain Name: example.com\r\n";
    atLimit += QByteArray(kMaxWhoisBytes - atLimit.size(), 'x');
    EXPECT_EQ(read(atLimit, QStringLiteral("example.com")).verdict, RegistryVerdict::Held)
        << "one endless line at the limit";

    const QByteArray notUtf8 = "Domain Name: example.com\r\nOwner: \xff\xfe\xc3\x28 M\xfcller\r\n"
                               "Domain Status: \xc0\xafok\r\n";
    const RegistryResult mixed = read(notUtf8, QStringLiteral("example.com"));
    EXPECT_EQ(mixed.verdict, RegistryVerdict::Held);
    ASSERT_EQ(mixed.statuses.size(), 1);

    QByteArray manyStatuses = "Domain Name: example.com\n";
    for (int i = 0; i < 500; ++i)
        manyStatuses += "Domain Status: " + QByteArray(300, 'a') + "\n";
    const RegistryResult many = read(manyStatuses, QStringLiteral("example.com"));
    EXPECT_EQ(many.verdict, RegistryVerdict::Held);
    ASSERT_EQ(many.statuses.size(), 32);
    EXPECT_EQ(many.statuses.first().size(), 100);
}

TEST(WhoisServers, theTableAndTheOverride) {
    for (const char16_t* tld : {u"cn", u"de", u"io", u"co", u"jp", u"ru", u"eu", u"me", u"us",
                                u"uk", u"com", u"net", u"org"}) {
        const auto server = WhoisServerFor(QString(u"example." + QString::fromUtf16(tld)));
        ASSERT_TRUE(server) << QString::fromUtf16(tld).toStdString();
        EXPECT_EQ(server->port, 43);
        EXPECT_FALSE(server->notFoundTexts.isEmpty());
    }
    EXPECT_EQ(WhoisServerFor(u"example.CN")->host, QStringLiteral("whois.cnnic.cn"));
    EXPECT_FALSE(WhoisServerFor(u"example.zz"));
    EXPECT_FALSE(WhoisServerFor(u"example.cnn"));

    struct Case {
        const char16_t* text;
        const char16_t* host;
        quint16 port;
    };
    const Case readable[] = {
        {u"127.0.0.1:4343", u"127.0.0.1", 4343},
        {u" whois.mirror.example:43 ", u"whois.mirror.example", 43},
        {u"[::1]:4343", u"::1", 4343},
    };
    for (const Case& c : readable) {
        const auto server = ParseWhoisOverride(QStringView(c.text));
        ASSERT_TRUE(server) << QString::fromUtf16(c.text).toStdString();
        EXPECT_EQ(server->host, QString::fromUtf16(c.host));
        EXPECT_EQ(server->port, c.port);
    }
    for (const char16_t* unreadable :
         {u"", u"127.0.0.1", u"127.0.0.1:", u"127.0.0.1:0", u"127.0.0.1:70000", u"host:port",
          u"user@host:43", u"host:43/path", u"host:43?x", u"ho st:43"}) {
        EXPECT_FALSE(ParseWhoisOverride(QStringView(unreadable)))
            << QString::fromUtf16(unreadable).toStdString();
    }
}

// Against a real TCP listener.
class WhoisQuestionTest : public ::testing::Test {
protected:
    WhoisQuestionTest() : question([] { return kNow; }) {}

    std::optional<RegistryResult> ask(const QString& name) {
        const std::optional<WhoisServer> table = WhoisServerFor(name);
        const WhoisServer target{QStringLiteral("127.0.0.1"), server.port(),
                                 table ? table->notFoundTexts : QStringList()};
        std::optional<RegistryResult> result;
        question.ask(target, name, [&](const RegistryResult& r) { result = r; });
        if (!QTest::qWaitFor([&] { return result.has_value(); }, 20000))
            ADD_FAILURE() << "no answer for " << name.toStdString();
        return result;
    }

    WhoisTestServer server;
    WhoisQuestion question;
};

TEST_F(WhoisQuestionTest, sendsTheNameAndReadsUntilTheServerCloses) {
    for (const NotFoundCase& c : kNotFound)
        server.answer(QString::fromUtf16(c.name).toLatin1(), {c.answer});
    for (const NotFoundCase& c : kNotFound) {
        const QString name = QString::fromUtf16(c.name);
        const std::optional<RegistryResult> result = ask(name);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->verdict, RegistryVerdict::NotHeld) << name.toStdString();
        EXPECT_EQ(result->registry, server.address());
    }
    EXPECT_EQ(server.queries().front(), "free.cn\r\n");

    server.answer("held.com", {"Domain Name: HELD.COM\r\nDomain Status: redemptionPeriod\r\n"});
    EXPECT_EQ(ask(QStringLiteral("held.com"))->verdict, RegistryVerdict::HeldInRedemption);
    server.answer("bytes.com",
                  {QByteArrayLiteral("Domain Name: bytes.com\r\n\xff\xfe\x00\x01 Status: ok\r\n")});
    EXPECT_EQ(ask(QStringLiteral("bytes.com"))->verdict, RegistryVerdict::Held);
    EXPECT_EQ(ask(QStringLiteral("silent.com"))->reason, NoVerdictReason::Unreadable)
        << "closed without a word";
}

TEST_F(WhoisQuestionTest, aCutOffAnswerAndSilenceGiveNoVerdict) {
    server.answer("big.com", {"Domain Name: big.com\r\n" + QByteArray(kMaxWhoisBytes, 'x')});
    const std::optional<RegistryResult> big = ask(QStringLiteral("big.com"));
    ASSERT_TRUE(big);
    EXPECT_EQ(big->verdict, RegistryVerdict::NoVerdict);
    EXPECT_EQ(big->reason, NoVerdictReason::Unreadable);

    // Names the domain, then never closes: the answer is not whole.
    server.answer("open.com", {"Domain Name: open.com\r\n", false});
    question.setTimeLimit(200ms);
    const std::optional<RegistryResult> open = ask(QStringLiteral("open.com"));
    ASSERT_TRUE(open);
    EXPECT_EQ(open->verdict, RegistryVerdict::NoVerdict);
    EXPECT_EQ(open->reason, NoVerdictReason::Unreachable);

    std::optional<RegistryResult> refused;
    question.ask({QStringLiteral("127.0.0.1"), 1, {}}, QStringLiteral("closed.com"),
                 [&](const RegistryResult& r) { refused = r; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return refused.has_value(); }, 20000));
    EXPECT_EQ(refused->reason, NoVerdictReason::Unreachable);
}

} // namespace
