#pragma once
// Writing the depreciation and inventory lists to a file the person chose:
// CSV (UTF-8, cleaned as a whole) or the printed page as PDF. A failed write
// is told in German; the previous file stays.

#include "bookkeeping/print_files.h"
#include "core/books.h"
#include "core/record.h"

#include <QString>

namespace quandor {

enum class ListFormat { Csv, Pdf };

// The page's inputs from the settings and the clock.
struct ListPageInput;
ListPageInput listPageInput(const Books& books);

// Asks for the file ("CSV Datei Exportieren" / "PDF Datei Exportieren") and writes it.
ExportResult exportList(Books& books, ListFormat format, bool inventory, const QString& proposedName);
// Writes without a dialog.
ExportResult writeList(Books& books, ListFormat format, bool inventory, const QString& path);

}  // namespace quandor
