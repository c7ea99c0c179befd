#pragma once

#include <string>

// What this process holds, read from /proc/self.
struct OpenDescriptors {
    int total = -1;
    int sockets = -1;
};

// VmRSS in KiB, or -1 when /proc cannot be read. Hands freed heap back to the system first, so
// that the figure follows live memory rather than what the allocator keeps for later.
long ResidentKiB();

OpenDescriptors CountOpenDescriptors();

// "12.3 MiB" for a size in KiB; negative sizes keep their sign.
std::string FormatKiB(long kib);
