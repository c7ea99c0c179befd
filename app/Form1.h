#pragma once

#include "app/AppConfig.h"
#include "app/BusyGuard.h"
#include "app/Form1Controls.h"
#include "results/ResultListModel.h"
#include "results/StatusLine.h"
#include "results/Workspace.h"
#include "web/Closing.h"

#include <QPoint>

class QMenu;
class QProgressBar;
#include <QSystemTrayIcon>
#include <QWidget>

#include <functional>

// The one window. It builds its controls, wires their events to the handlers below and hands
// the operations what they work on; the operations themselves live in search/ and verify/.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(AppConfig config, QWidget* parent = nullptr);
    ~Form1() override;

    const Form1Controls& controls() const { return ui; }
    ResultListModel& rows() { return m_rows; }
    StatusLine& status() { return m_status; }
    QSystemTrayIcon* trayIcon() const { return m_tray; }

public Q_SLOTS:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Text4_KeyPress(int characterCode);
    // A left click or a double click on the icon brings the window back; nothing else does.
    void TrayIcon_Activated(QSystemTrayIcon::ActivationReason reason);

    // The result list's context menu: export, copy names.
    QMenu* buildResultListMenu();
    // Writes every row to a CSV file; returns an error text, empty on success.
    QString exportRowsTo(const QString& path);
    void copySelectedDomains();
    // Checks the rows without a verdict, with the same pacing and guard as Command2.
    void RecheckUnverified();
    // Esc: a running search or check of every name ends after the request in flight.
    void StopRunningOperation();
    QProgressBar* progressBar() const { return m_progress; }

protected:
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void StartUp();
    void SetTitle();
    void InitResultList();
    void InitCriteriaLists();
    void InitStatusBar();
    void SetTrayIcon(bool hideWindow);
    void Form_Resize();
    void RestoreFromTray();
    void Form_QueryUnload();
    void OpenHomePage();
    void connectHandlers();
    // The busy guard, the button's marker and the progress display around a long operation.
    void runMarkedOperation(QPushButton* marker, const std::function<void()>& operation);
    void showResultListMenu(const QPoint& at);
    void chooseFileAndExport();

    AppConfig m_config;
    Form1Controls ui;
    ResultListModel m_rows;
    StatusLine m_status;
    Closing m_closing;
    Workspace m_workspace{m_rows, m_status, m_closing};
    BusyGuard m_guard;
    QSystemTrayIcon* m_tray = nullptr;
    QProgressBar* m_progress = nullptr;
    QPoint m_savedPosition;
    bool m_unloaded = false;
};
