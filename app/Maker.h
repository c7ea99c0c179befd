#pragma once

#include "BuildConfig.h"

#include <QString>

// The maker's credit in the caption and its information in the second status panel.
namespace Maker {

inline const QString kProductTitle = QStringLiteral("Morrowcatch");
inline const QString kVersion = QString::fromUtf16(BuildConfig::kVersion);
inline const QString kCredit =
    QStringLiteral("Morrowcatch项目组（https://morrowcatch.example.org）");
inline const QString kInformation =
    QStringLiteral("官方网站：https://morrowcatch.example.org    客服电话：000-0000-0000");

// Title, version, two em dashes and the credit, with no blanks between them.
inline QString fullTitle() {
    return kProductTitle + kVersion + QStringLiteral("——") + kCredit;
}

} // namespace Maker
