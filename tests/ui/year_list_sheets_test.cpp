// The year and statement sheets typed into like a person does, their wiring in
// the main window, and the item sheet's calculator button.

#include "ui/year_list_sheets.h"
#include "core/keys.h"
#include "core/settings_keys.h"
#include "support/books.h"
#include "ui/item_sheet.h"
#include "ui/main_window.h"
#include "ui/split_sheet.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <cstring>

using namespace quandor;
using namespace quandor::ui;

namespace {

struct Desk : test::OpenBooks {
    YearsController& c = controllers.years;
    QWidget parent;
    NameSheet years{NameSheet::Kind::Year, c, app, &parent};
    NameSheet statements{NameSheet::Kind::Statement, c, app, &parent};

    RecordList& yearList() { return app.database().years; }
    QLineEdit* field(NameSheet& sheet) { return sheet.nameBox()->lineEdit(); }
    void type(NameSheet& sheet, const QString& text) {
        field(sheet)->clear();
        QTest::keyClicks(field(sheet), text);
    }
    // A year with one statement, made through the controller.
    void addYearWith(const QString& statement) {
        c.addYear();
        c.setYearName(QStringLiteral("2024"));
        c.closeYear();
        c.addList();
        c.setListTitle(statement);
        c.closeList();
    }
};

uint32_t bits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

}  // namespace

TEST(YearSheet, ReturnStoresARefusedNameKeepsTheSheetAndEscapeUndoes) {
    Desk b;
    b.years.addNew();
    EXPECT_EQ(b.years.windowTitle(), QStringLiteral("Neues Jahr"));
    b.type(b.years, QStringLiteral("9"));  // one character is no year
    QTest::keyClick(b.field(b.years), Qt::Key_Return);
    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_EQ(b.ui.alerts[0].message, YearsController::kNoYearName);
    EXPECT_TRUE(b.years.isVisible());
    EXPECT_TRUE(b.c.sheetIsOpen());

    // Escape on the new year removes it again.
    QTest::keyClick(&b.years, Qt::Key_Escape);
    EXPECT_FALSE(b.years.isVisible());
    EXPECT_TRUE(b.yearList().empty());
    EXPECT_FALSE(b.c.sheetIsOpen());

    // A year typed and Return: stored, the sheet closed.
    b.years.addNew();
    b.type(b.years, QStringLiteral("2023"));
    QTest::keyClick(b.field(b.years), Qt::Key_Return);
    EXPECT_FALSE(b.years.isVisible());
    EXPECT_FALSE(b.c.sheetIsOpen());
    EXPECT_EQ(b.ui.alerts.size(), 1u);

    // Escape while editing restores the name it had.
    b.years.editSelected();
    ASSERT_TRUE(b.years.isVisible());
    EXPECT_EQ(b.years.windowTitle(), QStringLiteral("Jahr bearbeiten"));
    EXPECT_EQ(b.field(b.years)->text(), QStringLiteral("2023"));
    b.type(b.years, QStringLiteral("1999"));
    EXPECT_EQ(b.yearList()[0]->text(keys::dateValue), QStringLiteral("1999"));  // written as typed
    QTest::keyClick(&b.years, Qt::Key_Escape);
    ASSERT_EQ(b.yearList().size(), 1u);
    EXPECT_EQ(b.yearList()[0]->text(keys::dateValue), QStringLiteral("2023"));
}

