#include "FilterDomains.h"

#include <algorithm>

namespace {

bool MatchesLength(const ListQuery& query, size_t length) {
    const auto size = static_cast<long long>(length);
    return (!query.shortest || size >= *query.shortest) &&
           (!query.longest || size <= *query.longest);
}

bool MatchesCharacters(const ListQuery& query, const NameTraits& traits) {
    if (query.allowedClasses == 0)
        return true;
    return traits.onlyKnownCharacters && (traits.characterClasses & ~query.allowedClasses) == 0;
}

bool MatchesStructure(const ListQuery& query, const NameTraits& traits) {
    if (query.pinyin) {
        if (traits.pinyinSyllables == 0)
            return false;
        if (query.pinyinSyllables != 0 && traits.pinyinSyllables != query.pinyinSyllables)
            return false;
    }
    if (query.repetition && !traits.repetition)
        return false;
    if (query.consonantVowel && !(query.yIsVowel ? traits.consonantVowelY : traits.consonantVowel))
        return false;
    return !query.initialsOnly || traits.initialsOnly;
}

bool MatchesDate(const ListQuery& query, const QDate& day, const QDate& today) {
    switch (query.date) {
    case DateChoice::All:
        return true;
    case DateChoice::TodayAndLater:
        return day >= today;
    case DateChoice::BeforeToday:
        return day < today;
    case DateChoice::OneDay:
        return day == query.day;
    }
    return true;
}

bool MatchesType(const ListQuery& query, DeletionType type) {
    switch (query.type) {
    case TypeChoice::All:
        return true;
    case TypeChoice::Delete:
        return type == DeletionType::Delete;
    case TypeChoice::PreRelease:
        return type == DeletionType::PreRelease;
    }
    return true;
}

} // namespace

size_t KeywordPosition(std::string_view name, const ListQuery& query) {
    const std::string_view keyword = query.keyword;
    if (keyword.size() > name.size())
        return std::string_view::npos;
    const size_t atEnd = name.size() - keyword.size();
    switch (query.place) {
    case KeywordPlace::Anywhere:
        return name.find(keyword);
    case KeywordPlace::Start:
        return name.starts_with(keyword) ? 0 : std::string_view::npos;
    case KeywordPlace::End:
        return name.ends_with(keyword) ? atEnd : std::string_view::npos;
    case KeywordPlace::StartOrEnd:
        if (name.starts_with(keyword))
            return 0;
        return name.ends_with(keyword) ? atEnd : std::string_view::npos;
    }
    return std::string_view::npos;
}

bool MatchesQuery(const ListQuery& query, const DeletedDomain& domain, const NameTraits& traits,
                  const QDate& today) {
    if (!MatchesLength(query, domain.name.size()) || !MatchesCharacters(query, traits) ||
        !MatchesStructure(query, traits))
        return false;
    if (query.withSuggestion && domain.suggestion <= 0)
        return false;
    if (!query.suffixes.empty() && std::find(query.suffixes.begin(), query.suffixes.end(),
                                             domain.suffix) == query.suffixes.end())
        return false;
    if (!MatchesType(query, domain.type) || !MatchesDate(query, domain.deletionDate, today))
        return false;
    return query.keyword.empty() || KeywordPosition(domain.name, query) != std::string_view::npos;
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
