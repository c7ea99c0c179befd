#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Where a top-level domain without RDAP is asked over WHOIS (port 43), and the text its
// registry answers for a name it does not hold.
struct WhoisServer {
    QString host;
    quint16 port = 43;
    QStringList notFoundTexts;

    // "host:port", the server's name for pacing and in results.
    QString address() const { return host + u':' + QString::number(port); }
};

// The built-in table, by the name's last label; nothing for a top-level domain not in it.
std::optional<WhoisServer> WhoisServerFor(QStringView asciiName);

// "HOST:PORT" (a name or an IPv4 address, or "[IPv6]:PORT"); nothing when unreadable.
std::optional<WhoisServer> ParseWhoisOverride(QStringView text);
