#include "results/ExportRows.h"

#include "results/ResultListModel.h"

#include <QSaveFile>

namespace {

// A cell that a spreadsheet would take for a formula is kept as text. The cells come from a
// web service, and a file opened by the user must never run what a server wrote into it.
bool looksLikeFormula(const QString& text) {
    return !text.isEmpty() && QStringLiteral("=+-@\t\r").contains(text.front());
}

QString csvField(QString text) {
    if (looksLikeFormula(text))
        text.prepend(u'\'');
    const bool needsQuotes = text.contains(u',') || text.contains(u'"') || text.contains(u'\n') ||
                             text.contains(u'\r') || text.startsWith(u' ') || text.endsWith(u' ');
    if (!needsQuotes)
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

void appendLine(QString& csv, const QStringList& fields) {
    QStringList cells;
    cells.reserve(fields.size());
    for (const QString& field : fields)
        cells << csvField(field);
    csv += cells.join(u',');
    csv += QStringLiteral("\r\n");
}

} // namespace

QByteArray TableAsCsv(const QStringList& headers, const QList<QStringList>& rows) {
    QString csv;
    appendLine(csv, headers);
    for (const QStringList& row : rows)
        appendLine(csv, row);
    return QByteArrayLiteral("\xEF\xBB\xBF") + csv.toUtf8();
}

QString WriteCsvFile(const QByteArray& csv, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(csv) != csv.size())
        return file.errorString();
    if (!file.commit())
        return file.errorString();
    return {};
}

QByteArray RowsAsCsv(const ResultListModel& rows) {
    QStringList headers;
    for (int c = 0; c < ResultListModel::ColumnCount; ++c)
        headers << ResultListModel::header(static_cast<ResultListModel::Column>(c));
    QList<QStringList> cells;
    cells.reserve(rows.count());
    for (int r = 0; r < rows.count(); ++r) {
        QStringList& line = cells.emplace_back();
        line.reserve(ResultListModel::ColumnCount);
        for (int c = 0; c < ResultListModel::ColumnCount; ++c)
            line << rows.cell(r, static_cast<ResultListModel::Column>(c));
    }
    return TableAsCsv(headers, cells);
}

QString WriteRowsCsv(const ResultListModel& rows, const QString& path) {
    return WriteCsvFile(RowsAsCsv(rows), path);
}
