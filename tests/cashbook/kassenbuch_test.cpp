// Cash books over the scripted UI: the refusals with their German alerts, the
// numbers and balances against a second 32-bit computation, reversals and the
// CSV export.
#include "bookkeeping/print_files.h"
#include "cashbook/kassenbuch_controller.h"
#include "cashbook/kassenbuch_page.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "core/settings_keys.h"
#include "support/books.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace quandor {
namespace {

using test::OpenBooks;
using K = KassenbuchController;

struct CashBookFixture : ::testing::Test {
    CashBookFixture() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        RecordPtr year = Record::create(RecordClass::Year, books().nowStamp());
        year->set(keys::dateValue, QStringLiteral("2024"));
        statement = Record::create(RecordClass::Thelist, books().nowStamp());
        statement->set(keys::title, QStringLiteral("Mai"));
        year->thelists().push_back(statement);
        books().database().years.push_back(year);
        books().selection().setYearIndex(0);
        books().selection().setStatementIndex(0);
    }
    Books& books() { return open.app.books(); }
    Settings& settings() { return open.settings; }

    RecordPtr item(int kind, float amount, const QString& marker = {}) {
        RecordPtr r = Record::create(RecordClass::Item, books().nowStamp());
        r->set(keys::kind, kind);
        r->set(keys::amount, amount);
        r->set(keys::taxPerecent, 19.0f);
        r->set(keys::taxFee, amount * 0.19f);
        r->set(keys::misc9, marker);
        statement->items().push_back(r);
        books().selection().refresh();
        books().selection().setSelectedItems({r});
        return r;
    }
    void newCashBook(const QString& carry = {}) {
        cash.addCashBook();
        if (!carry.isEmpty()) {
            settings().setBool(prefs::prefsUebertragKassenbuch, true);
            settings().setText(prefs::prefsUebertragKassenbuchSumme, carry);
            settings().setText(prefs::prefsUebertragKassenbuchBezeichnung,
                               QStringLiteral("Übertrag"));
        }
        ASSERT_TRUE(cash.closeAddCashBook(QStringLiteral("2024")));
    }
    bool takeOver(const RecordPtr&, const QString& konto = QStringLiteral("1000")) {
        return cash.openAddCashBookItem() && cash.addCashBookItem(konto);
    }
    bool deposit(const QString& amount) {
        if (!cash.openBareinzahlung()) return false;
        settings().setText(prefs::prefsKasseneinlageSumme, amount);
        return cash.addBareinzahlung();
    }
    Record& cashbook() { return *books().database().cashbooks.at(0); }
    float balance() { return cashbook().real(keys::kassenbestand); }

    OpenBooks open;
    RecordPtr statement;
    KassenbuchController cash{open.app.books()};
};

// ---- refusals ----------------------------------------------------------------------

struct Refusal {
    const char* name;
    std::function<void(CashBookFixture&)> setup;  // ends with the refused step
    QString title;
    QString message;
    int entriesAfter;  // entries of the cash book after the refusal (-1: no cash book)
};

class CashBookRefusals : public CashBookFixture, public ::testing::WithParamInterface<Refusal> {};

TEST_P(CashBookRefusals, AlertsAndChangesNothing) {
    const Refusal& r = GetParam();
    r.setup(*this);
    ASSERT_FALSE(open.ui.alerts.empty());
    EXPECT_EQ(open.ui.alerts.back().title, r.title);
    EXPECT_EQ(open.ui.alerts.back().message, r.message);
    if (r.entriesAfter < 0) {
        EXPECT_TRUE(books().database().cashbooks.empty());
        return;
    }
    EXPECT_EQ(cashbook().items().size(), size_t(r.entriesAfter));
    EXPECT_EQ(cash.sheet(), K::Sheet::None);
}

const QString kError = QStringLiteral("Fehler!");

