#include "FilterDomains.h"

#include "criteria/MatchNames.h"

size_t KeywordPosition(std::string_view name, const ListQuery& query) {
    return KeywordAt(name, query);
}

bool MatchesQuery(const ListQuery& query, const DeletedDomain& domain, const NameTraits& traits,
                  const QDate& today) {
    // The data set gives every entry a type, a date and a suggestion (0 when it has none).
    const ListedName entry{domain.name, domain.suffix, domain.type, domain.deletionDate,
                           domain.suggestion};
    return MatchesCriteria(query, entry, traits, today);
}

std::vector<DomainCatalog::Index> FindMatches(const DomainCatalog& catalog, const ListQuery& query,
                                              const QDate& today) {
    std::vector<DomainCatalog::Index> matches;
    for (const DomainCatalog::Index index : catalog.order(query.sort)) {
        if (MatchesQuery(query, catalog.domain(index), catalog.traits(index), today))
            matches.push_back(index);
    }
    return matches;
}
