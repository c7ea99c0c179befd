// The registry's word on a watched name: it makes a name free at once, holds back the service's
// free answers while it holds the name, catches a free name it holds again, and where it cannot
// tell, the service's two free answers count as before, said to be unconfirmed.
#include "FakeRegistry.h"
#include "WatchedList.h"
#include "support/QStringPrinter.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString kName = u"drop.example"_s;
constexpr CheckVerdict F = CheckVerdict::Free, R = CheckVerdict::Registered;
constexpr RegistryVerdict kHeld = RegistryVerdict::Held,
                          kRedemption = RegistryVerdict::HeldInRedemption,
                          kPendingDelete = RegistryVerdict::HeldPendingDelete,
                          kNotHeld = RegistryVerdict::NotHeld, kNone = RegistryVerdict::NoVerdict;

// At its second: a check now answered by the service, or the registry's answer to the question
// waiting.
struct Step {
    int second;
    std::optional<CheckVerdict> service;
    RegistryVerdict registry = kNone;
    NoVerdictReason reason = NoVerdictReason::None;
};
Step service(int second, CheckVerdict verdict) {
    return {second, verdict};
}
Step registry(int second, RegistryVerdict verdict, NoVerdictReason reason = NoVerdictReason::None) {
    return {second, std::nullopt, verdict, reason};
}

struct RuleCase {
    const char* what;
    QList<Step> steps;
    WatchState state;
    QList<bool> announced; // confirmedByRegistry of each announcement
};

void PrintTo(const RuleCase& c, std::ostream* out) {
    *out << c.what;
}

class WatchRegistryRule : public WatchedList, public ::testing::WithParamInterface<RuleCase> {
protected:
    void SetUp() override {
        WatchedList::SetUp();
        registries.attach(*monitor);
    }
    FakeRegistry registries;
};

QList<bool> confirmations(const QSignalSpy& spy) {
    QList<bool> flags;
    for (const QList<QVariant>& signal : spy) {
        EXPECT_EQ(signal.at(0).toString(), kName);
        flags.append(signal.at(1).toBool());
    }
    return flags;
}

} // namespace

TEST_P(WatchRegistryRule, announcesWhatTheRegistryAndTheServiceTogetherProve) {
    const RuleCase& c = GetParam();
    QSignalSpy announced(monitor.get(), &WatchMonitor::becameFree);
    monitor->setHeld(true);
    ASSERT_TRUE(monitor->add(kName));
    monitor->setHeld(false);
    const QDateTime first = now;
    bool firstCheck = true;
    for (const Step& step : c.steps) {
        now = first.addSecs(step.second);
        if (step.service) {
            if (!firstCheck)
                monitor->checkNow({kName});
            firstCheck = false;
            answer(*step.service);
        } else {
            registries.answer(step.registry, step.reason);
        }
    }
    const WatchEntry entry = *monitor->entry(kName);
    EXPECT_EQ(entry.state, c.state);
    EXPECT_EQ(confirmations(announced), c.announced);
    WatchStore reread;
    ASSERT_TRUE(reread.open(dir.filePath(u"watchlist.sqlite"_s)).usable());
    const WatchEntry stored = reread.loadAll().value(0);
    EXPECT_EQ(stored.state, c.state) << "as stored";
    EXPECT_EQ(stored.registry, entry.registry) << "the registry's word is stored with the name";
}

