// The desktop program on a first start: the first-steps assistant as a new
// user clicks through it, the help window, the "Daten" page with the folders
// the start stored, and the preference window's help panel.

#include "ui/first_steps_sheets.h"
#include "core/keys.h"
#include "core/settings_keys.h"
#include "shell_desk.h"
#include "ui/handbook_window.h"
#include "ui/panels.h"
#include "ui/preference_panel.h"
#include "ui/quit_signals.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>

using namespace quandor;
using namespace quandor::ui;
namespace P = quandor::prefs;

namespace {

struct FirstStart : test::ShellDesk {
    FirstStepsSheets& sheets() { return shell.firstSteps(); }
    void click(QDialog* sheet, const char* button) {
        ASSERT_NE(sheet, nullptr);
        ASSERT_TRUE(sheet->isVisible()) << sheet->objectName().toStdString();
        auto* b = sheet->findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_NE(b, nullptr) << button;
        b->click();
    }
    InfoWindow* window(const QString& title) {
        for (InfoWindow* w : shell.mainWindow().findChildren<InfoWindow*>())
            if (w->windowTitle() == title) return w;
        return nullptr;
    }
};

}  // namespace

TEST(FirstStepsSheets, FourClicksFromTheWelcomeToTheFirstItemSheet) {
    FirstStart s;
    s.shell.mainWindow().show();
    s.shell.showWelcome();
    EXPECT_EQ(s.sheets().shownSheet(), s.sheets().welcomeSheet());
    s.click(s.sheets().welcomeSheet(), "startSetup");
    EXPECT_FALSE(s.sheets().welcomeSheet()->isVisible());

    auto* company = s.sheets().assistantSheet()->findChild<QLineEdit*>("prefsCompany");
    ASSERT_NE(company, nullptr);
    QTest::keyClicks(company, QStringLiteral("Muster Design"));
    s.click(s.sheets().assistantSheet(), "next");
    EXPECT_EQ(s.settings.getText(P::prefsCompany), QStringLiteral("Muster Design"));

    s.click(s.sheets().accountSheet(), "next");
    EXPECT_FALSE(s.app.accounts().empty());

    s.click(s.sheets().entrySheet(), "firstItem");
    EXPECT_EQ(s.sheets().shownSheet(), nullptr);
    EXPECT_TRUE(s.settings.getBool(P::isSetupDone));
    ASSERT_NE(s.app.selection().selectedStatement(), nullptr);
    // The item sheet is up on the new statement; the guide has reached its end.
    EXPECT_EQ(s.settings.getInt(P::jaImage), 5);
    EXPECT_TRUE(s.ui.alerts.empty());
    EXPECT_TRUE(s.shell.mainWindow().guideName().isEmpty());
}

// The session ending while the first item sheet is open (it cannot be
// cancelled): the program ends and keeps what the assistant made, instead of
// staying on the sheet's complaint about the empty item.
TEST(FirstStepsSheets, TheSessionEndingOverTheFirstItemSheetStillSaves) {
    FirstStart s;
    s.app.openDatabase();
    ASSERT_TRUE(s.app.isSaveAllowed());
    s.shell.mainWindow().show();
    s.shell.selectAssi();
    s.click(s.sheets().assistantSheet(), "next");
    s.click(s.sheets().accountSheet(), "next");
    s.click(s.sheets().entrySheet(), "firstItem");
    auto* itemSheet = s.shell.mainWindow().findChild<QDialog*>("itemSheet");
    ASSERT_TRUE(itemSheet && itemSheet->isVisible());

    quitOnSignals(*qApp);
    bool aboutToQuit = false;
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [&] { aboutToQuit = true; });
    QTimer::singleShot(0, [] { ::raise(SIGTERM); });
    QTimer::singleShot(3000, [] { QCoreApplication::exit(1); });  // still running: the fault
    EXPECT_EQ(qApp->exec(), 0);
    EXPECT_TRUE(aboutToQuit);
    EXPECT_TRUE(s.ui.alerts.empty());
    EXPECT_TRUE(QFileInfo::exists(s.app.openDatabasePath()));
}

TEST(FirstStepsSheets, ClosingASheetCancelsAndTheWelcomeRemembersItsCheckBox) {
    FirstStart s;
    s.shell.mainWindow().show();
    s.shell.selectAssi();
    ASSERT_TRUE(s.sheets().assistantSheet()->isVisible());
    s.sheets().assistantSheet()->reject();  // Esc or the window's close button
    EXPECT_EQ(s.sheets().shownSheet(), nullptr);
    EXPECT_FALSE(s.sheets().assistantSheet()->isVisible());
    EXPECT_FALSE(s.settings.getBool(P::isSetupDone));

    s.shell.showWelcome();
    auto* dontShow =
        s.sheets().welcomeSheet()->findChild<QCheckBox*>("prefsAlwaysShowWelcomeSheet");
    ASSERT_NE(dontShow, nullptr);
    dontShow->click();
    EXPECT_TRUE(s.settings.getBool(P::prefsAlwaysShowWelcomeSheet));
    s.click(s.sheets().welcomeSheet(), "letsGo");
    EXPECT_EQ(s.sheets().shownSheet(), nullptr);
}

