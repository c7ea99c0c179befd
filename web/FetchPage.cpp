#include "web/FetchPage.h"

#include "app/StatusLine.h"
#include "web/Closing.h"
#include "web/NestedWait.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QUrl>

namespace {

constexpr qint64 kReadAheadBytes = 1024 * 1024;

// Strictly more than five seconds.
constexpr qint64 kTimeLimitNs = 5'000'000'001;

const QString kTimedOutText = QStringLiteral("状态：超时，跳过...");
const QString kErrorText = QStringLiteral("状态：发生错误，错误代码：");

// Failures of the connection itself, as opposed to the errors that Qt derives from an HTTP
// status, which come with a whole answer.
bool isTransportFailure(QNetworkReply::NetworkError error) {
    const int code = error;
    return (code > 0 && code < QNetworkReply::ContentAccessDenied) ||
           error == QNetworkReply::ProtocolFailure;
}

void reportError(StatusLine& status, int code) {
    status.setText(kErrorText + QString::number(code));
}

QString decodeUtf8(const QByteArray& body) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    return decoder.decode(body);
}

} // namespace

FetchedPage FetchPageWithStatus(const QString& address, StatusLine& status,
                                const Closing& closing) {
    if (closing.isClosing())
        return {};

    QByteArray body;
    bool tooLarge = false;
    QElapsedTimer clock;
    NestedWait wait(closing, clock, kTimeLimitNs);

    // Its own manager per call: nothing is pooled between requests, and deleting it at the end
    // frees the reply at once (deleteLater would wait for the main loop).
    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl(address, QUrl::TolerantMode));
    request.setRawHeader(QByteArrayLiteral("If-Modified-Since"), QByteArrayLiteral("0"));
    QNetworkReply* reply = manager.get(request);
    // Qt's network thread would otherwise read ahead without bound, past the body limit.
    reply->setReadBufferSize(kReadAheadBytes);
    clock.start();

    QObject::connect(reply, &QNetworkReply::finished, wait.context(), [&wait] { wait.wake(); });
    QObject::connect(reply, &QIODevice::readyRead, wait.context(), [&] {
        body += reply->readAll();
        if (body.size() > kMaxBodyBytes && !tooLarge) {
            tooLarge = true;
            reply->abort();
        }
    });

    const WaitEnd end = wait.run([reply] { return reply->isFinished(); });
    switch (end) {
    case WaitEnd::Closing:
        reply->abort();
        return {};
    case WaitEnd::DeadlinePassed:
        reply->abort();
        status.setText(kTimedOutText);
        return {};
    case WaitEnd::Done:
        break;
    }

    if (!tooLarge) {
        body += reply->readAll();
        tooLarge = body.size() > kMaxBodyBytes;
    }
    if (tooLarge) {
        reportError(status, kBodyTooLargeCode);
        return {};
    }
    // A connection reset mid-body can end in a silent resend that reports success with only
    // part of the body. An answer shorter than it announced is a failed answer, never a page.
    const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
    if (announced.isValid() && announced.toLongLong() != body.size()) {
        reportError(status, QNetworkReply::RemoteHostClosedError);
        return {};
    }
    const QVariant httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!httpStatus.isValid() || isTransportFailure(reply->error())) {
        // Code 0 means that nothing failed; an answer without any HTTP status did fail.
        const QNetworkReply::NetworkError error = reply->error();
        reportError(status,
                    error != QNetworkReply::NoError ? error : QNetworkReply::ProtocolUnknownError);
        return {};
    }
    return {decodeUtf8(body), httpStatus.toInt()};
}

QString FetchPage(const QString& address, StatusLine& status, const Closing& closing) {
    return FetchPageWithStatus(address, status, closing).text;
}
