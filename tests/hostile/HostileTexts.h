#pragma once

#include <QString>

// What the user reads in the status line and the verdict column.
namespace HostileTexts {

inline const QString kTimedOut = QStringLiteral("状态：超时，跳过...");
inline const QString kErrorPrefix = QStringLiteral("状态：发生错误，错误代码：");
inline const QString kFirstPageMissing = QStringLiteral("状态：获取域名列表失败！");
inline const QString kSearchFinished = QStringLiteral("状态：域名列表读取已完成。");
inline const QString kNoAnswer = QStringLiteral("状态：获取域名列表失败。");
inline const QString kRateRefused = QStringLiteral("状态：操作过于频繁，请稍后再试。");
inline const QString kAllVerified = QStringLiteral("状态：所有域名已完成验证。");
inline const QString kTypedVerified = QStringLiteral("状态：用户指定的域名已完成验证。");
inline const QString kFree = QStringLiteral("未被注册---OK");
inline const QString kRegistered = QStringLiteral("已被注册");

// The markers of an availability answer, as the service writes them.
inline constexpr const char* kRefusalMarker = "您的请求过于频繁";
inline constexpr const char* kRegisteredMarker = "|211|";
// What the title of a result row's domain link ends with.
inline constexpr const char* kTitleEnd = "信息";

} // namespace HostileTexts
