#pragma once
// The rotating backups: six zip archives "Quandor_Backup_1.zip" …
// "Quandor_Backup_6.zip" in the backup folder ("prefsBackupPath"), each holding
// the whole data folder under the folder's own name. "backupCount" remembers
// the slot written last (0: none yet).
//
// A backup never destroys the slot it replaces before the new archive is
// complete: the archive is written beside the slot under a temporary name and
// renamed over it only when it was written whole. A failed backup is told in
// German and leaves "backupCount" and every slot as they were.
//
// The work is split so the window can zip off the main thread:
//   prepareBackup (main thread: checks, alerts) →
//   zipFolder     (any thread: touches no program state, reports progress) →
//   finishBackup  (main thread: stores "backupCount" or reports the failure).
// performBackup runs the three in a row (quandor-cli, tests).

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace quandor {

class QuandorAppDelegate;

inline constexpr int kBackupSlots = 6;

// The slot after the one stored in "backupCount": 1 … 6, then 1 again. A count
// outside 0 … 6 (a hand-edited settings file) counts as 0.
int nextBackupSlot(int64_t backupCount);
// "<folder>/Quandor_Backup_<slot>.zip"
QString backupSlotPath(const QString& backupFolder, int slot);

// Progress of the zipping: the part done, 0 … 1. Answering false cancels.
using BackupProgress = std::function<bool(double fraction)>;

// Writes a zip archive of `folder` (its whole tree under the folder's own
// name) to `target`, replacing `target` only when the archive is complete.
// Skips the running program's lock file and, should it lie inside `folder`,
// the folder the archive is written to. False with a German reason on failure
// (or when `progress` cancelled); `target` is then untouched.
bool zipFolder(const QString& folder, const QString& target, QString* error,
               const BackupProgress& progress = {});

struct BackupJob {
    QString dataFolder;
    QString target;
    int slot = 0;
};

// Steps 1-2: the backup folder must exist (else the "Fehler!" alert), the
// data folder is the folder of the database file. Nothing when the backup
// cannot start (the person has been told).
std::optional<BackupJob> prepareBackup(QuandorAppDelegate& delegate);
// After zipFolder: on success store the slot as "backupCount"; on failure
// tell the person (German "Fehler!" alert) and change nothing.
void finishBackup(QuandorAppDelegate& delegate, const BackupJob& job, bool ok,
                  const QString& error);

// The whole backup on the calling thread. The written slot's path, or nothing.
std::optional<QString> performBackup(QuandorAppDelegate& delegate,
                                     const BackupProgress& progress = {});

// The alert texts, for the window layer and tests.
QString backupFolderMissingMessage();

}  // namespace quandor
