#include "app/TrayPresence.h"

#include "app/TrayTip.h"

#include <QWidget>

TrayPresence::TrayPresence(QWidget* window) : QObject(window), m_window(window) {}

void TrayPresence::show() {
    if (!m_icon) {
        m_icon = new QSystemTrayIcon(m_window->windowIcon(), this);
        connect(m_icon, &QSystemTrayIcon::activated, this, &TrayPresence::activated);
    }
    // Adding an icon that is already there adds no second one and keeps its tip.
    if (!m_icon->isVisible()) {
        m_icon->setToolTip(TrayTipFor(m_window->windowTitle()));
        m_icon->show();
    }
}

void TrayPresence::hideWindow() {
    show();
    if (QSystemTrayIcon::isSystemTrayAvailable())
        m_window->hide();
}

void TrayPresence::activated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        restoreWindow();
}

void TrayPresence::restoreWindow() {
    const QPoint remembered = m_savedPosition;
    m_window->showNormal();
    m_window->move(remembered);
    m_window->raise();
    m_window->activateWindow();
}

void TrayPresence::rememberPosition() {
    m_savedPosition = m_window->pos();
}

void TrayPresence::remove() {
    if (m_icon)
        m_icon->hide();
}
