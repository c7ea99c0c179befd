#pragma once

#include <QDateTime>

#include <ostream>

// Lets GoogleTest print moments readably in failure messages.
inline std::ostream& operator<<(std::ostream& out, const QDateTime& time) {
    return out << time.toString(Qt::ISODateWithMs).toStdString();
}
