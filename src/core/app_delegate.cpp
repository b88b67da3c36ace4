#include "core/app_delegate.h"

#include "core/archive/archive.h"
#include "core/atomic_file.h"
#include "core/data_lock.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "core/users.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>

#include <plist/plist.h>

#include <cstdlib>

namespace quandor {

namespace P = prefs;

namespace {

// Keys of a users-list entry.
const Key kPfad{u"pfad"};
const Key kFirma{u"firma"};
const Key kSteuernummer{u"steuernummer"};
const Key kElster{u"elster"};
const Key kArt{u"art"};

const QString kOK = QStringLiteral("OK");
const QString kSingleUserFile = QStringLiteral("Quandor_Version_1.mdb");

// The preference files of the first program generation, in the order they are
// read (a later one overrides): the one named after that generation's
// application identifier, then the one named after the maker's earlier
// identifier. Both are looked for in the person's configuration folder.
const char* const kVersion1PreferenceFiles[] = {"de.quandor.Quandor.plist",
                                                "de.quandor.QuandorClassic.plist"};

const QString kMissingFolderMessage = QStringLiteral(
    "Der Speicherort für die Quandor Datenbank ist nicht vorhanden oder erreichbar. Solltest du "
    "einen eigenen angegeben haben, so überprüfe bitte, dass dieser gemounted ist und du die "
    "nötigen Zugriffrechte besitzt.");

const QString kUpdateMessage = QStringLiteral(
    "Es scheint, dass du schon Quandor Version 1 benutzt hast. All deine bisherigen Abrechnungen "
    "werden übernommen und auch alle getätigten Einstellungen - soweit möglich. Da sich in dieser "
    "komplett neu geschriebenen Version 2 einiges unter der Haube getan hat, sind neue "
    "Einstellungen hinzugekommen und einige haben sich etwas verändert. Darum solltest du die "
    "bitte umgehend die Einstellungen öffnen, überprüfen und gegebenenfalls anpassen.");

const QString kBackupReminder = QStringLiteral(
    "Dies ist eine nette kleine Erinnerung daran, bitte immer und vor allem regelmäßig Sicherungen "
    "deiner wichtigen Quandor Daten zu machen. Dazu einfach das \"Ablage Menü\" und dort den "
    "Menüpunkt \"Quandor Daten\" verwenden.\n\nAußerdem solltest du - sofern nicht schon längst "
    "geschehen - auch Time Machine aktivieren.");

const QString kLibraryWarning = QStringLiteral(
    "Die Benutzung eines eigenen Speicherortes (zum Beispiel die iDisk, Dropbox oder ein NAS wie "
    "die Time Capsule) geschieht auf eigene Gefahr. Du bist für deine Daten verantwortlich. Sorge "
    "bitte dafür, dass dieser Speicherort immer erreichbar (gemounted) ist und du die nötigen "
    "Zugriffsrechte besitzt.\n\nAußerdem ist es keine gute Idee, mit mehreren Benutzern "
    "gleichzeitig auf ein und die selbe Datenbank zuzugreifen. Das kann auf Dauer nur schief "
    "gehen. Bitte aktiviere zu deiner eigenen Sicherheit auch die automatisierten Backups und "
    "verwende die Time Machine.\n\nErwarte kein Mitleid von mir, wenn du dir deine Daten "
    "zerschießt und nicht einmal Sicherungen angelegt hast. Sorry - aber ich muss das so "
    "formulieren. Es gibt leider genügend Unverbesserliche …");

const QString kQuitRefused = QStringLiteral(
    "In den Einstellungen ist ein anderer Benutzer ausgewählt als der, der beim Öffnen von Quandor "
    "gewählt wurde. Dies kann zu Problemen mit der Sicherung und der Datenbank führen. Aus diesem "
    "Grund wurde das Beenden abgebrochen. Bitte zur eigenen Sicherheit erst wieder den "
    "ursprünglichen Benutzer (ID: %1) auswählen.");

const QString kRestartRefused = QStringLiteral(
    "Es ist ein anderer Benutzer ausgewählt als der, der beim Öffnen von Quandor gewählt wurde. "
    "Dies kann zu Problemen mit der Sicherung und der Datenbank führen. Aus diesem Grund wurde das "
    "Beenden abgebrochen. Bitte zur eigenen Sicherheit erst wieder den ursprünglichen Benutzer "
    "(ID: %1) auswählen.");

const QString kOpenFileRefused = QStringLiteral(
    "Um die Sicherheit deiner Quandor-Datenbank zu gewährleisten - benutze bitte das \"Ablage "
    "Menü\" und dort den Menüpunkt \"Quandor Daten\" um Abrechnungen, Konten, Jahre oder ganze "
    "Datenbanken zu importieren oder exportieren. Um Posten zu importieren bitte den Menüpunkt "
    "\"Posten importieren …\" verwenden.");

QString executablePath() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

QString folderOf(const QString& filePath) {
    return QFileInfo(filePath).absolutePath();
}

// ---- first-generation preference files --------------------------------------

struct PlistDeleter {
    void operator()(plist_t p) const {
        if (p) plist_free(p);
    }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

PlistPtr readPlistFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return nullptr;
    const QByteArray bytes = f.readAll();
    if (bytes.isEmpty() || bytes.size() > 64 * 1024 * 1024) return nullptr;
    plist_t root = nullptr;
    const auto length = static_cast<uint32_t>(bytes.size());
    if (plist_is_binary(bytes.constData(), length))
        plist_from_bin(bytes.constData(), length, &root);
    else
        plist_from_xml(bytes.constData(), length, &root);
    PlistPtr owned(root);
    if (!root || plist_get_node_type(root) != PLIST_DICT) return nullptr;
    return owned;
}

QString plistString(plist_t node) {
    char* s = nullptr;
    plist_get_string_val(node, &s);
    QString out = s ? QString::fromUtf8(s) : QString();
    std::free(s);
    return out;
}

int64_t plistInteger(plist_t node) {
    switch (plist_get_node_type(node)) {
        case PLIST_UINT: {
            uint64_t v = 0;
            plist_get_uint_val(node, &v);
            return static_cast<int64_t>(v);
        }
        case PLIST_REAL: {
            double d = 0;
            plist_get_real_val(node, &d);
            return static_cast<int64_t>(d);
        }
        case PLIST_BOOLEAN: {
            uint8_t b = 0;
            plist_get_bool_val(node, &b);
            return b ? 1 : 0;
        }
        case PLIST_STRING:
            return plistString(node).trimmed().toLongLong();
        default:
            return 0;
    }
}

bool plistTrue(plist_t node) {
    if (!node) return false;
    if (plist_get_node_type(node) == PLIST_BOOLEAN) {
        uint8_t b = 0;
        plist_get_bool_val(node, &b);
        return b != 0;
    }
    if (plist_get_node_type(node) == PLIST_UINT) return plistInteger(node) != 0;
    return false;
}

// Copies one entry with its stored type; a missing (or unusable) entry removes the key.
void copyAsStored(Settings& s, plist_t dict, QStringView key) {
    plist_t node = plist_dict_get_item(dict, key.toString().toUtf8().constData());
    if (!node) {
        s.remove(key);
        return;
    }
    switch (plist_get_node_type(node)) {
        case PLIST_STRING:
            s.setText(key, plistString(node));
            break;
        case PLIST_UINT:
            s.setInt(key, plistInteger(node));
            break;
        case PLIST_BOOLEAN:
            s.setBool(key, plistTrue(node));
            break;
        case PLIST_REAL: {
            double d = 0;
            plist_get_real_val(node, &d);
            s.setFloat(key, static_cast<float>(d));
            break;
        }
        default:
            s.remove(key);
            break;
    }
}

}  // namespace

// ---- construction -------------------------------------------------------------

QuandorAppDelegate::QuandorAppDelegate(Settings& settings, UiPort& ui, Paths paths, Clock clock)
    : settings_(settings),
      ui_(ui),
      paths_(std::move(paths)),
      clock_(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTimeUtc(); })),
      selection_(db_),
      books_(db_, selection_, settings_, ui_, paths_, clock_),
      users_(std::make_unique<UsersController>(*this)) {}

