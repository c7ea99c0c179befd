#include "registry/RegistryPacing.h"

#include <algorithm>

RegistryPacing::RegistryPacing(Duration spacing) : m_spacing(std::max(spacing, Duration(0))) {}

RegistryPacing::TimePoint RegistryPacing::earliestStart(const QString& registry) const {
    const auto state = m_states.constFind(registry);
    if (state == m_states.constEnd())
        return TimePoint::min();
    TimePoint earliest = state->holdEnd;
    if (state->lastStart)
        earliest = std::max(earliest, *state->lastStart + m_spacing);
    return earliest;
}

void RegistryPacing::started(const QString& registry, TimePoint now) {
    m_states[registry].lastStart = now;
}

RegistryPacing::TimePoint RegistryPacing::refused(const QString& registry, TimePoint now,
                                                  Duration asked) {
    State& state = m_states[registry];
    Duration hold = std::max(asked, m_spacing);
    if (state.refusedSinceAnswer)
        hold = std::max(hold, state.lastHold * 2);
    hold = std::min(hold, kMaxHold);
    state.lastHold = hold;
    state.refusedSinceAnswer = true;
    // A late refusal never shortens a hold already running.
    state.holdEnd = std::max(state.holdEnd, now + hold);
    return state.holdEnd;
}

void RegistryPacing::answered(const QString& registry) {
    const auto state = m_states.find(registry);
    if (state != m_states.end())
        state->refusedSinceAnswer = false;
}

std::optional<RegistryPacing::TimePoint> RegistryPacing::heldUntil(const QString& registry,
                                                                   TimePoint now) const {
    const auto state = m_states.constFind(registry);
    if (state == m_states.constEnd() || state->holdEnd <= now)
        return std::nullopt;
    return state->holdEnd;
}
