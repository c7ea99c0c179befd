#pragma once

#include <QString>

// Where a watched name stands. The numbers are stored in the watch list file: never renumber.
// Caught: found free, then found registered again by someone else.
enum class WatchState { AwaitingDeletion = 0, Watching = 1, Free = 2, GivenUp = 3, Caught = 4 };

// The text the user sees for a state.
QString watchStateText(WatchState state);

// Free, given-up and caught names are no longer checked on their own.
bool isFinished(WatchState state);
