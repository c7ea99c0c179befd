#pragma once

#include "DeletedDomain.h"

#include <QDate>

#include <cstdint>
#include <vector>

inline constexpr size_t kDefaultDomainCount = 20000;

// A data set of deleted and soon-deleted names: the same seed and day give the same set.
// Deletion days run from five days before today to four days after it. The names are unique;
// the set can come out smaller than asked only when the name shapes run out.
std::vector<DeletedDomain> GenerateDomains(size_t count, std::uint64_t seed, const QDate& today);

// The seed the sandbox uses when none is given: it changes once a day.
std::uint64_t DefaultSeed(const QDate& today);
