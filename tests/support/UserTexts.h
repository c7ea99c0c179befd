#pragma once

#include <QString>

// What the user reads in the status line and the verdict column, written out here once so that
// a test fails when the program's wording changes.
namespace UserTexts {

// A search of the list service.
inline const QString kSearchStarting = QStringLiteral("状态：开始读取域名列表...");
inline const QString kFirstPageMissing = QStringLiteral("状态：获取域名列表失败！");
inline const QString kNothingFound = QStringLiteral("状态：未找到符合条件的域名。");
inline const QString kSearchFinished = QStringLiteral("状态：域名列表读取已完成。");

// A check of every listed name, and the filter.
inline const QString kListCheckStarting = QStringLiteral("状态：开始验证列表中的域名...");
inline const QString kNoAnswer = QStringLiteral("状态：获取域名列表失败。");
inline const QString kRateRefused = QStringLiteral("状态：操作过于频繁，请稍后再试。");
inline const QString kAllVerified = QStringLiteral("状态：所有域名已完成验证。");
inline const QString kFiltered = QStringLiteral("状态：已被注册的域名已被过滤。");

// A check of the typed name.
inline const QString kTypedCheckStarting = QStringLiteral("状态：开始验证用户指定域名...");
inline const QString kTypedVerified = QStringLiteral("状态：用户指定的域名已完成验证。");

// How a request ended, when it brought no page.
inline const QString kTimedOut = QStringLiteral("状态：超时，跳过...");
inline const QString kErrorPrefix = QStringLiteral("状态：发生错误，错误代码：");

// The verdict column.
inline const QString kFree = QStringLiteral("未被注册---OK");
inline const QString kRegistered = QStringLiteral("已被注册");

} // namespace UserTexts

// The markers of the services' answers, as the services write them.
namespace ServiceMarkers {

inline constexpr const char* kRefusal = "您的请求过于频繁";
inline constexpr const char* kRegistered = "|211|";
inline constexpr const char* kFree = "|210|";
// What the title of a result row's domain link ends with.
inline constexpr const char* kTitleEnd = "信息";

} // namespace ServiceMarkers
