#pragma once

#include "verify/CheckProtocol.h"

class ResultListModel;

// Writes the verdict of a Registered or NotRegistered answer into the row, greying a
// registered one. Other classes leave the row as it is.
void ApplyVerdict(ResultListModel& rows, int row, AnswerClass answer);
