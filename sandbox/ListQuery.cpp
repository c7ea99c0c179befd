#include "ListQuery.h"

#include <QString>

#include <algorithm>
#include <charconv>
#include <limits>

namespace {

std::string_view TrimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

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

QDate ParseDay(std::string_view text) {
    return QDate::fromString(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                             QStringLiteral("yyyy-MM-dd"));
}

} // namespace

std::optional<int> ParseWholeNumber(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

ListQuery ParseListQuery(const QueryValues& values) {
    ListQuery query;
    query.keyword = LowerAscii(TrimBlanks(First(values, "kw")));
    if (const auto place = NumberInRange(First(values, "p"), 0, 3))
        query.place = static_cast<KeywordPlace>(*place);

    query.shortest = ParseWholeNumber(First(values, "bl"));
    query.longest = ParseWholeNumber(First(values, "el"));
    // Bounds typed the wrong way round still mean the range between them.
    if (query.shortest && query.longest && *query.shortest > *query.longest)
        std::swap(query.shortest, query.longest);

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
        query.pinyinSyllables = NumberInRange(First(values, "pl"), 1, 64).value_or(0);
    query.repetition = Ticked(values, "ab");
    query.consonantVowel = Ticked(values, "cv");
    query.yIsVowel = Ticked(values, "vy");
    query.initialsOnly = Ticked(values, "ai");
    query.withSuggestion = Ticked(values, "hs");

    if (const auto sort = NumberInRange(First(values, "sort"), 1, kSortOrderCount))
        query.sort = static_cast<SortOrder>(*sort);

    for (const std::string& suffix : values("suffix[]")) {
        std::string wanted = LowerAscii(TrimBlanks(suffix));
        if (!wanted.empty() && wanted.front() == '.')
            wanted.erase(0, 1);
        if (!wanted.empty() &&
            std::find(query.suffixes.begin(), query.suffixes.end(), wanted) == query.suffixes.end())
            query.suffixes.push_back(std::move(wanted));
    }

    if (const auto type = NumberInRange(First(values, "dt"), 0, 2))
        query.type = static_cast<TypeChoice>(*type);

    const std::string date = std::string(TrimBlanks(First(values, "date")));
    if (date == "0") {
        query.date = DateChoice::TodayAndLater;
    } else if (date == "1") {
        query.date = DateChoice::BeforeToday;
    } else if (const QDate day = ParseDay(date); day.isValid()) {
        query.date = DateChoice::OneDay;
        query.day = day;
    }

    if (const auto size = ParseWholeNumber(First(values, "pagesize")); size && *size >= 1)
        query.pageSize = std::min(*size, kLargestPageSize);
    query.page =
        NumberInRange(First(values, "page"), 1, std::numeric_limits<int>::max()).value_or(1);
    return query;
}
