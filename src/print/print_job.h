#pragma once
// One page through the print pipeline:
//
//   Page ─▶ temporary ".html" file ─▶ PDF (in memory) ─▶ temporary ".pdf" file
//                                                    ├─▶ preview (the ".pdf" file)
//                                                    ├─▶ a file the person chose
//                                                    └─▶ printer (painted again
//                                                        with the printer's margins)
//
// The old temporary files are deleted before the new ones are written, so a
// failed run leaves none that belong to another page. A copy to a chosen file
// is the PDF of this run, byte for byte, written whole or not at all.

#include "print/page.h"

#include <QByteArray>
#include <QString>

#include <functional>

class QPagedPaintDevice;

namespace quandor::print {

class PrintJob {
  public:
    // `html` is the page as HTML when the caller has it already.
    PrintJob(const Page& page, QString htmlPath, QString pdfPath, QString html = {});

    // Writes the temporary HTML file and renders the PDF into the temporary
    // PDF file; false with a German reason in `error`.
    bool render(QString* error);
    // Writes the temporary HTML file alone.
    bool writeHtml(QString* error);

    // The PDF of the last render.
    const QByteArray& pdf() const { return pdf_; }
    // Paints the page onto a printer, with the printer's margins.
    bool print(QPagedPaintDevice& printer) const;
    // The page this job renders and prints.
    const Page& page() const { return page_; }

  private:
    const Page& page_;
    QString htmlPath_, pdfPath_, html_;
    QByteArray pdf_;
};

// Shows the print dialog and, when the person confirms it, prints the job on
// the chosen printer; false when cancelled or not printed. The desktop program
// gives one to the windows' controllers; without one printing only beeps.
using PrintDialog = std::function<bool(const PrintJob& job)>;

}  // namespace quandor::print
