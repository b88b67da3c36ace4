// The calculator sheet of the item sheet: splitting an amount and grossing up a
// net amount, to the bit, and its refusals.
#include "bookkeeping/bookkeeping_controllers.h"
#include "core/app_delegate.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "support/books.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace quandor;
using namespace Qt::StringLiterals;
namespace P = quandor::prefs;

namespace {

uint32_t bits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

struct Sheet : test::OpenBooks {
    SplitController& controller = controllers.split;
    RecordPtr item = Record::create(RecordClass::Item, Date{});

    Sheet(int64_t kind, float amount, bool vat, int64_t tag) {
        settings.setFloat(P::prefs1Rate, 19.0f);
        settings.setFloat(P::prefs2Rate, 7.0f);
        item->set(keys::kind, kind);
        item->set(keys::amount, amount);
        item->set(keys::taxBool, vat);
        item->set(keys::taxTag, tag);
        ui.runScheduledAtOnce = true;
    }
    float amount() const { return item->real(keys::amount); }
};

}  // namespace

TEST(Split, ShareOfTheAmountInSinglePrecisionThenTheTaxCalculation) {
    Sheet s(1, 119.0f, true, 1);
    ASSERT_TRUE(s.controller.openSplitWindow(s.item));
    EXPECT_EQ(s.controller.splitWindow().sign, u"-"_s);
    EXPECT_TRUE(s.controller.splitWindow().expense);
    s.controller.setCalculatorPage(0);
    s.controller.setSplitShare(1);
    const uint64_t before = s.app.changeCount();
    EXPECT_TRUE(s.controller.splitAction());
    EXPECT_EQ(bits(s.amount()), bits(59.500004f));
    EXPECT_EQ(s.ui.scheduledDelays, std::vector<int>{0});
    EXPECT_FLOAT_EQ(s.item->real(keys::taxFee), 9.5f);  // the calculation ran
    EXPECT_EQ(s.item->real(keys::finalAmount), -s.amount());
    EXPECT_FALSE(s.controller.splitWindow().open);
    EXPECT_GT(s.app.changeCount(), before);
    EXPECT_TRUE(s.ui.alerts.empty());
}

TEST(Split, TheChosenShare) {
    struct Case {
        int index;
        QString custom;
        float amount, share, shown;
    };
    const Case cases[] = {
        {0, u""_s, 200.0f, 25.0f, 50.0f},     {2, u"30"_s, 200.0f, 30.0f, 60.0f},
        {2, u"12,5"_s, 80.0f, 12.5f, 10.0f},  {7, u"99"_s, 200.0f, 25.0f, 50.0f},  // unknown: 25 %
        {-1, u""_s, 10.0f, 25.0f, 2.5f},      {2, u"0"_s, 10.0f, 0.0f, 0.0f},
        {2, u"33,3"_s, 0.1f, 33.3f, 0.0333f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.custom.toStdString() + " index " + std::to_string(c.index));
        Sheet s(2, c.amount, false, 0);
        s.controller.openSplitWindow(s.item);
        EXPECT_EQ(s.controller.splitWindow().sign, u"+"_s);
        s.controller.setSplitShare(c.index);
        s.controller.setCustomSplitValue(c.custom);
        EXPECT_TRUE(s.controller.splitAction());
        EXPECT_EQ(bits(s.amount()), bits((c.amount / 100.0f) * c.share));
        EXPECT_FLOAT_EQ(s.amount(), c.shown);
    }
}

TEST(Split, GrossUpAddsTheItemsRate) {
    Sheet s(1, 5.0f, true, 1);
    s.controller.setCalculatorPage(1);
    s.controller.openSplitWindow(s.item);
    s.controller.setSplitNetAmount(u"100"_s);
    EXPECT_TRUE(s.controller.splitAction());
    EXPECT_EQ(s.amount(), 119.0f);
    EXPECT_EQ(s.item->real(keys::taxFee), 19.0f);

    Sheet r(2, 5.0f, true, 2);
    r.controller.setCalculatorPage(3);  // any page but 0 is the gross-up
    r.controller.openSplitWindow(r.item);
    r.controller.setSplitNetAmount(u"50,00"_s);
    EXPECT_TRUE(r.controller.splitAction());
    EXPECT_EQ(bits(r.amount()), bits(50.0f + (50.0f / 100.0f) * 7.0f));
    EXPECT_FLOAT_EQ(r.amount(), 53.5f);
}

