#pragma once
// The statement summary page ("Abrechnung"): payment block, income and expense
// table, revenue table and, when wanted, the list of the listed items. Built as
// page data for the print pipeline (print/page.h), together with its footer.

#include "bookkeeping/statement_totals.h"
#include "print/page.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace quandor {

struct SummaryPageInput {
    QString prologue = defaultPrologue();  // document head and an opening font element
    QString company;                       // "prefsCompany"
    QString taxId;                         // "prefsTaxID"
    QDateTime today;
    const Record* statement = nullptr;  // title, "taxBool", "date" and the payment block
    QString yearName;                   // the year's "dateValue"
    StatementTotals totals;
    std::optional<float> rate1, rate2, rate3;  // nothing when the setting is absent
    QString currencyText;                      // empty unless "prefsPrintCurrency"
    bool printBorder = false;                  // "prefsPrintBorder"
    bool withList = false;                     // "prefsExportPrintWithList"
    bool unshortened = false;                  // "prefsPrintUnshortened"
    std::vector<const Record*> listed;         // the listed items (sorted by date on the page)

    static QString defaultPrologue();
};

// The page; its footer is "<company> · Abrechnung <title> <year> · Seite ".
struct SummaryPage : print::Page {
    QString html;  // the page as HTML, as its temporary ".html" file holds it
};

SummaryPage buildSummaryPage(const SummaryPageInput& input);

// `text` cut to `keep` characters and " …" when longer than `limit`.
QString shortenedText(const QString& text, qsizetype limit, qsizetype keep);

}  // namespace quandor
