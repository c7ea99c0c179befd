#pragma once

#include <QString>

// Why the watch list file could not be read or written, and how the user is told.
struct StoreProblem {
    enum class Cause {
        None,
        DiskFull,
        ReadOnlyFile,
        ReadOnlyFolder,
        Locked,
        NoPermission,
        CannotOpen,
        IoError,
        Damaged,
        ForeignFile,  // a database of something else
        NewerVersion, // written by a newer release of this program
        Unexpected,
    };
    Cause cause = Cause::None;

    // Only these prove the file itself unusable, so that it may be moved aside.
    bool provesDamage() const;
    // A short Simplified Chinese phrase, such as "磁盘已满".
    QString reason() const;
};

// SQLite's result code (primary or extended) as a cause, before the file system is asked.
StoreProblem::Cause StoreProblemCauseOfSqlite(int resultCode);

// The user's texts after opening the file: plain text, with the file's place in it.
QString MovedAsideNotice(const StoreProblem& problem, const QString& movedTo);
QString ReadOnlyNotice(const StoreProblem& problem, const QString& path);
QString InMemoryNotice(const StoreProblem& problem, const QString& path);
