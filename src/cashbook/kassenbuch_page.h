#pragma once
// The printed cash book: letterhead, balance and the table of entries, built as
// page data for the print pipeline (print/page.h); and the cell texts of one
// entry, which the CSV export shares.

#include "core/record.h"
#include "print/page.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace quandor {

// The texts of one entry's cells. Amounts that are not above 0 stay empty,
// except the balance, which is always printed.
struct CashBookCells {
    QString number, date, receipt, description, account;
    QString receiptAmount, paymentAmount, taxAmount, taxRate, balance;
};
CashBookCells cashBookCells(const Record& entry);

// The cell texts of many entries in a row, as cashBookCells gives them: one
// locale for all, and the date text kept while the entries stay on the same
// local day (a cash book's entries follow the clock).
class CashBookCellTexts {
  public:
    CashBookCells operator()(const Record& entry);

  private:
    QLocale locale_;
    qint64 dayStart_ = 1, dayEnd_ = 0;  // the kept day, [start, end) in ms since 1970
    QString dayText_;
};

struct KassenbuchPageInput {
    QString company;  // "prefsCompany"
    QString taxId;    // "prefsTaxID"
    QDateTime today;
    const Record* cashbook = nullptr;
    QString currencyText;      // empty unless "prefsPrintCurrency"
    bool printBorder = false;  // "prefsPrintBorder"
    bool unshortened = false;  // "prefsPrintUnshortened"
};

// The page; its footer is "<company> · Kassenbuch <title> · Seite ".
print::Page buildKassenbuchPage(const KassenbuchPageInput& input);

}  // namespace quandor
