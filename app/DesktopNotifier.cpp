#include "app/DesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
// Critical: the notification stays until the user has seen it.
constexpr uchar kCriticalUrgency = 2;
constexpr qint32 kServerDecidesExpiry = -1;

QDBusMessage callOf(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

// Calls back once the reply is there, on this object's thread.
template <typename Reply, typename Handler>
void whenAnswered(QDBusConnection& bus, const QDBusMessage& call, QObject* context,
                  Handler handler) {
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [handler = std::move(handler)](QDBusPendingCallWatcher* answered) {
                         answered->deleteLater();
                         handler(QDBusPendingReply<Reply>(*answered));
                     });
}

} // namespace

DesktopNotifier::DesktopNotifier(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)) {
    if (!m_bus.isConnected())
        return;
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                  SLOT(actionInvoked(uint, QString)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                  SLOT(notificationClosed(uint, uint)));
}

QString DesktopNotifier::freeBody(const QString& domain, bool confirmedByRegistry) {
    return confirmedByRegistry ? domain : domain + QStringLiteral("（未经注册局核实）");
}

void DesktopNotifier::announceFree(const QString& domain, bool confirmedByRegistry) {
    if (!m_bus.isConnected()) {
        Q_EMIT notShown(domain, confirmedByRegistry);
        return;
    }
    // Asked each time: the service may have been replaced since the last name.
    whenAnswered<QStringList>(
        m_bus, callOf(QStringLiteral("GetCapabilities")), this,
        [this, domain, confirmedByRegistry](const QDBusPendingReply<QStringList>& reply) {
            if (reply.isError())
                Q_EMIT notShown(domain, confirmedByRegistry);
            else
                notify(domain, confirmedByRegistry, reply.value());
        });
}

void DesktopNotifier::notify(const QString& domain, bool confirmedByRegistry,
                             const QStringList& capabilities) {
    // A watched name is typed or read from a list: never markup of ours.
    const QString body = freeBody(
        capabilities.contains(QStringLiteral("body-markup")) ? domain.toHtmlEscaped() : domain,
        confirmedByRegistry);
    const QStringList actions = {QStringLiteral("default"), QStringLiteral("打开关注列表"),
                                 kCopyAction, QStringLiteral("复制域名")};
    const QVariantMap hints = {{QStringLiteral("urgency"), QVariant::fromValue(kCriticalUrgency)}};
    QDBusMessage call = callOf(QStringLiteral("Notify"));
    call << QStringLiteral("Morrowcatch") << uint(0) << QStringLiteral("morrowcatch")
         << QStringLiteral("可以注册") << body << actions << hints << kServerDecidesExpiry;
    whenAnswered<uint>(m_bus, call, this,
                       [this, domain, confirmedByRegistry](const QDBusPendingReply<uint>& reply) {
                           if (reply.isError())
                               Q_EMIT notShown(domain, confirmedByRegistry);
                           else
                               m_shown.insert(reply.value(), domain);
                       });
}

void DesktopNotifier::actionInvoked(uint id, const QString& key) {
    const auto shown = m_shown.constFind(id);
    if (shown == m_shown.cend())
        return;
    const QString domain = *shown;
    if (key == QStringLiteral("default"))
        Q_EMIT opened(domain);
    else if (key == kCopyAction)
        Q_EMIT copyRequested(domain);
}

void DesktopNotifier::notificationClosed(uint id, uint) {
    m_shown.remove(id);
}
