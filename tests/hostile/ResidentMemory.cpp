#include "ResidentMemory.h"

#include <fstream>
#include <sstream>
#include <string>

ResidentMemory residentMemory() {
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

bool restartPeakResidentMemory() {
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";
    clearRefs.flush();
    return clearRefs.good();
}
