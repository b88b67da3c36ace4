// Placeholder until the reader and writer land.
#include "core/archive/archive.h"

#include <QFile>

namespace quandor::archive {
ReadResult read(const QByteArray&) { return {false, {}, QStringLiteral("Noch nicht verfügbar")}; }
ReadResult readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {false, {}, QStringLiteral("Datei nicht lesbar")};
    return read(f.readAll());
}
QByteArray write(const Value&) { return {}; }
}  // namespace quandor::archive
