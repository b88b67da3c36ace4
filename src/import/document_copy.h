#pragma once
// Attaching an invoice's PDF the way attached documents are kept: the program
// never refers to the file it was given but to a copy in its documents
// folder, named "<seconds since 1970>_<file name>".

#include <QString>

#include <optional>

namespace quandor {

// Why `source` cannot be attached: missing, unreadable or no PDF; empty when it can.
QString pdfProblem(const QString& source);

// Copies `source` into `folder` and returns the copy's path. When the name
// is taken already (two invoices' PDFs of the same name in the same second),
// "<seconds>_2_<name>", "<seconds>_3_<name>", … is used, so that every item
// gets its own document. Only a PDF (a regular file starting with "%PDF-")
// is copied: the path comes from a file of another program, and nothing else
// may end up among the documents that are later handed on. Nothing, and a
// German reason, when it was not copied.
std::optional<QString> copyPdfIntoDocuments(const QString& source, const QString& folder, qint64 seconds,
                                            QString* problem);

}  // namespace quandor
