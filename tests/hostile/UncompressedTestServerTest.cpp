// The test server hands Qt exactly the bytes a test wrote: this cpp-httplib would otherwise
// brotli-compress every text answer, since Qt asks for it, and the hostile bytes a test means
// to send would never reach the code under test as written.
#include "support/QStringPrinter.h"
#include "support/TestServer.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Received {
    int status = 0;
    QByteArray body;
    QByteArray contentEncoding;
    QByteArray contentLength;
    QByteArray contentType;
};

Received get(const QString& address) {
    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(QUrl(address))));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll(),
            reply->rawHeader("Content-Encoding"), reply->rawHeader("Content-Length"),
            reply->rawHeader("Content-Type")};
}

} // namespace

TEST(UncompressedTestServer, sendsEveryTextBodyAsWrittenThoughQtAsksForCompression) {
    const std::string page = "<html>" + std::string(20000, 'x') + "\xff\x00\xfe</html>";
    TestServer server([&](const httplib::Request& request, httplib::Response& response) {
        if (request.path == "/page") {
            answerText(response, page);
        } else if (request.path == "/missing") {
            response.status = 404;
            response.set_content("not here", "text/plain");
        } else {
            response.set_redirect("/page");
        }
    });

    const Received pageAnswer = get(server.baseUrl() + QStringLiteral("/page"));
    EXPECT_EQ(pageAnswer.status, 200);
    EXPECT_TRUE(pageAnswer.contentEncoding.isEmpty()) << pageAnswer.contentEncoding.toStdString();
    EXPECT_EQ(pageAnswer.contentLength, QByteArray::number(qsizetype(page.size())));
    EXPECT_EQ(pageAnswer.contentType, QByteArrayLiteral("text/html; charset=utf-8"));
    EXPECT_EQ(pageAnswer.body, QByteArray::fromStdString(page));

    const Received missing = get(server.baseUrl() + QStringLiteral("/missing"));
    EXPECT_EQ(missing.status, 404);
    EXPECT_TRUE(missing.contentEncoding.isEmpty());
    EXPECT_EQ(missing.body, QByteArrayLiteral("not here"));

    const Received redirected = get(server.baseUrl() + QStringLiteral("/elsewhere"));
    EXPECT_EQ(redirected.status, 200);
    EXPECT_EQ(redirected.body, QByteArray::fromStdString(page));
}
