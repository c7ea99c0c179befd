// The bootstrap file: matching a name to its RDAP server, and keeping the file current.
#include "RdapServer.h"
#include "support/QStringPrinter.h"

#include "registry/RdapBootstrap.h"
#include "registry/RdapBootstrapSource.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QByteArray kBootstrap = R"json({
  "version": "1.0", "publication": "2026-01-30T00:00:01Z",
  "services": [
    [["com", "NET"], ["http://rdap.example/plain/", "https://rdap.example/secure"]],
    [["uk"], ["https://rdap.nominet.example/uk/"]],
    [["co.uk", "ac.uk."], ["http://rdap.second.example/uk"]],
    [["ftp"], ["ftp://rdap.example/", "javascript:alert(1)"]],
    [["bad"], "not a list"],
    "not a service",
    [["io"]]
  ]
})json";

TEST(RdapBootstrap, matchesTheLongestEntryAndPrefersHttps) {
    const RdapBootstrap lookup = RdapBootstrap::parse(kBootstrap);
    ASSERT_TRUE(lookup.isValid());
    EXPECT_EQ(lookup.publication(), QStringLiteral("2026-01-30T00:00:01Z"));
    struct Case {
        const char16_t* name;
        const char16_t* base;
    };
    const Case cases[] = {
        {u"example.com", u"https://rdap.example/secure/"},
        {u"EXAMPLE.Com", u"https://rdap.example/secure/"},
        {u"example.net.", u"https://rdap.example/secure/"},
        {u"a.b.example.com", u"https://rdap.example/secure/"},
        {u"shop.co.uk", u"http://rdap.second.example/uk/"},
        {u"www.shop.co.uk", u"http://rdap.second.example/uk/"},
        {u"oxford.ac.uk", u"http://rdap.second.example/uk/"},
        {u"shop.uk", u"https://rdap.nominet.example/uk/"},
        {u"co.uk", u"http://rdap.second.example/uk/"},
        {u"shop.xco.uk", u"https://rdap.nominet.example/uk/"},
        {u"example.cn", u""},
        {u"example.ftp", u""},
        {u"example.bad", u""},
        {u"example.io", u""},
        {u"examplecom", u""},
        {u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(lookup.baseFor(QStringView(c.name)), QString::fromUtf16(c.base))
            << QString::fromUtf16(c.name).toStdString();
    }
}

TEST(RdapBootstrap, aDamagedFileKnowsNoServer) {
    const QByteArray damaged[] = {
        "",
        "{",
        "[]",
        R"({"services": {}})",
        R"({"services": [[["com"], []]]})",
        R"({"services": [[["com"], ["mailto:rdap@example.com"]]]})",
        kBootstrap.left(kBootstrap.size() / 2),
        QByteArray(RdapBootstrap::kMaxFileBytes + 1, ' ') + kBootstrap,
    };
    for (const QByteArray& file : damaged) {
        const RdapBootstrap lookup = RdapBootstrap::parse(file);
        EXPECT_FALSE(lookup.isValid()) << file.left(60).toStdString();
        EXPECT_TRUE(lookup.baseFor(u"example.com").isEmpty());
    }
}

TEST(RdapBootstrap, theShippedCopyIsIanasFile) {
    const RdapBootstrap shipped = RdapBootstrap::parse(RdapBootstrapSource::shippedCopy());
    ASSERT_TRUE(shipped.isValid());
    EXPECT_GT(shipped.entryCount(), 1000);
    EXPECT_EQ(shipped.baseFor(u"example.com"), QStringLiteral("https://rdap.verisign.com/com/v1/"));
    EXPECT_EQ(shipped.baseFor(u"example.net"), QStringLiteral("https://rdap.verisign.com/net/v1/"));
    for (const char16_t* without : {u"example.cn", u"example.de", u"example.io", u"example.jp"})
        EXPECT_TRUE(shipped.baseFor(QStringView(without)).isEmpty());
}

// Keeping the file: a test server stands in for IANA, the clock is the test's.
class BootstrapSourceTest : public ::testing::Test {
protected:
    BootstrapSourceTest() {
        server.answer("/rdap/dns.json",
                      {200, kBootstrap.toStdString(), {}, false, "application/json"});
    }

    QString address() const { return server.base() + u"rdap/dns.json"; }
    std::unique_ptr<RdapBootstrapSource> makeSource() {
        return std::make_unique<RdapBootstrapSource>(cache.path(), address(),
                                                     [this] { return now; });
    }
    // Refreshes when due and waits for the fetch to end; false when none started.
    bool refresh(RdapBootstrapSource& source, bool* succeeded = nullptr) {
        QSignalSpy ended(&source, &RdapBootstrapSource::refreshed);
        source.refreshIfDue();
        if (!source.isRefreshing())
            return false;
        if (!ended.wait(20000)) {
            ADD_FAILURE() << "the fetch did not end";
            return false;
        }
        if (succeeded)
            *succeeded = ended.first().first().toBool();
        return true;
    }
    size_t fetches() const { return server.targets().size(); }

    QDateTime now{QDate(2026, 3, 2), QTime(9, 30), Qt::UTC};
    QTemporaryDir cache;
    RdapServer server;
};

TEST_F(BootstrapSourceTest, shippedCopyUntilTheFirstFetchThenTheCacheForADay) {
    auto source = makeSource();
    EXPECT_EQ(source->origin(), RdapBootstrapSource::Origin::Shipped);
    EXPECT_EQ(source->current().baseFor(u"example.com"),
              QStringLiteral("https://rdap.verisign.com/com/v1/"));

    bool succeeded = false;
    ASSERT_TRUE(refresh(*source, &succeeded));
    EXPECT_TRUE(succeeded);
    EXPECT_EQ(source->origin(), RdapBootstrapSource::Origin::Fetched);
    EXPECT_EQ(source->current().baseFor(u"example.com"),
              QStringLiteral("https://rdap.example/secure/"));
    EXPECT_FALSE(refresh(*source)) << "fresh for a day";

    // The next start reads the cache and keeps it until a day after the fetch.
    now = now.addSecs(23 * 3600);
    source = makeSource();
    EXPECT_EQ(source->origin(), RdapBootstrapSource::Origin::Cache);
    EXPECT_EQ(source->current().baseFor(u"shop.co.uk"),
              QStringLiteral("http://rdap.second.example/uk/"));
    EXPECT_FALSE(refresh(*source));
    EXPECT_EQ(fetches(), 1u);
    now = now.addSecs(3600);
    EXPECT_TRUE(refresh(*source));
    EXPECT_EQ(fetches(), 2u);
}

TEST_F(BootstrapSourceTest, freshnessFollowsTheExpiryHeadersWithinBounds) {
    struct Case {
        const char* name;
        const char* value;
        std::chrono::seconds freshness;
    };
    using namespace std::chrono_literals;
    const Case cases[] = {
        {"Cache-Control", "public, max-age=7200", 7200s},
        {"Cache-Control", "max-age=60", 3600s},
        {"Cache-Control", "max-age=99999999", 7 * 24 * 3600s},
        {"Cache-Control", "no-cache", 24 * 3600s},
        {"Expires", "Mon, 02 Mar 2026 15:30:00 GMT", 6 * 3600s},
        {"Expires", "Mon, 02 Mar 2026 09:00:00 GMT", 3600s},
        {"Expires", "0", 24 * 3600s},
        {"X-Other", "max-age=7200", 24 * 3600s},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RdapBootstrapSource::freshnessOf({{c.name, c.value}}, now), c.freshness)
            << c.name << ": " << c.value;
    }

    server.answer("/rdap/dns.json", {200,
                                     kBootstrap.toStdString(),
                                     {{"Cache-Control", "max-age=7200"}},
                                     false,
                                     "application/json"});
    auto source = makeSource();
    ASSERT_TRUE(refresh(*source));
    EXPECT_EQ(source->dueAt(), now.addSecs(7200));
    source = makeSource();
    EXPECT_EQ(source->dueAt(), now.addSecs(7200)) << "the due time survives a restart";
}

