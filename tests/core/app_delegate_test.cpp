// The start-up, save and quit sequence of the application delegate, run
// without a window against a scripted UI port and a temporary home folder.

#include "core/app_delegate.h"
#include "core/archive/archive.h"
#include "core/atomic_file.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "core/users.h"
#include "support/fake_ui.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "support/files.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <unistd.h>
#include <cstdio>

using namespace quandor;
using test::readAll;
using test::writeAll;
using namespace Qt::StringLiterals;
namespace P = quandor::prefs;

namespace {

// A temporary home folder, its settings file and a delegate on them.
struct Home {
    QTemporaryDir dir;
    Paths paths = Paths::under(dir.path());
    std::unique_ptr<Settings> settings;
    test::FakeUi ui;
    std::unique_ptr<QuandorAppDelegate> app;
    int userChoices = 0;
    int backups = 0;
    int writes = 0;

    explicit Home(bool acceptedDisclaimer = true) {
        settings = std::make_unique<Settings>(dir.filePath(u".config/Quandor/Quandor.conf"_s));
        if (acceptedDisclaimer) settings->setBool(P::veryFirstAlertDone, true);
        make();
    }
    void make() {
        app = std::make_unique<QuandorAppDelegate>(*settings, ui, paths, [] {
            return QDateTime::fromString(u"2024-05-01T12:00:00Z"_s, Qt::ISODate);
        });
        app->setLockWaitMs(0);
        auto& h = app->hooks();
        h.showUserChoice = [this] { ++userChoices; };
        h.performBackup = [this] { ++backups; };
    }
    // A new program start on the same home folder and settings.
    void restartProgram() {
        app->applicationWillTerminate();
        app.reset();
        ui = test::FakeUi{};
        make();
    }
    QString dbPath() const { return paths.dataFolder + u"Quandor_Version_1.mdb"_s; }
    // Counts the database writes in `writes`; the files are still written.
    void countWrites() {
        app->hooks().writeFile = [this](const QString& p, const QByteArray& b, QString* r) {
            ++writes;
            return writeFileAtomically(p, b, r);
        };
    }
    // The users list of the "Benutzer" page, as stored and read, with `row` selected.
    void useUsers(const std::vector<Dict>& users, int row) {
        const QString folder = usersDataFolder(*settings, paths);
        ASSERT_TRUE(writeUsersFile(usersFilePath(folder), users, nullptr));
        app->users().loadDataFromDisk();
        app->users().setSelectedRow(row);
    }
};

}  // namespace

// ---- start-up order ----------------------------------------------------------------

TEST(StartUp, DeclinedDisclaimerQuitsBeforeAnythingIsRead) {
    Home home(false);
    writeAll(home.dbPath(), "kein Archiv");  // would raise an alert if it were read
    home.ui.answers = {1};
    home.app->awakeFromNib();
    EXPECT_EQ(home.ui.titles(), QStringList({u"Leider notwendiger Hinweis"_s}));
    EXPECT_EQ(home.ui.quits, 1);
    EXPECT_EQ(home.ui.timerCount(), 0u);
    EXPECT_FALSE(home.settings->getBool(P::veryFirstAlertDone));
    EXPECT_FALSE(home.settings->getBool(P::fiveStartEver));
    EXPECT_FALSE(home.app->isSaveAllowed());
    EXPECT_FALSE(QFileInfo::exists(home.paths.dataFolder + u"Quandor.lock"_s));
    home.app->applicationWillTerminate();
    EXPECT_EQ(readAll(home.dbPath()), QByteArray("kein Archiv"));

    // The next start asks again; the first button goes on.
    home.restartProgram();
    home.app->awakeFromNib();
    EXPECT_EQ(home.ui.alerts.at(0).title, u"Leider notwendiger Hinweis"_s);
    EXPECT_EQ(home.ui.quits, 0);
    EXPECT_TRUE(home.settings->getBool(P::veryFirstAlertDone));
}

