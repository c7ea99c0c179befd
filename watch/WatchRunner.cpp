#include "watch/WatchRunner.h"

WatchRunner::WatchRunner(QString checkBase, Clock clock, const RegistrySettings& registry,
                         const QTimeZone& listZone, QObject* parent)
    : QObject(parent), m_registry(registry, clock), m_question(std::move(checkBase), clock),
      m_monitor(
          m_store,
          [this](const QString& domain, WatchMonitor::CheckDone done) {
              m_question.ask(domain, std::move(done));
          },
          clock) {
    m_monitor.setListZone(listZone);
    m_monitor.setCancelCheck([this] { m_question.abort(); });
    if (m_registry.isEnabled()) {
        m_monitor.setRegistry(
            [this](const QString& domain, WatchMonitor::RegistryDone done) {
                return m_registry.lookup().lookup(domain, std::move(done));
            },
            [this](quint64 id) { m_registry.lookup().cancel(id); });
    }
}

StoreOpenResult WatchRunner::open(const QString& path) {
    StoreOpenResult result = m_store.open(path);
    if (!result.usable())
        return result;
    m_monitor.load();
    // Opening reads only enough to know the file; damage further in shows when the whole list is
    // read, and then the whole file is checked before anything more is written to it.
    if (result.status == StoreOpenResult::Status::Opened && m_store.lastProblem().provesDamage()) {
        result = m_store.open(path, WatchStore::IntegrityCheck::Always);
        if (result.usable())
            m_monitor.load();
    }
    return result;
}

void WatchRunner::stop() {
    if (m_stopped)
        return;
    m_stopped = true;
    m_monitor.stop();
    if (m_holds++ == 0)
        m_monitor.setHeld(true);
}

WatchRunner::Hold::Hold(WatchRunner& list) : m_list(list) {
    if (m_list.m_holds++ == 0)
        m_list.m_monitor.setHeld(true);
}

WatchRunner::Hold::~Hold() {
    if (--m_list.m_holds == 0)
        m_list.m_monitor.setHeld(false);
}
