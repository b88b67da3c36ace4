#pragma once
// The year overview ("Übersicht"): income, expenses and result of each
// calendar month and of the whole year, without VAT, with each month's share
// of the year's income and expenses. Computed on demand, never stored.
//
// Sums run in double precision: statements in list order, items in statement
// order, each item's stored 32-bit "incomeWithout" and "expenseWithout"
// (expenses are negative) widened and added. An item counts for the calendar
// month of its "date" (local time), whatever the year of that date.

#include "bookkeeping/print_files.h"
#include "core/books.h"
#include "print/page.h"

#include <QDateTime>
#include <QString>

#include <array>

namespace quandor {

struct OverviewFigures {
    double income = 0, expense = 0, result = 0;
};

struct OverviewMonth : OverviewFigures {
    // Percent of the year's income and expenses, 0 to 100; 0 when the year's
    // total is 0 (the share is undefined then and the bar stays empty).
    double incomeShare = 0, expenseShare = 0;
    int items = 0;  // a month with items shows its box, even when they sum to 0
};

struct YearOverview {
    QString yearName;  // "dateValue"
    OverviewFigures year;
    std::array<OverviewMonth, 12> months{};
};

// The overview of `year` in one pass.
YearOverview computeYearOverview(const Record& year);

struct UebersichtPageInput {
    QString company;  // "prefsCompany"
    QString taxId;    // "prefsTaxID"
    QDateTime today;
    QString currencyText;  // empty unless "prefsPrintCurrency"
    bool printBorder = false;
};

// The printed overview: letterhead, a row for each of the twelve months and
// the year's line; its footer is "<company> · Übersicht <year> · Seite ".
print::Page buildUebersichtPage(const YearOverview& overview, const UebersichtPageInput& input);

class UebersichtController {
  public:
    explicit UebersichtController(Books& books);

    // Opens the sheet on the selected year and computes it (generate); alerts
    // and keeps the sheet closed when the year has no statements.
    bool generateUebersicht();
    // Computes every figure of the selected year into overview().
    void generate();
    void closeUebersicht();
    bool isOpen() const { return open_; }
    const YearOverview& overview() const { return overview_; }

    // Asks for a file and writes the overview's page as PDF.
    ExportResult printUebersicht();
    // Writes the overview's page as PDF to `path`, whole or not at all.
    ExportResult printUebersichtTo(const QString& path);

    static const QString kNoStatements;  // "Du hast keinerlei Abrechnungen angelegt."

  private:
    Books& books_;
    YearOverview overview_;
    bool open_ = false;
};

}  // namespace quandor
