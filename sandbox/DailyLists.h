#pragma once

#include "DomainCatalog.h"

#include <QDate>

#include <string>

// The day's drop list as files to download: the names deleted on that day, in the letters
// order. The text form has one name a line under a comment line; the table form a header row
// "域名,删除日期,删除类型" and a row for each name.
std::string DailyListText(const DomainCatalog& catalog, const QDate& day);
std::string DailyListCsv(const DomainCatalog& catalog, const QDate& day);
