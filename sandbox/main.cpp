#include "DomainCatalog.h"
#include "GenerateDomains.h"
#include "LoadDomainCsv.h"
#include "SandboxClock.h"
#include "SandboxCommandLine.h"
#include "SandboxServer.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <pthread.h>

namespace {

std::shared_ptr<const DomainCatalog> LoadCatalog(const SandboxSettings& settings) {
    if (!settings.csvPath.isEmpty()) {
        DomainCsv csv = LoadDomainCsv(settings.csvPath.toStdString());
        if (!csv.error.empty()) {
            std::cerr << "morrowcatch-sandbox: " << settings.csvPath.toStdString() << ": "
                      << csv.error << '\n';
            return nullptr;
        }
        return std::make_shared<const DomainCatalog>(std::move(csv.domains));
    }
    // The real day, not the shifted one: the same names keep the same dates whatever the offset,
    // so a restart with a later clock finds them past their drop.
    const QDate today = SystemNow().date();
    return std::make_shared<const DomainCatalog>(
        GenerateDomains(settings.domainCount, settings.seed.value_or(DefaultSeed(today)), today));
}

} // namespace

int main(int argc, char** argv) {
    // The server threads inherit this mask, so only sigwait below sees the stop signals.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    QCoreApplication app(argc, argv);
    const SandboxCommandLine commandLine = ParseSandboxCommandLine(app.arguments());
    if (commandLine.help) {
        std::cout << commandLine.usage.toStdString();
        return 0;
    }
    if (!commandLine.error.isEmpty()) {
        std::cerr << "morrowcatch-sandbox: " << commandLine.error.toStdString()
                  << "\nTry --help.\n";
        return 2;
    }
    SandboxSettings settings = commandLine.settings;

    const std::shared_ptr<const DomainCatalog> catalog = LoadCatalog(settings);
    if (!catalog)
        return 1;

    std::ofstream logFile;
    if (settings.logPath == u"-") {
        settings.options.log = [](const std::string& line) { std::cout << line << std::endl; };
    } else if (!settings.logPath.isEmpty()) {
        logFile.open(settings.logPath.toStdString(), std::ios::app);
        if (!logFile) {
            std::cerr << "morrowcatch-sandbox: cannot write " << settings.logPath.toStdString()
                      << '\n';
            return 1;
        }
        settings.options.log = [&logFile](const std::string& line) {
            logFile << line << std::endl;
        };
    }

    settings.options.now = ShiftedClock(SystemNow, settings.clockOffset);
    SandboxServer server(catalog, settings.options);
    const int port = server.start(settings.port);
    if (port < 0) {
        std::cerr << "morrowcatch-sandbox: cannot listen on 127.0.0.1:" << settings.port;
        if (settings.options.whoisPort)
            std::cerr << " and 127.0.0.1:" << *settings.options.whoisPort;
        std::cerr << '\n';
        return 1;
    }
    std::cout << "morrowcatch-sandbox: " << catalog->size() << " names on http://127.0.0.1:" << port
              << "/ (list at /?..., availability at /check/check_ac1.cgi?domain=...)" << std::endl;
    std::cout << "morrowcatch-sandbox: RDAP bootstrap at http://127.0.0.1:" << port
              << "/rdap/dns.json, RDAP at http://127.0.0.1:" << port << "/rdap/";
    if (server.whoisPort() > 0)
        std::cout << ", WHOIS at 127.0.0.1:" << server.whoisPort();
    std::cout << std::endl;
    if (settings.clockOffset != std::chrono::seconds::zero())
        std::cout << "morrowcatch-sandbox: clock shifted by " << settings.clockOffset.count()
                  << " s to " << settings.options.now().toString(Qt::ISODate).toStdString()
                  << std::endl;

    int received = 0;
    sigwait(&stopSignals, &received);
    server.stop();
    std::cout << "morrowcatch-sandbox: stopped" << std::endl;
    return 0;
}
