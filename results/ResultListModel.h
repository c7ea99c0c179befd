#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QSet>
#include <QString>

#include <array>
#include <functional>
#include <limits>
#include <vector>

// One row of the result list: the texts of its cells, what a check found and whether it is
// drawn subdued (registered). A hundred thousand rows are held at once, so the row is kept
// compact: the verdict is a value whose text is only drawn, the deletion date a day number, and
// the evidence of a verdict the moment and the number of the service's answer among the list's
// answers.
struct ResultRow {
    static constexpr qint64 kNeverChecked = std::numeric_limits<qint64>::min();
    static constexpr qint32 kNoDate = std::numeric_limits<qint32>::min();
    // Every column but the last, the verdict, has a text of its own.
    static constexpr size_t kTextCells = 5;

    enum class Verdict : quint8 { None, Registered, Free };
    // What a registry said of the name, drawn as an icon in the verdict cell.
    enum class RegistryMark : quint8 { None, Held, Dropping, NotHeld, NoVerdict };
    static constexpr int kRegistryMarks = 4; // every mark but None has an icon

    // The Julian day of a valid date that a row can hold, kNoDate for any other.
    static qint32 dayOf(QDate date);
    // Invalid when the deletion time's text gave no date.
    QDate deletionDate() const {
        return deletionDay == kNoDate ? QDate() : QDate::fromJulianDay(deletionDay);
    }
    // The deletion date with the time of day the list gave after it ("yyyy-MM-dd hh:mm:ss"), the
    // date alone without one, empty without a date: the cell shows only the date.
    QString listedDeletionTime() const;

    std::array<QString, kTextCells> cells;
    qint64 checkedAtMs = kNeverChecked;
    qint32 answer = -1;
    qint32 deletionDay = kNoDate;
    bool subdued = false;
    // The answer's line is kept with this row's name taken out (see setEvidence).
    bool answerNamesRow = false;
    Verdict verdict = Verdict::None;
    RegistryMark registryMark = RegistryMark::None;
    // The number of the registry's answer, as a line of text, among the list's registry lines.
    qint32 registryLine = -1;
    // The second of the day that the list gave after the date, -1 when it gave none.
    qint32 deletionSecond = -1;
};

// The rows of the result list, owned here and nowhere else. Appends are batched into one
// insert notification, and removal and renumbering are single linear passes, so the list
// stays quick at a hundred thousand rows.
class ResultListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Number = 0,
        Domain,
        DeletionTime,
        DeletionType,
        Suggestion,
        Verdict,
        ColumnCount
    };

    static QString header(Column column);
    static int widthInTwips(Column column);
    // Registered rows are drawn in the palette's disabled-text grey.
    static QColor subduedColour();
    // The verdict cell's text: empty while the row has no verdict.
    static const QString& verdictText(ResultRow::Verdict verdict);

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int count() const { return static_cast<int>(m_rows.size()); }
    const ResultRow& row(int row) const { return m_rows.at(static_cast<size_t>(row)); }
    // The verdict column gives the verdict's text.
    const QString& cell(int row, Column column) const;

    void appendRow(ResultRow row);
    void appendRows(std::vector<ResultRow> rows);
    // Any column but the verdict, which only setVerdict changes.
    void setCell(int row, Column column, const QString& text);
    void setVerdict(int row, ResultRow::Verdict verdict);
    void setSubdued(int row);
    // When the row's verdict was found (invalid while it has none), and the first line of the
    // service's answer.
    void setEvidence(int row, const QDateTime& checkedAt, const QString& answerLine);
    QDateTime checkedAt(int row) const;
    QString answerLine(int row) const;
    // What a registry said of the row's name: a mark for the icon and a line for the tooltip.
    void setRegistryMark(int row, ResultRow::RegistryMark mark, const QString& line);
    QString registryLine(int row) const;
    // The icons of the marks Held, Dropping, NotHeld and NoVerdict, in that order; the view's
    // style draws them, so they are handed in.
    void setRegistryIcons(const std::array<QIcon, ResultRow::kRegistryMarks>& icons);
    // Removes every row the predicate selects, keeping the order of the rest.
    void removeRowsIf(const std::function<bool(const ResultRow&)>& remove);
    // Writes each row's position, counted from 1, into its number cell.
    void renumber();
    void clear();

private:
    // A deletion type or a suggestion takes a few values over thousands of rows: one copy of
    // each is shared, which saves about 80 bytes a row. The bound keeps a service that sends
    // a new value in every row from growing the lookup without end.
    static constexpr qsizetype kMostSharedCells = 4096;
    void shareCell(QString& cell);

    // Stands for a row's name inside a shared answer line: a noncharacter, never in a name.
    static constexpr QChar kRowName{0xFFFF};
    std::vector<ResultRow> m_rows;
    // A service gives the same few answers for thousands of names: each is kept once.
    QList<QString> m_answerLines;
    QHash<QString, qint32> m_answerNumbers;
    QSet<QString> m_sharedCells;
    QList<QString> m_registryLines;
    std::array<QIcon, ResultRow::kRegistryMarks> m_registryIcons;
};

static_assert(ResultListModel::Verdict == ResultRow::kTextCells &&
                  ResultListModel::ColumnCount == ResultRow::kTextCells + 1,
              "the verdict is the last column and the only one without a text of its own");

// The registry's mark fits into the padding the row had anyway: a hundred thousand rows stay
// within their memory budget.
static_assert(sizeof(void*) != 8 || sizeof(ResultRow) <= 152, "a result row grew");
