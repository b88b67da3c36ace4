#pragma once
// Several users (companies) side by side: the users list "Accounts.plist" in
// the data folder (an XML property list: an array of dictionaries), each user
// with its own database file "<data folder>/<pfad>_Quandor_Multiple.mdb".
//
// A users list that cannot be read is never overwritten: the program starts
// with an empty list, says so, and keeps the damaged file beside the new one
// ("Accounts.plist.beschädigt") before the first save writes a new list.

#include "core/value.h"

#include <QString>

#include <optional>
#include <vector>

namespace quandor {

class QuandorAppDelegate;
class Settings;
struct Paths;

namespace userkeys {
inline const Key pfad{u"pfad"};
inline const Key firma{u"firma"};
inline const Key steuernummer{u"steuernummer"};
inline const Key elster{u"elster"};
inline const Key art{u"art"};
inline const Key misc1{u"misc1"};
inline const Key misc2{u"misc2"};
inline const Key misc3{u"misc3"};
inline const Key misc4{u"misc4"};
inline const Key misc5{u"misc5"};
}  // namespace userkeys

// ---- the file ----------------------------------------------------------------------------

// Reads a users list; an absent file gives an empty list. Nothing with a German
// reason when the file exists but is no users list.
std::optional<std::vector<Dict>> readUsersFile(const QString& path, QString* error);
// Writes the list atomically as an XML property list.
bool writeUsersFile(const QString& path, const std::vector<Dict>& users, QString* error);

// An entry with every key: "pfad" as given, the texts as given, "misc1" … "misc5" empty.
Dict makeUser(const QString& pfad, const QString& firma = {}, const QString& steuernummer = {},
              const QString& elster = {}, int64_t art = 0);

// The folder of the users list and the users' databases: the custom folder when
// "useCustomLocation" is set, else the default data folder (created when absent).
QString usersDataFolder(const Settings& settings, const Paths& paths);
QString usersFilePath(const QString& dataFolder);  // …/Accounts.plist
QString userDatabasePath(const QString& dataFolder,
                         const QString& pfad);  // …/<pfad>_Quandor_Multiple.mdb

// ---- the "Benutzer" page's controller --------------------------------------------------

class UsersController {
  public:
    // Owned by the delegate (QuandorAppDelegate::users()).
    explicit UsersController(QuandorAppDelegate& delegate);

    // Reads "Accounts.plist" and selects the row stored in "multipleAccountsControllerIndex".
    void loadDataFromDisk();
    // Writes the list; a failure is told in German. True when written.
    bool saveDataToDisk();

    const std::vector<Dict>& data() const { return users_; }
    QString dataPath() const { return dataPath_; }
    int selectedRow() const { return selected_; }
    void setSelectedRow(int row);
    QString selectedUserID() const;  // empty when nothing is selected
    std::optional<Dict> findUser(const QString& id) const;
    // Changes one entry (the page's table edits "firma", "steuernummer", "elster", "art").
    void setUser(int row, const Dict& entry);

    // Whether the list was read (the desktop reads it at start, a command only when it needs it).
    bool loaded() const { return loaded_; }

    // The switch for several users (its new state is already in the settings).
    void multipleAccountsAction();
    // Adds a user that starts with a copy of the open database. The new entry.
    std::optional<Dict> addRoot();
    // Deletes the selected user after the question. True when deleted.
    bool deleteRoot();
    // Deletes the user `id` after the question (quandor-cli). True when deleted.
    bool deleteUser(const QString& id);

    // Start with several users but an empty list: the first user is made from
    // the current settings, as switching the feature on does. The user to offer.
    void ensureFirstUser();

  private:
    QString now() const;
    bool createFirstUser();
    void copyOpenDatabaseTo(const QString& pfad);

    QuandorAppDelegate& d_;
    std::vector<Dict> users_;
    QString dataPath_;
    int selected_ = -1;
    bool damaged_ = false;  // the file on disk could not be read: keep it before writing
    bool loaded_ = false;
};

}  // namespace quandor
