#include "registry/RdapBootstrapSource.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace {

// The state file is a few dozen bytes; anything larger is not it.
constexpr qint64 kMaxStateBytes = 4096;

QByteArray readBounded(const QString& path, qint64 limit) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > limit)
        return {};
    return file.read(limit);
}

} // namespace

QString RdapBootstrapSource::defaultAddress() {
    return QStringLiteral("https://data.iana.org/rdap/dns.json");
}

QString RdapBootstrapSource::defaultCacheFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
}

QByteArray RdapBootstrapSource::shippedCopy() {
    Q_INIT_RESOURCE(registry);
    return readBounded(QStringLiteral(":/registry/rdap-dns.json"), RdapBootstrap::kMaxFileBytes);
}

RdapBootstrapSource::RdapBootstrapSource(QString cacheFolder, QString address, WallClock clock,
                                         QObject* parent)
    : QObject(parent), m_cacheFolder(std::move(cacheFolder)), m_address(std::move(address)),
      m_clock(std::move(clock)) {
    connect(&m_fetch, &RegistryFetch::finished, this,
            [this](const HttpAnswer& answer) { fetched(answer); });
    if (!loadCache()) {
        m_current = RdapBootstrap::parse(shippedCopy());
        m_origin = Origin::Shipped;
        m_dueAt = m_clock();
    }
}

QString RdapBootstrapSource::dataPath() const {
    return QDir(m_cacheFolder).filePath(QStringLiteral("rdap-dns.json"));
}

QString RdapBootstrapSource::statePath() const {
    return QDir(m_cacheFolder).filePath(QStringLiteral("rdap-dns.state.json"));
}

bool RdapBootstrapSource::loadCache() {
    if (m_cacheFolder.isEmpty())
        return false;
    RdapBootstrap cached =
        RdapBootstrap::parse(readBounded(dataPath(), RdapBootstrap::kMaxFileBytes));
    if (!cached.isValid())
        return false;
    m_current = std::move(cached);
    m_origin = Origin::Cache;
    const QJsonObject state =
        QJsonDocument::fromJson(readBounded(statePath(), kMaxStateBytes)).object();
    const QDateTime fetched =
        QDateTime::fromString(state.value(u"fetched").toString(), Qt::ISODate);
    const QDateTime due = QDateTime::fromString(state.value(u"due").toString(), Qt::ISODate);
    const QDateTime now = m_clock();
    // A copy without a readable state, or from the future of a clock that went back, is due.
    const bool believable = fetched.isValid() && due.isValid() && fetched <= now &&
                            due <= fetched.addSecs(std::chrono::seconds(kMaxFreshness).count());
    m_dueAt = believable ? due : now;
    return true;
}

void RdapBootstrapSource::refreshIfDue() {
    if (m_fetch.isRunning() || m_clock() < m_dueAt)
        return;
    m_fetch.start(QUrl(m_address), QByteArrayLiteral("application/json"),
                  RdapBootstrap::kMaxFileBytes, kFetchTimeLimit);
}

void RdapBootstrapSource::fetched(const HttpAnswer& answer) {
    const QDateTime now = m_clock();
    RdapBootstrap copy;
    if (answer.kind == FetchOutcome::Kind::Page && answer.httpStatus == 200)
        copy = RdapBootstrap::parse(answer.body);
    if (!copy.isValid()) {
        m_dueAt = now.addSecs(std::chrono::seconds(kRetryAfterFailure).count());
        emit refreshed(false);
        return;
    }
    m_current = std::move(copy);
    m_origin = Origin::Fetched;
    m_dueAt = now.addSecs(freshnessOf(answer.headers, now).count());
    store(answer.body, now, m_dueAt);
    emit refreshed(true);
}

void RdapBootstrapSource::store(const QByteArray& json, const QDateTime& fetched,
                                const QDateTime& due) {
    if (m_cacheFolder.isEmpty() || !QDir().mkpath(m_cacheFolder))
        return;
    // The data first: a state beside an old copy only makes that copy due sooner.
    QSaveFile data(dataPath());
    if (!data.open(QIODevice::WriteOnly) || data.write(json) != json.size() || !data.commit())
        return;
    QJsonObject state;
    state.insert(u"fetched", fetched.toUTC().toString(Qt::ISODate));
    state.insert(u"due", due.toUTC().toString(Qt::ISODate));
    QSaveFile stateFile(statePath());
    if (stateFile.open(QIODevice::WriteOnly)) {
        stateFile.write(QJsonDocument(state).toJson(QJsonDocument::Compact));
        stateFile.commit();
    }
}

std::chrono::seconds RdapBootstrapSource::freshnessOf(const HttpHeaders& headers,
                                                      const QDateTime& now) {
    std::optional<qint64> seconds;
    static const QRegularExpression maxAge(QStringLiteral("(?:^|[,\\s])max-age\\s*=\\s*(\\d{1,9})"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match =
        maxAge.match(QString::fromLatin1(HeaderValue(headers, "Cache-Control").left(256)));
    if (match.hasMatch()) {
        seconds = match.captured(1).toLongLong();
    } else {
        const QDateTime expires = ReadHttpDate(HeaderValue(headers, "Expires"));
        if (expires.isValid())
            seconds = now.secsTo(expires);
    }
    if (!seconds)
        return kDefaultFreshness;
    return std::chrono::seconds(std::clamp<qint64>(*seconds,
                                                   std::chrono::seconds(kMinFreshness).count(),
                                                   std::chrono::seconds(kMaxFreshness).count()));
}
