// The document panels and the search sheet as the shell builds them: the
// toolbar's "Suche" opens the sheet over every item, typing filters it, and
// the item panel follows the selected item.

#include "core/keys.h"
#include "shell_desk.h"
#include "ui/document_panels.h"
#include "ui/search_sheet.h"

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using namespace quandor;
using namespace quandor::ui;

TEST(DocumentWindows, SearchSheetFiltersAsYouTypeAndThePanelFollowsTheItem) {
    test::ShellDesk d;
    QuandorAppDelegate& app = d.app;
    Database& db = app.database();
    RecordPtr year = Record::create(RecordClass::Year, app.books().nowStamp());
    year->set(keys::dateValue, QStringLiteral("2024"));
    RecordPtr statement = Record::create(RecordClass::Thelist, app.books().nowStamp());
    statement->set(keys::title, QStringLiteral("Mai"));
    for (const QString& title : {QStringLiteral("Druckerpapier"), QStringLiteral("Miete")}) {
        RecordPtr item = Record::create(RecordClass::Item, app.books().nowStamp());
        item->set(keys::title, title);
        statement->items().push_back(item);
    }
    const QString gone = d.dir.filePath(QStringLiteral("weg.pdf"));
    statement->items()[1]->set(keys::filePath, gone);
    year->thelists().push_back(statement);
    db.years.push_back(year);
    MainWindow& main = d.shell.mainWindow();
    main.reloadAll();

    QAbstractButton* search = main.button(ToolbarAction::Search);
    ASSERT_TRUE(search->isEnabled());
    search->click();
    auto* sheet = main.findChild<SearchSheet*>();
    ASSERT_TRUE(sheet && sheet->isVisible());
    EXPECT_EQ(sheet->list()->model()->rowCount(), 2);
    QTest::keyClicks(sheet->searchField(), QStringLiteral("PAPIER"));
    ASSERT_EQ(sheet->list()->model()->rowCount(), 1);
    EXPECT_EQ(sheet->list()->model()->index(0, 1).data().toString(),
              QStringLiteral("Druckerpapier"));
    sheet->reject();
    EXPECT_EQ(sheet->list()->model()->rowCount(), 0);

    // The item panel shows the selected item's document, or that it is gone.
    app.selection().setYearIndex(0);
    app.selection().setStatementIndex(0);
    app.selection().setSelectedItems({statement->items()[1]});
    auto* panel = main.findChild<DocumentPanel*>();
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->titleField()->text(), QStringLiteral("Datei nicht mehr vorhanden"));
    app.selection().setSelectedItems({statement->items()[0]});
    EXPECT_TRUE(panel->titleField()->text().isEmpty());
}
