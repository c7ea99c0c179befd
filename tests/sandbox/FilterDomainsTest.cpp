#include "HandMadeDomains.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Names = std::vector<std::string>;

class FilterDomainsTest : public ::testing::Test {
protected:
    // Sorted, for the keys whose order does not matter.
    Names found(const std::string& query) const {
        Names names = NamesFound(catalog, query);
        std::sort(names.begin(), names.end());
        return names;
    }
    static Names sorted(Names names) {
        std::sort(names.begin(), names.end());
        return names;
    }

    DomainCatalog catalog{HandMadeDomains()};
};

TEST_F(FilterDomainsTest, keywordPlaces) {
    EXPECT_EQ(found("kw=a&p=0"), sorted({"ab88", "baidu", "taobao", "xian", "haohaoxuexue", "aabb",
                                         "kato", "ako", "yaya"}));
    EXPECT_EQ(found("kw=a&p=1"), sorted({"ab88", "aabb", "ako"}));
    EXPECT_EQ(found("kw=o&p=2"), sorted({"taobao", "kato", "ako"}));
    EXPECT_EQ(found("kw=a&p=3"), sorted({"ab88", "aabb", "ako", "yaya"}));
    EXPECT_EQ(found("kw=AB&p=1"), Names{"ab88"}) << "keywords ignore letter case";
    EXPECT_EQ(found("kw=%20shop%20&p=2"), sorted({"my-shop", "shop"})) << "blanks are dropped";
    EXPECT_EQ(found("kw=-&p=0"), sorted({"my-shop", "12-34"}));
    EXPECT_EQ(found("kw=ab88.com&p=0"), Names{}) << "the suffix is not part of the name";
    EXPECT_EQ(found("kw=&p=1").size(), catalog.size());
}

TEST_F(FilterDomainsTest, lengthBounds) {
    EXPECT_EQ(found("bl=5&el=6"), sorted({"baidu", "taobao", "12-34"}));
    EXPECT_EQ(found("bl=&el=3"), Names{"ako"});
    EXPECT_EQ(found("bl=7&el="), sorted({"my-shop", "haohaoxuexue"}));
    EXPECT_EQ(found("bl=10&el=5"), sorted({"baidu", "taobao", "my-shop", "12-34"}))
        << "reversed bounds mean the range between them";
    EXPECT_EQ(found("bl=abc&el=3"), Names{"ako"}) << "a bound that is no number is no bound";
}

TEST_F(FilterDomainsTest, characterClasses) {
    EXPECT_EQ(found("ds%5B%5D=2"), sorted({"1212", "1221"}));
    EXPECT_EQ(found("ds%5B%5D=2&ds%5B%5D=3"), sorted({"1212", "1221", "12-34"}));
    EXPECT_EQ(found("ds%5B%5D=1"), sorted({"baidu", "taobao", "xian", "haohaoxuexue", "aabb",
                                           "bjsz", "kato", "ako", "yaya", "kyky", "shop"}));
    EXPECT_EQ(found("ds%5B%5D=1&ds%5B%5D=2"),
              sorted({"baidu", "taobao", "xian", "haohaoxuexue", "aabb", "bjsz", "kato", "ako",
                      "yaya", "kyky", "shop", "ab88", "1212", "1221"}));
    EXPECT_EQ(found("ds%5B%5D=1&ds%5B%5D=2&ds%5B%5D=3").size(), catalog.size());
    EXPECT_EQ(found("ds%5B%5D=9").size(), catalog.size()) << "unknown codes restrict nothing";
}

TEST_F(FilterDomainsTest, pinyin) {
    EXPECT_EQ(found("py=1&pl="), sorted({"baidu", "taobao", "xian", "haohaoxuexue", "yaya"}));
    EXPECT_EQ(found("py=1&pl=1"), Names{"xian"});
    EXPECT_EQ(found("py=1&pl=2"), sorted({"baidu", "taobao", "yaya"}));
    EXPECT_EQ(found("py=1&pl=4"), Names{"haohaoxuexue"});
    EXPECT_EQ(found("pl=2").size(), catalog.size()) << "the syllable count needs py";
}

TEST_F(FilterDomainsTest, structures) {
    EXPECT_EQ(found("ab=1"), sorted({"haohaoxuexue", "aabb", "1212", "1221", "yaya", "kyky"}));
    EXPECT_EQ(found("cv=1"), sorted({"kato", "ako", "yaya"}));
    EXPECT_EQ(found("cv=1&vy=1"), sorted({"kato", "ako", "kyky"}));
    EXPECT_EQ(found("vy=1").size(), catalog.size()) << "y as a vowel only refines cv";
    EXPECT_EQ(found("ai=1"), sorted({"bjsz", "kyky"}));
    EXPECT_EQ(found("hs=1"),
              sorted({"ab88", "taobao", "haohaoxuexue", "1212", "bjsz", "ako", "kyky", "shop"}));
}

