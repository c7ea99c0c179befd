#include "GenerateDomains.h"

#include "SeededRandom.h"
#include "criteria/PinyinSyllables.h"

#include <array>
#include <string>
#include <string_view>
#include <unordered_set>

namespace {

constexpr std::array<std::string_view, 60> kWords = {
    "app",  "art",   "auto",  "bank",  "best",  "bike", "blue", "book",   "box",    "buy",
    "car",  "care",  "city",  "cloud", "code",  "data", "deal", "design", "easy",   "farm",
    "fast", "fit",   "food",  "fresh", "fun",   "game", "gift", "go",     "gold",   "green",
    "home", "hub",   "idea",  "king",  "lab",   "life", "link", "love",   "mail",   "market",
    "max",  "media", "money", "music", "net",   "one",  "pay",  "pet",    "photo",  "pro",
    "sale", "shop",  "smart", "star",  "style", "tech", "top",  "trade",  "travel", "zone"};
constexpr std::string_view kConsonants = "bcdfghjklmnprstvwxz";
constexpr std::string_view kVowels = "aeiou";
constexpr std::string_view kInitials = "bcdfghjklmnpqrstwxyz";
constexpr std::string_view kAlphanumerics = "abcdefghijklmnopqrstuvwxyz0123456789";

class NameMaker {
public:
    explicit NameMaker(SeededRandom& random) : m_random(random) {}

    std::string make() {
        const int shape = m_random.between(0, 99);
        if (shape < 28)
            return pinyin(m_random.between(1, 4));
        if (shape < 34)
            return syllableRepetition();
        if (shape < 46)
            return words();
        if (shape < 50)
            return hyphenated();
        if (shape < 60)
            return digits(m_random.between(2, 6));
        if (shape < 65)
            return repetition("0123456789");
        if (shape < 69)
            return repetition(kAlphanumerics.substr(0, 26));
        if (shape < 78)
            return consonantVowel();
        if (shape < 86)
            return initials();
        if (shape < 94)
            return lettersAndDigits();
        return letters(m_random.between(3, 8));
    }

private:
    char pick(std::string_view from) { return from[m_random.below(from.size())]; }
    std::string_view syllable() {
        const auto all = PinyinSyllables();
        return all[m_random.below(all.size())];
    }

    std::string pinyin(int syllables) {
        std::string name;
        for (int i = 0; i < syllables; ++i)
            name += syllable();
        return name;
    }

    // AABB, ABAB or ABBA over two distinct syllables.
    std::string syllableRepetition() {
        const std::string_view a = syllable();
        std::string_view b = syllable();
        while (b == a)
            b = syllable();
        const std::array<std::array<std::string_view, 4>, 3> patterns = {
            {{a, a, b, b}, {a, b, a, b}, {a, b, b, a}}};
        std::string name;
        for (const std::string_view part : patterns[m_random.below(patterns.size())])
            name += part;
        return name;
    }

    // AABB, ABAB or ABBA over two distinct characters.
    std::string repetition(std::string_view from) {
        const char a = pick(from);
        char b = pick(from);
        while (b == a)
            b = pick(from);
        switch (m_random.below(3)) {
        case 0:
            return {a, a, b, b};
        case 1:
            return {a, b, a, b};
        default:
            return {a, b, b, a};
        }
    }

    std::string word() { return std::string(kWords[m_random.below(kWords.size())]); }

    std::string words() {
        std::string name = word();
        if (m_random.percent(60))
            name += word();
        if (m_random.percent(20))
            name += std::to_string(m_random.between(1, 999));
        return name;
    }

    std::string hyphenated() {
        if (m_random.percent(30))
            return digits(m_random.between(2, 3)) + '-' + digits(m_random.between(2, 4));
        return word() + '-' + (m_random.percent(50) ? word() : pinyin(m_random.between(1, 2)));
    }

    std::string digits(int count) {
        std::string name;
        for (int i = 0; i < count; ++i)
            name += pick("0123456789");
        return name;
    }

    // CVCV..., VCV..., sometimes with y in a vowel's place.
    std::string consonantVowel() {
        const int length = m_random.between(3, 7);
        bool vowel = m_random.percent(30);
        std::string name;
        for (int i = 0; i < length; ++i, vowel = !vowel) {
            if (vowel)
                name += m_random.percent(10) ? 'y' : pick(kVowels);
            else
                name += pick(kConsonants);
        }
        return name;
    }

    std::string initials() {
        std::string name;
        const int length = m_random.between(2, 5);
        for (int i = 0; i < length; ++i)
            name += pick(kInitials);
        return name;
    }

    std::string lettersAndDigits() {
        if (m_random.percent(50))
            return pinyin(1) + digits(m_random.between(1, 4));
        std::string name = letters(m_random.between(1, 3));
        return name + digits(m_random.between(2, 3));
    }

    std::string letters(int length) {
        std::string name;
        for (int i = 0; i < length; ++i)
            name += pick(kAlphanumerics.substr(0, 26));
        return name;
    }

    SeededRandom& m_random;
};

std::string_view PickSuffix(SeededRandom& random) {
    const int roll = random.between(0, 99);
    if (roll < 50)
        return "com";
    if (roll < 70)
        return "net";
    if (roll < 82)
        return "org";
    return "cn";
}

} // namespace

std::uint64_t DefaultSeed(const QDate& today) {
    return static_cast<std::uint64_t>(today.toJulianDay());
}

std::vector<DeletedDomain> GenerateDomains(size_t count, std::uint64_t seed, const QDate& today) {
    SeededRandom random(seed);
    NameMaker names(random);
    std::vector<DeletedDomain> domains;
    domains.reserve(count);
    std::unordered_set<std::string> taken;
    taken.reserve(count);
    // Small shapes run out quickly; give up after a generous number of repeats.
    size_t attemptsLeft = count * 20 + 1000;
    while (domains.size() < count && attemptsLeft-- > 0) {
        DeletedDomain domain;
        domain.name = names.make();
        domain.suffix = PickSuffix(random);
        if (domain.name.empty() || domain.name.size() > 63 ||
            !taken.insert(domain.fullName()).second)
            continue;
        domain.deletionDate = today.addDays(random.between(-5, 4));
        domain.deletionSecond = random.between(0, 24 * 3600 - 1);
        domain.type = random.percent(25) ? DeletionType::PreRelease : DeletionType::Delete;
        domain.suggestion = random.percent(35) ? random.between(1, 999) : 0;
        domains.push_back(std::move(domain));
    }
    return domains;
}
