#pragma once
// The desktop program's windows around one application delegate: main window,
// toolbar, menus, preference window, welcome sheet, About, help and
// documentation windows, the save timer and quitting.

#include "assets/allowance_controller.h"
#include "assets/inventory_controller.h"
#include "bookkeeping/bookkeeping_controllers.h"
#include "bookkeeping/uebersicht_controller.h"
#include "cashbook/kassenbuch_controller.h"
#include "core/app_delegate.h"
#include "ui/qt_ui_port.h"

#include <memory>

#include <QObject>
#include <QPointer>

class QSystemTrayIcon;
class QTimer;

namespace quandor {
class JournalController;
}

namespace quandor::ui {

class JournalWindow;

class MainWindow;
class ToolbarController;
class PreferencePanel;
class AboutWindow;
class InfoWindow;
class ItemSheet;
class KassenbuchWindow;
class AbschreibungWindow;
class InventarWindow;
class FirstStepsSheets;
class HandbookWindow;

class DesktopShell : public QObject {
    Q_OBJECT
  public:
    DesktopShell(QuandorAppDelegate& delegate, QtUiPort& ui);
    ~DesktopShell() override;

    // The start-up: the delegate's sequence (disclaimer, load, …), then the lists.
    void start();
    // "Quandor beenden": asks the delegate, stores the selections, saves, quits.
    void requestQuit();

    MainWindow& mainWindow() const { return *main_; }
    ToolbarController& toolbar() const { return *toolbar_; }
    PreferencePanel& preferences() const { return *prefs_; }

    void showMainWindow();
    void showPrefs();
    void showAbout();
    void showWelcome();
    void selectAssi();  // the first-steps assistant without the welcome
    FirstStepsSheets& firstSteps() const { return *firstSteps_; }
    void toggleHelp();
    void toggleDocs();
    // "Hilfe → Handbuch": the handbook PDF built with the program, in the PDF view.
    void showHandbook();
    HandbookWindow* handbook() const;  // null until it was first shown
    void toggleFullScreen();

  private:
    void buildMenus();
    void bindHooks();
    void bindItemSheet();
    void bindCashBook();
    void bindAssets();
    void bindOverview();
    void bindReports();
    void centreOnScreen(QWidget* window);

    QuandorAppDelegate& delegate_;
    QtUiPort& ui_;
    MainWindow* main_ = nullptr;
    ToolbarController* toolbar_ = nullptr;
    PreferencePanel* prefs_ = nullptr;
    AboutWindow* about_ = nullptr;
    InfoWindow* help_ = nullptr;
    InfoWindow* docs_ = nullptr;
    QSystemTrayIcon* tray_ = nullptr;
    std::unique_ptr<BookkeepingControllers> controllers_;  // what the windows bind to
    ItemSheet* itemSheet_ = nullptr;
    std::unique_ptr<KassenbuchController> cashbook_;
    KassenbuchWindow* cashbookWindow_ = nullptr;
    std::unique_ptr<AllowanceController> allowance_;
    AbschreibungWindow* allowanceWindow_ = nullptr;
    std::unique_ptr<InventoryController> inventory_;
    std::unique_ptr<UebersichtController> overview_;
    InventarWindow* inventoryWindow_ = nullptr;
    std::unique_ptr<JournalController> journal_;
    JournalWindow* journalWindow_ = nullptr;
    FirstStepsSheets* firstSteps_ = nullptr;
    QPointer<HandbookWindow> handbook_;  // without a parent, see showHandbook
    bool welcomeDone_ = false;
    bool terminated_ = false;
};

}  // namespace quandor::ui
