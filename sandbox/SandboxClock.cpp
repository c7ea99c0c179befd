#include "SandboxClock.h"

#include <QRegularExpression>

QDateTime SystemNow() {
    return QDateTime::currentDateTime();
}

SandboxClock ShiftedClock(SandboxClock base, std::chrono::seconds offset) {
    if (offset == std::chrono::seconds::zero())
        return base;
    return [base = std::move(base), offset] { return base().addSecs(offset.count()); };
}

std::optional<std::chrono::seconds> ParseClockOffset(const QString& text) {
    // At most nine digits a part keeps the sum far from overflowing before the range check.
    static const QRegularExpression pattern(QStringLiteral(
        R"(^([+-]?)(?:(\d{1,9})|(?:(\d{1,9})d)?(?:(\d{1,9})h)?(?:(\d{1,9})m)?(?:(\d{1,9})s)?)$)"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    constexpr long long kUnitSeconds[] = {1, 24 * 3600, 3600, 60, 1};
    long long total = 0;
    bool anyPart = false;
    for (int part = 0; part < 5; ++part) {
        const QString digits = match.captured(part + 2);
        if (digits.isEmpty())
            continue;
        anyPart = true;
        total += digits.toLongLong() * kUnitSeconds[part];
    }
    if (!anyPart || total > kLargestClockOffset.count())
        return std::nullopt;
    return std::chrono::seconds(match.captured(1) == u"-" ? -total : total);
}
