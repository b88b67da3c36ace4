#pragma once
// The statement overview page ("Übersicht"): head, the VAT advance-return
// block, per-rate VAT tables, the summary table and, when wanted, the item
// list. Built as page data for the print pipeline (print/page.h); everything
// it shows is passed in, so the page is the same in the window, the command
// line and the tests.

#include "bookkeeping/statement_exports.h"
#include "bookkeeping/statement_totals.h"
#include "core/record.h"
#include "print/page.h"

#include <QLocale>
#include <QString>

#include <array>
#include <optional>

namespace quandor {

struct OverviewPage {
    QString prologue;  // document head and the opening font element
    QString company;
    QString taxID;
    QString today;  // page date, medium style
    const Record* statement = nullptr;
    const Record* year = nullptr;
    ItemRefs listed;  // in the item list's order
    bool border = false;
    QString currency;                           // empty unless the currency is printed
    std::array<std::optional<float>, 3> rates;  // "prefs1Rate" … "prefs3Rate"
    bool withList = false;
    int sortOrder = 0;  // 0: newest first; otherwise by receipt number
    // The statement's totals: the whole statement's sums for the summary
    // table and the listed items' VAT per rate tag for the rate tables.
    StatementTotals totals;
    QLocale locale;
};

// "Firma · Übersicht März 2024 · Seite "
QString overviewFooter(const QString& company, const QString& statementTitle,
                       const QString& yearName);
// The page, item list included when wanted, with its footer.
print::Page overviewPage(const OverviewPage& page);

// The page prologue of the program's printed pages.
extern const QString kPagePrologue;

}  // namespace quandor