QuandorAppDelegate::~QuandorAppDelegate() {
    if (lock_) lock_->unlock();
}

QDateTime QuandorAppDelegate::now() const {
    return clock_().toUTC();
}

Date QuandorAppDelegate::nowStamp() const {
    return Date::fromUnix(static_cast<double>(now().toMSecsSinceEpoch()) / 1000.0);
}

const QString& QuandorAppDelegate::disclaimerMessage() {
    static const QString text = QStringLiteral(
        "Vorneweg erst einmal: Vielen Dank, dass du mit Quandor arbeitest!\n\nLeider muss das "
        "Folgende jetzt sein.\n\nIch habe nach bestem Wissen und Gewissen Quandor geklöppelt und "
        "weder Kosten noch Mühen gescheut, es gründlichst von Steuerberatern überprüfen und testen "
        "zu lassen und bei hoffentlich nie auftretenden Problemen bin ich für dich da.\n\nAber "
        "(Ich weiß, es gibt immer ein Aber) ich bin nicht für deine Abrechnungen, Voranmeldung, "
        "Gewinnermittlung oder Steuererklärung verantwortlich!\n\nSollte also dein Hund deine "
        "Abrechnung gefressen oder deine Katze ausversehen an den falschen Stellen ein paar Nullen "
        "zuviel eingetippt haben - dann helfe ich dir gerne bei einer besseren Ausrede. Den Ärger "
        "mit dem Finanzamt kann und werde ich aber nicht ausbaden und haftbar zu machen bin ich "
        "dafür auch nicht.\n\nDu kannst Quandor nur benutzen, wenn du damit einverstanden "
        "bist.\n\nHerzliche Grüße – dein Quandor-Entwickler");
    return text;
}

