#include "ui/desktop_shell.h"
#include "ui/document_panels.h"
#include "ui/search_sheet.h"

#include "bookkeeping/datev_export.h"

#include "core/number_texts.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "print/page.h"
#include "ui/abschreibung_window.h"
#include "ui/data_pages.h"
#include "ui/first_steps_sheets.h"
#include "ui/handbook_window.h"
#include "ui/icons.h"
#include "ui/import_sheets.h"
#include "ui/inventar_window.h"
#include "ui/item_sheet.h"
#include "ui/journal_window.h"
#include "ui/kassenbuch_window.h"
#include "ui/main_window.h"
#include "ui/main_window_drags.h"
#include "ui/main_window_rules.h"
#include "ui/master_list_pages.h"
#include "ui/panels.h"
#include "ui/pdf_preview.h"
#include "ui/placement.h"
#include "ui/preference_panel.h"
#include "ui/statement_export_sheet.h"
#include "ui/toolbar_controller.h"
#include "ui/uebersicht_sheet.h"
#include "ui/voranmeldung_window.h"
#include "ui/year_list_sheets.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTableView>
#include <QTimer>
#include <QToolBar>

namespace quandor::ui {

DesktopShell::DesktopShell(QuandorAppDelegate& delegate, QtUiPort& ui)
    : delegate_(delegate), ui_(ui) {
    Settings& settings = delegate_.settings();
    main_ = new MainWindow(delegate_.database(), delegate_.selection(), settings);
    main_->setWindowIcon(namedIcon(QStringLiteral("statisticsTemplate")));
    ui_.setParentWindow(main_);
    toolbar_ = new ToolbarController(*main_, settings, ui_);
    prefs_ = new PreferencePanel(settings, main_);
    prefs_->setWindowFlag(Qt::Window);
    controllers_ = std::make_unique<BookkeepingControllers>(delegate_.books());
    ArrayController& lists = controllers_->lists;
    // The master lists' pages, and drag and drop in the main window.
    using List = ArrayController::ListKind;
    prefs_->setPage(QStringLiteral("CategoriesItemIdentifier"),
                    new MasterListPage(delegate_, lists, List::Groups));
    prefs_->setPage(QStringLiteral("AccountsItemIdentifier"),
                    new MasterListPage(delegate_, lists, List::Accounts));
    prefs_->setPage(QStringLiteral("TemplatesItemIdentifier"),
                    new MasterListPage(delegate_, lists, List::Templates));
    installListDrags(*main_, lists);
    // Print and export of the selected statement.
    new StatementPrinting(delegate_, *main_, controllers_->print);
    // The statement summary page ("Abrechnung"): rendered to PDF with the
    // totals, printed through the print dialog.
    TotalsController& totals = controllers_->totals;
    totals.setCurrencyText([&settings] { return currencyText(settings); });
    totals.setSummaryRenderer([&totals](const SummaryPage&) { totals.renderSummaryPdf(); });
    controllers_->vat.setSummaryPrinter([this, &totals] {
        printWithDialog(main_, [&totals](QPagedPaintDevice& printer) {
            return print::paintPages(totals.summaryPage(), print::Output::Printer, printer) > 0;
        });
    });
    about_ = new AboutWindow(main_);
    help_ = new InfoWindow(QStringLiteral("Hilfe"), helpText(), main_);
    docs_ = new InfoWindow(QStringLiteral("Dokumentation"), documentationText(), main_);
    buildMenus();
    bindHooks();
    bindItemSheet();
    installYearListSheets(*main_, controllers_->years,
                          delegate_);  // new, edit and delete year and statement
    installDataPages(this, *main_, *prefs_, delegate_, ui_);
    installImportSheets(delegate_,
                        *main_);  // "Posten importieren" and files dropped on the item list

    // The VAT return window behind the toolbar's "Voranmeldung".
    auto* vatWindow = new VoranmeldungWindow(delegate_, controllers_->vat, main_);
    main_->button(ToolbarAction::Voranmeldung)->setEnabled(true);
    connect(main_->button(ToolbarAction::Voranmeldung), &QAbstractButton::clicked, vatWindow,
            &VoranmeldungWindow::openForSelection);
    auto* vatAction = new QAction(QStringLiteral("Voranmeldung …"), main_);
    vatAction->setObjectName(QStringLiteral("voranmeldungAction"));
    vatAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
    connect(vatAction, &QAction::triggered, main_->button(ToolbarAction::Voranmeldung),
            &QAbstractButton::click);
    main_->addAction(vatAction);
    for (QAction* a : main_->menuBar()->actions())
        if (a->text() == QStringLiteral("&Fenster") && a->menu()) a->menu()->addAction(vatAction);
    bindCashBook();
    bindAssets();
    bindOverview();
    bindReports();
    installDocumentPanels(*main_, delegate_);  // the documents of item, statement and year
    installSearchSheet(*main_, delegate_);     // the toolbar's "Suche": every item of every year

    // The first-steps assistant: welcome, company, accounts, first statement,
    // and then the item sheet of the first item.
    firstSteps_ = new FirstStepsSheets(controllers_->firstSteps, settings, main_);
    connect(firstSteps_, &FirstStepsSheets::openPreferences, this, &DesktopShell::showPrefs);
    connect(firstSteps_, &FirstStepsSheets::booksChanged, main_, &MainWindow::reloadAll);
    connect(firstSteps_, &FirstStepsSheets::firstItemWanted, this, [this] {
        if (QAbstractButton* add = main_->button(ToolbarAction::AddItem)) add->click();
        main_->updateWindow();
    });

    // The main window's one-time defaults, and the window centred the first
    // time. (The help windows place themselves when they first open.)
    if (applyFirstWindowDefaults(settings)) {
        centreOnScreen(main_);
        settings.sync();
    }

    // Closing the main window leaves the program running. Without a status
    // area to bring it back from, the window goes to the task bar instead of
    // disappearing, so the person can always reach it (and "Quandor beenden").
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        tray_ = new QSystemTrayIcon(main_->windowIcon(), this);
        tray_->setToolTip(QStringLiteral("Quandor"));
        auto* menu = new QMenu(main_);
        menu->addAction(QStringLiteral("Quandor zeigen"), this, &DesktopShell::showMainWindow);
        menu->addAction(QStringLiteral("Quandor beenden"), this, &DesktopShell::requestQuit);
        tray_->setContextMenu(menu);
        connect(tray_, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason r) {
                    if (r == QSystemTrayIcon::Trigger) delegate_.applicationShouldHandleReopen();
                });
        tray_->show();
    }
    connect(main_, &MainWindow::closed, this, [this] {
        if (tray_) {
            main_->hide();
        } else {
            QTimer::singleShot(0, main_, [this] { main_->showMinimized(); });
        }
    });
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s == Qt::ApplicationActive) delegate_.applicationDidBecomeActive(main_->isVisible());
    });
    // Leaving by other means (session end) still stores and saves.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (!terminated_ && !ui_.quitRequested()) {
            terminated_ = true;
            delegate_.applicationWillTerminate();
        }
    });
}

