#pragma once

#include <QString>

// A "Vm..." or "Rss..." line of /proc/self/status in kilobytes, or -1 when it cannot be read.
qint64 ProcStatusKilobytes(const QString& field);
