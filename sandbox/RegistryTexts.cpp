#include "RegistryTexts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include <algorithm>
#include <set>

namespace {

struct WhoisRegistry {
    std::string_view tld;
    std::string_view notFound;
};

constexpr WhoisRegistry kWhoisRegistries[] = {
    {"cn", "No matching record."}, {"de", "Status: free"},
    {"jp", "No match!!"},          {"uk", "This domain name has not been registered."},
    {"co", "Not found:"},          {"io", "NOT FOUND"},
    {"ru", "No entries found"},    {"eu", "Status: AVAILABLE"},
    {"me", "NOT FOUND"},           {"us", "No Data Found"},
};

std::string_view LastLabel(std::string_view name) {
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(dot + 1);
}

QString Utc(const QDateTime& time) {
    return time.toUTC().toString(Qt::ISODate);
}

QJsonObject Event(const char* action, const QDateTime& time) {
    return QJsonObject{{QStringLiteral("eventAction"), QString::fromLatin1(action)},
                       {QStringLiteral("eventDate"), Utc(time)}};
}

QJsonArray Statuses(RegistryPhase phase) {
    switch (phase) {
    case RegistryPhase::RedemptionPeriod:
        // RFC 8056: the redemption period comes with "pending delete".
        return {QStringLiteral("redemption period"), QStringLiteral("pending delete")};
    case RegistryPhase::PendingDelete:
        return {QStringLiteral("pending delete")};
    default:
        return {QStringLiteral("active")};
    }
}

const char* WhoisStatus(RegistryPhase phase) {
    switch (phase) {
    case RegistryPhase::RedemptionPeriod:
        return "redemptionPeriod";
    case RegistryPhase::PendingDelete:
        return "pendingDelete";
    default:
        return "ok";
    }
}

std::string Compact(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

} // namespace

std::optional<std::string_view> WhoisNotFoundText(std::string_view name) {
    const std::string_view tld = LastLabel(name);
    for (const WhoisRegistry& registry : kWhoisRegistries) {
        if (registry.tld == tld)
            return registry.notFound;
    }
    return std::nullopt;
}

std::vector<std::string> RdapTopLevelDomains(const DomainCatalog& catalog) {
    std::set<std::string> domains{"com", "net", "org"};
    for (DomainCatalog::Index i = 0; i < catalog.size(); ++i)
        domains.insert(std::string(LastLabel(catalog.domain(i).suffix)));
    std::vector<std::string> answered;
    std::copy_if(domains.begin(), domains.end(), std::back_inserter(answered),
                 [](const std::string& tld) { return !WhoisNotFoundText(tld); });
    return answered;
}

std::string RdapBootstrapJson(const std::vector<std::string>& topLevelDomains,
                              const std::string& baseAddress, const QDateTime& publication) {
    QJsonArray domains;
    for (const std::string& tld : topLevelDomains)
        domains.append(QString::fromStdString(tld));
    const QJsonArray service{domains, QJsonArray{QString::fromStdString(baseAddress)}};
    return Compact(QJsonObject{
        {QStringLiteral("version"), QStringLiteral("1.0")},
        {QStringLiteral("publication"), Utc(publication)},
        {QStringLiteral("description"),
         QStringLiteral("morrowcatch-sandbox: local stand-in RDAP service")},
        {QStringLiteral("services"), QJsonArray{service}},
    });
}

std::string RdapDomainJson(std::string_view name, const RegistryLife& life, const QDateTime& now) {
    QJsonArray events;
    const std::pair<const char*, const QDateTime*> dated[] = {
        {"registration", &life.registration},
        {"expiration", &life.expiration},
        {"last changed", &life.lastChanged},
        {"deletion", &life.deletion},
    };
    for (const auto& [action, time] : dated) {
        if (time->isValid())
            events.append(Event(action, *time));
    }
    events.append(Event("last update of RDAP database", now));
    const QString ldhName = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    return Compact(QJsonObject{
        {QStringLiteral("rdapConformance"), QJsonArray{QStringLiteral("rdap_level_0")}},
        {QStringLiteral("objectClassName"), QStringLiteral("domain")},
        {QStringLiteral("ldhName"), ldhName},
        {QStringLiteral("status"), Statuses(life.phase)},
        {QStringLiteral("events"), events},
    });
}

std::string RdapErrorJson(int code, std::string_view title) {
    return Compact(QJsonObject{
        {QStringLiteral("errorCode"), code},
        {QStringLiteral("title"),
         QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()))},
    });
}

std::string WhoisAnswerText(std::string_view name, const RegistryLife& life) {
    if (!life.isHeld())
        return std::string(WhoisNotFoundText(name).value_or("No matching record.")) + "\r\n";
    // CNNIC writes its times in Beijing time, without a zone.
    const auto local = [](const QDateTime& time) {
        return time.toTimeZone(QTimeZone(8 * 3600))
            .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))
            .toStdString();
    };
    std::string text = "Domain Name: ";
    text += name;
    text += "\r\nDomain Status: ";
    text += WhoisStatus(life.phase);
    text += "\r\nSponsoring Registrar: morrowcatch-sandbox\r\nRegistration Time: ";
    text += local(life.registration);
    text += "\r\nExpiration Time: ";
    text += local(life.expiration);
    text += "\r\nDNSSEC: unsigned\r\n";
    return text;
}
