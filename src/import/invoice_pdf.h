#pragma once
// The PDF of an invoice in a GrandTotal list is attached to its item where
// the list names it. The path comes from a file of another program, and the
// documents attached to items are later handed on (the tax-advisor folder),
// so only a readable regular file that starts like a PDF ("%PDF-") is attached.

#include <QString>

namespace quandor {

// Why `path` cannot be attached: missing, unreadable or no PDF; empty when it can.
QString pdfProblem(const QString& path);

}  // namespace quandor
