#include "criteria/NameTraits.h"

#include "criteria/PinyinSyllables.h"

#include <array>
#include <vector>

namespace {

bool IsLetter(char c) {
    return c >= 'a' && c <= 'z';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsVowel(char c, bool yIsVowel) {
    switch (c) {
    case 'a':
    case 'e':
    case 'i':
    case 'o':
    case 'u':
        return true;
    case 'y':
        return yIsVowel;
    default:
        return false;
    }
}

// AABB, ABAB or ABBA, with A different from B.
template <typename T> bool IsRepetition(const T& a, const T& b, const T& c, const T& d) {
    const bool aabb = a == b && c == d && a != c;
    const bool abab = a == c && b == d && a != b;
    const bool abba = a == d && b == c && a != b;
    return aabb || abab || abba;
}

// Tries every way of reading the rest of the name as syllables until four are taken.
bool FourSyllableRepetition(std::string_view rest, std::array<std::string_view, 4>& taken,
                            size_t count) {
    if (count == taken.size())
        return rest.empty() && IsRepetition(taken[0], taken[1], taken[2], taken[3]);
    for (size_t length = 1; length <= kLongestPinyinSyllable && length <= rest.size(); ++length) {
        const std::string_view syllable = rest.substr(0, length);
        if (!IsPinyinSyllable(syllable))
            continue;
        taken[count] = syllable;
        if (FourSyllableRepetition(rest.substr(length), taken, count + 1))
            return true;
    }
    return false;
}

} // namespace

int FewestPinyinSyllables(std::string_view name) {
    if (name.empty())
        return 0;
    constexpr int kUnreachable = -1;
    std::vector<int> fewest(name.size() + 1, kUnreachable);
    fewest[0] = 0;
    for (size_t end = 1; end <= name.size(); ++end) {
        for (size_t length = 1; length <= kLongestPinyinSyllable && length <= end; ++length) {
            const size_t start = end - length;
            if (fewest[start] == kUnreachable || !IsPinyinSyllable(name.substr(start, length)))
                continue;
            if (fewest[end] == kUnreachable || fewest[start] + 1 < fewest[end])
                fewest[end] = fewest[start] + 1;
        }
    }
    return fewest[name.size()] == kUnreachable ? 0 : fewest[name.size()];
}

bool HasRepetitionPattern(std::string_view name) {
    if (name.size() == 4 && IsRepetition(name[0], name[1], name[2], name[3]))
        return true;
    std::array<std::string_view, 4> taken;
    return name.size() >= 4 && name.size() <= 4 * kLongestPinyinSyllable &&
           FourSyllableRepetition(name, taken, 0);
}

bool AlternatesConsonantVowel(std::string_view name, bool yIsVowel) {
    if (name.size() < 3)
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (!IsLetter(name[i]))
            return false;
        if (i > 0 && IsVowel(name[i], yIsVowel) == IsVowel(name[i - 1], yIsVowel))
            return false;
    }
    return true;
}

bool IsInitialsOnly(std::string_view name) {
    if (name.empty())
        return false;
    for (const char c : name) {
        // Every consonant letter starts some syllable, except v, which only stands for ü.
        if (!IsLetter(c) || IsVowel(c, false) || c == 'v')
            return false;
    }
    return true;
}

NameTraits ComputeNameTraits(std::string_view name) {
    NameTraits traits;
    for (const char c : name) {
        if (IsLetter(c))
            traits.characterClasses |= kLetters;
        else if (IsDigit(c))
            traits.characterClasses |= kDigits;
        else if (c == '-')
            traits.characterClasses |= kHyphen;
        else
            traits.onlyKnownCharacters = false;
    }
    traits.pinyinSyllables = FewestPinyinSyllables(name);
    traits.repetition = HasRepetitionPattern(name);
    traits.consonantVowel = AlternatesConsonantVowel(name, false);
    traits.consonantVowelY = AlternatesConsonantVowel(name, true);
    traits.initialsOnly = IsInitialsOnly(name);
    return traits;
}
