#pragma once

#include "DomainCatalog.h"

#include <QDate>

#include <functional>
#include <optional>
#include <string>
#include <vector>

enum class KeywordPlace { Anywhere = 0, Start = 1, End = 2, StartOrEnd = 3 };
enum class TypeChoice { All, Delete, PreRelease };
enum class DateChoice { All, TodayAndLater, BeforeToday, OneDay };

// A list service query, read from the keys the program sends. Every value has been checked:
// whatever arrived, the fields below are in range.
struct ListQuery {
    std::string keyword; // lower case, without surrounding blanks
    KeywordPlace place = KeywordPlace::Anywhere;
    std::optional<int> shortest; // bounds on the length of the name without its suffix
    std::optional<int> longest;
    std::uint8_t allowedClasses = 0; // CharacterClass bits; 0 allows every name
    bool pinyin = false;
    int pinyinSyllables = 0; // 0: any number
    bool repetition = false;
    bool consonantVowel = false;
    bool yIsVowel = false;
    bool initialsOnly = false;
    bool withSuggestion = false;
    SortOrder sort = SortOrder::Length;
    std::vector<std::string> suffixes; // empty: every suffix
    TypeChoice type = TypeChoice::All;
    DateChoice date = DateChoice::All;
    QDate day; // for DateChoice::OneDay
    int pageSize = 30;
    int page = 1;
};

inline constexpr int kDefaultPageSize = 30;
inline constexpr int kLargestPageSize = 500;

// Every value given for a key, in the order of the query; keys arrive percent-decoded, so the
// list keys are "ds[]" and "suffix[]".
using QueryValues = std::function<std::vector<std::string>(const std::string& key)>;

ListQuery ParseListQuery(const QueryValues& values);

// A decimal whole number with optional blanks around it; nothing else.
std::optional<int> ParseWholeNumber(std::string_view text);
