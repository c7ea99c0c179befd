#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// Stands in for the desktop's notification service on a test bus: records what Notify was
// given and sends the signals a click on a notification sends.
class FakeNotificationService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Notification {
        QString signature;
        QString appName;
        uint replacesId = 0;
        QString icon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int expireTimeout = 0;
    };

    // Registers the service on bus, which must stay connected while this lives.
    explicit FakeNotificationService(QDBusConnection bus, QStringList capabilities)
        : m_bus(std::move(bus)), m_capabilities(std::move(capabilities)) {
        m_registered = m_bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                            QDBusConnection::ExportAllSlots) &&
                       m_bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }
    ~FakeNotificationService() override {
        m_bus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
        m_bus.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
    }

    bool registered() const { return m_registered; }
    const QList<Notification>& received() const { return m_received; }
    // The id the service gave the last notification.
    uint lastId() const { return m_nextId - 1; }
    // Every Notify is answered with an error from now on.
    void refuse() { m_refusing = true; }

    void invokeAction(uint id, const QString& key) {
        m_bus.send(signal(QStringLiteral("ActionInvoked")) << id << key);
    }
    void close(uint id) { m_bus.send(signal(QStringLiteral("NotificationClosed")) << id << 2u); }

public Q_SLOTS:
    QStringList GetCapabilities() { return m_capabilities; }

    uint Notify(const QString& appName, uint replacesId, const QString& icon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expireTimeout) {
        if (m_refusing) {
            sendErrorReply(QDBusError::Failed, QStringLiteral("refused"));
            return 0;
        }
        m_received.append({message().signature(), appName, replacesId, icon, summary, body, actions,
                           hints, expireTimeout});
        return m_nextId++;
    }

private:
    static QDBusMessage signal(const QString& name) {
        return QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                          QStringLiteral("org.freedesktop.Notifications"), name);
    }

    QDBusConnection m_bus;
    QStringList m_capabilities;
    QList<Notification> m_received;
    uint m_nextId = 7;
    bool m_registered = false;
    bool m_refusing = false;
};
