// dump, check and generate: the commands that work on archive files directly.
#include "cli/cli.h"
#include "cli/generator.h"
#include "core/archive/archive.h"
#include "core/archive/canonical_json.h"
#include "core/atomic_file.h"
#include "core/database.h"

#include <QFile>
#include <QFileInfo>

namespace quandor::cli {

namespace {

// Booking items, statements and the other counts of a loaded database.
QByteArray countsJson(const Database& db) {
    size_t statements = 0;
    for (const RecordPtr& year : db.years) statements += year->thelists().size();
    // Keys in code-point order, like every JSON the program prints.
    return QStringLiteral(
               "{\"accounts\":%1,\"allowances\":%2,\"cashbooks\":%3,\"groups\":%4,\"inventorys\":%"
               "5,"
               "\"items\":%6,\"statements\":%7,\"templates\":%8,\"years\":%9}")
        .arg(db.accounts.size())
        .arg(db.allowances.size())
        .arg(db.cashbooks.size())
        .arg(db.groups.size())
        .arg(db.inventorys.size())
        .arg(db.itemCount())
        .arg(statements)
        .arg(db.items.size())
        .arg(db.years.size())
        .toUtf8();
}

}  // namespace

int dumpCommand(const Context& ctx, const Args& args) {
    if (args.words().size() != 1) {
        ctx.error(QStringLiteral("Aufruf: quandor-cli dump DATEI"));
        return kUsage;
    }
    const archive::ReadResult result = archive::readFile(args.words().first());
    if (!result.ok) {
        ctx.error(result.error);
        return kFileError;
    }
    ctx.print(archive::canonicalJson(result.root) + '\n');
    return kDone;
}

int checkCommand(const Context& ctx, const Args& args) {
    QString path;
    if (args.words().size() == 1)
        path = args.words().first();
    else if (args.words().isEmpty())
        path = ctx.global.dbPath;
    else {
        ctx.error(QStringLiteral("Aufruf: quandor-cli check [DATEI]"));
        return kUsage;
    }
    if (path.isEmpty()) path = openDatabasePath(ctx);
    // Exactly the rules of loading the database at start.
    QString problem;
    const std::optional<Database> db = Database::fromFile(archive::readFile(path), &problem);
    if (!db) {
        ctx.error(problem);
        return kFileError;
    }
    ctx.print(countsJson(*db) + '\n');
    releaseAtExit(std::make_shared<const Database>(std::move(*db)));
    return kDone;
}

int generateCommand(const Context& ctx, const Args& args) {
    const auto items = args.option("--items");
    const auto out = args.option("--out");
    if (!items || !out || !args.words().isEmpty()) {
        ctx.error(QStringLiteral(
            "Aufruf: quandor-cli generate --items N [--seed S] [--unshared] [--journal DATEI] "
            "[--documents ORDNER [--document-every N]] --out DATEI"));
        return kUsage;
    }
    GeneratorOptions options;
    bool ok = false;
    options.items = items->toLongLong(&ok);
    if (!ok || options.items < 0) {
        ctx.error(QStringLiteral("„%1“ ist keine gültige Anzahl von Posten.").arg(*items));
        return kUsage;
    }
    if (const auto seed = args.option("--seed")) {
        options.seed = seed->toULongLong(&ok);
        if (!ok) {
            ctx.error(QStringLiteral("„%1“ ist kein gültiger Startwert.").arg(*seed));
            return kUsage;
        }
    }
    if (const auto documents = args.option("--documents")) {
        options.documentsFolder = QFileInfo(*documents).absoluteFilePath();
        options.documentEvery = 50;
        if (const auto every = args.option("--document-every")) {
            options.documentEvery = every->toInt(&ok);
            if (!ok || options.documentEvery < 1) {
                ctx.error(QStringLiteral("„%1“ ist keine gültige Anzahl von Posten.").arg(*every));
                return kUsage;
            }
        }
    }
    const Database db = generateDatabase(options);
    // --unshared: the layout of a writer that merges no equal values (see archive.h).
    const QByteArray bytes =
        archive::write(db.toRoot(), args.flag("--unshared") ? archive::Sharing::Separate
                                                            : archive::Sharing::Shared);
    QString reason;
    if (!writeFileAtomically(*out, bytes, &reason)) {
        ctx.error(
            QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden: %2").arg(*out, reason));
        return kFileError;
    }
    if (const auto journal = args.option("--journal")) {
        if (!writeFileAtomically(*journal, ledgerJournal(db), &reason)) {
            ctx.error(QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden: %2")
                          .arg(*journal, reason));
            return kFileError;
        }
    }
    return kDone;
}

}  // namespace quandor::cli
