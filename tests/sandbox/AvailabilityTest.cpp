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

TEST(Availability, comingDeletionsAreStillRegistered) {
    const DomainCatalog catalog(HandMadeDomains());
    for (const char* name : {"baidu.com", "taobao.net", "kato.com", "1221.com"})
        EXPECT_EQ(DecideAvailability(catalog, name, kToday), Availability::Registered) << name;
}

TEST(Availability, pastDeletionsAreMostlyFreeAndStable) {
    const QDate today(2026, 12, 8);
    const DomainCatalog catalog(GenerateDomains(5000, 11, today));
    int past = 0;
    int registeredAgain = 0;
    for (DomainCatalog::Index i = 0; i < catalog.size(); ++i) {
        const DeletedDomain& domain = catalog.domain(i);
        if (domain.deletionDate >= today)
            continue;
        const Availability verdict = DecideAvailability(catalog, domain.fullName(), today);
        EXPECT_EQ(DecideAvailability(catalog, domain.fullName(), today), verdict);
        ++past;
        registeredAgain += verdict == Availability::Registered;
    }
    ASSERT_GT(past, 1000);
    EXPECT_GT(registeredAgain, past * 5 / 100);
    EXPECT_LT(registeredAgain, past * 30 / 100);
}

TEST(Availability, unknownNamesGetAStableVerdictFromTheirHash) {
    const DomainCatalog catalog(HandMadeDomains());
    int registered = 0;
    for (int i = 0; i < 1000; ++i) {
        const std::string name = "unknown" + std::to_string(i) + ".com";
        const Availability verdict = DecideAvailability(catalog, name, kToday);
        EXPECT_EQ(DecideAvailability(catalog, name, kToday.addDays(3)), verdict);
        registered += verdict == Availability::Registered;
    }
    EXPECT_GT(registered, 400);
    EXPECT_LT(registered, 800);
    EXPECT_EQ(StableHash("abc.com", 1), StableHash("abc.com", 1));
    EXPECT_NE(StableHash("abc.com", 1), StableHash("abc.com", 2));
}

TEST(Availability, answersCarryExactlyOneMarker) {
    const std::string registered = AvailabilityAnswer(Availability::Registered);
    const std::string free = AvailabilityAnswer(Availability::Free);
    const std::string refused = TooFrequentAnswer();
    EXPECT_TRUE(Contains(registered, ServiceMarkers::kRegistered));
    EXPECT_FALSE(Contains(registered, ServiceMarkers::kFree));
    EXPECT_TRUE(Contains(free, ServiceMarkers::kFree));
    EXPECT_FALSE(Contains(free, ServiceMarkers::kRegistered));
    EXPECT_TRUE(Contains(refused, ServiceMarkers::kTooFrequent));
    EXPECT_FALSE(Contains(refused, ServiceMarkers::kRegistered));
    EXPECT_FALSE(Contains(refused, ServiceMarkers::kFree));
}

} // namespace
