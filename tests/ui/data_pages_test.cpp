// The pages Daten and Benutzer, the backup on its worker thread and the
// user-selection window, driven through their widgets.

#include "ui/data_pages.h"
#include "core/app_delegate.h"
#include "core/backup.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "core/users.h"
#include "support/fake_ui.h"
#include "ui/user_selection.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace quandor;
using namespace quandor::ui;
namespace P = quandor::prefs;

namespace {

struct PagesHome {
    QTemporaryDir dir;
    QString data = dir.filePath(QStringLiteral("Daten"));
    QString backups = dir.filePath(QStringLiteral("Sicherung"));
    Settings settings{dir.filePath(QStringLiteral("q.conf"))};
    test::FakeUi ui;
    QuandorAppDelegate app{settings, ui, Paths::under(dir.path())};

    PagesHome() {
        QDir().mkpath(data);
        QDir().mkpath(backups);
        QFile f(data + QStringLiteral("/Quandor_Version_1.mdb"));
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray(3 << 20, 'x'));
        f.close();
        settings.setPath(P::prefsBackupPath, backups);
        settings.setBool(P::useCustomLocation, true);
        settings.setPath(P::customLocationPath, data);
        app.setDatabaseFileOverride(data + QStringLiteral("/Quandor_Version_1.mdb"));
    }
};

}  // namespace

TEST(DataPages, BackupRunsOnItsThreadAndStoresTheSlotWhenDone) {
    PagesHome home;
    BackupRunner runner(home.app, nullptr);
    QSignalSpy done(&runner, &BackupRunner::finished);
    runner.start();
    EXPECT_TRUE(runner.running());  // start() returned while the archive is written
    runner.start();                 // a second request while one runs is dropped
    ASSERT_TRUE(done.wait(20000));
    EXPECT_TRUE(done.at(0).at(0).toBool());
    EXPECT_EQ(done.count(), 1);
    EXPECT_EQ(home.settings.getInt(P::backupCount), 1);
    EXPECT_TRUE(QFile::exists(backupSlotPath(home.backups, 1)));
    EXPECT_TRUE(home.ui.alerts.empty());
}

TEST(DataPages, DataPageWritesItsSettingsAndChoosesFolders) {
    PagesHome home;
    BackupRunner runner(home.app, nullptr);
    DataPage page(home.app, runner);
    auto* automatic = page.findChild<QCheckBox*>(QStringLiteral("prefsMakeBackup"));
    ASSERT_TRUE(automatic);
    automatic->click();
    EXPECT_TRUE(home.settings.getBool(P::prefsMakeBackup));

    const QString chosen = home.dir.filePath(QStringLiteral("Neue Sicherung"));
    home.ui.dialogs = {chosen};
    page.findChild<QPushButton*>(QStringLiteral("setBackupPath"))->click();
    EXPECT_EQ(home.settings.getPath(P::prefsBackupPath), chosen);
    EXPECT_EQ(page.findChild<QLineEdit*>(QStringLiteral("prefsBackupPath"))->text(), chosen);

    // The own data location warns before its chooser.
    home.ui.dialogs = {std::nullopt};
    page.findChild<QPushButton*>(QStringLiteral("setLibraryPath"))->click();
    ASSERT_EQ(home.ui.alerts.size(), 1u);
    EXPECT_EQ(home.ui.alerts[0].title, QStringLiteral("Warnung!"));
    EXPECT_EQ(home.settings.getPath(P::customLocationPath), home.data);
}

TEST(DataPages, UsersPageAddsAndTheSelectionWindowOpensTheChosenRow) {
    PagesHome home;
    UsersController users(home.app);
    users.loadDataFromDisk();
    UsersPage page(home.app, users);
    page.findChild<QPushButton*>(QStringLiteral("addRoot"))->click();
    auto* table = page.findChild<QTableWidget*>(QStringLiteral("usersTable"));
    ASSERT_EQ(table->rowCount(), 1);
    table->item(0, 0)->setText(QStringLiteral("Muster GmbH"));
    EXPECT_EQ(readUsersFile(users.dataPath(), nullptr)->at(0).text(userkeys::firma),
              QStringLiteral("Muster GmbH"));

    UserSelectionWindow window(users);
    QSignalSpy chosen(&window, &UserSelectionWindow::chosen);
    QTest::keyClick(&window, Qt::Key_Return);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toInt(), 0);
    QSignalSpy quit(&window, &UserSelectionWindow::quitRequested);
    QTest::keyClick(&window, Qt::Key_Escape);  // no way out but a choice or "Quandor beenden"
    EXPECT_EQ(quit.count(), 0);
}

TEST(DataPages, DatevPageKeepsTheExportNumbers) {
    PagesHome h;
    h.settings.setText(P::prefsDatevBeraterNummer, QStringLiteral("29098"));
    ui::DatevPage page(h.app, {});
    auto* berater = page.findChild<QLineEdit*>(QStringLiteral("datevBerater"));
    auto* bank = page.findChild<QLineEdit*>(QStringLiteral("datevKontoBank"));
    ASSERT_TRUE(berater && bank);
    EXPECT_EQ(berater->text(), QStringLiteral("29098"));
    EXPECT_EQ(bank->placeholderText(), QStringLiteral("1800"));
    QTest::keyClicks(bank, QStringLiteral("18x10"));  // letters are not taken
    EXPECT_EQ(h.settings.getText(P::prefsDatevKontoBank), QStringLiteral("1810"));
}
