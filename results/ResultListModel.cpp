#include "results/ResultListModel.h"

#include "results/VerdictTexts.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>
#include <QTime>

#include <algorithm>

namespace {

struct ColumnLayout {
    const char16_t* header;
    int widthTwips;
};

constexpr std::array<ColumnLayout, ResultListModel::ColumnCount> kColumns{{
    {u"序号", 600},
    {u"域名", 1600},
    {u"删除时间", 1200},
    {u"删除类型", 1300},
    {u"百度建议", 1400},
    {u"是否已被注册", 1900},
}};

QString evidenceText(const QDateTime& checkedAt, const QString& answerLine) {
    return QStringLiteral("验证时间：") +
           checkedAt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) +
           QStringLiteral("\n服务回答：") + answerLine;
}

// Tooltips guess at markup; the answers came from servers, so they are shown escaped.
QString plainTip(const QString& text) {
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

} // namespace

qint32 ResultRow::dayOf(QDate date) {
    if (!date.isValid())
        return kNoDate;
    const qint64 day = date.toJulianDay();
    return day > kNoDate && day <= std::numeric_limits<qint32>::max() ? qint32(day) : kNoDate;
}

QString ResultRow::listedDeletionTime() const {
    const QDate date = deletionDate();
    if (!date.isValid())
        return {};
    const QString day = date.toString(QStringLiteral("yyyy-MM-dd"));
    if (deletionSecond < 0 || deletionSecond >= 24 * 3600)
        return day;
    return day + QTime(0, 0).addSecs(deletionSecond).toString(QStringLiteral(" hh:mm:ss"));
}

QString ResultListModel::header(Column column) {
    return QString::fromUtf16(kColumns.at(column).header);
}

int ResultListModel::widthInTwips(Column column) {
    return kColumns.at(column).widthTwips;
}

QColor ResultListModel::subduedColour() {
    return QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text);
}

const QString& ResultListModel::verdictText(ResultRow::Verdict verdict) {
    static const QString none;
    switch (verdict) {
    case ResultRow::Verdict::Registered:
        return kVerdictRegistered;
    case ResultRow::Verdict::Free:
        return kVerdictFree;
    case ResultRow::Verdict::None:
        break;
    }
    return none;
}

int ResultListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int ResultListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count() || index.column() >= ColumnCount)
        return {};
    const ResultRow& r = m_rows[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return cell(index.row(), static_cast<Column>(index.column()));
    case Qt::ForegroundRole:
        return r.subdued ? QVariant(QBrush(subduedColour())) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ToolTipRole: {
        if (index.column() != Verdict)
            return {};
        QStringList lines;
        if (r.checkedAtMs != ResultRow::kNeverChecked)
            lines << evidenceText(checkedAt(index.row()), answerLine(index.row()));
        if (r.registryLine >= 0)
            lines << m_registryLines.at(r.registryLine);
        return lines.isEmpty() ? QVariant() : QVariant(plainTip(lines.join(u'\n')));
    }
    case Qt::DecorationRole:
        if (index.column() != Verdict || r.registryMark == ResultRow::RegistryMark::None)
            return {};
        return m_registryIcons.at(static_cast<size_t>(r.registryMark) - 1);
    default:
        return {};
    }
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return header(static_cast<Column>(section));
    if (role == Qt::TextAlignmentRole)
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags ResultListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

const QString& ResultListModel::cell(int row, Column column) const {
    const ResultRow& r = m_rows.at(static_cast<size_t>(row));
    if (column == Verdict)
        return verdictText(r.verdict);
    return r.cells.at(static_cast<size_t>(column));
}

void ResultListModel::appendRow(ResultRow row) {
    std::vector<ResultRow> one;
    one.push_back(std::move(row));
    appendRows(std::move(one));
}

void ResultListModel::appendRows(std::vector<ResultRow> rows) {
    if (rows.empty())
        return;
    for (ResultRow& row : rows) {
        for (const Column column : {DeletionType, Suggestion})
            shareCell(row.cells[column]);
    }
    const int first = count();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
    m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()),
                  std::make_move_iterator(rows.end()));
    endInsertRows();
}

void ResultListModel::shareCell(QString& cell) {
    const auto known = m_sharedCells.constFind(cell);
    if (known != m_sharedCells.cend())
        cell = *known;
    else if (m_sharedCells.size() < kMostSharedCells)
        m_sharedCells.insert(cell);
}

