#include "documents/document_files.h"

#include "core/atomic_file.h"
#include "core/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>

namespace quandor {

namespace {

const QString kMissingTitle = QStringLiteral("Datei nicht mehr vorhanden");

// A file descriptor that closes itself.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
    int release() {
        const int f = fd;
        fd = -1;
        return f;
    }
};

// Copies all of `in` to `out`; 0 or the errno of the failed step.
int copyAll(int in, int out) {
    std::array<char, 1 << 16> buffer{};
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n == 0) return 0;
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buffer.data() + done, size_t(n - done));
            if (w < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            done += w;
        }
    }
}

// Moves `from` to `to` unless `to` exists: 0, EEXIST or another errno.
int moveNoReplace(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // File systems without the exclusive rename: a hard link never replaces either.
    if (::link(from.constData(), to.constData()) != 0) return errno;
    ::unlink(from.constData());
    return 0;
}

QString dateText(const QDateTime& time, const QLocale& locale) {
    if (!time.isValid()) return {};
    QString format = locale.dateFormat(QLocale::LongFormat);
    // The long style without the weekday ("1. Mai 2024").
    for (const QString& weekday : {QStringLiteral("dddd, "), QStringLiteral("dddd ")})
        if (format.startsWith(weekday)) format.remove(0, weekday.size());
    const QDateTime local = time.toLocalTime();
    return locale.toString(local.date(), format) + u' ' +
           locale.toString(local.time(), u"HH:mm:ss");
}

}  // namespace

QString documentSizeText(qint64 bytes, const QLocale& given) {
    QLocale locale = given;  // "1023 bytes", as printf would write it
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    static const std::array<const char*, 6> units = {"bytes", "KB", "MB", "GB", "TB", "PB"};
    double v = double(bytes < 0 ? 0 : bytes);
    size_t divisions = 0;
    while (v >= 1024.0 && divisions < 5) {
        v /= 1024.0;
        ++divisions;
    }
    const QString unit = QString::fromLatin1(units[divisions]);
    // One decimal, unless it would only say ",0" (1024 bytes are "1 KB", 1100 "1,1 KB").
    const double tenths = std::round(v * 10.0);
    if (std::fmod(tenths, 10.0) != 0.0) return locale.toString(tenths / 10.0, 'f', 1) + u' ' + unit;
    return locale.toString(v, 'f', 0) + u' ' + unit;
}

QString documentsFolderProblem(const QString& folder) {
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.exists() || !info.isDir() ||
        ::access(QFile::encodeName(info.absoluteFilePath()).constData(), W_OK | X_OK) != 0)
        return QStringLiteral(
            "Der in den Einstellungen angegebene Ordner für Dateien ist nicht vorhanden oder "
            "beschreibbar.");
    return {};
}

QString documentCopyName(const QDateTime& now, const QString& sourceName, int attempt) {
    QString name = Paths::safeFileName(sourceName);
    if (attempt > 1) {
        // Before the extension, so the copy keeps its type ("Beleg-2.pdf").
        const qsizetype dot = name.lastIndexOf(u'.');
        const QString suffix = QStringLiteral("-%1").arg(attempt);
        if (dot > 0)
            name.insert(dot, suffix);
        else
            name += suffix;
    }
    return QString::number(now.toSecsSinceEpoch()) + u'_' + name;
}

DocumentCopy copyIntoDocuments(const QString& source, const QString& folder, const QDateTime& now) {
    DocumentCopy result;
    const QFileInfo info(source);
    const QString shown = info.fileName().isEmpty() ? source : info.fileName();
    if (!info.exists()) {
        result.reason = QStringLiteral("Die Datei „%1“ gibt es nicht mehr.").arg(shown);
        return result;
    }
    if (info.isDir()) {
        result.reason = QStringLiteral("„%1“ ist ein Ordner. Bitte wähle eine Datei.").arg(shown);
        return result;
    }
    if (const QString problem = documentsFolderProblem(folder); !problem.isEmpty()) {
        result.reason = problem;
        return result;
    }
    Fd in{::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC)};
    if (in.fd < 0) {
        result.reason = QStringLiteral("Die Datei „%1“ lässt sich nicht lesen: %2.")
                            .arg(shown, fileReadErrorReason(errno));
        return result;
    }
    const QString dir = QDir(folder).absolutePath();
    QByteArray temp = QFile::encodeName(Paths::join(dir, QStringLiteral(".quandor-copy-XXXXXX")));
    Fd out{::mkstemp(temp.data())};
    if (out.fd < 0) {
        result.reason = fileErrorReason(errno, Paths::join(dir, shown));
        return result;
    }
    auto fail = [&](int error) {
        ::unlink(temp.constData());
        result.reason = error == EIO || error == EISDIR
                            ? QStringLiteral("Die Datei „%1“ lässt sich nicht lesen: %2.")
                                  .arg(shown, fileReadErrorReason(error))
                            : fileErrorReason(error, Paths::join(dir, shown));
        return result;
    };
    // mkstemp makes the file private; a copy gets the mode of any new file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(out.fd, 0666 & ~mask) != 0) return fail(errno);
    if (const int error = copyAll(in.fd, out.fd)) return fail(error);
    if (::fsync(out.fd) != 0) return fail(errno);
    if (::close(out.release()) != 0) return fail(errno);
    for (int attempt = 1; attempt <= 1000; ++attempt) {
        const QString target = Paths::join(dir, documentCopyName(now, info.fileName(), attempt));
        const int error = moveNoReplace(temp, QFile::encodeName(target));
        if (error == EEXIST) continue;
        if (error != 0) return fail(error);
        syncFolder(dir);
        result.ok = true;
        result.path = target;
        return result;
    }
    return fail(EEXIST);
}

DocumentInfo documentInfo(const QString& path, const QLocale& locale) {
    DocumentInfo info;
    if (path.isEmpty()) {
        info.iconName = QStringLiteral("dropIt");
        return info;
    }
    const QFileInfo file(path);
    if (!file.exists() || file.isDir()) {
        info.state = DocumentInfo::State::Missing;
        info.iconName = QStringLiteral("No");
        info.title = kMissingTitle;
        return info;
    }
    info.state = DocumentInfo::State::Present;
    static const QMimeDatabase mimes;
    const QMimeType type = mimes.mimeTypeForFile(file);
    info.iconName = type.iconName();
    info.kind = type.comment();
    info.title = file.completeBaseName();
    info.size = documentSizeText(file.size(), locale);
    info.created =
        dateText(file.birthTime().isValid() ? file.birthTime() : file.metadataChangeTime(), locale);
    info.modified = dateText(file.lastModified(), locale);
    return info;
}

}  // namespace quandor
