#include "registry/RegistryLookup.h"

#include "registry/RdapBootstrapSource.h"
#include "registry/RdapQuestion.h"
#include "registry/WhoisQuestion.h"

#include <QNetworkAccessManager>
#include <QTimer>
#include <QUrl>

namespace {

constexpr qsizetype kMaxNameLength = 253;
constexpr qsizetype kMaxLabelLength = 63;

bool isLdhLabel(QStringView label) {
    if (label.isEmpty() || label.size() > kMaxLabelLength || label.startsWith(u'-') ||
        label.endsWith(u'-'))
        return false;
    for (const QChar c : label) {
        const bool ldh = (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-';
        if (!ldh)
            return false;
    }
    return true;
}

// The pacing's name for an RDAP server: its host, and its port when not the scheme's own.
QString rdapRegistryOf(const QString& base) {
    const QUrl url(base);
    const int defaultPort = url.scheme() == u"https" ? 443 : 80;
    const int port = url.port(defaultPort);
    return port == defaultPort ? url.host() : url.host() + u':' + QString::number(port);
}

} // namespace

QString AsciiDomainName(QStringView name) {
    QString trimmed = name.trimmed().toString();
    if (trimmed.endsWith(u'.'))
        trimmed.chop(1);
    if (trimmed.isEmpty() || trimmed.size() > kMaxNameLength * 4)
        return {};
    const QString ascii = QString::fromLatin1(QUrl::toAce(trimmed)).toLower();
    if (ascii.isEmpty() || ascii.size() > kMaxNameLength)
        return {};
    const QList<QStringView> labels = QStringView(ascii).split(u'.');
    if (labels.size() < 2)
        return {};
    for (const QStringView label : labels) {
        if (!isLdhLabel(label))
            return {};
    }
    return ascii;
}

RegistryLookup::RegistryLookup(RdapBootstrapSource& bootstrap, RegistryQueue& queue,
                               WallClock clock, QObject* parent)
    : QObject(parent), m_bootstrap(bootstrap), m_queue(queue), m_clock(std::move(clock)),
      m_network(std::make_unique<QNetworkAccessManager>()) {}

RegistryLookup::~RegistryLookup() {
    while (!m_pending.empty())
        cancel(m_pending.begin()->first);
}

bool RegistryLookup::setWhoisOverride(const QString& hostPort) {
    if (hostPort.trimmed().isEmpty()) {
        m_whoisOverride.reset();
        return true;
    }
    const std::optional<WhoisServer> server = ParseWhoisOverride(hostPort);
    if (!server)
        return false;
    m_whoisOverride = server;
    return true;
}

RegistryLookup::Route RegistryLookup::routeOf(const QString& asciiName) const {
    Route route;
    const QString base = m_bootstrap.current().baseFor(asciiName);
    if (!base.isEmpty()) {
        route.protocol = RegistryProtocol::Rdap;
        route.rdapBase = base;
        route.registry = rdapRegistryOf(base);
        return route;
    }
    std::optional<WhoisServer> server = WhoisServerFor(asciiName);
    if (!server)
        return route;
    if (m_whoisOverride) {
        server->host = m_whoisOverride->host;
        server->port = m_whoisOverride->port;
    }
    route.protocol = RegistryProtocol::Whois;
    route.registry = server->address();
    route.whois = std::move(server);
    return route;
}

quint64 RegistryLookup::lookup(const QString& name, Done done) {
    const quint64 id = m_nextId++;
    Pending& pending = m_pending[id];
    pending.done = std::move(done);
    pending.domain = AsciiDomainName(name);
    if (pending.domain.isEmpty()) {
        deliverSoon(
            id, NoVerdictResult(NoVerdictReason::InvalidName, RegistryProtocol::None, m_clock()));
        return id;
    }
    m_bootstrap.refreshIfDue();
    pending.route = routeOf(pending.domain);
    if (pending.route.protocol == RegistryProtocol::None) {
        deliverSoon(id, NoVerdictResult(NoVerdictReason::UnknownRegistry, RegistryProtocol::None,
                                        m_clock()));
        return id;
    }
    pending.queueId = m_queue.enqueue(pending.route.registry, [this, id] { startQuestion(id); });
    return id;
}

void RegistryLookup::cancel(quint64 id) {
    const auto found = m_pending.find(id);
    if (found == m_pending.end())
        return;
    Pending& pending = found->second;
    if (pending.rdap)
        pending.rdap->abort();
    if (pending.whois)
        pending.whois->abort();
    if (pending.queueId)
        m_queue.abandoned(pending.queueId);
    dispose(pending);
    m_pending.erase(found);
}

void RegistryLookup::deliverSoon(quint64 id, RegistryResult result) {
    QTimer::singleShot(0, this, [this, id, result] { finish(id, result); });
}

void RegistryLookup::startQuestion(quint64 id) {
    const auto found = m_pending.find(id);
    if (found == m_pending.end())
        return;
    Pending& pending = found->second;
    auto ended = [this, id](const RegistryResult& result) { questionEnded(id, result); };
    if (pending.route.protocol == RegistryProtocol::Rdap) {
        pending.rdap = std::make_unique<RdapQuestion>(m_clock, m_network.get());
        pending.rdap->setTimeLimit(m_timeLimit);
        pending.rdap->ask(pending.route.rdapBase, pending.domain, ended);
    } else {
        pending.whois = std::make_unique<WhoisQuestion>(m_clock);
        pending.whois->setTimeLimit(m_timeLimit);
        pending.whois->ask(*pending.route.whois, pending.domain, ended);
    }
}

void RegistryLookup::questionEnded(quint64 id, RegistryResult result) {
    const auto found = m_pending.find(id);
    if (found == m_pending.end())
        return;
    const quint64 queueId = std::exchange(found->second.queueId, 0);
    result.registry = found->second.route.registry;
    switch (result.reason) {
    case NoVerdictReason::Refused: {
        const RegistryQueue::TimePoint now = m_queue.now();
        const RegistryQueue::TimePoint end = m_queue.refused(
            queueId, std::chrono::duration_cast<RegistryQueue::Duration>(result.refusalWait));
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(end - now);
        result.askAgainAt = result.answeredAt.addMSecs(std::max<qint64>(wait.count(), 0));
        break;
    }
    case NoVerdictReason::Unreachable:
        m_queue.abandoned(queueId);
        break;
    default:
        m_queue.answered(queueId);
        break;
    }
    finish(id, result);
}

void RegistryLookup::finish(quint64 id, const RegistryResult& result) {
    const auto found = m_pending.find(id);
    if (found == m_pending.end())
        return;
    Done done = std::move(found->second.done);
    RegistryResult delivered = result;
    delivered.domain = found->second.domain;
    if (delivered.registry.isEmpty())
        delivered.registry = found->second.route.registry;
    dispose(found->second);
    m_pending.erase(found);
    if (done)
        done(delivered);
}

void RegistryLookup::dispose(Pending& pending) {
    // Deleted later: this may run inside the question's own answer.
    if (pending.rdap)
        pending.rdap.release()->deleteLater();
    if (pending.whois)
        pending.whois.release()->deleteLater();
}