void ResultListModel::setCell(int row, Column column, const QString& text) {
    if (column == Verdict)
        return;
    m_rows.at(static_cast<size_t>(row)).cells.at(static_cast<size_t>(column)) = text;
    const QModelIndex at = index(row, column);
    emit dataChanged(at, at, {Qt::DisplayRole});
}

void ResultListModel::setVerdict(int row, ResultRow::Verdict verdict) {
    m_rows.at(static_cast<size_t>(row)).verdict = verdict;
    const QModelIndex at = index(row, Verdict);
    emit dataChanged(at, at, {Qt::DisplayRole});
}

void ResultListModel::setSubdued(int row) {
    m_rows.at(static_cast<size_t>(row)).subdued = true;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1), {Qt::ForegroundRole});
}

void ResultListModel::setEvidence(int row, const QDateTime& checkedAt, const QString& answerLine) {
    ResultRow& r = m_rows.at(static_cast<size_t>(row));
    // Answers that name the name asked about differ only in it: kept with the name taken out,
    // they are shared again. A line that already holds the stand-in character is kept whole.
    const QString& domain = r.cells[Domain];
    const bool namesRow =
        !domain.isEmpty() && !answerLine.contains(kRowName) && answerLine.contains(domain);
    const QString shared =
        namesRow ? QString(answerLine).replace(domain, QString(kRowName)) : answerLine;
    auto known = m_answerNumbers.constFind(shared);
    if (known == m_answerNumbers.cend()) {
        known = m_answerNumbers.insert(shared, qint32(m_answerLines.size()));
        m_answerLines.append(shared);
    }
    r.checkedAtMs = checkedAt.isValid() ? checkedAt.toMSecsSinceEpoch() : ResultRow::kNeverChecked;
    r.answer = *known;
    r.answerNamesRow = namesRow;
    const QModelIndex at = index(row, Verdict);
    emit dataChanged(at, at, {Qt::ToolTipRole});
}

QDateTime ResultListModel::checkedAt(int row) const {
    const qint64 ms = m_rows.at(static_cast<size_t>(row)).checkedAtMs;
    return ms == ResultRow::kNeverChecked ? QDateTime() : QDateTime::fromMSecsSinceEpoch(ms);
}

QString ResultListModel::answerLine(int row) const {
    const ResultRow& r = m_rows.at(static_cast<size_t>(row));
    if (r.answer < 0)
        return {};
    const QString& line = m_answerLines.at(r.answer);
    return r.answerNamesRow ? QString(line).replace(kRowName, r.cells[Domain]) : line;
}

void ResultListModel::setRegistryMark(int row, ResultRow::RegistryMark mark, const QString& line) {
    ResultRow& r = m_rows.at(static_cast<size_t>(row));
    r.registryMark = mark;
    // Each answer has a time of its own, so lines are rarely equal; a row asked again reuses
    // its slot rather than adding one.
    if (r.registryLine >= 0) {
        m_registryLines[r.registryLine] = line;
    } else {
        r.registryLine = qint32(m_registryLines.size());
        m_registryLines.append(line);
    }
    const QModelIndex at = index(row, Verdict);
    emit dataChanged(at, at, {Qt::DecorationRole, Qt::ToolTipRole});
}

QString ResultListModel::registryLine(int row) const {
    const qint32 line = m_rows.at(static_cast<size_t>(row)).registryLine;
    return line < 0 ? QString() : m_registryLines.at(line);
}

void ResultListModel::setRegistryIcons(const std::array<QIcon, ResultRow::kRegistryMarks>& icons) {
    m_registryIcons = icons;
}

void ResultListModel::removeRowsIf(const std::function<bool(const ResultRow&)>& remove) {
    const auto firstRemoved = std::find_if(m_rows.begin(), m_rows.end(), remove);
    if (firstRemoved == m_rows.end())
        return;
    // One compaction instead of row-by-row removal, which grows with the square of the count.
    beginResetModel();
    m_rows.erase(std::remove_if(firstRemoved, m_rows.end(), remove), m_rows.end());
    endResetModel();
}

void ResultListModel::renumber() {
    if (m_rows.empty())
        return;
    for (size_t i = 0; i < m_rows.size(); ++i)
        m_rows[i].cells[Number] = QString::number(i + 1);
    emit dataChanged(index(0, Number), index(count() - 1, Number), {Qt::DisplayRole});
}

void ResultListModel::clear() {
    if (m_rows.empty())
        return;
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_answerLines.clear();
    m_answerNumbers.clear();
    m_sharedCells.clear();
    m_registryLines.clear();
    endResetModel();
}
