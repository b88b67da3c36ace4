#pragma once
// The figures of a depreciation: from the expense item and the useful life to
// the net amount, the yearly share, the compensation of the purchase year and
// the end of the period. Plain functions, 32-bit floats in the order given
// here, so the add sheet, the record and the tests compute the same bits.
//
// Two rules:
//   whole years (the default): the purchase year deducts a full yearly share
//     whatever the month; the period ends `years` × 365 days after the purchase.
//   monatsgenau (pro rata temporis): the purchase year deducts
//     rate × M / 12, M = the months from the purchase month on (12 for
//     January: then exactly the rate); the period runs `years` × 12 months
//     from the first of the purchase month and ends on the day before; the
//     years in between deduct the rate, the last year what is left:
//     ((netto − first share) − rate) − rate … once per year in between.

#include "core/record.h"

#include <QString>

namespace quandor {

enum class AllowanceRule { WholeYears, Monthly };

struct AllowanceFigures {
    float netto = 0;               // the net expense, made positive
    float tax = 0;                 // the purchase's VAT ("taxFee")
    float rate = 0;                // yearly share: netto / years (not finite for 0 years)
    float firstShare = 0;          // what the purchase year deducts
    float compensationAmount = 0;  // netto − first share: taken back in the purchase period
    QString title;
    Date endDate;  // end of the period (see the rules above)
};

AllowanceFigures allowanceFigures(const Record& item, int years,
                                  AllowanceRule rule = AllowanceRule::WholeYears);

// The month (1–12) of a date in local time.
int monthOf(const Date& date);

// The share a depreciation record deducts in `year` (a later year than the
// purchase): the rate, and under the monthly rule in its last year the rest.
float allowanceShare(const Record& record, int year);

// Which rule a record was made with; the reserved "misc1" holds "monatsgenau"
// for the monthly rule and stays empty for whole years.
AllowanceRule allowanceRule(const Record& record);
extern const QString kMonthlyRuleMark;

// The four-digit year of a date in local time ("creationYear", "dueYear").
QString yearText(const Date& date);

// "1 Jahr", "5 Jahre".
QString yearsText(long years);

}  // namespace quandor
