// The cash book window as the desktop program wires it: opened by the toolbar's
// "Kassenbuch", a new cash book with a carried-over balance, the item list's
// selected item taken over, a refused payment, a reversal and the sheets' keys.

#include "ui/kassenbuch_window.h"
#include "shell_desk.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
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

}  // namespace

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
    ASSERT_EQ(d.ui.alerts.size(), 2u);
    EXPECT_EQ(d.ui.alerts[0].title, u"Warnung!"_s);
    EXPECT_EQ(d.ui.alerts[1].title, u"Fehler!"_s);
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
    ASSERT_EQ(d.ui.alerts.size(), 1u);
    EXPECT_EQ(d.ui.alerts[0].buttons.value(0), u"Abbrechen"_s);
    EXPECT_EQ(window->entryTable()->rowCount(), 2);
    d.ui.answers = {1};
    window->stornoSelected();
    ASSERT_EQ(window->entryTable()->rowCount(), 3);
    EXPECT_EQ(d.cell(window, 2, 0), u"3"_s);
    EXPECT_EQ(d.cell(window, 2, 3), u"Storno Nr. 2: Bahnfahrt Köln"_s);
    EXPECT_TRUE(d.cell(window, 2, 9).startsWith(u"100,00"_s));
}
