#include "app/WatchListController.h"

#include "app/DesktopNotifier.h"
#include "app/PlainMessage.h"
#include "app/TrayPresence.h"
#include "app/WatchListWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>

namespace {

const QString kTitle = QStringLiteral("关注列表");

} // namespace

WatchListController::WatchListController(QWidget* window, TrayPresence& tray,
                                         const AppConfig& config, Selection selection)
    : m_window(window), m_tray(tray), m_selection(std::move(selection)),
      m_list(config.checkBase, config.now, config.registry, config.listZone),
      m_notifier(new DesktopNotifier(config.notificationBus, this)),
      m_addAction(new QAction(QStringLiteral("加入关注列表"), this)),
      m_openAction(new QAction(QStringLiteral("关注列表..."), this)) {
    m_addAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    m_openAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(m_addAction, &QAction::triggered, this, &WatchListController::addSelection);
    connect(m_openAction, &QAction::triggered, this, &WatchListController::openWindow);
    connect(&m_list.monitor(), &WatchMonitor::becameFree, this, &WatchListController::announceFree);
    connect(&m_list.monitor(), &WatchMonitor::storeFailed, this,
            &WatchListController::reportStoreFailure);
    connect(m_notifier, &DesktopNotifier::notShown, this,
            &WatchListController::announceWithoutNotificationService);
    connect(m_notifier, &DesktopNotifier::opened, this, &WatchListController::openWindowAt);
    connect(m_notifier, &DesktopNotifier::copyRequested, this,
            [](const QString& domain) { QGuiApplication::clipboard()->setText(domain); });
}

WatchListController::~WatchListController() {
    // Nothing more is asked while the windows go.
    m_list.stop();
}

void WatchListController::open(const QString& path) {
    if (m_tray.icon()) {
        connect(m_tray.icon(), &QSystemTrayIcon::messageClicked, this,
                &WatchListController::openWindow);
    }
    const QString file = path.isEmpty() ? QStringLiteral(":memory:") : path;
    const StoreOpenResult opened = m_list.open(file);
    if (opened.notice.isEmpty())
        return;
    m_toldUnsaved = opened.status != StoreOpenResult::Status::MovedAside;
    // Told without holding up the start: the window and the watch go on either way.
    ShowPlainMessage(m_window, kTitle, opened.notice)
        ->setObjectName(QStringLiteral("WatchListFileMessage"));
}

void WatchListController::addSelection() {
    m_list.monitor().addMany(m_selection());
}

void WatchListController::openWindow() {
    if (!m_watchWindow)
        m_watchWindow = std::make_unique<WatchListWindow>(m_list.monitor(), m_list.store());
    m_watchWindow->showAndRaise();
}

void WatchListController::openWindowAt(const QString& domain) {
    openWindow();
    m_watchWindow->selectDomain(domain);
}

void WatchListController::announceFree(const QString& domain, bool confirmedByRegistry) {
    QApplication::alert(m_window);
    m_notifier->announceFree(domain, confirmedByRegistry);
}

void WatchListController::announceWithoutNotificationService(const QString& domain,
                                                             bool confirmedByRegistry) {
    QSystemTrayIcon* icon = m_tray.icon();
    if (icon && icon->isVisible() && QSystemTrayIcon::isSystemTrayAvailable() &&
        QSystemTrayIcon::supportsMessages()) {
        icon->showMessage(QStringLiteral("可以注册"),
                          DesktopNotifier::freeBody(domain, confirmedByRegistry),
                          QSystemTrayIcon::Information);
    } else {
        openWindow();
    }
}

void WatchListController::reportStoreFailure(const QString& reason) {
    // Told once: the watch goes on in memory, and a failing disk would otherwise speak at every
    // check.
    if (m_toldUnsaved)
        return;
    m_toldUnsaved = true;
    ShowPlainMessage(
        m_window, kTitle,
        QStringLiteral(
            "关注列表的更改无法保存：%1。\n关注照常进行，但本次的更改在程序关闭后不会保留。")
            .arg(reason))
        ->setObjectName(QStringLiteral("WatchListStoreMessage"));
}