TEST(StatementSheet, PeriodNamesFreeTextRefusalAndEscape) {
    Desk b;
    b.statements.addNew();  // no year yet
    EXPECT_FALSE(b.statements.isVisible());
    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_EQ(b.ui.alerts[0].message, YearsController::kNoYearForList);

    b.years.addNew();
    b.type(b.years, QStringLiteral("2024"));
    QTest::keyClick(b.field(b.years), Qt::Key_Return);
    RecordList& lists = b.yearList()[0]->thelists();

    b.statements.addNew();
    ASSERT_TRUE(b.statements.isVisible());
    b.type(b.statements, QStringLiteral("X"));
    QTest::keyClick(b.field(b.statements), Qt::Key_Return);
    ASSERT_EQ(b.ui.alerts.size(), 2u);
    EXPECT_EQ(b.ui.alerts[1].message, YearsController::kNoListTitle);
    EXPECT_TRUE(b.statements.isVisible());
    b.type(b.statements, QStringLiteral("Januar"));
    QTest::keyClick(b.field(b.statements), Qt::Key_Return);
    EXPECT_FALSE(b.statements.isVisible());
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists[0]->text(keys::title), QStringLiteral("Januar"));

    b.statements.addNew();
    b.type(b.statements, QStringLiteral("Sonderabrechnung Messe"));
    QTest::keyClick(b.statements.nameBox(), Qt::Key_Return);  // the combo box hands keys on itself
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[1]->text(keys::title), QStringLiteral("Sonderabrechnung Messe"));

    b.statements.addNew();
    b.type(b.statements, QStringLiteral("Sommer"));
    QTest::keyClick(&b.statements, Qt::Key_Escape);
    EXPECT_EQ(lists.size(), 2u);
    EXPECT_EQ(b.app.selection().selectedStatement(), lists[1]);
}

TEST(YearListSheets, TheWindowsButtonsDoubleClickAndDeleteKey) {
    Desk b;
    MainWindow window(b.app.database(), b.app.selection(), b.settings);
    const YearListSheets sheets = installYearListSheets(window, b.c, b.app);
    QAbstractButton* yearButton = window.button(ToolbarAction::Year);
    ASSERT_TRUE(yearButton->isEnabled());
    ASSERT_TRUE(window.button(ToolbarAction::List)->isEnabled());

    yearButton->click();
    ASSERT_TRUE(sheets.year->isVisible());
    QTest::keyClicks(sheets.year->nameBox()->lineEdit(), QStringLiteral("2025"));
    QTest::keyClick(sheets.year->nameBox()->lineEdit(), Qt::Key_Return);
    ASSERT_EQ(window.yearView()->model()->rowCount(), 1);
    EXPECT_EQ(window.yearView()->model()->index(0, 0).data().toString(), QStringLiteral("2025"));

    window.button(ToolbarAction::List)->click();
    ASSERT_TRUE(sheets.statement->isVisible());
    QTest::keyClicks(sheets.statement->nameBox()->lineEdit(), QStringLiteral("Mai"));
    QTest::keyClick(sheets.statement->nameBox()->lineEdit(), Qt::Key_Return);
    ASSERT_EQ(window.statementView()->model()->rowCount(), 1);

    // A double click on the statement row edits it.
    emit window.statementView()->doubleClicked(window.statementView()->model()->index(0, 0));
    ASSERT_TRUE(sheets.statement->isVisible());
    EXPECT_EQ(sheets.statement->nameBox()->currentText(), QStringLiteral("Mai"));
    sheets.statement->reject();

    // Delete on the statement list asks first; "Abbrechen" keeps it, "Löschen" removes it.
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    window.statementView()->setFocus();
    b.ui.answers = {1};
    QTest::keyClick(window.statementView(), Qt::Key_Delete);
    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_EQ(b.ui.alerts[0].title, YearsController::kDeleteListTitle);
    EXPECT_EQ(window.statementView()->model()->rowCount(), 1);
    QTest::keyClick(window.statementView(), Qt::Key_Delete);
    EXPECT_EQ(window.statementView()->model()->rowCount(), 0);
    EXPECT_EQ(b.yearList()[0]->thelists().size(), 0u);
}

