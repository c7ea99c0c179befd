#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <time.h>

// Runs a test with the local zone set through TZ, so that a day's local start has one known
// answer whatever the machine's zone is. The zone can be switched while the test runs, as a
// user's can.
class LocalTimeZone {
public:
    explicit LocalTimeZone(const char* tz)
        : m_saved(qgetenv("TZ")), m_wasSet(qEnvironmentVariableIsSet("TZ")) {
        set(tz);
    }
    ~LocalTimeZone() {
        if (m_wasSet)
            qputenv("TZ", m_saved);
        else
            qunsetenv("TZ");
        tzset();
    }
    LocalTimeZone(const LocalTimeZone&) = delete;
    LocalTimeZone& operator=(const LocalTimeZone&) = delete;

    void set(const char* tz) {
        qputenv("TZ", tz);
        tzset();
    }

private:
    QByteArray m_saved;
    bool m_wasSet;
};

// Eight hours east of UTC with no summer time.
class FixedTimeZone : public LocalTimeZone {
public:
    FixedTimeZone() : LocalTimeZone("XST-8") {}
};
