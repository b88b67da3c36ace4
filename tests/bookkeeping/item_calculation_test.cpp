#include "bookkeeping/item_calculation.h"
#include "core/keys.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace quandor;

namespace {

// Bit-for-bit comparison: the stored figures must be exactly the single-precision results.
uint32_t bits(float f) {
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

#define EXPECT_FLOAT_BITS(actual, expected) \
    EXPECT_EQ(bits(actual), bits(expected)) << (actual) << " vs " << (expected)

}  // namespace

TEST(ItemCalculation, WorkedExamples) {
    const TaxRates rates{19.0f, 7.0f, 0.0f};

    ItemFigures income119 = calculateFigures(kKindIncome, 119.0f, true, 1, rates);
    EXPECT_FLOAT_BITS(income119.taxFee, 19.0f);
    EXPECT_FLOAT_BITS(income119.incomeWith, 119.0f);
    EXPECT_FLOAT_BITS(income119.incomeWithout, 100.0f);
    EXPECT_FLOAT_BITS(income119.taxFeePay, 19.0f);
    EXPECT_FLOAT_BITS(income119.finalAmountWithout, 100.0f);
    EXPECT_EQ(income119.image, "miniItemGreenTax");

    ItemFigures expense119 = calculateFigures(kKindExpense, 119.0f, true, 1, rates);
    EXPECT_FLOAT_BITS(expense119.taxFeeGet, 19.0f);
    EXPECT_FLOAT_BITS(expense119.expenseWith, -119.0f);
    EXPECT_FLOAT_BITS(expense119.expenseWithout, -100.0f);
    EXPECT_FLOAT_BITS(expense119.finalAmount, -119.0f);
    EXPECT_FLOAT_BITS(expense119.taxFeePay, 0.0f);

    ItemFigures income100 = calculateFigures(kKindIncome, 100.0f, true, 1, rates);
    EXPECT_FLOAT_BITS(income100.taxFee, 15.9663849f);
    EXPECT_FLOAT_BITS(income100.incomeWithout, 84.0336151f);

    EXPECT_FLOAT_BITS(calculateFigures(kKindIncome, 107.0f, true, 2, rates).taxFee, 7.0f);

    ItemFigures taxFree = calculateFigures(kKindIncome, 500.0f, true, 4, rates);
    EXPECT_FLOAT_BITS(taxFree.taxFee, 0.0f);
    EXPECT_FLOAT_BITS(taxFree.incomeWithout, 500.0f);
    EXPECT_EQ(taxFree.image, "miniItemGreenTax");
}

TEST(ItemCalculation, EdgeCases) {
    const TaxRates rates{19.0f, 7.0f, 0.0f};
    // Single precision leaves a residue on large tax-free amounts.
    EXPECT_FLOAT_BITS(calculateFigures(kKindIncome, 167772.17f, true, 4, rates).taxFee, -0.015625f);

    ItemFigures credit = calculateFigures(kKindIncome, -119.0f, true, 1, rates);
    EXPECT_FLOAT_BITS(credit.taxFee, -19.0f);
    EXPECT_FLOAT_BITS(credit.incomeWithout, -100.0f);
    EXPECT_FLOAT_BITS(credit.taxFeePay, -19.0f);

    // Without VAT the tag is reset and no rate is stored.
    ItemFigures noVat = calculateFigures(kKindExpense, 50.0f, false, 2, rates);
    EXPECT_EQ(noVat.taxTag, 0);
    EXPECT_FLOAT_BITS(noVat.taxPerecent, 0.0f);
    EXPECT_EQ(noVat.image, "miniItemRed");

    // Unset third rate reads 0.
    EXPECT_FLOAT_BITS(calculateFigures(kKindIncome, 100.0f, true, 3, rates).taxFee, 0.0f);

    EXPECT_FALSE(calculateFigures(kKindNone, 100.0f, true, 1, rates).valid);
    EXPECT_FALSE(calculateFigures(7, 100.0f, true, 1, rates).valid);
}

TEST(ItemCalculation, ApplyWritesIntoTheItemAndKindZeroWritesNothing) {
    auto item = Record::create(RecordClass::Item, Date{});
    item->set(keys::amount, QStringLiteral("119"));
    item->set(keys::taxBool, true);
    item->set(keys::taxTag, 1);
    const Dict before = item->properties();
    EXPECT_FALSE(applyCalculation(*item, TaxRates{}));
    EXPECT_TRUE(item->properties() == before);

    item->set(keys::kind, kKindExpense);
    EXPECT_TRUE(applyCalculation(*item, TaxRates{}));
    EXPECT_FLOAT_BITS(item->real(keys::taxFeeGet), 19.0f);
    EXPECT_FLOAT_BITS(item->real(keys::finalAmountWithout), -100.0f);
    EXPECT_EQ(item->value(keys::image).iconName(), "miniItemRedTax");
    EXPECT_EQ(item->value(keys::finalAmount).type(), Value::Type::Real);
}
