// backup, export and import of the transfer files: the file menu's
// "Quandor Daten" entries without a window.

#include "cli/cli.h"
#include "cli/session.h"
#include "core/backup.h"
#include "core/keys.h"
#include "core/transfer.h"

namespace quandor::cli {

namespace {

const QString kExportUsage = QStringLiteral(
    "Aufruf: quandor-cli export database|year|statement|accounts|accounts-csv --out DATEI [--year "
    "JAHR] [--statement ABRECHNUNG]");
const QString kImportUsage = QStringLiteral(
    "Aufruf: quandor-cli import database|year|statement|accounts DATEI [--year JAHR] [--yes]");

}  // namespace

int backupCommand(const Context& ctx, const Args& args) {
    if (!args.words().isEmpty()) {
        ctx.error(QStringLiteral("Aufruf: quandor-cli backup"));
        return kUsage;
    }
    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    QuandorAppDelegate& d = session->delegate();
    const auto job = prepareBackup(d);
    if (!job) return kRefused;
    QString error;
    const bool ok = zipFolder(job->dataFolder, job->target, &error);
    finishBackup(d, *job, ok, error);
    if (!ok) return kFileError;
    ctx.printLine(job->target);
    return kDone;
}

int exportCommand(const Context& ctx, const Args& args) {
    const QStringList& w = args.words();
    if (!w.isEmpty() && w[0] == QStringLiteral("cashbook")) return cashbookExportCommand(ctx, args);
    if (!w.isEmpty() &&
        (w[0] == QStringLiteral("allowances") || w[0] == QStringLiteral("inventory")))
        return assetsExportCommand(ctx, args);
    if (!w.isEmpty() && w[0] == QStringLiteral("datev")) return datevExportCommand(ctx, args);
    // The export sheet's formats (--format …) and the summary page.
    if (args.option(QStringLiteral("--format")) ||
        (!w.isEmpty() && w[0] == QStringLiteral("summary"))) {
        return statementExportCommand(ctx, args);
    }

    static const QStringList kinds = {"database", "year", "statement", "accounts", "accounts-csv"};
    const auto out = args.option(QStringLiteral("--out"));
    if (w.size() != 1 || !kinds.contains(w[0]) || !out || out->isEmpty()) {
        ctx.error(kExportUsage);
        return kUsage;
    }
    const QString kind = w[0];
    const auto yearName = args.option(QStringLiteral("--year"));
    const auto statementTitle = args.option(QStringLiteral("--statement"));
    if ((kind == "year" || kind == "statement") && !yearName) {
        ctx.error(QStringLiteral("Es fehlt --year JAHR."));
        return kUsage;
    }
    if (kind == "statement" && !statementTitle) {
        ctx.error(QStringLiteral("Es fehlt --statement ABRECHNUNG."));
        return kUsage;
    }

    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    TransferController transfer(session->delegate());
    bool ok = false;
    if (kind == "database") {
        ok = transfer.exportDatabaseTo(*out);
    } else if (kind == "accounts") {
        ok = transfer.exportAccountsTo(*out);
    } else if (kind == "accounts-csv") {
        ok = transfer.exportAccountsCSVTo(*out);
    } else {
        const RecordPtr year = yearNamed(session->database(), *yearName);
        if (!year) {
            ctx.error(QStringLiteral("Das Jahr „%1“ gibt es nicht.").arg(*yearName));
            return kUsage;
        }
        if (kind == "year") {
            ok = transfer.exportYearTo(year, *out);
        } else {
            const RecordPtr statement = statementTitled(year, *statementTitle);
            if (!statement) {
                ctx.error(QStringLiteral("Die Abrechnung „%1“ gibt es im Jahr „%2“ nicht.")
                              .arg(*statementTitle, *yearName));
                return kUsage;
            }
            ok = transfer.exportTabTo(statement, *out);
        }
    }
    return ok ? kDone : kFileError;
}

int importCommand(const Context& ctx, const Args& args) {
    const QStringList& w = args.words();
    if (!w.isEmpty() && (w[0] == "csv" || w[0] == "invoice" || w[0] == "invoices"))
        return itemImportCommand(ctx, args);  // booking items (command_import.cpp)
    static const QStringList kinds = {"database", "year", "statement", "accounts"};
    if (w.size() != 2 || !kinds.contains(w[0])) {
        ctx.error(kImportUsage);
        return kUsage;
    }
    const QString kind = w[0];
    const QString file = w[1];
    const auto yearName = args.option(QStringLiteral("--year"));
    if (kind == "statement" && !yearName) {
        ctx.error(QStringLiteral("Es fehlt --year JAHR: das Jahr, in das die Abrechnung kommt."));
        return kUsage;
    }

    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    session->ui().setAnswerYes(args.flag(QStringLiteral("--yes")));
    QuandorAppDelegate& d = session->delegate();
    TransferController transfer(d);

    QString done;
    if (kind == "database") {
        if (!transfer.askImportDatabase()) return kRefused;
        if (!transfer.importDatabaseFrom(file)) return kFileError;
        done = QStringLiteral("Datenbank importiert: %1 Jahre, %2 Konten.")
                   .arg(d.years().size())
                   .arg(d.accounts().size());
    } else if (kind == "accounts") {
        if (!transfer.askImportAccounts()) return kRefused;
        if (!transfer.importAccountsFrom(file)) return kFileError;
        done = QStringLiteral("%1 Konten importiert.").arg(d.accounts().size());
    } else if (kind == "year") {
        if (!transfer.importYearFrom(file)) return kFileError;
        done = QStringLiteral("Jahr „%1“ importiert.").arg(d.years().back()->text(keys::dateValue));
    } else {
        const int index = yearIndexNamed(d.database(), *yearName);
        if (index < 0) {
            ctx.error(QStringLiteral("Das Jahr „%1“ gibt es nicht.").arg(*yearName));
            return kUsage;
        }
        d.selection().setYearIndex(index);
        if (!transfer.importTabFrom(file)) return kFileError;
        done =
            QStringLiteral("Abrechnung „%1“ in das Jahr „%2“ importiert.")
                .arg(d.selection().selectedYear()->thelists().back()->text(keys::title), *yearName);
    }
    code = session->save();
    if (code != kDone) return code;
    ctx.printLine(done);
    return kDone;
}

}  // namespace quandor::cli