TEST(PreferenceHelp, OpensWithTheWindowWhileTheSettingSaysSoAndFollowsThePage) {
    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("Quandor.conf")));
    PreferencePanel panel(settings);
    panel.showPrefs();
    EXPECT_FALSE(panel.helpShown());  // setting off
    panel.close();

    settings.setBool(P::prefsAlwaysShowPrefsHelpDawer, true);
    panel.showPrefs();
    EXPECT_TRUE(panel.helpShown());
    EXPECT_TRUE(panel.helpAction()->isChecked());
    EXPECT_TRUE(panel.helpPanel()->text().contains(QStringLiteral("Steuernummer")));
    panel.selectPage(QStringLiteral("DatevItemIdentifier"));
    EXPECT_TRUE(panel.helpPanel()->text().contains(QStringLiteral("DATEV")));

    // Hidden by hand, it stays hidden from page to page; opening the window brings it back.
    panel.helpAction()->trigger();
    EXPECT_FALSE(panel.helpShown());
    panel.selectPage(QStringLiteral("GeneralItemIdentifier"));
    EXPECT_FALSE(panel.helpShown());
    panel.selectTab3();
    EXPECT_TRUE(panel.helpShown());
    EXPECT_TRUE(settings.getBool(P::prefsAlwaysShowPrefsHelpDawer));  // the panel never changes it
}

TEST(Handbook, HilfeHandbuchShowsTheBuiltHandbookWithPagesAndSearch) {
    FirstStart s;
    s.shell.showHandbook();
    HandbookWindow* window = s.shell.handbook();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    QPdfDocument* doc = window->document();
    ASSERT_EQ(doc->status(), QPdfDocument::Status::Ready);
    EXPECT_GE(doc->pageCount(), 10);
    EXPECT_EQ(window->pageList()->count(), doc->pageCount());
    EXPECT_TRUE(doc->getAllText(0).text().contains(QStringLiteral("Quandor Handbuch")));

    // Every page with the word in turn, then from the start again.
    const int deposit = window->findNext(QStringLiteral("bareinzahlung"));
    ASSERT_GT(deposit, 0);
    EXPECT_EQ(window->currentPage(), deposit);
    EXPECT_EQ(window->pageList()->currentRow(), deposit);
    EXPECT_TRUE(doc->getAllText(deposit).text().contains(QStringLiteral("Bareinzahlung")));
    window->showPage(0);
    const int first = window->findNext(QStringLiteral("Kassenbuch"));
    EXPECT_EQ(first, 0);  // the contents
    int page = first;
    for (int i = 0; i < doc->pageCount(); ++i) {
        const int next = window->findNext(QStringLiteral("Kassenbuch"));
        if (next <= page) {
            EXPECT_EQ(next, first);
            break;
        }
        page = next;
    }
    EXPECT_EQ(window->findNext(QStringLiteral("Newsletter")), -1);
    EXPECT_TRUE(window->statusLine()->text().contains(QStringLiteral("nicht vor")));
    window->close();
}

TEST(DesktopShell, HelpOpensAtAReadableSizeOnTheScreen) {
    FirstStart f;
    InfoWindow* help = f.window(QStringLiteral("Hilfe"));
    ASSERT_TRUE(help);
    f.shell.toggleHelp();
    ASSERT_TRUE(help->isVisible());
    const QRect free = help->screen()->availableGeometry();
    EXPECT_GE(help->width(), std::min(500, free.width()));
    EXPECT_GE(help->height(), std::min(450, free.height() - 60));
    EXPECT_TRUE(free.contains(help->frameGeometry()));
    f.shell.toggleHelp();
    EXPECT_FALSE(help->isVisible());
}

TEST(DesktopShell, DataPageShowsTheFoldersTheFirstStartStored) {
    FirstStart f;
    // The pages exist before the start-up stores the folders.
    f.app.firstStart();
    const QString documents = f.settings.getPath(P::prefsDocPath);
    const QString backups = f.settings.getPath(P::prefsBackupPath);
    ASSERT_FALSE(documents.isEmpty());
    ASSERT_FALSE(backups.isEmpty());

    PreferencePanel& prefs = f.shell.preferences();
    prefs.showPrefs();
    ASSERT_TRUE(prefs.selectPage(QStringLiteral("DataItemIdentifier")));
    QWidget* page = prefs.page(QStringLiteral("DataItemIdentifier"));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->findChild<QLineEdit*>(P::prefsDocPath.toString())->text(), documents);
    EXPECT_EQ(page->findChild<QLineEdit*>(P::prefsBackupPath.toString())->text(), backups);
    prefs.close();
}
