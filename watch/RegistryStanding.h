#pragma once

#include "registry/RegistryResult.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// The registry's last word on a watched name, as the list shows it and the store keeps it. An
// invalid answeredAt means the registry was never asked.
struct RegistryStanding {
    RegistryVerdict verdict = RegistryVerdict::NoVerdict;
    NoVerdictReason reason = NoVerdictReason::None;
    QStringList statuses;
    QDateTime expiration;
    QDateTime answeredAt;
    // The events that tell when the name drops.
    QDateTime deletion = {};
    QDateTime lastChanged = {};

    bool isHeld() const {
        return verdict == RegistryVerdict::Held || verdict == RegistryVerdict::HeldInRedemption ||
               verdict == RegistryVerdict::HeldPendingDelete;
    }
    bool isNotHeld() const { return verdict == RegistryVerdict::NotHeld; }

    friend bool operator==(const RegistryStanding&, const RegistryStanding&) = default;
};

// What a result leaves for the list: statuses came from the network, so only a bounded number
// of them, each cut short and on one line.
inline constexpr qsizetype kStatusesKept = 16;
inline constexpr qsizetype kStatusLength = 64;
RegistryStanding StandingOf(const RegistryResult& result, const QDateTime& fallbackTime);

// "已注册", "赎回期", "待删除", "未注册" or "无法查询".
QString RegistryColumnText(const RegistryStanding& standing);
// Where the column sorts: not held first, then by how near the name is to its drop.
int RegistrySortRank(const RegistryStanding& standing);
// Plain text, one fact a line: statuses, expiration date, when the registry answered.
QString RegistryTipText(const RegistryStanding& standing);

// The numbers the watch list file keeps; never renumber.
int StoredRegistryVerdict(RegistryVerdict verdict);
RegistryVerdict RegistryVerdictFromStored(int stored);
int StoredNoVerdictReason(NoVerdictReason reason);
NoVerdictReason NoVerdictReasonFromStored(int stored);
