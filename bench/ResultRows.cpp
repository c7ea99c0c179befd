#include "ResultRows.h"

#include "StandInData.h"

#include "search/ParseResultPage.h"

std::vector<std::vector<ResultRow>> ParsedPages(int rowCount) {
    std::vector<std::vector<ResultRow>> pages;
    int parsed = 0;
    for (int page = 1; parsed < rowCount; ++page) {
        std::vector<ResultRow> rows = ParseRows(StandInData::resultPage(page), parsed + 1);
        if (rows.empty())
            break;
        if (static_cast<int>(rows.size()) > rowCount - parsed)
            rows.resize(static_cast<size_t>(rowCount - parsed));
        parsed += static_cast<int>(rows.size());
        pages.push_back(std::move(rows));
    }
    return pages;
}

void GiveVerdicts(std::vector<std::vector<ResultRow>>& pages) {
    bool free = true;
    for (auto& page : pages) {
        for (ResultRow& row : page) {
            row.verdict = free ? ResultRow::Verdict::Free : ResultRow::Verdict::Registered;
            row.subdued = !free;
            free = !free;
        }
    }
}
