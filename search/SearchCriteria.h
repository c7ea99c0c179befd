#pragma once

#include <QDate>
#include <QString>

// Where the keyword stands in the names.
enum class KeywordPosition { Anywhere, Left, Right, LeftOrRight };

// How the list service orders its results.
enum class ResultOrder { Length, Letters, Suffix, DateThenLetters, DateThenLength };

enum class DeletionTypeFilter { All, Delete, PreRelease };

// The deletion date asked for: names still to be deleted, names already deleted, one day, or
// (never from the window, whose list always has one chosen) no date at all.
struct DeletionDate {
    enum class Kind { Coming, Past, Day, Any };
    Kind kind = Kind::Past;
    QDate day; // valid only for Kind::Day
};

// The criteria of a search as values, taken from the window's controls when it starts.
struct SearchCriteria {
    QString keyword;
    KeywordPosition place = KeywordPosition::Anywhere;
    // The length bounds go to the service as typed, whatever they hold.
    QString lengthFrom;
    QString lengthTo;

    struct Characters {
        bool letters = false;
        bool digits = false;
        bool hyphen = false;
    } characters;

    struct Shapes {
        bool pinyin = false;
        bool repeatedPairs = false;  // AABB, ABAB, ABBA
        bool consonantVowel = false; // CVCV, VCV
        bool yAsVowel = false;
        bool initialsOnly = false;
        bool suggested = false;
    } shapes;
    // Syllables of a pinyin name, 1 to 4; 0 for any number.
    int pinyinSyllables = 0;

    ResultOrder order = ResultOrder::Length;

    struct Suffixes {
        bool com = false;
        bool net = false;
        bool org = false;
        bool cn = false;
    } suffixes;

    DeletionTypeFilter deletionType = DeletionTypeFilter::All;
    DeletionDate deletionDate;
};
