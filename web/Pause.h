#pragma once

class Closing;

// Holds the caller for the given milliseconds on a monotonic clock while events keep being
// processed. Zero or negative durations return at once; so does every pause once the program
// is closing.
void Pause(double milliseconds, const Closing& closing);
