#pragma once
// The application delegate: owns the open database, decides where the database
// file lies, reads it at start, writes it back every 30 seconds, on demand and
// at quit, runs the one-time upgrade and first-start steps, and handles
// quitting and restarting.
//
// It talks to the person only through the UI port; everything the window must
// do (show, hide, open the user choice, run a backup) goes through `Hooks`, so
// the whole start-up, save and quit sequence runs without a window.
//
// Saving policy:
//  - every write is atomic (temporary file, flush, rename);
//  - a failed write is reported once (German), the data stay in memory and the
//    next save tries again;
//  - a database file that exists but cannot be read is never overwritten:
//    saving stays disabled for the run and the person is told;
//  - one running program holds "Quandor.lock" in the data folder; a second one
//    on the same folder is refused instead of overwriting the first one's work;
//  - the periodic save skips encoding and writing when nothing changed since
//    the last successful write. Every change to the records must therefore be
//    announced with noteChanged(). The file-menu save and quitting always write.

#include "core/books.h"
#include "core/database.h"
#include "core/paths.h"
#include "core/selection.h"
#include "core/uiport.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QLockFile;

namespace quandor {

class Settings;
class UsersController;

class QuandorAppDelegate {
  public:
    using Clock = std::function<QDateTime()>;

    // What the window layer does for the delegate. Every hook may be left empty.
    struct Hooks {
        std::function<void()> showMainWindow;
        std::function<void()> hideMainWindow;
        std::function<void()> hideFirstStepsGuide;
        // Several users in use: open the user-selection window. It calls
        // openChosenUser() once the person confirmed a row.
        std::function<void()> showUserChoice;
        // Runs a backup (3 seconds after a load when "prefsMakeBackup" is set).
        std::function<void()> performBackup;
        // Writes `bytes` to `path` replacing it atomically; false with a German
        // reason on failure. Empty: writeFileAtomically().
        std::function<bool(const QString& path, const QByteArray& bytes, QString* reason)>
            writeFile;
        // Another program holds the lock on `folder`: brings its window to the
        // front. True when it was reached; the refusal alert is then not needed.
        std::function<bool(const QString& folder)> activateRunningProgram;
    };

    enum class LoadOutcome {
        Loaded,         // read, or the file was missing (empty lists)
        FolderMissing,  // the data folder is not there; empty lists, saving disabled
        Unreadable,     // the file exists but could not be read; empty lists, saving disabled
        Locked,         // another running program uses this data folder
        NoUser,         // several users in use, but none was chosen
    };

    enum class SaveOutcome {
        Written,
        Unchanged,  // nothing changed since the last write, or (unlessOnDisk) the file holds these
                    // bytes
        Disabled,   // saving is not allowed (before a load, missing folder, unreadable file)
        Failed,     // the write failed; reported once, tried again at the next save
    };

    QuandorAppDelegate(Settings& settings, UiPort& ui, Paths paths = Paths::standard(),
                       Clock clock = {});
    ~QuandorAppDelegate();
    QuandorAppDelegate(const QuandorAppDelegate&) = delete;
    QuandorAppDelegate& operator=(const QuandorAppDelegate&) = delete;

    Hooks& hooks() { return hooks_; }
    Settings& settings() { return settings_; }
    UiPort& ui() { return ui_; }
    const Paths& paths() const { return paths_; }
    QDateTime now() const;  // from the clock (the CLI's --now)
    Date nowStamp() const;  // the same as a record date

    // ---- the open database ------------------------------------------------
    Database& database() { return db_; }
    const Database& database() const { return db_; }
    const RecordList& years() const { return db_.years; }
    const RecordList& groups() const { return db_.groups; }
    const RecordList& accounts() const { return db_.accounts; }
    const RecordList& items() const { return db_.items; }
    const RecordList& cashbooks() const { return db_.cashbooks; }
    const RecordList& allowances() const { return db_.allowances; }
    const RecordList& inventorys() const { return db_.inventorys; }
    // Each setter stores a copy of the list (the records are shared) and counts as a change.
    void setYears(const RecordList& l);
    void setGroups(const RecordList& l);
    void setAccounts(const RecordList& l);
    void setItems(const RecordList& l);
    void setCashbooks(const RecordList& l);
    void setAllowances(const RecordList& l);
    void setInventorys(const RecordList& l);
    // All seven lists at once (an imported database), kept objects of newer
    // programs included; books with items count as past the first steps.
    void replaceDatabase(Database db);

    QString currentAccountID() const { return currentAccountID_; }
    void setCurrentAccountID(const QString& id) { currentAccountID_ = id; }

    Selection& selection() { return selection_; }
    const Selection& selection() const { return selection_; }

    // Controllers call this after every change to the records.
    void noteChanged() { books_.noteChanged(); }
    uint64_t changeCount() const { return books_.changeCount(); }

    // What every controller works with (records, selection, settings, UI port, clock).
    Books& books() { return books_; }
    // The users list of several companies (the "Benutzer" page and the user choice).
    UsersController& users() { return *users_; }

    // ---- start-up ----------------------------------------------------------
    // Takes the data folder's lock before anything else happens. False when
    // another running program holds it: it was asked to come to the front (or
    // the person was told), and this run must end without writing anything.
    bool claimDataFolder();
    void awakeFromNib();
    void firstStart();
    // The one-time defaults of the first start of the main window, shared by
    // the desktop program and the command line (guarded by "firstStartEver"):
    // both rates (19 %, 7 %), both rate names, the currency and the kind of
    // taxation. True when it wrote them.
    static bool applyFirstWindowDefaults(Settings& settings);
    // Steps after the user choice (or directly in single-user mode): start the
    // save timer, load, enable saving, restore the selections, backup later.
    void finishStartUp();
    // The user-selection window's confirmation: opens `user` (its "pfad" becomes
    // currentAccountID), then finishStartUp() and shows the main window.
    void openChosenUser(const Dict& user);
    // Takes `user` for the next path resolution without loading (quandor-cli --user).
    void chooseUser(const Dict& user);

