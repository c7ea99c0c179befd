// Pacing per registry: the rules on an injected clock, and the queue that keeps them.
#include "registry/RegistryPacing.h"
#include "registry/RegistryQueue.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

using namespace std::chrono_literals;

namespace {

using TimePoint = RegistryPacing::TimePoint;
const TimePoint kStart = TimePoint{} + 1000h;
const QString kA = QStringLiteral("rdap.a.example");
const QString kB = QStringLiteral("whois.b.example:43");

TEST(RegistryPacing, questionsToOneRegistryKeepTheirSpacing) {
    RegistryPacing pacing(1000ms);
    EXPECT_LE(pacing.earliestStart(kA), kStart) << "never asked: at once";
    pacing.started(kA, kStart);
    EXPECT_EQ(pacing.earliestStart(kA), kStart + 1000ms);
    EXPECT_LE(pacing.earliestStart(kB), kStart) << "another registry is not held back";
    pacing.started(kA, kStart + 1500ms);
    EXPECT_EQ(pacing.earliestStart(kA), kStart + 2500ms);
    EXPECT_FALSE(pacing.heldUntil(kA, kStart + 1500ms)) << "spacing is not a hold";
}

TEST(RegistryPacing, refusalsHoldTheRegistryAndDoubleUntilAnAnswer) {
    struct Step {
        const char* what;
        std::chrono::milliseconds at;      // since kStart
        std::chrono::milliseconds asked;   // negative: an answer instead of a refusal
        std::chrono::milliseconds holdEnd; // since kStart
    };
    const Step steps[] = {
        {"first refusal: its own wait", 0ms, 30s, 30s},
        {"second: doubled", 31s, 30s, 31s + 60s},
        {"third: doubled again", 92s, 30s, 92s + 120s},
        {"a longer wait asked wins", 213s, 600s, 213s + 600s},
        {"an answer", 900s, -1ms, 213s + 600s},
        {"after an answer: its own wait", 901s, 30s, 931s},
        {"another answer", 999s, -1ms, 0s},
        {"shorter than the spacing: the spacing", 1000s, 0ms, 1000s + 2s},
    };
    RegistryPacing pacing(2000ms);
    for (const Step& step : steps) {
        const TimePoint now = kStart + step.at;
        if (step.asked < 0ms) {
            pacing.answered(kA);
            continue;
        }
        EXPECT_EQ(pacing.refused(kA, now, step.asked), kStart + step.holdEnd) << step.what;
        EXPECT_EQ(pacing.heldUntil(kA, now), kStart + step.holdEnd) << step.what;
        EXPECT_GE(pacing.earliestStart(kA), kStart + step.holdEnd) << step.what;
        EXPECT_FALSE(pacing.heldUntil(kB, now)) << step.what;
    }
    EXPECT_FALSE(pacing.heldUntil(kA, kStart + 1002s));
}

TEST(RegistryPacing, doublingStopsAtTheLongestHoldAndALateRefusalNeverShortensOne) {
    RegistryPacing pacing(1000ms);
    TimePoint now = kStart;
    for (int i = 0; i < 40; ++i) {
        const TimePoint end = pacing.refused(kA, now, 600s);
        EXPECT_LE(end - now, RegistryPacing::kMaxHold);
        now = end;
    }
    EXPECT_EQ(pacing.refused(kA, now, 600s) - now, RegistryPacing::kMaxHold);

    RegistryPacing fresh(1000ms);
    fresh.refused(kB, kStart, 600s);
    fresh.answered(kB);
    EXPECT_EQ(fresh.refused(kB, kStart + 1s, 10s), kStart + 600s);
}

// The queue on the steady clock: every start is checked against the time the queue saw.
class RegistryQueueTest : public ::testing::Test {
protected:
    struct Started {
        QString name;
        TimePoint at;
        quint64 id;
    };

