#pragma once

#include "verify/CheckProtocol.h"

class ResultListModel;

// Gives the row the verdict of a Registered or NotRegistered answer, greying a registered one.
// Other classes leave the row as it is.
void ApplyVerdict(ResultListModel& rows, int row, AnswerClass answer);
