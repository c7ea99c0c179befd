#include "registry/RegistryFetch.h"

#include "web/PageRequest.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>

QByteArray HeaderValue(const HttpHeaders& headers, QByteArrayView name) {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QDateTime ReadHttpDate(QByteArrayView value) {
    // Qt reads the date as RFC 2822 once the zone is written as an offset.
    QString text =
        QString::fromLatin1(value.first(std::min<qsizetype>(value.size(), 64))).trimmed();
    if (text.endsWith(u" GMT") || text.endsWith(u" UTC"))
        text = text.chopped(4) + u" +0000";
    return QDateTime::fromString(text, Qt::RFC2822Date);
}

RegistryFetch::RegistryFetch(QNetworkAccessManager* manager, QObject* parent)
    : QObject(parent), m_manager(manager) {
    m_deadline.setSingleShot(true);
    m_deadline.setTimerType(Qt::PreciseTimer);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        HttpAnswer answer;
        answer.kind = FetchOutcome::Kind::TimedOut;
        conclude(std::move(answer));
    });
}

RegistryFetch::~RegistryFetch() {
    abort();
}

void RegistryFetch::start(const QUrl& address, const QByteArray& accept, qsizetype bodyLimit,
                          std::chrono::milliseconds timeLimit) {
    abort();
    if (!m_manager) {
        m_ownManager = std::make_unique<QNetworkAccessManager>();
        m_manager = m_ownManager.get();
    }
    QNetworkRequest request(address);
    request.setRawHeader(QByteArrayLiteral("Accept"), accept);
    m_reply = m_manager->get(request);
    m_body = std::make_unique<BodyReader>(m_reply, bodyLimit);
    connect(m_reply, &QNetworkReply::finished, this, [this] {
        const FetchOutcome outcome = m_body->finish();
        HttpAnswer answer;
        answer.kind = outcome.kind;
        answer.httpStatus = outcome.httpStatus;
        answer.errorCode = outcome.errorCode;
        if (outcome.isPage()) {
            answer.headers = m_reply->rawHeaderPairs();
            answer.body = m_body->body();
        }
        conclude(std::move(answer));
    });
    m_deadline.start(timeLimit);
}

void RegistryFetch::abort() {
    dropReply();
}

void RegistryFetch::conclude(HttpAnswer answer) {
    if (!m_reply)
        return;
    dropReply();
    emit finished(answer);
}

void RegistryFetch::dropReply() {
    m_deadline.stop();
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    m_body.reset();
    AbandonReply(reply, this);
}