DesktopShell::~DesktopShell() {
    delete handbook_;
    delete main_;
}

void DesktopShell::bindHooks() {
    auto& hooks = delegate_.hooks();
    hooks.showMainWindow = [this] { showMainWindow(); };
    hooks.hideMainWindow = [this] { main_->hide(); };
    hooks.hideFirstStepsGuide = [this] { main_->updateWindow(); };
    if (!hooks.showUserChoice) {
        // The user-selection window comes with the users page; until then the
        // person learns why no data were opened, and nothing is overwritten
        // (saving stays off without a load).
        hooks.showUserChoice = [this] {
            showMainWindow();
            ui_.alert(AlertStyle::Warning, QStringLiteral("Hinweis!"),
                      QStringLiteral("Mehrere Benutzer sind eingeschaltet, aber die Auswahl des "
                                     "Benutzers ist in dieser Version noch nicht enthalten. Es "
                                     "wurden keine Daten geöffnet und es wird nichts gesichert."),
                      {QStringLiteral("OK")});
        };
    }
}

// New, edit, duplicate and delete item: the main window's buttons, the menu and
// a double click on an item row.
void DesktopShell::bindItemSheet() {
    itemSheet_ = new ItemSheet(controllers_->items, controllers_->split, delegate_, main_);
    connect(itemSheet_, &ItemSheet::itemsChanged, main_, [this] {
        delegate_.selection().refresh();
        main_->updateWindow();
    });
    QAbstractButton* addButton = main_->button(ToolbarAction::AddItem);
    QAbstractButton* deleteButton = main_->button(ToolbarAction::DeleteItem);
    addButton->setEnabled(true);
    connect(addButton, &QAbstractButton::clicked, itemSheet_, &ItemSheet::addItem);
    connect(main_->itemView(), &QTableView::doubleClicked, itemSheet_, &ItemSheet::editItem);
    controllers_->items.showTemplate = [this](const RecordPtr&) { prefs_->selectTab4(); };

    QMenu* edit = nullptr;
    for (QAction* a : main_->menuBar()->actions())
        if (a->text() == QStringLiteral("&Bearbeiten")) edit = a->menu();
    if (!edit) return;
    edit->addSeparator();
    QAction* newAction =
        edit->addAction(QStringLiteral("Neuer Posten"), addButton, &QAbstractButton::click);
    newAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    QAction* editAction =
        edit->addAction(QStringLiteral("Posten bearbeiten"), itemSheet_, &ItemSheet::editItem);
    editAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    QAction* duplicate = edit->addAction(QStringLiteral("Posten duplizieren"), this, [this] {
        controllers_->items.duplicateItem();
        main_->updateWindow();
    });
    duplicate->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    edit->addAction(QStringLiteral("Vorlage aus Posten erstellen"), this,
                    [this] { controllers_->items.makeTemplateFromItem(); });
    if (deleteButton)
        edit->addAction(QStringLiteral("Posten löschen"), deleteButton, &QAbstractButton::click);
    // Return in the item list opens the selected item.
    auto* editKey = new QAction(main_->itemView());
    editKey->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    editKey->setShortcutContext(Qt::WidgetShortcut);
    connect(editKey, &QAction::triggered, itemSheet_, &ItemSheet::editItem);
    main_->itemView()->addAction(editKey);
}

