#include "app/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>

using namespace std::chrono_literals;

namespace {

const QByteArray kShowRequest = QByteArrayLiteral("show\n");
const QByteArray kShownAnswer = QByteArrayLiteral("shown\n");
// Longer than any line of the exchange; a caller that sends more is not listened to.
constexpr qint64 kLongestLine = 64;
// A caller that connects and says nothing is dropped after this.
constexpr auto kSilenceLimit = 5s;

int msecsLeft(const QDeadlineTimer& deadline) {
    return int(std::max<qint64>(0, deadline.remainingTime()));
}

} // namespace

SingleInstance::SingleInstance(QString directory, QObject* parent)
    : QObject(parent), m_directory(std::move(directory)),
      m_lock(QDir(m_directory).filePath(QStringLiteral("morrowcatch.lock"))) {
    // The program holds the lock for as long as it runs: only a lock whose process is gone is
    // stale, however old it is.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    // The socket goes before the lock, so that a start that finds the lock free never meets a
    // server about to close.
    delete m_server;
}

QString SingleInstance::lockPath() const {
    return m_lock.fileName();
}

QString SingleInstance::serverName() const {
    return QDir(m_directory).filePath(QStringLiteral("morrowcatch.socket"));
}

QString SingleInstance::defaultDirectory() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty()
               ? QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
               : runtime;
}

SingleInstance::Start SingleInstance::start(std::chrono::milliseconds handOverTime) {
    QDir().mkpath(m_directory);
    const QDeadlineTimer deadline(handOverTime);
    std::chrono::milliseconds pause(0);
    for (;;) {
        // QLockFile removes a lock whose process no longer runs.
        if (m_lock.tryLock(pause)) {
            if (!becomeRunning())
                qWarning("其他启动将无法唤起本程序的窗口。");
            return Start::Running;
        }
        // A lock that cannot be written at all (a read-only folder) must not keep the program
        // from running: it runs without the guard.
        if (m_lock.error() != QLockFile::LockFailedError)
            return Start::Running;
        if (askRunningToShow(std::chrono::milliseconds(msecsLeft(deadline))))
            return Start::HandedOver;
        if (deadline.hasExpired()) {
            qCritical("Morrowcatch 已在运行，但没有回应。");
            return Start::NoAnswer;
        }
        // The other program is still starting (not listening yet) or ending (its lock about
        // to go): look again a little later.
        pause = std::min<std::chrono::milliseconds>(100ms,
                                                    std::chrono::milliseconds(msecsLeft(deadline)));
    }
}

bool SingleInstance::becomeRunning() {
    // A socket file left by a program that died holding the lock, which is ours now.
    QLocalServer::removeServer(serverName());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return m_server->listen(serverName());
}

bool SingleInstance::askRunningToShow(std::chrono::milliseconds within) {
    const QDeadlineTimer deadline(within);
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(msecsLeft(deadline)))
        return false;
    socket.write(kShowRequest);
    if (!socket.waitForBytesWritten(msecsLeft(deadline)))
        return false;
    while (!socket.canReadLine()) {
        if (socket.bytesAvailable() > kLongestLine || !socket.waitForReadyRead(msecsLeft(deadline)))
            return false;
    }
    return socket.readLine(kLongestLine) == kShownAnswer;
}

void SingleInstance::acceptConnections() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        QTimer::singleShot(kSilenceLimit, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
    }
}

void SingleInstance::readRequest(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kLongestLine)
            socket->abort();
        return;
    }
    const QByteArray request = socket->readLine(kLongestLine);
    socket->readAll();
    if (request == kShowRequest) {
        Q_EMIT showRequested();
        socket->write(kShownAnswer);
    }
    // Leaves once the answer is written.
    socket->disconnectFromServer();
}
