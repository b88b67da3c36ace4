// New rows, deleting with its questions, reordering by drag and dropping items
// on other statements.
#include "bookkeeping/add_controller.h"
#include "core/archive/archive.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "support/books.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quandor;
using namespace Qt::StringLiterals;
using List = ArrayController::ListKind;
namespace P = quandor::prefs;

namespace {

struct Desk : test::OpenBooks {
    ArrayController& controller = controllers.lists;

    Desk() { QDir().mkpath(app.paths().dataFolder); }

    RecordPtr record(RecordClass c, const QString& title) {
        RecordPtr r = Record::create(c, app.nowStamp());
        r->set(keys::title, title);
        return r;
    }
    // One year with statements "Januar" and "Februar"; January holds the items named.
    RecordPtr yearWithItems(const QStringList& titles) {
        RecordPtr year = record(RecordClass::Year, u""_s);
        year->set(keys::dateValue, u"2024"_s);
        RecordPtr jan = record(RecordClass::Thelist, u"Januar"_s);
        RecordPtr feb = record(RecordClass::Thelist, u"Februar"_s);
        double day = 0;
        for (const QString& t : titles) {
            RecordPtr item = record(RecordClass::Item, t);
            item->set(keys::date, Date{day += 86400});
            item->set(keys::amount, 10.0f);
            jan->items().push_back(item);
        }
        year->thelists() = {jan, feb};
        app.database().years.push_back(year);
        app.selection().setYearIndex(0);
        app.selection().setStatementIndex(0);
        app.selection().refresh();
        return year;
    }
    QStringList titles(const RecordList& list) const {
        QStringList t;
        for (const RecordPtr& r : list) t << r->text(keys::title);
        return t;
    }
    void fillGroups(int n) {
        for (int i = 0; i < n; ++i)
            app.database().groups.push_back(record(RecordClass::Group, QString::number(i)));
    }
};

}  // namespace

// ---- new rows ---------------------------------------------------------------------

TEST(MasterLists, NewRowsAppendDefaultsAndSelectTheRowToEdit) {
    Desk b;
    b.fillGroups(2);
    const uint64_t before = b.app.changeCount();
    EXPECT_EQ(b.controller.addGroup(), 2);
    EXPECT_EQ(b.controller.masterRow(List::Groups), 2);
    EXPECT_EQ(b.app.database().groups.back()->text(keys::title), u""_s);

    EXPECT_EQ(b.controller.addAccountSetup(), 0);
    const RecordPtr account = b.app.database().accounts.back();
    EXPECT_EQ(account->text(keys::number), u"Nummer"_s);
    EXPECT_EQ(account->text(keys::title), u"Bezeichnung"_s);
    EXPECT_EQ(b.controller.masterRow(List::Accounts), 0);

    EXPECT_EQ(b.controller.addTemplateRow(), 0);
    EXPECT_EQ(b.controller.addTemplateRow(), 1);
    const RecordList& templates = b.app.database().items;
    // The creation stamp every new item and template carries: whole seconds since 1970.
    EXPECT_EQ(templates[0]->text(keys::UUID), u"1714564800"_s);
    EXPECT_EQ(templates[0]->text(keys::UUID), b.controllers.items.addTemplate()->text(keys::UUID));
    EXPECT_GT(b.app.changeCount(), before);
}

// ---- deleting -------------------------------------------------------------------------

