#include "app/TrayTip.h"

QString TrayTipFor(const QString& caption, int byteLimit) {
    int bytes = 0;
    qsizetype i = 0;
    while (i < caption.size()) {
        const QChar ch = caption.at(i);
        const bool pair =
            ch.isHighSurrogate() && i + 1 < caption.size() && caption.at(i + 1).isLowSurrogate();
        const int size = pair ? 4 : ch.unicode() < 0x80 ? 1 : ch.unicode() < 0x800 ? 2 : 3;
        if (bytes + size > byteLimit)
            break;
        bytes += size;
        i += pair ? 2 : 1;
    }
    return caption.left(i);
}
