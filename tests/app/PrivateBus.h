#pragma once

#include <QDBusConnection>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// A session bus of the test's own: a dbus-daemon that knows no activatable services, so that
// no notification service is started behind the test's back, and that ends with the test.
class PrivateBus {
public:
    PrivateBus() {
        const QString config = m_dir.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write(QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus "
                                  "Configuration 1.0//EN\"\n"
                                  " \"http://www.freedesktop.org/standards/dbus/1.0/"
                                  "busconfig.dtd\">\n"
                                  "<busconfig><type>session</type>"
                                  "<listen>unix:dir=%1</listen><auth>EXTERNAL</auth>"
                                  "<policy context=\"default\"><allow send_destination=\"*\"/>"
                                  "<allow receive_sender=\"*\"/><allow own=\"*\"/>"
                                  "</policy></busconfig>\n")
                       .arg(m_dir.path())
                       .toUtf8());
        file.close();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
        // The address is printed once the bus accepts connections.
        while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(30000)) {
        }
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus() {
        for (const QString& name : m_connections)
            QDBusConnection::disconnectFromBus(name);
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool started() const { return !m_address.isEmpty(); }

    // A connection of its own, as a separate program would have.
    QDBusConnection connect() {
        static int count = 0;
        const QString name = QStringLiteral("private-bus-%1").arg(++count);
        m_connections << name;
        return QDBusConnection::connectToBus(m_address, name);
    }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
};
