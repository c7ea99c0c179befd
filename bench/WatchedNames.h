#pragma once

#include "watch/WatchMonitor.h"

#include <QDateTime>
#include <QString>

// A watch list file as a user with a long list has it: `count` names, every one with a deletion
// date 30 to 59 days after `now`, so that none is due while a benchmark runs. Written in one
// transaction; false when the file could not be written.
bool WriteWatchedNames(const QString& path, int count, const QDateTime& now);

// Gives every name of the closed file at `path` a log of `checksPerName` checks ten minutes
// apart, the newest at `now`, each one registered, as a list watched for weeks has; one
// transaction.
bool WriteCheckLogs(const QString& path, int checksPerName, const QDateTime& now);

// The benchmarks' clock: a fixed moment that moves on with real time, so timers behave as they
// do for a user while the dates stay the same from run to run.
QDateTime BenchNow();
WatchMonitor::Clock MovingBenchClock();
