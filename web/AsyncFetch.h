#pragma once

#include "web/FetchOutcome.h"
#include "web/PageRequest.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

// One HTTP GET under the program's request rules that nobody waits for: it runs on the event
// loop and ends with finished(), once, unless it is aborted first. For work in the background
// that must never hold the window in a nested wait.
class AsyncFetch : public QObject {
    Q_OBJECT
public:
    explicit AsyncFetch(QObject* parent = nullptr);
    ~AsyncFetch() override;

    bool isRunning() const { return m_reply != nullptr; }
    // Starts a request; one at a time.
    void start(const QString& address, std::chrono::nanoseconds timeLimit = kFetchTimeLimit);
    // Ends the request in flight without a finished().
    void abort();

signals:
    void finished(const FetchOutcome& outcome);

private:
    void conclude(const FetchOutcome& outcome);
    void dropReply();

    std::unique_ptr<QNetworkAccessManager> m_manager;
    QNetworkReply* m_reply = nullptr;
    std::unique_ptr<BodyReader> m_body;
    QTimer m_deadline;
};
