#include "search/ReadDropList.h"

#include <QFile>

namespace {
// Small enough that a cancel takes effect soon even when a packed piece unpacks to many times
// its size.
constexpr qint64 kPieceBytes = 64 * 1024;
} // namespace

DropListOutcome ReadDropList(QIODevice& device, DropListForm form, const NameCriteria& criteria,
                             const QDate& today, const DropListCallbacks& callbacks) {
    DropListReader reader(form, criteria, today);
    DropListOutcome outcome;
    const qint64 total = device.isSequential() ? -1 : device.size();
    qint64 done = 0;
    QByteArray piece(kPieceBytes, Qt::Uninitialized);
    const auto handOver = [&] {
        std::vector<ResultRow> rows = reader.takeRows();
        if (!rows.empty() && callbacks.rows)
            callbacks.rows(std::move(rows));
    };
    for (;;) {
        if (callbacks.cancel && callbacks.cancel->load()) {
            outcome.cancelled = true;
            break;
        }
        const qint64 read = device.read(piece.data(), kPieceBytes);
        if (read < 0) {
            outcome.problem = QStringLiteral("读取文件时出错，只读出了出错之前的部分。");
            break;
        }
        if (read == 0) {
            reader.finish();
            break;
        }
        done += read;
        const bool goesOn = reader.feed(QByteArrayView(piece.constData(), read));
        handOver();
        if (callbacks.progress)
            callbacks.progress(done, total);
        if (!goesOn)
            break;
    }
    handOver();
    outcome.counts = reader.counts();
    if (outcome.problem.isEmpty())
        outcome.problem = reader.problem();
    return outcome;
}

DropListOutcome ReadDropListFile(const QString& path, const NameCriteria& criteria,
                                 const QDate& today, const DropListCallbacks& callbacks) {
    return ReadDropListFile(path, DropListFormOf(path), criteria, today, callbacks);
}

DropListOutcome ReadDropListFile(const QString& path, DropListForm form,
                                 const NameCriteria& criteria, const QDate& today,
                                 const DropListCallbacks& callbacks) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        DropListOutcome outcome;
        outcome.problem = QStringLiteral("无法打开文件：") + path;
        return outcome;
    }
    return ReadDropList(file, form, criteria, today, callbacks);
}
