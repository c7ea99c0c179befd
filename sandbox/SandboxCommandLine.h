#pragma once

#include "SandboxServer.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <optional>

// What the morrowcatch-sandbox command line asks for.
struct SandboxSettings {
    int port = 8730;
    size_t domainCount = 20000;
    QString csvPath; // empty: generate the data set
    std::optional<std::uint64_t> seed;
    QString logPath;                     // empty: no request log; "-": standard output
    std::chrono::seconds clockOffset{0}; // of the stand-in's clock from the machine's
    SandboxOptions options;              // options.whoisPort is none for --whois-port=0
};

struct SandboxCommandLine {
    SandboxSettings settings;
    QString error;     // set when the command line cannot be used
    bool help = false; // --help: print usage() and leave
    QString usage;
};

inline constexpr size_t kLargestDomainCount = 1'000'000;

SandboxCommandLine ParseSandboxCommandLine(const QStringList& arguments);
