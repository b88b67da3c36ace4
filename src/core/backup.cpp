#include "core/backup.h"

#include "core/app_delegate.h"
#include "core/settings.h"
#include "core/settings_keys.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <zip.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace quandor {

namespace P = prefs;

namespace {

const QString kOK = QStringLiteral("OK");

// Files that are already compressed gain nothing from deflating again; storing
// them keeps a backup of many scanned documents fast.
bool storeUncompressed(const QString& name) {
    static const QSet<QString> packed = {
        QStringLiteral("pdf"),  QStringLiteral("jpg"), QStringLiteral("jpeg"),
        QStringLiteral("png"),  QStringLiteral("gif"), QStringLiteral("heic"),
        QStringLiteral("zip"),  QStringLiteral("gz"),  QStringLiteral("bz2"),
        QStringLiteral("xz"),   QStringLiteral("7z"),  QStringLiteral("docx"),
        QStringLiteral("xlsx"), QStringLiteral("odt"), QStringLiteral("ods"),
        QStringLiteral("mp4"),  QStringLiteral("mov"), QStringLiteral("mp3"),
        QStringLiteral("m4a"),  QStringLiteral("webp")};
    return packed.contains(QFileInfo(name).suffix().toLower());
}

struct ProgressState {
    const BackupProgress* progress = nullptr;
    bool cancelled = false;
};

void onProgress(zip_t*, double fraction, void* ud) {
    auto* state = static_cast<ProgressState*>(ud);
    if (state->progress && *state->progress && !(*state->progress)(fraction))
        state->cancelled = true;
}

int onCancel(zip_t*, void* ud) {
    return static_cast<ProgressState*>(ud)->cancelled ? 1 : 0;
}

QString zipReason(zip_t* za) {
    const char* text = za ? zip_strerror(za) : nullptr;
    return text ? QString::fromLocal8Bit(text) : QString();
}

bool isInside(const QString& path, const QString& folder) {
    return !folder.isEmpty() && (path == folder || path.startsWith(folder + QLatin1Char('/')));
}

}  // namespace

int nextBackupSlot(int64_t backupCount) {
    if (backupCount < 0 || backupCount > kBackupSlots) backupCount = 0;
    return backupCount == kBackupSlots ? 1 : static_cast<int>(backupCount) + 1;
}

QString backupSlotPath(const QString& backupFolder, int slot) {
    return Paths::join(backupFolder, QStringLiteral("Quandor_Backup_%1.zip").arg(slot));
}

QString backupFolderMissingMessage() {
    return QStringLiteral(
        "Der in den Einstellungen angegebene Pfad für das Backup ist nicht vorhanden oder "
        "beschreibbar.");
}

