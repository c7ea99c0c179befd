#include "ListQuery.h"

#include <algorithm>
#include <limits>

namespace {

// The first value of a key, or the empty text when the key is missing.
std::string First(const QueryValues& values, const std::string& key) {
    const std::vector<std::string> all = values(key);
    return all.empty() ? std::string() : all.front();
}

bool Ticked(const QueryValues& values, const std::string& key) {
    return ParseWholeNumber(First(values, key)) == 1;
}

std::optional<int> NumberInRange(const std::string& text, int lowest, int highest) {
    const std::optional<int> number = ParseWholeNumber(text);
    if (!number || *number < lowest || *number > highest)
        return std::nullopt;
    return number;
}

} // namespace

ListQuery ParseListQuery(const QueryValues& values) {
    ListQuery query;
    query.keyword = NormaliseKeyword(First(values, "kw"));
    if (const auto place = NumberInRange(First(values, "p"), 0, 3))
        query.place = static_cast<KeywordPlace>(*place);

    SetLengthBounds(query, First(values, "bl"), First(values, "el"));

    for (const std::string& code : values("ds[]")) {
        switch (ParseWholeNumber(code).value_or(0)) {
        case 1:
            query.allowedClasses |= kLetters;
            break;
        case 2:
            query.allowedClasses |= kDigits;
            break;
        case 3:
            query.allowedClasses |= kHyphen;
            break;
        default:
            break;
        }
    }

    query.pinyin = Ticked(values, "py");
    if (query.pinyin)
        query.pinyinSyllables =
            NumberInRange(First(values, "pl"), 1, kMostPinyinSyllables).value_or(0);
    query.repetition = Ticked(values, "ab");
    query.consonantVowel = Ticked(values, "cv");
    query.yIsVowel = Ticked(values, "vy");
    query.initialsOnly = Ticked(values, "ai");
    query.withSuggestion = Ticked(values, "hs");

    if (const auto sort = NumberInRange(First(values, "sort"), 1, kSortOrderCount))
        query.sort = static_cast<SortOrder>(*sort);

    for (const std::string& suffix : values("suffix[]"))
        AddSuffix(query, suffix);

    if (const auto type = NumberInRange(First(values, "dt"), 0, 2))
        query.type = static_cast<TypeChoice>(*type);

    SetDeletionDate(query, First(values, "date"));

    if (const auto size = ParseWholeNumber(First(values, "pagesize")); size && *size >= 1)
        query.pageSize = std::min(*size, kLargestPageSize);
    query.page =
        NumberInRange(First(values, "page"), 1, std::numeric_limits<int>::max()).value_or(1);
    return query;
}