TEST(StartUp, FirstStartUpgradesMakesFoldersAndDefaultsOnceThenLoads) {
    Home home;
    home.app->awakeFromNib();
    EXPECT_TRUE(home.ui.alerts.empty());
    EXPECT_TRUE(home.settings->getBool(P::update_2_0_3_to_2_0_4));
    EXPECT_TRUE(home.settings->getBool(P::update_to_3_0));
    EXPECT_TRUE(home.settings->getBool(P::update_1_to_2));
    EXPECT_TRUE(home.settings->getBool(P::prefsPrintUnshortened));
    EXPECT_EQ(home.settings->getInt(P::prefsTabSortOrder), 0);
    EXPECT_EQ(home.ui.timerCount(), 1u);  // the 30-second save
    EXPECT_TRUE(home.app->isSaveAllowed());
    EXPECT_EQ(home.settings->getPath(P::defaultDataPath), home.dbPath());
    EXPECT_TRUE(home.app->years().empty());
    EXPECT_TRUE(QFileInfo(home.paths.documentsFolder).isDir());
    EXPECT_TRUE(QFileInfo(home.paths.backupFolder).isDir());
    EXPECT_EQ(home.settings->getPath(P::prefsDocPath), home.paths.documentsFolder);
    EXPECT_EQ(home.settings->getPath(P::prefsBackupPath), home.paths.backupFolder);
    EXPECT_TRUE(home.paths.documentsFolder.startsWith(home.dir.path()));
    for (QStringView key :
         {P::prefsAlwaysShowItemHelpDawer, P::prefsAlwaysShowVoranmeldungHelpDawer,
          P::prefsAlwaysShowJournalHelpDawer, P::prefsAlwaysShowTabHelpDawer,
          P::prefsAlwaysShowPrefsHelpDawer, P::prefsAlwaysShowYearHelpDawer,
          P::prefsExportPrintWithList, P::fiveStartEver})
        EXPECT_TRUE(home.settings->getBool(key)) << key.toString().toStdString();
    EXPECT_EQ(home.settings->getInt(P::prefsSelectedExportTab), 2);
    EXPECT_EQ(home.settings->getInt(P::prefsSelectedExportJournal), 2);

    // Changed by the person afterwards: a later start keeps it.
    home.settings->setBool(P::prefsPrintUnshortened, false);
    home.settings->setInt(P::prefsTabSortOrder, 1);
    home.settings->setBool(P::prefsAlwaysShowItemHelpDawer, false);
    home.restartProgram();
    home.app->awakeFromNib();
    EXPECT_FALSE(home.settings->getBool(P::prefsPrintUnshortened));
    EXPECT_EQ(home.settings->getInt(P::prefsTabSortOrder), 1);
    EXPECT_FALSE(home.settings->getBool(P::prefsAlwaysShowItemHelpDawer));
}

// ---- first-generation preferences -----------------------------------------------------

namespace {

void writePlist(const QString& path, plist_t dict, bool binary) {
    char* out = nullptr;
    uint32_t length = 0;
    if (binary)
        plist_to_bin(dict, &out, &length);
    else
        plist_to_xml(dict, &out, &length);
    writeAll(path, QByteArray(out, int(length)));
    free(out);
    plist_free(dict);
}

}  // namespace

TEST(StartUp, Version1PreferencesRaiseFlagsButNeverLowerThem) {
    Home home;
    home.settings->setBool(P::firstStepsDone, true);
    home.settings->setText(P::prefsTaxID, u"alt"_s);

    plist_t first = plist_new_dict();
    plist_dict_set_item(first, "firstStepsDone", plist_new_bool(0));
    plist_dict_set_item(first, "isSetupDone", plist_new_bool(1));
    plist_dict_set_item(first, "prefsCurrency", plist_new_uint(3));
    plist_dict_set_item(first, "prefsCompany", plist_new_string("Erste GmbH"));
    plist_dict_set_item(first, "prefsELSTERID", plist_new_string("E-1"));
    writePlist(home.paths.preferencesFolder + u"de.quandor.Quandor.plist"_s, first, true);
    plist_t later = plist_new_dict();
    plist_dict_set_item(later, "prefsCompany", plist_new_string("Müller Büro"));
    plist_dict_set_item(later, "prefsELSTERID", plist_new_string("E-2"));
    plist_dict_set_item(later, "firstYearSet", plist_new_bool(1));
    writePlist(home.paths.preferencesFolder + u"de.quandor.QuandorClassic.plist"_s, later, false);

    home.app->awakeFromNib();
    EXPECT_EQ(home.ui.count(u"Hinweis zur Aktualisierung"_s), 1);
    EXPECT_TRUE(home.settings->getBool(P::firstStepsDone));
    EXPECT_TRUE(home.settings->getBool(P::isSetupDone));
    EXPECT_TRUE(home.settings->getBool(P::firstYearSet));
    EXPECT_FALSE(home.settings->getBool(P::firstItemSet));
    EXPECT_EQ(home.settings->getText(P::prefsCompany), u"Müller Büro"_s);  // the later file wins
    EXPECT_EQ(home.settings->getText(P::prefsELSTERID), u"E-2"_s);
    EXPECT_FALSE(home.settings->contains(P::prefsTaxID));     // missing there: removed
    EXPECT_FALSE(home.settings->contains(P::prefsCurrency));  // missing in the later file
    EXPECT_TRUE(home.settings->getBool(P::update_1_to_2));

    home.restartProgram();
    home.app->awakeFromNib();
    EXPECT_EQ(home.ui.count(u"Hinweis zur Aktualisierung"_s), 0);
}

TEST(StartUp, DamagedVersion1PreferenceFileIsSkipped) {
    Home home;
    writeAll(home.paths.preferencesFolder + u"de.quandor.Quandor.plist"_s,
             "bplist00\x01\x02kaputt");
    home.settings->setText(P::prefsCompany, u"Bleibt"_s);
    home.app->awakeFromNib();
    EXPECT_EQ(home.ui.count(u"Hinweis zur Aktualisierung"_s), 0);
    EXPECT_EQ(home.settings->getText(P::prefsCompany), u"Bleibt"_s);
    EXPECT_TRUE(home.settings->getBool(P::update_1_to_2));
}

