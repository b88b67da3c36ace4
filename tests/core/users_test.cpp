// Several users: the users list file, switching the feature on, adding and
// deleting users, the start with an empty list and the quit check.

#include "core/users.h"
#include "core/app_delegate.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "support/fake_ui.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/files.h"

#include <gtest/gtest.h>

using namespace quandor;
using test::readAll;
using test::writeAll;
using namespace Qt::StringLiterals;
namespace P = quandor::prefs;
namespace U = quandor::userkeys;

namespace {

// A data folder with a single-user database, a running delegate that loaded
// it, and the users controller of the preference window.
struct UsersHome {
    QTemporaryDir dir;
    QString data = dir.filePath(u"Daten Ä"_s);
    Settings settings{dir.filePath(u"q.conf"_s)};
    test::FakeUi ui;
    int64_t clock = 1700000000;
    QuandorAppDelegate app{settings, ui, Paths::under(dir.path()),
                           [this] { return QDateTime::fromSecsSinceEpoch(clock, Qt::UTC); }};
    UsersController& users = app.users();

    UsersHome() {
        QDir().mkpath(data);
        settings.setBool(P::firstStartEver, true);  // past its first start
        settings.setBool(P::useCustomLocation, true);
        settings.setPath(P::customLocationPath, data);
        settings.setText(P::prefsCompany, u"Muster & Söhne"_s);
        settings.setText(P::prefsTaxID, u"12/345/67890"_s);
        settings.setInt(P::prefsUseTaxesGlobal, 2);
        app.setLockWaitMs(0);
        app.setYears({});  // an empty database, written by the first save
        EXPECT_EQ(app.openDatabase(), QuandorAppDelegate::LoadOutcome::Loaded);
        app.save();
        users.loadDataFromDisk();
    }
    QString single() const { return data + u"/Quandor_Version_1.mdb"_s; }
    std::vector<Dict> stored() const {
        return *readUsersFile(data + u"/Accounts.plist"_s, nullptr);
    }
};

}  // namespace

TEST(UsersPage, SwitchingOnMakesTheFirstUserFromTheSettingsAndRestarts) {
    UsersHome home;
    home.settings.setBool(P::prefsUseMultipleAccounts, true);
    home.users.multipleAccountsAction();
    EXPECT_EQ(home.ui.alerts.at(0).title, u"Wichtig!"_s);
    EXPECT_EQ(home.users.data().size(), 0u);  // 0.1 seconds later
    home.ui.runScheduled();

    const std::vector<Dict> stored = home.stored();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].text(U::pfad), u"1700000000"_s);
    EXPECT_EQ(stored[0].text(U::firma), u"Muster & Söhne"_s);
    EXPECT_EQ(stored[0].text(U::steuernummer), u"12/345/67890"_s);
    EXPECT_EQ(stored[0].integer(U::art), 2);
    EXPECT_TRUE(stored[0].contains(U::misc5));
    EXPECT_EQ(readAll(userDatabasePath(home.data, u"1700000000"_s)), readAll(home.single()));
    EXPECT_TRUE(readAll(home.data + u"/Accounts.plist"_s).startsWith("<?xml"));
    EXPECT_EQ(home.ui.launches.size(), 1u);

    // Again with one user: no second user, but a restart again.
    home.clock += 5;
    home.users.multipleAccountsAction();
    home.ui.runScheduled();
    EXPECT_EQ(home.stored().size(), 1u);
    EXPECT_EQ(home.ui.launches.size(), 2u);
}

TEST(UsersPage, NewUserStartsWithACopyOfTheOpenDataAndNeverReplacesAFile) {
    UsersHome home;
    const auto first = home.users.addRoot();
    ASSERT_TRUE(first);
    const QString file = userDatabasePath(home.data, first->text(U::pfad));
    EXPECT_EQ(readAll(file), readAll(home.single()));

    // A second user in the same second gets the same ID and shares the file.
    writeAll(file, "schon da");
    const auto second = home.users.addRoot();
    EXPECT_EQ(second->text(U::pfad), first->text(U::pfad));
    EXPECT_EQ(readAll(file), "schon da");
    EXPECT_EQ(home.stored().size(), 2u);
    EXPECT_EQ(home.users.selectedRow(), 1);
}

TEST(UsersPage, DeletingAsksAndKeepsTheDatabaseFile) {
    UsersHome home;
    home.users.addRoot();
    home.clock += 1;
    home.users.addRoot();
    const QString id = home.users.data()[0].text(U::pfad);
    home.ui.answers = {1};  // "Abbrechen"
    EXPECT_FALSE(home.users.deleteUser(id));
    EXPECT_EQ(home.stored().size(), 2u);
    EXPECT_TRUE(home.users.deleteUser(id));
    EXPECT_EQ(home.ui.alerts.back().buttons, (QStringList{u"Löschen"_s, u"Abbrechen"_s}));
    ASSERT_EQ(home.stored().size(), 1u);
    EXPECT_NE(home.stored()[0].text(U::pfad), id);
    EXPECT_TRUE(QFileInfo::exists(userDatabasePath(home.data, id)));
}

TEST(UsersPage, EmptyListAtStartMakesTheFirstUser) {
    UsersHome home;
    home.settings.setBool(P::prefsUseMultipleAccounts, true);
    home.users.ensureFirstUser();
    ASSERT_EQ(home.users.data().size(), 1u);
    EXPECT_EQ(home.users.data()[0].text(U::firma), u"Muster & Söhne"_s);
    EXPECT_TRUE(QFileInfo::exists(userDatabasePath(home.data, u"1700000000"_s)));
    home.users.ensureFirstUser();  // a list with a user stays as it is
    EXPECT_EQ(home.stored().size(), 1u);
}

TEST(UsersPage, DamagedListIsToldAndKeptBesideTheNewOne) {
    UsersHome home;
    const QString file = home.data + u"/Accounts.plist"_s;
    for (const QByteArray& bad :
         {QByteArray("<?xml version=\"1.0\"?><plist><array><dict><key>pfad"),
          QByteArray("<plist version=\"1.0\"><dict/></plist>"),
          QByteArray("<plist version=\"1.0\"><array><string>x</string></array></plist>")}) {
        writeAll(file, bad);
        QString error;
        EXPECT_FALSE(readUsersFile(file, &error)) << bad.constData();
        EXPECT_FALSE(error.isEmpty());
    }
    const QByteArray damaged = readAll(file);
    home.users.loadDataFromDisk();
    EXPECT_EQ(home.ui.alerts.back().title, u"Fehler!"_s);
    EXPECT_TRUE(home.users.data().empty());
    EXPECT_EQ(readAll(file), damaged);  // loading never writes
    home.users.addRoot();
    EXPECT_EQ(readAll(file + u".beschädigt"_s), damaged);
    EXPECT_EQ(home.stored().size(), 1u);
}
