#include "bookkeeping/print_files.h"

#include "bookkeeping/alert_words.h"
#include "core/atomic_file.h"
#include "print/print_pipeline.h"

namespace quandor {

QString previewHtmlPath(const Paths& paths) {
    return Paths::join(paths.dataFolder, QString::fromUtf16(print::kPreviewHtmlName));
}

QString previewPdfPath(const Paths& paths) {
    return Paths::join(paths.dataFolder, QString::fromUtf16(print::kPreviewPdfName));
}

QString exportPdfPath(const Paths& paths) {
    return Paths::join(paths.dataFolder, QString::fromUtf16(print::kExportPdfName));
}

bool writeExportFile(UiPort& ui, const QString& path, const QByteArray& bytes) {
    QString reason;
    if (writeFileAtomically(path, bytes, &reason)) return true;
    ui.beep();
    ui.alert(AlertStyle::Critical, AlertWords::kErrorTitle,
             QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden.\n\nGrund: %2")
                 .arg(path, reason),
             {AlertWords::kOkButton});
    return false;
}

}  // namespace quandor
