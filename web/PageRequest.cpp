#include "web/PageRequest.h"

#include <QNetworkReply>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrl>

namespace {

constexpr qint64 kReadAheadBytes = 1024 * 1024;

QString decodeUtf8(const QByteArray& body) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    return decoder.decode(body);
}

} // namespace

bool IsTransportFailure(QNetworkReply::NetworkError error) {
    const int code = error;
    return (code > 0 && code < QNetworkReply::ContentAccessDenied) ||
           error == QNetworkReply::ProtocolFailure;
}

QNetworkRequest MakePageRequest(const QString& address) {
    // The address goes out as the caller built it, nothing escaped, except where it would not
    // be a valid request otherwise. QUrl's tolerant parsing encodes blanks and non-ASCII text
    // (as UTF-8); "&", "+", "?" and escapes already in the address stay as they are. Two things
    // are encoded here first. A "#" would start a fragment, which is never sent: a keyword
    // holding one would lose everything after it, the page number included. A "%" that starts
    // no escape would make QUrl encode every other "%" too, changing escapes the caller meant.
    static const QRegularExpression strayPercent(QStringLiteral("%(?![0-9A-Fa-f]{2})"));
    QString whole = address;
    whole.replace(QLatin1Char('#'), QStringLiteral("%23"));
    whole.replace(strayPercent, QStringLiteral("%25"));
    QNetworkRequest request(QUrl(whole, QUrl::TolerantMode));
    request.setRawHeader(QByteArrayLiteral("If-Modified-Since"), QByteArrayLiteral("0"));
    return request;
}

BodyReader::BodyReader(QNetworkReply* reply, qsizetype limit) : m_reply(reply), m_limit(limit) {
    // Qt's network thread would otherwise read ahead without bound, past the body limit.
    reply->setReadBufferSize(kReadAheadBytes);
    m_readyRead =
        QObject::connect(reply, &QIODevice::readyRead, reply, [this] { readAvailable(); });
}

BodyReader::~BodyReader() {
    QObject::disconnect(m_readyRead);
}

void BodyReader::readAvailable() {
    if (m_tooLarge)
        return;
    m_body += m_reply->readAll();
    if (m_body.size() > m_limit) {
        m_tooLarge = true;
        m_body.clear();
        m_reply->abort();
    }
}

FetchOutcome BodyReader::finish() {
    readAvailable();
    if (m_tooLarge)
        return FetchOutcome::of(FetchOutcome::Kind::TooLarge);
    // A connection reset mid-body can end in a silent resend that reports success with only
    // part of the body. An answer shorter than it announced is a failed answer, never a page.
    const QVariant announced = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (announced.isValid() && announced.toLongLong() != m_body.size())
        return FetchOutcome::failed(QNetworkReply::RemoteHostClosedError);
    const QVariant httpStatus = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!httpStatus.isValid() || IsTransportFailure(m_reply->error())) {
        // Code 0 means that nothing failed; an answer without any HTTP status did fail.
        const QNetworkReply::NetworkError error = m_reply->error();
        return FetchOutcome::failed(
            error != QNetworkReply::NoError ? error : QNetworkReply::ProtocolUnknownError);
    }
    return FetchOutcome::page(decodeUtf8(m_body), httpStatus.toInt());
}

void AbandonReply(QNetworkReply* reply, const QObject* receiver) {
    reply->disconnect(receiver);
    reply->abort();
    reply->deleteLater();
}