    // Uses `path` as the database file instead of resolving the data folder
    // (the CLI's --db). Empty: resolve again.
    void setDatabaseFileOverride(const QString& path);
    // Loads the override (or resolved) file and enables saving when it could be
    // read: what the CLI needs instead of awakeFromNib.
    LoadOutcome openDatabase();

    // ---- the database file --------------------------------------------------
    // Resolves the database path from the settings (data folder, user) and
    // stores it as "defaultDataFolder"/"defaultDataPath". Only loading follows
    // it; saving writes to the file that was loaded (openDatabasePath()).
    QString pathForDataFile();
    // The file the open data were loaded from (or will be created as); before
    // any load, the resolved path.
    QString openDatabasePath();
    // The data folder this program holds the lock of; empty when it holds none.
    QString lockedFolder() const { return lockedFolder_; }
    // True when another program held the data folder's lock: this run changes nothing.
    bool refusedByLock() const { return refused_; }
    // Whether the main window may be brought to the front when the program becomes active.
    bool allowWindow() const { return allowWindow_; }
    void setAllowWindow(bool allowed) { allowWindow_ = allowed; }
    LoadOutcome loadDataFromDisk();
    // force: write even when no change was noted. unlessOnDisk: but not when
    // the file holds exactly the bytes to write (quitting: no sync to wait for).
    SaveOutcome saveDataToDisk(bool force = false, bool unlessOnDisk = false);
    void autoSave();  // periodic: skips when nothing changed
    void save();      // file menu: always writes
    bool isSaveAllowed() const;
    // The German reason of the last failed save, empty after a success.
    QString lastSaveError() const { return lastSaveError_; }
    // A command of quandor-cli, not the desktop program: the alerts after a
    // failed load or save say what happens to one command, not to a session.
    void setCommandLine(bool commandLine) { commandLine_ = commandLine; }

    void setSelection();  // restores the four list selections from the settings
    void storeSelection();
    void backupAlert();

    // ---- quitting -----------------------------------------------------------
    bool applicationShouldTerminate();  // false = the quit is refused
    void applicationWillTerminate();
    void restart();
    // A file handed over by the operating system is never opened: explains why, answers false.
    bool openFile(const QString& path);
    // Bringing the window back: when the program becomes active with the main
    // window hidden (not while the user choice waits), and on a click on the
    // program's icon.
    void applicationDidBecomeActive(bool mainWindowVisible);
    void applicationShouldHandleReopen();

    // ---- folders (preference page "Daten") -----------------------------------
    void setLibraryPath();
    void setBackupPath();
    void setDocumentsPath();

    // The arguments a restart passes to the new program (--settings, --db,
    // --locale as this one was started with).
    void setRestartArguments(const QStringList& arguments) { restartArguments_ = arguments; }

    // How long loading waits for another program's lock to go (a restart
    // starts the new program while the old one still quits).
    void setLockWaitMs(int ms) { lockWaitMs_ = ms; }

    // The default writer: QSaveFile (temporary file, flush, rename).
    static bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* reason);

    // The alert texts, for the window layer and tests.
    static const QString& disclaimerMessage();

  private:
    // Where the database file lies by the settings; changes nothing.
    struct Resolved {
        QString folder;
        QString path;
        QString accountID;         // several users: the user's "pfad"
        std::optional<Dict> user;  // several users: the users-list entry
    };
    Resolved resolveDataFile() const;
    // Stores what resolveDataFile() found in the settings; warns and disables
    // saving when the folder is missing (false).
    bool applyResolution(const Resolved& r);
    void removeStaleTemporaryFiles(const QString& path);
    void markFirstStepsDoneWhenBooked();
    void upgradeSteps();
    void importVersion1Preferences();
    bool userCheckFails(bool restarting);
    bool lockDataFolder(const QString& folder);
    void releaseLock();
    void syncSettings();
    void startSaveTimer();
    void scheduleAutoSave();
    static constexpr int kAutoSaveMs = 30000;
    void setSaveAllowed(bool allowed);

    Settings& settings_;
    UiPort& ui_;
    Paths paths_;
    Clock clock_;
    Hooks hooks_;

    Database db_;
    QString currentAccountID_;
    Selection selection_;
    Books books_;
    std::optional<Dict> chosenUser_;

    QString overridePath_;
    // Per-run states live here, never in the shared settings: a second program
    // on the same settings file must not be able to switch this one's saving off.
    bool saveAllowed_ = false;
    bool allowWindow_ = false;
    bool refused_ = false;  // another program holds the data folder's lock
    uint64_t savedChangeCount_ = 0;
    QString openPath_;   // the file loaded last: every save goes there
    QString savedPath_;  // the file the memory state was last read from or written to
    QString lastSaveError_;
    bool saveErrorReported_ = false;
    bool commandLine_ = false;
    QStringList restartArguments_;
    bool settingsFailureTold_ = false;

    std::unique_ptr<QLockFile> lock_;
    QString lockedFolder_;
    int lockWaitMs_ = 2000;
    bool timerStarted_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // for delayed steps
    std::unique_ptr<UsersController> users_;
};

}  // namespace quandor
