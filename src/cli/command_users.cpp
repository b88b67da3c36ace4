// users list · users add · users delete ID [--yes]: the users list of the
// preference page "Benutzer".

#include "cli/cli.h"
#include "cli/session.h"
#include "core/archive/canonical_json.h"
#include "core/settings_keys.h"
#include "core/users.h"

namespace quandor::cli {

namespace {

const QString kUsersUsage =
    QStringLiteral("Aufruf: quandor-cli users list · users add · users delete ID [--yes]");

QByteArray usersJson(const std::vector<Dict>& users) {
    ValueList list;
    for (const Dict& u : users) list.emplace_back(std::make_shared<Dict>(u));
    return archive::canonicalJson(Value::list(std::move(list)));
}

}  // namespace

// --user ID: the user is taken as the selection window takes it, so every path
// resolution of this command uses that user's database and values.
bool chooseUser(const Context& ctx, Settings& settings, QuandorAppDelegate& delegate,
                int* exitCode) {
    *exitCode = kUsage;
    if (!ctx.global.dbPath.isEmpty()) {
        ctx.error(QStringLiteral("--user und --db schließen einander aus."));
        return false;
    }
    if (!settings.getBool(prefs::prefsUseMultipleAccounts)) {
        ctx.error(
            QStringLiteral("Mehrere Benutzer sind nicht eingeschaltet; --user gilt nur dann."));
        return false;
    }
    const QString path = usersFilePath(usersDataFolder(settings, delegate.paths()));
    QString error;
    const auto users = readUsersFile(path, &error);
    if (!users) {
        ctx.error(QStringLiteral("Fehler!: Die Benutzerliste „%1“ kann nicht gelesen werden: %2")
                      .arg(path, error));
        *exitCode = kFileError;
        return false;
    }
    for (const Dict& user : *users)
        if (user.text(userkeys::pfad) == ctx.global.user) {
            delegate.chooseUser(user);  // the path resolution takes the chosen entry
            *exitCode = kDone;
            return true;
        }
    ctx.error(QStringLiteral("Einen Benutzer mit der ID „%1“ gibt es nicht.").arg(ctx.global.user));
    return false;
}

int usersCommand(const Context& ctx, const Args& args) {
    const QStringList& w = args.words();
    const QString sub = w.isEmpty() ? QString() : w[0];
    const bool valid = (sub == "list" && w.size() == 1) || (sub == "add" && w.size() == 1) ||
                       (sub == "delete" && w.size() == 2);
    if (!valid) {
        ctx.error(kUsersUsage);
        return kUsage;
    }
    int code = kDone;
    // Adding copies the open database, so only "add" opens it.
    auto session = Session::open(ctx, &code, sub == "add");
    if (!session) return code;
    session->ui().setAnswerYes(args.flag(QStringLiteral("--yes")));
    UsersController& users = session->delegate().users();
    users.loadDataFromDisk();
    const int alertsBefore = session->ui().alertCount();

    if (sub == "list") {
        if (alertsBefore > 0) return kFileError;  // the list could not be read; told on stderr
        ctx.print(usersJson(users.data()) + '\n');
        return kDone;
    }
    if (sub == "add") {
        const auto user = users.addRoot();
        const int saved = session->save();
        if (!user) return kRefused;
        if (saved != kDone) return saved;
        ctx.print(usersJson({*user}) + '\n');
        return kDone;
    }
    if (!users.findUser(w[1])) {
        ctx.error(QStringLiteral("Einen Benutzer mit der ID „%1“ gibt es nicht.").arg(w[1]));
        return kUsage;
    }
    if (!users.deleteUser(w[1])) return kRefused;
    ctx.printLine(QStringLiteral("Benutzer %1 gelöscht.").arg(w[1]));
    return kDone;
}

}  // namespace quandor::cli
