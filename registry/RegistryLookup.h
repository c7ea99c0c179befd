#pragma once

#include "registry/RegistryQueue.h"
#include "registry/RegistryResult.h"
#include "registry/WhoisServers.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QNetworkAccessManager;
class RdapBootstrapSource;
class RdapQuestion;
class WhoisQuestion;

// A name as registries are asked about it: ASCII (internationalised names in their "xn--"
// form), lower case, no trailing dot, at least two labels of letters, digits and hyphens. Empty
// when the name is none.
QString AsciiDomainName(QStringView name);

// Asks the registry that holds the authority over a name: its RDAP server when the bootstrap
// names one, else its WHOIS server from the built-in table, through the shared pacing, and
// reports one result.
class RegistryLookup : public QObject {
    Q_OBJECT
public:
    using WallClock = std::function<QDateTime()>;
    using Done = std::function<void(const RegistryResult& result)>;

    struct Route {
        RegistryProtocol protocol = RegistryProtocol::None;
        QString registry; // the pacing's name for the server
        QString rdapBase;
        std::optional<WhoisServer> whois;
    };

    RegistryLookup(RdapBootstrapSource& bootstrap, RegistryQueue& queue, WallClock clock,
                   QObject* parent = nullptr);
    ~RegistryLookup() override;

    // "HOST:PORT": one WHOIS server for every top-level domain of the table (a local mirror, a
    // test); empty: the table's own servers. An unreadable value changes nothing: false.
    bool setWhoisOverride(const QString& hostPort);
    void setTimeLimit(std::chrono::milliseconds limit) { m_timeLimit = limit; }

    // Where a name (ASCII form) would be asked.
    Route routeOf(const QString& asciiName) const;

    // Looks a name up; done is called once from the event loop, unless cancel() comes first.
    quint64 lookup(const QString& name, Done done);
    void cancel(quint64 id);
    qsizetype pendingCount() const { return static_cast<qsizetype>(m_pending.size()); }

private:
    struct Pending {
        QString domain;
        Route route;
        Done done;
        quint64 queueId = 0;
        std::unique_ptr<RdapQuestion> rdap;
        std::unique_ptr<WhoisQuestion> whois;
    };

    void deliverSoon(quint64 id, RegistryResult result);
    void startQuestion(quint64 id);
    void questionEnded(quint64 id, RegistryResult result);
    void finish(quint64 id, const RegistryResult& result);
    static void dispose(Pending& pending);

    RdapBootstrapSource& m_bootstrap;
    RegistryQueue& m_queue;
    WallClock m_clock;
    // One for every RDAP question, so that each registry's connection is kept between them.
    std::unique_ptr<QNetworkAccessManager> m_network;
    std::optional<WhoisServer> m_whoisOverride;
    std::chrono::milliseconds m_timeLimit{10'000};
    std::map<quint64, Pending> m_pending;
    quint64 m_nextId = 1;
};
