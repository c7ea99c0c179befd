#include "StandInServer.h"

#include "StandInData.h"

StandInServer::StandInServer(size_t domainCount) : m_catalog(StandInData::catalog(domainCount)) {
    SandboxOptions options;
    options.now = [] { return QDateTime(StandInData::fixedToday(), QTime(0, 0)); };
    m_server = std::make_unique<SandboxServer>(m_catalog, options);
    m_port = m_server->start(0);
}

QString StandInServer::base() const {
    return QStringLiteral("http://127.0.0.1:") + QString::number(m_port);
}
