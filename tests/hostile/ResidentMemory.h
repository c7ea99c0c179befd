#pragma once

// The resident memory of this process, read from /proc/self/status, in KiB; -1 when unknown.
struct ResidentMemory {
    long currentKiB = -1;
    long peakKiB = -1;
};

ResidentMemory residentMemory();

// Starts the peak over from the current resident set. False where the kernel does not allow it.
bool restartPeakResidentMemory();
