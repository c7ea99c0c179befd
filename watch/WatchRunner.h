#pragma once

#include "registry/RegistryAccess.h"
#include "watch/AvailabilityQuestion.h"
#include "watch/WatchMonitor.h"
#include "watch/WatchStore.h"

#include <QObject>
#include <QTimeZone>

#include <chrono>
#include <optional>

// The watch list as the program runs it: its file, the monitor and the background question,
// wired together. The window holds the watch while the user's own operations run.
class WatchRunner : public QObject {
    Q_OBJECT
public:
    using Clock = WatchMonitor::Clock;

    WatchRunner(QString checkBase, Clock clock,
                const RegistrySettings& registry = RegistrySettings::off(),
                const QTimeZone& listZone = QTimeZone::systemTimeZone(), QObject* parent = nullptr);

    // Opens the file and starts watching; overdue names are checked at once, spaced apart.
    StoreOpenResult open(const QString& path);

    WatchMonitor& monitor() { return m_monitor; }
    WatchStore& store() { return m_store; }
    AvailabilityQuestion& question() { return m_question; }
    // Shared with the main window's own registry questions: one pacing per registry.
    RegistryAccess& registry() { return m_registry; }

    // Holds the watch for as long as it lives; holds nest, so a targeted check inside a search
    // releases nothing.
    class Hold {
    public:
        explicit Hold(WatchRunner& list);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        WatchRunner& m_list;
    };

    // For good, when the program closes: nothing more is asked, whatever holds end later.
    void stop();

private:
    RegistryAccess m_registry;
    WatchStore m_store;
    AvailabilityQuestion m_question;
    WatchMonitor m_monitor;
    int m_holds = 0;
    bool m_stopped = false;
};