// The reports window behind the toolbar's "Berichte" and the window menu's "Berichte …".
void DesktopShell::bindReports() {
    journal_ = std::make_unique<JournalController>(delegate_.books());
    journalWindow_ = new JournalWindow(delegate_, *journal_, main_);
    QAbstractButton* button = main_->button(ToolbarAction::Journal);
    button->setEnabled(true);
    connect(button, &QAbstractButton::clicked, journalWindow_, &JournalWindow::openJournalWindow);
    auto* openAction = new QAction(QStringLiteral("Berichte …"), main_);
    openAction->setObjectName(QStringLiteral("journalAction"));
    openAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
    connect(openAction, &QAction::triggered, button, &QAbstractButton::click);
    main_->addAction(openAction);
    for (QAction* a : main_->menuBar()->actions())
        if (a->text() == QStringLiteral("&Fenster") && a->menu()) a->menu()->addAction(openAction);
}

// The cash book window behind the toolbar's "Kassenbuch", and the take-over of
// the item list's selected item (menu, shortcut and the item list's context menu).
void DesktopShell::bindCashBook() {
    cashbook_ = std::make_unique<KassenbuchController>(delegate_.books());
    cashbookWindow_ = new KassenbuchWindow(delegate_, *cashbook_, main_);
    QAbstractButton* button = main_->button(ToolbarAction::Kassenbuch);
    button->setEnabled(true);
    connect(button, &QAbstractButton::clicked, cashbookWindow_, &KassenbuchWindow::openKassenbuch);
    auto* takeOver = new TakeOverSheet(*cashbook_, delegate_, main_);
    connect(takeOver, &TakeOverSheet::takenOver, main_, [this] {
        delegate_.selection().refresh();
        main_->updateWindow();
        if (cashbookWindow_->isVisible()) cashbookWindow_->refresh();
    });
    auto* takeAction = new QAction(QStringLiteral("In das Kassenbuch übernehmen …"), main_);
    takeAction->setObjectName(QStringLiteral("takeOverAction"));
    takeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K));
    connect(takeAction, &QAction::triggered, takeOver, &TakeOverSheet::openForSelection);
    auto* openAction = new QAction(QStringLiteral("Kassenbuch …"), main_);
    openAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    connect(openAction, &QAction::triggered, button, &QAbstractButton::click);
    main_->addAction(openAction);
    main_->itemView()->addAction(takeAction);
    main_->itemView()->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (QAction* a : main_->menuBar()->actions()) {
        if (a->text() == QStringLiteral("&Bearbeiten")) {
            a->menu()->addSeparator();
            a->menu()->addAction(takeAction);
        } else if (a->text() == QStringLiteral("&Fenster")) {
            a->menu()->addAction(openAction);
        }
    }
}

