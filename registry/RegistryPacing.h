#pragma once

#include <QHash>
#include <QString>

#include <chrono>
#include <optional>

// How often each registry (an RDAP host, a WHOIS host) may be asked, on a monotonic clock the
// caller passes in: questions at least `spacing` apart; after a refusal nothing until the wait
// is over, and a refusal that follows a refusal without an answer in between doubles the wait.
class RegistryPacing {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using Duration = std::chrono::milliseconds;

    static constexpr Duration kDefaultSpacing{1000};
    // However often a registry refuses, it is asked again within this.
    static constexpr Duration kMaxHold{std::chrono::hours(1)};

    explicit RegistryPacing(Duration spacing = kDefaultSpacing);

    Duration spacing() const { return m_spacing; }

    // The earliest time a question to the registry may start; far in the past if never asked.
    TimePoint earliestStart(const QString& registry) const;
    // A question to the registry starts now.
    void started(const QString& registry, TimePoint now);
    // The registry refused, asking to wait `asked`. Returns the end of the hold.
    TimePoint refused(const QString& registry, TimePoint now, Duration asked);
    // The registry answered: the next refusal starts from its own wait again.
    void answered(const QString& registry);
    // When the registry is held at `now`, the hold's end.
    std::optional<TimePoint> heldUntil(const QString& registry, TimePoint now) const;

private:
    struct State {
        std::optional<TimePoint> lastStart;
        TimePoint holdEnd{};
        Duration lastHold{0};
        bool refusedSinceAnswer = false;
    };

    Duration m_spacing;
    QHash<QString, State> m_states;
};
