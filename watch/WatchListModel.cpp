#include "watch/WatchListModel.h"

#include "results/ExportRows.h"
#include "verify/CheckProtocol.h"
#include "watch/WatchMonitor.h"
#include "watch/WatchRules.h"
#include "watch/WatchStore.h"

#include <array>
#include <numeric>
#include <utility>

namespace {

constexpr std::array<const char16_t*, WatchListModel::ColumnCount> kHeaders = {
    u"域名", u"删除日期", u"状态", u"上次检查", u"下次检查", u"检查次数", u"注册局"};

QString localTime(const QDateTime& time) {
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))
                          : QString();
}

QString verdictText(CheckVerdict verdict) {
    switch (verdict) {
    case CheckVerdict::Free:
        return kVerdictFree;
    case CheckVerdict::Registered:
        return kVerdictRegistered;
    case CheckVerdict::NoVerdict:
        break;
    }
    return QStringLiteral("无结论");
}

QString checkLine(const CheckRecord& check) {
    const QString status = check.httpStatus > 0 ? QStringLiteral("HTTP %1").arg(check.httpStatus)
                                                : QStringLiteral("无回答");
    return localTime(check.time) + QStringLiteral("  ") + status + QStringLiteral("  ") +
           verdictText(check.verdict) + QStringLiteral("  ") + check.firstLine;
}

} // namespace

WatchListModel::WatchListModel(const WatchMonitor& monitor, WatchStore& store, QObject* parent)
    : QAbstractTableModel(parent), m_monitor(monitor), m_store(store) {
    connect(&monitor, &WatchMonitor::entryChanged, this, &WatchListModel::followChange);
    connect(&monitor, &WatchMonitor::entriesReset, this, &WatchListModel::followReset);
    followReset();
}

QString WatchListModel::header(Column column) {
    return QString::fromUtf16(kHeaders.at(column));
}

int WatchListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    if (m_removal)
        return int(m_removal->cut + m_removal->remaining.size() - m_removal->remainingFrom);
    return int(m_domains.size());
}

int WatchListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant WatchListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (role == Qt::DisplayRole)
        return text(index.row(), static_cast<Column>(index.column()));
    if (role == SortRole)
        return sortKey(index.row(), static_cast<Column>(index.column()));
    if (role == Qt::ToolTipRole && index.column() == State)
        return stateTip(index.row());
    if (role == Qt::ToolTipRole && index.column() == Registry)
        return registryTip(index.row());
    if (role == Qt::ToolTipRole && index.column() == NextCheck)
        return dropTip(index.row());
    return {};
}

QVariant WatchListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < ColumnCount)
        return header(static_cast<Column>(section));
    return QAbstractTableModel::headerData(section, orientation, role);
}

QString WatchListModel::domainAt(int row) const {
    if (row < 0 || row >= rowCount())
        return {};
    if (m_removal && row >= m_removal->cut)
        return m_removal->remaining[m_removal->remainingFrom + row - m_removal->cut];
    return m_domains[row];
}

int WatchListModel::rowOf(const QString& domain) const {
    return m_removal ? -1 : m_rowOf.value(domain, -1);
}

const WatchEntry* WatchListModel::entryAt(int row) const {
    const QList<WatchEntry>& entries = m_monitor.entries();
    if (row < 0 || row >= entries.size() || entries[row].domain != domainAt(row))
        return nullptr;
    return &entries[row];
}

QString WatchListModel::dropTip(int row) const {
    const WatchEntry* entry = entryAt(row);
    if (!entry || !entry->expected.moment.isValid())
        return {};
    return QStringLiteral("预计删除：%1（%2）")
        .arg(localTime(entry->expected.moment), entry->expected.label);
}

QString WatchListModel::text(int row, Column column) const {
    if (column == Domain)
        return domainAt(row);
    const WatchEntry* entry = entryAt(row);
    if (!entry)
        return {};
    switch (column) {
    case Domain:
        break;
    case DeletionDate:
        return entry->deletionDate ? entry->deletionDate->toString(QStringLiteral("yyyy-MM-dd"))
                                   : QString();
    case State:
        return watchStateText(entry->state);
    case LastCheck:
        return localTime(entry->lastCheck);
    case NextCheck:
        return localTime(entry->nextCheck);
    case CheckCount:
        return QString::number(entry->checkCount);
    case Registry:
        return RegistryColumnText(entry->registry);
    case ColumnCount:
        break;
    }
    return {};
}

QVariant WatchListModel::sortKey(int row, Column column) const {
    const WatchEntry* entry = entryAt(row);
    if (!entry)
        return {};
    const auto time = [](const QDateTime& t) {
        return t.isValid() ? QVariant(t.toMSecsSinceEpoch()) : QVariant();
    };
    switch (column) {
    case Domain:
        return entry->domain;
    case DeletionDate:
        return entry->deletionDate ? QVariant(entry->deletionDate->toJulianDay()) : QVariant();
    case State:
        return int(entry->state);
    case LastCheck:
        return time(entry->lastCheck);
    case NextCheck:
        return time(entry->nextCheck);
    case CheckCount:
        return entry->checkCount;
    case Registry:
        return RegistrySortRank(entry->registry);
    case ColumnCount:
        break;
    }
    return {};
}

