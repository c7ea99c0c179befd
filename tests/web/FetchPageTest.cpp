#include "web/FetchPage.h"
#include "app/StatusLine.h"
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

const QString kUntouched = QStringLiteral("状态：准备就绪");
const QString kTimedOut = QStringLiteral("状态：超时，跳过...");
const QString kErrorPrefix = QStringLiteral("状态：发生错误，错误代码：");

// One route of the test server: a fixed answer, optionally after a stall.
struct Route {
    int status = 200;
    std::string body;
    std::string contentType = "text/html; charset=utf-8";
    std::chrono::milliseconds delay = 0ms;
};

class FetchPageTest : public ::testing::Test {
protected:
    FetchPageTest()
        : server([this](const httplib::Request& request, httplib::Response& response) {
              serve(request, response);
          }) {
        status.setText(kUntouched);
    }

    QString url(const char* path) const { return server.baseUrl() + QString::fromUtf8(path); }

    FetchedPage fetch(const char* path) { return FetchPageWithStatus(url(path), status, closing); }

    std::map<std::string, Route> routes;
    std::atomic<int> lateAnswersSent = 0;
    std::string lastIfModifiedSince;
    StatusLine status;
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
        if (r.delay > 0ms && !server.sleepUnlessStopping(r.delay))
            return;
        response.status = r.status;
        response.set_content(r.body, r.contentType.c_str());
        if (r.delay > 0ms)
            ++lateAnswersSent;
    }
};

TEST_F(FetchPageTest, completedAnswers_returnTheirBodyWhateverTheStatus_andLeaveTheStatusLine) {
    routes["/ok"] = {200, "<p>过期域名 ab88.com</p>"};
    routes["/missing"] = {404, "<html><body>找不到页面</body></html>"};
    routes["/broken"] = {500, "|210| internal error"};
    routes["/empty"] = {200, ""};

    const FetchedPage ok = fetch("/ok");
    EXPECT_EQ(ok.text, QStringLiteral("<p>过期域名 ab88.com</p>"));
    EXPECT_EQ(ok.httpStatus, 200);
    EXPECT_EQ(lastIfModifiedSince, "0");

    const FetchedPage missing = fetch("/missing");
    EXPECT_EQ(missing.text, QStringLiteral("<html><body>找不到页面</body></html>"));
    EXPECT_EQ(missing.httpStatus, 404);

    const FetchedPage broken = fetch("/broken");
    EXPECT_EQ(broken.text, QStringLiteral("|210| internal error"));
    EXPECT_EQ(broken.httpStatus, 500);

    const FetchedPage empty = fetch("/empty");
    EXPECT_TRUE(empty.text.isEmpty());
    EXPECT_EQ(empty.httpStatus, 200);

    EXPECT_EQ(FetchPage(url("/ok"), status, closing), ok.text);
    EXPECT_EQ(status.text(), kUntouched);
}

TEST_F(FetchPageTest, bodyIsDecodedAsUtf8_whateverTheAnswerDeclares) {
    // "中文" in GBK, declared as GBK by header and markup.
    const std::string gbk = "<meta charset=\"gbk\">\xD6\xD0\xCE\xC4";
    routes["/gbk"] = {200, gbk, "text/html; charset=gbk"};

    const QString text = fetch("/gbk").text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("<meta charset=\"gbk\">")));
    EXPECT_FALSE(text.contains(QStringLiteral("中文")));
    EXPECT_TRUE(text.contains(QChar::ReplacementCharacter));
    EXPECT_EQ(status.text(), kUntouched);
}

TEST_F(FetchPageTest, addressIsSentAsGiven) {
    routes["/check/check_ac1.cgi"] = {200, "|210|"};
    fetch("/check/check_ac1.cgi?domain=ab-88.com&x=1");
    fetch("/check/check_ac1.cgi?domain= ab.com");
    const std::vector<std::string> targets = server.targets();
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(targets[0], "/check/check_ac1.cgi?domain=ab-88.com&x=1");
    EXPECT_EQ(targets[1], "/check/check_ac1.cgi?domain=%20ab.com");
}

TEST_F(FetchPageTest, answerJustInsideTheTimeLimit_isReturned) {
    routes["/slow"] = {200, "|211|", "text/plain", 4500ms};
    const FetchedPage page = fetch("/slow");
    EXPECT_EQ(page.text, QStringLiteral("|211|"));
    EXPECT_EQ(status.text(), kUntouched);
}

TEST_F(FetchPageTest, noAnswerWithinFiveSeconds_timesOut_andTheLateAnswerChangesNothing) {
    routes["/stalled"] = {200, "|211|", "text/plain", 6000ms};
    QElapsedTimer clock;
    clock.start();
    const FetchedPage page = fetch("/stalled");
    const qint64 elapsed = clock.elapsed();

    EXPECT_TRUE(page.text.isEmpty());
    EXPECT_EQ(page.httpStatus, 0);
    EXPECT_EQ(status.text(), kTimedOut);
    EXPECT_GE(elapsed, 5000);
    EXPECT_LT(elapsed, 5900);

    status.setText(kUntouched);
    ASSERT_TRUE(QTest::qWaitFor([this] { return lateAnswersSent > 0; }, 3000));
    QTest::qWait(200);
    EXPECT_EQ(status.text(), kUntouched);
}

