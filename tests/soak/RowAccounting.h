#pragma once

#include "SoakReport.h"
#include "results/ResultListModel.h"

#include <QHash>
#include <QString>

#include <vector>

std::vector<ResultRow> Snapshot(const ResultListModel& rows);

// Compares the list with exactly the rows it should hold: names lost or never listed, names
// twice, order, numbering 1..N without gaps, every cell and the subdued flag.
Findings AccountRows(const std::vector<ResultRow>& actual, const std::vector<ResultRow>& expected);

// What happened to the questions about one name, as the stand-in saw them.
struct QuestionFate {
    int asked = 0;
    bool failed = false;     // at least one of them was made to fail
    bool registered = false; // the stand-in's own verdict
};

// After a check of every row: the same rows in the same order with the same cells, each name
// asked about once, the stand-in's verdict where the question was answered and the row as it
// was where it failed.
Findings AccountVerdicts(const std::vector<ResultRow>& before, const std::vector<ResultRow>& after,
                         const QHash<QString, QuestionFate>& fates);

// A generous estimate of the heap that rows take, in KiB: each text with its header and the
// allocator's rounding, and each row twice over for the vector's spare room.
long EstimatedRowsKiB(const std::vector<ResultRow>& rows);
