#pragma once

#include <QStringList>

// curl fetching addresses one after the other in a single process, as the peer of the
// program's own requests.
struct CurlRun {
    bool ok = false;
    double wallSeconds = 0;   // the whole curl process
    double serverSeconds = 0; // summed over transfers: request sent to first byte back
    int answered = 0;         // transfers that came back with status 200
};

enum class Connections { Reused, NewEach };

CurlRun RunCurl(const QStringList& addresses, Connections connections);