// The depreciation and inventory windows, and the item list's "Zu den
// Abschreibungen hinzufügen …" and "In die Inventarliste übernehmen …" (edit
// menu, item list's context menu). The toolbar has no items of their own for
// them; the window menu opens them.
void DesktopShell::bindAssets() {
    allowance_ = std::make_unique<AllowanceController>(delegate_.books(), controllers_->items);
    allowanceWindow_ = new AbschreibungWindow(delegate_, *allowance_, main_);
    auto* addSheet = new AllowanceAddSheet(*allowance_, delegate_, main_);
    connect(addSheet, &AllowanceAddSheet::added, main_, [this] {
        delegate_.selection().refresh();
        main_->updateWindow();
        if (allowanceWindow_->isVisible()) allowanceWindow_->refresh();
    });
    connect(allowanceWindow_, &AbschreibungWindow::yearlyItemOpened, itemSheet_,
            &ItemSheet::showOpenedItem);
    auto* addAction = new QAction(QStringLiteral("Zu den Abschreibungen hinzufügen …"), main_);
    addAction->setObjectName(QStringLiteral("allowanceAddAction"));
    connect(addAction, &QAction::triggered, addSheet, &AllowanceAddSheet::openForSelection);
    auto* openAction = new QAction(QStringLiteral("Abschreibungen und GWGs …"), main_);
    openAction->setObjectName(QStringLiteral("allowanceWindowAction"));
    connect(openAction, &QAction::triggered, allowanceWindow_,
            &AbschreibungWindow::openAllowanceWindow);
    main_->addAction(openAction);
    main_->itemView()->addAction(addAction);
    for (QAction* a : main_->menuBar()->actions()) {
        if (a->text() == QStringLiteral("&Bearbeiten"))
            a->menu()->addAction(addAction);
        else if (a->text() == QStringLiteral("&Fenster"))
            a->menu()->addAction(openAction);
    }

    inventory_ = std::make_unique<InventoryController>(delegate_.books());
    inventoryWindow_ = new InventarWindow(delegate_, *inventory_, main_);
    auto* takeSheet = new InventorySheet(*inventory_, delegate_, true, main_);
    connect(takeSheet, &InventorySheet::added, main_, [this] {
        main_->updateWindow();
        if (inventoryWindow_->isVisible()) inventoryWindow_->refresh();
    });
    auto* takeAction = new QAction(QStringLiteral("In die Inventarliste übernehmen …"), main_);
    takeAction->setObjectName(QStringLiteral("inventoryTakeAction"));
    connect(takeAction, &QAction::triggered, takeSheet, &InventorySheet::openSheet);
    auto* inventoryAction = new QAction(QStringLiteral("Inventar …"), main_);
    inventoryAction->setObjectName(QStringLiteral("inventoryWindowAction"));
    connect(inventoryAction, &QAction::triggered, inventoryWindow_,
            &InventarWindow::showInventoryWindow);
    main_->addAction(inventoryAction);
    main_->itemView()->addAction(takeAction);
    for (QAction* a : main_->menuBar()->actions()) {
        if (a->text() == QStringLiteral("&Bearbeiten"))
            a->menu()->addAction(takeAction);
        else if (a->text() == QStringLiteral("&Fenster"))
            a->menu()->addAction(inventoryAction);
    }
}

