#pragma once

#include <QString>

// How one GET ended. Only a page carries a body and an HTTP status; the window turns the other
// kinds into its status texts, the watch list into a check without a verdict.
struct FetchOutcome {
    enum class Kind {
        Page,     // any completed HTTP answer, error statuses included
        TimedOut, // nothing complete within the time limit
        Failed,   // the connection itself failed; errorCode is the QNetworkReply error number
        TooLarge, // the body passed kMaxBodyBytes and was abandoned
        Closing,  // the program is closing: nothing was or will be asked
    };

    Kind kind = Kind::Closing;
    QString text;       // the body decoded from UTF-8; empty unless a page
    int httpStatus = 0; // 0 unless a page
    int errorCode = 0;  // set when Failed

    bool isPage() const { return kind == Kind::Page; }

    static FetchOutcome page(QString text, int httpStatus) {
        return {Kind::Page, std::move(text), httpStatus, 0};
    }
    static FetchOutcome failed(int errorCode) { return {Kind::Failed, {}, 0, errorCode}; }
    static FetchOutcome of(Kind kind) { return {kind, {}, 0, 0}; }
};