// ---- the seven lists ------------------------------------------------------------

#define QUANDOR_LIST_SETTER(Name, member)                \
    void QuandorAppDelegate::Name(const RecordList& l) { \
        db_.member = l;                                  \
        std::erase(db_.member, nullptr);                 \
        noteChanged();                                   \
        selection_.refresh();                            \
    }
QUANDOR_LIST_SETTER(setYears, years)
QUANDOR_LIST_SETTER(setGroups, groups)
QUANDOR_LIST_SETTER(setAccounts, accounts)
QUANDOR_LIST_SETTER(setItems, items)
QUANDOR_LIST_SETTER(setCashbooks, cashbooks)
QUANDOR_LIST_SETTER(setAllowances, allowances)
QUANDOR_LIST_SETTER(setInventorys, inventorys)
#undef QUANDOR_LIST_SETTER

void QuandorAppDelegate::replaceDatabase(Database db) {
    for (RootList l : Database::order()) std::erase(db.list(l), nullptr);
    db_ = std::move(db);
    noteChanged();
    selection_.refresh();
    markFirstStepsDoneWhenBooked();
}

// ---- start-up ---------------------------------------------------------------------

void QuandorAppDelegate::awakeFromNib() {
    if (!settings_.problem().isEmpty())
        ui_.alert(AlertStyle::Warning, QStringLiteral("Achtung!"), settings_.problem(), {kOK});

    // The lock on the data folder decides first: a second program on the same
    // data writes nothing to any shared file, not even the settings.
    if (!claimDataFolder()) return;

    // The main window's one-time defaults come first, as the window is made
    // before the start-up runs; the upgrade steps may then take values over.
    applyFirstWindowDefaults(settings_);

    // 1. Nothing is saved until a load found the data folder.
    setSaveAllowed(false);
    allowWindow_ = false;
    if (hooks_.hideMainWindow) hooks_.hideMainWindow();

    // 2.-4. One-time upgrades.
    upgradeSteps();
    importVersion1Preferences();

    // 5. The disclaimer, before any data is read.
    if (!settings_.getBool(P::veryFirstAlertDone)) {
        const int answer = ui_.alert(
            AlertStyle::Warning, QStringLiteral("Leider notwendiger Hinweis"), disclaimerMessage(),
            {QStringLiteral("Ja, ich mache meine Fehler selber"),
             QStringLiteral("Nein, bei mir sind immer die anderen Schuld")});
        if (answer != 0) {
            releaseLock();
            syncSettings();
            ui_.quit();
            return;
        }
        settings_.setBool(P::veryFirstAlertDone, true);
    }

    if (settings_.getBool(P::prefsUseMultipleAccounts)) {
        // 6. The user-selection window takes over loading.
        if (hooks_.hideFirstStepsGuide) hooks_.hideFirstStepsGuide();
        ui_.schedule(100, [this] {
            if (hooks_.showUserChoice) hooks_.showUserChoice();
        });
    } else {
        // 7.
        if (settings_.getBool(P::firstStepsDone) && hooks_.hideFirstStepsGuide)
            hooks_.hideFirstStepsGuide();
        if (hooks_.showMainWindow) hooks_.showMainWindow();
        finishStartUp();
    }

    // 8.
    if (!settings_.getBool(P::fiveStartEver)) firstStart();
    syncSettings();
}

bool QuandorAppDelegate::claimDataFolder() {
    if (refused_) return false;
    const Resolved r = resolveDataFile();
    if (!r.folder.isEmpty() && QFileInfo(r.folder).isDir() && !lockDataFolder(r.folder)) {
        ui_.quit();
        return false;
    }
    return true;
}

void QuandorAppDelegate::upgradeSteps() {
    if (!settings_.getBool(P::update_2_0_3_to_2_0_4)) {
        settings_.setInt(P::prefsTabSortOrder, 0);
        settings_.setBool(P::update_2_0_3_to_2_0_4, true);
    }
    if (!settings_.getBool(P::update_to_3_0)) {
        settings_.setBool(P::prefsPrintUnshortened, true);
        settings_.setBool(P::update_to_3_0, true);
    }
}