TEST(StartUp, DamagedSettingsAreReportedFirst) {
    QTemporaryDir dir;
    const QString conf = dir.filePath(u"Quandor.conf"_s);
    writeAll(conf, QByteArray("x=\0\xff", 4));
    Settings settings(conf);
    test::FakeUi ui;
    ui.answers = {0, 1};  // OK, then decline the disclaimer
    QuandorAppDelegate app(settings, ui, Paths::under(dir.path()));
    app.awakeFromNib();
    ASSERT_GE(ui.alerts.size(), 2u);
    EXPECT_EQ(ui.alerts[0].title, u"Achtung!"_s);
    EXPECT_TRUE(ui.alerts[0].message.contains(u"beschaedigt"_s));
    EXPECT_EQ(ui.alerts[1].title, u"Leider notwendiger Hinweis"_s);
}

// ---- backup reminder and save counting ---------------------------------------------------

class BackupReminder : public ::testing::TestWithParam<int> {};

TEST_P(BackupReminder, ShowsOnlyAtFourAndTwelve) {
    Home home;
    home.settings->setInt(P::backupAlertInt, GetParam());
    home.app->awakeFromNib();
    EXPECT_EQ(home.ui.count(u"Nette kleine Erinnerung an Backups!"_s), 0);  // 0.9 s later
    home.ui.runScheduled();
    const bool expected = GetParam() == 4 || GetParam() == 12;
    EXPECT_EQ(home.ui.count(u"Nette kleine Erinnerung an Backups!"_s), expected ? 1 : 0);
    const auto& d = home.ui.scheduledDelays;
    EXPECT_EQ(std::count(d.begin(), d.end(), 900), expected ? 1 : 0);
    if (expected) {
        const auto* a = home.ui.find(u"Nette kleine Erinnerung an Backups!"_s);
        EXPECT_EQ(a->style, AlertStyle::Critical);
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, BackupReminder, ::testing::Values(0, 3, 4, 5, 11, 12, 13, 40));

TEST(Saving, EverySaveCountsAlsoDisabledAndSkippedOnes) {
    Home home;
    // Before any load saving is disabled, yet the save is counted.
    EXPECT_EQ(home.app->saveDataToDisk(), QuandorAppDelegate::SaveOutcome::Disabled);
    home.app->autoSave();
    EXPECT_EQ(home.settings->getInt(P::backupAlertInt), 2);
    EXPECT_FALSE(QFileInfo::exists(home.dbPath()));
    // Three saves before quitting: the count is 3 at the next start, no reminder.
    home.settings->setInt(P::backupAlertInt, 0);
    home.app->awakeFromNib();
    home.app->autoSave();
    home.app->save();
    home.restartProgram();  // the quit saves once more: 3
    EXPECT_EQ(home.settings->getInt(P::backupAlertInt), 3);
    home.app->awakeFromNib();
    home.ui.runScheduled();
    EXPECT_EQ(home.ui.count(u"Nette kleine Erinnerung an Backups!"_s), 0);
}

TEST(Saving, BackupRunsThreeSecondsAfterLoadWhenWanted) {
    Home home;
    home.settings->setBool(P::prefsMakeBackup, true);
    home.app->awakeFromNib();
    EXPECT_EQ(home.backups, 0);
    home.ui.runScheduled();
    EXPECT_EQ(home.backups, 1);
    const auto& d = home.ui.scheduledDelays;
    EXPECT_NE(std::find(d.begin(), d.end(), 3000), d.end());
}

// ---- where the database lies -----------------------------------------------------------

TEST(DataFolder, MissingCustomFolderWarnsAndNothingIsWritten) {
    Home home;
    const QString custom = home.dir.filePath(u"usb-stick/Quandor"_s);
    home.settings->setBool(P::useCustomLocation, true);
    home.settings->setPath(P::customLocationPath, custom);
    home.app->awakeFromNib();
    const auto* w = home.ui.find(u"Warnung!"_s);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->style, AlertStyle::Critical);
    EXPECT_FALSE(home.app->isSaveAllowed());
    EXPECT_EQ(home.settings->getPath(P::defaultDataFolder), custom);
    EXPECT_EQ(home.app->saveDataToDisk(true), QuandorAppDelegate::SaveOutcome::Disabled);
    home.app->applicationWillTerminate();
    EXPECT_FALSE(QFileInfo::exists(custom));
}

TEST(DataFolder, CustomFolderThatVanishesIsToldAndTriedAgain) {
    Home home;
    const QString custom = home.dir.filePath(u"nas/"_s);
    QDir().mkpath(custom);
    home.settings->setBool(P::useCustomLocation, true);
    home.settings->setPath(P::customLocationPath, custom);
    home.app->awakeFromNib();
    home.app->save();
    EXPECT_TRUE(QFileInfo::exists(custom + u"Quandor_Version_1.mdb"_s));
    // The share is unmounted: nothing is written anywhere else, and the data stay.
    QDir(custom).removeRecursively();
    home.app->database().years.push_back(Record::create(RecordClass::Year, Date{}));
    home.app->noteChanged();
    EXPECT_EQ(home.app->saveDataToDisk(true), QuandorAppDelegate::SaveOutcome::Failed);
    EXPECT_EQ(home.app->saveDataToDisk(true), QuandorAppDelegate::SaveOutcome::Failed);
    EXPECT_EQ(home.ui.count(u"Fehler!"_s), 1);  // told once
    EXPECT_FALSE(QFileInfo::exists(custom));
    // Mounted again: the next save writes the year.
    QDir().mkpath(custom);
    EXPECT_EQ(home.app->saveDataToDisk(false), QuandorAppDelegate::SaveOutcome::Written);
    QString problem;
    auto db = Database::fromFile(archive::readFile(custom + u"Quandor_Version_1.mdb"_s), &problem);
    ASSERT_TRUE(db) << problem.toStdString();
    EXPECT_EQ(db->years.size(), 1u);
}

