#include "app/RegistryAnswerText.h"

#include <QStringList>

namespace {

constexpr qsizetype kMostStatuses = 8;
constexpr qsizetype kMaxStatusLength = 48;

QString verdictWords(const RegistryResult& result) {
    switch (result.verdict) {
    case RegistryVerdict::Held:
        return QStringLiteral("已注册");
    case RegistryVerdict::HeldInRedemption:
        return QStringLiteral("已注册，赎回期");
    case RegistryVerdict::HeldPendingDelete:
        return QStringLiteral("已注册，待删除");
    case RegistryVerdict::NotHeld:
        return QStringLiteral("未注册");
    case RegistryVerdict::NoVerdict:
        break;
    }
    switch (result.reason) {
    case NoVerdictReason::InvalidName:
        return QStringLiteral("无结论（不是可以查询的域名）");
    case NoVerdictReason::UnknownRegistry:
        return QStringLiteral("无结论（不知道该后缀的注册局）");
    case NoVerdictReason::Unreachable:
        return QStringLiteral("无结论（注册局没有回答）");
    case NoVerdictReason::Refused:
        return QStringLiteral("无结论（注册局要求稍后再查）");
    case NoVerdictReason::Unreadable:
    case NoVerdictReason::None:
        break;
    }
    return QStringLiteral("无结论（回答无法识别）");
}

QString statusList(const QStringList& statuses) {
    QStringList shown;
    for (const QString& status : statuses) {
        if (shown.size() == kMostStatuses) {
            shown << QStringLiteral("…");
            break;
        }
        // Line breaks from a registry would break the tooltip's one line.
        QString one = status.simplified();
        if (one.size() > kMaxStatusLength)
            one = one.left(kMaxStatusLength) + u'…';
        shown << one;
    }
    return shown.join(QStringLiteral(", "));
}

} // namespace

ResultRow::RegistryMark RegistryMarkOf(const RegistryResult& result) {
    switch (result.verdict) {
    case RegistryVerdict::Held:
        return ResultRow::RegistryMark::Held;
    case RegistryVerdict::HeldInRedemption:
    case RegistryVerdict::HeldPendingDelete:
        return ResultRow::RegistryMark::Dropping;
    case RegistryVerdict::NotHeld:
        return ResultRow::RegistryMark::NotHeld;
    case RegistryVerdict::NoVerdict:
        break;
    }
    return ResultRow::RegistryMark::NoVerdict;
}

QString RegistryAnswerLine(const RegistryResult& result) {
    QString line = QStringLiteral("注册局：") + verdictWords(result);
    if (!result.statuses.isEmpty())
        line += QStringLiteral(" (") + statusList(result.statuses) + u')';
    // The registry's own date, as it wrote it (in UTC): a shift to local time can change the day.
    if (result.events.expiration.isValid())
        line += QStringLiteral(", 到期：") +
                result.events.expiration.toString(QStringLiteral("yyyy-MM-dd"));
    if (result.answeredAt.isValid())
        line += QStringLiteral(", 查询于：") +
                result.answeredAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    return line;
}
