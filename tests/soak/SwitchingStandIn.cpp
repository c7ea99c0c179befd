#include "SwitchingStandIn.h"

std::string FailureName(FailureMode mode) {
    switch (mode) {
    case FailureMode::Hang:
        return "hang past 5 s";
    case FailureMode::ServerError:
        return "500 page";
    case FailureMode::DropConnection:
        return "dropped connection";
    }
    return "?";
}

std::string FailureNote(FailureMode mode) {
    switch (mode) {
    case FailureMode::Hang:
        return "hang";
    case FailureMode::ServerError:
        return "500";
    case FailureMode::DropConnection:
        return "drop";
    }
    return "?";
}

SwitchingStandIn::SwitchingStandIn(std::shared_ptr<const DomainCatalog> catalog,
                                   SandboxOptions options)
    : m_catalog(std::move(catalog)), m_options(std::move(options)) {}

bool SwitchingStandIn::start(const FailureSetting& setting) {
    stop();
    return startOn(0, setting);
}

bool SwitchingStandIn::switchTo(const FailureSetting& setting) {
    const int port = m_port;
    stop();
    return port > 0 && startOn(port, setting);
}

void SwitchingStandIn::stop() {
    if (m_server)
        m_server->stop();
    m_server.reset();
}

bool SwitchingStandIn::startOn(int port, const FailureSetting& setting) {
    SandboxOptions options = m_options;
    options.failureMode = setting.mode;
    options.failureShare = setting.share;
    // Each stand-in picks its failing answers afresh.
    options.seed = m_options.seed + static_cast<std::uint64_t>(m_starts++);
    m_server = std::make_unique<SandboxServer>(m_catalog, std::move(options));
    m_port = m_server->start(port);
    return m_port > 0;
}
