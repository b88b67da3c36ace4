// Statement totals: the eleven figures, their settings, the payment block and
// the summary page. Expected figures follow the item formulas by hand, in
// single precision, and are compared bit for bit.
#include "bookkeeping/statement_totals.h"
#include "bookkeeping/summary_page.h"
#include "bookkeeping/totals_fixture.h"
#include "core/number_texts.h"

#include <gtest/gtest.h>

using namespace quandor;
using namespace Qt::StringLiterals;
using test::sameBits;
namespace P = quandor::prefs;

namespace {

// The contained VAT of gross `a` at `r` percent, as an item holds it.
float vatOf(float a, float r) {
    const float p = a * 100.0f;
    const float q = 100.0f + r;
    const float n = p / q;
    return a - n;
}

#define EXPECT_BITS(actual, expected)           \
    EXPECT_TRUE(sameBits((actual), (expected))) \
        << #actual << " = " << (actual) << ", expected " << (expected)

}  // namespace

TEST(StatementTotals, IncomeAtRateOneAndExpenseAtRateTwo) {
    test::TotalsBooks b;
    b.income(119.0f, 19.0f, 1);
    const float t = vatOf(59.5f, 7.0f);
    b.expense(59.5f, t, 2);
    b.totals.infoWindowVoid();
    ASSERT_TRUE(b.controller.totals());
    const StatementTotals& s = *b.controller.totals();
    EXPECT_BITS(s.tax1Sum, 100.0f);
    EXPECT_BITS(s.tax1Amount, 19.0f);
    EXPECT_BITS(s.abziehbareBetraege, 59.5f);
    EXPECT_BITS(s.abziehbareBetraegeSteuer, t);
    EXPECT_NEAR(t, 3.892525, 1e-6);
    EXPECT_BITS(s.saldo, 19.0f - t);
    EXPECT_EQ(amountText(s.abziehbareBetraegeSteuer), u"3,89"_s);
    EXPECT_EQ(amountText(s.saldo), u"15,11"_s);
    EXPECT_BITS(s.tax2Sum, 0.0f);
    EXPECT_BITS(s.steuerfreieUmsaetze, 0.0f);

    // Every total also lands in its setting, bit for bit.
    for (const TotalField& f : totalFields())
        EXPECT_BITS(b.settings.getFloat(f.settingKey), s.*(f.member));
    EXPECT_BITS(b.settings.getFloat(P::tabSaldoField), 19.0f - t);
}

TEST(StatementTotals, TaxFreeAndNotTaxableRevenueCountOnlyWithVat) {
    test::TotalsBooks b;
    b.income(500.0f, 0.0f, 4);
    b.income(250.0f, 0.0f, 5);
    b.income(80.0f, 0.0f, 4, 1, /*vat=*/false);  // without VAT: counts nowhere
    b.income(30.0f, 0.0f, 5, 1, /*vat=*/false);
    b.income(119.0f, 19.0f, 0);  // tag 0 and unknown tags add nothing
    b.income(119.0f, 19.0f, 7);
    b.totals.infoWindowVoid();
    const StatementTotals& s = *b.controller.totals();
    EXPECT_BITS(s.steuerfreieUmsaetze, 500.0f);
    EXPECT_BITS(s.nichtSteuerbar, 250.0f);
    EXPECT_BITS(s.tax1Sum, 0.0f);
    EXPECT_BITS(s.saldo, 0.0f);
    // The statement sums take every item, with or without VAT.
    EXPECT_BITS(s.incomeWith, 500.0f + 250.0f + 80.0f + 30.0f + 119.0f + 119.0f);
}

TEST(StatementTotals, CreditNotesAndRefunds) {
    test::TotalsBooks b;
    b.income(-119.0f, -19.0f, 1);  // a credit note to a customer
    const float t = vatOf(238.0f, 19.0f);
    b.expense(238.0f, t, 1);
    const float credit = vatOf(-107.0f, 7.0f);
    b.expense(-107.0f, credit, 2);  // a credit note from a supplier
    b.totals.infoWindowVoid();
    const StatementTotals& s = *b.controller.totals();
    EXPECT_BITS(s.tax1Sum, -100.0f);
    EXPECT_BITS(s.tax1Amount, -19.0f);
    const float gross = -238.0f + 107.0f;
    EXPECT_BITS(s.abziehbareBetraege, gross + gross * -2.0f);
    EXPECT_BITS(s.abziehbareBetraegeSteuer, t + credit);
    EXPECT_BITS(s.saldo, -19.0f - (t + credit));
    EXPECT_LT(s.saldo, 0.0f);  // only refunds: the balance is negative
}

