#include "search/ParseResultPage.h"

#include <QDate>

#include <algorithm>
#include <array>
#include <optional>

namespace {

// The table markers of the list service's pages come in either case; every other marker only
// as written here.
constexpr QStringView kBodyOpen = u"<tbody>";
constexpr QStringView kBodyClose = u"</tbody>";
constexpr QStringView kRowOpen = u"<tr ";
constexpr QStringView kCellOpen = u"<td>";

constexpr QStringView kDomainTitleEnd = u"信息";
constexpr QStringView kLinkClose = u"</a>";
constexpr QStringView kCellClose = u"</td>";
constexpr QStringView kImage = u"img";
constexpr QStringView kLinkTarget = u"blank";
constexpr QStringView kRecords = u"条记录";
constexpr QStringView kBoldClose = u"</b>";

// The domain follows its title's end, the closing quote and '>'; the suggestion follows
// "blank", the closing quote and '>'.
constexpr qsizetype kDomainOffset = 4;
constexpr qsizetype kSuggestionOffset = 7;
constexpr qsizetype kDeletionTimeLength = 10;
// Six characters lie between "条记录" and the page count, which ends within nine more.
constexpr qsizetype kPageCountOffset = 9;
constexpr qsizetype kPageCountLength = 9;
constexpr int kUnreadablePageCount = 1;

enum class Letters { Exact, AnyCase };

bool sameIgnoringAsciiCase(QStringView text, QStringView lowerCaseMarker) {
    for (qsizetype i = 0; i < lowerCaseMarker.size(); ++i) {
        char16_t c = text[i].unicode();
        if (c >= u'A' && c <= u'Z')
            c += u'a' - u'A';
        if (c != lowerCaseMarker[i].unicode())
            return false;
    }
    return true;
}

// The first occurrence of the marker at or after from, or -1. Jumping from one occurrence of
// the marker's first character to the next is several times quicker than a general substring
// search, and far quicker than a case-insensitive one.
qsizetype indexOfMarker(QStringView text, QStringView marker, qsizetype from = 0,
                        Letters letters = Letters::Exact) {
    const QChar first = marker.front();
    for (qsizetype at = text.indexOf(first, from); at >= 0 && marker.size() <= text.size() - at;
         at = text.indexOf(first, at + 1)) {
        const QStringView candidate = text.sliced(at, marker.size());
        if (letters == Letters::Exact ? candidate == marker
                                      : sameIgnoringAsciiCase(candidate, marker))
            return at;
    }
    return -1;
}

QStringView between(QStringView text, qsizetype from, qsizetype to) {
    return text.sliced(from, to - from);
}

bool startsWithTag(QStringView text, QStringView tag) {
    return text.size() >= tag.size() && sameIgnoringAsciiCase(text, tag);
}

// One row of the table body: its text from just after its "<tr " to the next row, and its
// cell pieces. Piece 0 lies before the first cell tag, piece k after the k-th; the cells that
// a row lacks stay empty, and nothing after the sixth cell is kept.
struct RowPieces {
    static constexpr size_t kCellPieces = 7;
    QStringView text;
    std::array<QStringView, kCellPieces> cells;
};

// Splits the table body into rows and cells in a single walk over its tags, so that each '<'
// is looked at once however many markers are sought.
class TableSplitter {
public:
    explicit TableSplitter(QStringView body) : m_body(body) {}

    void rowTag(qsizetype at) {
        endRow(at);
        m_rowStart = at + kRowOpen.size();
        m_cellTagCount = 0;
    }
    void cellTag(qsizetype at) {
        if (m_rowStart >= 0 && m_cellTagCount < m_cellTags.size())
            m_cellTags[m_cellTagCount++] = at;
    }
    std::vector<RowPieces> finish(qsizetype bodyEnd) {
        endRow(bodyEnd);
        return std::move(m_rows);
    }

private:
    void endRow(qsizetype end) {
        if (m_rowStart < 0)
            return;
        RowPieces row;
        row.text = between(m_body, m_rowStart, end);
        qsizetype pieceStart = m_rowStart;
        for (size_t k = 0; k <= m_cellTagCount && k < row.cells.size(); ++k) {
            const qsizetype pieceEnd = k < m_cellTagCount ? m_cellTags[k] : end;
            row.cells[k] = between(m_body, pieceStart, pieceEnd);
            pieceStart = pieceEnd + kCellOpen.size();
        }
        m_rows.push_back(row);
    }

