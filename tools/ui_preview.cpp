// Shows one window of the desktop program over the sample database, without
// reading or writing any file: for looking at the layout (screenshots).
//   ui_preview
//   main|prefs|palette|welcome|assi|account|entry|about|split|split2|allowance-sheet|allowances|
//              cashbook|journal|journal-busy

#include <QCheckBox>
#include <QComboBox>
#include "assets/allowance_controller.h"
#include "bookkeeping/bookkeeping_controllers.h"
#include "cashbook/kassenbuch_controller.h"
#include "core/app_delegate.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "reports/journal_controller.h"
#include "sample_database.h"
#include "support/fake_ui.h"
#include "ui/abschreibung_window.h"
#include "ui/first_steps_sheets.h"
#include "ui/journal_window.h"
#include "ui/kassenbuch_window.h"
#include "ui/main_window.h"
#include "ui/panels.h"
#include "ui/preference_panel.h"
#include "ui/split_sheet.h"
#include "ui/toolbar_controller.h"
#include "ui/toolbar_customize_dialog.h"

#include <QApplication>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

using namespace quandor;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral("3.0.0"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString what = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("main");
    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("Quandor.conf")));
    settings.setFloat(prefs::prefs1Rate, 19.0f);
    settings.setFloat(prefs::prefs2Rate, 7.0f);
    settings.setText(prefs::prefs1RateTitle, QStringLiteral("Regelsteuersatz"));
    settings.setText(prefs::prefs2RateTitle, QStringLiteral("Ermäßigter Steuersatz"));
    settings.setText(prefs::prefsCompany, QStringLiteral("Muster Design"));
    settings.setInt(prefs::prefsUseTaxesGlobal, 1);
    settings.setInt(prefs::jaImage, 4);

    Database db = test::sampleDatabase();
    // A fuller January.
    RecordList& january = db.years[1]->thelists()[0]->items();
    const char* titles[] = {"Hosting", "Telefon",         "Beratung Schulz",    "Fachbuch",
                            "Porto",   "Webdesign Meier", "Kaffee Kundentermin"};
    const char* groups[] = {"EDV",   "Telefon", "Erlöse",   "Fachliteratur",
                            "Porto", "Erlöse",  "Bewirtung"};
    const float amounts[] = {-11.90f, -39.99f, 2380.0f, -49.90f, -2.75f, 1785.0f, -18.40f};
    for (int i = 0; i < 7; ++i)
        january.push_back(test::sampleItem(QString::fromUtf8(titles[i]),
                                           QString::fromUtf8(groups[i]), amounts[i],
                                           test::dayStamp(2024, 1, 4 + i * 3)));
    Selection selection(db);
    test::FakeUi ui;

    ui::MainWindow window(db, selection, settings);
    ui::ToolbarController toolbar(window, settings, ui);
    selection.setYearIndex(1);
    selection.setStatementIndex(0);
    window.itemView()->selectRow(3);
    window.updateWindow();
    window.resize(1180, 640);
    window.move(130, 90);
    if (what == u"main") {
        window.show();
    } else if (what == u"prefs") {
        auto* panel = new ui::PreferencePanel(settings);
        panel->showPrefs();
    } else if (what == u"palette") {
        window.show();
        QTimer::singleShot(300, &window, [&] { toolbar.runCustomizePalette(); });
    } else if (what == u"welcome" || what == u"assi" || what == u"account" || what == u"entry") {
        window.show();
        auto* delegate = new QuandorAppDelegate(settings, ui, Paths::under(dir.path()));
        auto* controllers = new BookkeepingControllers(delegate->books());
        auto* sheets = new ui::FirstStepsSheets(controllers->firstSteps, settings, &window);
        QTimer::singleShot(300, sheets, [sheets, controllers, what] {
            if (what == u"welcome") {
                sheets->showWelcome();
                return;
            }
            sheets->selectAssi();
            if (what == u"assi") return;
            sheets->assistantSheet()->findChild<QPushButton*>(QStringLiteral("next"))->click();
            if (what == u"account") return;
            sheets->accountSheet()->findChild<QPushButton*>(QStringLiteral("next"))->click();
        });
    } else if (what == u"about") {
        window.show();
        auto* about = new ui::AboutWindow(&window);
        QTimer::singleShot(300, about, [about] { about->show(); });
    } else if (what == u"split" || what == u"split2") {
        window.show();
        auto* delegate = new QuandorAppDelegate(settings, ui, Paths::under(dir.path()));
        auto* controllers = new BookkeepingControllers(delegate->books());
        settings.setInt(prefs::calculatorHelpIndex, what == u"split" ? 0 : 1);
        settings.setInt(prefs::selectedSplitIndex, 2);
        settings.setText(prefs::customSplitValue, QStringLiteral("30"));
        auto* sheet = new ui::SplitSheet(controllers->split, settings, &window);
        RecordPtr item = selection.firstSelectedItem();
        item->set(keys::kind, 2);
        item->set(keys::taxBool, true);
        item->set(keys::taxTag, 1);
        sheet->prepare(item);
        QTimer::singleShot(300, sheet, [sheet] { sheet->open(); });
    } else if (what == u"allowance-sheet" || what == u"allowances" || what == u"cashbook") {
        window.show();
        auto* delegate = new QuandorAppDelegate(settings, ui, Paths::under(dir.path()));
        delegate->database() = test::sampleDatabase();
        settings.setBool(prefs::isFirstAllowanceSetupDone, true);
        RecordPtr laptop = test::sampleItem(QStringLiteral("Laptop 15 Zoll"), QStringLiteral("EDV"),
                                            -1428.0f, test::dayStamp(2024, 7, 10));
        laptop->set(keys::expenseWithout, -1200.0f);
        laptop->set(keys::taxFee, 228.0f);
        RecordList& items = delegate->database().years[1]->thelists()[0]->items();
        items.push_back(laptop);
        Selection& sel = delegate->selection();
        sel.setYearIndex(1);
        sel.setStatementIndex(0);
        sel.refresh();
        sel.setSelectedItems({laptop});
        auto* controllers = new BookkeepingControllers(delegate->books());
        auto* allowances = new AllowanceController(delegate->books(), controllers->items);
        if (what == u"allowance-sheet") {
            auto* sheet = new ui::AllowanceAddSheet(*allowances, *delegate, &window);
            QTimer::singleShot(300, sheet, [sheet] {
                sheet->openForSelection();
                sheet->durationList()->setCurrentIndex(3);
                sheet->monthlyBox()->setChecked(true);
            });
        } else if (what == u"allowances") {
            allowances->openAllowanceAddSheet();
            allowances->setDuration(3);
            allowances->setMonthly(true);
            allowances->addAllowanceItem();
            auto* w = new ui::AbschreibungWindow(*delegate, *allowances, &window);
            QTimer::singleShot(300, w, [w] { w->openAllowanceWindow(); });
        } else {
            auto* cash = new KassenbuchController(delegate->books());
            cash->addCashBook();  // resets the carry-over fields
            settings.setBool(prefs::prefsUebertragKassenbuch, true);
            settings.setText(prefs::prefsUebertragKassenbuchSumme, QStringLiteral("500"));
            settings.setText(prefs::prefsUebertragKassenbuchBezeichnung,
                             QStringLiteral("Übertrag"));
            cash->closeAddCashBook(QStringLiteral("2024"));
            auto* w = new ui::KassenbuchWindow(*delegate, *cash, &window);
            QTimer::singleShot(300, w, [w] { w->openKassenbuch(); });
        }
    }
    if (what.startsWith(u"journal")) {
        auto* delegate = new QuandorAppDelegate(settings, ui, Paths::under(dir.path()));
        delegate->database() = db;
        delegate->selection().setYearIndex(1);
        auto* journal = new JournalController(delegate->books());
        auto* w = new ui::JournalWindow(*delegate, *journal);
        w->show();
        w->reportButton(2)->click();
        if (what == u"journal-busy")
            journal->hooks().packaging(true,
                                       QStringLiteral("„Übersicht Abrechnungen“ wird erstellt …"));
    }
    return app.exec();
}
