#pragma once

#include <QString>

// What the program shows, byte for byte as the user sees it.
namespace SoakTexts {

inline const QString kSearchFinished = QStringLiteral("状态：域名列表读取已完成。");
inline const QString kFirstPageMissing = QStringLiteral("状态：获取域名列表失败！");
inline const QString kVerifyFinished = QStringLiteral("状态：所有域名已完成验证。");
inline const QString kVerdictFree = QStringLiteral("未被注册---OK");
inline const QString kVerdictRegistered = QStringLiteral("已被注册");

} // namespace SoakTexts