void QuandorAppDelegate::importVersion1Preferences() {
    if (settings_.getBool(P::update_1_to_2)) return;
    bool found = false;
    for (const char* name : kVersion1PreferenceFiles) {
        const QString path = Paths::join(paths_.preferencesFolder, QString::fromLatin1(name));
        if (!QFileInfo::exists(path)) continue;
        PlistPtr root = readPlistFile(path);
        if (!root) continue;  // damaged: nothing to take over from it
        found = true;
        plist_t dict = root.get();
        // Flags are only ever raised: a false there never clears a true here.
        for (QStringView flag :
             {P::firstStepsDone, P::isSetupDone, P::firstYearSet, P::firstListSet, P::firstItemSet})
            if (plistTrue(plist_dict_get_item(dict, flag.toString().toUtf8().constData())))
                settings_.setBool(flag, true);
        if (plist_t currency = plist_dict_get_item(dict, "prefsCurrency"))
            settings_.setInt(P::prefsCurrency, plistInteger(currency));
        else
            settings_.remove(P::prefsCurrency);
        copyAsStored(settings_, dict, P::prefsCompany);
        copyAsStored(settings_, dict, P::prefsELSTERID);
        copyAsStored(settings_, dict, P::prefsTaxID);
    }
    // One notice, however many of the files were taken over.
    if (found)
        ui_.alert(AlertStyle::Informational, QStringLiteral("Hinweis zur Aktualisierung"),
                  kUpdateMessage, {kOK});
    settings_.setBool(P::update_1_to_2, true);
}

bool QuandorAppDelegate::applyFirstWindowDefaults(Settings& settings) {
    if (settings.getBool(P::firstStartEver)) return false;
    settings.setFloat(P::prefs1Rate, 19.0f);
    settings.setFloat(P::prefs2Rate, 7.0f);
    settings.setText(P::prefs1RateTitle, QStringLiteral("Regelsteuersatz"));
    settings.setText(P::prefs2RateTitle, QStringLiteral("Ermäßigter Steuersatz"));
    settings.setInt(P::prefsCurrency, 0);
    settings.setInt(P::prefsUseTaxesGlobal, 1);
    settings.setBool(P::firstStartEver, true);
    return true;
}

void QuandorAppDelegate::firstStart() {
    for (QStringView key :
         {P::prefsAlwaysShowItemHelpDawer, P::prefsAlwaysShowVoranmeldungHelpDawer,
          P::prefsAlwaysShowJournalHelpDawer, P::prefsAlwaysShowTabHelpDawer,
          P::prefsAlwaysShowPrefsHelpDawer, P::prefsAlwaysShowYearHelpDawer,
          P::prefsExportPrintWithList})
        settings_.setBool(key, true);
    settings_.setInt(P::prefsSelectedExportTab, 2);
    settings_.setInt(P::prefsSelectedExportJournal, 2);
    QDir().mkpath(paths_.documentsFolder);
    QDir().mkpath(paths_.backupFolder);
    settings_.setPath(P::prefsDocPath, paths_.expandTilde(paths_.documentsFolder));
    settings_.setPath(P::prefsBackupPath, paths_.expandTilde(paths_.backupFolder));
    settings_.setBool(P::fiveStartEver, true);
}

void QuandorAppDelegate::finishStartUp() {
    startSaveTimer();
    const LoadOutcome outcome = loadDataFromDisk();
    if (outcome == LoadOutcome::Loaded) setSaveAllowed(true);
    if (outcome == LoadOutcome::Locked) return;
    setSelection();
    if (settings_.getBool(P::prefsMakeBackup))
        ui_.schedule(3000, [this] {
            if (hooks_.performBackup) hooks_.performBackup();
        });
}

void QuandorAppDelegate::chooseUser(const Dict& user) {
    chosenUser_ = user;
    currentAccountID_.clear();  // the next resolution takes the chosen user
}

void QuandorAppDelegate::openChosenUser(const Dict& user) {
    chooseUser(user);
    finishStartUp();
    allowWindow_ = true;
    if (hooks_.showMainWindow) hooks_.showMainWindow();
}

void QuandorAppDelegate::setDatabaseFileOverride(const QString& path) {
    overridePath_ =
        path.isEmpty() ? QString() : QFileInfo(paths_.expandTilde(path)).absoluteFilePath();
}

QuandorAppDelegate::LoadOutcome QuandorAppDelegate::openDatabase() {
    if (!refused_ && claimDataFolder()) applyFirstWindowDefaults(settings_);
    const LoadOutcome outcome = loadDataFromDisk();
    if (outcome == LoadOutcome::Loaded) setSaveAllowed(true);
    return outcome;
}

void QuandorAppDelegate::startSaveTimer() {
    // One chain per run, also when a second user choice starts loading again.
    if (timerStarted_) return;
    timerStarted_ = true;
    scheduleAutoSave();
}