TEST(Split, RefusalsKeepTheItemAndTheSheet) {
    struct Case {
        const char* name;
        int page;
        bool vat;
        int64_t tag;
        QString net;
        QString message;
    };
    const Case cases[] = {
        {"no VAT", 1, false, 1, u"100"_s,
         u"Posten ist unvollständig ausgefüllt. Bitte Steuersatz angeben."_s},
        {"no rate", 1, true, 0, u"100"_s,
         u"Posten ist unvollständig ausgefüllt. Bitte Steuersatz angeben."_s},
        {"tax-free", 1, true, 4, u"100"_s,
         u"Bei dem ausgewählten Steuersatz ist die Aktion überflüssig."_s},
        {"not taxable", 1, true, 5, u"100"_s,
         u"Bei dem ausgewählten Steuersatz ist die Aktion überflüssig."_s},
        {"empty net amount", 1, true, 1, u""_s, SplitController::kSplitBadNetAmount},
        {"text as net amount", 1, true, 1, u"hundert"_s, SplitController::kSplitBadNetAmount},
        {"text as percentage", 0, true, 1, u""_s, SplitController::kSplitBadPercentage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sheet s(1, 42.0f, c.vat, c.tag);
        s.controller.setCalculatorPage(c.page);
        s.controller.setSplitShare(2);
        s.controller.setCustomSplitValue(u"dreißig"_s);
        s.controller.openSplitWindow(s.item);
        s.controller.setSplitNetAmount(c.net);
        const Dict before = s.item->properties();
        EXPECT_FALSE(s.controller.splitAction());
        ASSERT_EQ(s.ui.alerts.size(), 1u);
        EXPECT_EQ(s.ui.alerts[0].title, u"Fehler!"_s);
        EXPECT_EQ(s.ui.alerts[0].message, c.message);
        EXPECT_EQ(s.ui.alerts[0].buttons, QStringList{u"OK"_s});
        EXPECT_EQ(s.ui.beeps, 1);
        EXPECT_TRUE(s.item->properties() == before);
        EXPECT_TRUE(s.controller.splitWindow().open);
    }
}

TEST(Split, OnlyOverAnItemAndCancelChangesNothing) {
    Sheet s(1, 42.0f, true, 1);
    EXPECT_FALSE(s.controller.openSplitWindow());  // no item sheet open
    EXPECT_FALSE(s.controller.openSplitWindow(Record::create(RecordClass::Year, Date{})));
    EXPECT_FALSE(s.controller.splitAction());
    EXPECT_EQ(s.ui.beeps, 3);

    s.controller.openSplitWindow(s.item);
    s.controller.setSplitNetAmount(u"100"_s);
    s.controller.cancelSplitWindow();
    EXPECT_FALSE(s.controller.splitWindow().open);
    EXPECT_EQ(s.amount(), 42.0f);
    // Opening again starts with an empty net amount.
    s.controller.openSplitWindow(s.item);
    EXPECT_TRUE(s.controller.splitWindow().netAmount.isEmpty());
}

// Over the item sheet the split goes through the item calculation, so what the
// sheet shows (amount field, sign) follows the new amount.
TEST(Split, TheItemSheetShowsTheSplitAmount) {
    Sheet s(1, 1.0f, true, 1);
    s.controllers.years.addYear();
    s.controllers.years.setYearName(u"2024"_s);
    s.controllers.years.closeYear();
    s.controllers.years.addList();
    s.controllers.years.setListTitle(u"Juni"_s);
    s.controllers.years.closeList();
    s.controllers.items.addItem();
    const RecordPtr item = s.controllers.items.sheetItem();
    ASSERT_TRUE(item);
    s.controllers.items.selectIncome();
    s.controllers.items.setAmountText(u"200,00"_s);
    s.controllers.items.setItemTaxBool(true);
    s.controllers.items.setItemTaxTag(2);
    ASSERT_TRUE(s.controller.openSplitWindow());
    s.controller.setCalculatorPage(0);
    s.controller.setSplitShare(0);
    EXPECT_TRUE(s.controller.splitAction());
    EXPECT_EQ(item->real(keys::amount), 50.0f);
    EXPECT_EQ(s.controllers.items.itemSheet().amountText,
              AddController::amountFieldText(Value(50.0f)));
    EXPECT_EQ(s.controllers.items.itemSheet().sign, u"+"_s);
    EXPECT_EQ(item->real(keys::finalAmount), 50.0f);
    EXPECT_EQ(s.settings.getInt(P::itemRememberTaxTag), 2);  // the item calculation ran

    // Half of 119 is 59.500004 in single precision: the field shows its cents, while
    // an amount typed with more decimals keeps every digit.
    EXPECT_EQ(AddController::amountFieldText(Value((119.0f / 100.0f) * 50.0f)),
              AddController::amountFieldText(Value(59.5f)));
    EXPECT_NE(AddController::amountFieldText(Value(12.345f)),
              AddController::amountFieldText(Value(12.35f)));
    EXPECT_NE(AddController::amountFieldText(Value(0.001f)),
              AddController::amountFieldText(Value(0.0f)));
}
