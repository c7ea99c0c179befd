#pragma once

#include "sandbox/SandboxServer.h"

#include <memory>
#include <string>

// How a stretch of answers fails: the mode, and the share of answers it hits.
struct FailureSetting {
    FailureMode mode = FailureMode::ServerError;
    double share = 0.0;
};

std::string FailureName(FailureMode mode);
// The note the stand-in logs for an answer that failed this way.
std::string FailureNote(FailureMode mode);

// The stand-in services on one port, started again with another failure setting between two
// requests. A stand-in fails in one way only; restarting it on the same port lets one search
// or check meet all three while the program keeps its one address.
class SwitchingStandIn {
public:
    SwitchingStandIn(std::shared_ptr<const DomainCatalog> catalog, SandboxOptions options);

    // On a free port; false when none could be bound.
    bool start(const FailureSetting& setting);
    // Stops the running stand-in (cutting its hangs short) and serves again on the same port.
    bool switchTo(const FailureSetting& setting);
    // Returns once every request has been answered and logged.
    void stop();
    int port() const { return m_port; }

private:
    bool startOn(int port, const FailureSetting& setting);

    std::shared_ptr<const DomainCatalog> m_catalog;
    SandboxOptions m_options;
    std::unique_ptr<SandboxServer> m_server;
    int m_port = -1;
    int m_starts = 0;
};
