#pragma once

#include "watch/CheckRecord.h"
#include "watch/WatchEntry.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

class WatchStore;

// Runs the watch: keeps the watched names, starts their checks when they are due, one at a time
// and spaced apart, and writes every change to the store at once. The check itself and the clock
// are handed in, so the monitor runs the same against the network or a test.
class WatchMonitor : public QObject {
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;
    // Must be called once, on the monitor's thread, when the check has ended.
    using CheckDone = std::function<void(const CheckResult& result)>;
    using StartCheck = std::function<void(const QString& domain, CheckDone done)>;

    struct NewName {
        QString domain;
        std::optional<QDate> deletionDate;
    };

    // The store must be open and outlive the monitor.
    WatchMonitor(WatchStore& store, StartCheck startCheck, Clock clock, QObject* parent = nullptr);

    // Reads the list and the interval from the store; overdue names are due at once.
    void load();

    const QList<WatchEntry>& entries() const { return m_entries; }
    std::optional<WatchEntry> entry(const QString& domain) const;

    // False when the name is empty or already watched.
    bool add(const QString& domain, std::optional<QDate> deletionDate = std::nullopt);
    // Returns how many were new.
    int addMany(const QList<NewName>& names);
    int remove(const QStringList& domains);
    // Checks the names as soon as the spacing allows, before anything else that is due. Free
    // names are not checked again.
    void checkNow(const QStringList& domains);

    std::chrono::seconds interval() const { return m_interval; }
    void setInterval(std::chrono::seconds interval);

    // While held (the user's own search or check runs), no check starts, and one in flight is
    // called off through cancelCheck and asked again once released.
    void setHeld(bool held);
    void setCancelCheck(std::function<void()> cancelCheck) {
        m_cancelCheck = std::move(cancelCheck);
    }
    bool isHeld() const { return m_held; }
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
    void becameFree(const QString& domain);
    // A change could not be written; the text says why.
    void storeFailed(const QString& error);

private:
    qsizetype indexOf(const QString& domain) const;
    void reindex();
    void applyStateChanges(const QList<qsizetype>& changed, const QDateTime& now);
    QDateTime spacingGate(const QDateTime& now) const;
    void startCheck(const QString& domain);
    void finishCheck(quint64 token, const QString& domain, CheckResult result);
    void rearm();
    void reportStoreFailure();

    WatchStore& m_store;
    StartCheck m_startCheck;
    std::function<void()> m_cancelCheck;
    QString m_checkingDomain;
    Clock m_clock;
    QTimer m_timer;

    QList<WatchEntry> m_entries;
    QHash<QString, qsizetype> m_indexByDomain;
    QStringList m_requested;
    std::chrono::seconds m_interval;
    std::chrono::milliseconds m_spacing;
    QDateTime m_lastAnswerAt;
    QDateTime m_plannedWake;
    bool m_held = false;
    bool m_checking = false;
    bool m_running = false;
    quint64 m_checkToken = 0;
};
