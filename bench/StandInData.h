#pragma once

#include "sandbox/DomainCatalog.h"

#include <QDate>
#include <QString>

#include <memory>
#include <string>

// The data and pages the benchmarks share, all made the way the stand-in list service makes
// them, from a fixed seed and day so that every run measures the same bytes.
namespace StandInData {

inline constexpr int kRowsPerPage = 30;

QDate fixedToday();
std::shared_ptr<const DomainCatalog> catalog(size_t domainCount);

// One result page of the stand-in (its 30 rows and its record summary) set inside the rest of
// a list site's page: head with styles and scripts, navigation, criteria form and footer, about
// 20 KB in all. pageNumber picks which 30 rows of a 30,000-name catalog it shows; past the
// 1,000th page the rows come round again.
std::string resultPageUtf8(int pageNumber = 1);
QString resultPage(int pageNumber = 1);

} // namespace StandInData
