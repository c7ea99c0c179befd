#include "registry/RegistryAccess.h"

RegistryAccess::RegistryAccess(const RegistrySettings& settings, RegistryLookup::WallClock clock,
                               QObject* parent)
    : QObject(parent), m_enabled(settings.enabled),
      m_bootstrap(settings.cacheFolder, settings.bootstrapAddress, clock),
      m_queue(settings.spacing), m_lookup(m_bootstrap, m_queue, clock) {
    m_lookup.setWhoisOverride(settings.whoisOverride);
}
