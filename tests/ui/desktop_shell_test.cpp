// The desktop program's windows as the shell builds them: the help window and
// the "Daten" page on the very first start.

#include "ui/desktop_shell.h"

#include "core/app_delegate.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "support/fake_ui.h"
#include "ui/main_window.h"
#include "ui/panels.h"
#include "ui/preference_panel.h"
#include "ui/qt_ui_port.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace quandor;
using namespace quandor::ui;
namespace P = quandor::prefs;

namespace {

// A first start: fresh settings and an empty data folder of its own.
struct FirstStart {
    QTemporaryDir dir;
    Settings settings{dir.filePath(QStringLiteral("Quandor.conf"))};
    test::FakeUi ui;
    QtUiPort shellUi;
    QuandorAppDelegate app{settings, ui, Paths::under(dir.path())};
    DesktopShell shell{app, shellUi};

    InfoWindow* window(const QString& title) {
        for (InfoWindow* w : shell.mainWindow().findChildren<InfoWindow*>())
            if (w->windowTitle() == title) return w;
        return nullptr;
    }
};

}  // namespace

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