TEST_F(FilterDomainsTest, suffixesTypesAndDates) {
    EXPECT_EQ(found("suffix%5B%5D=com"),
              sorted({"ab88", "baidu", "aabb", "1221", "kato", "kyky", "my-shop"}));
    EXPECT_EQ(found("suffix%5B%5D=net&suffix%5B%5D=cn"),
              sorted({"taobao", "1212", "ako", "12-34", "haohaoxuexue", "bjsz"}));
    EXPECT_EQ(found("dt=2"), sorted({"baidu", "aabb", "bjsz", "kyky", "shop"}));
    EXPECT_EQ(found("dt=1").size(), catalog.size() - 5);
    EXPECT_EQ(found("dt=0").size(), catalog.size());
    EXPECT_EQ(found("date=0"), sorted({"baidu", "taobao", "haohaoxuexue", "1221", "kato", "yaya",
                                       "my-shop", "shop"}))
        << "today counts as coming";
    EXPECT_EQ(found("date=1"),
              sorted({"ab88", "xian", "aabb", "1212", "bjsz", "ako", "kyky", "12-34"}));
    EXPECT_EQ(found("date=2026-12-07"), sorted({"ab88", "1212", "kyky"}));
    EXPECT_EQ(found("date=2026-13-01").size(), catalog.size()) << "no such day: every day";
}

TEST_F(FilterDomainsTest, keysTogether) {
    EXPECT_EQ(found("ds%5B%5D=1&ab=1&dt=2"), sorted({"aabb", "kyky"}));
    EXPECT_EQ(found("kw=a&p=1&suffix%5B%5D=net"), Names{"ako"});
    EXPECT_EQ(found("py=1&pl=2&date=0&hs=1"), Names{"taobao"});
    EXPECT_EQ(found("kw=&p=0&bl=1&el=4&ds%5B%5D=1&ds%5B%5D=2&pl=&sort=1&suffix%5B%5D=net&"
                    "suffix%5B%5D=org&dt=1&date=1&pagesize=30&st=1"),
              sorted({"xian", "1212", "ako"}));
}

TEST_F(FilterDomainsTest, sortOrders) {
    const std::string com = "suffix%5B%5D=com&sort=";
    EXPECT_EQ(NamesFound(catalog, com + "1"),
              (Names{"1221", "aabb", "ab88", "kato", "kyky", "baidu", "my-shop"}));
    EXPECT_EQ(NamesFound(catalog, com + "2"),
              (Names{"1221", "aabb", "ab88", "baidu", "kato", "kyky", "my-shop"}));
    EXPECT_EQ(NamesFound(catalog, "ds%5B%5D=2&sort=3"), (Names{"1221", "1212"}));
    EXPECT_EQ(NamesFound(catalog, "ds%5B%5D=2&sort=2"), (Names{"1212", "1221"}));
    EXPECT_EQ(NamesFound(catalog, com + "4"),
              (Names{"aabb", "ab88", "kyky", "baidu", "kato", "my-shop", "1221"}));
    EXPECT_EQ(NamesFound(catalog, com + "5"),
              (Names{"aabb", "ab88", "kyky", "kato", "baidu", "my-shop", "1221"}));
    EXPECT_EQ(NamesFound(catalog, com + "9"), NamesFound(catalog, com + "1"))
        << "an unknown order falls back to length";
    EXPECT_EQ(NamesFound(catalog, com), NamesFound(catalog, com + "1"));
}

TEST_F(FilterDomainsTest, sameNameUnderTwoSuffixesKeepsAStableOrder) {
    const DomainCatalog twins(
        {Entry("twin", "org", 0), Entry("twin", "com", 0), Entry("twin", "net", 0)});
    const auto suffixes = [&](const std::string& query) {
        Names found;
        for (const auto index : FindMatches(twins, ParseListQuery(ValuesOf(query)), kToday))
            found.push_back(twins.domain(index).suffix);
        return found;
    };
    for (const char* sort : {"1", "2", "3", "4", "5"})
        EXPECT_EQ(suffixes(std::string("sort=") + sort), (Names{"com", "net", "org"})) << sort;
}

} // namespace
