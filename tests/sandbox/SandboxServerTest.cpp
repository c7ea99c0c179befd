#include "sandbox/SandboxServer.h"
#include "HandMadeDomains.h"
#include "sandbox/ServiceMarkers.h"
#include "search/ParseResultPage.h"

#include <httplib.h>

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>

namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

class SandboxServerTest : public ::testing::Test {
protected:
    // Starts a server on an ephemeral port; the test's options apply.
    void start() {
        options.now = ShiftedClock([time = standInTime] { return time; }, clockOffset);
        server = std::make_unique<SandboxServer>(
            std::make_shared<const DomainCatalog>(HandMadeDomains()), options);
        ASSERT_GT(server->start(0), 0);
    }
    httplib::Client client() const {
        httplib::Client client("127.0.0.1", server->port());
        client.set_decompress(false);
        client.set_read_timeout(10s);
        return client;
    }
    // A GET as the program sends it: Qt offers compressed encodings.
    httplib::Result get(const std::string& target) const {
        return client().Get(target.c_str(), {{"Accept-Encoding", "br, gzip, deflate"}});
    }
    static bool Contains(const std::string& text, std::string_view marker) {
        return text.find(marker) != std::string::npos;
    }

    // Before the default drop hour, so names deleted on kToday are still registered.
    QDateTime standInTime{kToday, QTime(8, 0)};
    std::chrono::seconds clockOffset{0};
    SandboxOptions options;
    std::unique_ptr<SandboxServer> server;
};

TEST_F(SandboxServerTest, servesTheProgramsQueryUncompressed) {
    start();
    const auto answer = get("/?kw=a&p=1&bl=&el=&ds%5B%5D=1&ds%5B%5D=2&pl=&sort=2&"
                            "suffix%5B%5D=com&suffix%5B%5D=net&dt=0&date=1&pagesize=30&st=1");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_FALSE(answer->has_header("Content-Encoding"));
    EXPECT_EQ(answer->get_header_value("Content-Type"), "text/html; charset=utf-8");
    const QString page = QString::fromStdString(answer->body);
    const std::vector<ResultRow> rows = ParseRows(page, 1);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].cells[ResultListModel::Domain], u"aabb.com");
    EXPECT_EQ(rows[1].cells[ResultListModel::Domain], u"ab88.com");
    EXPECT_EQ(rows[2].cells[ResultListModel::Domain], u"ako.net");
    EXPECT_EQ(ReadPageCount(page), 1);
}

// Qt's client, as the program uses it: the address holds its keyword unescaped, Qt encodes it
// and offers compressed answers.
TEST_F(SandboxServerTest, qtClientRoundTrip) {
    start();
    QNetworkAccessManager manager;
    const QString address = QStringLiteral("http://127.0.0.1:%1/?kw= ka&p=1&bl=&el=&pl=&sort=1&"
                                           "dt=0&date=&pagesize=30&st=1")
                                .arg(server->port());
    QNetworkRequest request{QUrl(address)};
    request.setRawHeader("If-Modified-Since", "0");
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_TRUE(reply->isFinished());
    EXPECT_EQ(reply->error(), QNetworkReply::NoError);
    EXPECT_FALSE(reply->hasRawHeader("Content-Encoding"));
    const QString page = QString::fromUtf8(reply->readAll());
    const std::vector<ResultRow> rows = ParseRows(page, 1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].cells[ResultListModel::Domain], u"kato.com");
}

TEST_F(SandboxServerTest, pageKeyAndPercentEncodedKeywords) {
    start();
    const auto second = get("/?kw=&p=0&pl=&sort=1&dt=0&date=&pagesize=5&st=1&page=2");
    ASSERT_TRUE(second);
    EXPECT_EQ(ParseRows(QString::fromStdString(second->body), 1).size(), 5u);
    EXPECT_TRUE(Contains(second->body, "<td>6</td>"));

    const auto chinese = get("/?kw=%E4%B8%AD%E6%96%87&p=0&pl=&sort=1&dt=0&date=&pagesize=30");
    ASSERT_TRUE(chinese);
    EXPECT_EQ(chinese->status, 200);
    EXPECT_TRUE(Contains(chinese->body, ServiceMarkers::kNoResults));

    const auto spaced = get("/?kw=%20kat&p=1");
    ASSERT_TRUE(spaced);
    EXPECT_EQ(ParseRows(QString::fromStdString(spaced->body), 1).size(), 1u);
}