void QuandorAppDelegate::scheduleAutoSave() {
    // Every 30 seconds through the UI port's delayed steps; a step that comes
    // after the delegate is gone does nothing.
    std::weak_ptr<bool> alive = alive_;
    ui_.schedule(kAutoSaveMs, [this, alive] {
        if (alive.expired() || refused_) return;
        autoSave();
        scheduleAutoSave();
    });
}

// ---- the database file ------------------------------------------------------------

QuandorAppDelegate::Resolved QuandorAppDelegate::resolveDataFile() const {
    Resolved r;
    if (!overridePath_.isEmpty()) {
        r.path = overridePath_;
        r.folder = folderOf(r.path);
        return r;
    }
    if (settings_.getBool(P::useCustomLocation)) {
        r.folder = paths_.expandTilde(settings_.getPath(P::customLocationPath));
    } else {
        r.folder = paths_.expandTilde(paths_.dataFolder);
        QDir().mkpath(r.folder);
    }
    // Switched on during a run without a chosen user: the open file stays the one.
    if (settings_.getBool(P::prefsUseMultipleAccounts) &&
        (!currentAccountID_.isEmpty() || chosenUser_)) {
        r.accountID = currentAccountID_;
        if (r.accountID.isEmpty()) {
            r.user = chosenUser_;
            if (r.user) r.accountID = r.user->text(kPfad);
        } else {
            r.user = users_->findUser(r.accountID);
            if (!r.user && chosenUser_ && chosenUser_->text(kPfad) == r.accountID)
                r.user = chosenUser_;
        }
        r.path = Paths::join(r.folder, r.accountID + QStringLiteral("_Quandor_Multiple.mdb"));
    } else {
        r.path = Paths::join(r.folder, kSingleUserFile);
    }
    return r;
}

bool QuandorAppDelegate::applyResolution(const Resolved& r) {
    if (overridePath_.isEmpty()) {
        settings_.setPath(P::defaultDataFolder, r.folder);
        if (!r.accountID.isEmpty()) currentAccountID_ = r.accountID;
        if (r.user) {
            settings_.setText(P::prefsCompany, r.user->text(kFirma));
            settings_.setText(P::prefsTaxID, r.user->text(kSteuernummer));
            settings_.setText(P::prefsELSTERID, r.user->text(kElster));
            settings_.setInt(P::prefsUseTaxesGlobal, r.user->integer(kArt));
        }
    }
    const bool missing = r.folder.isEmpty() || !QFileInfo(r.folder).isDir();
    if (missing) {
        saveAllowed_ = false;
        ui_.alert(AlertStyle::Critical, QStringLiteral("Warnung!"), kMissingFolderMessage, {kOK});
    }
    if (overridePath_.isEmpty()) settings_.setPath(P::defaultDataPath, r.path);
    return !missing;
}

QString QuandorAppDelegate::pathForDataFile() {
    const Resolved r = resolveDataFile();
    applyResolution(r);
    return r.path;
}

QString QuandorAppDelegate::openDatabasePath() {
    return openPath_.isEmpty() ? pathForDataFile() : openPath_;
}

bool QuandorAppDelegate::lockDataFolder(const QString& folder) {
    if (lock_ && lockedFolder_ == folder) return true;
    const LockOutcome outcome = DataFolderLock::acquire(folder, lockWaitMs_, &lock_);
    if (outcome == LockOutcome::Taken) {
        lockedFolder_ = folder;
        return true;
    }
    // A folder where no lock file can be made (read-only, missing): go on; the
    // load and the save tell what is wrong with it.
    if (outcome == LockOutcome::Impossible) return true;

    // Another program works with these data. Nothing of this run may reach a
    // shared file: the settings stay untouched and nothing is saved at quit.
    refused_ = true;
    saveAllowed_ = false;
    if (hooks_.activateRunningProgram && hooks_.activateRunningProgram(folder)) return false;
    const DataFolderLock::Holder holder = DataFolderLock::holder(folder);
    ui_.alert(
        AlertStyle::Critical, QStringLiteral("Achtung!"),
        QStringLiteral("Quandor arbeitet bereits mit den Daten im Ordner „%1“ (Programm %2 auf "
                       "„%3“). Damit ihr euch nicht gegenseitig die Daten überschreibt, kann "
                       "Quandor hier nicht ein zweites Mal mit denselben Daten starten. Bitte "
                       "benutze das bereits geöffnete Quandor.")
            .arg(folder, QString::number(holder.pid), holder.host),
        {kOK});
    return false;
}

