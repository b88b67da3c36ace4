#pragma once
// The four annual report pages, built as page data (print/page.h) from the
// report figures (report_figures.h) and the texts the controller reads from
// the settings. The revenue and tax reports are tables of the page's head;
// the monthly report and the profit basis list every item of the year, so
// their sections are rows of the page's painted list (a heading row per
// statement or account, the section's sums, the items), which keeps a year
// of ten thousand items at a few seconds of PDF.

#include "print/page.h"
#include "reports/report_figures.h"

#include <QLocale>
#include <QString>

#include <array>
#include <optional>

namespace quandor {

// What every report page takes from the settings and the clock.
struct ReportPageInput {
    QString prologue;                           // document head and the opening font element
    QString company;                            // "prefsCompany"
    QString taxId;                              // "prefsTaxID"
    QString today;                              // page date, medium style
    QString currency;                           // empty unless "prefsPrintCurrency"
    bool border = false;                        // "prefsPrintBorder"
    bool unshortened = false;                   // "prefsPrintUnshortened"
    std::array<std::optional<float>, 3> rates;  // "prefs1Rate" … "prefs3Rate"
    QLocale locale;
};

print::Page umsatzPage(const StatementsReport& report, const ReportPageInput& in);
print::Page monatePage(const StatementsReport& report, const ReportPageInput& in);
print::Page steuernPage(const TaxReport& report, const ReportPageInput& in);
print::Page gewinnePage(const ProfitReport& report, const ReportPageInput& in);

// The line under the tax report: which of its figures go into the official
// form when the person files without the ELSTER client, and where the others are.
extern const QString kSteuernKennzahlenHint;

// "Firma · Umsatz 2026 · Seite " for `what` "Umsatz" and year "2026".
QString reportFooter(const QString& company, const QString& what, const QString& yearName);

}  // namespace quandor
