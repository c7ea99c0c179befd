#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <time.h>

// Runs a test in a zone eight hours east of UTC with no summer time, so that a day's local start
// has one known answer whatever the machine's zone is.
class FixedTimeZone {
public:
    FixedTimeZone() : m_saved(qgetenv("TZ")), m_wasSet(qEnvironmentVariableIsSet("TZ")) {
        qputenv("TZ", "XST-8");
        tzset();
    }
    ~FixedTimeZone() {
        if (m_wasSet)
            qputenv("TZ", m_saved);
        else
            qunsetenv("TZ");
        tzset();
    }
    FixedTimeZone(const FixedTimeZone&) = delete;
    FixedTimeZone& operator=(const FixedTimeZone&) = delete;

private:
    QByteArray m_saved;
    bool m_wasSet;
};