QuandorAppDelegate::LoadOutcome QuandorAppDelegate::loadDataFromDisk() {
    if (refused_) return LoadOutcome::Locked;
    const Resolved resolved = resolveDataFile();
    auto startEmpty = [this] {
        db_ = Database{};
        selection_.refresh();
        openPath_.clear();
    };
    // The lock decides first: a program that may not work with these data
    // changes nothing, not even the settings.
    const bool folderThere = !resolved.folder.isEmpty() && QFileInfo(resolved.folder).isDir();
    if (folderThere && !lockDataFolder(resolved.folder)) {
        startEmpty();
        ui_.quit();
        return LoadOutcome::Locked;
    }
    if (!applyResolution(resolved)) {
        startEmpty();
        return LoadOutcome::FolderMissing;
    }
    const QString& path = resolved.path;
    if (overridePath_.isEmpty() && settings_.getBool(P::prefsUseMultipleAccounts) &&
        currentAccountID_.isEmpty()) {
        startEmpty();
        saveAllowed_ = false;
        return LoadOutcome::NoUser;
    }
    removeStaleTemporaryFiles(path);

    const QFileInfo info(path);
    if (!info.exists()) {
        // A new database: written at the next save.
        startEmpty();
    } else {
        QString problem;
        std::optional<Database> read = Database::fromFile(archive::readFile(path), &problem);
        if (!read) {
            // Never overwrite what could not be read.
            startEmpty();
            saveAllowed_ = false;
            ui_.alert(
                AlertStyle::Critical, QStringLiteral("Fehler!"),
                QStringLiteral("Die Quandor Datenbank „%1“ kann nicht gelesen werden: %2\n\n%3")
                    .arg(path, problem,
                         commandLine_
                             ? QStringLiteral("Der Befehl wurde nicht ausgeführt; die Datei "
                                              "bleibt unverändert. Bitte prüfe die Datei oder "
                                              "spiele eine Sicherung ein.")
                             : QStringLiteral(
                                   "Quandor startet mit leeren Listen und speichert in dieser "
                                   "Sitzung nichts, damit die Datei unverändert bleibt. Bitte "
                                   "prüfe die Datei oder spiele eine Sicherung ein.")),
                {kOK});
            return LoadOutcome::Unreadable;
        }
        db_ = std::move(*read);
        selection_.refresh();
        markFirstStepsDoneWhenBooked();
    }
    // From now on every save goes to this file, whatever the settings say,
    // until the program loads again: a new data location or another user
    // takes effect with the next load, never with the next save.
    openPath_ = path;
    savedPath_ = info.exists() ? path : QString();
    savedChangeCount_ = changeCount();

    const int64_t saves = settings_.getInt(P::backupAlertInt);
    if (saves == 4 || saves == 12) ui_.schedule(900, [this] { backupAlert(); });
    ui_.schedule(100, [this] { setSelection(); });
    return LoadOutcome::Loaded;
}

void QuandorAppDelegate::markFirstStepsDoneWhenBooked() {
    // Books that hold items are past the first steps, wherever they came from
    // (a restored backup, an imported database, another computer).
    if (settings_.getBool(P::firstStepsDone)) return;
    bool statements = false;
    for (const RecordPtr& year : db_.years) statements = statements || !year->thelists().empty();
    // The guide picture goes on from where the books are: 3 after the first
    // year, 4 after the first statement (as the sheets set it).
    if (!db_.years.empty() && !settings_.getBool(P::firstYearSet)) {
        settings_.setBool(P::firstYearSet, true);
        if (settings_.getInt(P::jaImage) < 3) settings_.setInt(P::jaImage, 3);
    }
    if (statements && !settings_.getBool(P::firstListSet)) {
        settings_.setBool(P::firstListSet, true);
        if (settings_.getInt(P::jaImage) < 4) settings_.setInt(P::jaImage, 4);
    }
    if (db_.itemCount() == 0) return;
    for (QStringView flag : {P::firstYearSet, P::firstListSet, P::firstItemSet, P::firstStepsDone})
        settings_.setBool(flag, true);
}

void QuandorAppDelegate::removeStaleTemporaryFiles(const QString& path) {
    // A save that was killed between writing its temporary file and renaming
    // it leaves "<name>.XXXXXX" beside the database. This program holds the
    // lock, so no other save of this file is under way.
    const QFileInfo info(path);
    const QDir folder = info.absoluteDir();
    const QString prefix = info.fileName() + QLatin1Char('.');
    static const QRegularExpression suffix(QStringLiteral("^[A-Za-z0-9]{6}$"));
    for (const QString& name : folder.entryList({prefix + QStringLiteral("*")},
                                                QDir::Files | QDir::Hidden | QDir::System)) {
        if (suffix.match(QStringView(name).mid(prefix.size())).hasMatch())
            QFile::remove(folder.filePath(name));
    }
}

bool QuandorAppDelegate::isSaveAllowed() const {
    return saveAllowed_ && !refused_;
}

