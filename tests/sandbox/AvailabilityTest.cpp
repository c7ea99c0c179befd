#include "sandbox/Availability.h"
#include "HandMadeDomains.h"
#include "sandbox/DomainNames.h"
#include "sandbox/GenerateDomains.h"
#include "sandbox/ServiceMarkers.h"

#include <gtest/gtest.h>

namespace {

bool Contains(const std::string& text, std::string_view marker) {
    return text.find(marker) != std::string::npos;
}

TEST(DomainNames, normalisedAsTheServicesAcceptThem) {
    EXPECT_EQ(NormaliseDomainName(" AbC.Com. "), "abc.com");
    EXPECT_EQ(NormaliseDomainName("my-shop.com.cn"), "my-shop.com.cn");
    EXPECT_EQ(NormaliseDomainName("中文.cn"), "中文.cn");
    for (const char* bad : {"", " ", "abc", ".com", "a..com", "-ab.com", "ab-.com", "a b.com",
                            "a|211|.com", "a<b>.com", "a_b.com", "abc.com.."})
        EXPECT_EQ(NormaliseDomainName(bad), std::nullopt) << bad;
    EXPECT_TRUE(NormaliseDomainName(std::string(63, 'a') + ".com"));
    EXPECT_FALSE(NormaliseDomainName(std::string(64, 'a') + ".com"));
    EXPECT_FALSE(NormaliseDomainName(std::string(250, 'a') + ".com"));
}

QDateTime At(const QDate& day, int hour, int minute = 0, int second = 0) {
    return QDateTime(day, QTime(hour, minute, second));
}

// kato.com is deleted on kToday.
TEST(Availability, aListedNameDropsAtTheHourOfItsDeletionDay) {
    const DomainCatalog catalog(HandMadeDomains());
    const struct {
        int dropHour;
        QDateTime now;
        Availability expected;
    } cases[] = {
        {9, At(kToday.addDays(-1), 23, 59, 59), Availability::Registered},
        {9, At(kToday, 0), Availability::Registered},
        {9, At(kToday, 8, 59, 59), Availability::Registered},
        {9, At(kToday, 9), Availability::Free},
        {9, At(kToday, 23, 59, 59), Availability::Free},
        {9, At(kToday.addDays(1), 0), Availability::Free},
        {9, At(kToday.addDays(30), 5), Availability::Free},
        {0, At(kToday.addDays(-1), 23, 59, 59), Availability::Registered},
        {0, At(kToday, 0), Availability::Free},
        {23, At(kToday, 22, 59, 59), Availability::Registered},
        {23, At(kToday, 23), Availability::Free},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecideAvailability(catalog, "kato.com", c.now, DropRules{c.dropHour, 0}),
                  c.expected)
            << "drop hour " << c.dropHour << ", " << c.now.toString().toStdString();
    }
    // Names deleted later are registered whatever the hour.
    for (const char* name : {"taobao.net", "1221.com", "yaya.org"})
        EXPECT_EQ(DecideAvailability(catalog, name, At(kToday, 23), DropRules{0, 0}),
                  Availability::Registered)
            << name;
}

TEST(Availability, aStableShareIsCaughtAtTheDrop) {
    const QDate today(2026, 12, 8);
    const DomainCatalog catalog(GenerateDomains(5000, 11, today));
    const DropRules rules{9, 30};
    int caught = 0;
    for (DomainCatalog::Index i = 0; i < catalog.size(); ++i) {
        const DeletedDomain& domain = catalog.domain(i);
        const std::string name = domain.fullName();
        const Availability atDrop =
            DecideAvailability(catalog, name, At(domain.deletionDate, 9), rules);
        ASSERT_EQ(DecideAvailability(catalog, name, At(domain.deletionDate.addDays(6), 20), rules),
                  atDrop)
            << name << " changed its fate after the drop";
        ASSERT_EQ(atDrop == Availability::Registered, CaughtAtDrop(name, 30)) << name;
        caught += atDrop == Availability::Registered;
        // A larger share keeps every name a smaller one caught.
        if (CaughtAtDrop(name, 10)) {
            EXPECT_TRUE(CaughtAtDrop(name, 30)) << name;
        }
        EXPECT_FALSE(CaughtAtDrop(name, 0)) << name;
        EXPECT_TRUE(CaughtAtDrop(name, 100)) << name;
    }
    EXPECT_GT(caught, 1350);
    EXPECT_LT(caught, 1650);
}

