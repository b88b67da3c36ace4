// The cash book, depreciation and inventory windows as the desktop program
// wires them: toolbar and menu entries, their sheets and keys, refusals kept open.

#include "assets/asset_lists.h"
#include "shell_desk.h"
#include "ui/abschreibung_window.h"
#include "ui/inventar_window.h"
#include "ui/item_sheet.h"
#include "ui/kassenbuch_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QTest>

using namespace quandor;
using namespace quandor::ui;
using namespace Qt::StringLiterals;

namespace {

struct CashBookDesk : test::ShellDesk {
    CashBookDesk() {
        app.database() = test::sampleDatabase();
        openSample(1, 0);
    }
    QAction* takeOver() { return action(u"takeOverAction"_s); }
    TakeOverSheet* takeOverSheet() { return shell.mainWindow().findChild<TakeOverSheet*>(); }
    QString cell(KassenbuchWindow* w, int row, int col) {
        return w->entryTable()->item(row, col)->text();
    }
};

struct AllowanceDesk : test::ShellDesk {
    AllowanceDesk() {
        app.database() = test::sampleDatabase();
        RecordPtr account = Record::create(RecordClass::Account, test::dayStamp(2023, 1, 1));
        account->set(keys::number, u"4980"_s);
        account->set(keys::title, u"Bürobedarf"_s);
        app.database().accounts.push_back(account);
        openSample(0, 0);
    }
};

struct InventoryDesk : test::ShellDesk {
    InventoryDesk() {
        app.database() = test::sampleDatabase();
        openSample(1, 0);
    }
    InventorySheet* takeSheet() {
        for (auto* s : shell.mainWindow().findChildren<InventorySheet*>())
            if (s->objectName() == u"inventoryItemSheet"_s) return s;
        return nullptr;
    }
};

// The texts of `count` cells of one table row, from column `from` on.
QStringList rowTexts(const QTableWidget* table, int row, int from, int count) {
    QStringList texts;
    for (int col = from; col < from + count; ++col)
        texts << (table->item(row, col) ? table->item(row, col)->text() : QString());
    return texts;
}

}  // namespace

