#pragma once
// The figures of a depreciation: from the expense item and the useful life to
// the net amount, the yearly share, the compensation of the purchase year and
// the end of the period. Plain functions, 32-bit floats in the order given
// here, so the add sheet, the record and the tests compute the same bits.

#include "core/record.h"

#include <QString>

namespace quandor {

struct AllowanceFigures {
    float netto = 0;               // the net expense, made positive
    float tax = 0;                 // the purchase's VAT ("taxFee")
    float rate = 0;                // yearly share: netto / years (not finite for 0 years)
    float compensationAmount = 0;  // netto − rate: taken back in the purchase period
    QString title;
    Date endDate;                  // purchase date + years × 365 days of 24 hours
};

AllowanceFigures allowanceFigures(const Record& item, int years);

// The four-digit year of a date in local time ("creationYear", "dueYear").
QString yearText(const Date& date);

// "1 Jahr", "5 Jahre".
QString yearsText(long years);

}  // namespace quandor