// A missing file loads as empty lists.
TEST(DataFolder, ExplicitDatabaseFileBypassesResolution) {
    Home home;
    const QString file = home.dir.filePath(u"elsewhere/books.mdb"_s);
    QDir().mkpath(QFileInfo(file).absolutePath());
    home.app->setDatabaseFileOverride(file);
    home.app->database().years.push_back(Record::create(RecordClass::Year, Date{}));
    EXPECT_EQ(home.app->openDatabase(), QuandorAppDelegate::LoadOutcome::Loaded);
    for (RootList l : Database::order()) EXPECT_TRUE(home.app->database().list(l).empty());
    EXPECT_TRUE(home.app->isSaveAllowed());
    EXPECT_EQ(home.app->pathForDataFile(), file);
    EXPECT_FALSE(home.settings->contains(P::defaultDataPath));
    EXPECT_FALSE(QFileInfo::exists(home.paths.dataFolder));
}

TEST(DataFolder, PathsExpandTheTildeAndJoinCleanly) {
    Paths p = Paths::under(u"/home/anna"_s);
    EXPECT_EQ(p.expandTilde(u"~/Dokumente/"_s), u"/home/anna/Dokumente/"_s);
    EXPECT_EQ(p.expandTilde(u"~"_s), u"/home/anna"_s);
    EXPECT_EQ(p.expandTilde(u"/srv/~x"_s), u"/srv/~x"_s);
    EXPECT_EQ(Paths::join(u"/a/"_s, u"/b.mdb"_s), u"/a/b.mdb"_s);
    EXPECT_EQ(p.dataFolder, u"/home/anna/.local/share/Quandor/"_s);
    EXPECT_EQ(p.backupFolder, u"/home/anna/Documents/Quandor/Backup/"_s);
    EXPECT_EQ(p.documentsFolder, p.dataFolder + u"Documents/"_s);
}

// ---- unreadable and unwritable files ---------------------------------------------------

// A damaged file, and a sound archive that holds no database.
TEST(Saving, UnreadableDatabaseIsNeverOverwritten) {
    for (const QByteArray& content :
         {QByteArray("bplist00\xd4\x01\x02 abgeschnitten", 22),
          archive::write(Value::list(ValueList{Value(u"ein Jahr"_s)}))}) {
        Home home;
        writeAll(home.dbPath(), content);
        home.app->awakeFromNib();
        ASSERT_EQ(home.ui.count(u"Fehler!"_s), 1);
        const auto* e = home.ui.find(u"Fehler!"_s);
        EXPECT_TRUE(e->message.contains(home.dbPath()));
        EXPECT_TRUE(e->message.contains(u"nichts"_s));
        EXPECT_FALSE(home.app->isSaveAllowed());
        home.app->noteChanged();
        EXPECT_EQ(home.app->saveDataToDisk(true), QuandorAppDelegate::SaveOutcome::Disabled);
        home.app->save();
        home.app->restart();
        home.app->applicationWillTerminate();
        EXPECT_EQ(readAll(home.dbPath()), content);
    }
}

TEST(Saving, FailedWriteIsReportedOnceAndRetried) {
    Home home;
    home.app->awakeFromNib();
    home.app->setYears({Record::create(RecordClass::Year, home.app->nowStamp())});
    // A folder in the file's place: every write fails for real.
    QDir().mkpath(home.dbPath());
    EXPECT_EQ(home.app->saveDataToDisk(), QuandorAppDelegate::SaveOutcome::Failed);
    EXPECT_EQ(home.app->saveDataToDisk(), QuandorAppDelegate::SaveOutcome::Failed);
    home.app->autoSave();
    ASSERT_EQ(home.ui.count(u"Fehler!"_s), 1);
    const auto* e = home.ui.find(u"Fehler!"_s);
    EXPECT_EQ(e->style, AlertStyle::Critical);
    EXPECT_TRUE(e->message.contains(home.dbPath()));
    EXPECT_TRUE(e->message.contains(u"Ordner"_s));
    EXPECT_EQ(home.app->years().size(), 1u);  // nothing dropped
    QDir().rmdir(home.dbPath());
    EXPECT_EQ(home.app->saveDataToDisk(), QuandorAppDelegate::SaveOutcome::Written);
    EXPECT_TRUE(home.app->lastSaveError().isEmpty());
    // A new failure after a success is told again.
    home.app->hooks().writeFile = [](const QString&, const QByteArray&, QString* reason) {
        *reason = u"Auf dem Datenträger ist kein Platz mehr."_s;
        return false;
    };
    home.app->noteChanged();
    EXPECT_EQ(home.app->saveDataToDisk(), QuandorAppDelegate::SaveOutcome::Failed);
    EXPECT_EQ(home.ui.count(u"Fehler!"_s), 2);
    EXPECT_TRUE(home.ui.alerts.back().message.contains(u"kein Platz"_s));
    // The file of the last successful save is still whole.
    auto read = archive::readFile(home.dbPath());
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(Database::fromRoot(read.root).years.size(), 1u);
}

