#include "core/data_lock.h"

#include "core/paths.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <QThread>

#include <signal.h>
#include <algorithm>
#include <cerrno>

namespace quandor {

namespace {

// A lock file is created empty and written at once; content that still cannot
// be read after this long was never going to be.
constexpr qint64 kUnreadableGraceMs = 1000;

enum class Staleness { Live, Stale, TooYoung };

QString processName(qint64 pid) {
    const QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
    return exe.isEmpty() ? QString() : QFileInfo(exe).fileName();
}

Staleness staleness(const QString& path) {
    const DataFolderLock::Holder h = [&] {
        DataFolderLock::Holder holder;
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return holder;
        const QList<QByteArray> lines = f.read(4096).split('\n');
        bool ok = false;
        holder.pid = lines.value(0).trimmed().toLongLong(&ok);
        holder.readable = ok && holder.pid > 0 && lines.size() >= 3;
        holder.app = QString::fromUtf8(lines.value(1));
        holder.host = QString::fromUtf8(lines.value(2));
        return holder;
    }();
    if (!QFileInfo::exists(path)) return Staleness::Stale;
    if (!h.readable) {
        const QDateTime modified = QFileInfo(path).lastModified();
        const qint64 age = modified.msecsTo(QDateTime::currentDateTime());
        return std::abs(age) < kUnreadableGraceMs ? Staleness::TooYoung : Staleness::Stale;
    }
    // A lock of another computer (a shared network folder) cannot be checked.
    if (!h.host.isEmpty() && h.host != QSysInfo::machineHostName()) return Staleness::Live;
    if (::kill(static_cast<pid_t>(h.pid), 0) == -1 && errno == ESRCH) return Staleness::Stale;
    // The number now belongs to another program.
    const QString running = processName(h.pid);
    if (!running.isEmpty() && !h.app.isEmpty() && running != h.app) return Staleness::Stale;
    return Staleness::Live;
}

}  // namespace

QString DataFolderLock::lockFilePath(const QString& folder) {
    return Paths::join(folder, QStringLiteral("Quandor.lock"));
}

bool DataFolderLock::isStale(const QString& path) {
    return staleness(path) == Staleness::Stale;
}

DataFolderLock::Holder DataFolderLock::holder(const QString& folder) {
    Holder h;
    QFile f(lockFilePath(folder));
    if (!f.open(QIODevice::ReadOnly)) return h;
    const QList<QByteArray> lines = f.read(4096).split('\n');
    bool ok = false;
    h.pid = lines.value(0).trimmed().toLongLong(&ok);
    h.readable = ok && h.pid > 0;
    if (!h.readable) h.pid = 0;
    h.app = QString::fromUtf8(lines.value(1));
    h.host = QString::fromUtf8(lines.value(2));
    return h;
}

LockOutcome DataFolderLock::acquire(const QString& folder, int waitMs,
                                    std::unique_ptr<QLockFile>* lock) {
    const QString path = lockFilePath(folder);
    auto candidate = std::make_unique<QLockFile>(path);
    candidate->setStaleLockTime(0);  // a live program keeps its lock however long it runs
    // Bounded: each round either takes the lock, removes a stale one or waits
    // a little for a lock file that is being written right now.
    for (int round = 0; round < 40; ++round) {
        if (candidate->tryLock(round == 0 ? std::max(waitMs, 0) : 0)) {
            *lock = std::move(candidate);
            return LockOutcome::Taken;
        }
        if (candidate->error() != QLockFile::LockFailedError) return LockOutcome::Impossible;
        switch (staleness(path)) {
            case Staleness::Live:
                return LockOutcome::Held;
            case Staleness::Stale:
                // Qt's removal guards against two programs removing at once.
                if (!candidate->removeStaleLockFile()) QThread::msleep(50);
                break;
            case Staleness::TooYoung:
                QThread::msleep(100);
                break;
        }
    }
    return LockOutcome::Held;
}

}  // namespace quandor
