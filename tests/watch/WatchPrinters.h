#pragma once

#include "watch/CheckRecord.h"
#include "watch/WatchState.h"

#include <QDateTime>

#include <ostream>

// Lets GoogleTest print moments, states and verdicts readably in failure messages.
inline std::ostream& operator<<(std::ostream& out, const QDateTime& time) {
    return out << (time.isValid() ? time.toString(Qt::ISODateWithMs).toStdString()
                                  : std::string("(no time)"));
}

inline void PrintTo(WatchState state, std::ostream* out) {
    *out << "WatchState " << int(state);
}

inline void PrintTo(CheckVerdict verdict, std::ostream* out) {
    *out << "CheckVerdict " << int(verdict);
}