TEST(AbschreibungWindowUi, AddFromItemListShowRecordAndBookNextYear) {
    AllowanceDesk d;
    RecordPtr laptop = d.items()[0];
    laptop->set(keys::kind, int64_t{1});
    laptop->set(keys::title, u"Laptop"_s);
    laptop->set(keys::expenseWithout, -1000.0f);
    laptop->set(keys::taxFee, 190.0f);
    d.app.selection().setSelectedItems({laptop});

    // First use: the set-up note, then the sheet.
    ASSERT_TRUE(d.action(u"allowanceAddAction"_s));
    d.action(u"allowanceAddAction"_s)->trigger();
    auto* sheet = d.shell.mainWindow().findChild<AllowanceAddSheet*>();
    ASSERT_TRUE(sheet && sheet->isVisible());
    ASSERT_EQ(d.ui.alerts.size(), 1u);
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
    sheet->durationList()->setCurrentIndex(five);
    EXPECT_TRUE(sheet->rateLabel()->text().startsWith(u"200,00"_s))
        << sheet->rateLabel()->text().toStdString();
    sheet->commentField()->setText(u"Arbeitsplatz"_s);
    QTest::keyClick(sheet, Qt::Key_Return);
    EXPECT_FALSE(sheet->isVisible());
    ASSERT_EQ(d.app.database().allowances.size(), 1u);
    EXPECT_EQ(laptop->text(keys::misc8), u"isAllowance"_s);
    ASSERT_EQ(d.items().size(), 2u);
    EXPECT_EQ(d.items()[1]->real(keys::finalAmount), 800.0f);

    // The window lists the record.
    ASSERT_TRUE(d.action(u"allowanceWindowAction"_s));
    d.action(u"allowanceWindowAction"_s)->trigger();
    auto* window = d.shell.mainWindow().findChild<AbschreibungWindow*>();
    ASSERT_TRUE(window && window->isVisible());
    QTableWidget* table = window->recordTable();
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(rowTexts(table, 0, 1, 8),
              (QStringList{u"Laptop"_s, u"1000,00"_s, u"190,00"_s, u"5 Jahre"_s, u"2023"_s,
                           u"2028"_s, u"200,00"_s, u"Arbeitsplatz"_s}));

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

TEST(InventarWindowUi, TakeOverItemAddDirectAndCancel) {
    InventoryDesk d;
    RecordPtr chair = d.items()[2];
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
    EXPECT_EQ(rowTexts(table, 0, 2, 4),
              (QStringList{u"Bürostuhl"_s, u"119,00"_s, u"100,00"_s, u"Büroausstattung"_s}));

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
    RecordPtr paper = d.items()[1];
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

TEST(KassenbuchWindowUi, ToolbarOpensNewCashBookTakeOverAndReversal) {
    CashBookDesk d;
    RecordPtr fare = d.items()[2];  // "Bahnfahrt", a payment of 89
    fare->set(keys::kind, int64_t{1});

    QAbstractButton* toolbarButton = d.shell.mainWindow().button(ToolbarAction::Kassenbuch);
    ASSERT_TRUE(toolbarButton && toolbarButton->isEnabled());
    toolbarButton->click();
    auto* window = d.shell.mainWindow().findChild<KassenbuchWindow*>();
    ASSERT_TRUE(window && window->isVisible());
    EXPECT_EQ(window->cashBookList()->count(), 0);

    // New cash book for 2024, carrying 100 over; Return confirms.
    window->addCashBook();
    ASSERT_TRUE(window->addSheet()->isVisible());
    ASSERT_EQ(window->addSheetYears()->count(), 2);
    window->addSheetYears()->setCurrentText(u"2024"_s);
    window->addSheet()->findChild<QCheckBox*>()->setChecked(true);
    const auto fields = window->addSheet()->findChildren<QLineEdit*>();
    for (QLineEdit* f : fields) {
        if (f->placeholderText() == u"0,00"_s)
            f->setText(u"100,00"_s);
        else if (f != window->addSheetYears()->lineEdit())
            f->setText(u"Übertrag 2023"_s);
    }
    QTest::keyClick(window->addSheet(), Qt::Key_Return);
    EXPECT_FALSE(window->addSheet()->isVisible());
    ASSERT_EQ(window->cashBookList()->count(), 1);
    EXPECT_EQ(window->cashBookList()->item(0)->text(), u"2024"_s);
    EXPECT_EQ(window->cashBookList()->currentRow(), 0);
    ASSERT_EQ(window->entryTable()->rowCount(), 1);
    EXPECT_EQ(d.cell(window, 0, 3), u"Übertrag 2023"_s);

    // The item list's selected payment taken over: number 2, balance 11.
    d.app.selection().setSelectedItems({fare});
    ASSERT_TRUE(d.takeOver());
    d.takeOver()->trigger();
    TakeOverSheet* sheet = d.takeOverSheet();
    ASSERT_TRUE(sheet && sheet->isVisible());
    sheet->descriptionField()->setText(u"Bahnfahrt Köln"_s);
    sheet->receiptField()->setText(u"B-17"_s);
    sheet->accountField()->setText(u"Reisekosten"_s);
    QTest::keyClick(sheet, Qt::Key_Return);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(fare->text(keys::misc9), u"isKassenbuch"_s);
    ASSERT_EQ(window->entryTable()->rowCount(), 2);
    EXPECT_EQ(d.cell(window, 1, 0), u"2"_s);
    EXPECT_EQ(d.cell(window, 1, 3), u"Bahnfahrt Köln"_s);
    EXPECT_EQ(d.cell(window, 1, 4), u"Reisekosten"_s);
    const QString balanceAfterFare = d.cell(window, 1, 9);
    EXPECT_TRUE(balanceAfterFare.startsWith(u"11,00"_s)) << balanceAfterFare.toStdString();

    // Once more: the question, then the refusal; no sheet, no entry.
    d.ui.answers = {1};
    d.takeOver()->trigger();
    EXPECT_EQ(d.ui.alerts.size(), 2u);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(window->entryTable()->rowCount(), 2);

    // Escape closes the deposit sheet without an entry.
    window->openDeposit();
    ASSERT_TRUE(window->depositSheet()->isVisible());
    QTest::keyClick(window->depositSheet(), Qt::Key_Escape);
    EXPECT_FALSE(window->depositSheet()->isVisible());
    EXPECT_EQ(window->entryTable()->rowCount(), 2);

    // Reversing asks first; "Abbrechen" books nothing. "Stornieren" brings
    // the 89 of the selected payment back as entry 3.
    window->entryTable()->selectRow(1);
    d.ui.alerts.clear();
    window->stornoSelected();
    EXPECT_EQ(d.ui.alerts.size(), 1u);
    EXPECT_EQ(window->entryTable()->rowCount(), 2);
    d.ui.answers = {1};
    window->stornoSelected();
    ASSERT_EQ(window->entryTable()->rowCount(), 3);
    EXPECT_EQ(d.cell(window, 2, 0), u"3"_s);
    EXPECT_EQ(d.cell(window, 2, 3), u"Storno Nr. 2: Bahnfahrt Köln"_s);
    EXPECT_TRUE(d.cell(window, 2, 9).startsWith(u"100,00"_s));
}
