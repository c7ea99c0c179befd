#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <time.h>

// Runs a test in a zone eight hours east of UTC with no summer time (or in the zone given), so
// that a day's local start has one known answer whatever the machine's zone is. The test may
// switch zones, as a user may.
class FixedTimeZone {
public:
    explicit FixedTimeZone(const char* tz = "XST-8")
        : m_saved(qgetenv("TZ")), m_wasSet(qEnvironmentVariableIsSet("TZ")) {
        set(tz);
    }
    void set(const char* tz) {
        qputenv("TZ", tz);
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
