#include "bookkeeping/item_calculation.h"

#include "core/keys.h"

namespace quandor {

float TaxRates::forTag(int64_t tag) const {
    switch (tag) {
        case 1:
            return rate1;
        case 2:
            return rate2;
        case 3:
            return rate3;
        default:
            return 0.0f;  // none, tax-free (4), not taxable (5) and unknown tags
    }
}

ItemFigures calculateFigures(int64_t kind, float amount, bool vat, int64_t tag,
                             const TaxRates& rates) {
    ItemFigures f;
    if (kind != kKindExpense && kind != kKindIncome) return f;
    f.valid = true;

    // Each step is a separate single-precision operation; the build forbids
    // contraction into fused multiply-adds so the order below is the order run.
    const float a = amount;
    const float r = rates.forTag(tag);
    float t = 0.0f;
    if (vat) {
        const float p = a * 100.0f;
        const float q = 100.0f + r;
        const float n = p / q;
        t = a - n;
    }
    const float twice = a * 2.0f;
    const float m = a - twice;

    const bool expense = kind == kKindExpense;
    f.taxTag = vat ? tag : 0;
    f.taxPerecent = vat ? r : 0.0f;
    f.taxFee = vat ? t : 0.0f;
    if (expense) {
        f.image = QString::fromUtf16(vat ? keys::icon::itemRedTax : keys::icon::itemRed);
        f.taxFeeGet = vat ? t : 0.0f;
        f.expenseWith = m;
        f.expenseWithout = vat ? m + t : m;
        f.finalAmount = m;
        f.finalAmountWith = m;
        f.finalAmountWithout = f.expenseWithout;
    } else {
        f.image = QString::fromUtf16(vat ? keys::icon::itemGreenTax : keys::icon::itemGreen);
        f.taxFeePay = vat ? t : 0.0f;
        f.incomeWith = a;
        f.incomeWithout = vat ? a - t : a;
        f.finalAmount = a;
        f.finalAmountWith = a;
        f.finalAmountWithout = f.incomeWithout;
    }
    return f;
}

float itemAmount(const Record& item) {
    return item.value(keys::amount).toFloat();
}

bool applyCalculation(Record& item, const TaxRates& rates) {
    const ItemFigures f =
        calculateFigures(item.integer(keys::kind), itemAmount(item), item.flag(keys::taxBool),
                         item.integer(keys::taxTag), rates);
    if (!f.valid) return false;
    Dict& p = item.properties();
    p.set(keys::image, Value::icon(f.image));
    p.set(keys::taxPerecent, f.taxPerecent);
    p.set(keys::taxTag, f.taxTag);
    p.set(keys::taxFee, f.taxFee);
    p.set(keys::taxFeeGet, f.taxFeeGet);
    p.set(keys::taxFeePay, f.taxFeePay);
    p.set(keys::incomeWith, f.incomeWith);
    p.set(keys::incomeWithout, f.incomeWithout);
    p.set(keys::expenseWith, f.expenseWith);
    p.set(keys::expenseWithout, f.expenseWithout);
    p.set(keys::finalAmount, f.finalAmount);
    p.set(keys::finalAmountWith, f.finalAmountWith);
    p.set(keys::finalAmountWithout, f.finalAmountWithout);
    return true;
}

}  // namespace quandor
