#pragma once

#include "SoakDataSet.h"
#include "SoakReport.h"
#include "SwitchingStandIn.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>

class ResultListModel;

// Three stretches of equal length, each failing its own way.
using FailurePlan = std::array<FailureSetting, 3>;

struct PhaseTimes {
    double seconds = 0;
    int requests = 0;
    // Failed requests by the stand-in's note ("500", "drop", "hang").
    std::map<std::string, int> failures;
};

// One search over every page of the soak query into the list, which must be empty, with the
// stand-in failing as planned. Checks the requests, the rows and the status line.
PhaseTimes SoakSearch(const SoakDataSet& data, const FailurePlan& plan, std::uint64_t seed,
                      ResultListModel& rows, SoakReport& report, const std::string& label);

// A check of every row in the list, with the stand-in failing as planned. Checks each row
// against the stand-in's log and its own verdicts, and the status line.
PhaseTimes SoakVerify(const SoakDataSet& data, const FailurePlan& plan, std::uint64_t seed,
                      ResultListModel& rows, SoakReport& report);
