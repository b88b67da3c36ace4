#pragma once
// The tax calculation of a booking item: every derived amount of an item is
// computed here, in 32-bit floating point and in a fixed order, and stored in
// the item. Totals, returns, exports and reports only add up the stored keys,
// so these figures are the program's figures to the last bit.

#include "core/record.h"

namespace quandor {

enum ItemKind : int { kKindNone = 0, kKindExpense = 1, kKindIncome = 2 };

// The three configured rates in percent ("prefs1Rate" … "prefs3Rate").
struct TaxRates {
    float rate1 = 19.0f;
    float rate2 = 7.0f;
    float rate3 = 0.0f;
    float forTag(int64_t tag) const;
};

struct ItemFigures {
    bool valid = false;  // false for kind 0 and unknown kinds: nothing is written
    QString image;
    float taxPerecent = 0, taxFee = 0, taxFeeGet = 0, taxFeePay = 0;
    float incomeWith = 0, incomeWithout = 0, expenseWith = 0, expenseWithout = 0;
    float finalAmount = 0, finalAmountWith = 0, finalAmountWithout = 0;
    int64_t taxTag = 0;  // the tag to store: reset to 0 without VAT
};

// The derived keys of an item from what was entered.
ItemFigures calculateFigures(int64_t kind, float amount, bool vat, int64_t tag,
                             const TaxRates& rates);

// The amount as the item holds it: a number, or typed text read as a number (empty reads 0).
float itemAmount(const Record& item);

// Computes and writes the derived keys into `item`; returns false (writing
// nothing) for kind 0 and unknown kinds.
bool applyCalculation(Record& item, const TaxRates& rates);

}  // namespace quandor
