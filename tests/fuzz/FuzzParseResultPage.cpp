#include "search/ParseResultPage.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using Column = ResultListModel::Column;

// What must hold for any page, however it is made.
void checkRows(const std::vector<ResultRow>& rows) {
    for (size_t i = 0; i < rows.size(); ++i) {
        const ResultRow& row = rows[i];
        if (row.cells[Column::Number] != QString::number(i + 1))
            std::abort();
        const QString& domain = row.cells[Column::Domain];
        if (domain.contains(u'<') || domain.contains(u'>'))
            std::abort();
        const QString& time = row.cells[Column::DeletionTime];
        if (time.size() > 10 || row.verdict != ResultRow::Verdict::None)
            std::abort();
        // A date is only ever the one that the shown text spells out.
        const QDate date = row.deletionDate();
        if (date.isValid() && date.toString(QStringLiteral("yyyy-MM-dd")) != time)
            std::abort();
    }
}

} // namespace

// Bytes from the network, decoded the way pages are, through the row and page-count readers.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString page =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkRows(ParseRows(page, 1));
    // The count stands in at most five digits before "</b>".
    const int pageCount = ReadPageCount(page);
    if (pageCount < 0 || pageCount > 99999)
        std::abort();
    return 0;
}
