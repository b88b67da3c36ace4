#include "bookkeeping/statement_totals.h"

#include "bookkeeping/item_calculation.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"

namespace quandor {

namespace {

constexpr std::array<TotalField, 11> kFields{{
    {prefs::tabSteuerfreieUmsaetzeField, &StatementTotals::steuerfreieUmsaetze},
    {prefs::tabTax1SumField, &StatementTotals::tax1Sum},
    {prefs::tabTax2SumField, &StatementTotals::tax2Sum},
    {prefs::tabTax3SumField, &StatementTotals::tax3Sum},
    {prefs::tabTax1AmountField, &StatementTotals::tax1Amount},
    {prefs::tabTax2AmountField, &StatementTotals::tax2Amount},
    {prefs::tabTax3AmountField, &StatementTotals::tax3Amount},
    {prefs::tabNichtSteuerbarField, &StatementTotals::nichtSteuerbar},
    {prefs::tabAbziehbareBetraegeField, &StatementTotals::abziehbareBetraege},
    {prefs::tabAbziehbareBetraegeSteuerAmountField, &StatementTotals::abziehbareBetraegeSteuer},
    {prefs::tabSaldoField, &StatementTotals::saldo},
}};

// The keys one item contributes, read in a single pass over its properties
// (a statement of 10,000 items is totalled while the window opens).
struct ItemKeys {
    int64_t kind = 0;
    int64_t taxTag = 0;
    bool taxBool = false;
    float taxFeeGet = 0, taxFeePay = 0, expenseWith = 0, incomeWithout = 0, incomeWith = 0;
};

ItemKeys readItem(const Record& item) {
    ItemKeys k;
    const uint32_t kind = keys::kind.id(), tag = keys::taxTag.id(), vat = keys::taxBool.id(),
                   get = keys::taxFeeGet.id(), pay = keys::taxFeePay.id(),
                   exWith = keys::expenseWith.id(), inWithout = keys::incomeWithout.id(),
                   inWith = keys::incomeWith.id();
    for (const Dict::Entry& e : item.properties()) {
        const uint32_t id = e.key.id();
        if (id == kind) k.kind = e.value.toInt();
        else if (id == tag) k.taxTag = e.value.toInt();
        else if (id == vat) k.taxBool = e.value.toBool();
        else if (id == get) k.taxFeeGet = e.value.toFloat();
        else if (id == pay) k.taxFeePay = e.value.toFloat();
        else if (id == exWith) k.expenseWith = e.value.toFloat();
        else if (id == inWithout) k.incomeWithout = e.value.toFloat();
        else if (id == inWith) k.incomeWith = e.value.toFloat();
    }
    return k;
}

}  // namespace

std::span<const TotalField> totalFields() { return kFields; }

StatementTotals computeStatementTotals(const std::vector<Record*>& listed, const RecordList& all) {
    StatementTotals t;
    t.listedCount = listed.size();
    for (const Record* item : listed) {
        if (!item) continue;
        const ItemKeys k = readItem(*item);
        if (!k.taxBool || k.taxTag < 1 || k.taxTag > 5) continue;
        const size_t tag = static_cast<size_t>(k.taxTag);
        if (k.kind == kKindExpense) {
            t.expenseTax[tag] += k.taxFeeGet;
            t.expenseGross[tag] += k.expenseWith;
        } else {
            t.incomeTax[tag] += k.taxFeePay;
            t.incomeNet[tag] += k.incomeWithout;
        }
    }

    t.steuerfreieUmsaetze = t.incomeNet[4];
    t.tax1Sum = t.incomeNet[1];
    t.tax2Sum = t.incomeNet[2];
    t.tax3Sum = t.incomeNet[3];
    t.tax1Amount = t.incomeTax[1];
    t.tax2Amount = t.incomeTax[2];
    t.tax3Amount = t.incomeTax[3];
    t.nichtSteuerbar = t.incomeNet[5];
    // Each step its own single-precision operation, left to right.
    float s = t.expenseGross[1];
    for (size_t i = 2; i <= 5; ++i) s += t.expenseGross[i];
    const float twice = s * -2.0f;
    t.abziehbareBetraege = s + twice;
    float p = t.expenseTax[1];
    for (size_t i = 2; i <= 5; ++i) p += t.expenseTax[i];
    t.abziehbareBetraegeSteuer = p;
    float due = t.incomeTax[1];
    for (size_t i = 2; i <= 5; ++i) due += t.incomeTax[i];
    t.saldo = due - p;

    for (const RecordPtr& item : all) {
        if (!item) continue;
        const ItemKeys k = readItem(*item);
        t.incomeWith += k.incomeWith;
        t.taxFeePay += k.taxFeePay;
        t.expenseWith += k.expenseWith;
        t.taxFeeGet += k.taxFeeGet;
    }
    return t;
}

void storeTotals(Settings& settings, const StatementTotals& totals) {
    for (const TotalField& f : kFields) settings.setFloat(f.settingKey, totals.*(f.member));
}

}  // namespace quandor
