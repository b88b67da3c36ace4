#include "core/users.h"

#include "core/app_delegate.h"
#include "core/atomic_file.h"
#include "core/paths.h"
#include "core/settings.h"
#include "core/settings_keys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <plist/plist.h>

#include <cstdlib>
#include <memory>

namespace quandor {

namespace P = prefs;
namespace U = userkeys;

namespace {

const QString kOK = QStringLiteral("OK");

const QString kSwitchMessage = QStringLiteral(
    "Quandor unterstützt ab sofort die Verwaltung von mehreren Benutzern (Firmen) und legt dafür "
    "eigene Datenbanken an. Sofern aktiviert, kann dann beim Start von Quandor der jeweilige "
    "Benutzer (also die Datenbank) ausgewählt werden.\n\nBeim ersten Aktivieren wird die aktualle "
    "Datenbank automatisch kopiert und die verwendeten Einstellungen als Benutzer angelegt. Später "
    "neu hinzugefügte Benutzer übernehmen automatisch die aktive Datenbank, um unachtsames Löschen "
    "oder Uberschreiben zu verhindern. Sofern schon andere Daten vorhanden sein sollten, können "
    "diese dann ja einfach mittels 'Ablage Menü' importiert werden.\n\nSelbstverständlich kann "
    "Quandor immer nur die aktuell verwendete Datenbank automatisch im laufenden Betrieb sichern "
    "und auch nur von der eine Sicherung anlegen. Drum sei dir hiermit dringend die Verwendung der "
    "Time Machine angeraten. Solltest du zusätzlich noch die Dropbox oder ähnliches verwenden - so "
    "denke bitte daran, dass du - und NUR du - für deine Daten verantwortlich bist!\n\nDenke bitte "
    "auch daran, dass du natürlich für jeden Benutzer eigene Konten und bei Bedarf auch eigene "
    "Kategorien anlegen musst.");

const QString kAddMessage = QStringLiteral(
    "Dies ist nur zum Anlegen und Löschen von Benutzern gedacht - nicht zum Auswählen. Dies "
    "geschieht beim Start von Quandor, wenn die Verwendung von mehreren  Benutzern aktiviert "
    "ist.\n\nPro Benutzer wird eine eigene Datenbank angelegt und nur die gerade aktive kann auch "
    "gesichert werden.\n\nUnd ja, um das unabsichtliche Löschen der aktiven Datenbank auf jeden "
    "Fall zu verhindern übernehmen neu angelegte Benutzer automatisch erst einmal die gerade "
    "aktiven Daten. Das ist nicht elegant - ich weiß - aber lieber so, als auf einmal ohne Daten "
    "dazustehen.\n\nNach dem Anlegen eines neuen Benutzers Quandor einfach neu starten und bei "
    "Bedarf 'alte' Daten löschen, bearbeiten oder importieren und alles ist gut.");

const QString kDeleteMessage = QStringLiteral(
    "Das Löschen von Benutzern ist permanent und kann nicht rückgängig gemacht werden - meint "
    "sämtliche Daten sind unwiederbringlich verloren. Dennoch ausgewählten Benutzer löschen?");

struct PlistDeleter {
    void operator()(plist_t p) const {
        if (p) plist_free(p);
    }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

QString plistText(plist_t node) {
    char* s = nullptr;
    plist_get_string_val(node, &s);
    QString out = s ? QString::fromUtf8(s) : QString();
    std::free(s);
    return out;
}

std::optional<Value> plistToValue(plist_t node) {
    switch (plist_get_node_type(node)) {
        case PLIST_STRING:
            return Value(plistText(node));
        case PLIST_UINT: {
            uint64_t v = 0;
            plist_get_uint_val(node, &v);
            return Value(static_cast<int64_t>(v));
        }
        case PLIST_REAL: {
            double d = 0;
            plist_get_real_val(node, &d);
            return Value::real(d, true);
        }
        case PLIST_BOOLEAN: {
            uint8_t b = 0;
            plist_get_bool_val(node, &b);
            return Value(b != 0);
        }
        default:
            return std::nullopt;  // dates, data, nested lists: not part of a users list
    }
}

plist_t valueToPlist(const Value& v) {
    switch (v.type()) {
        case Value::Type::Bool:
            return plist_new_bool(v.asBool() ? 1 : 0);
        case Value::Type::Int:
            return plist_new_uint(static_cast<uint64_t>(v.asInt()));
        case Value::Type::Real:
            return plist_new_real(v.asReal().value);
        default:
            return plist_new_string(v.toString().toUtf8().constData());
    }
}

}  // namespace

// ---- the file -------------------------------------------------------------------------------

std::optional<std::vector<Dict>> readUsersFile(const QString& path, QString* error) {
    auto fail = [error](const QString& why) -> std::optional<std::vector<Dict>> {
        if (error) *error = why;
        return std::nullopt;
    };
    std::vector<Dict> users;
    QFile file(path);
    if (!file.exists()) return users;
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Die Datei kann nicht geöffnet werden."));
    if (file.size() > 16 * 1024 * 1024)
        return fail(QStringLiteral("Die Datei ist zu groß für eine Benutzerliste."));
    const QByteArray bytes = file.readAll();
    plist_t root = nullptr;
    if (!bytes.isEmpty())
        plist_from_memory(bytes.constData(), static_cast<uint32_t>(bytes.size()), &root);
    PlistPtr owned(root);
    if (!root || plist_get_node_type(root) != PLIST_ARRAY)
        return fail(QStringLiteral("Die Datei enthält keine Benutzerliste."));
    const uint32_t count = plist_array_get_size(root);
    users.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        plist_t entry = plist_array_get_item(root, i);
        if (!entry || plist_get_node_type(entry) != PLIST_DICT)
            return fail(
                QStringLiteral("Eintrag %1 der Benutzerliste ist kein Benutzer.").arg(i + 1));
        Dict user;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(entry, &it);
        for (;;) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(entry, it, &key, &value);
            if (!key) break;
            const QString name = QString::fromUtf8(key);
            std::free(key);
            if (auto v = plistToValue(value)) {
                if (auto k = Key::tryIntern(name)) user.set(*k, *v);
            }
        }
        std::free(it);
        if (user.text(U::pfad).isEmpty())
            return fail(QStringLiteral("Eintrag %1 der Benutzerliste hat keine ID.").arg(i + 1));
        users.push_back(std::move(user));
    }
    return users;
}