TEST_F(FetchPageTest, failuresWithoutAnAnswer_areReportedAtOnce) {
    QTcpServer closedPort;
    ASSERT_TRUE(closedPort.listen(QHostAddress::LocalHost));
    const QString refused =
        QStringLiteral("http://127.0.0.1:") + QString::number(closedPort.serverPort()) + u"/";
    closedPort.close();

    QElapsedTimer clock;
    clock.start();
    const FetchedPage page = FetchPageWithStatus(refused, status, closing);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_TRUE(page.text.isEmpty());
    EXPECT_EQ(page.httpStatus, 0);
    EXPECT_EQ(status.text(), kErrorPrefix + QString::number(QNetworkReply::ConnectionRefusedError));

    status.setText(kUntouched);
    clock.restart();
    EXPECT_TRUE(FetchPage(QStringLiteral("no address at all"), status, closing).isEmpty());
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(status.text(), kErrorPrefix + QString::number(QNetworkReply::ProtocolUnknownError));
}

TEST_F(FetchPageTest, bodyOverTheLimit_isAbandonedAndReported) {
    routes["/limit"] = {200, std::string(kMaxBodyBytes, 'a'), "application/octet-stream"};
    routes["/over"] = {200, std::string(kMaxBodyBytes + 1, 'a'), "application/octet-stream"};

    EXPECT_EQ(fetch("/limit").text.size(), kMaxBodyBytes);
    EXPECT_EQ(status.text(), kUntouched);

    const FetchedPage over = fetch("/over");
    EXPECT_TRUE(over.text.isEmpty());
    EXPECT_EQ(over.httpStatus, 0);
    EXPECT_EQ(status.text(), kErrorPrefix + QString::number(kBodyTooLargeCode));
}

TEST_F(FetchPageTest, closing_endsTheWaitAtOnce_andSkipsLaterRequests) {
    routes["/stalled"] = {200, "|211|", "text/plain", 3000ms};
    routes["/ok"] = {200, "page"};
    QTimer::singleShot(100, &closing, &Closing::begin);
    QElapsedTimer clock;
    clock.start();
    const FetchedPage page = fetch("/stalled");
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_TRUE(page.text.isEmpty());
    EXPECT_EQ(status.text(), kUntouched);

    EXPECT_TRUE(fetch("/ok").text.isEmpty());
    QTest::qWait(100);
    EXPECT_EQ(server.requestCount(), 1u);
    EXPECT_EQ(status.text(), kUntouched);
}

TEST_F(FetchPageTest, eventsAreHandledWhileWaiting) {
    routes["/slow"] = {200, "page", "text/plain", 500ms};
    QElapsedTimer clock;
    clock.start();
    qint64 firedAt = -1;
    QTimer::singleShot(50, [&] { firedAt = clock.elapsed(); });
    EXPECT_EQ(fetch("/slow").text, QStringLiteral("page"));
    const qint64 returnedAt = clock.elapsed();
    EXPECT_GE(firedAt, 0);
    EXPECT_LT(firedAt, returnedAt);
    EXPECT_LT(firedAt, 400);
}

TEST_F(FetchPageTest, nestedFetch_endsFirst_andAnAnswerThatCameMeanwhileStillCounts) {
    // The outer answer arrives and the outer deadline passes, both while the nested fetch holds
    // the outer wait up.
    routes["/outer"] = {200, "outer page", "text/plain", 4500ms};
    routes["/inner"] = {200, "inner page", "text/plain", 2000ms};
    std::vector<QString> finished;
    QTimer::singleShot(4000, [&] { finished.push_back(fetch("/inner").text); });

    finished.push_back(fetch("/outer").text);

    ASSERT_EQ(finished.size(), 2u);
    EXPECT_EQ(finished[0], QStringLiteral("inner page"));
    EXPECT_EQ(finished[1], QStringLiteral("outer page"));
    EXPECT_EQ(status.text(), kUntouched);
}

TEST_F(FetchPageTest, nestedFetch_doesNotStopTheOuterDeadline) {
    routes["/outer"] = {200, "outer page", "text/plain", 6000ms};
    routes["/inner"] = {200, "inner page", "text/plain", 4000ms};
    QString inner;
    QTimer::singleShot(1500, [&] { inner = fetch("/inner").text; });

    const FetchedPage outer = fetch("/outer");

    EXPECT_EQ(inner, QStringLiteral("inner page"));
    EXPECT_TRUE(outer.text.isEmpty());
    EXPECT_EQ(status.text(), kTimedOut);
}

} // namespace
