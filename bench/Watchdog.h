#pragma once

#include "web/Closing.h"

#include <QTimer>

// Ends an operation that runs past its time limit the way closing the window would, so that
// no benchmark can hang on a server that stopped answering.
class Watchdog {
public:
    Watchdog(Closing& closing, int limitMs) {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, &closing, [&closing] { closing.begin(); });
        m_timer.start(limitMs);
    }

private:
    QTimer m_timer;
};
