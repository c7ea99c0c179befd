// Minimise to the notification area, restore from it, and close.
#include "app/Form1.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QLabel>
#include <QTimer>

void Form1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void Form1::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (!isMinimized() && isVisible())
        m_savedPosition = pos();
}

void Form1::Form_Resize() {
    if (isMinimized()) {
        // Hidden once the state change has been handled, so the window manager sees it through.
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                SetTrayIcon(true);
        });
        ui.Image1->setVisible(false);
    } else {
        ui.Image1->setVisible(true);
    }
}

void Form1::TrayIcon_Activated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        RestoreFromTray();
}

void Form1::RestoreFromTray() {
    const QPoint remembered = m_savedPosition;
    showNormal();
    move(remembered);
    raise();
    activateWindow();
}

void Form1::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();
}

void Form1::Form_QueryUnload() {
    // Once per close, however many times the close is asked for.
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_tray)
        m_tray->hide();
    OpenHomePage();
    m_closing.begin();
}

void Form1::OpenHomePage() {
    QDesktopServices::openUrl(m_config.homePage);
}
