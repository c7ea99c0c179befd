#pragma once

#include <fstream>
#include <sstream>
#include <string>

// The resident memory of this process, read from /proc/self/status, in KiB; -1 when unknown.
struct ResidentMemory {
    long currentKiB = -1;
    long peakKiB = -1;
};

inline ResidentMemory residentMemory() {
    ResidentMemory memory;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        std::istringstream fields(line);
        std::string key;
        long kib = -1;
        fields >> key >> kib;
        if (key == "VmRSS:")
            memory.currentKiB = kib;
        else if (key == "VmHWM:")
            memory.peakKiB = kib;
    }
    return memory;
}

// Starts the peak over from the current resident set. False where the kernel does not allow it.
inline bool restartPeakResidentMemory() {
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";
    clearRefs.flush();
    return clearRefs.good();
}
