#pragma once
// Booking items from the rows of a CSV file.
//
// A row holds at least nine fields, in this order (no header line):
//
//   datum · belegnummer · bezeichnung · rechnungsnummer · kategorie · konto ·
//   kontobezeichnung · steuersatz · summe
//
//   05.03.24;B-17;Druckerpapier;R-2024-311;Büro;6815;Bürobedarf;19;-119,00
//
// A negative sum is an expense, any other an income. A positive rate is
// looked up among the three configured rates (first equal one wins) and the
// item is computed by the item calculation with that rate, exactly as if it
// had been entered by hand; the rate read from the file is kept as
// "taxPerecent". A positive rate the settings do not know makes the item
// untaxed (every such row alike), and the summary names the rate. Category and
// account are taken as texts, not looked up.
//
// Rows that cannot become an item are left out and named: fewer than nine
// fields, a date that is no "dd.MM.yy" date of the calendar, a sum or rate
// that is no number (German "1.234,56" and plain "1234.56" both are).

#include "bookkeeping/item_calculation.h"
#include "import/csv_parser.h"
#include "import/import_summary.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>

#include <array>
#include <optional>
#include <vector>

namespace quandor {

// The names of the nine fields, as the import collects a row.
inline constexpr std::array<const char16_t*, 9> kCsvFieldNames = {
    u"datum",     u"belegnummer", u"bezeichnung",      u"rechnungsnummer",
    u"kategorie", u"konto",       u"kontobezeichnung", u"steuersatz",
    u"summe"};

// The rows of a file and where reading ended early.
struct CsvTable {
    std::vector<CsvRow> rows;
    std::optional<int64_t> unclosedQuoteLine;
};

struct CsvImportPlan {
    RecordList items;  // new items, not yet in any statement, in file order
    ImportSummary summary;
};

// The items the rows give and what was left out. `now` stamps the new items'
// creation and places two-digit years (within the hundred years that begin
// 80 years before it).
CsvImportPlan planCsvImport(const CsvTable& table, const TaxRates& rates, const QDateTime& now,
                            const QLocale& locale = QLocale());

// "05.03.14" is 5 March 2014: day.month.year with a two-digit (or four-digit)
// year; nothing for a text that is no date of the calendar ("31.02.25").
std::optional<QDate> parseImportDate(const QString& text, const QDate& today);

// The example of the expected layout (the example window and its file): the
// column titles and three rows.
const QStringList& csvExampleHeader();
const std::vector<QStringList>& csvExampleRows();

}  // namespace quandor
