#include "ProcessResources.h"

#include "support/ResidentMemory.h"

#include <malloc.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

long ResidentKiB() {
    malloc_trim(0);
    return residentMemory().currentKiB;
}

OpenDescriptors CountOpenDescriptors() {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator entries("/proc/self/fd", error);
    if (error)
        return {};
    OpenDescriptors open{0, 0};
    for (const fs::directory_entry& entry : entries) {
        // The listing's own descriptor counts too, the same at every reading.
        const fs::path target = fs::read_symlink(entry.path(), error);
        if (error)
            continue;
        ++open.total;
        if (target.native().starts_with("socket:"))
            ++open.sockets;
    }
    return open;
}

std::string FormatKiB(long kib) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(kib) / 1024.0);
    return text;
}
