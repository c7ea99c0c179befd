#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QDateTime>
#include <QSet>
#include <QString>

#include <array>
#include <functional>
#include <vector>

// One row of the result list: its six cells and whether it is drawn subdued (registered).
struct ResultRow {
    std::array<QString, 6> cells;
    bool subdued = false;
    // When the verdict was found, and the first line of the service's answer.
    QDateTime checkedAt;
    QString answerLine;
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

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int count() const { return static_cast<int>(m_rows.size()); }
    const ResultRow& row(int row) const { return m_rows.at(static_cast<size_t>(row)); }
    const QString& cell(int row, Column column) const;

    void appendRow(ResultRow row);
    void appendRows(std::vector<ResultRow> rows);
    void setCell(int row, Column column, const QString& text);
    void setSubdued(int row);
    void setEvidence(int row, const QDateTime& checkedAt, const QString& answerLine);
    // Removes every row the predicate selects, keeping the order of the rest.
    void removeRowsIf(const std::function<bool(const ResultRow&)>& remove);
    // Writes each row's position, counted from 1, into its number cell.
    void renumber();
    void clear();

private:
    std::vector<ResultRow> m_rows;
    // A service gives the same few answers for thousands of names: each is kept once.
    QSet<QString> m_answerLines;
};
