#pragma once

#include <cstdint>
#include <string_view>

// Which kinds of character a name is made of.
enum CharacterClass : std::uint8_t {
    kLetters = 1,
    kDigits = 2,
    kHyphen = 4,
};

// What the list service's structure filters ask of a name (the label without its suffix),
// worked out once per name so that a query is a plain scan.
struct NameTraits {
    std::uint8_t characterClasses = 0; // CharacterClass bits; other characters set none
    bool onlyKnownCharacters = true;   // nothing but letters, digits and hyphens
    // The fewest pinyin syllables the name can be read as; 0 when it is not pinyin.
    int pinyinSyllables = 0;
    bool repetition = false;      // AABB, ABAB or ABBA over four characters or four syllables
    bool consonantVowel = false;  // alternates consonant and vowel, y a consonant
    bool consonantVowelY = false; // the same with y counted as a vowel
    bool initialsOnly = false;    // every character is a pinyin initial consonant
};

NameTraits ComputeNameTraits(std::string_view name);

// The pieces of ComputeNameTraits, for the tests.
int FewestPinyinSyllables(std::string_view name);
bool HasRepetitionPattern(std::string_view name);
bool AlternatesConsonantVowel(std::string_view name, bool yIsVowel);
bool IsInitialsOnly(std::string_view name);
