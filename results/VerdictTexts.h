#pragma once

#include <QString>

// How a verdict reads wherever it is shown: the result list, its CSV file and the watch list.
inline const QString kVerdictRegistered = QStringLiteral("已被注册");
inline const QString kVerdictFree = QStringLiteral("未被注册---OK");