TEST_F(SandboxServerTest, malformedQueryGetsAPage) {
    start();
    const auto answer = get("/?kw=%FF%00&p=x&bl=%%&el=-&ds%5B%5D=&pagesize=-1&page=abc&sort=");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_TRUE(Contains(answer->body, ServiceMarkers::kNoResults));
    const auto nothing = get("/");
    ASSERT_TRUE(nothing);
    EXPECT_EQ(ParseRows(QString::fromStdString(nothing->body), 1).size(), 16u);
    const auto elsewhere = get("/nothing-here");
    ASSERT_TRUE(elsewhere);
    EXPECT_EQ(elsewhere->status, 404);
}

TEST_F(SandboxServerTest, availabilityAnswers) {
    start();
    const auto verdict = [this](const std::string& name) {
        const auto answer = get("/check/check_ac1.cgi?domain=" + name);
        return answer ? answer->body : std::string("no answer");
    };
    EXPECT_TRUE(Contains(verdict("baidu.com"), ServiceMarkers::kRegistered)) << "deleted later";
    EXPECT_EQ(verdict("%20KATO.com"), "kato.com|211|registered\n") << "the name as normalised";
    const std::string unknown = verdict("never-listed.com");
    EXPECT_TRUE(Contains(unknown, ServiceMarkers::kRegistered) ||
                Contains(unknown, ServiceMarkers::kFree));
    EXPECT_EQ(verdict("never-listed.com"), unknown);

    const auto invalid = get("/check/check_ac1.cgi?domain=a%7C211%7C.com");
    ASSERT_TRUE(invalid);
    EXPECT_EQ(invalid->status, 400);
    EXPECT_FALSE(Contains(invalid->body, ServiceMarkers::kRegistered));
}

// The shifted clock moves the list's split into coming and past deletions, the verdicts and the
// log's times together.
TEST_F(SandboxServerTest, theShiftedClockMovesListVerdictsAndLog) {
    std::mutex mutex;
    std::vector<std::string> lines;
    options.log = [&](const std::string& line) {
        std::lock_guard lock(mutex);
        lines.push_back(line);
    };
    options.drop.caughtPercent = 0;
    clockOffset = 25h;
    start();
    const auto coming = get("/?kw=&p=0&date=0&pagesize=30");
    ASSERT_TRUE(coming);
    std::vector<QString> names;
    for (const ResultRow& row : ParseRows(QString::fromStdString(coming->body), 1))
        names.push_back(row.cells[ResultListModel::Domain]);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<QString>{u"1221.com"_s, u"haohaoxuexue.cn"_s, u"shop.org"_s,
                                           u"taobao.net"_s, u"yaya.org"_s}));

    const auto verdict = [this](const std::string& name) {
        const auto answer = get("/check/check_ac1.cgi?domain=" + name);
        return answer ? answer->body : std::string("no answer");
    };
    EXPECT_TRUE(Contains(verdict("kato.com"), ServiceMarkers::kFree)) << "deleted yesterday";
    // Deleted on the stand-in's day, at 09:00 past the drop hour.
    EXPECT_TRUE(Contains(verdict("taobao.net"), ServiceMarkers::kFree));
    EXPECT_TRUE(Contains(verdict("1221.com"), ServiceMarkers::kRegistered));
    server->stop();
    ASSERT_EQ(lines.size(), 4u);
    for (const std::string& line : lines)
        EXPECT_TRUE(line.starts_with("2026-12-09 09:00:00.000 ")) << line;
}

