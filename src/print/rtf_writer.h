#pragma once
// Writes styled text as RTF: paragraphs with their alignment, fonts, sizes,
// bold, italic and underline, line breaks, and tables with their column
// widths (rows spanning columns or rows included). Text outside ASCII is
// written as \'xx (Windows-1252) or \uN escapes, so the file itself is plain
// ASCII and opens alike in every word processor.

#include <QByteArray>

class QTextDocument;

namespace quandor::print {

// `document` is laid out first if it is not yet (its page size decides the
// column widths of tables).
QByteArray rtfFromDocument(QTextDocument& document);

}  // namespace quandor::print
