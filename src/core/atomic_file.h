#pragma once
// Files that appear whole or not at all.
//
// Every file the program writes goes through here: the bytes go to a
// temporary file beside the target, are flushed and synced to the disk, and
// only then renamed over the old file; the folder is synced after the rename,
// so a power cut after a completed write cannot take the write back. Any
// failure on the way (a full disk, a missing folder, no permission) leaves the
// old file as it was and yields a German reason.

#include <QByteArray>
#include <QSaveFile>
#include <QString>

namespace quandor {

// The German reason for a failed file operation on `path`, from the system's
// error number (errno).
QString fileErrorReason(int error, const QString& path);

// The German reason why `path` could not be opened for reading (errno).
QString fileReadErrorReason(int error);

// Writes `bytes` to `path`, replacing it atomically. False with a German
// reason in `reason` when anything failed; the previous file is then unchanged.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* reason);

// The same for writers that stream their output (PDF pages, large archives):
//   AtomicFile f(path); if (!f.open(&why)) …; write to f.device(); f.commit(&why);
// A file that is neither committed nor cancelled is discarded.
class AtomicFile {
  public:
    explicit AtomicFile(const QString& path);
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool open(QString* reason);
    QIODevice& device() { return file_; }
    // Flushes, syncs, checks every write and renames over the target.
    bool commit(QString* reason);
    void cancel() { file_.cancelWriting(); }

  private:
    QString path_;
    QSaveFile file_;
};

// Syncs the folder's entry list to the disk (after a rename into it).
void syncFolder(const QString& folder);

}  // namespace quandor
