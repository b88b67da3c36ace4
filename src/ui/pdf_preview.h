#pragma once
// The program's PDF preview window and printing a page's HTML file through
// the print dialog.

#include <QString>
#include <QWidget>

#include <functional>

class QPagedPaintDevice;
class QPdfDocument;
class QPdfView;

namespace quandor::ui {

// A window showing one PDF file, auto-scaled to its width. One window per
// title is kept and brought to the front again.
class PdfPreviewWindow : public QWidget {
    Q_OBJECT
  public:
    explicit PdfPreviewWindow(QWidget* parent = nullptr);
    // Loads `path` (again); false when it cannot be read.
    bool load(const QString& path);
    QPdfDocument* document() const { return document_; }

  private:
    QPdfDocument* document_;
    QPdfView* view_;
};

// A view of a PDF inside another window (the export sheet's small view).
QPdfView* makePdfView(QWidget* parent, QPdfDocument** document);

// Shows `pdfPath` in the preview window titled `title`, centred over `parent`
// and in front.
void showPdfPreview(const QString& pdfPath, const QString& title, QWidget* parent);

// Reads a page's HTML file, lays it out like the PDF but with a bottom margin
// of 20 points, and prints it after the print dialog. False when the person
// cancelled or the file could not be read.
bool printHtmlFile(const QString& htmlPath, const QString& footer, QWidget* parent);

// Shows the print dialog and, when confirmed, runs `paint` on the printer.
bool printWithDialog(QWidget* parent, const std::function<bool(QPagedPaintDevice&)>& paint);

}  // namespace quandor::ui
