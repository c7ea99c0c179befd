#pragma once

#include "results/ResultListModel.h"

#include <QStringView>

#include <vector>

// The rows of one result page, numbered from firstNumber on. A deletion time that begins with a
// yyyy-MM-dd date gives the row that date as well. Never reads outside the page.
std::vector<ResultRow> ParseRows(QStringView page, int firstNumber);

// The page count announced after "条记录"; 1 when it is missing or not a whole number.
int ReadPageCount(QStringView page);

// Appends the page's rows to the list, numbered on from its row count. Returns the page count
// for the first page of a search and 0 for the others.
int ParseResultPage(QStringView page, bool firstPage, ResultListModel& rows);
