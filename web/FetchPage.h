#pragma once

#include <QString>

class Closing;
class StatusLine;

// The outcome of one GET: the body decoded from UTF-8 (empty after a time-out or failure) and
// the HTTP status of a completed answer (0 when none came).
struct FetchedPage {
    QString text;
    int httpStatus = 0;
};

// One HTTP GET with the header "If-Modified-Since: 0", waiting at most 5 seconds while the
// window keeps processing its events. Reports time-outs and failures in the status line itself
// and never fails to its caller. Returns at once, empty, when the program is closing.
FetchedPage FetchPageWithStatus(const QString& address, StatusLine& status,
                                const Closing& closing);

// The same, for callers that only want the text.
QString FetchPage(const QString& address, StatusLine& status, const Closing& closing);
