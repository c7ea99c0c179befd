#pragma once

#include "web/PageRequest.h"

#include <QDateTime>

#include <chrono>
#include <functional>

class Closing;
class ResultListModel;
class StatusLine;

// What an operation works on: the result list, the status line, and the closing signal that
// ends its waits. The window owns all three; tests make their own.
struct Workspace {
    ResultListModel& rows;
    StatusLine& status;
    const Closing& closing;
    // Told how far a search (pages) or a check of every name (rows) has come: done of total.
    std::function<void(int done, int total)> progress = {};
    // Set by the user (Esc) to end a search or a check of every name after the request in
    // flight; the operation then ends as it would have at its last step.
    bool stopRequested = false;
    // How long one request may take; tests whose point is not the exact limit shorten it.
    std::chrono::nanoseconds fetchTimeLimit = kFetchTimeLimit;
    // When a verdict was given, for its evidence.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

    void reportProgress(int done, int total) const {
        if (progress)
            progress(done, total);
    }
};
