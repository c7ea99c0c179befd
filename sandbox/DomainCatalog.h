#pragma once

#include "DeletedDomain.h"
#include "criteria/NameTraits.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The list service's orders, numbered as the query's sort key.
enum class SortOrder { Length = 1, Letters, Suffix, DateLetters, DateLength };
inline constexpr int kSortOrderCount = 5;

// The data set behind both services: the entries, their name traits, each entry's place in
// every sort order and a lookup by full name. Built once and only read afterwards, so any
// number of server threads may share it.
class DomainCatalog {
public:
    using Index = std::uint32_t;

    DomainCatalog() = default;
    explicit DomainCatalog(std::vector<DeletedDomain> domains);

    size_t size() const { return m_domains.size(); }
    const DeletedDomain& domain(Index index) const { return m_domains[index]; }
    const NameTraits& traits(Index index) const { return m_traits[index]; }
    // Every index, in the given order.
    const std::vector<Index>& order(SortOrder sort) const {
        return m_orders[static_cast<size_t>(sort) - 1];
    }
    // The entry for "name.suffix" (lower case), if the data set holds it.
    std::optional<Index> find(std::string_view fullName) const;

private:
    std::vector<DeletedDomain> m_domains;
    std::vector<NameTraits> m_traits;
    std::array<std::vector<Index>, kSortOrderCount> m_orders;
    std::unordered_map<std::string, Index> m_byName;
};