bool writeUsersFile(const QString& path, const std::vector<Dict>& users, QString* error) {
    PlistPtr root(plist_new_array());
    for (const Dict& user : users) {
        plist_t entry = plist_new_dict();
        for (const Dict::Entry& e : user)
            plist_dict_set_item(entry, e.key.name().toUtf8().constData(), valueToPlist(e.value));
        plist_array_append_item(root.get(), entry);
    }
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    const QByteArray bytes(xml, static_cast<qsizetype>(length));
    plist_to_xml_free(xml);
    return writeFileAtomically(path, bytes, error);
}

Dict makeUser(const QString& pfad, const QString& firma, const QString& steuernummer,
              const QString& elster, int64_t art) {
    return Dict{{U::pfad, Value(pfad)},
                {U::firma, Value(firma)},
                {U::steuernummer, Value(steuernummer)},
                {U::elster, Value(elster)},
                {U::art, Value(art)},
                {U::misc1, Value(QString())},
                {U::misc2, Value(QString())},
                {U::misc3, Value(QString())},
                {U::misc4, Value(QString())},
                {U::misc5, Value(QString())}};
}

QString usersDataFolder(const Settings& settings, const Paths& paths) {
    if (settings.getBool(P::useCustomLocation))
        return paths.expandTilde(settings.getPath(P::customLocationPath));
    const QString folder = paths.expandTilde(paths.dataFolder);
    QDir().mkpath(folder);
    return folder;
}

QString usersFilePath(const QString& dataFolder) {
    return Paths::join(dataFolder, QStringLiteral("Accounts.plist"));
}

QString userDatabasePath(const QString& dataFolder, const QString& pfad) {
    return Paths::join(dataFolder, pfad + QStringLiteral("_Quandor_Multiple.mdb"));
}

// ---- the controller -------------------------------------------------------------------------

UsersController::UsersController(QuandorAppDelegate& delegate) : d_(delegate) {}

QString UsersController::now() const {
    return QString::number(d_.now().toSecsSinceEpoch());
}

void UsersController::loadDataFromDisk() {
    dataPath_ = usersFilePath(usersDataFolder(d_.settings(), d_.paths()));
    QString error;
    auto users = readUsersFile(dataPath_, &error);
    damaged_ = !users;
    users_ = users ? std::move(*users) : std::vector<Dict>{};
    users_.reserve(10);
    loaded_ = true;
    if (damaged_)
        d_.ui().alert(
            AlertStyle::Critical, QStringLiteral("Fehler!"),
            QStringLiteral("Die Benutzerliste „%1“ kann nicht gelesen werden: %2\n\nQuandor "
                           "beginnt mit einer leeren Liste. Die beschädigte Datei bleibt als "
                           "„Accounts.plist.beschädigt“ erhalten, sobald die Liste neu gespeichert "
                           "wird; die Datenbanken der Benutzer bleiben unverändert.")
                .arg(dataPath_, error),
            {kOK});
    selected_ = -1;
    setSelectedRow(static_cast<int>(d_.settings().getInt(P::multipleAccountsControllerIndex)));
}

