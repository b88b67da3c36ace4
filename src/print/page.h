#pragma once
// The page model: what every printed page of the program is made of. A page
// builder fills it with figures and texts; the renderers here turn the same
// data into HTML, PDF, a printer's pages and RTF.
//
//   Page ─┬─ prologue   document head and the opening font element
//         ├─ head       blocks in order: HTML text (headings, notes, line
//         │             breaks, fonts) and tables of figures
//         ├─ list       the repeated item list (list_table.h), optional
//         └─ footer     printed before the page number on every page
//
// HTML:            prologue, head, the list as one HTML table, "</body></html>";
//                  the page's record in its temporary ".html" file.
// PDF and printer: the prologue and head laid out as styled text, then the
//                  list painted row by row from a new page (print_pipeline.h).
// RTF:             the same styled text converted, then the list as a table
//                  (rtf_writer.h).
//
// Texts of cells, of the list and its heading are plain: the renderers escape
// them and pass them through printableText. HTML text blocks are HTML
// already, their texts escaped by the page builder (pageText below).

#include "print/list_table.h"
#include "print/print_pipeline.h"

#include <QByteArray>
#include <QString>
#include <Qt>

#include <memory>
#include <variant>
#include <vector>

class QPagedPaintDevice;
class QTextDocument;

namespace quandor::print {

// A cell of a table in the page's head.
struct TableCell {
    TableCell() = default;
    TableCell(QString text, bool bold = false, Qt::Alignment align = Qt::AlignLeft)
        : text(std::move(text)), bold(bold), align(align) {}

    QString text;
    QString note;  // in small type after the text ("Steuersatz 1 (19,00 %)")
    bool bold = false;
    bool keepTogether = false;  // the blanks of text and note do not break
    Qt::Alignment align = Qt::AlignLeft;
};

// A table of figures in the page's head.
struct Table {
    int width = 0;     // points
    int fontSize = 0;  // points of the cells' type; 0: the surrounding text's
    int padding = 2;
    int spacing = 2;
    bool border = false;
    // Points of each column, given by the first row's cells; empty: as wide
    // as the texts need. Tables that stand one under another share columns so.
    std::vector<int> widths;
    std::vector<std::vector<TableCell>> rows;
};

// HTML text of the head, written as it stands.
struct HtmlText {
    QString html;
};

using Block = std::variant<HtmlText, Table>;

struct Page {
    QString prologue;
    std::vector<Block> head;
    ListTable list;  // no columns: no list
    // Printed before the page number at the foot of every page (the setting "printFooter").
    QString footer;

    void text(const QString& html) { head.push_back(HtmlText{html}); }
    void table(Table t) { head.push_back(std::move(t)); }
};

// A person's text for the HTML of a page: what no font can draw as the
// placeholder, line ends as blanks, escaped.
QString pageText(const QString& text);

// The whole page as HTML.
QString pageHtml(const Page& page);
// The prologue and head alone, as styled text (the part the layout sets; the
// list is painted).
std::unique_ptr<QTextDocument> headDocument(const Page& page);

// Where a page goes: a PDF file keeps a bottom margin of 60 points for its
// footer, paper from a printer one of 20 (PageOptions).
enum class Output { Pdf, Printer };

// Lays the page out on A4 and paints it onto `device` (a PDF writer or a
// printer). Returns the number of pages, 0 when nothing could be painted.
int paintPages(const Page& page, Output output, QPagedPaintDevice& device);
// The page as PDF; empty with a German reason in `error` when it could not be made.
QByteArray pdfBytes(const Page& page, QString* error);
// The page as RTF, its footer and page number at the foot of every page.
QByteArray rtfBytes(const Page& page);

}  // namespace quandor::print
