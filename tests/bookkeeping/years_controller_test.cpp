// Adding, confirming, cancelling and deleting years and statements, with the
// alerts the person sees and the first-steps flags.
#include "bookkeeping/years_controller.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "support/books.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quandor;
using namespace Qt::StringLiterals;
namespace P = quandor::prefs;

namespace {

struct Desk : test::OpenBooks {
    YearsController& controller = controllers.years;

    RecordList& years() { return app.database().years; }

    RecordPtr addYearNamed(const QString& name) {
        controller.addYear();
        controller.setYearName(name);
        EXPECT_TRUE(controller.closeYear());
        return years().back();
    }
    RecordPtr addListTitled(const QString& title) {
        controller.addList();
        controller.setListTitle(title);
        EXPECT_TRUE(controller.closeList());
        return app.selection().selectedStatement();
    }
    void expectOnlyAlert(const QString& title, const QString& message) {
        ASSERT_EQ(ui.alerts.size(), 1u);
        EXPECT_EQ(ui.alerts[0].title, title);
        EXPECT_EQ(ui.alerts[0].message, message);
        EXPECT_EQ(ui.alerts[0].buttons, QStringList{u"OK"_s});
    }
};

}  // namespace

TEST(Years, AddingAppendsSelectsStampsAndSetsTheGuideFlags) {
    Desk b;
    b.addYearNamed(u"2023"_s);
    const uint64_t before = b.app.changeCount();
    b.settings.setInt(P::prefsSelectedYearTabTag, 2);
    b.controller.addYear();

    ASSERT_EQ(b.years().size(), 2u);
    EXPECT_EQ(b.app.selection().yearIndex(), 1);
    EXPECT_GT(b.app.changeCount(), before);
    EXPECT_EQ(b.controller.sheet().kind, YearsController::SheetKind::Year);
    EXPECT_TRUE(b.controller.sheet().isNew);
    EXPECT_TRUE(b.settings.getBool(P::firstYearSet));
    EXPECT_EQ(b.settings.getInt(P::jaImage), 3);
    EXPECT_EQ(b.settings.getInt(P::prefsSelectedYearTabTag), 0);
}

TEST(Years, CancellingANewYearOrStatementGivesBackTheStatementAndItemsSelectedBefore) {
    Desk b;
    b.addYearNamed(u"2023"_s);
    const RecordPtr january = b.addListTitled(u"Januar"_s);
    const RecordPtr item = Record::create(RecordClass::Item, b.app.nowStamp());
    january->items().push_back(item);
    b.app.selection().refresh();
    b.app.selection().setSelectedItems({item});

    b.controller.addYear();  // selects the new year: no statement, no items
    EXPECT_EQ(b.app.selection().selectedStatement(), nullptr);
    b.controller.cancelYear();
    ASSERT_EQ(b.years().size(), 1u);
    EXPECT_EQ(b.years()[0]->text(keys::dateValue), u"2023"_s);
    EXPECT_FALSE(b.controller.sheetIsOpen());
    EXPECT_EQ(b.app.selection().yearIndex(), 0);
    EXPECT_EQ(b.app.selection().selectedStatement(), january);
    EXPECT_EQ(b.app.selection().listedCount(), 1u);
    EXPECT_EQ(b.app.selection().selectedItems(), std::vector<RecordPtr>{item});

    b.controller.addList();
    EXPECT_TRUE(b.app.selection().selectedItems().empty());
    b.controller.cancelList();
    EXPECT_EQ(b.app.selection().selectedStatement(), january);
    EXPECT_EQ(b.app.selection().selectedItems(), std::vector<RecordPtr>{item});
}

// Without a year: editing and deleting only beep; adding a statement is
// refused but counts as a first step.
TEST(Years, EmptyBooksBeepOrRefuseAStatement) {
    Desk b;
    b.controller.editYear();
    b.controller.deleteYear();
    b.controller.editList();
    b.controller.deleteList();
    EXPECT_EQ(b.ui.beeps, 4);
    EXPECT_TRUE(b.ui.alerts.empty());
    EXPECT_FALSE(b.controller.sheetIsOpen());

    b.controller.addList();
    b.expectOnlyAlert(u"Fehler!"_s, u"Du musst erst ein Jahr anlegen."_s);
    EXPECT_FALSE(b.controller.sheetIsOpen());
    EXPECT_TRUE(b.settings.getBool(P::firstListSet));
    EXPECT_EQ(b.settings.getInt(P::jaImage), 4);
    EXPECT_EQ(b.app.changeCount(), 0u);
}

