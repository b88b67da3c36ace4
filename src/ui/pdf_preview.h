#pragma once
// The program's PDF preview window and printing a page's HTML file through
// the print dialog.

#include "print/print_job.h"

#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QPagedPaintDevice;
class QPdfDocument;
class QPdfView;
class QPushButton;

namespace quandor::ui {

// A window showing one PDF file, auto-scaled to its width, with a
// "Schließen" button; Esc and Ctrl+W close it too.
class PdfPreviewWindow : public QWidget {
    Q_OBJECT
  public:
    explicit PdfPreviewWindow(QWidget* parent = nullptr);
    // Loads `path` (again); false when it cannot be read (the window says so).
    bool load(const QString& path);
    QPdfDocument* document() const { return document_; }
    QPushButton* closeButton() const { return close_; }

    // The size the preview asks for: an A4 page at a readable width.
    static QSize preferredSize();

  private:
    QPdfDocument* document_;
    QPdfView* view_;
    QLabel* pages_;
    QPushButton* close_;
};

// A view of a PDF inside another window (the export sheet's small view).
QPdfView* makePdfView(QWidget* parent, QPdfDocument** document);

// Shows `pdfPath` in the preview window titled `title`, in front, centred over
// `over` and wholly on its screen. One window per title is kept and brought
// to the front again. The window stands on its own, so a sheet open over
// `over` (the print sheet that asked for the preview) does not block it.
PdfPreviewWindow* showPdfPreview(const QString& pdfPath, const QString& title, QWidget* over);

// Shows the print dialog and, when confirmed, runs `paint` on the printer.
bool printWithDialog(QWidget* parent, const std::function<bool(QPagedPaintDevice&)>& paint);
// The print dialog over `parent` for a controller's print job.
print::PrintDialog printDialogOver(QWidget* parent);

}  // namespace quandor::ui