bool UsersController::saveDataToDisk() {
    if (dataPath_.isEmpty()) dataPath_ = usersFilePath(usersDataFolder(d_.settings(), d_.paths()));
    if (damaged_) {
        // Keep what could not be read before the new list takes its place.
        QString kept = dataPath_ + QStringLiteral(".beschädigt");
        for (int n = 2; QFileInfo::exists(kept); ++n)
            kept = dataPath_ + QStringLiteral(".beschädigt-%1").arg(n);
        if (QFileInfo::exists(dataPath_) && !QFile::rename(dataPath_, kept)) {
            d_.ui().alert(AlertStyle::Critical, QStringLiteral("Fehler!"),
                          QStringLiteral("Die beschädigte Benutzerliste „%1“ konnte nicht beiseite "
                                         "gelegt werden; die Liste wurde nicht gespeichert.")
                              .arg(dataPath_),
                          {kOK});
            return false;
        }
        damaged_ = false;
    }
    d_.settings().setInt(P::multipleAccountsControllerIndex, selected_ < 0 ? 0 : selected_);
    QString error;
    if (!writeUsersFile(dataPath_, users_, &error)) {
        d_.ui().alert(AlertStyle::Critical, QStringLiteral("Fehler!"),
                      QStringLiteral("Die Benutzerliste „%1“ konnte nicht gespeichert werden: %2")
                          .arg(dataPath_, error),
                      {kOK});
        return false;
    }
    return true;
}

void UsersController::setSelectedRow(int row) {
    if (users_.empty()) {
        selected_ = -1;
        return;
    }
    selected_ = std::clamp(row, 0, static_cast<int>(users_.size()) - 1);
}

QString UsersController::selectedUserID() const {
    if (selected_ < 0 || selected_ >= static_cast<int>(users_.size())) return {};
    return users_[static_cast<size_t>(selected_)].text(U::pfad);
}

std::optional<Dict> UsersController::findUser(const QString& id) const {
    for (const Dict& u : users_)
        if (u.text(U::pfad) == id) return u;
    return std::nullopt;
}

void UsersController::setUser(int row, const Dict& entry) {
    if (row < 0 || row >= static_cast<int>(users_.size())) return;
    users_[static_cast<size_t>(row)] = entry;
}

void UsersController::copyOpenDatabaseTo(const QString& pfad) {
    // The open data reach the file first, so the copy holds what is open now.
    if (d_.isSaveAllowed()) d_.saveDataToDisk(true);
    const QString source = d_.openDatabasePath();
    const QString target = userDatabasePath(QFileInfo(dataPath_).absolutePath(), pfad);
    if (QFileInfo::exists(target) || !QFileInfo::exists(source)) return;  // never replaced
    if (!QFile::copy(source, target))
        d_.ui().alert(
            AlertStyle::Warning, QStringLiteral("Hinweis!"),
            QStringLiteral("Die Datenbank konnte nicht nach „%1“ kopiert werden. Der neue "
                           "Benutzer beginnt mit leeren Listen.")
                .arg(target),
            {kOK});
}

bool UsersController::createFirstUser() {
    if (!users_.empty()) return false;
    const Settings& s = d_.settings();
    Dict user = makeUser(now(), s.getText(P::prefsCompany), s.getText(P::prefsTaxID),
                         s.getText(P::prefsELSTERID), s.getInt(P::prefsUseTaxesGlobal));
    users_.push_back(user);
    selected_ = 0;
    copyOpenDatabaseTo(user.text(U::pfad));
    return true;
}

void UsersController::multipleAccountsAction() {
    d_.ui().alert(AlertStyle::Critical, QStringLiteral("Wichtig!"), kSwitchMessage, {kOK});
    d_.ui().schedule(100, [this] {
        if (dataPath_.isEmpty()) loadDataFromDisk();
        createFirstUser();
        saveDataToDisk();
        d_.settings().sync();
        if (users_.size() == 1) d_.restart();
    });
}

std::optional<Dict> UsersController::addRoot() {
    d_.ui().alert(AlertStyle::Critical, QStringLiteral("Zur Erinnerung!"), kAddMessage, {kOK});
    if (dataPath_.isEmpty()) loadDataFromDisk();
    Dict user = makeUser(now());
    users_.push_back(user);
    selected_ = static_cast<int>(users_.size()) - 1;
    copyOpenDatabaseTo(user.text(U::pfad));
    saveDataToDisk();
    return user;
}

bool UsersController::deleteRoot() {
    if (selected_ < 0 || selected_ >= static_cast<int>(users_.size())) return false;
    const int answer =
        d_.ui().alert(AlertStyle::Warning, QStringLiteral("Benutzer Löschen"), kDeleteMessage,
                      {QStringLiteral("Löschen"), QStringLiteral("Abbrechen")});
    if (answer != 0) return false;
    users_.erase(users_.begin() + selected_);  // the database file stays in the data folder
    setSelectedRow(selected_);
    saveDataToDisk();
    return true;
}

bool UsersController::deleteUser(const QString& id) {
    for (size_t i = 0; i < users_.size(); ++i)
        if (users_[i].text(U::pfad) == id) {
            selected_ = static_cast<int>(i);
            return deleteRoot();
        }
    return false;
}

void UsersController::ensureFirstUser() {
    if (dataPath_.isEmpty()) loadDataFromDisk();
    if (users_.empty() && createFirstUser()) saveDataToDisk();
}

}  // namespace quandor
