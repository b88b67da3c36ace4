#pragma once
// The lock that keeps two programs off one data folder ("Quandor.lock").
//
// A running program holds the lock however long it runs. A lock that no
// running program holds any more is taken over: one whose content cannot be
// read (a program killed while writing it leaves it empty or garbled) and one
// whose process no longer runs on this computer.

#include <QString>

#include <memory>

class QLockFile;

namespace quandor {

enum class LockOutcome {
    Taken,       // this program holds the lock now
    Held,        // another running program holds it
    Impossible,  // no lock file can be made there (missing or read-only folder)
};

class DataFolderLock {
  public:
    static QString lockFilePath(const QString& folder);

    // Tries for up to `waitMs` to take the folder's lock; on success `*lock`
    // holds it (an earlier lock in `*lock` is released). On any other outcome
    // `*lock` stays as it was.
    static LockOutcome acquire(const QString& folder, int waitMs, std::unique_ptr<QLockFile>* lock);

    // Who holds the folder's lock, as its lock file says.
    struct Holder {
        bool readable = false;
        qint64 pid = 0;
        QString app;
        QString host;
    };
    static Holder holder(const QString& folder);

    // True when the lock at `path` belongs to no running program: unreadable
    // content (once it is old enough not to be a lock being written right now),
    // or a process of this computer that no longer runs.
    static bool isStale(const QString& path);
};

}  // namespace quandor