TEST_F(BootstrapSourceTest, aFailedFetchKeepsWhatWasThereAndTriesAgainLater) {
    const RdapServer::Answer failures[] = {
        {500, kBootstrap.toStdString()},
        {200, "{\"services\": 5}"},
        {200, "<html>maintenance</html>"},
    };
    for (const RdapServer::Answer& failure : failures) {
        server.answer("/rdap/dns.json", failure);
        auto source = makeSource();
        bool succeeded = true;
        ASSERT_TRUE(refresh(*source, &succeeded));
        EXPECT_FALSE(succeeded) << failure.body;
        EXPECT_EQ(source->origin(), RdapBootstrapSource::Origin::Shipped);
        EXPECT_TRUE(source->current().isValid());
        EXPECT_EQ(source->dueAt(), now.addSecs(3600));
        EXPECT_FALSE(QFile::exists(QDir(cache.path()).filePath(QStringLiteral("rdap-dns.json"))));
    }
}

TEST_F(BootstrapSourceTest, aDamagedCacheFallsBackToTheShippedCopy) {
    auto source = makeSource();
    ASSERT_TRUE(refresh(*source));
    const QString data = QDir(cache.path()).filePath(QStringLiteral("rdap-dns.json"));
    const QString state = QDir(cache.path()).filePath(QStringLiteral("rdap-dns.state.json"));

    {
        QFile file(state);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("{broken");
    }
    source = makeSource();
    EXPECT_EQ(source->origin(), RdapBootstrapSource::Origin::Cache);
    EXPECT_EQ(source->dueAt(), now) << "a copy of unknown age is due at once";

    {
        QFile file(data);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(kBootstrap.left(100));
    }
    source = makeSource();
    EXPECT_EQ(source->origin(), RdapBootstrapSource::Origin::Shipped);
    EXPECT_EQ(source->current().baseFor(u"example.net"),
              QStringLiteral("https://rdap.verisign.com/net/v1/"));

    RdapBootstrapSource missingFolder(QStringLiteral("/nonexistent/morrowcatch-cache"), address(),
                                      [this] { return now; });
    EXPECT_EQ(missingFolder.origin(), RdapBootstrapSource::Origin::Shipped);
}

} // namespace
