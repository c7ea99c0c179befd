#pragma once

#include "results/ResultListModel.h"
#include "support/QStringPrinter.h"

#include <QString>

#include <initializer_list>
#include <vector>

// Filling and reading the result list in tests.
namespace Rows {

using Verdict = ResultRow::Verdict;

// A row with only its name and its verdict, to hand to the list.
inline ResultRow listed(const QString& domain, Verdict verdict = Verdict::None) {
    ResultRow row;
    row.cells[ResultListModel::Domain] = domain;
    row.verdict = verdict;
    return row;
}

// A row with its name and its deletion time's text and date, as the parser gives them.
inline ResultRow dated(const QString& domain, const QString& deletionTime, QDate date) {
    ResultRow row;
    row.cells[ResultListModel::Domain] = domain;
    row.cells[ResultListModel::DeletionTime] = deletionTime;
    row.deletionDay = ResultRow::dayOf(date);
    return row;
}

// Appends a listed row as a search leaves it, numbered after the rows already there.
inline void append(ResultListModel& rows, const QString& domain, Verdict verdict = Verdict::None,
                   bool subdued = false) {
    ResultRow row = dated(domain, QStringLiteral("2026-12-09"), QDate(2026, 12, 9));
    row.cells[ResultListModel::Number] = QString::number(rows.count() + 1);
    row.cells[ResultListModel::DeletionType] = QStringLiteral("Delete");
    row.cells[ResultListModel::Suggestion] = QStringLiteral("3");
    row.verdict = verdict;
    row.subdued = subdued;
    rows.appendRow(std::move(row));
}

// One column's cells from the first row to the last.
inline std::vector<QString> column(const ResultListModel& rows, ResultListModel::Column column) {
    std::vector<QString> cells;
    for (int row = 0; row < rows.count(); ++row)
        cells.push_back(rows.cell(row, column));
    return cells;
}

// UTF-8 literals as texts, to compare with a column.
inline std::vector<QString> texts(std::initializer_list<const char*> utf8) {
    std::vector<QString> result;
    for (const char* text : utf8)
        result.push_back(QString::fromUtf8(text));
    return result;
}

} // namespace Rows
