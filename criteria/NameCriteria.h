#pragma once

#include "criteria/NameTraits.h"

#include <QDate>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class KeywordPlace { Anywhere = 0, Start = 1, End = 2, StartOrEnd = 3 };
enum class TypeChoice { All, Delete, PreRelease };
enum class DateChoice { All, TodayAndLater, BeforeToday, OneDay };
enum class DeletionType { Delete, PreRelease };

// The most syllables a pinyin criterion can ask for; more asks for any number.
inline constexpr int kMostPinyinSyllables = 64;

// What a name must be like to be listed: the list service's criteria, already checked and
// normalised (the keyword in lower case without surrounding blanks, the bounds in order, the
// suffixes lower case without a leading dot, each once).
struct NameCriteria {
    std::string keyword;
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
    std::vector<std::string> suffixes; // empty: every suffix
    TypeChoice type = TypeChoice::All;
    DateChoice date = DateChoice::All;
    QDate day; // for DateChoice::OneDay
};

// One listed entry as the criteria see it. What a list does not tell (a deletion type, a date,
// a suggestion) stays unset, and the criteria about it are not applied.
struct ListedName {
    std::string_view name;   // the label before the first dot, lower case
    std::string_view suffix; // everything after the first dot
    std::optional<DeletionType> type;
    QDate deletionDate; // invalid: not given
    std::optional<int> suggestion;
};
