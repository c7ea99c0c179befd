#include "watch/WatchList.h"

WatchList::WatchList(QString checkBase, Clock clock, QObject* parent)
    : QObject(parent), m_question(std::move(checkBase), clock),
      m_monitor(
          m_store,
          [this](const QString& domain, WatchMonitor::CheckDone done) {
              m_question.ask(domain, std::move(done));
          },
          clock) {
    m_monitor.setCancelCheck([this] { m_question.abort(); });
}

StoreOpenResult WatchList::open(const QString& path) {
    const StoreOpenResult result = m_store.open(path);
    if (result.usable())
        m_monitor.load();
    return result;
}

void WatchList::stop() {
    if (m_stopped)
        return;
    m_stopped = true;
    if (m_holds++ == 0)
        m_monitor.setHeld(true);
}

WatchList::Hold::Hold(WatchList& list) : m_list(list) {
    if (m_list.m_holds++ == 0)
        m_list.m_monitor.setHeld(true);
}

WatchList::Hold::~Hold() {
    if (--m_list.m_holds == 0)
        m_list.m_monitor.setHeld(false);
}

std::optional<QDate> WatchList::deletionDateOf(const QString& deletionTime) {
    const QDate date = QDate::fromString(deletionTime.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        return std::nullopt;
    return date;
}