TEST(Years, DeleteAsksAndRemovesOnlyOnLoeschen) {
    Desk b;
    b.addYearNamed(u"2023"_s);
    b.addListTitled(u"Januar"_s);
    b.addListTitled(u"Februar"_s);
    b.addYearNamed(u"2024"_s);
    b.app.selection().setYearIndex(0);
    b.app.selection().setStatementIndex(0);
    RecordList& statements = b.years()[0]->thelists();

    b.ui.answers = {1, 1};  // "Abbrechen"
    b.controller.deleteList();
    b.controller.deleteYear();
    ASSERT_EQ(b.ui.alerts.size(), 2u);
    EXPECT_EQ(b.ui.alerts[0].title, u"Abrechnung löschen"_s);
    EXPECT_EQ(
        b.ui.alerts[0].message,
        u"Diese Aktion kann nicht rückgängig gemacht werden. Möchtest du wirklich die ausgewählte "
        u"Abrechnung löschen?"_s);
    EXPECT_EQ(b.ui.alerts[1].title, u"Jahr löschen"_s);
    EXPECT_EQ(
        b.ui.alerts[1].message,
        u"Diese Aktion kann nicht rückgängig gemacht werden. Möchtest du wirklich das ausgewählte Jahr löschen?"_s);
    for (const auto& alert : b.ui.alerts)
        EXPECT_EQ(alert.buttons, (QStringList{u"Löschen"_s, u"Abbrechen"_s}));
    EXPECT_EQ(statements.size(), 2u);
    EXPECT_EQ(b.years().size(), 2u);

    b.controller.deleteList();  // "Löschen" is the default
    ASSERT_EQ(statements.size(), 1u);
    EXPECT_EQ(statements[0]->text(keys::title), u"Februar"_s);
    EXPECT_EQ(b.app.selection().selectedStatement(), statements[0]);
    const uint64_t before = b.app.changeCount();
    b.controller.deleteYear();
    ASSERT_EQ(b.years().size(), 1u);
    EXPECT_EQ(b.years()[0]->text(keys::dateValue), u"2024"_s);
    EXPECT_EQ(b.app.selection().yearIndex(), 0);
    EXPECT_GT(b.app.changeCount(), before);

    b.controller.deleteYear();  // the last one: nothing left selected
    EXPECT_TRUE(b.years().empty());
    EXPECT_EQ(b.app.selection().yearIndex(), -1);
    EXPECT_EQ(b.app.selection().selectedStatement(), nullptr);
}

TEST(Statements, AddingAppendsToTheSelectedYearAndSelectsIt) {
    Desk b;
    RecordPtr y2023 = b.addYearNamed(u"2023"_s);
    RecordPtr y2024 = b.addYearNamed(u"2024"_s);
    b.app.selection().setYearIndex(0);
    b.addListTitled(u"Januar"_s);
    RecordPtr march = b.addListTitled(u"März"_s);

    ASSERT_EQ(y2023->thelists().size(), 2u);
    EXPECT_TRUE(y2024->thelists().empty());
    EXPECT_EQ(march, y2023->thelists()[1]);
    EXPECT_EQ(march->recordClass(), RecordClass::Thelist);
    EXPECT_EQ(b.app.selection().statementIndex(), 1);
    EXPECT_EQ(b.settings.getInt(P::jaImage), 4);
    EXPECT_EQ(b.settings.getInt(P::prefsSelectedTabTabTag), 0);
}

// The texts of the refusals are proven by the golden CLI case; here the sheet
// that stays open for another choice.
TEST(Statements, AShortNameIsRefusedAndCancelRemovesTheNewOne) {
    Desk b;
    b.controller.addYear();
    b.controller.setYearName(u"2"_s);
    EXPECT_FALSE(b.controller.closeYear());
    EXPECT_TRUE(b.controller.sheetIsOpen());
    b.controller.setYearName(u"2024"_s);
    ASSERT_TRUE(b.controller.closeYear());
    RecordPtr year = b.years().back();
    b.addListTitled(u"Januar"_s);
    b.controller.addList();
    b.controller.setListTitle(u"Q"_s);
    EXPECT_FALSE(b.controller.closeList());
    EXPECT_TRUE(b.controller.sheetIsOpen());
    EXPECT_EQ(b.ui.count(u"Fehler!"_s), 2);

    b.controller.cancelList();
    ASSERT_EQ(year->thelists().size(), 1u);
    EXPECT_EQ(year->thelists()[0]->text(keys::title), u"Januar"_s);
    EXPECT_EQ(b.app.selection().statementIndex(), 0);

    // Cancelling an edit keeps the statement and the year with their old names.
    b.controller.editList();
    b.controller.setListTitle(u"Februar"_s);
    b.controller.cancelList();
    ASSERT_EQ(year->thelists().size(), 1u);
    EXPECT_EQ(year->thelists()[0]->text(keys::title), u"Januar"_s);
    b.controller.editYear();
    EXPECT_FALSE(b.controller.sheet().isNew);
    b.controller.setYearName(u"2025"_s);
    b.controller.cancelYear();
    EXPECT_EQ(year->text(keys::dateValue), u"2024"_s);
    EXPECT_EQ(b.years().size(), 1u);
}

TEST(Statements, HelpDrawerFollowsTheSetting) {
    Desk b;
    b.settings.setBool(P::prefsAlwaysShowYearHelpDawer, true);
    b.controller.addYear();
    EXPECT_TRUE(b.controller.sheet().helpDrawer);
    b.controller.setYearName(u"2024"_s);
    b.controller.closeYear();
    b.controller.addList();
    EXPECT_FALSE(b.controller.sheet().helpDrawer);
}
