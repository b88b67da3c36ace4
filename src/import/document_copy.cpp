#include "import/document_copy.h"

#include "core/paths.h"

#include <QFile>
#include <QFileInfo>

namespace quandor {

QString pdfProblem(const QString& source) {
    const QFileInfo info(source);
    if (source.isEmpty() || !info.exists()) return QStringLiteral("die PDF-Datei ist nicht vorhanden");
    QFile in(source);
    if (!info.isFile() || !in.open(QIODevice::ReadOnly)) return QStringLiteral("die PDF-Datei lässt sich nicht lesen");
    if (in.read(5) != "%PDF-") return QStringLiteral("„%1“ ist keine PDF-Datei").arg(info.fileName());
    return QString();
}

std::optional<QString> copyPdfIntoDocuments(const QString& source, const QString& folder, qint64 seconds,
                                            QString* problem) {
    *problem = pdfProblem(source);
    if (!problem->isEmpty()) return std::nullopt;
    const QFileInfo info(source);
    const QString name = Paths::safeFileName(info.fileName());
    for (int n = 1; n < 1000; ++n) {
        const QString copy = Paths::join(folder, n == 1 ? QStringLiteral("%1_%2").arg(seconds).arg(name)
                                                        : QStringLiteral("%1_%2_%3").arg(seconds).arg(n).arg(name));
        if (QFileInfo::exists(copy)) continue;
        if (QFile::copy(source, copy)) return copy;
        *problem = QStringLiteral("die PDF-Datei ließ sich nicht in den Ordner für Dateien kopieren");
        return std::nullopt;
    }
    *problem = QStringLiteral("im Ordner für Dateien ist kein freier Name mehr");
    return std::nullopt;
}

}  // namespace quandor