TEST(StatementTotals, ListedItemsOnlyAndInListOrder) {
    test::TotalsBooks b;
    // 2^24 plus three ones: in date order every +1 is lost to rounding;
    // any other order would keep some of them. The list is sorted by date.
    b.income(2.0f, 1.0f, 1, /*day=*/3);
    b.income(2.0f, 1.0f, 1, /*day=*/4);
    b.income(16777218.0f, 2.0f, 1, /*day=*/1);  // net 16777216
    b.add(1, false, 0, {{keys::expenseWith, -50.0f}, {keys::finalAmount, -50.0f}}, 2, u"Miete"_s);
    b.totals.infoWindowVoid();
    EXPECT_BITS(b.controller.totals()->tax1Sum, 16777216.0f);
    EXPECT_BITS(b.controller.totals()->tax1Amount, 4.0f);

    // A filter narrows the totals, not the statement sums of the page.
    b.app.selection().setFilterText(u"miete"_s);
    b.totals.infoWindowVoid();
    const StatementTotals& s = *b.controller.totals();
    EXPECT_EQ(s.listedCount, 1u);
    EXPECT_BITS(s.tax1Sum, 0.0f);
    EXPECT_BITS(s.tax1Amount, 0.0f);
    EXPECT_BITS(s.expenseWith, -50.0f);
    EXPECT_BITS(s.incomeWith, 16777222.0f);
}

TEST(StatementTotals, EmptyStatementGivesZerosAPageAndThePaymentBalance) {
    test::TotalsBooks b;
    b.settings.setFloat(P::tabSaldoField, 99.0f);  // from an earlier statement
    b.totals.infoWindowVoid();
    for (const TotalField& f : totalFields()) EXPECT_BITS(b.settings.getFloat(f.settingKey), 0.0f);
    const SummaryPage& page = b.totals.summaryPage();
    EXPECT_TRUE(page.html.contains(u"Voranmeldung noch nicht erstellt"_s));
    // Without a company name the footer starts with its own words.
    EXPECT_EQ(b.settings.getText(P::printFooter), u"Abrechnung März 2013 · Seite "_s);

    // The payment block's balance.
    b.controller.setPaymentField(keys::payment, 100.0f);
    b.controller.setPaymentField(keys::additionalPayment, 20.0f);
    b.controller.setPaymentField(keys::rePayment, 30.0f);
    b.controller.setPaymentField(keys::balance, 5.0f);  // not a field the person edits
    b.controller.calculateTab();
    EXPECT_BITS(b.statement->real(keys::balance), 90.0f);
    EXPECT_BITS(b.statement->real(keys::payment), 100.0f);
}

TEST(SummaryPage, PaymentBlockTablesAndFooter) {
    test::TotalsBooks b;
    b.settings.setText(P::prefsCompany, u"Müller & Söhne"_s);
    b.settings.setText(P::prefsTaxID, u"12/345/67890"_s);
    b.settings.setBool(P::prefsPrintCurrency, true);
    b.settings.setInt(P::prefsCurrency, 0);
    b.statement->set(keys::taxBool, true);
    b.statement->set(keys::date, Date::fromUnix(1365154200.0));  // 2013-04-05
    b.statement->set(keys::payment, 1000.0f);
    b.statement->set(keys::balance, -1500.0f);
    b.income(1190.0f, 190.0f, 1);
    b.expense(119.0f, 19.0f, 1);
    b.totals.infoWindowVoid();
    const QString html = b.totals.summaryPage().html;
    // Head, the label of an unset rate and the footer are proven by the golden summary export.
    EXPECT_TRUE(html.contains(u"Voranmeldung erstellt am: 05.04.2013"_s));
    // Payment amounts group only from +1000 up: a negative balance stays ungrouped.
    EXPECT_TRUE(html.contains(u"<td>1.000,00 €</td>"_s));
    EXPECT_TRUE(html.contains(u"<td><b>-1500,00 €</b></td>"_s));
    // With and without taxes; expenses negative.
    EXPECT_TRUE(html.contains(
        u"<td>mit Steuern:</td><td>-119,00 €</td><td>1.190,00 €</td><td><b>1.071,00 €</b></td>"_s));
    EXPECT_TRUE(html.contains(
        u"<td>ohne Steuern:</td><td>-100,00 €</td><td>1.000,00 €</td><td><b>900,00 €</b></td>"_s));
    EXPECT_TRUE(html.contains(u"Steuerpflichtige Umsätze (19,00 %):</td><td>1.000,00 €</td>"_s));
    EXPECT_FALSE(html.contains(u"Übersicht aller Posten"_s));
}