TEST(Saving, ReadOnlyFolderIsReported) {
    if (test::rerunUnprivileged()) return;
    Home home;
    home.app->awakeFromNib();
    QFile::setPermissions(home.paths.dataFolder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    home.app->noteChanged();
    EXPECT_EQ(home.app->saveDataToDisk(), QuandorAppDelegate::SaveOutcome::Failed);
    EXPECT_EQ(home.ui.count(u"Fehler!"_s), 1);
    QFile::setPermissions(home.paths.dataFolder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(home.app->saveDataToDisk(), QuandorAppDelegate::SaveOutcome::Written);
}

TEST(Saving, PeriodicSaveSkipsWhenNothingChanged) {
    Home home;
    home.countWrites();
    home.app->awakeFromNib();
    home.app->autoSave();  // no file yet: written
    EXPECT_EQ(home.writes, 1);
    home.app->autoSave();
    home.app->autoSave();
    EXPECT_EQ(home.writes, 1);
    EXPECT_EQ(home.settings->getInt(P::backupAlertInt), 3);
    home.app->noteChanged();
    EXPECT_EQ(home.app->saveDataToDisk(), QuandorAppDelegate::SaveOutcome::Written);
    home.app->save();  // the menu command always writes
    EXPECT_EQ(home.writes, 3);
    QFile::remove(home.dbPath());  // removed behind the program's back
    home.app->autoSave();
    EXPECT_EQ(home.writes, 4);
}

// Quitting encodes the data always, but waits for the disk only when the
// file does not hold those bytes yet: an unchanged database is not rewritten
// (its sync is what made quitting slow on a busy disk), while a change that
// was never announced, or a file replaced behind the program's back, is written.
TEST(Quitting, RewritesTheFileOnlyWhenItsBytesDiffer) {
    Home home;
    home.countWrites();
    home.app->awakeFromNib();
    home.app->setYears({Record::create(RecordClass::Year, home.app->nowStamp())});
    EXPECT_EQ(home.app->saveDataToDisk(), QuandorAppDelegate::SaveOutcome::Written);
    const QByteArray saved = readAll(home.dbPath());
    home.app->applicationWillTerminate();
    EXPECT_EQ(home.writes, 1);
    EXPECT_EQ(readAll(home.dbPath()), saved);
    EXPECT_EQ(home.settings->getInt(P::backupAlertInt), 2);  // the skipped save still counts

    // The next run changes a year without telling anyone.
    home.restartProgram();
    home.countWrites();
    home.app->awakeFromNib();
    ASSERT_EQ(home.app->years().size(), 1u);
    home.app->years()[0]->set(keys::dateValue, u"2031"_s);
    home.app->applicationWillTerminate();
    EXPECT_EQ(home.writes, 2);
    auto read = archive::readFile(home.dbPath());
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(Database::fromRoot(read.root).years[0]->text(keys::dateValue), u"2031"_s);

    // Another program put other bytes of the same size in the file's place.
    QByteArray other = readAll(home.dbPath());
    other[other.size() / 2] = static_cast<char>(other[other.size() / 2] ^ 0x01);
    writeAll(home.dbPath(), other);
    home.app->applicationWillTerminate();
    EXPECT_EQ(home.writes, 3);
    EXPECT_NE(readAll(home.dbPath()), other);
}

TEST(Saving, RoundTripThroughTheFile) {
    Home home;
    home.app->awakeFromNib();
    auto year = Record::create(RecordClass::Year, home.app->nowStamp());
    year->set(keys::dateValue, u"2024"_s);
    auto statement = Record::create(RecordClass::Thelist, home.app->nowStamp());
    statement->setChildren(ChildList::Items,
                           {Record::create(RecordClass::Item, home.app->nowStamp())});
    year->setChildren(ChildList::Thelists, {statement});
    home.app->setYears({year});
    home.app->setGroups({Record::create(RecordClass::Group, home.app->nowStamp())});
    home.app->selection().setYearIndex(0);
    home.app->selection().setStatementIndex(0);
    home.restartProgram();
    EXPECT_EQ(home.settings->getInt(P::yearControllerSelectionIndex), 0);
    home.app->awakeFromNib();
    home.ui.runScheduled();
    ASSERT_EQ(home.app->years().size(), 1u);
    EXPECT_EQ(home.app->years()[0]->text(keys::dateValue), u"2024"_s);
    EXPECT_EQ(home.app->database().itemCount(), 1u);
    EXPECT_EQ(home.app->groups().size(), 1u);
    EXPECT_TRUE(home.app->cashbooks().empty());
    EXPECT_EQ(home.app->selection().selectedStatement(), home.app->years()[0]->thelists()[0]);
}

// ---- one program per data folder ----------------------------------------------------------

TEST(Lock, SecondProgramOnTheSameFolderIsRefused) {
    Home home;
    home.app->awakeFromNib();
    ASSERT_TRUE(home.app->isSaveAllowed());

    test::FakeUi ui2;
    QuandorAppDelegate second(*home.settings, ui2, home.paths);
    second.setLockWaitMs(0);
    EXPECT_EQ(second.openDatabase(), QuandorAppDelegate::LoadOutcome::Locked);
    ASSERT_EQ(ui2.count(u"Achtung!"_s), 1);
    EXPECT_TRUE(ui2.alerts[0].message.contains(home.paths.dataFolder.chopped(1)));
    EXPECT_EQ(ui2.quits, 1);
    EXPECT_FALSE(second.isSaveAllowed());
    EXPECT_EQ(second.saveDataToDisk(true), QuandorAppDelegate::SaveOutcome::Disabled);

    // A running program that was reached and brought forward needs no alert.
    test::FakeUi reachedUi;
    QuandorAppDelegate reached(*home.settings, reachedUi, home.paths);
    reached.setLockWaitMs(0);
    reached.hooks().activateRunningProgram = [](const QString&) { return true; };
    EXPECT_FALSE(reached.claimDataFolder());
    EXPECT_TRUE(reachedUi.alerts.empty());
    EXPECT_TRUE(reached.refusedByLock());

    // Quitting the first releases the folder.
    home.app->applicationWillTerminate();
    test::FakeUi ui3;
    QuandorAppDelegate next(*home.settings, ui3, home.paths);
    next.setLockWaitMs(0);
    EXPECT_EQ(next.openDatabase(), QuandorAppDelegate::LoadOutcome::Loaded);
}

// A second start must not harm the first: it writes nothing to the shared
// settings, and the first goes on saving by the timer, the menu and at quit.
TEST(Lock, RefusedSecondProgramLeavesTheFirstOneSaving) {
    Home home;
    home.app->awakeFromNib();
    ASSERT_TRUE(home.app->isSaveAllowed());
    home.settings->sync();
    const QString settingsFile = home.dir.filePath(u".config/Quandor/Quandor.conf"_s);
    const QByteArray settingsBefore = readAll(settingsFile);
    {
        Settings secondSettings(settingsFile);
        test::FakeUi ui2;
        QuandorAppDelegate second(secondSettings, ui2, home.paths);
        second.setLockWaitMs(0);
        int activations = 0;
        second.hooks().activateRunningProgram = [&](const QString&) {
            return ++activations, false;
        };
        EXPECT_FALSE(second.claimDataFolder());
        second.awakeFromNib();
        EXPECT_EQ(activations, 1);
        EXPECT_EQ(ui2.count(u"Achtung!"_s), 1);
        EXPECT_GE(ui2.quits, 1);
        second.applicationWillTerminate();
    }
    EXPECT_EQ(readAll(settingsFile), settingsBefore);
    home.settings->sync();  // the first program reads what the second left
    EXPECT_TRUE(home.app->isSaveAllowed());
    auto year = Record::create(RecordClass::Year, home.app->nowStamp());
    year->set(keys::dateValue, u"2026"_s);
    home.app->setYears({year});
    home.app->autoSave();
    home.app->applicationWillTerminate();
    QString problem;
    auto db = Database::fromFile(archive::readFile(home.dbPath()), &problem);
    ASSERT_TRUE(db) << problem.toStdString();
    ASSERT_EQ(db->years.size(), 1u);
}

// ---- a new place for the data takes effect with the next load --------------------------------

TEST(DataFolder, NewLocationNeverReceivesTheOpenDataBeforeTheNextLoad) {
    Home home;
    home.app->awakeFromNib();
    home.app->setYears({Record::create(RecordClass::Year, home.app->nowStamp())});
    home.app->save();
    // A folder that already holds another database.
    const QString other = home.dir.filePath(u"nas/"_s);
    QDir().mkpath(other);
    test::FakeUi scratchUi;
    {
        Settings scratch(home.dir.filePath(u"other.conf"_s));
        QuandorAppDelegate writer(scratch, scratchUi, home.paths);
        writer.setDatabaseFileOverride(other + u"Quandor_Version_1.mdb"_s);
        ASSERT_EQ(writer.openDatabase(), QuandorAppDelegate::LoadOutcome::Loaded);
        writer.setGroups({Record::create(RecordClass::Group, Date{}),
                          Record::create(RecordClass::Group, Date{})});
        ASSERT_EQ(writer.saveDataToDisk(true), QuandorAppDelegate::SaveOutcome::Written);
        writer.applicationWillTerminate();
    }
    const QByteArray otherBefore = readAll(other + u"Quandor_Version_1.mdb"_s);

    home.settings->setBool(P::useCustomLocation, true);
    home.settings->setPath(P::customLocationPath, u""_s);  // ticked, no folder chosen yet
    home.app->setYears({});
    EXPECT_EQ(home.app->saveDataToDisk(false), QuandorAppDelegate::SaveOutcome::Written);
    EXPECT_TRUE(home.app->isSaveAllowed());
    home.settings->setPath(P::customLocationPath, other);
    home.app->setYears({Record::create(RecordClass::Year, Date{})});
    EXPECT_EQ(home.app->saveDataToDisk(false), QuandorAppDelegate::SaveOutcome::Written);
    home.app->setSelection();
    home.app->applicationWillTerminate();
    EXPECT_EQ(readAll(other + u"Quandor_Version_1.mdb"_s), otherBefore);
    EXPECT_TRUE(home.ui.alerts.empty());

    // The next start loads what lies at the new place.
    home.restartProgram();
    home.app->awakeFromNib();
    EXPECT_EQ(home.app->groups().size(), 2u);
    EXPECT_TRUE(home.app->years().empty());
    EXPECT_EQ(home.app->openDatabasePath(), other + u"Quandor_Version_1.mdb"_s);
}

TEST(DataFolder, TemporaryFileOfAKilledSaveIsRemovedAtTheNextStart) {
    Home home;
    QDir().mkpath(home.paths.dataFolder);
    const QString leftover = home.dbPath() + u".a1B2c3"_s;
    const QString unrelated = home.dbPath() + u".sicherung"_s;
    writeAll(leftover, "halb");
    writeAll(unrelated, "eigenes");
    home.app->awakeFromNib();
    EXPECT_FALSE(QFileInfo::exists(leftover));
    EXPECT_TRUE(QFileInfo::exists(unrelated));
}

// ---- several users ---------------------------------------------------------------------------

namespace {

Dict user(const QString& pfad, const QString& firma, int art) {
    Dict d;
    d.set(Key(u"pfad"), pfad);
    d.set(Key(u"firma"), firma);
    d.set(Key(u"steuernummer"), u"12/345/67890"_s);
    d.set(Key(u"elster"), QStringLiteral("EL-") + pfad);
    d.set(Key(u"art"), art);
    return d;
}

}  // namespace

// The open user stays the one chosen at the start: a later rename or another
// selected row on the "Benutzer" page, or switching several users off, never
// sends the data to another file.
TEST(Users, LoadingWaitsForTheChoiceThenKeepsToThatUsersFile) {
    Home home;
    home.settings->setBool(P::prefsUseMultipleAccounts, true);
    home.app->awakeFromNib();
    EXPECT_EQ(home.ui.timerCount(), 0u);
    EXPECT_EQ(home.userChoices, 0);
    home.ui.runScheduled();
    EXPECT_EQ(home.userChoices, 1);
    EXPECT_FALSE(home.app->isSaveAllowed());
    EXPECT_EQ(home.app->saveDataToDisk(true), QuandorAppDelegate::SaveOutcome::Disabled);

    home.app->openChosenUser(user(u"1700000000"_s, u"Zweite Firma"_s, 2));
    EXPECT_EQ(home.app->currentAccountID(), u"1700000000"_s);
    EXPECT_EQ(home.settings->getText(P::prefsCompany), u"Zweite Firma"_s);
    EXPECT_EQ(home.settings->getText(P::prefsTaxID), u"12/345/67890"_s);
    EXPECT_EQ(home.settings->getText(P::prefsELSTERID), u"EL-1700000000"_s);
    EXPECT_EQ(home.settings->getInt(P::prefsUseTaxesGlobal), 2);
    const QString userFile = home.paths.dataFolder + u"1700000000_Quandor_Multiple.mdb"_s;
    EXPECT_EQ(home.settings->getPath(P::defaultDataPath), userFile);
    EXPECT_TRUE(home.app->isSaveAllowed());
    EXPECT_EQ(home.ui.timerCount(), 1u);
    // A second choice does not start a second timer.
    home.app->openChosenUser(user(u"1700000000"_s, u"Zweite Firma"_s, 2));
    EXPECT_EQ(home.ui.timerCount(), 1u);

    home.useUsers({user(u"1700000000"_s, u"Umbenannt"_s, 1), user(u"1800000000"_s, u"Dritte"_s, 1)},
                  1);
    EXPECT_EQ(home.app->pathForDataFile(), userFile);
    EXPECT_EQ(home.settings->getText(P::prefsCompany), u"Umbenannt"_s);

    writeAll(home.dbPath(), "");  // the single-user file, whatever it holds
    home.settings->setBool(P::prefsUseMultipleAccounts, false);
    home.app->setYears({Record::create(RecordClass::Year, Date{})});
    EXPECT_EQ(home.app->saveDataToDisk(false), QuandorAppDelegate::SaveOutcome::Written);
    EXPECT_EQ(readAll(home.dbPath()), QByteArray());
    QString problem;
    auto db = Database::fromFile(archive::readFile(userFile), &problem);
    ASSERT_TRUE(db) << problem.toStdString();
    EXPECT_EQ(db->years.size(), 1u);
}

struct QuitCase {
    const char* name;
    bool multiple;
    const char* open;
    const char* selected;
    bool refused;
};

class QuitCheck : public ::testing::TestWithParam<QuitCase> {};

TEST_P(QuitCheck, RefusesOnlyWhenAnotherLongIdIsSelected) {
    const QuitCase& c = GetParam();
    Home home;
    home.settings->setBool(P::prefsUseMultipleAccounts, c.multiple);
    home.app->setCurrentAccountID(QString::fromUtf8(c.open));
    if (*c.selected) home.useUsers({user(QString::fromUtf8(c.selected), u"Firma"_s, 1)}, 0);

    EXPECT_EQ(home.app->applicationShouldTerminate(), !c.refused);
    home.app->restart();
    if (c.refused) {
        ASSERT_EQ(home.ui.alerts.size(), 2u);
        EXPECT_EQ(home.ui.alerts[0].title, u"Warnung!"_s);
        EXPECT_TRUE(
            home.ui.alerts[0].message.contains(u"(ID: "_s + QString::fromUtf8(c.open) + u")"_s));
        EXPECT_TRUE(
            home.ui.alerts[1].message.startsWith(u"Es ist ein anderer Benutzer ausgewählt"_s));
        EXPECT_TRUE(home.ui.launches.empty());
        EXPECT_EQ(home.ui.quits, 0);
    } else {
        EXPECT_TRUE(home.ui.alerts.empty());
        EXPECT_EQ(home.ui.launches.size(), 1u);
        EXPECT_EQ(home.ui.quits, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Users, QuitCheck,
    ::testing::Values(QuitCase{"otherUserSelected", true, "1600000000", "1700000000", true},
                      QuitCase{"sameUser", true, "1600000000", "1600000000", false},
                      QuitCase{"oneCharacterOpenId", true, "1", "1700000000", false},
                      QuitCase{"oneCharacterSelectedId", true, "1600000000", "2", false},
                      QuitCase{"emptyList", true, "1600000000", "", false},
                      QuitCase{"singleUser", false, "1600000000", "1700000000", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Quitting, RestartSavesThenStartsItselfAndQuits) {
    Home home;
    home.app->awakeFromNib();
    const auto& launched = home.ui.launches;
    const int64_t before = home.settings->getInt(P::backupAlertInt);
    const QStringList own = {u"--settings"_s, u"/Mein Ordner/q.ini"_s, u"--locale"_s, u"de_AT"_s};
    home.app->setRestartArguments(own);
    home.app->restart();
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0].program, u"/bin/sh"_s);
    EXPECT_EQ(launched[0].arguments.value(0), u"-c"_s);
    EXPECT_TRUE(launched[0].arguments.value(1).startsWith(u"sleep 1 ; "_s));
    EXPECT_TRUE(QFileInfo(launched[0].arguments.value(2)).isExecutable());
    // The new program gets the same settings file, database and locale.
    EXPECT_EQ(launched[0].arguments.mid(3), own);
    QProcess sh;
    sh.start(
        u"/bin/sh"_s,
        QStringList{u"-c"_s, launched[0].arguments.value(1).mid(10), u"printf"_s, u"%s|"_s} + own);
    ASSERT_TRUE(sh.waitForFinished());
    EXPECT_EQ(sh.readAllStandardOutput(),
              QByteArray("--settings|/Mein Ordner/q.ini|--locale|de_AT|"));
    EXPECT_EQ(home.settings->getInt(P::backupAlertInt), before + 1);
    EXPECT_EQ(home.ui.quits, 1);
}

TEST(Quitting, QuitBeforeAnyLoadWritesNothing) {
    Home home;
    home.settings->setBool(P::prefsUseMultipleAccounts, true);
    home.app->awakeFromNib();
    home.app->applicationWillTerminate();
    EXPECT_TRUE(QDir(home.paths.dataFolder).entryList(QDir::Files).isEmpty());
}

// ---- other requests ----------------------------------------------------------------------------

TEST(Requests, OpenFileIsRefusedAndFoldersAreChosen) {
    Home home;
    EXPECT_FALSE(home.app->openFile(u"/tmp/x.mdb"_s));
    ASSERT_EQ(home.ui.count(u"Hinweis!"_s), 1);
    EXPECT_TRUE(home.ui.alerts[0].message.contains(u"\"Posten importieren …\""_s));

    home.ui.dialogs = {u"/media/nas/quandor"_s, std::nullopt, u"/srv/docs"_s, u"/srv/backup"_s};
    home.app->setLibraryPath();
    EXPECT_EQ(home.ui.alerts.back().title, u"Warnung!"_s);
    EXPECT_TRUE(
        home.ui.alerts.back().message.endsWith(u"Es gibt leider genügend Unverbesserliche …"_s));
    EXPECT_EQ(home.settings->getPath(P::customLocationPath), u"/media/nas/quandor"_s);
    home.app->setLibraryPath();  // cancelled: unchanged
    EXPECT_EQ(home.settings->getPath(P::customLocationPath), u"/media/nas/quandor"_s);
    home.app->setDocumentsPath();
    home.app->setBackupPath();
    EXPECT_EQ(home.settings->getPath(P::prefsDocPath), u"/srv/docs"_s);
    EXPECT_EQ(home.settings->getPath(P::prefsBackupPath), u"/srv/backup"_s);
}
