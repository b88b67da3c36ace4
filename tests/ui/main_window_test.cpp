// The main window over a small database, and the toolbar that presses its buttons.

#include "ui/main_window.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "sample_database.h"
#include "support/fake_ui.h"
#include "ui/main_window_rules.h"
#include "ui/qt_ui_port.h"
#include "ui/toolbar_controller.h"
#include "ui/toolbar_customize_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

using namespace quandor;
using namespace quandor::ui;

namespace {

QStringList column(QAbstractItemModel* model, int col) {
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, col).data().toString();
    return texts;
}

}  // namespace

class MainWindowTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    Settings settings{dir.filePath("Quandor.conf")};
    Database db = test::sampleDatabase();
    Selection selection{db};
    test::FakeUi ui;
};

TEST_F(MainWindowTest, ListsFollowTheSelection) {
    MainWindow window(db, selection, settings);
    EXPECT_EQ(column(window.yearView()->model(), 0), (QStringList{"2023", "2024"}));
    EXPECT_EQ(window.statementView()->model()->rowCount(), 0);
    EXPECT_EQ(window.itemView()->model()->rowCount(), 0);

    // Choosing rows in the views selects in the core.
    window.yearView()->setCurrentIndex(window.yearView()->model()->index(1, 0));
    EXPECT_EQ(selection.yearIndex(), 1);
    EXPECT_EQ(column(window.statementView()->model(), 0), (QStringList{"Januar", "Februar"}));
    window.statementView()->setCurrentIndex(window.statementView()->model()->index(0, 0));
    EXPECT_EQ(selection.statementIndex(), 0);

    // Items sorted by date ascending, with the money texts.
    QAbstractItemModel* items = window.itemView()->model();
    EXPECT_EQ(column(items, 1), (QStringList{"Druckerpapier", "Bahnfahrt", "Rechnung Müller"}));
    EXPECT_EQ(column(items, 4), (QStringList{"-23,80", "-89,00", "1.190,00"}));
    EXPECT_EQ(items->headerData(0, Qt::Horizontal).toString(), "Datum");
    EXPECT_EQ(items->index(0, 0).data().toString(), "03.01.24");
    EXPECT_EQ(window.sumField()->text(), "1.077,20");

    // Selecting in the core moves the views.
    selection.setYearIndex(0);
    EXPECT_EQ(window.yearView()->currentIndex().row(), 0);
    EXPECT_EQ(column(window.statementView()->model(), 0), (QStringList{"Dezember"}));
    selection.setStatementIndex(0);
    EXPECT_EQ(column(items, 1), (QStringList{"Miete"}));
    EXPECT_EQ(window.sumField()->text(), "-800,00");
    EXPECT_EQ(window.sumField()->palette().color(QPalette::WindowText),
              QColor::fromRgbF(float(kSumNegativeColor.red), float(kSumNegativeColor.green),
                               float(kSumNegativeColor.blue)));
}

TEST_F(MainWindowTest, SearchFieldNarrowsTheItemsAndTheSumAndKeepsTheSelection) {
    MainWindow window(db, selection, settings);
    selection.setYearIndex(1);
    selection.setStatementIndex(0);
    QTest::keyClicks(window.searchField(), "rech");
    EXPECT_EQ(selection.filterText(), "rech");
    EXPECT_EQ(column(window.itemView()->model(), 1), (QStringList{"Rechnung Müller"}));
    EXPECT_EQ(window.sumField()->text(), "1.190,00");
    EXPECT_EQ(window.sumField()->palette().color(QPalette::WindowText),
              QColor::fromRgbF(float(kSumPositiveColor.red), float(kSumPositiveColor.green),
                               float(kSumPositiveColor.blue)));
    window.searchField()->clear();
    EXPECT_EQ(window.itemView()->model()->rowCount(), 3);
    QTest::keyClicks(window.searchField(), "gibt es nicht");
    EXPECT_EQ(window.itemView()->model()->rowCount(), 0);
    EXPECT_EQ(window.sumField()->text(), "0,00");

    // Selected rows reach the core and survive a filter that still lists the item.
    window.searchField()->clear();
    window.itemView()->selectRow(2);
    ASSERT_EQ(selection.selectedItems().size(), 1u);
    EXPECT_EQ(selection.firstSelectedItem()->text(keys::title), "Rechnung Müller");
    window.searchField()->setText("Müller");
    EXPECT_EQ(selection.selectedItems().size(), 1u);
    EXPECT_EQ(window.itemView()->selectionModel()->selectedRows().size(), 1);
}

TEST_F(MainWindowTest, GuidePictureFollowsTheFirstSteps) {
    MainWindow window(db, selection, settings);
    EXPECT_EQ(window.guideName(), "ja1");
    settings.setInt(prefs::jaImage, 3);
    window.updateWindow();
    EXPECT_EQ(window.guideName(), "ja3");
    EXPECT_FALSE(window.guidePicture()->pixmap().isNull());
    settings.setBool(prefs::firstStepsDone, true);
    window.updateWindow();
    EXPECT_EQ(window.guideName(), "");
    EXPECT_TRUE(window.guidePicture()->isHidden());
}

TEST_F(MainWindowTest, ButtonsWaitForTheirOperationsExceptSearch) {
    MainWindow window(db, selection, settings);
    for (const ToolbarItemSpec& spec : toolbarItems()) {
        QAbstractButton* b = window.button(spec.action);
        if (spec.action == ToolbarAction::Calculator) {
            EXPECT_EQ(b, nullptr);
            continue;
        }
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->isEnabled(), spec.action == ToolbarAction::Search)
            << QString::fromUtf16(spec.identifier).toStdString();
    }
}

