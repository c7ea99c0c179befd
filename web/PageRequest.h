#pragma once

#include "web/FetchOutcome.h"

#include <QByteArray>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QObject>
#include <QString>

#include <chrono>

// The rules every GET of the program keeps, whether it waits for the answer (FetchPage) or not
// (the watch list's background checks).

// Strictly more than five seconds.
inline constexpr std::chrono::nanoseconds kFetchTimeLimit{5'000'000'001};

// A body larger than this is abandoned as soon as it passes the limit and reported with
// kBodyTooLargeCode, the HTTP code for content too large, which no QNetworkReply error uses.
inline constexpr qsizetype kMaxBodyBytes = 16 * 1024 * 1024;
inline constexpr int kBodyTooLargeCode = 413;

// A failure of the connection itself, as opposed to the errors that Qt derives from an HTTP
// status, which come with a whole answer.
bool IsTransportFailure(QNetworkReply::NetworkError error);

// The request for an address, with the one header "If-Modified-Since: 0".
QNetworkRequest MakePageRequest(const QString& address);

// Lets go of a reply still running: the receiver hears nothing more of it, it is aborted, and it
// is deleted later, since this may run inside the reply's own signal.
void AbandonReply(QNetworkReply* reply, const QObject* receiver);

// Collects one reply's body within a limit (kMaxBodyBytes unless told) and reads the reply's end
// as an outcome. Attach it right after the request is sent; it lives as long as the reply.
class BodyReader {
public:
    explicit BodyReader(QNetworkReply* reply, qsizetype limit = kMaxBodyBytes);
    ~BodyReader();
    BodyReader(const BodyReader&) = delete;
    BodyReader& operator=(const BodyReader&) = delete;

    // After the reply has finished.
    FetchOutcome finish();
    // The body's bytes as they came; empty once the limit was passed.
    const QByteArray& body() const { return m_body; }

private:
    void readAvailable();

    QNetworkReply* m_reply;
    qsizetype m_limit;
    QMetaObject::Connection m_readyRead;
    QByteArray m_body;
    bool m_tooLarge = false;
};