TEST(YearListSheets, EscapeOnANewYearOrStatementGivesBackTheItemsShownBefore) {
    Desk b;
    MainWindow window(b.app.database(), b.app.selection(), b.settings);
    const YearListSheets sheets = installYearListSheets(window, b.c, b.app);
    b.addYearWith(QStringLiteral("Mai"));
    const RecordPtr may = b.app.selection().selectedStatement();
    RecordPtr rent = Record::create(RecordClass::Item, b.app.nowStamp());
    rent->set(keys::title, QStringLiteral("Miete"));
    may->items() = {Record::create(RecordClass::Item, b.app.nowStamp()), rent};
    b.app.selection().refresh();
    b.app.selection().setSelectedItems({rent});
    window.reloadAll();
    ASSERT_EQ(window.itemView()->model()->rowCount(), 2);
    // Both items carry the same date, so which row "Miete" takes is the list's own business.
    const QModelIndexList before = window.itemView()->selectionModel()->selectedRows();
    ASSERT_EQ(before.size(), 1);
    const int rentRow = before[0].row();

    auto shown = [&] {
        SCOPED_TRACE("");
        EXPECT_EQ(window.itemView()->model()->rowCount(), 2);
        EXPECT_EQ(window.statementView()->currentIndex().row(), 0);
        EXPECT_EQ(b.app.selection().selectedItems(), std::vector<RecordPtr>{rent});
        const QModelIndexList rows = window.itemView()->selectionModel()->selectedRows();
        ASSERT_EQ(rows.size(), 1);
        EXPECT_EQ(rows[0].row(), rentRow);
    };
    window.button(ToolbarAction::Year)->click();
    ASSERT_TRUE(sheets.year->isVisible());
    EXPECT_EQ(window.itemView()->model()->rowCount(), 0);  // the new year has no statement yet
    QTest::keyClick(sheets.year, Qt::Key_Escape);
    EXPECT_EQ(b.yearList().size(), 1u);
    shown();

    window.button(ToolbarAction::List)->click();
    ASSERT_TRUE(sheets.statement->isVisible());
    QTest::keyClick(sheets.statement, Qt::Key_Escape);
    EXPECT_EQ(b.yearList()[0]->thelists().size(), 1u);
    shown();
}

TEST(ItemSheetCalculator, SplitAndGrossUpChangeTheAmountAndTheFigures) {
    Desk b;
    b.ui.runScheduledAtOnce = true;
    b.settings.setBool(prefs::firstStepsDone, true);
    b.addYearWith(QStringLiteral("Juni"));
    ItemSheet sheet(b.controllers.items, b.controllers.split, b.app, &b.parent);
    sheet.addItem();
    EXPECT_FALSE(sheet.calculatorButton()->isEnabled());  // the kind comes first
    for (QRadioButton* r : sheet.findChildren<QRadioButton*>())
        if (r->text().remove(QLatin1Char('&')) == QStringLiteral("Ausgabe")) r->click();
    ASSERT_TRUE(sheet.calculatorButton()->isEnabled());
    QTest::keyClicks(sheet.amountField(), QStringLiteral("119"));  // not yet handed over
    QTest::keyClicks(sheet.titleField(), QStringLiteral("Telefon"));
    b.controllers.items.setItemTaxBool(true);
    b.controllers.items.setItemTaxTag(1);
    const RecordPtr item = b.controllers.items.sheetItem();

    // Half of it: the amount typed so far is what is split.
    QTimer::singleShot(0, &sheet, [&] {
        auto* split = sheet.findChild<SplitSheet*>();
        ASSERT_TRUE(split);
        split->pages()->setCurrentIndex(0);
        split->shareButton(1)->click();
        split->accept();
    });
    sheet.calculatorButton()->click();
    EXPECT_EQ(bits(item->real(keys::amount)), bits(59.500004f));
    EXPECT_FLOAT_EQ(AddController::amountFromText(sheet.amountField()->text()), 59.5f);

    // Net amount plus 19 %.
    QTimer::singleShot(0, &sheet, [&] {
        auto* split = sheet.findChild<SplitSheet*>();
        ASSERT_TRUE(split);
        split->pages()->setCurrentIndex(1);
        QTest::keyClicks(split->netAmountField(), QStringLiteral("200"));
        split->accept();
    });
    sheet.calculatorButton()->click();
    EXPECT_EQ(item->real(keys::amount), 238.0f);
    EXPECT_EQ(sheet.amountField()->text(), QStringLiteral("238,00"));

    // Cancelling the calculator changes nothing; the sheet then closes as usual.
    QTimer::singleShot(0, &sheet, [&] { sheet.findChild<SplitSheet*>()->reject(); });
    sheet.calculatorButton()->click();
    EXPECT_EQ(item->real(keys::amount), 238.0f);
    QTest::keyClick(sheet.titleField(), Qt::Key_Return);
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_TRUE(b.ui.alerts.empty());
    EXPECT_EQ(item->real(keys::finalAmount), -238.0f);
}
