#include "criteria/MatchNames.h"

#include <algorithm>

namespace {

bool MatchesLength(const NameCriteria& criteria, size_t length) {
    const auto size = static_cast<long long>(length);
    return (!criteria.shortest || size >= *criteria.shortest) &&
           (!criteria.longest || size <= *criteria.longest);
}

bool MatchesCharacters(const NameCriteria& criteria, const NameTraits& traits) {
    if (criteria.allowedClasses == 0)
        return true;
    return traits.onlyKnownCharacters && (traits.characterClasses & ~criteria.allowedClasses) == 0;
}

bool MatchesStructure(const NameCriteria& criteria, const NameTraits& traits) {
    if (criteria.pinyin) {
        if (traits.pinyinSyllables == 0)
            return false;
        if (criteria.pinyinSyllables != 0 && traits.pinyinSyllables != criteria.pinyinSyllables)
            return false;
    }
    if (criteria.repetition && !traits.repetition)
        return false;
    if (criteria.consonantVowel &&
        !(criteria.yIsVowel ? traits.consonantVowelY : traits.consonantVowel))
        return false;
    return !criteria.initialsOnly || traits.initialsOnly;
}

bool MatchesDate(const NameCriteria& criteria, const QDate& day, const QDate& today) {
    if (!day.isValid())
        return true;
    switch (criteria.date) {
    case DateChoice::All:
        return true;
    case DateChoice::TodayAndLater:
        return day >= today;
    case DateChoice::BeforeToday:
        return day < today;
    case DateChoice::OneDay:
        return day == criteria.day;
    }
    return true;
}

bool MatchesType(const NameCriteria& criteria, std::optional<DeletionType> type) {
    if (!type)
        return true;
    switch (criteria.type) {
    case TypeChoice::All:
        return true;
    case TypeChoice::Delete:
        return *type == DeletionType::Delete;
    case TypeChoice::PreRelease:
        return *type == DeletionType::PreRelease;
    }
    return true;
}

// Everything but the traits, cheapest first.
bool MatchesPlainParts(const NameCriteria& criteria, const ListedName& entry, const QDate& today) {
    if (!MatchesLength(criteria, entry.name.size()))
        return false;
    if (criteria.withSuggestion && entry.suggestion && *entry.suggestion <= 0)
        return false;
    if (!criteria.suffixes.empty() && std::find(criteria.suffixes.begin(), criteria.suffixes.end(),
                                                entry.suffix) == criteria.suffixes.end())
        return false;
    if (!MatchesType(criteria, entry.type) || !MatchesDate(criteria, entry.deletionDate, today))
        return false;
    return criteria.keyword.empty() || KeywordAt(entry.name, criteria) != std::string_view::npos;
}

} // namespace

size_t KeywordAt(std::string_view name, const NameCriteria& criteria) {
    const std::string_view keyword = criteria.keyword;
    if (keyword.size() > name.size())
        return std::string_view::npos;
    const size_t atEnd = name.size() - keyword.size();
    switch (criteria.place) {
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

bool NeedsNameTraits(const NameCriteria& criteria) {
    return criteria.allowedClasses != 0 || criteria.pinyin || criteria.repetition ||
           criteria.consonantVowel || criteria.initialsOnly;
}

bool MatchesCriteria(const NameCriteria& criteria, const ListedName& entry,
                     const NameTraits& traits, const QDate& today) {
    return MatchesPlainParts(criteria, entry, today) && MatchesCharacters(criteria, traits) &&
           MatchesStructure(criteria, traits);
}

bool MatchesCriteria(const NameCriteria& criteria, const ListedName& entry, const QDate& today) {
    if (!MatchesPlainParts(criteria, entry, today))
        return false;
    if (!NeedsNameTraits(criteria))
        return true;
    const NameTraits traits = ComputeNameTraits(entry.name);
    return MatchesCharacters(criteria, traits) && MatchesStructure(criteria, traits);
}