    // Queues a question that records its start, and answers at once when `answer` is set.
    void ask(const QString& registry, const QString& name, bool answer = true) {
        const quint64 id = queue.enqueue(registry, [this, name, answer] {
            started.push_back({name, queue.now(), ids.value(name)});
            if (answer)
                queue.answered(ids.value(name));
        });
        ids.insert(name, id);
    }
    bool waitForStarts(size_t count) {
        return QTest::qWaitFor([&] { return started.size() >= count; }, 20000);
    }
    const Started& startOf(const QString& name) const {
        for (const Started& s : started) {
            if (s.name == name)
                return s;
        }
        static const Started none{};
        ADD_FAILURE() << "not started: " << name.toStdString();
        return none;
    }

    RegistryQueue queue{100ms};
    QHash<QString, quint64> ids;
    std::vector<Started> started;
};

TEST_F(RegistryQueueTest, startsInOrderSpacedPerRegistry) {
    ask(kA, QStringLiteral("a1"));
    ask(kA, QStringLiteral("a2"));
    ask(kA, QStringLiteral("a3"));
    ask(kB, QStringLiteral("b1"));
    EXPECT_TRUE(started.empty()) << "nothing starts inside enqueue";
    ASSERT_TRUE(waitForStarts(4));
    EXPECT_EQ(started[0].name, QStringLiteral("a1"));
    EXPECT_EQ(started[1].name, QStringLiteral("b1")) << "b does not wait for a's spacing";
    EXPECT_EQ(started[2].name, QStringLiteral("a2"));
    EXPECT_EQ(started[3].name, QStringLiteral("a3"));
    EXPECT_GE(startOf(QStringLiteral("a2")).at - startOf(QStringLiteral("a1")).at, 100ms);
    EXPECT_GE(startOf(QStringLiteral("a3")).at - startOf(QStringLiteral("a2")).at, 100ms);
    EXPECT_EQ(queue.waitingCount(), 0);
}

TEST_F(RegistryQueueTest, oneQuestionInFlightPerRegistryAndAbandonedOnesNeverStart) {
    RegistryQueue unspaced{0ms};
    std::vector<QString> order;
    QHash<QString, quint64> unspacedIds;
    auto enqueue = [&](const QString& registry, const QString& name) {
        unspacedIds.insert(name,
                           unspaced.enqueue(registry, [&order, name] { order.push_back(name); }));
    };
    enqueue(kA, QStringLiteral("a1"));
    enqueue(kA, QStringLiteral("a2"));
    enqueue(kA, QStringLiteral("a3"));
    enqueue(kB, QStringLiteral("b1"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 2; }, 20000));
    EXPECT_EQ(order, (std::vector<QString>{QStringLiteral("a1"), QStringLiteral("b1")}))
        << "a2 waits while a1 is in flight";

    unspaced.abandoned(unspacedIds.value(QStringLiteral("a2")));
    unspaced.answered(unspacedIds.value(QStringLiteral("a1")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 3; }, 20000));
    EXPECT_EQ(order.back(), QStringLiteral("a3"));
    EXPECT_EQ(unspaced.waitingCount(), 0);
}

TEST_F(RegistryQueueTest, aRefusalHoldsEveryQuestionToThatRegistry) {
    QSignalSpy held(&queue, &RegistryQueue::held);
    ask(kA, QStringLiteral("a1"), false);
    ASSERT_TRUE(waitForStarts(1));
    ask(kA, QStringLiteral("a2"));
    ask(kB, QStringLiteral("b1"));
    const TimePoint end = queue.refused(ids.value(QStringLiteral("a1")), 300ms);
    ASSERT_EQ(held.size(), 1);
    EXPECT_EQ(held.first().first().toString(), kA);
    EXPECT_GE(held.first().at(1).value<std::chrono::milliseconds>(), 300ms - 1ms);
    ASSERT_TRUE(waitForStarts(3));
    EXPECT_EQ(started[1].name, QStringLiteral("b1"));
    EXPECT_GE(startOf(QStringLiteral("a2")).at, end);
}

} // namespace
