#include "DomainCatalog.h"

#include <algorithm>
#include <numeric>

namespace {

using Index = DomainCatalog::Index;
using D = DeletedDomain;

// Three-way comparisons of one field each, chained by SortedBy.
int ByLength(const D& a, const D& b) {
    return a.name.size() < b.name.size() ? -1 : (a.name.size() > b.name.size() ? 1 : 0);
}
int ByName(const D& a, const D& b) {
    return a.name.compare(b.name);
}
int BySuffix(const D& a, const D& b) {
    return a.suffix.compare(b.suffix);
}
int ByDate(const D& a, const D& b) {
    return a.deletionDate < b.deletionDate ? -1 : (a.deletionDate > b.deletionDate ? 1 : 0);
}

template <typename... Compare>
std::vector<Index> SortedBy(const std::vector<D>& domains, Compare... compare) {
    std::vector<Index> order(domains.size());
    std::iota(order.begin(), order.end(), Index{0});
    // The index breaks the last ties, so every order is total and pages never overlap.
    std::sort(order.begin(), order.end(), [&](Index a, Index b) {
        int result = 0;
        ((result = result != 0 ? result : compare(domains[a], domains[b])), ...);
        return result != 0 ? result < 0 : a < b;
    });
    return order;
}

} // namespace

DomainCatalog::DomainCatalog(std::vector<DeletedDomain> domains) : m_domains(std::move(domains)) {
    m_traits.reserve(m_domains.size());
    m_byName.reserve(m_domains.size());
    for (Index i = 0; i < m_domains.size(); ++i) {
        m_traits.push_back(ComputeNameTraits(m_domains[i].name));
        m_byName.try_emplace(m_domains[i].fullName(), i);
    }
    m_orders[0] = SortedBy(m_domains, ByLength, ByName, BySuffix);
    m_orders[1] = SortedBy(m_domains, ByName, BySuffix);
    m_orders[2] = SortedBy(m_domains, BySuffix, ByName);
    m_orders[3] = SortedBy(m_domains, ByDate, ByName, BySuffix);
    m_orders[4] = SortedBy(m_domains, ByDate, ByLength, ByName, BySuffix);
}

std::optional<DomainCatalog::Index> DomainCatalog::find(std::string_view fullName) const {
    const auto found = m_byName.find(std::string(fullName));
    if (found == m_byName.end())
        return std::nullopt;
    return found->second;
}