void DesktopShell::buildMenus() {
    QMenuBar* bar = main_->menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&Ablage"));
    QAction* save = file->addAction(QStringLiteral("Sichern"), this, [this] { delegate_.save(); });
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    file->addSeparator();
    // The DATEV booking batch for the tax advisor: the selected year or statement.
    auto datev = [this](bool wholeYear) {
        const RecordPtr year = delegate_.selection().selectedYear();
        const RecordPtr statement = delegate_.selection().selectedStatement();
        if (!year || (!wholeYear && !statement)) {
            delegate_.ui().alert(AlertStyle::Warning, QStringLiteral("Fehler!"),
                                 wholeYear
                                     ? QStringLiteral("Wähle bitte zuerst ein Jahr aus.")
                                     : QStringLiteral("Wähle bitte zuerst eine Abrechnung aus."),
                                 {QStringLiteral("OK")});
            return;
        }
        DatevExportController(delegate_.books())
            .exportBookings(*year, wholeYear ? nullptr : statement.get());
    };
    // The statement overview's print and export, as the buttons under the item list.
    QAction* print = file->addAction(QStringLiteral("Übersicht drucken …"),
                                     main_->button(ToolbarAction::Print), &QAbstractButton::click);
    print->setObjectName(QStringLiteral("printOverviewAction"));
    print->setShortcut(QKeySequence::Print);
    QAction* exportAction =
        file->addAction(QStringLiteral("Übersicht exportieren …"),
                        main_->button(ToolbarAction::Export), &QAbstractButton::click);
    exportAction->setObjectName(QStringLiteral("exportOverviewAction"));
    exportAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    file->addSeparator();
    QAction* datevYear = file->addAction(QStringLiteral("DATEV-Export des Jahres …"), this,
                                         [datev] { datev(true); });
    datevYear->setObjectName(QStringLiteral("datevExportYear"));
    QAction* datevStatement = file->addAction(QStringLiteral("DATEV-Export der Abrechnung …"), this,
                                              [datev] { datev(false); });
    datevStatement->setObjectName(QStringLiteral("datevExportStatement"));
    file->addSeparator();
    QAction* prefs =
        file->addAction(QStringLiteral("Einstellungen …"), this, &DesktopShell::showPrefs);
    prefs->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    prefs->setMenuRole(QAction::PreferencesRole);
    file->addSeparator();
    QAction* quit =
        file->addAction(QStringLiteral("Quandor beenden"), this, &DesktopShell::requestQuit);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setShortcutContext(Qt::ApplicationShortcut);
    quit->setMenuRole(QAction::QuitRole);

    QMenu* edit = bar->addMenu(QStringLiteral("&Bearbeiten"));
    QAction* search =
        edit->addAction(QStringLiteral("Posten suchen"), main_, &MainWindow::focusSearch);
    search->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));

    QMenu* view = bar->addMenu(QStringLiteral("&Darstellung"));
    view->addAction(QStringLiteral("Symbolleiste anpassen …"), toolbar_,
                    &ToolbarController::runCustomizePalette);
    QAction* full =
        view->addAction(QStringLiteral("Vollbild ein/aus"), this, &DesktopShell::toggleFullScreen);
    full->setShortcut(QKeySequence(Qt::Key_F11));

    QMenu* window = bar->addMenu(QStringLiteral("&Fenster"));
    QAction* mainAction = window->addAction(QStringLiteral("Quandor"), this,
                                            [this] { delegate_.applicationShouldHandleReopen(); });
    mainAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
    mainAction->setShortcutContext(Qt::ApplicationShortcut);
    window->addAction(QStringLiteral("Einstellungen"), this, &DesktopShell::showPrefs);

    QMenu* help = bar->addMenu(QStringLiteral("&Hilfe"));
    help->addAction(QStringLiteral("Willkommen …"), this, &DesktopShell::showWelcome);
    help->addAction(QStringLiteral("Einrichtungsassistent …"), this, &DesktopShell::selectAssi);
    QAction* helpAction =
        help->addAction(QStringLiteral("Hilfe ein/aus"), this, &DesktopShell::toggleHelp);
    helpAction->setShortcut(QKeySequence(Qt::Key_F1));
    help->addAction(QStringLiteral("Dokumentation ein/aus"), this, &DesktopShell::toggleDocs);
    QAction* handbook =
        help->addAction(QStringLiteral("Handbuch"), this, &DesktopShell::showHandbook);
    handbook->setObjectName(QStringLiteral("handbookAction"));
    handbook->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1));
    help->addSeparator();
    QAction* about =
        help->addAction(QStringLiteral("Über Quandor"), this, &DesktopShell::showAbout);
    about->setMenuRole(QAction::AboutRole);

    // The preference window answers the same application-wide keys.
    for (QAction* a : {quit, mainAction}) prefs_->addAction(a);
    prefs_->addAction(save);
    // F1 hides the help window again from inside it.
    help_->addAction(helpAction);
}

