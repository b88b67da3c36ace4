// The preference pages of the master lists: new rows open their first column
// for editing, edits go into the records, deleting asks, bad amounts are refused.

#include "bookkeeping/array_controller.h"
#include "core/keys.h"
#include "support/books.h"
#include "ui/main_window.h"
#include "ui/main_window_drags.h"
#include "ui/master_list_pages.h"
#include "ui/row_drag.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QTableView>
#include <QTest>

using namespace quandor;
using namespace quandor::ui;
using List = ArrayController::ListKind;

namespace {

struct Pages : test::OpenBooks {
    ArrayController controller{app.books()};
};

}  // namespace

TEST(MasterListPage, PlusAddsARowInEditingAndEditsReachTheRecord) {
    Pages p;
    MasterListPage page(p.app, p.controller, List::Accounts);
    page.show();
    QTest::mouseClick(page.addButton(), Qt::LeftButton);
    ASSERT_EQ(p.app.database().accounts.size(), 1u);
    EXPECT_EQ(page.table()->currentIndex().row(), 0);
    EXPECT_EQ(page.table()->currentIndex().column(), 0);
    // The first column in editing, its text selected for overtyping.
    const auto* editor = page.table()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->selectedText(), QStringLiteral("Nummer"));

    const uint64_t before = p.app.changeCount();
    MasterListModel* model = page.model();
    EXPECT_EQ(model->data(model->index(0, 0), Qt::DisplayRole).toString(),
              QStringLiteral("Nummer"));
    EXPECT_TRUE(model->setData(model->index(0, 0), QStringLiteral("4400"), Qt::EditRole));
    EXPECT_TRUE(
        model->setData(model->index(0, 1), QStringLiteral("Erlöse 19 % USt"), Qt::EditRole));
    EXPECT_EQ(p.app.database().accounts[0]->text(keys::number), QStringLiteral("4400"));
    EXPECT_EQ(p.app.database().accounts[0]->text(keys::title), QStringLiteral("Erlöse 19 % USt"));
    EXPECT_GT(p.app.changeCount(), before);
}

TEST(MasterListPage, MinusAsksAndDeletesTheSelectedRow) {
    Pages p;
    MasterListPage page(p.app, p.controller, List::Groups);
    page.show();
    page.addRow();
    page.addRow();
    page.table()->selectRow(0);
    p.ui.answers = {1};  // "Abbrechen"
    QTest::mouseClick(page.removeButton(), Qt::LeftButton);
    EXPECT_EQ(p.app.database().groups.size(), 2u);
    ASSERT_EQ(p.ui.alerts.size(), 1u);
    EXPECT_EQ(p.ui.alerts[0].title, QStringLiteral("Kategorie löschen"));
    QTest::mouseClick(page.removeButton(), Qt::LeftButton);
    EXPECT_EQ(p.app.database().groups.size(), 1u);
    EXPECT_EQ(page.model()->rowCount(), 1);
}

TEST(MasterListPage, TemplatesTakeKindRateAndAmountAndRefuseTextAsAmount) {
    Pages p;
    MasterListPage page(p.app, p.controller, List::Templates);
    page.addRow();
    MasterListModel* model = page.model();
    Record& tmpl = *p.app.database().items[0];
    EXPECT_TRUE(model->setData(model->index(0, 1), 2, Qt::EditRole));  // Einnahme
    EXPECT_EQ(tmpl.integer(keys::kind), 2);
    EXPECT_EQ(model->data(model->index(0, 1), Qt::DisplayRole).toString(),
              QStringLiteral("Einnahme"));
    EXPECT_TRUE(model->setData(model->index(0, 6), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(tmpl.flag(keys::taxBool));
    EXPECT_FALSE(model->setData(model->index(0, 7), 9, Qt::EditRole));
    EXPECT_TRUE(model->setData(model->index(0, 5), QStringLiteral("1.190,50"), Qt::EditRole));
    EXPECT_EQ(tmpl.real(keys::amount), 1190.5f);
    EXPECT_FALSE(model->setData(model->index(0, 5), QStringLiteral("viel"), Qt::EditRole));
    EXPECT_EQ(tmpl.real(keys::amount), 1190.5f);
    EXPECT_FALSE(model->lastRefusal().isEmpty());
}

TEST(RowDrag, ADropGoesBeforeTheRowOrAfterItByTheHalfOfTheRow) {
    QStringListModel model({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    QListView view;
    view.setModel(&model);
    view.resize(200, 200);
    view.show();
    RowDrag drag(&view, RowDrag::Hooks{});
    const QRect second = view.visualRect(model.index(1, 0));
    EXPECT_EQ(drag.gapRow(QPoint(5, second.top() + 1)), 1);
    EXPECT_EQ(drag.gapRow(QPoint(5, second.bottom() - 1)), 2);
    EXPECT_EQ(drag.gapRow(QPoint(5, 190)), 3);  // below the rows: at the end
}

TEST(MainWindowLists, PostenLoeschenAsksAndDeletesTheSelectedItem) {
    Pages p;
    RecordPtr year = Record::create(RecordClass::Year, Date{});
    RecordPtr statement = Record::create(RecordClass::Thelist, Date{});
    for (const char* title : {"Miete", "Strom"}) {
        RecordPtr item = Record::create(RecordClass::Item, Date{});
        item->set(keys::title, QString::fromUtf8(title));
        statement->items().push_back(item);
    }
    year->thelists().push_back(statement);
    p.app.database().years.push_back(year);
    MainWindow window(p.app.database(), p.app.selection(), p.settings);
    installListDrags(window, p.controller);
    p.app.selection().setYearIndex(0);
    p.app.selection().setStatementIndex(0);
    window.reloadAll();
    p.app.selection().setSelectedRows({0});

    QAbstractButton* button = window.button(ToolbarAction::DeleteItem);
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isEnabled());
    p.ui.answers = {1};  // "Abbrechen"
    button->click();
    EXPECT_EQ(statement->items().size(), 2u);
    button->click();
    ASSERT_EQ(statement->items().size(), 1u);
    EXPECT_EQ(statement->items()[0]->text(keys::title), QStringLiteral("Strom"));
    EXPECT_EQ(p.ui.count(QStringLiteral("Posten löschen")), 2);
    EXPECT_EQ(window.itemView()->model()->rowCount(), 1);
}