TEST_F(SandboxServerTest, aNameTurnsFreeAtTheDropHour) {
    options.drop.caughtPercent = 0;
    options.drop.hour = 14;
    standInTime = QDateTime(kToday, QTime(13, 0));
    clockOffset = 3599s;
    start();
    const auto before = get("/check/check_ac1.cgi?domain=my-shop.com");
    ASSERT_TRUE(before);
    EXPECT_TRUE(Contains(before->body, ServiceMarkers::kRegistered));
    server->stop();

    clockOffset = 3600s;
    start();
    const auto after = get("/check/check_ac1.cgi?domain=my-shop.com");
    ASSERT_TRUE(after);
    EXPECT_TRUE(Contains(after->body, ServiceMarkers::kFree));
}

TEST_F(SandboxServerTest, tooManyQuestionsAreRefused) {
    options.checksPerSecond = 3;
    // A clock that stands still: all four questions fall into one second however slow the run.
    options.limiterNow = [] { return RateLimiter::Clock::time_point{}; };
    start();
    int refused = 0;
    for (int i = 0; i < 4; ++i) {
        const auto answer = get("/check/check_ac1.cgi?domain=ab88.com");
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, 200);
        refused += Contains(answer->body, ServiceMarkers::kTooFrequent);
    }
    EXPECT_EQ(refused, 1);
    const auto list = get("/?kw=&p=0");
    ASSERT_TRUE(list);
    EXPECT_FALSE(Contains(list->body, ServiceMarkers::kTooFrequent)) << "only checks count";
}

TEST_F(SandboxServerTest, failingAnswers) {
    options.failureShare = 1.0;
    options.failureMode = FailureMode::ServerError;
    start();
    const auto error = get("/check/check_ac1.cgi?domain=ab88.com");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->status, 500);
    EXPECT_FALSE(Contains(error->body, ServiceMarkers::kRegistered));
}

TEST_F(SandboxServerTest, droppedConnection) {
    options.failureShare = 1.0;
    options.failureMode = FailureMode::DropConnection;
    start();
    EXPECT_FALSE(get("/?kw=&p=0"));
}

TEST_F(SandboxServerTest, hangOutlastsTheClientAndStopCutsItShort) {
    options.failureShare = 1.0;
    options.failureMode = FailureMode::Hang;
    options.hangTime = 60s;
    start();
    httplib::Client impatient("127.0.0.1", server->port());
    impatient.set_read_timeout(300ms);
    EXPECT_FALSE(impatient.Get("/?kw=&p=0"));

    const auto before = std::chrono::steady_clock::now();
    server->stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
}

TEST_F(SandboxServerTest, logsOneLinePerRequest) {
    std::mutex mutex;
    std::vector<std::string> lines;
    options.log = [&](const std::string& line) {
        std::lock_guard lock(mutex);
        lines.push_back(line);
    };
    start();
    ASSERT_TRUE(get("/?kw=ab&p=1"));
    ASSERT_TRUE(get("/check/check_ac1.cgi?domain=ab88.com"));
    server->stop();
    ASSERT_EQ(lines.size(), 2u);
    // Each line is written once its answer has gone out, from the thread that served it, so two
    // requests on two connections may log in either order.
    const std::string both = lines[0] + lines[1];
    EXPECT_TRUE(Contains(both, " GET /?kw=ab&p=1 200 "));
    EXPECT_TRUE(Contains(both, " GET /check/check_ac1.cgi?domain=ab88.com 200 "));
    EXPECT_EQ(FormatRequestLogLine("1.2.3.4", "GET", "/?kw=a\nb", 200, 5, "",
                                   QDateTime(QDate(2026, 12, 9), QTime(8, 0)))
                  .find('\n'),
              std::string::npos);
}

TEST_F(SandboxServerTest, aTakenPortIsReported) {
    start();
    SandboxServer second(std::make_shared<const DomainCatalog>(), SandboxOptions{});
    EXPECT_EQ(second.start(server->port()), -1);
}

} // namespace