TEST(MasterLists, RemoveAsksWithTheListsOwnQuestionAndDeletesOnlyOnLoeschen) {
    struct Case {
        List list;
        QString title;
        QString message;
    };
    const Case cases[] = {
        {List::Accounts, u"Kostenstelle löschen"_s,
         u"Diese Aktion kann nicht rückgängig gemacht werden. In bereits bestehenden Abrechnungen bleiben die jeweils zugeordneten Kostenstellen selbstverständlich bestehen. Möchtest du wirklich die ausgewählte Kostenstelle löschen?"_s},
        {List::Groups, u"Kategorie löschen"_s,
         u"Diese Aktion kann nicht rückgängig gemacht werden. In bereits bestehenden Abrechnungen bleiben die jeweils zugeordneten Kategorien selbstverständlich bestehen. Möchtest du wirklich die ausgewählte Kategorie löschen?"_s},
        {List::Templates, u"Vorlage löschen"_s,
         u"Diese Aktion kann nicht rückgängig gemacht werden. Möchtest du wirklich die ausgewählte Vorlage löschen?"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title.toStdString());
        Desk b;
        for (int i = 0; i < 3; ++i) {
            if (c.list == List::Accounts) b.controller.addAccount();
            if (c.list == List::Groups) b.controller.addGroup();
            if (c.list == List::Templates) b.controller.addTemplateRow();
        }
        RecordList& list = *b.controller.recordsOf(c.list);
        const RecordPtr last = list[2];
        b.controller.setMasterRow(c.list, 1);

        b.ui.answers = {1};  // "Abbrechen"
        EXPECT_FALSE(b.controller.remove(c.list));
        EXPECT_EQ(list.size(), 3u);
        ASSERT_EQ(b.ui.alerts.size(), 1u);
        EXPECT_EQ(b.ui.alerts[0].title, c.title);
        EXPECT_EQ(b.ui.alerts[0].message, c.message);
        EXPECT_EQ(b.ui.alerts[0].buttons, (QStringList{u"Löschen"_s, u"Abbrechen"_s}));

        EXPECT_TRUE(b.controller.remove(c.list));  // default button: "Löschen"
        EXPECT_EQ(list.size(), 2u);
        EXPECT_EQ(list[1], last);
        EXPECT_EQ(b.controller.masterRow(c.list), 1);

        b.controller.setMasterRow(c.list, 1);
        EXPECT_TRUE(b.controller.remove(c.list));  // the last row: the one above is selected
        EXPECT_EQ(b.controller.masterRow(c.list), 0);

        b.controller.setMasterRow(c.list, -1);
        EXPECT_FALSE(b.controller.remove(c.list));
        EXPECT_EQ(b.ui.beeps, 1);
        EXPECT_EQ(b.ui.alerts.size(), 3u);
    }
}

TEST(MasterLists, CellEditsGoIntoTheRecordAndABadAmountChangesNothing) {
    Desk b;
    b.controller.addTemplateRow();
    Record& tmpl = *b.app.database().items[0];
    uint64_t before = b.app.changeCount();
    EXPECT_TRUE(b.controller.setMasterText(List::Templates, 0, keys::title, u"Miete"_s));
    EXPECT_TRUE(b.controller.setMasterChoice(List::Templates, 0, keys::kind, 1));
    EXPECT_TRUE(b.controller.setMasterFlag(List::Templates, 0, keys::taxBool, true));
    EXPECT_TRUE(b.controller.setMasterAmount(List::Templates, 0, keys::amount, u" 1.190,50 "_s));
    EXPECT_EQ(tmpl.text(keys::title), u"Miete"_s);
    EXPECT_EQ(tmpl.integer(keys::kind), 1);
    EXPECT_TRUE(tmpl.flag(keys::taxBool));
    EXPECT_EQ(tmpl.real(keys::amount), 1190.5f);
    EXPECT_GT(b.app.changeCount(), before);

    // Refused: text, a negative amount; nothing changes, the reason is German.
    before = b.app.changeCount();
    for (const QString& typed : {u"viel"_s, u"-5"_s}) {
        QString refusal;
        EXPECT_FALSE(
            b.controller.setMasterAmount(List::Templates, 0, keys::amount, typed, &refusal));
        EXPECT_EQ(refusal, ArrayController::kBadMasterAmount);
        EXPECT_EQ(tmpl.real(keys::amount), 1190.5f);
    }
    EXPECT_EQ(b.app.changeCount(), before);
    EXPECT_TRUE(b.controller.setMasterAmount(List::Templates, 0, keys::amount, u""_s));
    EXPECT_EQ(tmpl.text(keys::amount), u""_s);

    // A row that does not exist, and a list that is no master list.
    EXPECT_FALSE(b.controller.setMasterText(List::Templates, 1, keys::title, u"X"_s));
    EXPECT_FALSE(b.controller.setMasterText(List::Groups, 0, keys::title, u"X"_s));
    b.yearWithItems({u"Miete"_s});
    EXPECT_FALSE(b.controller.setMasterText(List::Items, 0, keys::title, u"X"_s));
    EXPECT_EQ(b.app.selection().listedItem(0)->text(keys::title), u"Miete"_s);
    EXPECT_TRUE(b.ui.alerts.empty());
}

