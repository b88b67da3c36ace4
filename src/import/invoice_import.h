#pragma once
// Booking items from invoices.
//
// Fennick: every position of one invoice becomes an income item titled
// "Rechnungstitel | erste Adresszeile | Positionstext", numbered with the
// invoice number. A position's rate (the invoice's fraction × 100, in single
// precision) is one of the configured rates when it equals it exactly; a
// later applicable rate overrides an earlier one. A position whose rates the
// settings do not know is imported untaxed and named in the summary: a taxed
// item without a rate of its own would count its revenue in no line of the
// VAT return.
//
// GrandTotal: every invoice becomes one item titled "Rechnung " and its
// address on one line (at most 40 characters of it), numbered with the
// invoice's name; kind, tax, rate, date, account and category are chosen on
// the sheet for all of them.
//
// Both compute the derived figures with the item calculation, as item entry does.

#include "bookkeeping/item_calculation.h"
#include "import/import_summary.h"
#include "import/invoice_readers.h"

#include <optional>

namespace quandor {

// The previewed items of a Fennick invoice. `account` and `category` are
// the sheet's choices when they were ever made.
RecordList fennickPreview(const FennickInvoice& invoice, const TaxRates& rates, Date created,
                          const std::optional<QString>& account,
                          const std::optional<QString>& category, ImportSummary* summary);

// The figures of a previewed item at import time, with the item's own rate
// ("taxPerecent") for its tag.
void calculateFennickItem(Record& item, const TaxRates& rates);

// The first line of a text (lines end at CR LF, LF or CR).
QString firstLine(const QString& text);

struct GrandTotalChoices {
    int64_t kind = 0;  // 1 expense, 2 income
    bool tax = false;
    int64_t rateTag = 0;  // 1 … 3
    int dateTag = 0;      // 0 due date, 1 sending date, other payment date
    RecordPtr account;    // the account chosen on the sheet; null when none
    QString category;
};

// "Rechnung " and the address on one line: its lines joined by single
// spaces, at most 40 characters of it.
QString grandTotalTitle(const QString& formattedAddress);

// The items of the invoices (the caller attaches the PDFs after checking
// them); `pdfs` receives each item's PDF path as the list names it (empty when none).
RecordList grandTotalItems(const std::vector<GrandTotalInvoice>& invoices,
                           const GrandTotalChoices& choices, const TaxRates& rates, Date created,
                           ImportSummary* summary, std::vector<QString>* pdfs);

}  // namespace quandor
