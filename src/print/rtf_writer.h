#pragma once
// Writes styled text as RTF: paragraphs with their alignment, fonts, sizes,
// bold, italic and underline, line breaks, and tables with their column
// widths (rows spanning columns or rows included). Text outside ASCII is
// written as \'xx (Windows-1252) or \uN escapes, so the file itself is plain
// ASCII and opens alike in every word processor.

#include "print/list_table.h"

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace quandor::print {

// `document` is laid out first if it is not yet (its page size decides the
// column widths of tables).
QByteArray rtfFromDocument(QTextDocument& document);
// The same followed by `list` as a table starting on a new page (its heading
// row repeated on every page), and with `footer` and the page number at the
// foot of every page when given: the RTF of a page the print pipeline paints
// as styled text followed by a list, without laying the list out as text.
QByteArray rtfFromDocument(QTextDocument& document, const ListTable& list,
                           const QString& footer = QString());

}  // namespace quandor::print