void QuandorAppDelegate::setSaveAllowed(bool allowed) {
    saveAllowed_ = allowed && !refused_;
}

namespace {

// True when the file at `path` holds exactly `bytes`, compared piece by piece.
bool fileHolds(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.size() != bytes.size() || !file.open(QIODevice::ReadOnly)) return false;
    constexpr qint64 kPiece = qint64{1} << 20;
    QByteArray piece;
    for (qint64 at = 0; at < bytes.size(); at += kPiece) {
        piece = file.read(kPiece);
        if (piece.isEmpty() ||
            QByteArrayView(piece) != QByteArrayView(bytes).sliced(at, piece.size()))
            return false;
    }
    return file.atEnd();
}

}  // namespace

QuandorAppDelegate::SaveOutcome QuandorAppDelegate::saveDataToDisk(bool force, bool unlessOnDisk) {
    if (refused_) return SaveOutcome::Disabled;
    settings_.setInt(P::backupAlertInt, settings_.getInt(P::backupAlertInt) + 1);
    if (users_->loaded())
        settings_.setInt(P::multipleAccountsControllerIndex, std::max(users_->selectedRow(), 0));
    if (!isSaveAllowed() || openPath_.isEmpty()) return SaveOutcome::Disabled;
    storeSelection();
    const QString path = openPath_;

    if (!force && changeCount() == savedChangeCount_ && path == savedPath_ &&
        lastSaveError_.isEmpty() && QFileInfo::exists(path))
        return SaveOutcome::Unchanged;

    const uint64_t counted = changeCount();
    QString reason;
    bool ok = false;
    if (!QFileInfo(folderOf(path)).isDir()) {
        // The folder went away during the run (an unmounted share): nothing is
        // written anywhere else, the data stay in memory and the next save tries again.
        reason = kMissingFolderMessage;
    } else {
        const QByteArray bytes = archive::write(db_.toRoot());
        if (bytes.isEmpty()) {
            reason = QStringLiteral("Die Daten konnten nicht für die Datei aufbereitet werden.");
        } else if (unlessOnDisk && fileHolds(path, bytes)) {
            // Already on disk, byte for byte (the last save, synced before its
            // rename, or the file as loaded): writing it again adds nothing but
            // a wait for the disk's sync, which on a busy machine takes seconds.
            savedPath_ = path;
            savedChangeCount_ = counted;
            lastSaveError_.clear();
            saveErrorReported_ = false;
            return SaveOutcome::Unchanged;
        } else if (hooks_.writeFile) {
            ok = hooks_.writeFile(path, bytes, &reason);
        } else {
            ok = writeFileAtomically(path, bytes, &reason);
        }
    }
    if (!ok) {
        lastSaveError_ = reason;
        // Told once; the next saves try again quietly until one succeeds.
        if (!saveErrorReported_) {
            saveErrorReported_ = true;
            ui_.alert(
                AlertStyle::Critical, QStringLiteral("Fehler!"),
                QStringLiteral("Deine Quandor Datenbank konnte nicht gespeichert werden:\n%1\n\n"
                               "Grund: %2\n\n%3")
                    .arg(path, reason,
                         commandLine_
                             ? QStringLiteral("Die Änderung wurde nicht gespeichert; die "
                                              "Datenbank ist unverändert.")
                             : QStringLiteral("Deine Daten bleiben erhalten, solange Quandor "
                                              "läuft. Quandor versucht es beim nächsten Sichern "
                                              "(spätestens in 30 Sekunden) erneut. Bitte sorge für "
                                              "freien Speicherplatz und Schreibrechte.")),
                {kOK});
        }
        return SaveOutcome::Failed;
    }
    savedPath_ = path;
    savedChangeCount_ = counted;
    lastSaveError_.clear();
    saveErrorReported_ = false;
    return SaveOutcome::Written;
}

bool QuandorAppDelegate::writeFileAtomically(const QString& path, const QByteArray& bytes,
                                             QString* reason) {
    return quandor::writeFileAtomically(path, bytes, reason);
}

void QuandorAppDelegate::autoSave() {
    saveDataToDisk(false);
}

void QuandorAppDelegate::save() {
    saveDataToDisk(true);
    syncSettings();
}

void QuandorAppDelegate::setSelection() {
    selection_.setYearIndex(static_cast<int>(settings_.getInt(P::yearControllerSelectionIndex)));
    selection_.setStatementIndex(
        static_cast<int>(settings_.getInt(P::listControllerSelectionIndex)));
    selection_.setCashBookIndex(
        static_cast<int>(settings_.getInt(P::cashBookControllerSelectionIndex)));
    selection_.setCashBookEntryIndex(
        static_cast<int>(settings_.getInt(P::cashBookItemsControllerSelectionIndex)));
}

