#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

// A name found free, told through the desktop's notification service (org.freedesktop.
// Notifications) on the bus it is given. Every call is asynchronous: the window never waits for
// the service. Where there is no service, or it refuses, notShown follows instead.
class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    explicit DesktopNotifier(QDBusConnection bus, QObject* parent = nullptr);

    // confirmedByRegistry false: the body says that no registry confirmed the name.
    void announceFree(const QString& domain, bool confirmedByRegistry);

    // The body's text before any escaping: the name, and the note when no registry confirmed it.
    static QString freeBody(const QString& domain, bool confirmedByRegistry);

    // The action keys of the notification besides "default", a click on its body.
    static inline const QString kCopyAction = QStringLiteral("copy");

Q_SIGNALS:
    void notShown(const QString& domain, bool confirmedByRegistry);
    // The user clicked the notification.
    void opened(const QString& domain);
    void copyRequested(const QString& domain);

private Q_SLOTS:
    void actionInvoked(uint id, const QString& key);
    void notificationClosed(uint id, uint reason);

private:
    void notify(const QString& domain, bool confirmedByRegistry, const QStringList& capabilities);

    QDBusConnection m_bus;
    // Our notifications that are still up; the service's signals name every sender's.
    QHash<uint, QString> m_shown;
};
