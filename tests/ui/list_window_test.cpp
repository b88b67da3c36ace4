// The frame of the list windows: the output buttons and Ctrl+P follow the
// list, the current row is the selected one, Delete acts on the list.

#include "ui/list_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QVBoxLayout>

using namespace quandor::ui;
using namespace Qt::StringLiterals;

namespace {

struct Probe : ListWindow {
    Probe() : ListWindow(u"probeWindow"_s, u"Probe"_s, nullptr) {
        auto* layout = new QVBoxLayout(this);
        table = makeTable(u"probeTable"_s, {{u"Titel"_s}, {u"Betrag"_s, true}}, 0, this);
        layout->addWidget(table);
        own = new QPushButton(u"Eigener …"_s, this);
        addBottomBar(layout, {own},
                     {[this] { ++csv; }, [this] { ++pdf; }, [this] { ++printed; }, u"Drucken"_s});
        followCurrentRow(
            table, [this](int row) { selected = row; }, [this] { ++changes; });
        onDeleteKey(table, [this] { ++removed; });
    }
    void fill(int rows) {
        syncing_ = true;
        table->setRowCount(rows);
        for (int r = 0; r < rows; ++r) setRow(table, r, {u"Posten"_s, u"1,00"_s});
        fitColumns(table);
        syncing_ = false;
        enableOutputs(rows > 0);
    }
    QPushButton* print() const { return printButton(); }

    QTableWidget* table = nullptr;
    QPushButton* own = nullptr;
    int csv = 0, pdf = 0, printed = 0, removed = 0, changes = 0, selected = -1;
};

}  // namespace

TEST(ListWindowUi, OutputsFollowTheListAndTheCurrentRowIsSelected) {
    Probe w;
    w.fill(0);
    // Ctrl+P prints through the button: nothing while the list is empty.
    QAction* printKey = w.actions().value(0);
    ASSERT_TRUE(printKey);
    EXPECT_EQ(printKey->shortcut(), QKeySequence(QKeySequence::Print));
    printKey->trigger();
    EXPECT_EQ(w.printed, 0);

    w.fill(3);
    EXPECT_EQ(w.changes, 0);  // filling is not a choice of the person
    EXPECT_EQ(w.table->item(0, 1)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_FALSE(w.table->item(0, 0)->textAlignment() & Qt::AlignRight);
    printKey->trigger();
    EXPECT_EQ(w.printed, 1);
    EXPECT_FALSE(w.own->autoDefault());

    // Moving the current row tells the window and shows the row selected.
    w.table->setCurrentCell(2, 0);
    EXPECT_EQ(w.selected, 2);
    EXPECT_EQ(w.changes, 1);
    EXPECT_TRUE(w.table->selectionModel()->isRowSelected(2, {}));

    ASSERT_EQ(w.table->actions().size(), 1);
    EXPECT_TRUE(w.table->actions()[0]->shortcuts().contains(QKeySequence(Qt::Key_Delete)));
    w.table->actions()[0]->trigger();
    EXPECT_EQ(w.removed, 1);
}