INSTANTIATE_TEST_SUITE_P(
    Answers, WatchRegistryRule,
    ::testing::Values(
        RuleCase{"not held: free at once",
                 {service(0, F), registry(0, kNotHeld)},
                 WatchState::Free,
                 {true}},
        RuleCase{"not held outweighs a registered answer",
                 {service(0, R), registry(1, kNotHeld)},
                 WatchState::Free,
                 {true}},
        RuleCase{"held: two free answers announce nothing",
                 {service(0, F), registry(0, kHeld), service(30, F), registry(30, kHeld)},
                 WatchState::Watching,
                 {}},
        RuleCase{"in redemption: nothing",
                 {service(0, F), registry(0, kRedemption), service(30, F)},
                 WatchState::Watching,
                 {}},
        RuleCase{"pending delete: nothing",
                 {service(0, F), registry(0, kPendingDelete), service(30, F)},
                 WatchState::Watching,
                 {}},
        RuleCase{"held, then not held",
                 {service(0, F), registry(0, kHeld), service(30, F), registry(30, kNotHeld)},
                 WatchState::Free,
                 {true}},
        RuleCase{"unreachable: two free answers, unconfirmed",
                 {service(0, F), registry(0, kNone, NoVerdictReason::Unreachable), service(30, F)},
                 WatchState::Free,
                 {false}},
        RuleCase{"refused: two free answers, unconfirmed",
                 {service(0, F), registry(0, kNone, NoVerdictReason::Refused), service(30, F)},
                 WatchState::Free,
                 {false}},
        RuleCase{"unknown registry: one free answer is no evidence",
                 {service(0, F), registry(0, kNone, NoVerdictReason::UnknownRegistry)},
                 WatchState::Watching,
                 {}},
        RuleCase{"a hold, then an unreachable registry: the two answers count again",
                 {service(0, F), registry(0, kHeld), service(30, F),
                  registry(30, kNone, NoVerdictReason::Unreachable), service(60, F),
                  registry(60, kNone, NoVerdictReason::Unreachable), service(90, F)},
                 WatchState::Free,
                 {false}},
        RuleCase{"free unconfirmed, then held: caught",
                 {service(0, F), registry(0, kNone, NoVerdictReason::Unreadable), service(30, F),
                  registry(30, kHeld)},
                 WatchState::Caught,
                 {false}},
        RuleCase{"free by the registry, registered answer: still free",
                 {service(0, R), registry(0, kNotHeld), service(60, R)},
                 WatchState::Free,
                 {true}},
        RuleCase{"free by the registry, then held: caught",
                 {service(0, R), registry(0, kNotHeld), service(60, R), registry(60, kHeld)},
                 WatchState::Caught,
                 {true}},
        RuleCase{"caught, then not held: announced again",
                 {service(0, R), registry(0, kNotHeld), service(60, R), registry(60, kHeld),
                  service(120, R), registry(120, kNotHeld)},
                 WatchState::Free,
                 {true, true}},
        RuleCase{"announced once",
                 {service(0, F), registry(0, kNotHeld), service(30, F)},
                 WatchState::Free,
                 {true}}),
    [](const auto& info) {
        std::string name;
        for (const char* c = info.param.what; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

TEST_F(WatchedList, theRegistryIsAskedAtEveryCheckAndAgainAtOnceOnTheFirstFreeAnswer) {
    FakeRegistry registries;
    registries.attach(*monitor);
    ASSERT_TRUE(monitor->add(kName));
    EXPECT_EQ(registries.asked, QStringList{kName}) << "the check asks both";
    answer(CheckVerdict::Registered);
    EXPECT_EQ(registries.asked.size(), 1) << "one question in flight per name";
    registries.answer(RegistryVerdict::Held);

    advanceSeconds(1);
    monitor->checkNow({kName});
    EXPECT_EQ(registries.asked.size(), 2);
    registries.answer(RegistryVerdict::Held);
    answer(CheckVerdict::Free);
    EXPECT_EQ(registries.asked.size(), 3) << "the first free answer asks the registry at once";
    EXPECT_EQ(monitor->entry(kName)->state, WatchState::Watching);

    advanceSeconds(30);
    ASSERT_EQ(asked.size(), 3);
    EXPECT_EQ(registries.asked.size(), 3) << "the question of the free answer is still waiting";
    registries.answer(RegistryVerdict::NotHeld);
    EXPECT_EQ(monitor->entry(kName)->state, WatchState::Free);
}

TEST_F(WatchedList, registryQuestionsGoOnWhileHeldAndAreCalledOffOnStopOrRemoval) {
    FakeRegistry registries;
    registries.attach(*monitor);
    QSignalSpy announced(monitor.get(), &WatchMonitor::becameFree);
    monitor->addMany({{kName, {}}, {u"gone.example"_s, {}}});
    answer(CheckVerdict::Registered);
    advanceSeconds(1);
    ASSERT_EQ(registries.asked, (QStringList{kName, u"gone.example"_s}));

    monitor->setHeld(true);
    EXPECT_EQ(registries.waiting(), 2) << "a hold is for the service, not the registries";
    monitor->remove({u"gone.example"_s});
    EXPECT_EQ(registries.waiting(), 1);
    monitor->stop();
    EXPECT_EQ(registries.waiting(), 0);
    EXPECT_EQ(registries.cancelledCount(), 2);

    registries.answerLastCancelled(RegistryVerdict::NotHeld);
    EXPECT_EQ(monitor->entry(kName)->state, WatchState::Watching)
        << "an answer after the call-off counts for nothing";
    EXPECT_TRUE(announced.isEmpty());
    monitor->setHeld(false);
    monitor->checkNow({kName});
    EXPECT_EQ(registries.asked.size(), 2) << "nothing more is asked once stopped";
}

TEST_F(WatchedList, withoutARegistryTheServiceAloneDecidesUnconfirmed) {
    QSignalSpy announced(monitor.get(), &WatchMonitor::becameFree);
    ASSERT_TRUE(monitor->add(kName));
    answer(CheckVerdict::Free);
    advanceSeconds(30);
    answer(CheckVerdict::Free);
    ASSERT_EQ(announced.size(), 1);
    EXPECT_FALSE(announced.front().at(1).toBool());
}
