#include "sandbox/GenerateDomains.h"
#include "sandbox/DomainCatalog.h"
#include "sandbox/DomainNames.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

const QDate kDay(2026, 12, 8);

bool SameEntries(const std::vector<DeletedDomain>& a, const std::vector<DeletedDomain>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].fullName() != b[i].fullName() || a[i].deletionDate != b[i].deletionDate ||
            a[i].deletionSecond != b[i].deletionSecond || a[i].type != b[i].type ||
            a[i].suggestion != b[i].suggestion)
            return false;
    }
    return true;
}

TEST(GenerateDomains, sameSeedAndDayGiveSameSet) {
    const auto first = GenerateDomains(2000, 7, kDay);
    EXPECT_TRUE(SameEntries(first, GenerateDomains(2000, 7, kDay)));
    EXPECT_FALSE(SameEntries(first, GenerateDomains(2000, 8, kDay)));
    EXPECT_NE(DefaultSeed(kDay), DefaultSeed(kDay.addDays(1)));
    EXPECT_TRUE(GenerateDomains(0, 7, kDay).empty());
}

TEST(GenerateDomains, defaultSizeIsFullUniqueAndInRange) {
    const auto domains = GenerateDomains(kDefaultDomainCount, DefaultSeed(kDay), kDay);
    ASSERT_EQ(domains.size(), kDefaultDomainCount);
    std::set<std::string> names;
    std::map<std::string, int> suffixes;
    int preRelease = 0;
    int withSuggestion = 0;
    for (const DeletedDomain& domain : domains) {
        EXPECT_TRUE(names.insert(domain.fullName()).second) << domain.fullName();
        EXPECT_EQ(NormaliseDomainName(domain.fullName()), domain.fullName());
        EXPECT_GE(domain.deletionDate, kDay.addDays(-5));
        EXPECT_LE(domain.deletionDate, kDay.addDays(4));
        EXPECT_GE(domain.deletionSecond, 0);
        EXPECT_LT(domain.deletionSecond, 24 * 3600);
        ++suffixes[domain.suffix];
        preRelease += domain.type == DeletionType::PreRelease;
        withSuggestion += domain.suggestion > 0;
    }
    EXPECT_EQ(suffixes.size(), 4u);
    for (const char* suffix : {"com", "net", "org", "cn"})
        EXPECT_GT(suffixes[suffix], 1000) << suffix;
    EXPECT_GT(preRelease, 1000);
    EXPECT_LT(preRelease, 19000);
    EXPECT_GT(withSuggestion, 1000);
    EXPECT_LT(withSuggestion, 19000);
}

// Every structure filter must find something in the default set.
TEST(GenerateDomains, everyShapeIsRepresented) {
    const DomainCatalog catalog(GenerateDomains(kDefaultDomainCount, 3, kDay));
    std::map<int, int> pinyinBySyllables;
    int repetition = 0, consonantVowel = 0, consonantVowelY = 0, initials = 0, digitsOnly = 0,
        hyphens = 0, lettersAndDigits = 0;
    std::set<QDate> days;
    for (DomainCatalog::Index i = 0; i < catalog.size(); ++i) {
        const NameTraits& traits = catalog.traits(i);
        ++pinyinBySyllables[traits.pinyinSyllables];
        repetition += traits.repetition;
        consonantVowel += traits.consonantVowel;
        consonantVowelY += traits.consonantVowelY && !traits.consonantVowel;
        initials += traits.initialsOnly;
        digitsOnly += traits.characterClasses == kDigits;
        hyphens += (traits.characterClasses & kHyphen) != 0;
        lettersAndDigits += traits.characterClasses == (kLetters | kDigits);
        days.insert(catalog.domain(i).deletionDate);
    }
    for (int syllables = 1; syllables <= 4; ++syllables)
        EXPECT_GT(pinyinBySyllables[syllables], 100) << syllables;
    EXPECT_GT(repetition, 100);
    EXPECT_GT(consonantVowel, 100);
    EXPECT_GT(consonantVowelY, 10) << "names that alternate only when y is a vowel";
    EXPECT_GT(initials, 100);
    EXPECT_GT(digitsOnly, 100);
    EXPECT_GT(hyphens, 100);
    EXPECT_GT(lettersAndDigits, 100);
    EXPECT_EQ(days.size(), 10u);
}

} // namespace
