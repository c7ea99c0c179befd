#pragma once

#include <QObject>

// Raised once when the window closes: every wait returns at once and every running
// operation stops at its next step instead of spinning through empty answers.
class Closing : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    bool isClosing() const { return m_closing; }
    void begin() {
        if (m_closing)
            return;
        m_closing = true;
        emit begun();
    }

signals:
    void begun();

private:
    bool m_closing = false;
};
