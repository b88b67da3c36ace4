#pragma once
// Writing the depreciation and inventory lists to a file the person chose:
// CSV (UTF-8, cleaned as a whole) or the printed page as PDF. A failed write
// is told in German; the previous file stays.

#include "bookkeeping/print_files.h"
#include "core/books.h"
#include "core/record.h"
#include "print/print_job.h"

#include <QString>

namespace quandor {

enum class ListFormat { Csv, Pdf };

// The page's inputs from the settings and the clock.
struct ListPageInput;
ListPageInput listPageInput(const Books& books);

// Asks for the file ("CSV Datei Exportieren" / "PDF Datei Exportieren") and writes it.
ExportResult exportList(Books& books, ListFormat format, bool inventory,
                        const QString& proposedName);
// Writes without a dialog.
ExportResult writeList(Books& books, ListFormat format, bool inventory, const QString& path);
// The list's page through the print job: its HTML file in the data folder
// ("Allowance.html", "Inventory.html"), then the print dialog. A failed write
// is the "Mist!" alert and nothing is printed. True when printed.
bool printList(Books& books, bool inventory, const print::PrintDialog& dialog);

}  // namespace quandor
