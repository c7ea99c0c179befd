#include "registry/RdapBootstrap.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace {

// Entries are compared in lower case, without a trailing dot.
QString entryKey(QStringView name) {
    if (name.endsWith(u'.'))
        name.chop(1);
    return name.toString().toLower();
}

// The service's address to use: https before http (RFC 9224, section 4), the first of each
// kind as listed; nothing that is not a plain http(s) address.
QString chooseBase(const QJsonArray& addresses) {
    QString chosen;
    for (const QJsonValue& value : addresses) {
        const QUrl url(value.toString(), QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty() || url.hasQuery() || url.hasFragment())
            continue;
        const QString scheme = url.scheme().toLower();
        if (scheme == u"https") {
            chosen = value.toString();
            break;
        }
        if (scheme == u"http" && chosen.isEmpty())
            chosen = value.toString();
    }
    if (!chosen.isEmpty() && !chosen.endsWith(u'/'))
        chosen.append(u'/');
    return chosen;
}

} // namespace

RdapBootstrap RdapBootstrap::parse(const QByteArray& json) {
    RdapBootstrap lookup;
    if (json.size() > kMaxFileBytes)
        return lookup;
    const QJsonDocument document = QJsonDocument::fromJson(json);
    const QJsonValue services = document.object().value(u"services");
    if (!services.isArray())
        return lookup;
    for (const QJsonValue& service : services.toArray()) {
        const QJsonArray pair = service.toArray();
        if (pair.size() < 2)
            continue;
        const QString base = chooseBase(pair.at(1).toArray());
        if (base.isEmpty())
            continue;
        for (const QJsonValue& entry : pair.at(0).toArray()) {
            const QString key = entryKey(entry.toString());
            if (!key.isEmpty())
                lookup.m_bases.insert(key, base);
        }
    }
    lookup.m_valid = !lookup.m_bases.isEmpty();
    if (!lookup.m_valid)
        lookup.m_bases.clear();
    lookup.m_publication = document.object().value(u"publication").toString().left(40);
    return lookup;
}

QString RdapBootstrap::baseFor(QStringView asciiName) const {
    QString name = entryKey(asciiName);
    // From the whole name down to its last label: the first hit is the longest match.
    qsizetype from = 0;
    while (from < name.size()) {
        const auto found = m_bases.constFind(QStringView(name).mid(from).toString());
        if (found != m_bases.constEnd())
            return found.value();
        const qsizetype dot = name.indexOf(u'.', from);
        if (dot < 0)
            break;
        from = dot + 1;
    }
    return {};
}
