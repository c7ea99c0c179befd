#pragma once

#include <QString>

#include <QtGlobal>

class Closing;
class StatusLine;

// The outcome of one GET: the body decoded from UTF-8 (empty after a time-out or failure) and
// the HTTP status of a completed answer (0 when none came).
struct FetchedPage {
    QString text;
    int httpStatus = 0;
};

// A body larger than this is abandoned as soon as it passes the limit and reported with
// kBodyTooLargeCode, the HTTP code for content too large, which no QNetworkReply error uses.
inline constexpr qsizetype kMaxBodyBytes = 16 * 1024 * 1024;
inline constexpr int kBodyTooLargeCode = 413;

// One HTTP GET with the header "If-Modified-Since: 0", waiting at most 5 seconds while the
// window keeps processing its events. Reports time-outs and failures in the status line itself
// and never fails to its caller. Returns at once, empty, when the program is closing.
// Any HTTP answer counts as completed, error statuses included: its body comes back and the
// status line is left alone. A failure of the connection itself (refused, reset, host not found,
// invalid address) is reported at once with its QNetworkReply::NetworkError number.
FetchedPage FetchPageWithStatus(const QString& address, StatusLine& status, const Closing& closing);

// The same, for callers that only want the text.
QString FetchPage(const QString& address, StatusLine& status, const Closing& closing);
