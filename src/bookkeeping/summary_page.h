#pragma once
// The statement summary page ("Abrechnung"): payment block, income and expense
// table, revenue table and, when wanted, the list of the listed items. Built as
// HTML for the print pipeline, together with its page footer.

#include "bookkeeping/statement_totals.h"
#include "print/list_table.h"

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

struct SummaryPage {
    QString html;
    QString footer;  // "<company> · Abrechnung <title> <year> · Seite "
    // The page without its item list, and the list as rows for the print
    // pipeline to paint (empty without a list): the fast road to PDF.
    QString headHtml;
    print::ListTable list;
};

SummaryPage buildSummaryPage(const SummaryPageInput& input);

// `text` cut to `keep` characters and " …" when longer than `limit`.
QString shortenedText(const QString& text, qsizetype limit, qsizetype keep);

}  // namespace quandor
