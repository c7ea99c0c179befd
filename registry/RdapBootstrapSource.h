#pragma once

#include "registry/RdapBootstrap.h"
#include "registry/RegistryFetch.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>

// Keeps the bootstrap file current: the copy in the cache folder while it is fresh (24 hours,
// or what the answer's expiry headers said, within bounds), a new one fetched in the background
// when it is due, and until the first fetch succeeds the copy shipped with the program.
class RdapBootstrapSource : public QObject {
    Q_OBJECT
public:
    using WallClock = std::function<QDateTime()>;
    enum class Origin { Shipped, Cache, Fetched };

    static constexpr std::chrono::hours kDefaultFreshness{24};
    static constexpr std::chrono::hours kMinFreshness{1};
    static constexpr std::chrono::hours kMaxFreshness{7 * 24};
    // After a failed fetch, the next try waits this long.
    static constexpr std::chrono::hours kRetryAfterFailure{1};
    static constexpr std::chrono::milliseconds kFetchTimeLimit{30'000};

    static QString defaultAddress();
    // QStandardPaths::CacheLocation.
    static QString defaultCacheFolder();
    // The copy shipped with the program, as read from its resource.
    static QByteArray shippedCopy();

    RdapBootstrapSource(QString cacheFolder, QString address, WallClock clock,
                        QObject* parent = nullptr);

    const RdapBootstrap& current() const { return m_current; }
    Origin origin() const { return m_origin; }
    QDateTime dueAt() const { return m_dueAt; }
    bool isRefreshing() const { return m_fetch.isRunning(); }

    // Starts fetching a new copy when the current one is due and none is on its way.
    void refreshIfDue();

    // How long a fetched copy stays fresh, from its answer's headers: Cache-Control max-age, or
    // Expires, within kMinFreshness..kMaxFreshness; kDefaultFreshness without either.
    static std::chrono::seconds freshnessOf(const HttpHeaders& headers, const QDateTime& now);

signals:
    // A fetch ended; when it brought a good copy, current() is that copy.
    void refreshed(bool succeeded);

private:
    QString dataPath() const;
    QString statePath() const;
    bool loadCache();
    void store(const QByteArray& json, const QDateTime& fetched, const QDateTime& due);
    void fetched(const HttpAnswer& answer);

    QString m_cacheFolder;
    QString m_address;
    WallClock m_clock;
    RdapBootstrap m_current;
    Origin m_origin = Origin::Shipped;
    QDateTime m_dueAt;
    RegistryFetch m_fetch;
};
