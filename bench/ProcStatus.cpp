#include "ProcStatus.h"

#include <QFile>

qint64 ProcStatusKilobytes(const QString& field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = field.toUtf8() + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (!line.startsWith(prefix))
            continue;
        bool ok = false;
        const qint64 kilobytes =
            line.mid(prefix.size()).simplified().split(' ').value(0).toLongLong(&ok);
        return ok ? kilobytes : -1;
    }
    return -1;
}