TEST(Items, RemoveAsksWarnsForAReturnsStatementAndTheirCategoryGoesAlone) {
    Desk b;
    RecordPtr year = b.yearWithItems({u"A"_s, u"B"_s, u"C"_s});
    Selection& sel = b.app.selection();
    EXPECT_FALSE(b.controller.remove(List::Items));  // nothing selected
    EXPECT_EQ(b.ui.beeps, 1);

    sel.setSelectedRows({1});
    b.ui.answers = {1};
    EXPECT_FALSE(b.controller.remove(List::Items));
    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_EQ(b.ui.alerts[0].title, u"Posten löschen"_s);
    EXPECT_EQ(
        b.ui.alerts[0].message,
        u"Diese Aktion kann nicht rückgängig gemacht werden. Möchtest du wirklich den ausgewählten Posten löschen?"_s);
    EXPECT_EQ(b.ui.alerts[0].buttons, (QStringList{u"Löschen"_s, u"Abbrechen"_s}));
    EXPECT_TRUE(b.controller.remove(List::Items));
    EXPECT_EQ(b.titles(year->thelists()[0]->items()), (QStringList{u"A"_s, u"C"_s}));
    EXPECT_EQ(sel.firstSelectedItem()->text(keys::title), u"C"_s);

    year->thelists()[0]->set(keys::taxBool, true);
    b.ui.alerts.clear();
    EXPECT_FALSE(b.controller.remove(List::Items));  // default button: "Abbrechen"
    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_EQ(b.ui.alerts[0].title, u"Achtung!"_s);
    EXPECT_EQ(
        b.ui.alerts[0].message,
        u"Die übergeordnete Abrechnung wurde als zur Voranmeldung genutzt markiert. Bist du sicher, dass du dennoch diesen Posten löschen möchtest?"_s);
    EXPECT_EQ(b.ui.alerts[0].buttons, (QStringList{u"Abbrechen"_s, u"Löschen"_s}));
    EXPECT_EQ(year->thelists()[0]->items().size(), 2u);
    b.ui.answers = {1};
    EXPECT_TRUE(b.controller.remove(List::Items));
    EXPECT_EQ(b.titles(year->thelists()[0]->items()), (QStringList{u"A"_s}));

    // Deleting a category leaves the items that use it unchanged.
    b.app.database().groups.push_back(b.record(RecordClass::Group, u"Raumkosten"_s));
    const RecordPtr item = year->thelists()[0]->items()[0];
    item->set(keys::group, u"Raumkosten"_s);
    b.controller.setMasterRow(List::Groups, 0);
    EXPECT_TRUE(b.controller.remove(List::Groups));
    EXPECT_TRUE(b.app.database().groups.empty());
    EXPECT_EQ(item->text(keys::group), u"Raumkosten"_s);
}

// ---- reordering ------------------------------------------------------------------------