bool zipFolder(const QString& folder, const QString& target, QString* error,
               const BackupProgress& progress) {
    auto fail = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    const QFileInfo folderInfo(folder);
    if (!folderInfo.isDir())
        return fail(QStringLiteral("Der Datenordner „%1“ ist nicht vorhanden.").arg(folder));
    const QString root = folderInfo.canonicalFilePath();
    const QString rootName = QFileInfo(root).fileName();
    const QFileInfo targetInfo(target);
    const QString targetFolder = targetInfo.absoluteDir().canonicalPath();
    if (targetFolder.isEmpty())
        return fail(
            QStringLiteral("Der Ordner „%1“ ist nicht vorhanden.").arg(targetInfo.absolutePath()));
    // Never archive the archives: a backup folder inside the data folder is left
    // out; when it is the data folder itself, the slots and their temporary files are.
    const QString skipFolder =
        isInside(targetFolder, root) && targetFolder != root ? targetFolder : QString();
    static const QRegularExpression slotName(QStringLiteral("^\\.?Quandor_Backup_\\d+\\.zip"));

    // What goes in, in a stable order: folders and files below the root. A linked
    // file is stored with its content; linked folders are not followed (no loops).
    std::vector<QFileInfo> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString path = info.absoluteFilePath();
        if (isInside(path, skipFolder)) continue;
        const bool inRoot = info.absolutePath() == root;
        if (inRoot && targetFolder == root && slotName.match(info.fileName()).hasMatch()) continue;
        if (info.isDir()) {
            if (!info.isSymLink()) entries.push_back(info);
        } else if (info.isFile()) {
            if (inRoot && info.fileName() == QLatin1String("Quandor.lock")) continue;
            entries.push_back(info);
        }
    }
    std::sort(entries.begin(), entries.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.absoluteFilePath() < b.absoluteFilePath();
    });

    // Written beside the slot under a temporary name, renamed over it when whole.
    const QString temporary = Paths::join(targetInfo.absolutePath(),
                                          QStringLiteral(".%1.tmp").arg(targetInfo.fileName()));
    const QByteArray temporaryName = QFile::encodeName(temporary);
    // What an interrupted backup of this slot left behind (the program ended
    // while writing) goes first; a file younger than ten minutes may still be written.
    const QDir slotFolder(targetInfo.absolutePath());
    for (const QFileInfo& left : slotFolder.entryInfoList(
             {QStringLiteral(".%1.tmp*").arg(targetInfo.fileName())}, QDir::Files | QDir::Hidden))
        if (left.lastModified().secsTo(QDateTime::currentDateTime()) > 600)
            QFile::remove(left.absoluteFilePath());
    int zipError = 0;
    zip_t* za = zip_open(temporaryName.constData(), ZIP_CREATE | ZIP_TRUNCATE, &zipError);
    if (!za) {
        zip_error_t e;
        zip_error_init_with_code(&e, zipError);
        const QString why = QString::fromLocal8Bit(zip_error_strerror(&e));
        zip_error_fini(&e);
        return fail(QStringLiteral("Die Sicherungsdatei kann nicht angelegt werden – fehlen die "
                                   "Schreibrechte für den Ordner? (%1)")
                        .arg(why));
    }
    auto abandon = [&](const QString& why) {
        zip_discard(za);
        QFile::remove(temporary);
        return fail(why);
    };

    const QByteArray top = (rootName + QLatin1Char('/')).toUtf8();
    if (zip_dir_add(za, top.constData(), ZIP_FL_ENC_UTF_8) < 0)
        return abandon(
            QStringLiteral("Das Archiv konnte nicht aufgebaut werden (%1).").arg(zipReason(za)));
    const QDir rootDir(root);
    for (const QFileInfo& info : entries) {
        const QString relative = rootDir.relativeFilePath(info.absoluteFilePath());
        const QByteArray name = (rootName + QLatin1Char('/') + relative +
                                 (info.isDir() ? QStringLiteral("/") : QString()))
                                    .toUtf8();
        if (info.isDir()) {
            if (zip_dir_add(za, name.constData(), ZIP_FL_ENC_UTF_8) < 0)
                return abandon(QStringLiteral("Das Archiv konnte nicht aufgebaut werden (%1).")
                                   .arg(zipReason(za)));
            continue;
        }
        const QByteArray source = QFile::encodeName(info.absoluteFilePath());
        zip_source_t* src = zip_source_file(za, source.constData(), 0, -1);
        if (!src)
            return abandon(QStringLiteral("Die Datei „%1“ kann nicht gelesen werden (%2).")
                               .arg(info.absoluteFilePath(), zipReason(za)));
        const zip_int64_t index = zip_file_add(za, name.constData(), src, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(src);
            return abandon(QStringLiteral("Das Archiv konnte nicht aufgebaut werden (%1).")
                               .arg(zipReason(za)));
        }
        // Fast deflating: a backup runs often, its size matters less than its time.
        if (storeUncompressed(info.fileName()))
            zip_set_file_compression(za, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
        else
            zip_set_file_compression(za, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 1);
    }

    ProgressState state{&progress, false};
    zip_register_progress_callback_with_state(za, 0.01, onProgress, nullptr, &state);
    zip_register_cancel_callback_with_state(za, onCancel, nullptr, &state);
    // zip_close reads every file and writes the archive.
    if (zip_close(za) != 0) {
        const QString why = state.cancelled
                                ? QStringLiteral("Die Sicherung wurde abgebrochen.")
                                : QStringLiteral(
                                      "Beim Schreiben des Archivs ist ein Fehler aufgetreten – "
                                      "vielleicht ist der Datenträger voll. (%1)")
                                      .arg(zipReason(za));
        return abandon(why);
    }
    if (state.cancelled) {
        QFile::remove(temporary);
        return fail(QStringLiteral("Die Sicherung wurde abgebrochen."));
    }
    // rename(2) puts the new archive in place of the old one in one step.
    if (std::rename(temporaryName.constData(), QFile::encodeName(target).constData()) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(temporary);
        return fail(
            QStringLiteral("Die neue Sicherung konnte nicht an die Stelle der alten treten (%1).")
                .arg(why));
    }
    return true;
}

std::optional<BackupJob> prepareBackup(QuandorAppDelegate& delegate) {
    Settings& settings = delegate.settings();
    const QString backupFolder = delegate.paths().expandTilde(settings.getPath(P::prefsBackupPath));
    const QFileInfo folderInfo(backupFolder);
    if (backupFolder.isEmpty() || !folderInfo.isDir()) {
        delegate.ui().alert(AlertStyle::Critical, QStringLiteral("Fehler!"),
                            backupFolderMissingMessage(), {kOK});
        return std::nullopt;
    }
    BackupJob job;
    job.slot = nextBackupSlot(settings.getInt(P::backupCount));
    job.target = backupSlotPath(backupFolder, job.slot);
    // The folder of the open database, wherever the settings point by now.
    const QString databasePath = delegate.openDatabasePath();
    job.dataFolder = QFileInfo(databasePath).absolutePath();
    if (!QFileInfo(job.dataFolder).isDir()) {
        delegate.ui().alert(AlertStyle::Critical, QStringLiteral("Fehler!"),
                            QStringLiteral("Der Ordner deiner Quandor Datenbank „%1“ ist nicht "
                                           "erreichbar. Es wurde keine Sicherung angelegt.")
                                .arg(job.dataFolder),
                            {kOK});
        return std::nullopt;
    }
    return job;
}

void finishBackup(QuandorAppDelegate& delegate, const BackupJob& job, bool ok,
                  const QString& error) {
    if (ok) {
        delegate.settings().setInt(P::backupCount, job.slot);
        delegate.settings().sync();
        return;
    }
    delegate.ui().alert(AlertStyle::Critical, QStringLiteral("Fehler!"),
                        QStringLiteral("Die Sicherung „%1“ konnte nicht angelegt werden: %2\n\n"
                                       "Deine bisherigen Sicherungen bleiben unverändert erhalten.")
                            .arg(job.target, error),
                        {kOK});
}

std::optional<QString> performBackup(QuandorAppDelegate& delegate, const BackupProgress& progress) {
    const auto job = prepareBackup(delegate);
    if (!job) return std::nullopt;
    QString error;
    const bool ok = zipFolder(job->dataFolder, job->target, &error, progress);
    finishBackup(delegate, *job, ok, error);
    if (!ok) return std::nullopt;
    return job->target;
}

}  // namespace quandor