// Tooltips guess at markup; the answers came from a server, so the text is shown escaped.
QString WatchListModel::stateTip(int row) const {
    const QString domain = domainAt(row);
    if (domain.isEmpty())
        return {};
    const WatchEntry* entry = entryAt(row);
    const bool caught = entry && entry->state == WatchState::Caught;
    // The check that found the name caught may lie further back than the checks listed.
    const QList<CheckRecord> checks =
        m_store.recentChecks(domain, caught ? WatchStore::kChecksKeptPerName : kChecksInTip);
    QStringList lines;
    if (caught) {
        std::optional<QDateTime> at = WatchRules::caughtAt(checks);
        // Caught by the registry's word, not by an answer of the service.
        if (!at && entry->registry.isHeld())
            at = entry->registry.answeredAt;
        lines << QStringLiteral("发现已被抢注：") + localTime(at ? *at : entry->lastCheck);
    }
    for (const CheckRecord& check : checks.first(std::min<qsizetype>(checks.size(), kChecksInTip)))
        lines << checkLine(check);
    if (checks.isEmpty())
        lines << QStringLiteral("尚未检查");
    return QStringLiteral("<p style='white-space:pre'>") + lines.join(u'\n').toHtmlEscaped() +
           QStringLiteral("</p>");
}

QString WatchListModel::registryTip(int row) const {
    const WatchEntry* entry = entryAt(row);
    if (!entry)
        return {};
    // The statuses came from a registry's server: shown escaped, like the state's answers.
    return QStringLiteral("<p style='white-space:pre'>") +
           RegistryTipText(entry->registry).toHtmlEscaped() + QStringLiteral("</p>");
}

QByteArray WatchListModel::asCsv() const {
    QList<int> rows(rowCount());
    std::iota(rows.begin(), rows.end(), 0);
    return asCsv(rows);
}

QByteArray WatchListModel::asCsv(const QList<int>& rowOrder) const {
    QStringList headers;
    for (int c = 0; c < ColumnCount; ++c)
        headers << header(static_cast<Column>(c));
    QList<QStringList> rows;
    rows.reserve(rowOrder.size());
    for (int r : rowOrder) {
        QStringList cells;
        for (int c = 0; c < ColumnCount; ++c)
            cells << text(r, static_cast<Column>(c));
        rows << cells;
    }
    return TableAsCsv(headers, rows);
}

void WatchListModel::followChange(const QString& domain) {
    if (!m_rowOf.contains(domain))
        takeNewRows();
    const int row = m_rowOf.value(domain, -1);
    if (row < 0) {
        // The monitor's list changed in a way other than appending: read it again.
        followReset();
        return;
    }
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

// The monitor appends new names at the end; if the known rows are no longer its first ones,
// the list is read again from the start.
void WatchListModel::takeNewRows() {
    const QList<WatchEntry>& entries = m_monitor.entries();
    const qsizetype known = m_domains.size();
    if (entries.size() <= known)
        return;
    for (qsizetype r = 0; r < known; ++r) {
        if (entries[r].domain != m_domains[r]) {
            followReset();
            return;
        }
    }
    beginInsertRows(QModelIndex(), int(known), int(entries.size() - 1));
    for (qsizetype r = known; r < entries.size(); ++r) {
        m_rowOf.insert(entries[r].domain, int(r));
        m_domains << entries[r].domain;
    }
    endInsertRows();
}

void WatchListModel::indexRows() {
    m_rowOf.clear();
    m_rowOf.reserve(m_domains.size());
    for (qsizetype r = 0; r < m_domains.size(); ++r)
        m_rowOf.insert(m_domains[r], int(r));
}

void WatchListModel::followReset() {
    const QList<WatchEntry>& entries = m_monitor.entries();
    bool sameNames = entries.size() == m_domains.size();
    for (qsizetype r = 0; sameNames && r < entries.size(); ++r)
        sameNames = entries[r].domain == m_domains[r];
    if (sameNames || followRemovals(entries)) {
        // The contents may have changed too (a new interval moves every next check); the views
        // keep their selection.
        if (!m_domains.isEmpty())
            emit dataChanged(index(0, 0), index(int(m_domains.size()) - 1, ColumnCount - 1));
        return;
    }
    beginResetModel();
    m_domains.clear();
    m_domains.reserve(entries.size());
    for (const WatchEntry& entry : entries)
        m_domains << entry.domain;
    indexRows();
    endResetModel();
}

// When the monitor's list is the known one less some names, in the same order, only those rows
// go: in contiguous ranges from the last, so the views keep the place and selection of the rest.
// Every name is visited once; a list that differs otherwise is not followed here.
bool WatchListModel::followRemovals(const QList<WatchEntry>& entries) {
    if (entries.size() >= m_domains.size())
        return false;
    QList<std::pair<qsizetype, qsizetype>> ranges; // first and last row, in list order
    QStringList remaining;
    remaining.reserve(entries.size());
    for (qsizetype r = 0; r < m_domains.size(); ++r) {
        if (remaining.size() < entries.size() && entries[remaining.size()].domain == m_domains[r])
            remaining << m_domains[r];
        else if (!ranges.isEmpty() && ranges.last().second == r - 1)
            ranges.last().second = r;
        else
            ranges.append({r, r});
    }
    if (remaining.size() != entries.size())
        return false;

    qsizetype removedBefore = m_domains.size() - remaining.size();
    m_removal = Removal{std::move(remaining), m_domains.size(), entries.size()};
    for (qsizetype i = ranges.size() - 1; i >= 0; --i) {
        const auto [first, last] = ranges[i];
        removedBefore -= last - first + 1;
        beginRemoveRows(QModelIndex(), int(first), int(last));
        m_removal->cut = first;
        m_removal->remainingFrom = first - removedBefore;
        endRemoveRows();
    }
    m_domains = std::move(m_removal->remaining);
    m_removal.reset();
    indexRows();
    return true;
}
