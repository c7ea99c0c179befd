#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// The IANA bootstrap file for domain names (RFC 9224) read into a lookup: which RDAP server
// answers for a name. A damaged file gives an invalid lookup that knows no server.
class RdapBootstrap {
public:
    // Far above the real file (about 100 KB); a larger one is not read at all.
    static constexpr qsizetype kMaxFileBytes = 4 * 1024 * 1024;

    static RdapBootstrap parse(const QByteArray& json);

    bool isValid() const { return m_valid; }
    QString publication() const { return m_publication; }
    qsizetype entryCount() const { return m_bases.size(); }

    // The base address ("https://.../", always ending in "/") for a name in ASCII form, by the
    // longest match of whole labels from the right; empty when no entry matches.
    QString baseFor(QStringView asciiName) const;

private:
    bool m_valid = false;
    QString m_publication;
    QHash<QString, QString> m_bases; // entry in lower case -> base address
};
