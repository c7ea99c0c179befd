#include "search/DropListReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// A drop list's bytes: the first byte picks the form, the criteria and the size of the pieces
// the rest is fed in; the rest is the file, packed or not.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const uint8_t choice = data[0];
    NameCriteria criteria;
    if (choice & 2) {
        criteria.keyword = "a";
        criteria.place = KeywordPlace::StartOrEnd;
        criteria.shortest = 1;
        criteria.longest = 8;
        criteria.date = DateChoice::BeforeToday;
    }
    if (choice & 4)
        criteria.pinyin = true;
    DropListReader reader((choice & 1) ? DropListForm::Csv : DropListForm::Text, criteria,
                          QDate(2026, 12, 8));
    const qsizetype piece = 1 + (choice >> 3) * 37;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data + 1),
                               static_cast<qsizetype>(size - 1));
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        if (!reader.feed(bytes.sliced(at, std::min(piece, bytes.size() - at))))
            break;
    }
    reader.finish();

    const std::vector<ResultRow> rows = reader.takeRows();
    const DropListCounts& counts = reader.counts();
    if (static_cast<qint64>(rows.size()) != counts.kept)
        std::abort();
    if (counts.kept + counts.blankOrComment + counts.notNames + counts.tooLong + counts.duplicates +
            counts.filteredOut >
        counts.lines)
        std::abort();
    for (const ResultRow& row : rows) {
        const QString& name = row.cells[ResultListModel::Domain];
        // A kept name is a lower-case domain name, never markup or blanks.
        if (name.isEmpty() || name.size() > 253 || name != name.toLower() || name.contains(u'<') ||
            name.contains(u' ') || !name.contains(u'.'))
            std::abort();
    }
    return 0;
}
