#pragma once

#include "results/ResultListModel.h"

#include <vector>

// A long result list as a search builds it: pages of up to 30 rows parsed from the stand-in's
// pages, numbered on from 1.
std::vector<std::vector<ResultRow>> ParsedPages(int rowCount);

// Every other row found free, the rest registered, as after a check of every name.
void GiveVerdicts(std::vector<std::vector<ResultRow>>& pages);
