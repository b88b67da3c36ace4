// The inventory window as the desktop program wires it: the item list's expense
// taken over through the menu entry, the window opened from the window menu,
// the direct sheet refusing an amount it cannot read, and both sheets
// cancelled without a trace.

#include "ui/desktop_shell.h"

#include "assets/asset_lists.h"
#include "core/app_delegate.h"
#include "core/settings.h"
#include "sample_database.h"
#include "support/fake_ui.h"
#include "ui/inventar_window.h"
#include "ui/main_window.h"
#include "ui/qt_ui_port.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDateTime>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace quandor;
using namespace quandor::ui;
using namespace Qt::StringLiterals;

namespace {

struct InventoryDesk {
    QTemporaryDir dir;
    Settings settings{dir.filePath(u"Quandor.conf"_s)};
    test::FakeUi ui;
    QtUiPort shellUi;
    QuandorAppDelegate app{settings, ui, Paths::under(dir.path())};
    DesktopShell shell{app, shellUi};

    InventoryDesk() {
        app.database() = test::sampleDatabase();
        app.selection().refresh();
        app.selection().setYearIndex(1);
        app.selection().setStatementIndex(0);
        shell.mainWindow().reloadAll();
    }
    QAction* action(const QString& name) { return shell.mainWindow().findChild<QAction*>(name); }
    InventorySheet* takeSheet() {
        for (auto* s : shell.mainWindow().findChildren<InventorySheet*>())
            if (s->objectName() == u"inventoryItemSheet"_s) return s;
        return nullptr;
    }
};

}  // namespace

TEST(InventarWindowUi, TakeOverItemAddDirectAndCancel) {
    InventoryDesk d;
    RecordPtr chair = d.app.selection().selectedStatement()->items()[2];
    chair->set(keys::kind, int64_t{1});
    chair->set(keys::title, u"Bürostuhl"_s);
    chair->set(keys::expenseWith, -119.0f);
    chair->set(keys::expenseWithout, -100.0f);
    d.app.selection().setSelectedItems({chair});

    // Taken over with its amounts; Return confirms and marks the item.
    ASSERT_TRUE(d.action(u"inventoryTakeAction"_s));
    d.action(u"inventoryTakeAction"_s)->trigger();
    InventorySheet* take = d.takeSheet();
    ASSERT_TRUE(take && take->isVisible());
    EXPECT_EQ(take->titleField()->text(), u"Bürostuhl"_s);
    EXPECT_EQ(take->bruttoField()->text(), u"119,00"_s);
    EXPECT_EQ(take->nettoField()->text(), u"100,00"_s);
    take->categoryField()->setText(u"Büroausstattung"_s);
    QTest::keyClick(take, Qt::Key_Return);
    EXPECT_FALSE(take->isVisible());
    EXPECT_EQ(chair->text(keys::misc7), u"isInventory"_s);

    ASSERT_TRUE(d.action(u"inventoryWindowAction"_s));
    d.action(u"inventoryWindowAction"_s)->trigger();
    auto* window = d.shell.mainWindow().findChild<InventarWindow*>();
    ASSERT_TRUE(window && window->isVisible());
    QTableWidget* table = window->objectTable();
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 1)->text(),
              ageText(chair->date(keys::date), QDateTime::currentDateTime()));
    EXPECT_EQ(table->item(0, 2)->text(), u"Bürostuhl"_s);
    EXPECT_EQ(table->item(0, 3)->text(), u"119,00"_s);
    EXPECT_EQ(table->item(0, 4)->text(), u"100,00"_s);
    EXPECT_EQ(table->item(0, 5)->text(), u"Büroausstattung"_s);

    // Direct: an unreadable price is refused in German and the sheet stays open.
    window->addDirect();
    InventorySheet* direct = window->directSheet();
    ASSERT_TRUE(direct->isVisible());
    direct->titleField()->setText(u"Regal"_s);
    direct->bruttoField()->setText(u"zwölf"_s);
    QTest::keyClick(direct, Qt::Key_Return);
    ASSERT_FALSE(d.ui.alerts.empty());
    EXPECT_EQ(d.ui.alerts.back().title, u"Fehler!"_s);
    EXPECT_TRUE(direct->isVisible());
    direct->bruttoField()->setText(u"59,50"_s);
    direct->nettoField()->setText(u"50"_s);
    QTest::keyClick(direct, Qt::Key_Return);
    EXPECT_FALSE(direct->isVisible());
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(1, 2)->text(), u"Regal"_s);
    EXPECT_EQ(d.app.inventorys()[1]->real(keys::brutto), 59.5f);

    // Escape leaves no record behind, from either sheet.
    window->addDirect();
    EXPECT_EQ(table->rowCount(), 3);
    QTest::keyClick(direct, Qt::Key_Escape);
    EXPECT_FALSE(direct->isVisible());
    EXPECT_EQ(table->rowCount(), 2);
    RecordPtr paper = d.app.selection().selectedStatement()->items()[1];
    paper->set(keys::kind, int64_t{1});
    d.app.selection().setSelectedItems({paper});
    d.action(u"inventoryTakeAction"_s)->trigger();
    ASSERT_TRUE(take->isVisible());
    QTest::keyClick(take, Qt::Key_Escape);
    EXPECT_EQ(d.app.inventorys().size(), 2u);
    EXPECT_TRUE(paper->text(keys::misc7).isEmpty());
    EXPECT_EQ(table->rowCount(), 2);

    // Delete asks; "Löschen" removes the selected object.
    table->selectRow(0);
    d.ui.answers = {1};
    table->actions()[0]->trigger();
    EXPECT_EQ(d.ui.alerts.back().title, u"Warnung!"_s);
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 2)->text(), u"Regal"_s);
}