TEST_F(MainWindowTest, ToolbarItemsPressTheirButtonOnlyWhenEnabled) {
    MainWindow window(db, selection, settings);
    ToolbarController toolbar(window, settings, ui);
    QAbstractButton* yearButton = window.button(ToolbarAction::Year);
    QSignalSpy pressed(yearButton, &QAbstractButton::clicked);
    QAction* jahr = toolbar.action("JahrItemIdentifier");
    EXPECT_FALSE(jahr->isEnabled());
    toolbar.perform(ToolbarAction::Year);  // a disabled button: nothing happens
    EXPECT_EQ(pressed.count(), 0);

    yearButton->setEnabled(true);
    EXPECT_TRUE(jahr->isEnabled());
    jahr->trigger();
    EXPECT_EQ(pressed.count(), 1);
    yearButton->setEnabled(false);
    EXPECT_FALSE(jahr->isEnabled());
}

TEST_F(MainWindowTest, MissingCalculatorIsExplained) {
    MainWindow window(db, selection, settings);
    ToolbarController toolbar(window, settings, ui);
    toolbar.setExecutableFinder([](const QString&) { return QString(); });
    toolbar.action("RechnerItemIdentifier")->trigger();
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_EQ(ui.alerts[0].title, "Hinweis!");
    EXPECT_TRUE(ui.alerts[0].message.contains("kein Taschenrechner"));
    EXPECT_TRUE(ui.launches.empty());
}

TEST_F(MainWindowTest, ChosenToolbarIsKeptInTheSettings) {
    const QStringList chosen{"SearchItemIdentifier", "SeparatorItemIdentifier",
                             "KassenbuchItemIdentifier"};
    {
        MainWindow window(db, selection, settings);
        ToolbarController toolbar(window, settings, ui);
        EXPECT_EQ(toolbar.identifiers(), defaultToolbarIdentifiers());  // nothing stored yet
        toolbar.setIdentifiers(chosen + QStringList{"PrintItemIdentifier"});
        EXPECT_EQ(toolbar.identifiers(), chosen);
        EXPECT_EQ(toolbar.toolbar()->actions().size(), 3);
    }
    Settings reread(dir.filePath("Quandor.conf"));
    MainWindow window(db, selection, reread);
    ToolbarController toolbar(window, reread, ui);
    EXPECT_EQ(toolbar.identifiers(), chosen);
}

TEST_F(MainWindowTest, PaletteDialogAddsMovesAndRestores) {
    ToolbarCustomizeDialog dialog({"JahrItemIdentifier"});
    // A program item on the toolbar cannot be added a second time.
    auto paletteRow = [&](const QString& id) {
        for (int i = 0; i < dialog.paletteList()->count(); ++i)
            if (dialog.paletteList()->item(i)->data(Qt::UserRole).toString() == id) return i;
        return -1;
    };
    EXPECT_FALSE(dialog.paletteList()->item(paletteRow("JahrItemIdentifier"))->flags() &
                 Qt::ItemIsEnabled);
    dialog.paletteList()->setCurrentRow(paletteRow("SpaceItemIdentifier"));
    dialog.addSelected();
    dialog.paletteList()->setCurrentRow(paletteRow("SearchItemIdentifier"));
    dialog.addSelected();
    EXPECT_EQ(dialog.chosen(),
              (QStringList{"JahrItemIdentifier", "SpaceItemIdentifier", "SearchItemIdentifier"}));
    dialog.moveSelected(-1);
    EXPECT_EQ(dialog.chosen(),
              (QStringList{"JahrItemIdentifier", "SearchItemIdentifier", "SpaceItemIdentifier"}));
    dialog.toolbarList()->setCurrentRow(0);
    dialog.removeSelected();
    EXPECT_EQ(dialog.chosen(), (QStringList{"SearchItemIdentifier", "SpaceItemIdentifier"}));
    dialog.restoreDefaults();
    EXPECT_EQ(dialog.chosen(), defaultToolbarIdentifiers());
}

TEST_F(MainWindowTest, AHundredThousandItemsListAndScroll) {
    RecordList many;
    many.reserve(100000);
    for (int i = 0; i < 100000; ++i)
        many.push_back(test::sampleItem(QStringLiteral("Posten %1").arg(i), "Erlöse", 1.0f,
                                        test::dayStamp(2024, 1 + i % 12, 1 + i % 28)));
    db.years[1]->thelists()[1]->items() = std::move(many);
    MainWindow window(db, selection, settings);
    window.resize(900, 600);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    selection.setYearIndex(1);
    selection.setStatementIndex(1);
    QApplication::processEvents();
    window.itemView()->scrollToBottom();
    QApplication::processEvents();
    EXPECT_EQ(window.itemView()->model()->rowCount(), 100000);
}

// The Qt port's alerts: Return presses the first button, Escape "Abbrechen".
TEST(QtUiPortAlert, ReturnPressesTheDefaultAndEscapeCancels) {
    QtUiPort port;
    const QStringList deleteFirst{"Löschen", "Abbrechen"}, cancelFirst{"Abbrechen", "Übernehmen"};
    const struct {
        Qt::Key key;
        const QStringList& buttons;
        int answer;
    } cases[] = {{Qt::Key_Return, deleteFirst, 0},
                 {Qt::Key_Escape, deleteFirst, 1},
                 {Qt::Key_Escape, cancelFirst, 0},
                 {Qt::Key_Return, cancelFirst, 0}};
    for (const auto& c : cases) {
        QTimer::singleShot(50, [key = c.key] {
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            QTest::keyClick(box, key);
        });
        EXPECT_EQ(port.alert(AlertStyle::Warning, "Achtung!", "Wirklich?", c.buttons), c.answer)
            << c.buttons.join(", ").toStdString() << " / " << int(c.key);
    }
}