TEST(SummaryPage, ItemListShortensLongTexts) {
    test::TotalsBooks b;
    b.settings.setBool(P::prefsExportPrintWithList, true);
    const QString title29 = u"Beratung Projekt Nordwind 123"_s;   // 29 characters: kept
    const QString title30 = u"Beratung Projekt Nordwind 1234"_s;  // 30: cut
    RecordPtr a = b.income(119.0f, 19.0f, 1, 2);
    a->set(keys::title, title29);
    a->set(keys::group, u"Erlöse aus Beratungsleistungen 19 %"_s);  // 35: cut at 31
    RecordPtr c = b.expense(10.0f, 0.0f, 0, 1, false);
    c->set(keys::title, title30);
    b.totals.infoWindowVoid();
    QString html = b.totals.summaryPage().html;
    // Without a company name the heading starts with its own words.
    EXPECT_TRUE(html.contains(u"<br>"_s.repeated(22) +
                              u"<h4>&Uuml;bersicht aller Posten &middot; März 2013</h4>"_s));
    EXPECT_TRUE(html.contains(title29 + u"<br>"_s));
    EXPECT_TRUE(html.contains(u"Beratung Projekt Nordwind 12 …<br>"_s));
    EXPECT_TRUE(html.contains(u"<span class=\"k\">Erlöse aus Beratungsleistungen  …</span>"_s));
    // Sorted by date: the expense (day 1) is number 1; no net or rate without VAT.
    const qsizetype first = html.indexOf(u"<td><b>1</b></td>"_s);
    ASSERT_GE(first, 0);
    EXPECT_LT(first, html.indexOf(u"Nordwind 12 …"_s));
    EXPECT_TRUE(html.contains(
        u"<td></td><td></td><td>-10,00</td><td><span class=\"kk\">\u21E5</span></td>"_s));
    EXPECT_TRUE(html.contains(
        u"<td>100,00</td><td><span class=\"kk\">19,00 %</span></td><td>119,00</td>"_s));

    b.settings.setBool(P::prefsPrintUnshortened, true);
    b.totals.infoWindowVoid();
    html = b.totals.summaryPage().html;
    EXPECT_TRUE(html.contains(title30 + u"<br>"_s));
}

TEST(SummaryPage, PrintingNeedsAStatementAndTurnsTheListOn) {
    test::TotalsBooks b;
    int printed = 0;
    QString rendered;
    b.controller.setSummaryPrinter([&] { ++printed; });
    b.totals.setSummaryRenderer([&](const SummaryPage& page) { rendered = page.html; });
    b.income(119.0f, 19.0f, 1);
    b.controller.printAbrechnung();
    b.ui.runScheduled();
    EXPECT_EQ(printed, 1);
    EXPECT_TRUE(b.settings.getBool(P::prefsExportPrintWithList));
    EXPECT_TRUE(rendered.contains(u"&Uuml;bersicht aller Posten"_s));

    b.year->thelists().clear();
    b.app.selection().refresh();
    b.controller.printAbrechnung();
    b.ui.runScheduled();
    EXPECT_EQ(printed, 1);
    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_EQ(b.ui.alerts[0].title, u"Fehler!"_s);
    EXPECT_EQ(b.ui.alerts[0].message,
              u"Du musst erst eine Abrechnung und zugehörige Posten anlegen."_s);
}
