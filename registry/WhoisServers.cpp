#include "registry/WhoisServers.h"

#include <QHostAddress>
#include <QUrl>

namespace {

struct Entry {
    const char16_t* tld;
    const char16_t* host;
    const char16_t* notFound;
};

// The "not found" texts as the registries answer them; sources in registry/README.md.
// Top-level domains whose texts could not be sourced are left out.
constexpr Entry kServers[] = {
    {u"com", u"whois.verisign-grs.com", u"No match for"},
    {u"net", u"whois.verisign-grs.com", u"No match for"},
    {u"org", u"whois.pir.org", u"NOT FOUND"},
    {u"cn", u"whois.cnnic.cn", u"No matching record."},
    {u"de", u"whois.denic.de", u"Status: free"},
    {u"jp", u"whois.jprs.jp", u"No match!!"},
    {u"uk", u"whois.nic.uk", u"This domain name has not been registered."},
    {u"co", u"whois.nic.co", u"Not found:"},
    {u"io", u"whois.nic.io", u"NOT FOUND"},
    {u"ru", u"whois.ripn.net", u"No entries found"},
    {u"eu", u"whois.eu", u"Status: AVAILABLE"},
    {u"me", u"whois.nic.me", u"NOT FOUND"},
    {u"us", u"whois.nic.us", u"No Data Found"},
};

} // namespace

std::optional<WhoisServer> WhoisServerFor(QStringView asciiName) {
    if (asciiName.endsWith(u'.'))
        asciiName.chop(1);
    const qsizetype dot = asciiName.lastIndexOf(u'.');
    const QStringView tld = dot < 0 ? asciiName : asciiName.mid(dot + 1);
    for (const Entry& entry : kServers) {
        if (tld.compare(QStringView(entry.tld), Qt::CaseInsensitive) == 0)
            return WhoisServer{
                QString::fromUtf16(entry.host), 43, {QString::fromUtf16(entry.notFound)}};
    }
    return std::nullopt;
}

std::optional<WhoisServer> ParseWhoisOverride(QStringView text) {
    const QString trimmed = text.trimmed().toString();
    // QUrl splits host and port, IPv6 brackets included, and refuses what is neither.
    const QUrl url(u"whois://" + trimmed, QUrl::StrictMode);
    if (trimmed.isEmpty() || !url.isValid() || url.host().isEmpty() || url.port() <= 0 ||
        !url.userInfo().isEmpty() || !url.path().isEmpty() || url.hasQuery() || url.hasFragment())
        return std::nullopt;
    return WhoisServer{url.host(), static_cast<quint16>(url.port()), {}};
}
