#pragma once

#include "app/AppConfig.h"
#include "app/BusyGuard.h"
#include "app/StatusPanels.h"
#include "app/TrayPresence.h"
#include "app/WatchListController.h"
#include "results/ResultListModel.h"
#include "results/StatusLine.h"
#include "results/Workspace.h"
#include "web/Closing.h"

#include <QWidget>

#include <functional>
#include <memory>

class DropListCommand;
class QAction;
class QMenu;
class ProgressDisplay;
class QProgressBar;
class RegistryCheckRunner;
class SettingsWindow;
class WatchListWindow;

namespace Ui {
class MainWindow;
}

// The one window. It wires its controls to the handlers below and hands the operations what
// they work on; the operations themselves live in search/ and verify/.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(AppConfig config, QWidget* parent = nullptr);
    ~MainWindow() override;

    const Ui::MainWindow& controls() const { return *m_ui; }
    ResultListModel& rows() { return m_rows; }
    StatusLine& status() { return m_status; }
    QSystemTrayIcon* trayIcon() const { return m_tray.icon(); }
    QProgressBar* progressBar() const { return m_panels.progressBar(); }
    WatchRunner& watchList() { return m_watch->list(); }
    // The watch list's window, once it has been opened.
    WatchListWindow* watchListWindow() const { return m_watch->window(); }
    // The settings window, once it has been opened.
    SettingsWindow* settingsWindow() const { return m_settingsWindow.get(); }
    RegistryCheckRunner& registryCheck() { return *m_registryCheck; }
    // The addresses the next search and check use.
    const AppConfig& config() const { return m_config; }
    DropListCommand& dropListImport() { return *m_dropList; }

public Q_SLOTS:
    void startSearch();
    void verifyListed();
    void clearList();
    void filterRegistered();
    void verifyTarget();
    // The domain box's key presses: Enter checks the name, whatever else runs.
    void targetDomainKeyPressed(int characterCode);
    // Checks the rows without a verdict, with the same pacing and guard as verifyListed().
    void recheckUnverified();
    // Esc: a running search or check of every name ends after the request in flight.
    void stopRunningOperation();

    // The result list's context menu and its commands.
    QMenu* buildResultListMenu();
    // Writes every row to a CSV file; returns an error text, empty on success.
    QString exportRowsTo(const QString& path);
    void copySelectedDomains();
    // The selected rows' names join the watch list with the dates of their deletion-time cells.
    void addSelectedToWatchList();
    // "向注册局核实" (Ctrl+R): the registries are asked about the selected rows in the
    // background; their answers show in the verdict cells' icons and tooltips.
    void verifyWithRegistry();
    // "设置..." (Ctrl+,).
    void openSettings();
    // "导入删除列表..." (Ctrl+I): chooses a file for importFile().
    void chooseDropList();
    // Reads the drop list file in the background with the window's criteria; its matching
    // names join the result list. The busy guard holds until it ends; Esc stops it.
    void importFile(const QString& path);
    // "从网址导入..." (Ctrl+Shift+I): asks for an address for importAddress().
    void askDropListAddress();
    // Downloads the drop list at the typed address in the background, then reads it as
    // importFile() reads a file. An address that is not http or https is told at once.
    void importAddress(const QString& typed);
    // Another start of the program asks for the window: shown, also from the notification area,
    // and raised.
    void bringToFront();

protected:
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startUp();
    void connectHandlers();
    // The busy guard, the button's marker and the progress display around a long operation.
    void runMarkedOperation(QPushButton* marker, const std::function<void()>& operation);
    void showResultListMenu(const QPoint& at);
    void chooseFileAndExport();
    void unload();
    QList<WatchMonitor::NewName> selectedNamesAndDates() const;
    void showRegistryProgress(int done, int total);
    void settingsSaved(const SettingsValues& values);
    void dropListRead(const QString& problem);
    void holdWhileImporting();

    AppConfig m_config;
    std::unique_ptr<Ui::MainWindow> m_ui;
    ResultListModel m_rows;
    StatusLine m_status;
    Closing m_closing;
    Workspace m_workspace{m_rows, m_status, m_closing};
    BusyGuard m_guard;
    StatusPanels m_panels;
    TrayPresence m_tray;
    std::unique_ptr<WatchListController> m_watch;
    // After the watch, whose registry access it asks through: it goes first.
    std::unique_ptr<RegistryCheckRunner> m_registryCheck;
    std::unique_ptr<SettingsWindow> m_settingsWindow;
    QAction* m_registryAction = nullptr;
    QAction* m_settingsAction = nullptr;
    QAction* m_importAction = nullptr;
    QAction* m_importAddressAction = nullptr;
    // While a drop list is read: the guard's marker and the progress bar.
    std::unique_ptr<BusyGuard::Running> m_importRunning;
    std::unique_ptr<ProgressDisplay> m_importProgress;
    // After the rows and the status line it writes to, so that it goes first.
    std::unique_ptr<DropListCommand> m_dropList;
    bool m_unloaded = false;
};
