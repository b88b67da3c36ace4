#pragma once
// The print pipeline every page of the program goes through:
//
//   page HTML ─▶ temporary ".html" file (UTF-8) ─▶ styled text (QTextDocument)
//            ─▶ A4 portrait pages, margins top 40, left 20, right 20, bottom 60 pt
//            ─▶ PDF file, printer or preview
//
// Every page carries the footer text followed by its page number, in the
// system font at 8 pt, centred on the page and centred vertically in the
// bottom margin.
//
// Lengths in a page's HTML ("width=575", "font-size:7px") are points: one
// pixel of the page is one point on paper (pages give font sizes in px or
// relative ones: <font size>, <small>, headings; the default text is 12 px).
// A table wider than the printable width is scaled down with the whole page
// rather than cut off.
//
// Needs QtGui only and runs with the offscreen platform.

#include "print/list_table.h"

#include <QMarginsF>
#include <QString>

#include <memory>

class QPagedPaintDevice;
class QTextDocument;

namespace quandor::print {

struct PageOptions {
    // Printed before the page number at the foot of every page
    // (the setting "printFooter").
    QString footer;
    // Points: left, top, right, bottom.
    QMarginsF margins{20, 40, 20, 60};
    // Margins of a print to paper: the same with a bottom margin of 20 points.
    static PageOptions forPrinter(const QString& footer) {
        PageOptions o;
        o.footer = footer;
        o.margins.setBottom(20);
        return o;
    }
};

// Parses a page's HTML into styled text, the character encoding taken as UTF-8.
std::unique_ptr<QTextDocument> parseHtml(const QString& html);

// Lays out `document` on A4 pages and paints them, footer and page number
// included, onto `device` (a PDF writer or a printer; its page layout is set
// here). Returns the number of pages, 0 when the device could not be painted on.
int paintPages(QTextDocument& document, const PageOptions& options, QPagedPaintDevice& device);
// The same followed by `list`, starting on a new page.
int paintPages(QTextDocument& document, const ListTable& list, const PageOptions& options,
               QPagedPaintDevice& device);

// The PDF's bytes, empty with a German reason in `error`.
QByteArray pdfBytes(QTextDocument& document, const ListTable& list, const PageOptions& options,
                    QString* error);

// Writes the page's temporary HTML file alone (UTF-8; the old file deleted first).
bool writeHtmlFile(const QString& html, const QString& htmlPath, QString* error);

// Names of the temporary files of the statement pages in the data folder.
inline constexpr char16_t kPreviewHtmlName[] = u"PDFPreviewTab.html";
inline constexpr char16_t kPreviewPdfName[] = u"PDFPreviewTab.pdf";
inline constexpr char16_t kExportPdfName[] = u"PDFExportTab.pdf";

}  // namespace quandor::print
