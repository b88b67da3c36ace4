// The first-steps assistant: from the welcome to a selected statement, the
// settings it writes, the chart loads and the guide steps on the way.
#include "bookkeeping/first_steps_controller.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "support/books.h"

#include <gtest/gtest.h>

#include <limits>

using namespace quandor;
using namespace Qt::StringLiterals;
namespace P = quandor::prefs;
using Sheet = FirstStepsController::Sheet;
using Chart = FirstStepsController::ChartChoice;

namespace {

struct Desk : test::OpenBooks {
    FirstStepsController& c = controllers.firstSteps;

    void walkToEntry() {
        c.openSheetFirst();
        c.closeSheetFirst();
        ASSERT_TRUE(c.closeSheetAssi());
        ASSERT_TRUE(c.closeSheetAccount());
        ASSERT_EQ(c.sheet(), Sheet::Entry);
    }
};

}  // namespace

TEST(FirstSteps, ANewUserWalksFromTheWelcomeToASelectedStatement) {
    Desk b;
    EXPECT_TRUE(b.c.welcomeAtStart());
    b.c.openSheetFirst();
    EXPECT_EQ(b.c.sheet(), Sheet::First);
    b.c.closeSheetFirst();
    EXPECT_EQ(b.c.sheet(), Sheet::Assi);
    EXPECT_TRUE(b.c.assistantShown());
    EXPECT_FLOAT_EQ(b.c.setup().rate1, 19.0f);  // proposed on a fresh installation
    EXPECT_FLOAT_EQ(b.c.setup().rate2, 7.0f);

    b.c.setup().company = u"  Muster Design  "_s;
    b.c.setup().taxID = u"21/815/08150"_s;
    b.c.setup().makeBackup = true;
    ASSERT_TRUE(b.c.closeSheetAssi());
    EXPECT_EQ(b.settings.getText(P::prefsCompany), u"Muster Design"_s);
    EXPECT_EQ(b.settings.getText(P::prefsTaxID), u"21/815/08150"_s);
    EXPECT_FLOAT_EQ(b.settings.getFloat(P::prefs1Rate), 19.0f);
    EXPECT_TRUE(b.settings.getBool(P::prefsMakeBackup));

    EXPECT_EQ(b.c.sheet(), Sheet::Account);
    EXPECT_EQ(b.c.chart(), Chart::Standard);  // an empty account list gets the standard chart
    ASSERT_TRUE(b.c.closeSheetAccount());
    EXPECT_GT(b.app.accounts().size(), 10u);
    EXPECT_TRUE(b.ui.alerts.empty());  // no question over an empty list

    EXPECT_EQ(b.c.sheet(), Sheet::Entry);
    EXPECT_EQ(b.c.entry().yearName, u"2024"_s);  // the clock says May 2024
    EXPECT_EQ(b.c.entry().periodName, u"Mai"_s);
    ASSERT_TRUE(b.c.closeSheetEntry());
    EXPECT_EQ(b.c.sheet(), Sheet::None);
    EXPECT_FALSE(b.c.assistantShown());
    EXPECT_TRUE(b.settings.getBool(P::isSetupDone));
    ASSERT_EQ(b.app.years().size(), 1u);
    EXPECT_EQ(b.app.selection().selectedYear()->text(keys::dateValue), u"2024"_s);
    EXPECT_EQ(b.app.selection().selectedStatement()->text(keys::title), u"Mai"_s);
    EXPECT_FALSE(b.controllers.years.sheetIsOpen());
    EXPECT_EQ(b.settings.getInt(P::jaImage), 4);  // 2 at the end, 3 the year, 4 the statement

    // The item sheet opens on the new statement and takes the guide to its last step.
    b.controllers.items.addItem();
    EXPECT_EQ(b.settings.getInt(P::jaImage), 5);
    EXPECT_TRUE(b.ui.alerts.empty());
}

TEST(FirstSteps, TheEntrySheetReusesAYearAndStatementThatExist) {
    Desk b;
    b.walkToEntry();
    b.c.entry().yearName = u"2023"_s;
    b.c.entry().periodName = u"1. Kalendervierteljahr"_s;
    ASSERT_TRUE(b.c.closeSheetEntry());
    b.walkToEntry();
    b.c.entry().yearName = u"2023"_s;
    b.c.entry().periodName = u"1. Kalendervierteljahr"_s;
    ASSERT_TRUE(b.c.closeSheetEntry());
    ASSERT_EQ(b.app.years().size(), 1u);
    EXPECT_EQ(b.app.years()[0]->thelists().size(), 1u);
    EXPECT_EQ(b.settings.getInt(P::jaImage), 2);  // nothing added the second time
}

