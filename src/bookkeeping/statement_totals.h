#pragma once
// The VAT figures of one statement, computed once and read by everyone who
// shows or writes them: the VAT return window, the eleven totals settings, the
// summary page and the return file for the ELSTER client.
//
// Every figure is a sum of the derived item keys (see item_calculation.h) in
// 32-bit floating point, without rounding. The listed items are added one
// after the other in list order, so the same list always gives the same bits.

#include "core/record.h"

#include <QStringView>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace quandor {

class Settings;

struct StatementTotals {
    // Accumulators by rate tag 1 … 5 (index 0 stays 0): only listed items whose
    // "taxBool" is set and whose "taxTag" is 1 to 5 add to them.
    std::array<float, 6> expenseTax{};    // Σ "taxFeeGet" of expenses
    std::array<float, 6> expenseGross{};  // Σ "expenseWith" of expenses
    std::array<float, 6> incomeTax{};     // Σ "taxFeePay" of every other kind
    std::array<float, 6> incomeNet{};     // Σ "incomeWithout" of every other kind

    // The eleven totals (the VAT return window's fields).
    float steuerfreieUmsaetze = 0;                         // tax-free revenue
    float tax1Sum = 0, tax2Sum = 0, tax3Sum = 0;           // net revenue per rate
    float tax1Amount = 0, tax2Amount = 0, tax3Amount = 0;  // output VAT per rate
    float nichtSteuerbar = 0;                              // revenue not taxable in the country
    float abziehbareBetraege = 0;        // deductible amounts, gross (positive for expenses)
    float abziehbareBetraegeSteuer = 0;  // deductible input VAT
    float saldo = 0;                     // VAT due; negative means a refund

    // Sums over all items of the statement, listed or not, VAT or not.
    float incomeWith = 0;   // Σ "incomeWith"
    float taxFeePay = 0;    // Σ "taxFeePay"
    float expenseWith = 0;  // Σ "expenseWith" (negative)
    float taxFeeGet = 0;    // Σ "taxFeeGet"

    size_t listedCount = 0;
};

// One of the eleven totals: its settings key and where it lives in the result.
struct TotalField {
    QStringView settingKey;
    float StatementTotals::*member;
};
// The eleven totals in the order the window fills them.
std::span<const TotalField> totalFields();

// The statement sums of `all` (every item of the statement, in statement
// order) and the totals of the listed items: `listed` holds indexes into
// `all` in the order the item list shows them.
StatementTotals computeStatementTotals(const RecordList& all, const std::vector<uint32_t>& listed);

// Writes the eleven totals into their settings (32-bit floats).
void storeTotals(Settings& settings, const StatementTotals& totals);

}  // namespace quandor
