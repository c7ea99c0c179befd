#pragma once

#include <QByteArray>
#include <QString>

class ResultListModel;

// The rows as a CSV file: UTF-8 with a byte-order mark, so that spreadsheet programs read the
// Chinese headers, all six columns, fields quoted where they must be.
QByteArray RowsAsCsv(const ResultListModel& rows);

// Writes the CSV to a file, whole or not at all. Returns an error text for the user, or an
// empty text on success.
QString WriteRowsCsv(const ResultListModel& rows, const QString& path);
