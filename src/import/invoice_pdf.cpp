#include "import/invoice_pdf.h"

#include <QFile>
#include <QFileInfo>

namespace quandor {

QString pdfProblem(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return QStringLiteral("die PDF-Datei ist nicht vorhanden");
    QFile in(path);
    if (!info.isFile() || !in.open(QIODevice::ReadOnly))
        return QStringLiteral("die PDF-Datei lässt sich nicht lesen");
    if (in.read(5) != "%PDF-")
        return QStringLiteral("„%1“ ist keine PDF-Datei").arg(info.fileName());
    return QString();
}

}  // namespace quandor