void DesktopShell::start() {
    delegate_.awakeFromNib();
    if (ui_.quitRequested()) return;
    main_->reloadAll();
}

void DesktopShell::showMainWindow() {
    main_->reloadAll();
    if (main_->isMinimized()) main_->showNormal();
    main_->show();
    main_->raise();
    main_->activateWindow();
    if (!welcomeDone_) {
        // The first time: the welcome sheet over the window (unless switched
        // off), and from then on the window may come back on reactivation.
        welcomeDone_ = true;
        if (controllers_->firstSteps.welcomeAtStart())
            QTimer::singleShot(0, this, &DesktopShell::showWelcome);
        delegate_.setAllowWindow(true);
    }
}

void DesktopShell::showWelcome() {
    firstSteps_->showWelcome();
}

void DesktopShell::selectAssi() {
    firstSteps_->selectAssi();
}

void DesktopShell::showPrefs() {
    prefs_->showPrefs();
}

void DesktopShell::showAbout() {
    centreOnScreen(about_);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void DesktopShell::toggleHelp() {
    help_->toggle();
}
void DesktopShell::toggleDocs() {
    docs_->toggle();
}

HandbookWindow* DesktopShell::handbook() const {
    return handbook_;
}

void DesktopShell::showHandbook() {
    if (!handbook_) {
        // A window of its own, so that it stays usable beside a sheet over the main window.
        handbook_ = new HandbookWindow;
        handbook_->setWindowIcon(main_->windowIcon());
        handbook_->load(HandbookWindow::resourcePath());
        connect(qApp, &QCoreApplication::aboutToQuit, handbook_, &QObject::deleteLater);
        placeOnScreen(handbook_, handbook_->size(), main_);
    }
    handbook_->show();
    handbook_->raise();
    handbook_->activateWindow();
}

void DesktopShell::toggleFullScreen() {
    main_->setWindowState(main_->windowState() ^ Qt::WindowFullScreen);
}

void DesktopShell::requestQuit() {
    if (terminated_) {
        QCoreApplication::quit();
        return;
    }
    if (!delegate_.applicationShouldTerminate()) return;
    terminated_ = true;
    delegate_.applicationWillTerminate();
    delegate_.settings().sync();
    QCoreApplication::quit();
}

void DesktopShell::centreOnScreen(QWidget* window) {
    if (!window) return;
    if (window != main_) window->adjustSize();
    centreOver(window);
}

// The year overview behind the toolbar's "Übersicht" and the window menu.
void DesktopShell::bindOverview() {
    overview_ = std::make_unique<UebersichtController>(delegate_.books());
    auto* sheet = new UebersichtSheet(*overview_, main_);
    QAbstractButton* button = main_->button(ToolbarAction::Uebersicht);
    button->setEnabled(true);
    connect(button, &QAbstractButton::clicked, sheet, &UebersichtSheet::generateUebersicht);
    auto* openAction = new QAction(QStringLiteral("Jahresübersicht …"), main_);
    openAction->setObjectName(QStringLiteral("uebersichtAction"));
    openAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_U));
    connect(openAction, &QAction::triggered, button, &QAbstractButton::click);
    main_->addAction(openAction);
    for (QAction* a : main_->menuBar()->actions())
        if (a->text() == QStringLiteral("&Fenster")) a->menu()->addAction(openAction);
}

}  // namespace quandor::ui