    QStringView m_body;
    std::vector<RowPieces> m_rows;
    qsizetype m_rowStart = -1;
    std::array<qsizetype, RowPieces::kCellPieces> m_cellTags{};
    size_t m_cellTagCount = 0;
};

// The rows between the first "<tbody>" and the first "</tbody>" after it; none when either
// is missing.
std::vector<RowPieces> tableRows(QStringView page) {
    const qsizetype open = indexOfMarker(page, kBodyOpen, 0, Letters::AnyCase);
    if (open < 0)
        return {};
    const QStringView rest = page.sliced(open + kBodyOpen.size());
    TableSplitter splitter(rest);
    for (qsizetype at = rest.indexOf(u'<'); at >= 0; at = rest.indexOf(u'<', at + 1)) {
        const QStringView tag = rest.sliced(at);
        if (startsWithTag(tag, kBodyClose))
            return splitter.finish(at);
        if (startsWithTag(tag, kRowOpen))
            splitter.rowTag(at);
        else if (startsWithTag(tag, kCellOpen))
            splitter.cellTag(at);
    }
    return {};
}

QString withoutMarkup(QStringView linkText) {
    QString text;
    text.reserve(linkText.size());
    bool inTag = false;
    for (const QChar c : linkText) {
        if (c == u'<')
            inTag = true;
        else if (c == u'>')
            inTag = false;
        else if (!inTag)
            text.append(c);
    }
    return text;
}

// The first ten characters of the third cell; a character that the cut would split in two
// (a surrogate pair) is left out rather than halved.
QString deletionTime(QStringView cell) {
    qsizetype length = std::min(kDeletionTimeLength, cell.size());
    if (length > 0 && length < cell.size() && cell[length - 1].isHighSurrogate())
        --length;
    return cell.first(length).toString();
}

// A whole number of ASCII digits, or -1.
int digitsValue(QStringView digits) {
    int value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

// The date that a deletion time gives in the form yyyy-MM-dd, invalid for any other text. Read
// by hand: QDate::fromString takes about 2.6 µs, four times what the rest of a row takes.
QDate deletionDate(QStringView time) {
    if (time.size() != kDeletionTimeLength || time[4] != u'-' || time[7] != u'-')
        return {};
    const int year = digitsValue(time.sliced(0, 4));
    const int month = digitsValue(time.sliced(5, 2));
    const int day = digitsValue(time.sliced(8, 2));
    if (year < 0 || month < 0 || day < 0)
        return {};
    return QDate(year, month, day);
}

// The second of the day in " hh:mm:ss" right after the cell's date, -1 for anything else.
qint32 deletionSecond(QStringView cell) {
    if (cell.size() < kDeletionTimeLength + 9 || cell[kDeletionTimeLength] != u' ' ||
        cell[kDeletionTimeLength + 3] != u':' || cell[kDeletionTimeLength + 6] != u':')
        return -1;
    const int hour = digitsValue(cell.sliced(kDeletionTimeLength + 1, 2));
    const int minute = digitsValue(cell.sliced(kDeletionTimeLength + 4, 2));
    const int second = digitsValue(cell.sliced(kDeletionTimeLength + 7, 2));
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return -1;
    return hour * 3600 + minute * 60 + second;
}

QString deletionType(QStringView cell) {
    const qsizetype end = indexOfMarker(cell, kCellClose);
    return end >= 0 ? cell.first(end).toString() : QString();
}

QString suggestion(QStringView cell) {
    if (indexOfMarker(cell, kImage) >= 0)
        return {};
    const qsizetype target = indexOfMarker(cell, kLinkTarget);
    const qsizetype end = indexOfMarker(cell, kLinkClose);
    if (target < 0 || end < target + kSuggestionOffset)
        return {};
    return between(cell, target + kSuggestionOffset, end).toString();
}

std::optional<ResultRow> parseRow(const RowPieces& row, int number) {
    const qsizetype titleEnd = indexOfMarker(row.text, kDomainTitleEnd);
    const qsizetype linkClose = indexOfMarker(row.text, kLinkClose);
    if (titleEnd < 0 || linkClose < titleEnd + kDomainOffset)
        return std::nullopt;

    const auto& cells = row.cells;
    ResultRow result;
    result.cells[ResultListModel::Number] = QString::number(number);
    result.cells[ResultListModel::Domain] =
        withoutMarkup(between(row.text, titleEnd + kDomainOffset, linkClose));
    result.cells[ResultListModel::DeletionTime] = deletionTime(cells[3]);
    result.deletionDay =
        ResultRow::dayOf(deletionDate(result.cells[ResultListModel::DeletionTime]));
    if (result.deletionDay != ResultRow::kNoDate)
        result.deletionSecond = deletionSecond(cells[3]);
    result.cells[ResultListModel::DeletionType] = deletionType(cells[4]);
    result.cells[ResultListModel::Suggestion] = suggestion(cells[6]);
    return result;
}

} // namespace

std::vector<ResultRow> ParseRows(QStringView page, int firstNumber) {
    std::vector<ResultRow> rows;
    for (const RowPieces& pieces : tableRows(page)) {
        const int number = firstNumber + static_cast<int>(rows.size());
        if (std::optional<ResultRow> row = parseRow(pieces, number))
            rows.push_back(std::move(*row));
    }
    return rows;
}

int ReadPageCount(QStringView page) {
    const qsizetype records = indexOfMarker(page, kRecords);
    if (records < 0 || records + kPageCountOffset >= page.size())
        return kUnreadablePageCount;
    const QStringView window =
        page.sliced(records + kPageCountOffset)
            .first(std::min(kPageCountLength, page.size() - records - kPageCountOffset));
    const qsizetype end = indexOfMarker(window, kBoldClose);
    if (end < 0)
        return kUnreadablePageCount;
    bool ok = false;
    // The window leaves room for five digits before "</b>", so a count never passes 99,999. A
    // large count is read as announced: the user can stop the walk, and a list cut short must
    // never end as if it were whole.
    const int count = window.first(end).trimmed().toInt(&ok);
    return ok && count >= 0 ? count : kUnreadablePageCount;
}

int ParseResultPage(QStringView page, bool firstPage, ResultListModel& rows) {
    rows.appendRows(ParseRows(page, rows.count() + 1));
    return firstPage ? ReadPageCount(page) : 0;
}
