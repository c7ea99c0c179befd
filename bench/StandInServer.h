#pragma once

#include "sandbox/SandboxServer.h"

#include <QString>

#include <memory>

// The stand-in services in this process, on their own threads, answering at once.
class StandInServer {
public:
    explicit StandInServer(size_t domainCount);

    bool running() const { return m_port > 0; }
    // "http://127.0.0.1:port"
    QString base() const;
    std::shared_ptr<const DomainCatalog> catalog() const { return m_catalog; }

private:
    std::shared_ptr<const DomainCatalog> m_catalog;
    std::unique_ptr<SandboxServer> m_server;
    int m_port = -1;
};
