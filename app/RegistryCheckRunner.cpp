#include "app/RegistryCheckRunner.h"

#include "app/RegistryAnswerText.h"
#include "registry/RegistryLookup.h"
#include "results/ResultListModel.h"

RegistryCheckRunner::RegistryCheckRunner(ResultListModel& rows, RegistryLookup& lookup,
                                         QObject* parent)
    : QObject(parent), m_rows(rows), m_lookup(lookup) {
    connect(&m_rows, &QAbstractItemModel::modelReset, this, [this] {
        if (m_rows.count() == 0)
            cancel();
    });
}

RegistryCheckRunner::~RegistryCheckRunner() {
    for (const auto& [ticket, pending] : m_pending)
        m_lookup.cancel(pending.lookupId);
}

void RegistryCheckRunner::ask(const QList<int>& rows) {
    for (const int row : rows) {
        if (row < 0 || row >= m_rows.count())
            continue;
        const QString name = m_rows.cell(row, ResultListModel::Domain);
        if (m_waitingNames.contains(name))
            continue;
        m_waitingNames.insert(name);
        ++m_total;
        const quint64 ticket = m_nextTicket++;
        Pending& pending = m_pending[ticket];
        pending.name = name;
        pending.row = row;
        // Answers come from the event loop, never from inside lookup().
        pending.lookupId = m_lookup.lookup(
            name, [this, ticket](const RegistryResult& result) { answered(ticket, result); });
    }
    reportProgress();
}

void RegistryCheckRunner::cancel() {
    const std::map<quint64, Pending> dropped = std::exchange(m_pending, {});
    for (const auto& [ticket, pending] : dropped)
        m_lookup.cancel(pending.lookupId);
    m_waitingNames.clear();
    reportProgress();
}

void RegistryCheckRunner::answered(quint64 ticket, const RegistryResult& result) {
    const auto found = m_pending.find(ticket);
    if (found == m_pending.end())
        return;
    const Pending pending = found->second;
    m_pending.erase(found);
    m_waitingNames.remove(pending.name);
    ++m_done;
    mark(pending, result);
    reportProgress();
}

void RegistryCheckRunner::mark(const Pending& pending, const RegistryResult& result) {
    const ResultRow::RegistryMark mark = RegistryMarkOf(result);
    const QString line = RegistryAnswerLine(result);
    if (pending.row < m_rows.count() &&
        m_rows.cell(pending.row, ResultListModel::Domain) == pending.name) {
        m_rows.setRegistryMark(pending.row, mark, line);
        return;
    }
    // Rows were removed since the question was asked: the name is looked for.
    for (int row = 0; row < m_rows.count(); ++row) {
        if (m_rows.cell(row, ResultListModel::Domain) == pending.name)
            m_rows.setRegistryMark(row, mark, line);
    }
}

void RegistryCheckRunner::reportProgress() {
    if (m_pending.empty()) {
        m_done = 0;
        m_total = 0;
    }
    emit progressed(m_done, m_total);
}
