#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <chrono>

class QLocalServer;
class QLocalSocket;

// One program per user. The first start holds a lock file and listens on a local socket beside
// it; a later start finds the lock held, asks the running program to show its window and ends.
// A lock whose program has died (a crash, a kill) is taken over by the next start.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Start {
        Running,    // this process is the program now
        HandedOver, // the running program was asked to show its window
        NoAnswer,   // another program holds the lock but did not answer in time
    };

    // The lock and the socket live in directory; every start of one user must name the same.
    explicit SingleInstance(QString directory = defaultDirectory(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // Blocks for at most handOverTime, and only when another program runs: the process that
    // calls it has no window yet.
    Start start(std::chrono::milliseconds handOverTime = std::chrono::milliseconds(1500));

    QString lockPath() const;
    QString serverName() const;
    // The user's runtime directory; the program's data directory where there is none.
    static QString defaultDirectory();

Q_SIGNALS:
    // A later start asks for the window.
    void showRequested();

private:
    bool becomeRunning();
    bool askRunningToShow(std::chrono::milliseconds within);
    void acceptConnections();
    void readRequest(QLocalSocket* socket);

    QString m_directory;
    QLockFile m_lock;
    QLocalServer* m_server = nullptr;
};
