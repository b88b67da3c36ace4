// The depreciation window as the desktop program wires it: the item list's
// expense added through the menu entry (set-up note, refused missing duration,
// working values), the record in the window, and the yearly item of the next
// year opened in the item sheet.

#include "ui/desktop_shell.h"

#include "core/app_delegate.h"
#include "core/settings.h"
#include "sample_database.h"
#include "support/fake_ui.h"
#include "ui/abschreibung_window.h"
#include "ui/item_sheet.h"
#include "ui/main_window.h"
#include "ui/qt_ui_port.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace quandor;
using namespace quandor::ui;
using namespace Qt::StringLiterals;

namespace {

struct AllowanceDesk {
    QTemporaryDir dir;
    Settings settings{dir.filePath(u"Quandor.conf"_s)};
    test::FakeUi ui;
    QtUiPort shellUi;
    QuandorAppDelegate app{settings, ui, Paths::under(dir.path())};
    DesktopShell shell{app, shellUi};

    AllowanceDesk() {
        app.database() = test::sampleDatabase();
        RecordPtr account = Record::create(RecordClass::Account, test::dayStamp(2023, 1, 1));
        account->set(keys::number, u"4980"_s);
        account->set(keys::title, u"Bürobedarf"_s);
        app.database().accounts.push_back(account);
        app.selection().refresh();
        app.selection().setYearIndex(0);
        app.selection().setStatementIndex(0);
        shell.mainWindow().reloadAll();
    }
    QAction* action(const QString& name) { return shell.mainWindow().findChild<QAction*>(name); }
};

}  // namespace

TEST(AbschreibungWindowUi, AddFromItemListShowRecordAndBookNextYear) {
    AllowanceDesk d;
    RecordPtr laptop = d.app.selection().selectedStatement()->items()[0];
    laptop->set(keys::kind, int64_t{1});
    laptop->set(keys::title, u"Laptop"_s);
    laptop->set(keys::expenseWithout, -1000.0f);
    laptop->set(keys::taxFee, 190.0f);
    d.app.selection().setSelectedItems({laptop});

    // First use: the compensation account is set up once with its note.
    ASSERT_TRUE(d.action(u"allowanceAddAction"_s));
    d.action(u"allowanceAddAction"_s)->trigger();
    auto* sheet = d.shell.mainWindow().findChild<AllowanceAddSheet*>();
    ASSERT_TRUE(sheet && sheet->isVisible());
    ASSERT_EQ(d.ui.alerts.size(), 1u);
    EXPECT_EQ(d.ui.alerts[0].title, u"Wichtig!"_s);
    EXPECT_EQ(d.app.database().accounts.back()->text(keys::number), u"ZZ 9999"_s);
    EXPECT_TRUE(sheet->compensationBox()->isChecked());

    // Return without a duration is refused; the sheet stays open.
    QTest::keyClick(sheet, Qt::Key_Return);
    ASSERT_EQ(d.ui.alerts.size(), 2u);
    EXPECT_EQ(d.ui.alerts[1].message, u"Bitte eine Abschreibungsdauer angeben."_s);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_TRUE(d.app.database().allowances.empty());

    // Five years: 200 a year; Return adds the record and the compensation item.
    const int five = sheet->durationList()->findData(5);
    ASSERT_GE(five, 0);
    EXPECT_EQ(sheet->durationList()->itemText(five), u"5 Jahre"_s);
    sheet->durationList()->setCurrentIndex(five);
    EXPECT_TRUE(sheet->rateLabel()->text().startsWith(u"200,00"_s))
        << sheet->rateLabel()->text().toStdString();
    sheet->commentField()->setText(u"Arbeitsplatz"_s);
    QTest::keyClick(sheet, Qt::Key_Return);
    EXPECT_FALSE(sheet->isVisible());
    ASSERT_EQ(d.app.database().allowances.size(), 1u);
    EXPECT_EQ(laptop->text(keys::misc8), u"isAllowance"_s);
    const RecordList& december = d.app.selection().selectedStatement()->items();
    ASSERT_EQ(december.size(), 2u);
    EXPECT_EQ(december[1]->text(keys::title), u"Ausgl. Abschr. Laptop"_s);
    EXPECT_EQ(december[1]->real(keys::finalAmount), 800.0f);

    // The window lists the record.
    ASSERT_TRUE(d.action(u"allowanceWindowAction"_s));
    d.action(u"allowanceWindowAction"_s)->trigger();
    auto* window = d.shell.mainWindow().findChild<AbschreibungWindow*>();
    ASSERT_TRUE(window && window->isVisible());
    QTableWidget* table = window->recordTable();
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 1)->text(), u"Laptop"_s);
    EXPECT_EQ(table->item(0, 2)->text(), u"1000,00"_s);
    EXPECT_EQ(table->item(0, 3)->text(), u"190,00"_s);
    EXPECT_EQ(table->item(0, 4)->text(), u"5 Jahre"_s);
    EXPECT_EQ(table->item(0, 5)->text(), u"2023"_s);
    EXPECT_EQ(table->item(0, 6)->text(), u"2028"_s);
    EXPECT_EQ(table->item(0, 7)->text(), u"200,00"_s);
    EXPECT_EQ(table->item(0, 8)->text(), u"Arbeitsplatz"_s);

    // 2024 shown: the yearly item opens in the item sheet.
    d.app.selection().setYearIndex(1);
    d.app.selection().setStatementIndex(0);
    table->selectRow(0);
    window->bookYearlyItem();
    auto* itemSheet = d.shell.mainWindow().findChild<ItemSheet*>();
    ASSERT_TRUE(itemSheet && itemSheet->isVisible());
    EXPECT_EQ(itemSheet->titleField()->text(), u"Abschreibung Laptop"_s);
    EXPECT_EQ(d.app.selection().selectedStatement()->items().back()->text(keys::title),
              u"Abschreibung Laptop"_s);

    // Delete asks; "Abbrechen" keeps the record.
    QTest::keyClick(itemSheet, Qt::Key_Escape);
    EXPECT_FALSE(itemSheet->isVisible());
    d.ui.answers = {0};
    ASSERT_EQ(table->actions().size(), 1);
    EXPECT_TRUE(table->actions()[0]->shortcuts().contains(QKeySequence(Qt::Key_Delete)));
    table->actions()[0]->trigger();
    EXPECT_EQ(d.ui.alerts.back().title, u"Warnung!"_s);
    EXPECT_EQ(table->rowCount(), 1);
}
