#pragma once

#include "web/FetchOutcome.h"
#include "web/PageRequest.h"

#include <QString>

#include <chrono>

class Closing;

// One HTTP GET under the program's request rules, waiting at most timeLimit while the window
// keeps processing its events. Returns at once, as Closing, when the program is closing. Any
// HTTP answer counts as a page, error statuses included. A failure of the connection itself
// (refused, reset, host not found, invalid address) ends the wait at once.
FetchOutcome FetchPage(const QString& address, const Closing& closing,
                       std::chrono::nanoseconds timeLimit = kFetchTimeLimit);
