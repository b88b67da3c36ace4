#pragma once
// Where the program keeps its files on this machine. `Paths::standard()` gives
// the person's folders; tests and sandboxes pass a `Paths` of their own (for
// example `Paths::under(tempDir)`), so nothing touches the real home folder.
//
// Folder texts end with "/", as they are stored in the settings.

#include <QString>

namespace quandor {

struct Paths {
    QString home;             // "~" in stored paths stands for this folder
    QString dataFolder;       // default data folder (GenericDataLocation/Quandor/)
    QString documentsFolder;  // default folder of attached documents (data folder/Documents/)
    QString backupFolder;     // default backup folder (DocumentsLocation/Quandor/Backup/)
    QString elsterOutbox;     // outbox of the ELSTER client (GenericDataLocation/Winston/Ausgang/)
    QString reportsFolder;    // desktop folder of annual reports (Desktop/Quandor Jahresberichte/)
    QString preferencesFolder;  // where the first program generation kept its preference files

    // The person's folders as the platform names them.
    static Paths standard();
    // Every folder below `root` (with `root` as the home folder): for tests and sandboxes.
    static Paths under(const QString& root);

    // "~" and "~/…" become the home folder; other texts stay as they are.
    QString expandTilde(const QString& path) const;

    // `folder` and `name` joined by exactly one "/".
    static QString join(const QString& folder, const QString& name);
    // `folder` with one trailing "/".
    static QString withSlash(const QString& folder);

    // A file name made from text of the data (a year's name, a title): path
    // separators and control characters become "-", so the name can never
    // reach another folder; "", "." and ".." become "_"; at most 200 bytes.
    static QString safeFileName(QStringView text);
};

}  // namespace quandor
