// The rotating zip backups: slot order, the archive's contents (read back by
// python3's zipfile, an independent reader) and failures that must leave the
// previous slot as it was.

#include "core/backup.h"
#include "core/app_delegate.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "support/fake_ui.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "support/files.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace quandor;
using test::readAll;
using test::writeAll;
using namespace Qt::StringLiterals;
namespace P = quandor::prefs;

namespace {

// A data folder on a path with umlauts and spaces, holding a database, a
// documents folder and the running program's lock file.
struct BackupHome {
    QTemporaryDir dir;
    QString data = dir.filePath(u"Meine Bücher Ä/Quandor Daten"_s);
    QString backups = dir.filePath(u"Sicherungen"_s);
    Settings settings{dir.filePath(u"q.conf"_s)};
    test::FakeUi ui;
    QuandorAppDelegate app{settings, ui, Paths::under(dir.path())};

    BackupHome() {
        writeAll(data + u"/Quandor_Version_1.mdb"_s, QByteArray(5000, 'd'));
        writeAll(data + u"/Documents/Rechnung März.pdf"_s, QByteArray(20000, 'p'));
        writeAll(data + u"/Documents/2024/Beleg 1.txt"_s, "Beleg");
        writeAll(data + u"/Quandor.lock"_s, "4711");
        QDir().mkpath(backups);
        settings.setPath(P::prefsBackupPath, backups);
        app.setDatabaseFileOverride(data + u"/Quandor_Version_1.mdb"_s);
    }
    QString slot(int n) const { return backupSlotPath(backups, n); }
};

// The archive's entry names as python3's zipfile reads them, after its own CRC check.
QStringList zipNames(const QString& path) {
    QProcess p;
    p.start(u"python3"_s,
            {u"-c"_s,
             u"import sys,zipfile\nz=zipfile.ZipFile(sys.argv[1])\nassert z.testzip() is None\n"
             "print('\\n'.join(sorted(z.namelist())))"_s,
             path});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return {u"<kein gültiges zip>"_s};
    return QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

}  // namespace

// Each slot is a zip of the data folder under its own name, without the lock file.
TEST(Backup, RotatesThroughSixSlotsOfTheDataFolderAndStoresTheLastOne) {
    BackupHome home;
    for (int expected : {1, 2, 3, 4, 5, 6, 1, 2}) {
        const auto written = performBackup(home.app);
        ASSERT_TRUE(written) << expected;
        EXPECT_EQ(*written, home.slot(expected));
        EXPECT_EQ(home.settings.getInt(P::backupCount), expected);
    }
    EXPECT_TRUE(home.ui.alerts.empty());  // success is silent
    // Nothing but the six slots is left in the folder.
    EXPECT_EQ(QDir(home.backups).entryList(QDir::Files | QDir::Hidden).size(), 6);
    EXPECT_EQ(zipNames(home.slot(1)),
              (QStringList{u"Quandor Daten/"_s, u"Quandor Daten/Documents/"_s,
                           u"Quandor Daten/Documents/2024/"_s,
                           u"Quandor Daten/Documents/2024/Beleg 1.txt"_s,
                           u"Quandor Daten/Documents/Rechnung März.pdf"_s,
                           u"Quandor Daten/Quandor_Version_1.mdb"_s}));
}

TEST(Backup, BackupFolderInsideTheDataFolderIsLeftOut) {
    BackupHome home;
    const QString inside = home.data + u"/Backup"_s;
    QDir().mkpath(inside);
    home.settings.setPath(P::prefsBackupPath, inside);
    ASSERT_TRUE(performBackup(home.app));
    ASSERT_TRUE(performBackup(home.app));  // the first archive is not packed into the second
    for (const QString& name : zipNames(Paths::join(inside, u"Quandor_Backup_2.zip"_s)))
        EXPECT_FALSE(name.contains(u"Backup"_s)) << name.toStdString();
}

TEST(Backup, MissingFolderIsToldAndNothingChanges) {
    BackupHome home;
    home.settings.setInt(P::backupCount, 3);
    home.settings.setPath(P::prefsBackupPath, home.dir.filePath(u"gibt es nicht"_s));
    EXPECT_FALSE(performBackup(home.app));
    ASSERT_EQ(home.ui.alerts.size(), 1u);
    EXPECT_EQ(home.ui.alerts[0].title, u"Fehler!"_s);
    EXPECT_EQ(home.ui.alerts[0].message, backupFolderMissingMessage());
    EXPECT_EQ(home.settings.getInt(P::backupCount), 3);
}

TEST(Backup, ReadOnlyBackupFolderKeepsTheOldSlot) {
    if (test::rerunUnprivileged()) return;
    BackupHome home;
    writeAll(home.slot(1), "alt");
    QFile::setPermissions(home.backups, QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_FALSE(performBackup(home.app));
    QFile::setPermissions(home.backups, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(readAll(home.slot(1)), "alt");
    ASSERT_EQ(home.ui.alerts.size(), 1u);
    EXPECT_EQ(home.settings.getInt(P::backupCount), 0);
}

TEST(Backup, ReportsProgressAndCanBeCancelledWithoutHarm) {
    BackupHome home;
    std::vector<double> seen;
    ASSERT_TRUE(performBackup(home.app, [&](double f) { return seen.push_back(f), true; }));
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_DOUBLE_EQ(seen.back(), 1.0);

    const QByteArray first = readAll(home.slot(1));
    home.settings.setInt(P::backupCount, 0);  // the next backup would replace slot 1
    EXPECT_FALSE(performBackup(home.app, [](double) { return false; }));
    EXPECT_EQ(readAll(home.slot(1)), first);
    EXPECT_EQ(home.settings.getInt(P::backupCount), 0);
}

TEST(Backup, BackupFolderThatIsTheDataFolderLeavesOutOnlyTheSlots) {
    BackupHome home;
    home.settings.setPath(P::prefsBackupPath, home.data);
    QFile::link(home.dir.filePath(u"q.conf"_s), home.data + u"/verlinkt.conf"_s);
    QDir().mkpath(home.dir.filePath(u"anderswo"_s));
    QFile::link(home.dir.filePath(u"anderswo"_s), home.data + u"/Ordnerlink"_s);
    ASSERT_TRUE(performBackup(home.app));
    ASSERT_TRUE(performBackup(home.app));
    const QStringList names = zipNames(Paths::join(home.data, u"Quandor_Backup_2.zip"_s));
    EXPECT_TRUE(names.contains(u"Quandor Daten/Quandor_Version_1.mdb"_s));
    EXPECT_TRUE(names.contains(u"Quandor Daten/verlinkt.conf"_s));
    for (const QString& name : names) {
        EXPECT_FALSE(name.contains(u"Backup"_s)) << name.toStdString();
        EXPECT_FALSE(name.contains(u"Ordnerlink"_s)) << name.toStdString();
    }
}

TEST(Backup, LeftoversOfAnInterruptedBackupOfTheSlotAreRemoved) {
    BackupHome home;
    const QString left = home.backups + u"/.Quandor_Backup_1.zip.tmp.a1b2c3"_s;
    const QString fresh = home.backups + u"/.Quandor_Backup_1.zip.tmp.d4e5f6"_s;
    writeAll(left, "halb geschrieben");
    writeAll(fresh, "wird gerade geschrieben");
    QFile f(left);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
    f.close();
    ASSERT_TRUE(performBackup(home.app));
    EXPECT_FALSE(QFile::exists(left));
    EXPECT_TRUE(QFile::exists(fresh));
}
