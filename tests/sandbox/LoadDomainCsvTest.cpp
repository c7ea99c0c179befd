#include "sandbox/LoadDomainCsv.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

DomainCsv Read(const std::string& text) {
    std::istringstream in(text);
    return ReadDomainCsv(in);
}

TEST(LoadDomainCsv, readsEntriesWithHeaderCommentsAndQuotes) {
    const DomainCsv csv = Read("\xEF\xBB\xBF"
                               "Domain,Deleted,Type,Suggestion\r\n"
                               "# my list\n"
                               "AB88.com, 2026-12-06 23:59:58 ,Pre-Release,3\r\n"
                               "\n"
                               "\"my-shop.com.cn\",\"2026-12-09\"\n"
                               "zz.org,2026-12-10 00:00:01,delete,\n");
    ASSERT_EQ(csv.error, "");
    ASSERT_EQ(csv.domains.size(), 3u);
    const DeletedDomain& first = csv.domains[0];
    EXPECT_EQ(first.name, "ab88");
    EXPECT_EQ(first.suffix, "com");
    EXPECT_EQ(first.deletionDate, QDate(2026, 12, 6));
    EXPECT_EQ(first.deletionSecond, 23 * 3600 + 59 * 60 + 58);
    EXPECT_EQ(first.type, DeletionType::PreRelease);
    EXPECT_EQ(first.suggestion, 3);
    EXPECT_EQ(csv.domains[1].name, "my-shop");
    EXPECT_EQ(csv.domains[1].suffix, "com.cn");
    EXPECT_EQ(csv.domains[1].deletionSecond, 0);
    EXPECT_EQ(csv.domains[1].type, DeletionType::Delete);
    EXPECT_EQ(csv.domains[2].suggestion, 0);
}

TEST(LoadDomainCsv, namesTheFirstBadLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"a.com,2026-12-06\nb.com\n", "line 2: "},
        {"a.com,2026-12-32\n", "line 1: "},
        {"a.com,2026-12-06,Gone\n", "line 1: "},
        {"a.com,2026-12-06,Delete,-3\n", "line 1: "},
        {"a.com,2026-12-06,Delete,3,x\n", "line 1: "},
        {"a<b>.com,2026-12-06\n", "line 1: "},
        {"\xe4\xb8\xad.cn,2026-12-06\n", "line 1: "},
        {"nodot,2026-12-06\n", "line 1: "},
        {"a.com,2026-12-06\n\nA.com,2026-12-07\n", "line 3: "},
    };
    for (const auto& [text, start] : cases) {
        const DomainCsv csv = Read(text);
        EXPECT_TRUE(csv.error.starts_with(start)) << text << " gave " << csv.error;
        EXPECT_TRUE(csv.domains.empty()) << text;
    }
    EXPECT_NE(Read(std::string(5000, 'a') + ".com,2026-12-06\n").error, "");
}

TEST(LoadDomainCsv, missingFile) {
    const DomainCsv csv = LoadDomainCsv("/nonexistent/morrowcatch.csv");
    EXPECT_NE(csv.error, "");
    EXPECT_TRUE(csv.domains.empty());
}

} // namespace