TEST(FirstSteps, BadInputIsRefusedInGermanAndTheSheetStaysOpen) {
    Desk b;
    b.c.selectAssi();
    for (float bad : {-1.0f, 100.5f, std::numeric_limits<float>::quiet_NaN()}) {
        b.ui.alerts.clear();
        b.c.setup().rate2 = bad;
        EXPECT_FALSE(b.c.closeSheetAssi());
        ASSERT_EQ(b.ui.alerts.size(), 1u);
        EXPECT_EQ(b.ui.alerts[0].title, u"Fehler!"_s);
        EXPECT_EQ(b.ui.alerts[0].message, FirstStepsController::kBadRate);
        EXPECT_EQ(b.c.sheet(), Sheet::Assi);
        EXPECT_FLOAT_EQ(b.settings.getFloat(P::prefs2Rate), 0.0f);  // nothing written
    }
    b.c.setup().rate2 = 7.0f;
    ASSERT_TRUE(b.c.closeSheetAssi());
    ASSERT_TRUE(b.c.closeSheetAccount());

    b.ui.alerts.clear();
    b.c.entry().yearName = u" "_s;
    EXPECT_FALSE(b.c.closeSheetEntry());
    b.c.entry().yearName = u"2024"_s;
    b.c.entry().periodName = u""_s;
    EXPECT_FALSE(b.c.closeSheetEntry());
    ASSERT_EQ(b.ui.alerts.size(), 2u);
    EXPECT_EQ(b.ui.alerts[0].message, FirstStepsController::kNoYearName);
    EXPECT_EQ(b.ui.alerts[1].message, FirstStepsController::kNoPeriodName);
    EXPECT_TRUE(b.app.years().empty());
    EXPECT_FALSE(b.settings.getBool(P::isSetupDone));

    // Another sheet of the main window open: refused, nothing added.
    b.controllers.years.addYear();
    b.ui.alerts.clear();
    b.c.entry().periodName = u"Mai"_s;
    EXPECT_FALSE(b.c.closeSheetEntry());
    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_EQ(b.ui.alerts[0].message, FirstStepsController::kSheetOpen);
    EXPECT_EQ(b.c.sheet(), Sheet::Entry);
}

TEST(FirstSteps, OwnAccountsAreOnlyReplacedAfterTheQuestion) {
    Desk b;
    auto own = Record::create(RecordClass::Account, b.app.nowStamp());
    own->set(keys::title, u"Mein Konto"_s);
    b.app.database().accounts.push_back(own);

    b.c.selectAssi();
    ASSERT_TRUE(b.c.closeSheetAssi());
    EXPECT_EQ(b.c.chart(), Chart::Keep);  // kept unless chosen otherwise
    b.c.setChart(Chart::Minimal);
    b.ui.answers = {1};  // "Abbrechen"
    EXPECT_FALSE(b.c.closeSheetAccount());
    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_EQ(b.ui.alerts[0].title, u"Minimal Kontenrahmen laden"_s);
    ASSERT_EQ(b.app.accounts().size(), 1u);
    EXPECT_EQ(b.c.sheet(), Sheet::Account);

    // Once the assistant loaded a chart, switching to another asks no more.
    ASSERT_TRUE(b.c.loadMinimalAccountsSetup());
    const size_t minimal = b.app.accounts().size();
    ASSERT_TRUE(b.c.loadCompleteAccountsSetup());
    EXPECT_GT(b.app.accounts().size(), minimal);
    EXPECT_EQ(b.ui.alerts.size(), 2u);
}

TEST(FirstSteps, CancellingClosesWithoutEndingTheSetupExceptOnTheLastSheet) {
    Desk b;
    b.c.openSheetFirst();
    b.c.cancelSheetFirst();
    EXPECT_EQ(b.c.sheet(), Sheet::None);
    EXPECT_FALSE(b.c.assistantShown());

    b.c.selectAssi();
    b.c.setup().company = u"Nicht übernommen"_s;
    b.c.cancelSheetAssi();
    EXPECT_EQ(b.c.sheet(), Sheet::None);
    EXPECT_TRUE(b.settings.getText(P::prefsCompany).isEmpty());
    EXPECT_FALSE(b.settings.getBool(P::isSetupDone));

    b.c.selectAssi();
    ASSERT_TRUE(b.c.closeSheetAssi());
    b.c.cancelSheetAccount();
    EXPECT_TRUE(b.app.accounts().empty());
    EXPECT_FALSE(b.settings.getBool(P::isSetupDone));

    b.walkToEntry();
    b.c.cancelSheetEntry();
    EXPECT_TRUE(b.settings.getBool(P::isSetupDone));
    EXPECT_EQ(b.settings.getInt(P::jaImage), 2);
    EXPECT_TRUE(b.app.years().empty());
}
