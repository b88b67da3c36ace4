#pragma once
// The documents folder and the copies in it: every document a person attaches
// is copied there under a name of its own, and the record keeps the copy's
// path. These are the file-system steps without any UI, so the panels, the
// command line and the tests share them.

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace quandor {

// "512 bytes", "1,5 KB", "1 MB": divided by 1024 while at least 1024 (at most
// five times), one decimal when the fraction is at least 0.1.
QString documentSizeText(qint64 bytes, const QLocale& locale = QLocale());

// Why the documents folder cannot take copies; empty when it can (it exists,
// is a folder and is writable).
QString documentsFolderProblem(const QString& folder);

// The copy name for `sourceName` attached at `now`: the whole seconds since
// 1970, "_" and the name made safe for a file name. `attempt` 2, 3, … gives
// "-2", "-3" before the extension, for a name that is already taken.
QString documentCopyName(const QDateTime& now, const QString& sourceName, int attempt = 1);

struct DocumentCopy {
    bool ok = false;
    QString path;    // the copy, when ok
    QString reason;  // German, when not ok
};

// Copies `source` into `folder` under a new copy name. An existing file is
// never replaced: a taken name gives the next attempt's name. The copy
// appears whole or not at all (written beside, synced, then linked in).
DocumentCopy copyIntoDocuments(const QString& source, const QString& folder, const QDateTime& now);

// What a document panel shows for a stored path.
struct DocumentInfo {
    enum class State { None, Missing, Present };
    State state = State::None;
    QString iconName;  // "dropIt", "No", or the file type's icon name (freedesktop)
    QString title;     // file name without extension, or "Datei nicht mehr vorhanden"
    QString kind;      // the file type's description
    QString size;
    QString created;
    QString modified;
};

DocumentInfo documentInfo(const QString& path, const QLocale& locale = QLocale());

}  // namespace quandor