void QuandorAppDelegate::storeSelection() {
    auto store = [this](QStringView key, int index) {
        settings_.setInt(key, index < 0 ? 0 : index);
    };
    store(P::yearControllerSelectionIndex, selection_.yearIndex());
    store(P::listControllerSelectionIndex, selection_.statementIndex());
    store(P::cashBookControllerSelectionIndex, selection_.cashBookIndex());
    store(P::cashBookItemsControllerSelectionIndex, selection_.cashBookEntryIndex());
}

void QuandorAppDelegate::backupAlert() {
    ui_.alert(AlertStyle::Critical, QStringLiteral("Nette kleine Erinnerung an Backups!"),
              kBackupReminder, {kOK});
}

// ---- quitting ------------------------------------------------------------------------

bool QuandorAppDelegate::userCheckFails(bool restarting) {
    if (!settings_.getBool(P::prefsUseMultipleAccounts)) return false;
    const QString selected = users_->selectedUserID();  // empty when the list is empty
    if (selected.isEmpty() || selected == currentAccountID_) return false;
    if (selected.size() <= 1 || currentAccountID_.size() <= 1) return false;
    ui_.alert(AlertStyle::Warning, QStringLiteral("Warnung!"),
              (restarting ? kRestartRefused : kQuitRefused).arg(currentAccountID_), {kOK});
    return true;
}

bool QuandorAppDelegate::applicationShouldTerminate() {
    return !userCheckFails(false);
}

void QuandorAppDelegate::applicationWillTerminate() {
    // A program refused by the lock has nothing to keep and must not touch
    // what the running one works with.
    if (refused_) return;
    storeSelection();
    // Quitting always encodes, so a change that was not announced is not lost;
    // the file is rewritten unless it holds exactly these bytes already.
    saveDataToDisk(true, true);
    syncSettings();
    releaseLock();
}

void QuandorAppDelegate::syncSettings() {
    QString error;
    if (settings_.sync(&error) || settings_.status() != Settings::Status::Ok) return;
    // Told once per run; the settings stay in memory and the next sync tries again.
    if (settingsFailureTold_) return;
    settingsFailureTold_ = true;
    ui_.alert(AlertStyle::Critical, QStringLiteral("Fehler!"), error, {kOK});
}

void QuandorAppDelegate::releaseLock() {
    if (lock_) lock_->unlock();
    lock_.reset();
    lockedFolder_.clear();
}

void QuandorAppDelegate::restart() {
    if (refused_ || userCheckFails(true)) return;
    storeSelection();
    saveDataToDisk(true);
    syncSettings();
    // The new program waits a moment, so this one can finish quitting first.
    const QString program = QStringLiteral("/bin/sh");
    QStringList arguments = {QStringLiteral("-c"), QStringLiteral("sleep 1 ; exec \"$0\" \"$@\""),
                             executablePath()};
    arguments += restartArguments_;
    const bool started = ui_.launchApplication(program, arguments);
    if (!started)
        ui_.alert(AlertStyle::Warning, QStringLiteral("Hinweis!"),
                  QStringLiteral("Quandor konnte sich nicht selbst neu starten. Bitte starte "
                                 "Quandor nach dem Beenden einfach wieder."),
                  {kOK});
    ui_.quit();
}

bool QuandorAppDelegate::openFile(const QString&) {
    ui_.alert(AlertStyle::Warning, QStringLiteral("Hinweis!"), kOpenFileRefused, {kOK});
    return false;
}

void QuandorAppDelegate::applicationDidBecomeActive(bool mainWindowVisible) {
    if (!mainWindowVisible && allowWindow_ && hooks_.showMainWindow) hooks_.showMainWindow();
}

void QuandorAppDelegate::applicationShouldHandleReopen() {
    if (hooks_.showMainWindow) hooks_.showMainWindow();
}

// ---- folders --------------------------------------------------------------------------

void QuandorAppDelegate::setLibraryPath() {
    ui_.alert(AlertStyle::Critical, QStringLiteral("Warnung!"), kLibraryWarning, {kOK});
    if (auto folder =
            ui_.chooseFolder(QStringLiteral("Speicherort für die Quandor Datenbank wählen")))
        settings_.setPath(P::customLocationPath, *folder);
}

void QuandorAppDelegate::setBackupPath() {
    if (auto folder = ui_.chooseFolder(QStringLiteral("Ordner für die Sicherungen wählen")))
        settings_.setPath(P::prefsBackupPath, *folder);
}

void QuandorAppDelegate::setDocumentsPath() {
    if (auto folder = ui_.chooseFolder(QStringLiteral("Ordner für die Dokumente wählen")))
        settings_.setPath(P::prefsDocPath, *folder);
}

}  // namespace quandor
