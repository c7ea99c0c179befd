#include "web/AsyncFetch.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

AsyncFetch::AsyncFetch(QObject* parent) : QObject(parent) {
    m_deadline.setSingleShot(true);
    m_deadline.setTimerType(Qt::PreciseTimer);
    connect(&m_deadline, &QTimer::timeout, this,
            [this] { conclude(FetchOutcome::of(FetchOutcome::Kind::TimedOut)); });
}

AsyncFetch::~AsyncFetch() {
    abort();
}

void AsyncFetch::start(const QString& address, std::chrono::nanoseconds timeLimit) {
    abort();
    // A manager per request, as in the window's own fetches: nothing is pooled between them.
    m_manager = std::make_unique<QNetworkAccessManager>();
    m_reply = m_manager->get(MakePageRequest(address));
    m_body = std::make_unique<BodyReader>(m_reply);
    connect(m_reply, &QNetworkReply::finished, this, [this] { conclude(m_body->finish()); });
    // Rounded up, so the limit is never shorter than asked.
    const auto limit = std::chrono::ceil<std::chrono::milliseconds>(timeLimit);
    m_deadline.start(limit);
}

void AsyncFetch::conclude(const FetchOutcome& outcome) {
    if (!m_reply)
        return;
    dropReply();
    emit finished(outcome);
}

void AsyncFetch::abort() {
    dropReply();
}

void AsyncFetch::dropReply() {
    m_deadline.stop();
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    m_body.reset();
    AbandonReply(reply, this);
    m_manager.release()->deleteLater();
}
