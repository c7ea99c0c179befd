#pragma once

#include <QDateTime>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

// The stand-in's "now". Everything in it that depends on the time asks one such clock, so a
// shifted clock moves the list, the verdicts and the log together, and tests can fix it.
using SandboxClock = std::function<QDateTime()>;

// The machine's local time.
QDateTime SystemNow();

// A clock running the given offset ahead of base (behind it when negative).
SandboxClock ShiftedClock(SandboxClock base, std::chrono::seconds offset);

inline constexpr std::chrono::seconds kLargestClockOffset{3650LL * 24 * 3600};

// "90", "-90", "3d", "3d4h", "+2h30m", "-1d12h", "45m10s": whole seconds, or days, hours,
// minutes and seconds in that order, with an optional sign. Nothing beyond ten years either way.
std::optional<std::chrono::seconds> ParseClockOffset(const QString& text);
