#include "SoakDataSet.h"

#include "sandbox/GenerateDomains.h"
#include "search/CriteriaLists.h"

#include <algorithm>
#include <stdexcept>

int SoakDataSet::pageCount() const {
    return static_cast<int>((listed.size() + kRowsPerPage - 1) / kRowsPerPage);
}

bool ListedBySoakQuery(const DeletedDomain& domain, const QDate& today) {
    return domain.name.find('a') != std::string::npos &&
           (domain.suffix == "com" || domain.suffix == "net") && domain.deletionDate < today;
}

SoakDataSet MakeSoakDataSet(const QDate& today, int pages, int unlistedNames, std::uint64_t seed) {
    const size_t wanted = static_cast<size_t>(pages) * kRowsPerPage;
    // Roughly one generated name in ten answers the query; ask for more until they suffice.
    std::vector<DeletedDomain> generated;
    for (size_t count = wanted * 8; count <= wanted * 64; count *= 2) {
        generated = GenerateDomains(count, seed, today);
        const auto answering = std::count_if(
            generated.begin(), generated.end(),
            [&today](const DeletedDomain& domain) { return ListedBySoakQuery(domain, today); });
        if (static_cast<size_t>(answering) >= wanted)
            break;
    }
    std::vector<DeletedDomain> chosen;
    chosen.reserve(wanted + static_cast<size_t>(unlistedNames));
    size_t listed = 0;
    size_t unlisted = 0;
    for (DeletedDomain& domain : generated) {
        if (ListedBySoakQuery(domain, today)) {
            if (listed < wanted) {
                chosen.push_back(std::move(domain));
                ++listed;
            }
        } else if (unlisted < static_cast<size_t>(unlistedNames)) {
            chosen.push_back(std::move(domain));
            ++unlisted;
        }
    }
    if (listed < wanted)
        throw std::runtime_error("the generated names do not fill the pages");

    SoakDataSet data;
    data.today = today;
    auto catalog = std::make_shared<const DomainCatalog>(std::move(chosen));
    for (const DomainCatalog::Index index : catalog->order(SortOrder::DateLetters)) {
        if (ListedBySoakQuery(catalog->domain(index), today))
            data.listed.push_back(index);
    }
    data.catalog = std::move(catalog);

    SearchCriteria& c = data.criteria;
    c.keyword = QStringLiteral("a");
    c.place = KeywordPosition::Anywhere;
    c.order = ResultOrder::DateThenLetters;
    c.suffixes = {true, true, false, false};
    c.deletionType = DeletionTypeFilter::All;
    c.deletionDate = {DeletionDate::Kind::Past, {}};
    return data;
}

ResultRow ExpectedRow(const DeletedDomain& domain, int number) {
    ResultRow row;
    row.cells[ResultListModel::Number] = QString::number(number);
    row.cells[ResultListModel::Domain] = QString::fromStdString(domain.fullName());
    row.cells[ResultListModel::DeletionTime] =
        domain.deletionDate.toString(QStringLiteral("yyyy-MM-dd"));
    row.cells[ResultListModel::DeletionType] = QString::fromUtf8(DeletionTypeText(domain.type));
    row.cells[ResultListModel::Suggestion] =
        domain.suggestion > 0 ? QString::number(domain.suggestion) : QString();
    return row;
}
