#pragma once

#include "registry/RegistryResult.h"
#include "watch/CheckRecord.h"
#include "watch/ExpectedDrop.h"
#include "watch/WatchEntry.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimeZone>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

class WatchStore;

// Runs the watch: keeps the watched names, starts their checks when they are due, one at a time
// and spaced apart, and writes every change to the store at once. The check itself, the clock and
// the zone are handed in, so the monitor runs the same against the network or a test. A change
// the store cannot write is kept in memory all the same and reported through storeFailed.
class WatchMonitor : public QObject {
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;
    // Must be called once, on the monitor's thread, when the check has ended.
    using CheckDone = std::function<void(const CheckResult& result)>;
    using StartCheck = std::function<void(const QString& domain, CheckDone done)>;
    using ZoneSource = std::function<QTimeZone()>;
    // Asks a name's registry; done is called once, from the event loop, unless the question is
    // cancelled by the id returned.
    using RegistryDone = std::function<void(const RegistryResult& result)>;
    using AskRegistry = std::function<quint64(const QString& domain, RegistryDone done)>;
    using CancelRegistry = std::function<void(quint64 id)>;

    struct NewName {
        QString domain;
        std::optional<QDate> deletionDate;
        // The list row's deletion time cell, read in the list zone; a date alone gives no moment.
        QString listCell = {};
    };

    // The store must be open and outlive the monitor.
    WatchMonitor(WatchStore& store, StartCheck startCheck, Clock clock, QObject* parent = nullptr);
    ~WatchMonitor() override;

    // Reads the list and the interval from the store; overdue names are due at once.
    void load();

    const QList<WatchEntry>& entries() const { return m_entries; }
    std::optional<WatchEntry> entry(const QString& domain) const;

    // False when the name is empty or already watched.
    bool add(const QString& domain, std::optional<QDate> deletionDate = std::nullopt,
             const QString& listCell = {});
    // Returns how many were new.
    int addMany(const QList<NewName>& names);
    int remove(const QStringList& domains);
    // Checks the names as soon as the spacing allows, before anything else that is due, whatever
    // their state: a free name found registered again is caught.
    void checkNow(const QStringList& domains);

    // The zone whose days the deletion dates are; the local zone unless a source is handed in.
    // It is read at every wake (at least once a minute), and a change works every state and
    // plan out again.
    void setZoneSource(ZoneSource source);
    QTimeZone zone() const { return m_zone; }
    // The zone of the list service's deletion times and of the learned drop times; the local zone
    // unless set. Set it before load.
    void setListZone(const QTimeZone& zone);
    QTimeZone listZone() const { return m_listZone; }

    // Asking closely around each name's expected drop; on unless turned off, which leaves the
    // interval alone to plan (the benchmark compares the two).
    void setClosePolling(bool on);

    std::chrono::seconds interval() const { return m_interval; }
    void setInterval(std::chrono::seconds interval);

    // While held (the user's own search or check runs), no check starts, and one in flight is
    // called off through cancelCheck and asked again once released.
    void setHeld(bool held);
    void setCancelCheck(std::function<void()> cancelCheck) {
        m_cancelCheck = std::move(cancelCheck);
    }
    bool isHeld() const { return m_held; }

    // From now on every check of a name also asks its registry, and a first free answer asks it
    // again at once. Without this only the service's answers count.
    void setRegistry(AskRegistry ask, CancelRegistry cancel);
    // Registry questions run beside the checks, on other servers, so a hold leaves them be; stop
    // calls them off for good.
    void stop();
    qsizetype registryQuestionsInFlight() const { return m_registryAsked.size(); }
    bool isChecking() const { return m_checking; }
    std::chrono::milliseconds spacing() const { return m_spacing; }
    // The moment the monitor next wants to run; invalid while nothing is planned.
    QDateTime plannedWake() const { return m_plannedWake; }
    bool isTimerActive() const { return m_timer.isActive(); }

    // Applies changes of state that the clock brought and starts a due check if allowed. The
    // timer calls it; tests call it after moving their clock.
    void runDue();

signals:
    void entryChanged(const QString& domain);
    void entriesReset();
    // confirmedByRegistry: the registry said the name is not held; otherwise the service's two
    // free answers alone made it free, no registry being able to tell.
    void becameFree(const QString& domain, bool confirmedByRegistry);
    // A change could not be written; the text says why.
    void storeFailed(const QString& error);

private:
    qsizetype indexOf(const QString& domain) const;
    void reindex();
    void applyStateChanges(const QList<qsizetype>& changed, const QDateTime& now);
    void replanAll(const QDateTime& now);
    // Works out the name's expected drop at now and its next check: the close plan around that
    // moment or the interval plan handed in, whichever is earlier.
    void plan(WatchEntry& entry, const QDateTime& intervalPlan, const QDateTime& now) const;
    // A name just found free teaches its suffix's usual drop time; names of the suffix that rely
    // on that time are planned again.
    void learnDrop(const QString& domain, const QDateTime& now);
    bool writeAndAnnounce(const QList<WatchEntry>& changed);
    bool writeNew(const QList<WatchEntry>& fresh);
    bool writeCheck(const CheckRecord& record, const WatchEntry& after);
    void writeBackPending();
    QDateTime spacingGate(const QDateTime& now) const;
    void startCheck(const QString& domain);
    void finishCheck(quint64 token, const QString& domain, CheckResult result);
    void askRegistry(const QString& domain);
    void finishRegistry(const QString& domain, quint64 token, const RegistryResult& result);
    void cancelRegistry(const QStringList& domains);
    void rearm();
    void reportStoreFailure();

    WatchStore& m_store;
    StartCheck m_startCheck;
    std::function<void()> m_cancelCheck;
    QString m_checkingDomain;
    Clock m_clock;
    ZoneSource m_zoneSource;
    QTimeZone m_zone;
    QTimeZone m_listZone;
    DropHistory m_history;
    QDateTime m_lastNow;
    QTimer m_timer;

    QList<WatchEntry> m_entries;
    QHash<QString, qsizetype> m_indexByDomain;
    QStringList m_requested;
    // What the store could not take yet: names removed in memory only, and the interval.
    QSet<QString> m_unremoved;
    bool m_intervalUnsaved = false;
    std::chrono::seconds m_interval;
    std::chrono::milliseconds m_spacing;
    QDateTime m_lastAnswerAt;
    QDateTime m_plannedWake;
    bool m_held = false;
    bool m_checking = false;
    bool m_running = false;
    quint64 m_checkToken = 0;

    AskRegistry m_askRegistry;
    CancelRegistry m_cancelRegistry;
    struct RegistryQuestion {
        quint64 token = 0;
        quint64 id = 0;
    };
    QHash<QString, RegistryQuestion> m_registryAsked;
    quint64 m_registryToken = 0;
    bool m_stopped = false;
    bool m_closePolling = true;
};
