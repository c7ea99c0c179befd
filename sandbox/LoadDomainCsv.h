#pragma once

#include "DeletedDomain.h"

#include <istream>
#include <string>
#include <vector>

// The user's own data set, one entry a line:
//   domain,deletion time[,type[,suggestion]]
// for example "ab88.com,2026-12-06 23:59:59,Pre-Release,3". The time is "yyyy-MM-dd hh:mm:ss"
// or a bare day; the type "Delete" (the default) or "Pre-Release"; an empty or 0 suggestion
// means none. A first line starting with "domain" is a header; blank lines and lines starting
// with "#" are skipped.
struct DomainCsv {
    std::vector<DeletedDomain> domains;
    std::string error; // empty when every line was read; otherwise which line failed and why
};

inline constexpr size_t kLargestCsvRowCount = 1'000'000;

DomainCsv ReadDomainCsv(std::istream& in);
DomainCsv LoadDomainCsv(const std::string& path);
