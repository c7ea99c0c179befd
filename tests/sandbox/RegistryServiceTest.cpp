// The stand-in registries against the program's own registry client: what the stand-in sends
// must read, on the client's side, as the life the stand-in means.
#include "HandMadeDomains.h"
#include "registry/RdapAnswer.h"
#include "registry/RdapBootstrap.h"
#include "registry/RdapQuestion.h"
#include "registry/WhoisAnswer.h"
#include "registry/WhoisQuestion.h"
#include "registry/WhoisServers.h"
#include "sandbox/SandboxServer.h"
#include "sandbox/WhoisListener.h"
#include "support/QStringPrinter.h"

#include <httplib.h>

#include <QTest>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <mutex>

namespace {

using namespace std::chrono_literals;

QDateTime At(const QDate& day, int hour, int minute = 0, int second = 0) {
    return QDateTime(day, QTime(hour, minute, second));
}

std::string Unlisted(bool registered, const char* tld) {
    for (int i = 0;; ++i) {
        std::string name = "unlisted" + std::to_string(i) + "." + tld;
        if (UnknownNameRegistered(name) == registered)
            return name;
    }
}

// One query over a plain TCP connection: sends the bytes, then reads until the server closes.
std::string RawWhois(int port, const std::string& sent) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    timeval limit{20, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string received;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        ::send(fd, sent.data(), sent.size(), MSG_NOSIGNAL);
        char buffer[4096];
        ssize_t got = 0;
        while ((got = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
            received.append(buffer, static_cast<size_t>(got));
    } else {
        ADD_FAILURE() << "no connection to the WHOIS port";
    }
    ::close(fd);
    return received;
}

class RegistryServiceTest : public ::testing::Test {
protected:
    RegistryServiceTest() { options.registryQuestionsPerSecond = 0; }

    void start() {
        options.now = [this] {
            std::lock_guard lock(clockMutex);
            return standInTime;
        };
        // A rate limit's clock that stands still: every question falls into one window.
        options.limiterNow = [this] {
            std::lock_guard lock(clockMutex);
            return limiterTime;
        };
        options.whoisPort = 0;
        server = std::make_unique<SandboxServer>(
            std::make_shared<const DomainCatalog>(HandMadeDomains()), options);
        ASSERT_GT(server->start(0), 0);
        ASSERT_GT(server->whoisPort(), 0);
    }
    void setTime(const QDateTime& time) {
        std::lock_guard lock(clockMutex);
        standInTime = time;
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1/rdap/").arg(server->port()); }

    RegistryResult askRdap(const std::string& name) {
        RdapQuestion question([] { return At(kToday, 8); });
        std::optional<RegistryResult> result;
        question.ask(base(), QString::fromStdString(name),
                     [&](const RegistryResult& r) { result = r; });
        if (!QTest::qWaitFor([&] { return result.has_value(); }, 20000)) {
            ADD_FAILURE() << "no RDAP answer for " << name;
            return {};
        }
        return *result;
    }
    RegistryResult askWhois(const std::string& name) {
        WhoisServer whois = *WhoisServerFor(QString::fromStdString(name));
        whois.host = QStringLiteral("127.0.0.1");
        whois.port = static_cast<quint16>(server->whoisPort());
        WhoisQuestion question([] { return At(kToday, 8); });
        std::optional<RegistryResult> result;
        question.ask(whois, QString::fromStdString(name),
                     [&](const RegistryResult& r) { result = r; });
        if (!QTest::qWaitFor([&] { return result.has_value(); }, 20000)) {
            ADD_FAILURE() << "no WHOIS answer for " << name;
            return {};
        }
        return *result;
    }
    httplib::Result get(const std::string& target) const {
        httplib::Client client("127.0.0.1", server->port());
        client.set_read_timeout(20s);
        return client.Get(target.c_str(), {{"Accept", "application/rdap+json"}});
    }

    std::mutex clockMutex;
    QDateTime standInTime = At(kToday, 8);
    RateLimiter::Clock::time_point limiterTime{};
    SandboxOptions options;
    std::unique_ptr<SandboxServer> server;
};

// kato.com is deleted on kToday, bjsz.cn five days before, haohaoxuexue.cn two days after; the
// drop is at 09:00.
TEST_F(RegistryServiceTest, rdapAnswersFollowTheLifeOfEachName) {
    options.drop = DropRules{9, 0};
    start();
    const QDateTime kDrop = At(kToday, 9).toUTC();
    const struct {
        std::string name;
        QDateTime now;
        int httpStatus;
        RegistryVerdict verdict;
        QDateTime deletion;
    } cases[] = {
        {"kato.com", At(kToday.addDays(-60), 12), 200, RegistryVerdict::Held, {}},
        {"kato.com", At(kToday.addDays(-10), 12), 200, RegistryVerdict::HeldInRedemption, kDrop},
        {"kato.com", At(kToday, 8, 59, 59), 200, RegistryVerdict::HeldPendingDelete, kDrop},
        {"kato.com", At(kToday, 9), 404, RegistryVerdict::NotHeld, {}},
        {"KATO.com", At(kToday.addDays(2), 9), 404, RegistryVerdict::NotHeld, {}},
        {"ab88.com", At(kToday, 8), 404, RegistryVerdict::NotHeld, {}},
        {"yaya.org", At(kToday, 8), 200, RegistryVerdict::HeldPendingDelete,
         At(kToday.addDays(3), 9).toUTC()},
        {Unlisted(true, "com"), At(kToday, 8), 200, RegistryVerdict::Held, {}},
        {Unlisted(false, "net"), At(kToday, 8), 404, RegistryVerdict::NotHeld, {}},
        // Asked over WHOIS, so no record here.
        {"haohaoxuexue.cn", At(kToday, 8), 404, RegistryVerdict::NotHeld, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + " at " + c.now.toString(Qt::ISODate).toStdString());
        setTime(c.now);
        const RegistryResult result = askRdap(c.name);
        EXPECT_EQ(result.httpStatus, c.httpStatus);
        EXPECT_EQ(result.verdict, c.verdict);
        EXPECT_EQ(result.events.deletion, c.deletion);
        if (result.isHeld()) {
            EXPECT_TRUE(result.events.registration.isValid());
            EXPECT_LT(c.now, result.events.expiration.addDays(76));
        }
        const auto raw = get("/rdap/domain/" + c.name);
        ASSERT_TRUE(raw);
        EXPECT_EQ(raw->get_header_value("Content-Type"), "application/rdap+json");
        if (raw->status == 404) {
            EXPECT_EQ(raw->body, R"({"errorCode":404,"title":"Not Found"})");
        }
    }
}

TEST_F(RegistryServiceTest, aCaughtNameIsHeldAgainFromItsDrop) {
    options.drop = DropRules{9, 100};
    start();
    setTime(At(kToday, 9));
    const RegistryResult result = askRdap("kato.com");
    EXPECT_EQ(result.verdict, RegistryVerdict::Held);
    EXPECT_EQ(result.events.registration, At(kToday, 9).toUTC());
    EXPECT_EQ(result.events.expiration, At(kToday.addYears(1), 9).toUTC());
    EXPECT_FALSE(result.events.deletion.isValid());
}

TEST_F(RegistryServiceTest, anInvalidNameGetsAnRdapErrorNotAVerdict) {
    start();
    for (const char* name : {"a_b.com", "nodot", "%FF%00.com"}) {
        const auto answer = get(std::string("/rdap/domain/") + name);
        ASSERT_TRUE(answer) << name;
        EXPECT_EQ(answer->status, 400) << name;
        EXPECT_EQ(answer->get_header_value("Content-Type"), "application/rdap+json");
        HttpHeaders headers;
        EXPECT_EQ(ReadRdapAnswer(answer->status, headers, QByteArray::fromStdString(answer->body),
                                 At(kToday, 8))
                      .verdict,
                  RegistryVerdict::NoVerdict)
            << name;
    }
}

TEST_F(RegistryServiceTest, theBootstrapNamesTheStandInForItsRdapDomainsOnly) {
    start();
    const auto answer = get("/rdap/dns.json");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    const RdapBootstrap bootstrap = RdapBootstrap::parse(QByteArray::fromStdString(answer->body));
    ASSERT_TRUE(bootstrap.isValid());
    for (const char16_t* name : {u"kato.com", u"taobao.net", u"yaya.org", u"new.name.org"})
        EXPECT_EQ(bootstrap.baseFor(name), base()) << QString::fromUtf16(name).toStdString();
    for (const char16_t* name : {u"bjsz.cn", u"shop.com.cn", u"name.de", u"name.xyz"})
        EXPECT_TRUE(bootstrap.baseFor(name).isEmpty()) << QString::fromUtf16(name).toStdString();
}

TEST_F(RegistryServiceTest, tooManyQuestionsAreRefusedWithRetryAfterUntilTheWindowPasses) {
    options.registryQuestionsPerSecond = 2;
    start();
    std::vector<RegistryResult> rdap;
    std::vector<RegistryResult> whois;
    for (int i = 0; i < 3; ++i) {
        rdap.push_back(askRdap("kato.com"));
        whois.push_back(askWhois("haohaoxuexue.cn"));
    }
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(rdap[i].verdict, RegistryVerdict::HeldPendingDelete) << i;
        EXPECT_EQ(whois[i].verdict, RegistryVerdict::HeldPendingDelete) << i;
    }
    EXPECT_EQ(rdap[2].httpStatus, 429);
    EXPECT_EQ(rdap[2].reason, NoVerdictReason::Refused);
    EXPECT_EQ(rdap[2].refusalWait, 1s);
    EXPECT_EQ(whois[2].reason, NoVerdictReason::Refused);
    // The availability check keeps its own limit.
    EXPECT_EQ(get("/check/check_ac1.cgi?domain=kato.com")->body.find("|211|") != std::string::npos,
              true);

    {
        std::lock_guard lock(clockMutex);
        limiterTime += 1s;
    }
    EXPECT_EQ(askRdap("kato.com").verdict, RegistryVerdict::HeldPendingDelete);
    EXPECT_EQ(askWhois("haohaoxuexue.cn").verdict, RegistryVerdict::HeldPendingDelete);
}

TEST_F(RegistryServiceTest, whoisAnswersReadAsTheLifeOfEachName) {
    options.drop = DropRules{9, 0};
    start();
    const struct {
        std::string name;
        QDateTime now;
        RegistryVerdict verdict;
        const char* status;
    } cases[] = {
        {"bjsz.cn", At(kToday, 8), RegistryVerdict::NotHeld, nullptr},
        {"haohaoxuexue.cn", At(kToday, 8), RegistryVerdict::HeldPendingDelete, "pendingDelete"},
        {"haohaoxuexue.cn", At(kToday.addDays(-3), 8, 59, 59), RegistryVerdict::HeldInRedemption,
         "redemptionPeriod"},
        {"haohaoxuexue.cn", At(kToday.addDays(-40), 9), RegistryVerdict::Held, "ok"},
        {"haohaoxuexue.cn", At(kToday.addDays(2), 9), RegistryVerdict::NotHeld, nullptr},
        {Unlisted(true, "cn"), At(kToday, 8), RegistryVerdict::Held, "ok"},
        {Unlisted(false, "cn"), At(kToday, 8), RegistryVerdict::NotHeld, nullptr},
        {Unlisted(false, "de"), At(kToday, 8), RegistryVerdict::NotHeld, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + " at " + c.now.toString(Qt::ISODate).toStdString());
        setTime(c.now);
        const RegistryResult result = askWhois(c.name);
        EXPECT_EQ(result.verdict, c.verdict);
        EXPECT_EQ(result.statuses,
                  c.status ? QStringList{QString::fromLatin1(c.status)} : QStringList());
    }
    setTime(At(kToday, 8));
    EXPECT_EQ(RawWhois(server->whoisPort(), "bjsz.cn\r\n"), "No matching record.\r\n");
    const std::string held = RawWhois(server->whoisPort(), "haohao"
                                                           "xuexue.cn\n");
    EXPECT_EQ(held.rfind("Domain Name: haohaoxuexue.cn\r\nDomain Status: pendingDelete\r\n", 0), 0u)
        << held;
}

TEST_F(RegistryServiceTest, whoisGarbageGetsNoVerdictAndAnOverLongLineNoAnswer) {
    start();
    const int port = server->whoisPort();
    const QStringList notFound = WhoisServerFor(u"x.cn")->notFoundTexts;
    for (const std::string& garbage :
         {std::string("\r\n"), std::string("a b c\r\n"), std::string("\x01\xff\x00.cn\r\n", 8),
          std::string("bjsz.cn|210|\r\n"), std::string(300, '.') + "\n"}) {
        const std::string answer = RawWhois(port, garbage);
        EXPECT_FALSE(answer.empty());
        EXPECT_EQ(ReadWhoisAnswer(QByteArray::fromStdString(answer), QStringLiteral("bjsz.cn"),
                                  notFound, At(kToday, 8))
                      .verdict,
                  RegistryVerdict::NoVerdict)
            << answer;
    }
    EXPECT_EQ(RawWhois(port, std::string(WhoisListener::kMaxWhoisQueryBytes, 'a') + "\r\n"), "");
    EXPECT_EQ(RawWhois(port, std::string(64 * 1024, 'a')), "");
    // A line just within the bound is still read, and the listener still serves.
    EXPECT_EQ(
        RawWhois(port, std::string(WhoisListener::kMaxWhoisQueryBytes - 10, ' ') + "bjsz.cn\r\n"),
        "No matching record.\r\n");
}

TEST_F(RegistryServiceTest, stopEndsAWhoisConnectionThatSendsNothing) {
    start();
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(server->whoisPort()));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    // Once the listener has taken the connection, a query on a second one is answered.
    EXPECT_EQ(RawWhois(server->whoisPort(), "bjsz.cn\r\n"), "No matching record.\r\n");
    server->stop();
    char byte = 0;
    EXPECT_LE(::recv(fd, &byte, 1, 0), 0);
    ::close(fd);
}

TEST_F(RegistryServiceTest, aTakenWhoisPortIsReported) {
    start();
    SandboxOptions taken;
    taken.whoisPort = server->whoisPort();
    SandboxServer second(std::make_shared<const DomainCatalog>(), taken);
    EXPECT_EQ(second.start(0), -1);
    EXPECT_EQ(second.port(), -1);
    // The same port again for the first one's WHOIS, now that the second one let go.
    const int whoisPort = server->whoisPort();
    server.reset();
    SandboxServer third(std::make_shared<const DomainCatalog>(), taken);
    EXPECT_GT(third.start(0), 0);
    EXPECT_EQ(third.whoisPort(), whoisPort);
}

} // namespace
