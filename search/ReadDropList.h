#pragma once

#include "search/DropListReader.h"

#include <QIODevice>

#include <atomic>
#include <functional>

// How reading a drop list ended.
struct DropListOutcome {
    DropListCounts counts;
    QString problem; // empty when the list was read to its end or reading was cancelled
    bool cancelled = false;
};

// What a reading reports while it runs, from the thread it runs on.
struct DropListCallbacks {
    std::function<void(std::vector<ResultRow>&& rows)> rows; // each batch of new rows
    std::function<void(qint64 done, qint64 total)> progress; // bytes; total -1 when unknown
    const std::atomic<bool>* cancel = nullptr;               // set: stop after the piece being read
};

// Reads the device to its end, a piece at a time. Rows handed over before a cancel or a problem
// stay the caller's.
DropListOutcome ReadDropList(QIODevice& device, DropListForm form, const NameCriteria& criteria,
                             const QDate& today, const DropListCallbacks& callbacks);

// The same for a file, its form told by its name.
DropListOutcome ReadDropListFile(const QString& path, const NameCriteria& criteria,
                                 const QDate& today, const DropListCallbacks& callbacks);
// The same for a file whose name says nothing of its form (a download kept in a temporary file).
DropListOutcome ReadDropListFile(const QString& path, DropListForm form,
                                 const NameCriteria& criteria, const QDate& today,
                                 const DropListCallbacks& callbacks);
