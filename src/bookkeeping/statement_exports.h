#pragma once
// The export texts of a statement's listed items: CSV with commas, CSV with
// semicolons and a running number, and XML. Items are written in the order
// given (the item list's order).
//
// CSV cells are made by the shared cell rules of bookkeeping/csv_cell.h, the
// same for every field: characters of the file's character set stay, the
// rest is folded; control characters never reach the file; quotes become
// blanks; a cell cannot start a spreadsheet formula. Fields typed by the
// person (title, category, account) also get "," and "‚" replaced by " | ",
// so that each item stays one line of the file; receipt numbers, numbers and
// account numbers keep their commas. Rates, amounts and dates are the
// program's own texts.

#include "bookkeeping/csv_cell.h"
#include "core/record.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <vector>

namespace quandor {

using ItemRefs = std::vector<const Record*>;

// The texts are made for a file of `charset` (statement files are
// Windows-1252; the tax-advisor package writes the same text as Mac Roman).
QString csvString(const ItemRefs& items, const QLocale& locale,
                  csv::Charset charset = csv::Charset::Windows1252);
QString csvStringMac(const ItemRefs& items, const QLocale& locale,
                     csv::Charset charset = csv::Charset::Windows1252);
QString xmlString(const ItemRefs& items, const QLocale& locale);

// CSV files of statements are Windows-1252: csv::encode with that set.
QByteArray windows1252(const QString& text);
// Text as XML element content: "&", "<" and ">" escaped, characters XML
// does not allow dropped.
QString xmlEscaped(const QString& text);

}  // namespace quandor
