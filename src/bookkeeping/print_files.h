#pragma once
// What the statement pages write: the temporary print files of the data
// folder, and export files the person chose.
//
//   "PDFPreviewTab.html"  the page as HTML (printing)
//   "PDFPreviewTab.pdf"   the page as PDF (preview, PDF export)
//   "PDFExportTab.pdf"    what the export sheet's small PDF view shows

#include "core/paths.h"
#include "core/uiport.h"

#include <QByteArray>
#include <QString>

namespace quandor {

// How an export ended.
enum class ExportResult { Written, Cancelled, NothingWritten, Refused, Failed };

QString previewHtmlPath(const Paths& paths);
QString previewPdfPath(const Paths& paths);
QString exportPdfPath(const Paths& paths);

// Writes `bytes` to `path` whole or not at all; when it fails, beeps and
// tells the person the file and the reason. True when written.
bool writeExportFile(UiPort& ui, const QString& path, const QByteArray& bytes);

}  // namespace quandor
