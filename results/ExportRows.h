#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class ResultListModel;

// A table as a CSV file: UTF-8 with a byte-order mark, so that spreadsheet programs read the
// Chinese headers, fields quoted where they must be and cells that look like formulas kept as
// text.
QByteArray TableAsCsv(const QStringList& headers, const QList<QStringList>& rows);

// Writes the bytes to a file, whole or not at all. Returns an error text for the user, or an
// empty text on success.
QString WriteCsvFile(const QByteArray& csv, const QString& path);

// The result list's rows, all six columns.
QByteArray RowsAsCsv(const ResultListModel& rows);
QString WriteRowsCsv(const ResultListModel& rows, const QString& path);
