#pragma once

#include <QString>

// Where a watched name stands. The numbers are stored in the watch list file: never renumber.
enum class WatchState { AwaitingDeletion = 0, Watching = 1, Free = 2, GivenUp = 3 };

// The text the user sees for a state.
QString watchStateText(WatchState state);

// Free and given-up names are no longer checked on their own.
bool isFinished(WatchState state);
