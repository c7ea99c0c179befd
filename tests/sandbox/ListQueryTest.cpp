#include "HandMadeDomains.h"
#include "sandbox/RenderListPage.h"
#include "sandbox/SeededRandom.h"

#include <gtest/gtest.h>

#include <map>

namespace {

TEST(ListQuery, programsDefaultQuery) {
    const ListQuery query =
        ParseListQuery(ValuesOf("kw=&p=0&bl=1&el=3&ds%5B%5D=1&ds%5B%5D=2&pl=&sort=1&"
                                "suffix%5B%5D=net&suffix%5B%5D=org&dt=1&date=1&pagesize=30&st=1"));
    EXPECT_EQ(query.keyword, "");
    EXPECT_EQ(query.place, KeywordPlace::Anywhere);
    EXPECT_EQ(query.shortest, 1);
    EXPECT_EQ(query.longest, 3);
    EXPECT_EQ(query.allowedClasses, kLetters | kDigits);
    EXPECT_FALSE(query.pinyin);
    EXPECT_EQ(query.sort, SortOrder::Length);
    EXPECT_EQ(query.suffixes, (std::vector<std::string>{"net", "org"}));
    EXPECT_EQ(query.type, TypeChoice::Delete);
    EXPECT_EQ(query.date, DateChoice::BeforeToday);
    EXPECT_EQ(query.pageSize, 30);
    EXPECT_EQ(query.page, 1);
}

TEST(ListQuery, pagingKeys) {
    EXPECT_EQ(ParseListQuery(ValuesOf("page=7")).page, 7);
    EXPECT_EQ(ParseListQuery(ValuesOf("pagesize=5")).pageSize, 5);
    EXPECT_EQ(ParseListQuery(ValuesOf("")).pageSize, kDefaultPageSize);
    EXPECT_EQ(ParseListQuery(ValuesOf("pagesize=100000")).pageSize, kLargestPageSize);
}

TEST(ListQuery, malformedValuesFallBackToDefaults) {
    const ListQuery query = ParseListQuery(
        ValuesOf("kw=%E4%B8%AD%E6%96%87&p=9&bl=1e3&el=99999999999999&ds%5B%5D=x&py=yes&pl=-2&"
                 "ab=2&sort=0&dt=7&date=2026-02-30&pagesize=0&page=-4&st=zz&unknown=1"));
    EXPECT_EQ(query.keyword, "中文");
    EXPECT_EQ(query.place, KeywordPlace::Anywhere);
    EXPECT_FALSE(query.shortest);
    EXPECT_FALSE(query.longest);
    EXPECT_EQ(query.allowedClasses, 0);
    EXPECT_FALSE(query.pinyin);
    EXPECT_FALSE(query.repetition);
    EXPECT_EQ(query.sort, SortOrder::Length);
    EXPECT_EQ(query.type, TypeChoice::All);
    EXPECT_EQ(query.date, DateChoice::All);
    EXPECT_EQ(query.pageSize, kDefaultPageSize);
    EXPECT_EQ(query.page, 1);
}

TEST(ListQuery, wholeNumbers) {
    EXPECT_EQ(ParseWholeNumber(" 12 "), 12);
    EXPECT_EQ(ParseWholeNumber("+3"), 3);
    EXPECT_EQ(ParseWholeNumber("-3"), -3);
    EXPECT_FALSE(ParseWholeNumber(""));
    EXPECT_FALSE(ParseWholeNumber("12a"));
    EXPECT_FALSE(ParseWholeNumber("1 2"));
    EXPECT_FALSE(ParseWholeNumber("2147483648"));
}

// Whatever arrives, a query parses into values in range and renders a page.
TEST(ListQuery, randomValuesNeverBreakAnswer) {
    const DomainCatalog catalog(HandMadeDomains());
    const std::vector<std::string> keys = {"kw",   "p",        "bl", "el",   "ds[]",     "py",
                                           "pl",   "ab",       "cv", "vy",   "ai",       "hs",
                                           "sort", "suffix[]", "dt", "date", "pagesize", "page"};
    const std::vector<std::string> pieces = {
        "",  "0", "1",  "-1", "3",    "30", "a",          "%",           "<",
        ">", "&", "\"", "中", "\xff", " ",  "2026-12-07", "99999999999", std::string(1, '\0')};
    SeededRandom random(42);
    for (int round = 0; round < 2000; ++round) {
        std::map<std::string, std::vector<std::string>> values;
        for (const std::string& key : keys) {
            for (int n = static_cast<int>(random.below(3)); n > 0; --n) {
                std::string value;
                for (int k = static_cast<int>(random.below(4)); k > 0; --k)
                    value += pieces[random.below(pieces.size())];
                values[key].push_back(value);
            }
        }
        const ListQuery query = ParseListQuery([&](const std::string& key) {
            const auto found = values.find(key);
            return found == values.end() ? std::vector<std::string>() : found->second;
        });
        ASSERT_GE(query.page, 1);
        ASSERT_GE(query.pageSize, 1);
        ASSERT_LE(query.pageSize, kLargestPageSize);
        const std::vector<DomainCatalog::Index> matches = FindMatches(catalog, query, kToday);
        const std::string page =
            matches.empty() ? RenderNoResultPage() : RenderListPage(catalog, matches, query);
        ASSERT_NE(page.find("</html>"), std::string::npos);
    }
}

} // namespace
