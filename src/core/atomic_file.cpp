#include "core/atomic_file.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

namespace quandor {

QString fileErrorReason(int error, const QString& path) {
    const QString folder = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
    switch (error) {
        case ENOSPC:
            return QStringLiteral("Auf dem Datenträger ist kein Platz mehr frei.");
        case EDQUOT:
            return QStringLiteral("Dein Speicherplatz auf diesem Datenträger ist aufgebraucht.");
        case EACCES:
        case EPERM:
            return QStringLiteral("Dir fehlen die Schreibrechte für den Ordner „%1“.").arg(folder);
        case EROFS:
            return QStringLiteral("Der Datenträger ist schreibgeschützt.");
        case ENOENT:
        case ENOTDIR:
            return QStringLiteral("Der Ordner „%1“ ist nicht vorhanden.").arg(folder);
        case EISDIR:
            return QStringLiteral("An dieser Stelle liegt ein Ordner, keine Datei.");
        case ENAMETOOLONG:
            return QStringLiteral("Der Dateiname ist zu lang.");
        case EIO:
            return QStringLiteral("Der Datenträger meldet einen Lese- oder Schreibfehler.");
        case EFBIG:
            return QStringLiteral("Die Datei ist zu groß für diesen Datenträger.");
        default:
            return QStringLiteral("Die Datei konnte nicht geschrieben werden (Systemfehler %1).")
                .arg(error);
    }
}

QString fileReadErrorReason(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return QStringLiteral("dir fehlen die Leserechte");
        case ENOENT:
            return QStringLiteral("die Datei ist nicht vorhanden");
        case EISDIR:
            return QStringLiteral("das ist ein Ordner");
        case EIO:
            return QStringLiteral("der Datenträger meldet einen Lesefehler");
        default:
            return QStringLiteral("Systemfehler %1").arg(error);
    }
}

void syncFolder(const QString& folder) {
    const QByteArray name = QFile::encodeName(folder);
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // not every file system can sync a folder; the rename is done either way
    ::close(fd);
}

namespace {

bool failWith(QString* reason, const QString& why) {
    if (reason) *reason = why;
    return false;
}

}  // namespace

AtomicFile::AtomicFile(const QString& path) : path_(path), file_(path) {}

bool AtomicFile::open(QString* reason) {
    const QFileInfo info(path_);
    if (info.isDir()) return failWith(reason, fileErrorReason(EISDIR, path_));
    if (!info.absoluteDir().exists()) return failWith(reason, fileErrorReason(ENOENT, path_));
    if (info.exists() && !info.isWritable())
        return failWith(reason, QStringLiteral("Die Datei „%1“ ist schreibgeschützt.")
                                    .arg(QDir::toNativeSeparators(path_)));
    errno = 0;
    if (!file_.open(QIODevice::WriteOnly))
        return failWith(reason, fileErrorReason(errno ? errno : EACCES, path_));
    return true;
}

bool AtomicFile::commit(QString* reason) {
    // QSaveFile::commit() passes over an error of its last buffer flush and
    // renames a truncated file into place; so flush and sync here and look.
    errno = 0;
    if (!file_.flush() || file_.error() != QFileDevice::NoError) {
        const int error = errno ? errno : ENOSPC;
        file_.cancelWriting();
        return failWith(reason, fileErrorReason(error, path_));
    }
    if (const int fd = file_.handle(); fd >= 0 && ::fsync(fd) != 0 && errno != EINVAL) {
        const int error = errno;
        file_.cancelWriting();
        return failWith(reason, fileErrorReason(error, path_));
    }
    errno = 0;
    if (!file_.commit()) {
        const int error = errno;
        return failWith(reason, error ? fileErrorReason(error, path_)
                                      : QStringLiteral("Die neue Datei konnte nicht an die "
                                                       "Stelle der alten treten."));
    }
    syncFolder(QFileInfo(path_).absolutePath());
    return true;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* reason) {
    AtomicFile file(path);
    if (!file.open(reason)) return false;
    errno = 0;
    if (file.device().write(bytes) != bytes.size()) {
        const int error = errno ? errno : ENOSPC;
        file.cancel();
        return failWith(reason, fileErrorReason(error, path));
    }
    return file.commit(reason);
}

}  // namespace quandor