INSTANTIATE_TEST_SUITE_P(
    Cases, CashBookRefusals,
    ::testing::Values(Refusal{"DepositWithoutCashBook",
                              [](CashBookFixture& f) { f.deposit(QStringLiteral("5")); },
                              K::kNoCashBookTitle, K::kNoCashBookForDeposit, -1},
                      Refusal{"PaymentOneCentTooLarge",
                              [](CashBookFixture& f) {
                                  f.newCashBook(QStringLiteral("100"));
                                  EXPECT_FALSE(f.takeOver(f.item(1, 100.01f)));
                                  EXPECT_TRUE(f.item(1, 100.01f)->text(keys::misc9).isEmpty());
                              },
                              kError, K::kNegativeBalance, 1},
                      Refusal{"NegativeDeposit",
                              [](CashBookFixture& f) {
                                  f.newCashBook(QStringLiteral("5"));
                                  f.deposit(QStringLiteral("-5,01"));
                                  f.cash.cancelBareinzahlung();
                              },
                              kError, K::kNegativeBalance, 1},
                      Refusal{"NegativeCarryOver",
                              [](CashBookFixture& f) {
                                  f.cash.addCashBook();
                                  f.settings().setBool(prefs::prefsUebertragKassenbuch, true);
                                  f.settings().setText(prefs::prefsUebertragKassenbuchSumme,
                                                       QStringLiteral("-1"));
                                  EXPECT_FALSE(f.cash.closeAddCashBook(QStringLiteral("2024")));
                                  EXPECT_EQ(f.cash.sheet(), K::Sheet::AddCashBook);
                              },
                              kError, K::kNegativeCarry, -1},
                      Refusal{"StornoOfReceiptThatIsSpent",
                              [](CashBookFixture& f) {
                                  f.newCashBook();
                                  f.deposit(QStringLiteral("50"));
                                  f.takeOver(f.item(1, 30));
                                  f.cash.stornoEntry(1);
                              },
                              kError, K::kNegativeBalance, 2},
                      Refusal{"StornoOfMissingEntry",
                              [](CashBookFixture& f) {
                                  f.newCashBook();
                                  f.cash.stornoEntry(3);
                              },
                              kError, K::kNoSuchEntry.arg(3), 0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- accepted edge cases -------------------------------------------------------------

TEST_F(CashBookFixture, PaymentDownToExactlyZeroIsAccepted) {
    newCashBook(QStringLiteral("100"));
    const RecordPtr expense = item(1, 100);
    ASSERT_TRUE(takeOver(expense));
    EXPECT_EQ(balance(), 0.0f);
    EXPECT_EQ(cashbook().items().at(1)->integer(keys::nummer), 2);
    EXPECT_EQ(cashbook().items().at(1)->real(keys::sumAusgabe), 100.0f);
    EXPECT_EQ(expense->text(keys::misc9), QStringLiteral("isKassenbuch"));
    item(2, 1e6f);  // income, whatever the balance
    EXPECT_TRUE(takeOver(nullptr));
}

TEST_F(CashBookFixture, DeletingAskesAndKeepsTheMarkers) {
    newCashBook(QStringLiteral("5"));
    const RecordPtr income = item(2, 10);
    ASSERT_TRUE(takeOver(income));
    cash.deleteCashBook();  // Abbrechen
    EXPECT_EQ(books().database().cashbooks.size(), 1u);
    open.ui.answers = {1};
    cash.deleteCashBook();
    EXPECT_TRUE(books().database().cashbooks.empty());
    EXPECT_EQ(income->text(keys::misc9), QStringLiteral("isKassenbuch"));
}

TEST_F(CashBookFixture, DepositThatIsNoNumberCountsAsZero) {
    newCashBook();
    ASSERT_TRUE(deposit(QStringLiteral("zehn")));
    EXPECT_EQ(cashbook().items().at(0)->real(keys::sumEinnahme), 0.0f);
}

// ---- numbers and balances against a second computation --------------------------------

TEST_F(CashBookFixture, NumbersAndBalancesFollowA32BitModel) {
    newCashBook(QStringLiteral("12,34"));
    std::vector<float> model{12.34f};  // balances after each entry, newest last
    std::vector<float> receipts{12.34f}, payments{0.0f};
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> cents(1, 500000), what(0, 9);
    for (int i = 0; i < 400; ++i) {
        const float amount = static_cast<float>(cents(rng)) / 100.0f;
        const float last = model.back();
        const int w = what(rng);
        if (w < 3) {
            ASSERT_TRUE(deposit(QString::number(amount, 'f', 2)));
            receipts.push_back(amount), payments.push_back(0), model.push_back(last + amount);
        } else if (w < 6) {
            ASSERT_TRUE(takeOver(item(2, amount)));
            receipts.push_back(amount), payments.push_back(0), model.push_back(last + amount);
        } else if (w < 9) {
            const bool ok = takeOver(item(1, amount));
            ASSERT_EQ(ok, !(last - amount < 0.0f));
            if (ok)
                receipts.push_back(0), payments.push_back(amount), model.push_back(last - amount);
        } else {
            const size_t n = std::uniform_int_distribution<size_t>(1, model.size())(rng);
            const float in = receipts[n - 1], out = payments[n - 1];
            const float after = in > 0 ? last - in : last + out;
            if (cash.stornoEntry(static_cast<int64_t>(n))) {
                receipts.push_back(out), payments.push_back(in), model.push_back(after);
                ASSERT_GE(after, 0.0f);
            }
        }
    }
    const RecordList& entries = cashbook().items();
    ASSERT_EQ(entries.size(), model.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i]->integer(keys::nummer), int64_t(i + 1));
        const float stored = entries[i]->real(keys::kassenbestand);
        EXPECT_EQ(std::memcmp(&stored, &model[i], sizeof(float)), 0) << "entry " << i + 1;
    }
    EXPECT_EQ(balance(), model.back());
}

// ---- reversal --------------------------------------------------------------------------

TEST_F(CashBookFixture, StornoAsksFirstWithAbbrechenAsDefault) {
    newCashBook(QStringLiteral("100"));
    settings().setText(prefs::prefsAddCashBookItemTitle, QStringLiteral("Bürobedarf"));
    ASSERT_TRUE(takeOver(item(1, 40)));
    EXPECT_FALSE(cash.confirmStorno(2));
    ASSERT_EQ(open.ui.alerts.size(), 1u);
    EXPECT_EQ(open.ui.alerts[0].title, QStringLiteral("Warnung!"));
    EXPECT_EQ(open.ui.alerts[0].message,
              QStringLiteral(
                  "Möchtest du den Eintrag Nr. 2 „Bürobedarf“ wirklich stornieren? Er wird mit "
                  "einem neuen Eintrag zurückgebucht und bleibt selbst im Kassenbuch stehen."));
    EXPECT_EQ(open.ui.alerts[0].buttons,
              (QStringList{QStringLiteral("Abbrechen"), QStringLiteral("Stornieren")}));
    EXPECT_EQ(cashbook().items().size(), 2u);
    open.ui.answers = {1};
    EXPECT_TRUE(cash.confirmStorno(2));
}

// ---- print and export -------------------------------------------------------------------

TEST_F(CashBookFixture, PrintHandsTheSelectedCashBookToThePrintDialog) {
    EXPECT_FALSE(cash.printKassenbuch());  // no cash book: a beep, no dialog
    settings().setText(prefs::prefsCompany, QStringLiteral("Muster GmbH"));
    newCashBook(QStringLiteral("100"));
    int dialogs = 0;
    print::Page printed;
    cash.printDialog = [&](const print::PrintJob& job) {
        ++dialogs;
        printed = job.page();
        return true;
    };
    ASSERT_TRUE(cash.printKassenbuch());
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(printed.footer, QStringLiteral("Muster GmbH · Kassenbuch 2024 · Seite "));
    EXPECT_EQ(printed.list.rows.size(), 1u);
    EXPECT_TRUE(QFile::exists(books().paths().dataFolder + QStringLiteral("/Cashbook.html")));

    // The HTML file cannot be written: the alert, and nothing is printed.
    QFile::remove(books().paths().dataFolder + QStringLiteral("/Cashbook.html"));
    ASSERT_TRUE(QDir().mkpath(books().paths().dataFolder + QStringLiteral("/Cashbook.html/x")));
    EXPECT_FALSE(cash.printKassenbuch());
    EXPECT_EQ(dialogs, 1);
    ASSERT_FALSE(open.ui.alerts.empty());
    EXPECT_EQ(open.ui.alerts.back().title, QStringLiteral("Mist!"));
}

// ---- export -----------------------------------------------------------------------------

TEST_F(CashBookFixture, CsvHasTenQuotedFieldsAndCleanedTexts) {
    newCashBook();
    settings().setText(prefs::prefsKasseneinlageBezeichnung,
                       QStringLiteral("Einlage, bar \"Kasse\""));
    ASSERT_TRUE(deposit(QStringLiteral("1234,5")));
    settings().setText(prefs::prefsAddCashBookItemTitle, QStringLiteral("Porto"));
    settings().setText(prefs::prefsAddCashBookItemBeleg, QStringLiteral("B-7"));
    ASSERT_TRUE(takeOver(item(1, 10)));
    const QString date = shortDateText(books().nowStamp());
    EXPECT_EQ(cash.csvText(),
              QStringLiteral(
                  "\"1\",\"%1\",\"\",\"Einlage |  bar  Kasse \",\"\",\"1.234,50\",\"\",\"\",\"\","
                  "\"1.234,50\",\n"
                  "\"2\",\"%1\",\"B-7\",\"Porto\",\"1000\",\"\",\"10,00\",\"1,90\",\"19,00 %\","
                  "\"1.224,50\",\n")
                  .arg(date));
}

TEST_F(CashBookFixture, CellTextsOfManyEntriesKeepEachEntrysOwnDay) {
    // Around midnight, back and forth, and the same day again: each entry's
    // date text is the one of its own day.
    CashBookCellTexts texts;
    const double midnight = double(QDateTime(QDate(2024, 3, 31), QTime(0, 0)).toSecsSinceEpoch());
    for (const double at : {midnight - 0.001, midnight, midnight + 86399.999, midnight - 1,
                            midnight + 86400, midnight + 3600}) {
        RecordPtr e = Record::create(RecordClass::CashBookItem, books().nowStamp());
        e->set(keys::date, Date::fromUnix(at));
        e->set(keys::kassenbestand, 1234.5f);
        EXPECT_EQ(texts(*e).date, shortDateText(Date::fromUnix(at))) << at;
        EXPECT_EQ(texts(*e).balance, QStringLiteral("1.234,50"));
    }
}

TEST_F(CashBookFixture, PageShortensDescriptionsUnlessAskedNotTo) {
    newCashBook();
    settings().setText(prefs::prefsKasseneinlageBezeichnung,
                       QStringLiteral("Bareinzahlung aus der Tageskasse"));
    ASSERT_TRUE(deposit(QStringLiteral("5")));
    KassenbuchPageInput in;
    in.cashbook = &cashbook();
    print::Page page = buildKassenbuchPage(in);
    ASSERT_EQ(page.list.rows.size(), 1u);
    EXPECT_EQ(page.list.rows[0][3].text, QStringLiteral("Bareinzahlung aus de …"));
    EXPECT_TRUE(page.list.rows[0][6].text.isEmpty());
    in.unshortened = true;
    EXPECT_EQ(buildKassenbuchPage(in).list.rows[0][3].text,
              QStringLiteral("Bareinzahlung aus der Tageskasse"));
}

}  // namespace
}  // namespace quandor
