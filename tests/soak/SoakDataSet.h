#pragma once

#include "results/ResultListModel.h"
#include "sandbox/DomainCatalog.h"
#include "search/SearchCriteria.h"

#include <QDate>

#include <memory>
#include <vector>

inline constexpr int kRowsPerPage = 30;

// The stand-in's data set and the query the soak sends: names already deleted, holding an "a",
// under .com or .net, by date and then letters. The catalog holds exactly pages * 30 names that
// answer the query, in among others that do not, so the first page announces that many pages.
struct SoakDataSet {
    QDate today;
    std::shared_ptr<const DomainCatalog> catalog;
    SearchCriteria criteria;
    // The names the query lists, in the service's order: page p holds entries
    // (p - 1) * 30 to p * 30 - 1.
    std::vector<DomainCatalog::Index> listed;

    int pageCount() const;
};

SoakDataSet MakeSoakDataSet(const QDate& today, int pages, int unlistedNames, std::uint64_t seed);

// Whether the soak's query lists a name, decided here without the stand-in's own filter.
bool ListedBySoakQuery(const DeletedDomain& domain, const QDate& today);

// The row that the list shows for an entry, numbered as given.
ResultRow ExpectedRow(const DeletedDomain& domain, int number);
