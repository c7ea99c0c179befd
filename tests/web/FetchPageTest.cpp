#include "web/FetchPage.h"
#include "support/TestServer.h"
#include "web/Closing.h"

#include <QElapsedTimer>
#include <QNetworkReply>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>

using namespace std::chrono_literals;

namespace {

using Kind = FetchOutcome::Kind;

// A limit for tests whose point is not the exact five seconds.
constexpr std::chrono::nanoseconds kShortLimit = 300ms;

// One route of the test server: a fixed answer, optionally held until the test releases it or
// stalled for a while.
struct Route {
    int status = 200;
    std::string body;
    std::string contentType = "text/html; charset=utf-8";
    bool held = false;
    std::chrono::milliseconds delay = 0ms;
};

class FetchPageTest : public ::testing::Test {
protected:
    FetchPageTest()
        : server([this](const httplib::Request& request, httplib::Response& response) {
              serve(request, response);
          }) {}

    QString url(const char* path) const { return server.baseUrl() + QString::fromUtf8(path); }

    FetchOutcome fetch(const char* path,
                       std::chrono::nanoseconds limit = kFetchTimeLimit) {
        return FetchPage(url(path), closing, limit);
    }

    std::map<std::string, Route> routes;
    std::atomic<int> heldAnswersSent = 0;
    std::string lastIfModifiedSince;
    Closing closing;
    TestServer server;

private:
    void serve(const httplib::Request& request, httplib::Response& response) {
        lastIfModifiedSince = request.get_header_value("If-Modified-Since");
        const auto route = routes.find(request.path);
        if (route == routes.end()) {
            response.status = 500;
            return;
        }
        const Route& r = route->second;
        if (r.held && !server.holdUntilReleased())
            return;
        if (r.delay > 0ms && !server.sleepUnlessStopping(r.delay))
            return;
        response.status = r.status;
        response.set_content(r.body, r.contentType.c_str());
        if (r.held)
            ++heldAnswersSent;
    }
};

TEST_F(FetchPageTest, completedAnswersAreGivenBackWhateverTheirStatus) {
    routes["/ok"] = {200, "<p>过期域名 ab88.com</p>"};
    routes["/missing"] = {404, "<html><body>找不到页面</body></html>"};
    routes["/broken"] = {500, "|210| internal error"};
    routes["/empty"] = {200, ""};

    const FetchOutcome ok = fetch("/ok");
    EXPECT_EQ(ok.kind, Kind::Page);
    EXPECT_EQ(ok.text, QStringLiteral("<p>过期域名 ab88.com</p>"));
    EXPECT_EQ(ok.httpStatus, 200);
    EXPECT_EQ(lastIfModifiedSince, "0");

    const FetchOutcome missing = fetch("/missing");
    EXPECT_EQ(missing.kind, Kind::Page);
    EXPECT_EQ(missing.text, QStringLiteral("<html><body>找不到页面</body></html>"));
    EXPECT_EQ(missing.httpStatus, 404);

    const FetchOutcome broken = fetch("/broken");
    EXPECT_EQ(broken.text, QStringLiteral("|210| internal error"));
    EXPECT_EQ(broken.httpStatus, 500);

    const FetchOutcome empty = fetch("/empty");
    EXPECT_EQ(empty.kind, Kind::Page);
    EXPECT_TRUE(empty.text.isEmpty());
    EXPECT_EQ(empty.httpStatus, 200);
}

TEST_F(FetchPageTest, bodyIsDecodedAsUtf8_whateverTheAnswerDeclares) {
    // "中文" in GBK, declared as GBK by header and markup.
    const std::string gbk = "<meta charset=\"gbk\">\xD6\xD0\xCE\xC4";
    routes["/gbk"] = {200, gbk, "text/html; charset=gbk"};

    const QString text = fetch("/gbk").text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("<meta charset=\"gbk\">")));
    EXPECT_FALSE(text.contains(QStringLiteral("中文")));
    EXPECT_TRUE(text.contains(QChar::ReplacementCharacter));
}

TEST_F(FetchPageTest, addressIsSentAsGivenExceptWhatAValidRequestNeedsEncoded) {
    routes["/check/check_ac1.cgi"] = {200, "|210|"};
    routes["/"] = {200, "page"};
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"/check/check_ac1.cgi?domain=ab-88.com&x=1", "/check/check_ac1.cgi?domain=ab-88.com&x=1"},
        {"/check/check_ac1.cgi?domain= ab.com", "/check/check_ac1.cgi?domain=%20ab.com"},
        // A "#" would start a fragment and everything after it, page number included, would
        // be lost.
        {"/?kw=a#b&page=2", "/?kw=a%23b&page=2"},
        {"/?kw=a+b&c=d&page=3", "/?kw=a+b&c=d&page=3"},
        {"/?kw=100%&x=%E4%B8%AD", "/?kw=100%25&x=%E4%B8%AD"},
        {"/?kw=中文", "/?kw=%E4%B8%AD%E6%96%87"},
    };
    for (const auto& [address, expected] : cases) {
        EXPECT_EQ(fetch(address).kind, Kind::Page) << address;
        ASSERT_FALSE(server.targets().empty());
        EXPECT_EQ(server.targets().back(), expected) << address;
    }
}

