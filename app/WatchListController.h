#pragma once

#include "app/AppConfig.h"
#include "watch/WatchRunner.h"

#include <QDBusConnection>
#include <QObject>

#include <functional>
#include <memory>

class DesktopNotifier;
class QAction;
class QWidget;
class TrayPresence;
class WatchListWindow;

// The watch list as the main window offers it: its two commands, its window, the announcement
// of a name found free, and what the user is told when its file lets it down.
class WatchListController : public QObject {
    Q_OBJECT
public:
    using Selection = std::function<QList<WatchMonitor::NewName>()>;

    // Messages go to the window; selection gives the names the user has chosen; a name found
    // free is announced on the config's notification bus where it has a notification service.
    WatchListController(QWidget* window, TrayPresence& tray, const AppConfig& config,
                        Selection selection);
    ~WatchListController() override;

    WatchRunner& list() { return m_list; }
    WatchListWindow* window() const { return m_watchWindow.get(); }
    // "加入关注列表" (Ctrl+D) and "关注列表..." (Ctrl+L), for the window and its context menu.
    QAction* addAction() const { return m_addAction; }
    QAction* openAction() const { return m_openAction; }

    // Opens the file (empty: the list is kept in memory only) and starts watching.
    void open(const QString& path);
    void addSelection();
    void openWindow();
    // Opens the window with the name's row selected.
    void openWindowAt(const QString& domain);

private:
    void announceFree(const QString& domain, bool confirmedByRegistry);
    void announceWithoutNotificationService(const QString& domain, bool confirmedByRegistry);
    void reportStoreFailure(const QString& reason);

    QWidget* m_window;
    TrayPresence& m_tray;
    Selection m_selection;
    WatchRunner m_list;
    DesktopNotifier* m_notifier;
    std::unique_ptr<WatchListWindow> m_watchWindow;
    QAction* m_addAction;
    QAction* m_openAction;
    bool m_toldUnsaved = false;
};