// At the start of a day with the default rules: the deletion day still registered, a default
// share of the names past their day caught.
TEST(Availability, atTheStartOfADayWithTheDefaultRules) {
    const DomainCatalog handMade(HandMadeDomains());
    for (const char* name : {"baidu.com", "taobao.net", "kato.com", "1221.com"})
        EXPECT_EQ(DecideAvailability(handMade, name, QDateTime(kToday, QTime(0, 0)), DropRules{}),
                  Availability::Registered)
            << name;

    const QDate today(2026, 12, 8);
    const DomainCatalog catalog(GenerateDomains(5000, 11, today));
    int past = 0;
    int caught = 0;
    for (DomainCatalog::Index i = 0; i < catalog.size(); ++i) {
        const DeletedDomain& domain = catalog.domain(i);
        if (domain.deletionDate >= today)
            continue;
        ++past;
        caught += DecideAvailability(catalog, domain.fullName(), QDateTime(today, QTime(0, 0)),
                                     DropRules{}) == Availability::Registered;
    }
    ASSERT_GT(past, 1000);
    EXPECT_GT(caught, past * (kDefaultCaughtPercent - 5) / 100);
    EXPECT_LT(caught, past * (kDefaultCaughtPercent + 5) / 100);
}

TEST(Availability, unknownNamesGetAStableVerdictFromTheirHash) {
    const DomainCatalog catalog(HandMadeDomains());
    int registered = 0;
    for (int i = 0; i < 1000; ++i) {
        const std::string name = "unknown" + std::to_string(i) + ".com";
        const Availability verdict =
            DecideAvailability(catalog, name, At(kToday, 0), DropRules{0, 0});
        EXPECT_EQ(DecideAvailability(catalog, name, At(kToday.addDays(3), 23), DropRules{23, 100}),
                  verdict);
        registered += verdict == Availability::Registered;
    }
    EXPECT_GT(registered, 400);
    EXPECT_LT(registered, 800);
    // Pinned values: a changed hash would quietly change which names are caught or free.
    EXPECT_EQ(StableHash("abc.com", 1), 0xa87c5b73cef840aeULL);
    EXPECT_EQ(StableHash("abc.com", 2), 0xbd3c56d6de45a010ULL);
    EXPECT_EQ(StableHash("", 0), 0xecba3df2c3383c52ULL);
}

TEST(Availability, answersNameTheNameAndCarryExactlyOneMarker) {
    const std::string registered = AvailabilityAnswer(Availability::Registered, "ab.com");
    const std::string free = AvailabilityAnswer(Availability::Free, "ab.com");
    const std::string refused = TooFrequentAnswer();
    EXPECT_EQ(registered, "ab.com|211|registered\n");
    EXPECT_EQ(free, "ab.com|210|available\n");
    EXPECT_TRUE(Contains(registered, ServiceMarkers::kRegistered));
    EXPECT_FALSE(Contains(registered, ServiceMarkers::kFree));
    EXPECT_TRUE(Contains(free, ServiceMarkers::kFree));
    EXPECT_FALSE(Contains(free, ServiceMarkers::kRegistered));
    EXPECT_TRUE(Contains(refused, ServiceMarkers::kTooFrequent));
    EXPECT_FALSE(Contains(refused, ServiceMarkers::kRegistered));
    EXPECT_FALSE(Contains(refused, ServiceMarkers::kFree));
}

} // namespace
