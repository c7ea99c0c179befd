#pragma once

#include "web/FetchOutcome.h"

class StatusLine;

// The one place where the way a request ended becomes a status text: a time-out and every
// failure are told; a page or the program's closing leave the status line as it is.
void ReportFetchOutcome(StatusLine& status, const FetchOutcome& outcome);
