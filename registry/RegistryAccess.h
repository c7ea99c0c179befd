#pragma once

#include "registry/RdapBootstrapSource.h"
#include "registry/RegistryLookup.h"
#include "registry/RegistryQueue.h"

#include <QObject>
#include <QString>

#include <chrono>

// How the program reaches the registries; the settings file can change each of these.
struct RegistrySettings {
    QString bootstrapAddress = RdapBootstrapSource::defaultAddress();
    // "HOST:PORT": the one WHOIS server asked for every top-level domain without RDAP.
    QString whoisOverride;
    std::chrono::milliseconds spacing = RegistryPacing::kDefaultSpacing;
    bool enabled = true;
    // Where the bootstrap file is kept between runs.
    QString cacheFolder = RdapBootstrapSource::defaultCacheFolder();

    // Nobody asks the registries: for tests and tools that do not.
    static RegistrySettings off() {
        RegistrySettings settings;
        settings.enabled = false;
        return settings;
    }
};

// The program's one way to the registries: the bootstrap, the queue whose pacing every caller
// shares, and the lookup on top of them.
class RegistryAccess : public QObject {
    Q_OBJECT
public:
    RegistryAccess(const RegistrySettings& settings, RegistryLookup::WallClock clock,
                   QObject* parent = nullptr);

    // Off in the settings: nobody asks the registries.
    bool isEnabled() const { return m_enabled; }
    RegistryLookup& lookup() { return m_lookup; }
    RdapBootstrapSource& bootstrap() { return m_bootstrap; }
    RegistryQueue& queue() { return m_queue; }

private:
    bool m_enabled;
    RdapBootstrapSource m_bootstrap;
    RegistryQueue m_queue;
    RegistryLookup m_lookup;
};
