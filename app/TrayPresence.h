#pragma once

#include <QObject>
#include <QPoint>
#include <QSystemTrayIcon>

class QWidget;

// The window's icon in the notification area: the window hides into it when minimised and a
// left click or a double click on it brings the window back where it was. No menu.
class TrayPresence : public QObject {
    Q_OBJECT
public:
    explicit TrayPresence(QWidget* window);

    QSystemTrayIcon* icon() const { return m_icon; }
    // Adds the icon, with the caption as its tip, unless it is there already.
    void show();
    // Without a notification area a hidden window could never come back: it stays minimised.
    void hideWindow();
    void restoreWindow();
    void rememberPosition();
    void remove();

private:
    void activated(QSystemTrayIcon::ActivationReason reason);

    QWidget* m_window;
    QSystemTrayIcon* m_icon = nullptr;
    QPoint m_savedPosition;
};