TEST_F(FetchPageTest, theRealLimitIsStrictlyMoreThanFiveSeconds) {
    routes["/inTime"] = {200, "|211|", "text/plain", false, 3000ms};
    routes["/stalled"] = {200, "|211|", "text/plain", true};

    const FetchOutcome inTime = fetch("/inTime");
    EXPECT_EQ(inTime.kind, Kind::Page);
    EXPECT_EQ(inTime.text, QStringLiteral("|211|"));

    QElapsedTimer clock;
    clock.start();
    const FetchOutcome stalled = fetch("/stalled");
    EXPECT_EQ(stalled.kind, Kind::TimedOut);
    EXPECT_GE(clock.nsecsElapsed(), 5'000'000'001);
    server.release();
}

TEST_F(FetchPageTest, noAnswerWithinTheLimit_timesOut_andTheLateAnswerIsDropped) {
    routes["/stalled"] = {200, "|211|", "text/plain", true};
    const FetchOutcome page = fetch("/stalled", kShortLimit);
    EXPECT_EQ(page.kind, Kind::TimedOut);
    EXPECT_TRUE(page.text.isEmpty());
    EXPECT_EQ(page.httpStatus, 0);

    server.release();
    ASSERT_TRUE(QTest::qWaitFor([this] { return heldAnswersSent > 0; }, 10000));
    routes["/ok"] = {200, "next"};
    EXPECT_EQ(fetch("/ok").text, QStringLiteral("next")) << "the late answer is not taken";
}

TEST_F(FetchPageTest, failuresWithoutAnAnswer_endTheWaitAtOnce) {
    QTcpServer closedPort;
    ASSERT_TRUE(closedPort.listen(QHostAddress::LocalHost));
    const QString refused =
        QStringLiteral("http://127.0.0.1:") + QString::number(closedPort.serverPort()) + u"/";
    closedPort.close();

    // Far below the limit, so that only an early end passes.
    const FetchOutcome page = FetchPage(refused, closing, 60s);
    EXPECT_EQ(page.kind, Kind::Failed);
    EXPECT_EQ(page.errorCode, QNetworkReply::ConnectionRefusedError);
    EXPECT_TRUE(page.text.isEmpty());

    const FetchOutcome invalid = FetchPage(QStringLiteral("no address at all"), closing, 60s);
    EXPECT_EQ(invalid.kind, Kind::Failed);
    EXPECT_EQ(invalid.errorCode, QNetworkReply::ProtocolUnknownError);
}

TEST_F(FetchPageTest, bodyOverTheLimit_isAbandoned) {
    routes["/limit"] = {200, std::string(kMaxBodyBytes, 'a'), "application/octet-stream"};
    routes["/over"] = {200, std::string(kMaxBodyBytes + 1, 'a'), "application/octet-stream"};

    EXPECT_EQ(fetch("/limit").text.size(), kMaxBodyBytes);
    const FetchOutcome over = fetch("/over");
    EXPECT_EQ(over.kind, Kind::TooLarge);
    EXPECT_TRUE(over.text.isEmpty());
}

TEST_F(FetchPageTest, closing_endsTheWaitAtOnce_andSkipsLaterRequests) {
    routes["/stalled"] = {200, "|211|", "text/plain", true};
    routes["/ok"] = {200, "page"};
    server.onArrival([this](const std::string&) { closing.begin(); });

    EXPECT_EQ(fetch("/stalled", 60s).kind, Kind::Closing);
    EXPECT_EQ(fetch("/ok").kind, Kind::Closing);
    EXPECT_EQ(server.requestCount(), 1u);
    server.release();
}

TEST_F(FetchPageTest, eventsAreHandledWhileWaiting) {
    routes["/held"] = {200, "page", "text/plain", true};
    bool handled = false;
    // Only an event handled during the wait can release the answer the wait is for.
    server.onArrival([&](const std::string&) {
        handled = true;
        server.release();
    });
    EXPECT_EQ(fetch("/held", 60s).text, QStringLiteral("page"));
    EXPECT_TRUE(handled);
}

} // namespace
