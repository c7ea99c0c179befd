#pragma once

#include <QString>

// The notification-area icon's tip holds 64 bytes with its closing NUL. The caption is cut to
// fit at a character boundary, never in the middle of a character.
inline constexpr int kTrayTipBytes = 63;

QString TrayTipFor(const QString& caption, int byteLimit = kTrayTipBytes);
