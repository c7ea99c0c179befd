#pragma once

#include "web/FetchOutcome.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPair>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <memory>

class BodyReader;
class QNetworkAccessManager;
class QNetworkReply;

using HttpHeaders = QList<QPair<QByteArray, QByteArray>>;

// How one registry request ended: the page's status, headers and raw body, or why there was
// none (time-out, transport failure, a body over the limit).
struct HttpAnswer {
    FetchOutcome::Kind kind = FetchOutcome::Kind::Failed;
    int httpStatus = 0;
    int errorCode = 0;
    HttpHeaders headers;
    QByteArray body;
};

// The value of a header, by case-insensitive name; empty when absent.
QByteArray HeaderValue(const HttpHeaders& headers, QByteArrayView name);
// An HTTP date ("Sun, 06 Nov 1994 08:49:37 GMT"); invalid when it is none.
QDateTime ReadHttpDate(QByteArrayView value);

// One GET to a registry or to the bootstrap's home, under the program's request rules (a body
// limit, a precise time limit, the body read as BodyReader reads every page), that nobody waits
// for: it ends with finished(), once, unless aborted first. Connections stay open between
// requests of one manager, so a registry asked again is not asked for a new handshake each time:
// hand in a manager to share, or one of its own is made.
class RegistryFetch : public QObject {
    Q_OBJECT
public:
    explicit RegistryFetch(QNetworkAccessManager* manager = nullptr, QObject* parent = nullptr);
    ~RegistryFetch() override;

    bool isRunning() const { return m_reply != nullptr; }
    void start(const QUrl& address, const QByteArray& accept, qsizetype bodyLimit,
               std::chrono::milliseconds timeLimit);
    void abort();

signals:
    void finished(const HttpAnswer& answer);

private:
    void conclude(HttpAnswer answer);
    void dropReply();

    QNetworkAccessManager* m_manager;
    std::unique_ptr<QNetworkAccessManager> m_ownManager;
    QNetworkReply* m_reply = nullptr;
    std::unique_ptr<BodyReader> m_body;
    QTimer m_deadline;
};
