#include "sandbox/RegistryLife.h"
#include "HandMadeDomains.h"

#include <gtest/gtest.h>

namespace {

QDateTime At(const QDate& day, int hour, int minute = 0, int second = 0) {
    return QDateTime(day, QTime(hour, minute, second));
}

// The first of the candidates that is (or is not) in the unknown registered share.
std::string Unlisted(bool registered) {
    for (int i = 0;; ++i) {
        std::string name = "unlisted" + std::to_string(i) + ".com";
        if (UnknownNameRegistered(name) == registered)
            return name;
    }
}

// kato.com is deleted on kToday; the drop is at 09:00.
TEST(RegistryLife, aListedNameGoesThroughRedemptionAndPendingDeleteToItsDrop) {
    const DomainCatalog catalog(HandMadeDomains());
    const QDateTime drop = At(kToday, 9);
    const QDateTime expiry = At(kToday.addDays(-75), 9);
    const QDateTime intoRedemption = At(kToday.addDays(-35), 9);
    const QDateTime intoPendingDelete = At(kToday.addDays(-5), 9);
    const struct {
        QDateTime now;
        int caughtPercent;
        RegistryPhase phase;
        QDateTime lastChanged;
        QDateTime deletion;
    } cases[] = {
        {At(kToday.addDays(-200), 12), 0, RegistryPhase::Held, expiry.addYears(-1), {}},
        {At(kToday.addDays(-35), 8, 59, 59), 0, RegistryPhase::Held, expiry.addYears(-1), {}},
        {intoRedemption, 0, RegistryPhase::RedemptionPeriod, intoRedemption, drop},
        {At(kToday.addDays(-5), 8, 59, 59), 0, RegistryPhase::RedemptionPeriod, intoRedemption,
         drop},
        {intoPendingDelete, 0, RegistryPhase::PendingDelete, intoPendingDelete, drop},
        {At(kToday, 8, 59, 59), 100, RegistryPhase::PendingDelete, intoPendingDelete, drop},
        {drop, 0, RegistryPhase::Dropped, {}, {}},
        {At(kToday.addDays(400), 0), 0, RegistryPhase::Dropped, {}, {}},
        {drop, 100, RegistryPhase::HeldAgain, drop, {}},
        {At(kToday.addDays(3), 17), 100, RegistryPhase::HeldAgain, drop, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.now.toString(Qt::ISODate).toStdString() + " caught " +
                     std::to_string(c.caughtPercent));
        const RegistryLife life = LifeIn(catalog, "kato.com", c.now, DropRules{9, c.caughtPercent});
        EXPECT_EQ(life.phase, c.phase);
        EXPECT_EQ(life.lastChanged, c.lastChanged);
        EXPECT_EQ(life.deletion, c.deletion);
        switch (c.phase) {
        case RegistryPhase::Dropped:
            EXPECT_FALSE(life.registration.isValid());
            EXPECT_FALSE(life.expiration.isValid());
            break;
        case RegistryPhase::HeldAgain:
            EXPECT_EQ(life.registration, drop);
            EXPECT_EQ(life.expiration, drop.addYears(1));
            break;
        default:
            EXPECT_EQ(life.expiration, expiry);
            EXPECT_LT(life.registration, life.expiration.addYears(-1).addSecs(1));
            EXPECT_GE(life.registration, life.expiration.addYears(-10));
            break;
        }
    }
}

TEST(RegistryLife, unlistedNamesAreHeldOrNeverHeldForGood) {
    const DomainCatalog catalog(HandMadeDomains());
    const std::string held = Unlisted(true);
    const std::string free = Unlisted(false);
    for (const QDateTime& now : {At(kToday, 8), At(kToday.addDays(500), 23, 59, 59)}) {
        SCOPED_TRACE(now.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(LifeIn(catalog, free, now, DropRules{}).phase, RegistryPhase::NeverHeld);
        const RegistryLife life = LifeIn(catalog, held, now, DropRules{});
        EXPECT_EQ(life.phase, RegistryPhase::Held);
        // Registered long ago, expiring within the coming year, the same at every look.
        EXPECT_LT(life.registration, now);
        EXPECT_GT(life.expiration, now);
        EXPECT_LE(life.expiration, now.addYears(1));
        EXPECT_EQ(life.lastChanged, std::max(life.registration, life.expiration.addYears(-1)));
        EXPECT_EQ(LifeIn(catalog, held, now, DropRules{}).registration, life.registration);
        EXPECT_EQ(LifeIn(catalog, held, now.addDays(40), DropRules{}).registration,
                  life.registration);
    }
}

// The registries and the availability answers must never disagree about a name.
TEST(RegistryLife, heldExactlyWhenTheAvailabilityAnswerSaysRegistered) {
    const DomainCatalog catalog(HandMadeDomains());
    std::vector<std::string> names = {Unlisted(true), Unlisted(false), "unlisted.cn"};
    for (DomainCatalog::Index i = 0; i < catalog.size(); ++i)
        names.push_back(catalog.domain(i).fullName());
    for (const int caughtPercent : {0, 15, 50, 100}) {
        for (int hour = -7 * 24; hour <= 7 * 24; hour += 5) {
            const QDateTime now = At(kToday, 0).addSecs(hour * 3600LL);
            const DropRules rules{9, caughtPercent};
            for (const std::string& name : names) {
                EXPECT_EQ(LifeIn(catalog, name, now, rules).isHeld(),
                          DecideAvailability(catalog, name, now, rules) == Availability::Registered)
                    << name << " at " << now.toString(Qt::ISODate).toStdString() << " caught "
                    << caughtPercent;
            }
        }
    }
}

} // namespace
