#pragma once

#include "DomainCatalog.h"
#include "RegistryLife.h"

#include <QDateTime>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the stand-in registries send: RDAP (RFC 9083) JSON for the top-level domains its
// bootstrap file names, WHOIS text for those whose real registries have no RDAP service.

inline constexpr char kRdapContentType[] = "application/rdap+json";
inline constexpr char kWhoisTooFrequent[] =
    "Your connection limit exceeded. Please slow down and try again later.\r\n";
inline constexpr char kWhoisInvalidQuery[] = "Invalid query: not a domain name.\r\n";

// The text a WHOIS registry answers for a name it does not hold, by the name's last label;
// nothing when the stand-in answers that top-level domain over RDAP. The texts are the real
// registries' own, so that a client reads them as it reads theirs.
std::optional<std::string_view> WhoisNotFoundText(std::string_view name);

// The top-level domains answered over RDAP: those of the data set, and com, net and org, which
// the program's watch list may hold without the data set listing them; none answered over WHOIS.
std::vector<std::string> RdapTopLevelDomains(const DomainCatalog& catalog);

// The RFC 9224 bootstrap file naming baseAddress (ending in "/") for the given domains.
std::string RdapBootstrapJson(const std::vector<std::string>& topLevelDomains,
                              const std::string& baseAddress, const QDateTime& publication);

// The domain object for a held name; the times in UTC.
std::string RdapDomainJson(std::string_view name, const RegistryLife& life, const QDateTime& now);

// An RFC 9083 error answer's body: {"errorCode":404,"title":"Not Found"}.
std::string RdapErrorJson(int code, std::string_view title);

// The whole WHOIS answer about a normalised name, in the layout of CNNIC's server: the
// not-found text when the name is not held, else its lines with times in local time.
std::string WhoisAnswerText(std::string_view name, const RegistryLife& life);
