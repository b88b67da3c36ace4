#include "bookkeeping/statement_totals.h"

#include "bookkeeping/item_calculation.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"

#include <utility>
#include <vector>

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

enum Slot : uint8_t { kNone, kKind, kTag, kVat, kGet, kPay, kExWith, kInWithout, kInWith };

// Key id → slot, so each property costs one table look-up instead of eight comparisons.
struct SlotTable {
    std::vector<uint8_t> table_;
    SlotTable() {
        const std::pair<Key, Slot> wanted[] = {{keys::kind, kKind},
                                               {keys::taxTag, kTag},
                                               {keys::taxBool, kVat},
                                               {keys::taxFeeGet, kGet},
                                               {keys::taxFeePay, kPay},
                                               {keys::expenseWith, kExWith},
                                               {keys::incomeWithout, kInWithout},
                                               {keys::incomeWith, kInWith}};
        for (const auto& [key, slot] : wanted) {
            if (key.id() >= table_.size()) table_.resize(key.id() + 1, kNone);
            table_[key.id()] = slot;
        }
    }
    uint8_t operator[](uint32_t id) const {
        return id < table_.size() ? table_[id] : uint8_t{kNone};
    }
};

ItemKeys readItem(const Record& item) {
    static const SlotTable table;
    ItemKeys k;
    for (const Dict::Entry& e : item.properties()) {
        switch (table[e.key.id()]) {
            case kNone:
                break;
            case kKind:
                k.kind = e.value.toInt();
                break;
            case kTag:
                k.taxTag = e.value.toInt();
                break;
            case kVat:
                k.taxBool = e.value.toBool();
                break;
            case kGet:
                k.taxFeeGet = e.value.toFloat();
                break;
            case kPay:
                k.taxFeePay = e.value.toFloat();
                break;
            case kExWith:
                k.expenseWith = e.value.toFloat();
                break;
            case kInWithout:
                k.incomeWithout = e.value.toFloat();
                break;
            case kInWith:
                k.incomeWith = e.value.toFloat();
                break;
        }
    }
    return k;
}

}  // namespace

std::span<const TotalField> totalFields() {
    return kFields;
}

StatementTotals computeStatementTotals(const RecordList& all, const std::vector<uint32_t>& listed) {
    StatementTotals t;
    // Each item's keys are read once; the listed pass takes them from here.
    std::vector<ItemKeys> read;
    read.reserve(all.size());
    for (const RecordPtr& item : all) {
        read.push_back(item ? readItem(*item) : ItemKeys{});
        const ItemKeys& k = read.back();
        t.incomeWith += k.incomeWith;
        t.taxFeePay += k.taxFeePay;
        t.expenseWith += k.expenseWith;
        t.taxFeeGet += k.taxFeeGet;
    }
    for (const uint32_t index : listed) {
        if (index >= read.size() || !all[index]) continue;
        ++t.listedCount;
        const ItemKeys& k = read[index];
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

    return t;
}

void storeTotals(Settings& settings, const StatementTotals& totals) {
    for (const TotalField& f : kFields) settings.setFloat(f.settingKey, totals.*(f.member));
}

}  // namespace quandor
