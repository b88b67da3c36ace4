// Entering and editing booking items through the item sheet: the refusals with
// their German texts, the new-item defaults, remembered choices, the warnings
// for statements used for the VAT return, stepping, duplicating,
// the account lookups, the search sheets and templates.
#include "bookkeeping/add_controller.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "support/books.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quandor;
using namespace Qt::StringLiterals;
namespace P = quandor::prefs;
using Sheet = AddController::SheetKind;

namespace {

const QString kStamp = u"1714564800"_s;  // 2024-05-01T12:00:00Z

struct Desk : test::OpenBooks {
    AddController& c = controllers.items;
    RecordPtr statement;

    Desk() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        controllers.years.addYear();
        controllers.years.setYearName(u"2024"_s);
        controllers.years.closeYear();
        controllers.years.addList();
        controllers.years.setListTitle(u"Mai"_s);
        controllers.years.closeList();
        statement = app.selection().selectedStatement();
        settings.setBool(P::firstStepsDone, true);
    }
    RecordList& items() { return statement->items(); }

    // Fills the open sheet and confirms it.
    RecordPtr enter(int kind, const QString& amount, const QString& title, bool vat = false,
                    int tag = 0) {
        if (!c.sheetItem()) c.addItem();
        RecordPtr item = c.sheetItem();
        kind == 1 ? c.selectExpense() : c.selectIncome();
        if (vat) c.setItemTaxBool(true);
        if (tag) c.setItemTaxTag(tag);
        c.setItemText(keys::title, title);
        c.setAmountText(amount);
        EXPECT_TRUE(c.closeItemSheet());
        return item;
    }
    RecordPtr addAccount(const QString& number, const QString& title) {
        RecordPtr a = Record::create(RecordClass::Account, app.nowStamp());
        a->set(keys::number, number);
        a->set(keys::title, title);
        app.database().accounts.push_back(a);
        return a;
    }
    QString lastMessage() const { return ui.alerts.empty() ? QString() : ui.alerts.back().message; }
};

}  // namespace

// ---- refusals ---------------------------------------------------------------------

struct Refusal {
    const char* name;
    QString amount;
    bool vat;
    int tag;
    QString title;
    QString message;  // empty: accepted
};

class ItemRefusals : public testing::TestWithParam<Refusal> {};

TEST_P(ItemRefusals, TheFirstFailingCheckSpeaksAndTheSheetStays) {
    const Refusal& r = GetParam();
    Desk b;
    b.c.addItem();
    const RecordPtr item = b.c.sheetItem();
    b.c.selectExpense();
    if (r.vat) b.c.setItemTaxBool(true);
    if (r.tag) b.c.setItemTaxTag(r.tag);
    b.c.setItemText(keys::title, r.title);
    b.c.setAmountText(r.amount);
    const bool closed = b.c.closeItemSheet();
    if (r.message.isEmpty()) {
        EXPECT_TRUE(closed);
        EXPECT_TRUE(b.ui.alerts.empty());
        return;
    }
    EXPECT_FALSE(closed);
    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_EQ(b.ui.alerts[0].title, u"Fehler!"_s);
    EXPECT_EQ(b.ui.alerts[0].message, r.message);
    EXPECT_EQ(b.ui.alerts[0].buttons, QStringList{u"OK"_s});
    EXPECT_EQ(b.c.sheet().kind, Sheet::Item);
    EXPECT_EQ(b.c.sheetItem(), item);
    EXPECT_EQ(b.items().size(), 1u);
}

