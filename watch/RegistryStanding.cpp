#include "watch/RegistryStanding.h"

using namespace Qt::StringLiterals;

namespace {

QString oneLine(const QString& text) {
    QString line = text.left(kStatusLength);
    for (QChar& c : line) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return line.trimmed();
}

QString localTime(const QDateTime& time) {
    return time.toLocalTime().toString(u"yyyy-MM-dd hh:mm:ss"_s);
}

QString reasonText(NoVerdictReason reason) {
    switch (reason) {
    case NoVerdictReason::InvalidName:
        return u"不是可以向注册局查询的域名"_s;
    case NoVerdictReason::UnknownRegistry:
        return u"不知道该域名的注册局"_s;
    case NoVerdictReason::Unreachable:
        return u"注册局没有回答"_s;
    case NoVerdictReason::Unreadable:
        return u"注册局的回答无法读懂"_s;
    case NoVerdictReason::Refused:
        return u"注册局要求放慢查询"_s;
    case NoVerdictReason::None:
        break;
    }
    return u"没有结论"_s;
}

} // namespace

RegistryStanding StandingOf(const RegistryResult& result, const QDateTime& fallbackTime) {
    RegistryStanding standing;
    standing.verdict = result.verdict;
    standing.reason =
        result.verdict == RegistryVerdict::NoVerdict ? result.reason : NoVerdictReason::None;
    for (const QString& status : result.statuses) {
        if (standing.statuses.size() == kStatusesKept)
            break;
        const QString line = oneLine(status);
        if (!line.isEmpty())
            standing.statuses.append(line);
    }
    standing.expiration =
        result.events.expiration.isValid() ? result.events.expiration.toUTC() : QDateTime();
    standing.deletion =
        result.events.deletion.isValid() ? result.events.deletion.toUTC() : QDateTime();
    standing.lastChanged =
        result.events.lastChanged.isValid() ? result.events.lastChanged.toUTC() : QDateTime();
    const QDateTime at = result.answeredAt.isValid() ? result.answeredAt : fallbackTime;
    standing.answeredAt = at.toUTC();
    return standing;
}

QString RegistryColumnText(const RegistryStanding& standing) {
    switch (standing.verdict) {
    case RegistryVerdict::Held:
        return u"已注册"_s;
    case RegistryVerdict::HeldInRedemption:
        return u"赎回期"_s;
    case RegistryVerdict::HeldPendingDelete:
        return u"待删除"_s;
    case RegistryVerdict::NotHeld:
        return u"未注册"_s;
    case RegistryVerdict::NoVerdict:
        break;
    }
    return u"无法查询"_s;
}

int RegistrySortRank(const RegistryStanding& standing) {
    switch (standing.verdict) {
    case RegistryVerdict::NotHeld:
        return 0;
    case RegistryVerdict::HeldPendingDelete:
        return 1;
    case RegistryVerdict::HeldInRedemption:
        return 2;
    case RegistryVerdict::Held:
        return 3;
    case RegistryVerdict::NoVerdict:
        break;
    }
    return 4;
}

QString RegistryTipText(const RegistryStanding& standing) {
    if (!standing.answeredAt.isValid())
        return u"尚未查询注册局"_s;
    QStringList lines;
    if (standing.verdict == RegistryVerdict::NoVerdict)
        lines << u"无法查询："_s + reasonText(standing.reason);
    if (!standing.statuses.isEmpty())
        lines << u"状态："_s + standing.statuses.join(u", "_s);
    if (standing.expiration.isValid())
        lines << u"到期日期："_s + standing.expiration.toLocalTime().toString(u"yyyy-MM-dd"_s);
    lines << u"注册局回答时间："_s + localTime(standing.answeredAt);
    return lines.join(u'\n');
}

int StoredRegistryVerdict(RegistryVerdict verdict) {
    switch (verdict) {
    case RegistryVerdict::Held:
        return 0;
    case RegistryVerdict::HeldInRedemption:
        return 1;
    case RegistryVerdict::HeldPendingDelete:
        return 2;
    case RegistryVerdict::NotHeld:
        return 3;
    case RegistryVerdict::NoVerdict:
        break;
    }
    return 4;
}

RegistryVerdict RegistryVerdictFromStored(int stored) {
    switch (stored) {
    case 0:
        return RegistryVerdict::Held;
    case 1:
        return RegistryVerdict::HeldInRedemption;
    case 2:
        return RegistryVerdict::HeldPendingDelete;
    case 3:
        return RegistryVerdict::NotHeld;
    }
    return RegistryVerdict::NoVerdict;
}

int StoredNoVerdictReason(NoVerdictReason reason) {
    switch (reason) {
    case NoVerdictReason::None:
        return 0;
    case NoVerdictReason::InvalidName:
        return 1;
    case NoVerdictReason::UnknownRegistry:
        return 2;
    case NoVerdictReason::Unreachable:
        return 3;
    case NoVerdictReason::Unreadable:
        return 4;
    case NoVerdictReason::Refused:
        return 5;
    }
    return 4;
}

NoVerdictReason NoVerdictReasonFromStored(int stored) {
    switch (stored) {
    case 0:
        return NoVerdictReason::None;
    case 1:
        return NoVerdictReason::InvalidName;
    case 2:
        return NoVerdictReason::UnknownRegistry;
    case 3:
        return NoVerdictReason::Unreachable;
    case 5:
        return NoVerdictReason::Refused;
    }
    return NoVerdictReason::Unreadable;
}
