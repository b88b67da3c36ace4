#include "core/paths.h"

#include <QDir>
#include <QStandardPaths>

namespace quandor {

QString Paths::withSlash(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(u'/')) return folder;
    return folder + u'/';
}

QString Paths::join(const QString& folder, const QString& name) {
    QString f = folder;
    while (f.size() > 1 && f.endsWith(u'/')) f.chop(1);
    QString n = name;
    while (n.startsWith(u'/')) n.remove(0, 1);
    if (f.isEmpty()) return n;
    if (f == u"/") return f + n;
    return f + u'/' + n;
}

QString Paths::safeFileName(QStringView text) {
    QString name;
    name.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool control = u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029;
        name += (control || u == u'/' || u == u'\\') ? QChar(u'-') : c;
    }
    // Whole characters only: never cut a surrogate pair in two.
    while (name.toUtf8().size() > 200) {
        name.chop(1);
        if (!name.isEmpty() && name.back().isHighSurrogate()) name.chop(1);
    }
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral(".."))
        return QStringLiteral("_");
    return name;
}

QString Paths::expandTilde(const QString& path) const {
    if (path == u"~") return home;
    if (path.startsWith(u"~/")) return join(home, path.mid(2));
    return path;
}

Paths Paths::standard() {
    auto location = [](QStandardPaths::StandardLocation l) {
        return QStandardPaths::writableLocation(l);
    };
    const QString genericData = location(QStandardPaths::GenericDataLocation);
    Paths p;
    p.home = QDir::homePath();
    p.dataFolder = withSlash(join(genericData, QStringLiteral("Quandor")));
    p.documentsFolder = p.dataFolder + QStringLiteral("Documents/");
    p.backupFolder = withSlash(
        join(location(QStandardPaths::DocumentsLocation), QStringLiteral("Quandor/Backup")));
    p.elsterOutbox = withSlash(join(genericData, QStringLiteral("Winston/Ausgang")));
    p.reportsFolder = withSlash(
        join(location(QStandardPaths::DesktopLocation), QStringLiteral("Quandor Jahresberichte")));
    p.preferencesFolder = withSlash(location(QStandardPaths::GenericConfigLocation));
    return p;
}

Paths Paths::under(const QString& root) {
    Paths p;
    p.home = root;
    p.dataFolder = withSlash(join(root, QStringLiteral(".local/share/Quandor")));
    p.documentsFolder = p.dataFolder + QStringLiteral("Documents/");
    p.backupFolder = withSlash(join(root, QStringLiteral("Documents/Quandor/Backup")));
    p.elsterOutbox = withSlash(join(root, QStringLiteral(".local/share/Winston/Ausgang")));
    p.reportsFolder = withSlash(join(root, QStringLiteral("Desktop/Quandor Jahresberichte")));
    p.preferencesFolder = withSlash(join(root, QStringLiteral(".config")));
    return p;
}

}  // namespace quandor