// The texts of every refusal are proven by the golden item case; here the order
// of the checks and the sheet that stays.
INSTANTIATE_TEST_SUITE_P(
    Validation, ItemRefusals,
    testing::Values(Refusal{"NoAmount", u""_s, true, 0, u""_s, AddController::kNoAmount},
                    Refusal{"BlankAmount", u"  "_s, false, 0, u"Miete"_s, AddController::kNoAmount},
                    Refusal{"VatWithoutRate", u"0"_s, true, 0, u""_s, AddController::kNoRate},
                    Refusal{"ZeroWithoutVatPasses", u"0"_s, false, 0, u"Miete"_s, QString()},
                    Refusal{"Complete", u"119"_s, true, 1, u"Miete"_s, QString()}),
    [](const testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

TEST(ItemSheet, AddingWithoutAStatementIsRefused) {
    Desk b;
    b.app.selection().setStatementIndex(-1);
    b.c.addItem();
    EXPECT_FALSE(b.c.sheetIsOpen());
    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_EQ(b.ui.alerts[0].message, u"Du musst erst eine Abrechnung anlegen."_s);
    EXPECT_EQ(b.settings.getInt(P::jaImage), 5);
}

TEST(ItemSheet, NewInTheOpenSheetRefusesAMissingRateAndCreatesNothing) {
    Desk b;
    b.c.addItem();
    b.c.selectIncome();
    b.c.setItemTaxBool(true);  // no automatic rate: tag stays 0
    b.c.setItemText(keys::title, u"Honorar"_s);
    b.c.setAmountText(u"100"_s);
    b.c.addItem();
    EXPECT_EQ(b.lastMessage(), AddController::kNoRate);
    EXPECT_EQ(b.items().size(), 1u);

    b.c.setItemTaxTag(1);
    const RecordPtr first = b.c.sheetItem();
    b.c.addItem();
    ASSERT_EQ(b.items().size(), 2u);
    EXPECT_NE(b.c.sheetItem(), first);
    EXPECT_TRUE(b.c.sheet().isNew);
    EXPECT_FLOAT_EQ(first->real(keys::taxFeePay), 15.966385f);
    EXPECT_TRUE(b.c.itemSheet().accountText.isEmpty());
}

TEST(ItemSheet, CancelIsOfferedAfterTheFirstStepsAndConfirmingEndsThem) {
    Desk b;
    b.settings.setBool(P::firstStepsDone, false);
    b.c.addItem();
    EXPECT_FALSE(b.c.itemSheet().showCancel);
    EXPECT_TRUE(b.c.itemSheet().showNew);
    EXPECT_TRUE(b.c.itemSheet().showTemplate);
    EXPECT_FALSE(b.c.itemSheet().showSteps);
    b.c.cancelItemSheet();

    b.settings.setBool(P::firstStepsDone, true);
    b.c.addItem();
    EXPECT_TRUE(b.c.itemSheet().showCancel);
    b.c.selectExpense();
    b.c.setAmountText(u"42"_s);
    b.c.cancelItemSheet();
    EXPECT_TRUE(b.items().empty());
    EXPECT_FALSE(b.c.sheetIsOpen());
    EXPECT_EQ(b.app.selection().firstSelectedItem(), nullptr);

    b.settings.setBool(P::firstStepsDone, false);
    const RecordPtr item = b.enter(1, u"50"_s, u"Porto"_s);
    EXPECT_TRUE(b.settings.getBool(P::firstItemSet));
    EXPECT_TRUE(b.settings.getBool(P::firstStepsDone));
    EXPECT_FALSE(b.c.sheetIsOpen());
    EXPECT_EQ(b.app.selection().firstSelectedItem(), item);
    EXPECT_FLOAT_EQ(item->real(keys::finalAmount), -50.0f);
    EXPECT_EQ(item->value(keys::image).iconName(), u"miniItemRed"_s);
}

// ---- amounts --------------------------------------------------------------------------

// The field is enabled only once a kind is chosen and shows the sign.
TEST(ItemAmount, TypedTextIsReadWithCommaPointAndSeparatorsAndShownAsStored) {
    Desk b;
    b.c.addItem();
    EXPECT_FALSE(b.c.itemSheet().amountEnabled);
    EXPECT_TRUE(b.c.itemSheet().sign.isEmpty());
    b.c.selectExpense();
    EXPECT_TRUE(b.c.itemSheet().amountEnabled);
    EXPECT_EQ(b.c.itemSheet().sign, u"-"_s);
    EXPECT_EQ(b.c.itemSheet().signColor, AddController::SignColor::Expense);
    b.c.selectIncome();
    EXPECT_EQ(b.c.itemSheet().sign, u"+"_s);
    EXPECT_EQ(b.c.itemSheet().signColor, AddController::SignColor::Income);
    const struct {
        QString typed;
        float stored;
        QString shown;
    } cases[] = {{u"1.234,56"_s, 1234.56f, u"1.234,56"_s},
                 {u"119"_s, 119.0f, u"119,00"_s},
                 {u"12.5"_s, 12.5f, u"12,50"_s},
                 {u"-19,99"_s, -19.99f, u"-19,99"_s},
                 {u"abc"_s, 0.0f, u"0,00"_s},
                 {u"1e60"_s, 0.0f, u"0,00"_s}};
    for (const auto& c : cases) {
        b.c.setAmountText(c.typed);
        EXPECT_EQ(b.c.sheetItem()->value(keys::amount).toFloat(), c.stored)
            << c.typed.toStdString();
        EXPECT_EQ(b.c.itemSheet().amountText, c.shown) << c.typed.toStdString();
        EXPECT_EQ(b.c.sheetItem()->real(keys::finalAmount), c.stored);
    }
    // More than two decimals stay visible, so leaving the field changes nothing.
    b.c.setAmountText(u"0,125"_s);
    EXPECT_EQ(b.c.itemSheet().amountText, u"0,125"_s);
    b.c.setAmountText(u""_s);
    EXPECT_EQ(b.c.sheetItem()->text(keys::amount), u""_s);
}

// Calculating reads the amount the item holds, not what the field showed.
TEST(ItemAmount, CalculatingTakesTheStoredAmountAndStoresItAsANumber) {
    Desk b;
    b.c.addItem();
    b.c.selectExpense();
    b.c.setAmountText(u"100"_s);
    b.c.sheetItem()->set(keys::amount, 50.0f);  // as the split calculator does
    b.c.calculateItem();
    EXPECT_EQ(b.c.itemSheet().amountText, u"50,00"_s);
    EXPECT_EQ(b.c.sheetItem()->real(keys::finalAmount), -50.0f);
    b.c.cancelItemSheet();

    const RecordPtr item = b.enter(1, u"1"_s, u"Alt"_s);
    item->set(keys::amount, u"1.234,50"_s);  // as an older file may hold it
    b.app.selection().setSelectedItems({item});
    b.c.calculateItem();
    EXPECT_EQ(item->value(keys::amount).type(), Value::Type::Real);
    EXPECT_EQ(item->real(keys::finalAmount), -1234.5f);
}

TEST(ItemAmount, RatesComeFromTheSettingsAtEachCalculation) {
    Desk b;
    const RecordPtr item = b.enter(2, u"116"_s, u"Alt"_s, true, 1);
    EXPECT_FLOAT_EQ(item->real(keys::taxFee),
                    116.0f - 11600.0f / 119.0f);  // 19 % before the first window
    b.settings.setFloat(P::prefs1Rate, 16.0f);
    EXPECT_FLOAT_EQ(item->real(keys::taxFee),
                    116.0f - 11600.0f / 119.0f);  // unchanged until calculated
    b.app.selection().setSelectedItems({item});
    b.c.editItem();
    EXPECT_EQ(item->real(keys::taxFee), 16.0f);
    b.c.closeItemSheet();
    b.settings.setFloat(P::prefs1Rate, 0.0f);
    b.settings.remove(P::prefs3Rate);
    EXPECT_EQ(AddController::taxRates(b.settings).rate1, 0.0f);
    EXPECT_EQ(AddController::taxRates(b.settings).rate2, 7.0f);
    EXPECT_EQ(AddController::taxRates(b.settings).rate3, 0.0f);
}

// ---- defaults -------------------------------------------------------------------------

// Its statement, year and creation stamp are proven by the golden item case.
// A date to remember falls back to now while none is remembered.
TEST(NewItem, IsAppendedSelectedAndDatedNowOrTheRememberedDate) {
    Desk b;
    b.settings.setBool(P::prefsRememberDate, true);
    b.c.addItem();
    const RecordPtr item = b.c.sheetItem();
    ASSERT_TRUE(item);
    EXPECT_EQ(b.items().back(), item);
    EXPECT_EQ(b.app.selection().firstSelectedItem(), item);
    EXPECT_EQ(item->date(keys::date), b.app.nowStamp());
    EXPECT_EQ(item->integer(keys::kind), 0);
    EXPECT_FALSE(item->flag(keys::taxBool));
    EXPECT_FALSE(b.settings.getBool(P::allowCashBook));
    EXPECT_EQ(b.settings.getInt(P::prefsSelectedItemTabTag), 0);

    b.c.setItemDate(Date::fromUnix(1600000000));
    b.c.selectIncome();  // calculates, which remembers the date
    b.c.cancelItemSheet();
    b.c.addItem();
    EXPECT_EQ(b.c.sheetItem()->date(keys::date), Date::fromUnix(1600000000));
}

TEST(NewItem, RememberedChoicesWinAndFalseOrZeroLeaveTheDefaults) {
    Desk b;
    b.settings.setBool(P::setUmsatzsteuerAutomatically, true);
    b.settings.setBool(P::setTaxAutomatically, true);
    b.c.addItem();
    EXPECT_TRUE(b.c.sheetItem()->flag(keys::taxBool));
    EXPECT_EQ(b.c.sheetItem()->integer(keys::taxTag), 1);
    b.c.cancelItemSheet();

    b.settings.setBool(P::prefsAlwaysRememberLastSettings, true);  // automatic VAT not applied
    b.c.addItem();
    EXPECT_FALSE(b.c.sheetItem()->flag(keys::taxBool));
    EXPECT_EQ(b.c.sheetItem()->integer(keys::taxTag), 0);
    EXPECT_EQ(b.c.sheetItem()->integer(keys::kind), 0);
    b.c.cancelItemSheet();

    // What the last calculation remembered: the tag before it is reset.
    b.settings.setBool(P::setTaxAutomatically, false);
    b.settings.setBool(P::setUmsatzsteuerAutomatically, false);
    b.settings.setBool(P::prefsAlwaysRememberLastSettings, false);
    b.c.addItem();
    b.c.selectExpense();
    b.c.setItemText(keys::group, u"Büro"_s);
    b.c.setItemDate(Date::fromUnix(1700000000));
    b.c.setItemTaxTag(2);  // without VAT: stored 0, remembered 2
    EXPECT_EQ(b.c.sheetItem()->integer(keys::taxTag), 0);
    EXPECT_EQ(b.settings.getInt(P::itemRememberTaxTag), 2);
    b.c.setItemTaxBool(true);
    b.c.setItemText(keys::title, u"Papier"_s);
    b.c.setAmountText(u"10"_s);
    b.c.setItemTaxTag(2);
    ASSERT_TRUE(b.c.closeItemSheet());

    b.settings.setBool(P::prefsAlwaysRememberLastSettings, true);
    b.c.addItem();
    const RecordPtr next = b.c.sheetItem();
    EXPECT_EQ(next->text(keys::group), u"Büro"_s);
    EXPECT_TRUE(next->flag(keys::taxBool));
    EXPECT_EQ(next->integer(keys::taxTag), 2);
    EXPECT_EQ(next->integer(keys::kind), 1);
    EXPECT_EQ(next->date(keys::date), Date::fromUnix(1700000000));
    EXPECT_TRUE(b.c.itemSheet().amountEnabled);  // the kind is known already
}

// ---- editing -------------------------------------------------------------------------

TEST(EditItem, AStatementUsedForTheReturnAsksFirstAndFollowsTheCashBookMark) {
    Desk b;
    const RecordPtr item = b.enter(1, u"20"_s, u"Taxi"_s);
    b.statement->set(keys::taxBool, true);
    b.app.selection().setSelectedItems({item});

    b.c.editItem();  // default button: Abbrechen
    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_EQ(b.ui.alerts[0].title, u"Achtung!"_s);
    EXPECT_EQ(b.ui.alerts[0].message,
              u"Die übergeordnete Abrechnung wurde als zur Voranmeldung genutzt markiert. Bist du "
              u"sicher, dass "
              u"du dennoch diesen Posten bearbeiten möchtest?"_s);
    EXPECT_EQ(b.ui.alerts[0].buttons, (QStringList{u"Abbrechen"_s, u"Bearbeiten"_s}));
    EXPECT_FALSE(b.c.sheetIsOpen());

    item->set(keys::misc9, u"isKassenbuch"_s);
    b.ui.answers = {1};
    b.c.editItem();
    EXPECT_EQ(b.c.sheetItem(), item);
    EXPECT_FALSE(b.c.sheet().isNew);
    EXPECT_TRUE(b.c.itemSheet().showSteps);
    EXPECT_FALSE(b.c.itemSheet().showCancel || b.c.itemSheet().showNew ||
                 b.c.itemSheet().showTemplate);
    EXPECT_EQ(b.c.itemSheet().amountText, u"20,00"_s);
    EXPECT_FALSE(b.settings.getBool(P::allowCashBook));
    b.c.cancelItemSheet();  // not offered when editing: the item stays
    EXPECT_EQ(b.items().size(), 1u);
    ASSERT_TRUE(b.c.closeItemSheet());

    item->set(keys::misc9, u""_s);
    b.ui.answers = {1};
    b.c.editItem();
    EXPECT_TRUE(b.settings.getBool(P::allowCashBook));
}

TEST(EditItem, StepsRecalculateTheItemLeftAndShowTheNextInListOrder) {
    Desk b;
    const RecordPtr a = b.enter(1, u"10"_s, u"A"_s);
    const RecordPtr c = b.enter(1, u"30"_s, u"C"_s);
    const RecordPtr mid = b.enter(2, u"20"_s, u"B"_s);
    a->set(keys::date, Date::fromUnix(1000));
    mid->set(keys::date, Date::fromUnix(2000));
    c->set(keys::date, Date::fromUnix(3000));
    b.app.selection().refresh();
    b.app.selection().setSelectedItems({a});
    b.c.editItem();
    b.c.setAmountText(u"11"_s);
    b.c.selectNext();
    EXPECT_EQ(a->real(keys::finalAmount), -11.0f);
    EXPECT_EQ(b.c.sheetItem(), mid);
    EXPECT_EQ(b.app.selection().firstSelectedItem(), mid);
    EXPECT_EQ(b.c.itemSheet().sign, u"+"_s);
    b.c.selectNext();
    EXPECT_EQ(b.c.sheetItem(), c);
    b.c.selectNext();  // past the end
    EXPECT_EQ(b.ui.beeps, 1);
    EXPECT_EQ(b.c.sheetItem(), c);
    b.c.selectPrevious();
    b.c.selectPrevious();
    EXPECT_EQ(b.c.sheetItem(), a);
    b.c.selectPrevious();
    EXPECT_EQ(b.ui.beeps, 2);
}

TEST(EditItem, RevertGivesTheShownItemItsValuesBackAndKeepsTheOnesSteppedAway) {
    Desk b;
    const RecordPtr a = b.enter(1, u"10"_s, u"Porto"_s, true, 1);
    const RecordPtr c = b.enter(2, u"30"_s, u"Honorar"_s);
    a->set(keys::date, Date::fromUnix(1000));
    c->set(keys::date, Date::fromUnix(3000));
    b.app.selection().refresh();
    const Dict cBefore = c->properties();

    // Changes to the first item are taken by stepping on; those to the second are not.
    b.app.selection().setSelectedItems({a});
    b.c.editItem();
    b.c.setItemText(keys::title, u"Porto und Versand"_s);
    b.c.selectNext();
    ASSERT_EQ(b.c.sheetItem(), c);
    b.c.selectExpense();
    b.c.setAmountText(u"3000"_s);
    b.c.setItemText(keys::title, u""_s);   // would be refused when closing
    b.c.setItemDate(Date::fromUnix(500));  // sorts it first
    const uint64_t before = b.app.changeCount();
    b.c.revertItemSheet();

    EXPECT_FALSE(b.c.sheetIsOpen());
    EXPECT_TRUE(b.ui.alerts.empty());
    EXPECT_TRUE(c->properties() == cBefore);
    EXPECT_EQ(c->real(keys::finalAmount), 30.0f);
    EXPECT_EQ(a->text(keys::title), u"Porto und Versand"_s);
    EXPECT_GT(b.app.changeCount(), before);
    EXPECT_EQ(b.app.selection().listedItem(1), c);  // back in its place in the list
    EXPECT_EQ(b.app.selection().firstSelectedItem(), c);

    // Nothing to give back on a new item: that is what cancelling is for.
    b.c.addItem();
    b.c.revertItemSheet();
    EXPECT_TRUE(b.c.sheetIsOpen());
    b.c.cancelItemSheet();
    EXPECT_EQ(b.items().size(), 2u);
}

TEST(DuplicateItem, CopiesEverythingIncludingTheStampAndIsIndependent) {
    Desk b;
    b.c.editItem();  // without a selection: only a beep
    EXPECT_EQ(b.ui.beeps, 1);
    EXPECT_FALSE(b.c.sheetIsOpen());
    EXPECT_TRUE(b.ui.alerts.empty());
    b.c.duplicateItem();
    EXPECT_EQ(b.lastMessage(), u"Kein Posten ausgewählt."_s);
    EXPECT_EQ(b.ui.alerts.back().title, u"Fehler!"_s);

    const RecordPtr item = b.enter(2, u"119"_s, u"Beratung"_s, true, 1);
    b.c.duplicateItem();
    ASSERT_EQ(b.items().size(), 2u);
    const RecordPtr copy = b.items().back();
    EXPECT_NE(copy, item);
    EXPECT_EQ(copy->properties(), item->properties());
    EXPECT_EQ(copy->text(keys::UUID), item->text(keys::UUID));
    EXPECT_EQ(b.app.selection().firstSelectedItem(), copy);
    copy->set(keys::title, u"Kopie"_s);
    EXPECT_EQ(item->text(keys::title), u"Beratung"_s);
}

// ---- accounts, search sheets, templates -----------------------------------------------

TEST(ItemAccount, ByTitleAfterItsDelayAndByNumberTheFirstMatchOrARefusal) {
    Desk b;
    b.addAccount(u"8400"_s, u"Erlöse"_s);
    b.addAccount(u"4930"_s, u"Bürobedarf"_s);
    b.addAccount(u"4930"_s, u"Zweites Konto"_s);
    b.c.addItem();
    b.c.validateAccountTitle(u"Erlöse"_s);
    EXPECT_TRUE(b.c.itemSheet().busy);
    EXPECT_EQ(b.c.sheetItem()->text(keys::accountNumber), u""_s);
    ASSERT_EQ(b.ui.scheduledDelays.back(), 100);
    b.ui.runScheduled();
    EXPECT_FALSE(b.c.itemSheet().busy);
    EXPECT_EQ(b.c.sheetItem()->text(keys::accountNumber), u"8400"_s);
    EXPECT_EQ(b.c.itemSheet().accountText, u"8400"_s);

    b.c.setAccountText(u"4930"_s);
    EXPECT_TRUE(b.c.validateAccountNumber());
    EXPECT_EQ(b.c.sheetItem()->text(keys::account), u"Bürobedarf"_s);
    EXPECT_EQ(b.c.sheetItem()->text(keys::accountNumber), u"4930"_s);

    b.c.setAccountText(u"9999"_s);
    EXPECT_FALSE(b.c.validateAccountNumber());
    EXPECT_EQ(b.lastMessage(), AddController::kUnknownAccount);
    EXPECT_TRUE(b.c.itemSheet().accountRejected);
    EXPECT_EQ(b.c.sheetItem()->text(keys::account), u"Bürobedarf"_s);

    b.c.setAccountText(u""_s);
    EXPECT_TRUE(b.c.validateAccountNumber());
}

TEST(SearchSheets, FilterChooseAndCancel) {
    Desk b;
    for (const QString& t : {u"Reisekosten"_s, u"Bürobedarf"_s, u"Reparaturen"_s}) {
        RecordPtr g = Record::create(RecordClass::Group, b.app.nowStamp());
        g->set(keys::title, t);
        b.app.database().groups.push_back(g);
    }
    b.addAccount(u"1200"_s, u"Bank"_s);
    b.c.addItem();
    b.c.openGroupSearchSheet();
    EXPECT_EQ(b.c.searchSheet().rows.size(), 3u);
    b.c.setSearchText(u"re"_s);
    EXPECT_EQ(b.c.searchSheet().rows, (std::vector<uint32_t>{0, 2}));
    b.c.setSearchSelection(1);
    b.c.selectGroupSearchSheet();
    EXPECT_EQ(b.c.sheetItem()->text(keys::group), u"Reparaturen"_s);
    EXPECT_EQ(b.c.searchSheet().kind, AddController::SearchKind::None);

    b.c.openGroupSearchSheet();
    b.c.setSearchSelection(1);
    b.c.cancelGroupSearchSheet();
    EXPECT_EQ(b.c.sheetItem()->text(keys::group), u"Reparaturen"_s);

    b.c.openAccountSearchSheet();
    b.c.setSearchText(u"120"_s);  // accounts are found by number too
    b.c.selectAccountSearchSheet();
    EXPECT_EQ(b.c.sheetItem()->text(keys::account), u"Bank"_s);
    EXPECT_EQ(b.c.sheetItem()->text(keys::accountNumber), u"1200"_s);
}

TEST(Templates, MadeFromAnItemAndAppliedWithFreshStamps) {
    Desk b;
    b.c.makeTemplateFromItem();
    EXPECT_EQ(b.ui.beeps, 1);
    EXPECT_TRUE(b.app.database().items.empty());

    b.addAccount(u"4900"_s, u"Sonstiges"_s);
    b.c.addItem();
    b.c.selectExpense();
    b.c.setItemTaxBool(true);
    b.c.setItemTaxTag(1);
    b.c.setItemText(keys::title, u"Telefon"_s);
    b.c.setItemText(keys::group, u"Kommunikation"_s);
    b.c.setAccountText(u"4900"_s);
    b.c.validateAccountNumber();
    b.c.setAmountText(u"59,50"_s);
    ASSERT_TRUE(b.c.closeItemSheet());

    RecordPtr shown;
    b.c.showTemplate = [&](const RecordPtr& t) { shown = t; };
    const RecordPtr tmpl = b.c.makeTemplateFromItem();
    ASSERT_TRUE(tmpl);
    EXPECT_EQ(shown, tmpl);
    EXPECT_EQ(b.app.database().items.back(), tmpl);
    EXPECT_EQ(tmpl->text(keys::title), u"Telefon"_s);
    EXPECT_EQ(tmpl->value(keys::amount).toFloat(), 59.5f);
    EXPECT_EQ(tmpl->integer(keys::taxTag), 1);
    EXPECT_EQ(tmpl->text(keys::parentTab), u""_s);
    EXPECT_EQ(tmpl->text(keys::UUID), kStamp);

    // Applying: the entry fields and the stamps change; date, number and comment stay.
    b.c.addItem();
    const RecordPtr item = b.c.sheetItem();
    item->set(keys::UUID, u"1"_s);
    item->set(keys::parentTab, u"alt"_s);
    b.c.setItemText(keys::number, u"R-17"_s);
    b.c.setItemText(keys::comment, u"bleibt"_s);
    b.c.openTemplateSearchSheet();
    b.c.selectTemplateSearchSheet();
    EXPECT_EQ(item->text(keys::UUID), kStamp);
    EXPECT_EQ(item->text(keys::parentTab), u"Mai"_s);
    EXPECT_EQ(item->text(keys::title), u"Telefon"_s);
    EXPECT_EQ(item->text(keys::number), u"R-17"_s);
    EXPECT_EQ(item->text(keys::comment), u"bleibt"_s);
    EXPECT_EQ(b.c.itemSheet().amountText, u"59,50"_s);
    EXPECT_FLOAT_EQ(item->real(keys::taxFeeGet), 9.5f);
    EXPECT_EQ(b.c.itemSheet().accountText, u"4900"_s);
    b.ui.runScheduled();  // the account by title, two delays later
    EXPECT_EQ(item->text(keys::account), u"Sonstiges"_s);

    const RecordPtr empty = b.c.addTemplate();
    EXPECT_EQ(empty->text(keys::UUID), kStamp);
    EXPECT_EQ(b.app.database().items.size(), 2u);
}
