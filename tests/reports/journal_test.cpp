// The reports window over the scripted UI (its refusals, notices, the order
// of the pipeline and "Mist!"), and the four reports' figures against a
// second computation on a generated year.
#include "cli/generator.h"
#include "core/keys.h"
#include "reports/report_figures.h"
#include "support/report_books.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <map>

namespace quandor {
namespace {

using J = JournalController;
namespace P = prefs;

using JournalFixture = test::ReportBooks;

TEST_F(JournalFixture, OpeningRefusesBeforeTheFirstItemAndWithoutStatements) {
    settings().setBool(P::firstStepsDone, false);
    EXPECT_FALSE(journal.openJournalWindow());
    settings().setBool(P::firstStepsDone, true);
    EXPECT_FALSE(journal.openJournalWindow());
    ASSERT_EQ(ui().alerts.size(), 2u);
    EXPECT_EQ(ui().alerts[0].title, QStringLiteral("Hinweis!"));
    EXPECT_EQ(ui().alerts[0].message, J::kNoFirstSteps);
    EXPECT_EQ(ui().alerts[1].title, QStringLiteral("Fehler!"));
    EXPECT_EQ(ui().alerts[1].message, J::kNoStatements);
}

TEST_F(JournalFixture, PatienceNoticeUnlessSwitchedOffAndTheChoiceResets) {
    statement(QStringLiteral("Januar"));
    settings().setInt(P::selectedJournalTag, 3);
    EXPECT_TRUE(journal.openJournalWindow());
    ASSERT_EQ(ui().alerts.size(), 1u);
    EXPECT_EQ(ui().alerts[0].title, J::kPatienceTitle);
    EXPECT_TRUE(
        ui().alerts[0].message.endsWith(u"Du kannst diesen nervigen Hinweis übrigens auch in den "
                                        u"Einstellungen abstellen."));
    EXPECT_EQ(journal.selectedReport(), J::Report::None);
    EXPECT_FALSE(journal.actionsEnabled());
    settings().setBool(P::geduld, true);
    EXPECT_TRUE(journal.openJournalWindow());
    EXPECT_EQ(ui().alerts.size(), 1u);
    journal.journalButtonTagAction(4);
    EXPECT_TRUE(journal.actionsEnabled());
    EXPECT_FALSE(settings().getBool(P::journalButtonsHidden));
    journal.journalButtonTagAction(7);
    EXPECT_FALSE(journal.actionsEnabled());
}

TEST_F(JournalFixture, PreviewRunsTheStepsInOrderAndEndsTheProgress) {
    statement(QStringLiteral("Januar"));
    journal.journalButtonTagAction(1);
    std::vector<QString> steps;
    journal.hooks().generating = [&](bool busy) { steps.push_back(busy ? u"an"_qs : u"aus"_qs); };
    journal.hooks().showPreview = [&](const QString& pdf, const QString& title) {
        EXPECT_TRUE(QFileInfo(pdf).size() > 0);
        EXPECT_TRUE(QFile::exists(journal.htmlPath()));
        steps.push_back(title);
    };
    journal.previewJournal();
    EXPECT_EQ(steps, std::vector<QString>{u"an"_qs});
    EXPECT_FALSE(journal.actionsEnabled());  // nothing twice at once
    ui().runScheduled();
    EXPECT_EQ(steps, (std::vector<QString>{u"an"_qs, u"Vorschau - Umsatz"_qs, u"aus"_qs}));
    EXPECT_EQ(settings().getText(P::printFooter), QStringLiteral("Umsatz 2024 · Seite "));
    EXPECT_FALSE(settings().getBool(P::showPrevieJournalRTFAction));
    EXPECT_TRUE(ui().alerts.empty());
    for (int delay : ui().scheduledDelays) EXPECT_EQ(delay, 0);
}

TEST_F(JournalFixture, UnwritablePageGivesMistAndEndsTheRun) {
    statement(QStringLiteral("Januar"));
    journal.journalButtonTagAction(3);
    // A folder where the page's file should be.
    ASSERT_TRUE(QDir().mkpath(journal.htmlPath() + QStringLiteral("/x")));
    bool ended = false;
    journal.hooks().generating = [&](bool busy) { ended = !busy; };
    journal.previewJournal();
    ui().runScheduled();
    ASSERT_EQ(ui().alerts.size(), 1u);
    EXPECT_EQ(ui().alerts[0].title, J::kFailedTitle);
    EXPECT_EQ(ui().alerts[0].message, J::kFailed);
    EXPECT_TRUE(ended);
    EXPECT_TRUE(journal.actionsEnabled());
}

// ---- figures ------------------------------------------------------------------------

RecordPtr item(const QString& title, const QString& account, int kind, float gross, float net,
               int tag, double day) {
    RecordPtr r = Record::create(RecordClass::Item, Date{});
    r->set(keys::title, title);
    r->set(keys::account, account);
    r->set(keys::kind, kind);
    r->set(keys::taxBool, tag != 0);
    r->set(keys::taxTag, tag);
    r->set(keys::date, Date{day * 86400});
    r->set(keys::finalAmount, gross);
    r->set(keys::finalAmountWithout, net);
    const float tax = gross - net;
    r->set(kind == 1 ? keys::expenseWith : keys::incomeWith, gross);
    r->set(kind == 1 ? keys::expenseWithout : keys::incomeWithout, net);
    r->set(kind == 1 ? keys::taxFeeGet : keys::taxFeePay, kind == 1 ? -tax : tax);
    return r;
}

TEST_F(JournalFixture, ProfitBasisShowsEveryItemOnceWithTheRestWithoutAccount) {
    RecordPtr jan = statement(QStringLiteral("Januar"));
    RecordPtr feb = statement(QStringLiteral("Februar"));
    // Listed out of date order: the report sorts by date.
    jan->items().push_back(item(u"B"_qs, u"Miete"_qs, 1, -500, -500, 0, 20));
    jan->items().push_back(item(u"A"_qs, u"Erlöse"_qs, 2, 119, 100, 1, 10));
    feb->items().push_back(item(u"C"_qs, QString(), 1, -10.7f, -10, 2, 40));
    feb->items().push_back(item(u"D"_qs, u"Gelöscht"_qs, 2, 4, 4, 4, 41));
    for (const char16_t* t : {u"Erlöse", u"Leer", u"Miete", u"Erlöse"}) {
        RecordPtr a = Record::create(RecordClass::Account, Date{});
        a->set(keys::title, QString::fromUtf16(t));
        books().database().accounts.push_back(a);
    }
    const ProfitReport p = profitReport(*year, books().database().accounts);
    ASSERT_EQ(p.accounts.size(), 3u);  // the second "Erlöse" and "Leer" get no section
    EXPECT_EQ(p.accounts[0].title, u"Erlöse"_qs);
    EXPECT_EQ(p.accounts[1].title, u"Miete"_qs);
    EXPECT_EQ(p.accounts[2].title, u"Ohne Konto"_qs);
    ASSERT_EQ(p.accounts[2].items.size(), 2u);
    EXPECT_EQ(p.accounts[2].items[0].number, 1);
    EXPECT_EQ(p.accounts[2].items[1].item->text(keys::title), u"D"_qs);
    EXPECT_EQ(p.balanceWith, 119.0f + -500.0f + (-10.7f + 4.0f));

    const TaxReport t = taxReport(*year);
    EXPECT_EQ(t.statements[0].incomeTax[0], 19.0f);
    const float cTax = -(-10.7f - -10.0f);  // the item's "taxFeeGet"
    EXPECT_EQ(t.statements[1].expenseTax[1], 0.0f + cTax);
    EXPECT_EQ(t.saldo[2], 0.0f);  // tag 4 adds to no rate
}

// A second computation of the year figures on a generated year, in the
// documented order, compared to the bit.
TEST(ReportFigures, GeneratedYearMatchesASecondComputation) {
    GeneratorOptions options;
    options.items = 3000;
    options.seed = 11;
    options.itemsPerStatement = 250;
    const Database db = generateDatabase(options);
    ASSERT_FALSE(db.years.empty());
    const Record& year = *db.years.back();
    const StatementsReport r = statementsReport(year, true);
    const TaxReport t = taxReport(year);
    const ProfitReport p = profitReport(year, db.accounts);

    float in = 0, ex = 0, inN = 0, exN = 0;
    std::array<float, 3> saldo{};
    std::map<QString, std::pair<float, float>> perAccount;
    size_t count = 0;
    for (const RecordPtr& s : year.thelists()) {
        std::vector<const Record*> items;
        for (const RecordPtr& i : s->items()) items.push_back(i.get());
        std::stable_sort(items.begin(), items.end(), [](const Record* a, const Record* b) {
            return a->date(keys::date).sinceReference < b->date(keys::date).sinceReference;
        });
        float sin = 0, sex = 0, sinN = 0, sexN = 0;
        std::array<float, 3> ti{}, te{};
        for (const Record* i : items) {
            sin += i->real(keys::incomeWith);
            sex += i->real(keys::expenseWith);
            sinN += i->real(keys::incomeWithout);
            sexN += i->real(keys::expenseWithout);
            const auto tag = i->integer(keys::taxTag);
            if (i->flag(keys::taxBool) && tag >= 1 && tag <= 3) {
                if (i->integer(keys::kind) == 1)
                    te[size_t(tag - 1)] += i->real(keys::taxFeeGet);
                else
                    ti[size_t(tag - 1)] += i->real(keys::taxFeePay);
            }
            auto& acc = perAccount[i->text(keys::account)];
            acc.first += i->real(keys::finalAmount);
            acc.second += i->real(keys::finalAmountWithout);
            ++count;
        }
        in += sin, ex += sex, inN += sinN, exN += sexN;
        for (size_t k = 0; k < 3; ++k) saldo[k] += ti[k] - te[k];
    }
    EXPECT_EQ(r.balanceWith, in + ex);
    EXPECT_EQ(r.balanceWithout, inN + exN);
    EXPECT_EQ(r.statements.back().items.back().number, static_cast<int>(count));
    for (size_t k = 0; k < 3; ++k) EXPECT_EQ(t.saldo[k], saldo[k]) << k;
    float with = 0;
    size_t shown = 0;
    for (const ProfitReport::Account& a : p.accounts) {
        EXPECT_EQ(a.sumWith, perAccount.at(a.title).first) << a.title.toStdString();
        EXPECT_EQ(a.sumWithout, perAccount.at(a.title).second) << a.title.toStdString();
        with += a.sumWith;
        shown += a.items.size();
    }
    EXPECT_EQ(p.balanceWith, with);
    EXPECT_EQ(shown, count);
}

}  // namespace
}  // namespace quandor