TEST(Reordering, IndexArithmeticOfAMove) {
    struct Case {
        const char* what;
        int count;
        std::vector<int> rows;
        int target;
        std::vector<int> order;  // old indexes in their new order
        int first;               // -2: not asked
    };
    const Case cases[] = {
        {"down", 5, {0}, 3, {1, 2, 0, 3, 4}, -2},
        {"up", 5, {4}, 0, {4, 0, 1, 2, 3}, -2},
        {"to the end", 5, {1}, 5, {0, 2, 3, 4, 1}, -2},
        {"several keep their order", 6, {4, 0, 2}, 3, {1, 0, 2, 4, 3, 5}, 1},
        {"negative target, bad rows ignored", 3, {2, 7, -1}, -4, {2, 0, 1}, 0},
        {"past the end", 3, {0}, 99, {1, 2, 0}, -2},
        {"on its own place", 3, {1}, 1, {0, 1, 2}, -2},
        {"just below itself", 3, {1}, 2, {0, 1, 2}, -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int first = -2;
        EXPECT_EQ(ArrayController::movedOrder(c.count, c.rows, c.target,
                                              c.first == -2 ? nullptr : &first),
                  c.order);
        EXPECT_EQ(first, c.first);
    }
}

TEST(Reordering, MoveDataIsAnArchivedRowSetThatOnlyTheOwnTableAccepts) {
    Desk b;
    b.fillGroups(5);
    const QByteArray data = ArrayController::archiveRows({3, 0, 3});
    EXPECT_TRUE(data.startsWith("bplist00"));
    EXPECT_EQ(ArrayController::unarchiveRows(data), (std::vector<int>{0, 3}));
    EXPECT_FALSE(ArrayController::unarchiveRows("no archive").has_value());

    EXPECT_FALSE(b.controller.acceptMoveDrop(List::Groups, u"MOVED_ROWS_TYPE_ACCOUNT"_s, data, 2));
    EXPECT_FALSE(b.controller.acceptMoveDrop(List::Groups, u"COPIED_ROWS_TYPE_GROUPS"_s, data, 2));
    EXPECT_FALSE(b.controller.acceptMoveDrop(List::Groups, u"MOVED_ROWS_TYPE_GROUPS"_s, "junk", 2));
    EXPECT_FALSE(b.controller.acceptMoveDrop(List::Groups, u"MOVED_ROWS_TYPE_GROUPS"_s,
                                             ArrayController::archiveRows({9}), 2));
    EXPECT_EQ(b.titles(b.app.database().groups),
              (QStringList{u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s}));

    const QByteArray moved = b.controller.writeRows(List::Groups, {0});
    EXPECT_TRUE(b.controller.acceptMoveDrop(List::Groups, u"MOVED_ROWS_TYPE_GROUPS"_s, moved, 3));
    EXPECT_EQ(b.titles(b.app.database().groups),
              (QStringList{u"1"_s, u"2"_s, u"0"_s, u"3"_s, u"4"_s}));
    EXPECT_EQ(b.controller.masterRow(List::Groups), 2);
}

TEST(Reordering, YearsStatementsAndItemsSelectTheMovedRow) {
    Desk b;
    RecordPtr year = b.yearWithItems({u"A"_s, u"B"_s, u"C"_s, u"D"_s});
    Selection& sel = b.app.selection();
    RecordPtr second = b.record(RecordClass::Year, u""_s);
    b.app.database().years.push_back(second);
    b.controller.moveObjectsInArrangedObjectsFromIndexes(List::Years, {1}, 0);
    EXPECT_EQ(b.app.database().years[0], second);
    EXPECT_EQ(sel.yearIndex(), 0);

    sel.setYearIndex(1);
    b.controller.moveObjectsInArrangedObjectsFromIndexes(List::Statements, {1}, 0);
    EXPECT_EQ(b.titles(year->thelists()), (QStringList{u"Februar"_s, u"Januar"_s}));
    EXPECT_EQ(sel.statementIndex(), 0);
    sel.setStatementIndex(1);
    sel.refresh();

    // Items of one day keep their stored order in the list: moving reorders them.
    for (const RecordPtr& item : year->thelists()[1]->items()) item->set(keys::date, Date{0});
    sel.refresh();
    b.controller.moveObjectsInArrangedObjectsFromIndexes(List::Items, {3}, 0);
    EXPECT_EQ(b.titles(year->thelists()[1]->items()),
              (QStringList{u"D"_s, u"A"_s, u"B"_s, u"C"_s}));
    EXPECT_EQ(sel.listedItem(0)->text(keys::title), u"D"_s);
    ASSERT_EQ(sel.selectedItems().size(), 1u);
    EXPECT_EQ(sel.firstSelectedItem()->text(keys::title), u"D"_s);

    // To the end, two rows at once.
    b.controller.moveObjectsInArrangedObjectsFromIndexes(List::Items, {0, 2}, 4);
    EXPECT_EQ(b.titles(year->thelists()[1]->items()),
              (QStringList{u"A"_s, u"C"_s, u"D"_s, u"B"_s}));
    EXPECT_EQ(sel.selectedItems().size(), 2u);
}

// ---- dropping an item on a statement ----------------------------------------------------

TEST(ItemDrop, CopiesIntoTheOtherStatementIndependentlyWithTheNoticeOnce) {
    Desk b;
    RecordPtr year = b.yearWithItems({u"Miete"_s, u"Strom"_s});
    RecordPtr jan = year->thelists()[0];
    RecordPtr feb = year->thelists()[1];
    RecordPtr dragged = b.app.selection().listedItem(0);
    dragged->set(keys::UUID, u"U-1"_s);
    dragged->set(keys::parentTab, u"Januar"_s);

    b.controller.writeRows(List::Items, {0});
    EXPECT_TRUE(QFile::exists(b.controller.tempItemPath()));
    EXPECT_TRUE(b.controller.addDroppedItem(u"MOVED_ROWS_TYPE"_s, 1));

    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_EQ(b.ui.alerts[0].title, u"Hinweis!"_s);
    EXPECT_TRUE(b.ui.alerts[0].message.startsWith(
        u"Dies ist das erste mal, dass du einen bestehenden Posten einer anderen Abrechnung hinzufügst."_s));
    EXPECT_TRUE(b.ui.alerts[0].message.endsWith(u"Bitte denke gegebenenfalls immer daran."_s));
    EXPECT_EQ(b.ui.alerts[0].buttons, QStringList{u"OK"_s});
    EXPECT_TRUE(b.settings.getBool(P::firstDropBOOL));

    ASSERT_EQ(feb->items().size(), 1u);
    RecordPtr copy = feb->items()[0];
    EXPECT_NE(copy, dragged);
    EXPECT_EQ(*copy, *dragged);  // every field, also "UUID" and "parentTab"
    EXPECT_EQ(jan->items().size(), 2u);
    EXPECT_EQ(b.app.selection().statementIndex(), 1);
    EXPECT_EQ(b.app.selection().firstSelectedItem(), copy);

    copy->set(keys::title, u"Miete März"_s);
    EXPECT_EQ(dragged->text(keys::title), u"Miete"_s);

    // The second item: no notice any more.
    b.app.selection().setStatementIndex(0);
    b.app.selection().refresh();
    b.controller.writeRows(List::Items, {1});
    EXPECT_TRUE(b.controller.addDroppedItem(u"MOVED_ROWS_TYPE"_s, 1));
    EXPECT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_EQ(feb->items().size(), 2u);
}

TEST(ItemDrop, OtherDataTwinsTheOwnStatementAndADamagedItemFileAreRefused) {
    Desk b;
    b.settings.setBool(P::firstDropBOOL, true);
    RecordPtr year = b.yearWithItems({u"Miete"_s});
    b.controller.writeRows(List::Items, {0});
    EXPECT_FALSE(b.controller.addDroppedItem(u"MOVED_ROWS_TYPE_YEAR"_s, 1));
    EXPECT_FALSE(b.controller.addDroppedItem(u"MOVED_ROWS_TYPE"_s, 7));
    EXPECT_TRUE(b.ui.alerts.empty());

    EXPECT_FALSE(b.controller.addDroppedItem(u"MOVED_ROWS_TYPE"_s, 0));  // its own statement
    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_EQ(b.ui.alerts[0].title, u"Fehler!"_s);
    EXPECT_EQ(b.ui.alerts[0].message, u"Posten ist bereits in dieser Abrechnung vorhanden."_s);
    EXPECT_EQ(b.ui.alerts[0].buttons, QStringList{u"OK"_s});
    EXPECT_EQ(year->thelists()[0]->items().size(), 1u);

    EXPECT_TRUE(b.controller.addDroppedItem(u"MOVED_ROWS_TYPE"_s, 1));
    // Twice on the same statement; a search that hides the first copy does not fool the check.
    b.app.selection().setFilterText(u"nichts passt"_s);
    EXPECT_FALSE(b.controller.addDroppedItem(u"MOVED_ROWS_TYPE"_s, 1));
    EXPECT_EQ(year->thelists()[1]->items().size(), 1u);
    EXPECT_EQ(b.ui.count(u"Fehler!"_s), 2);

    QFile file(b.controller.tempItemPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("bplist00 damaged");
    file.close();
    EXPECT_FALSE(b.controller.addDroppedItem(u"MOVED_ROWS_TYPE"_s, 1));
    ASSERT_EQ(b.ui.alerts.size(), 3u);
    EXPECT_EQ(b.ui.alerts[2].message, ArrayController::kDroppedItemUnreadable);

    // A year written where an item belongs is no item.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(archive::write(Value(year)));
    file.close();
    EXPECT_FALSE(b.controller.addDroppedItem(u"MOVED_ROWS_TYPE"_s, 1));
    EXPECT_EQ(year->thelists()[1]->items().size(), 1u);
}
