// import csv|invoice|invoices: booking items into a statement from a CSV
// file, a Fennick invoice document or a GrandTotal invoice list, through the
// item list's import operations. The summary question goes to stderr like
// every alert; its default button cancels, --yes imports.
#include "cli/cli.h"
#include "cli/session.h"
#include "core/keys.h"
#include "import/import_controller.h"

namespace quandor::cli {

namespace {

const QString kUsageText = QStringLiteral(
    "Aufruf: quandor-cli import csv --year JAHR --statement ABRECHNUNG DATEI [--yes] · import "
    "invoice --year JAHR --statement ABRECHNUNG DATEI [--date due|paid|sent] [--account TITEL] "
    "[--category KATEGORIE] [--yes] · import invoices --year JAHR --statement ABRECHNUNG DATEI "
    "--kind expense|income [--vat --rate 1-3] [--date due|sent|paid] [--account TITEL] [--category "
    "KATEGORIE] [--yes]");

int usage(const Context& ctx, const QString& why = QString()) {
    ctx.error(why.isEmpty() ? kUsageText : why);
    return kUsage;
}

int exitCode(ItemImportController::Outcome outcome) {
    switch (outcome) {
        case ItemImportController::Outcome::Imported:
            return kDone;
        case ItemImportController::Outcome::FileError:
            return kFileError;
        default:
            return kRefused;
    }
}

}  // namespace

int itemImportCommand(const Context& ctx, const Args& args) {
    const QStringList& w = args.words();
    if (w.size() != 2) return usage(ctx);
    const QString kind = w[0];
    const QString file = w[1];
    const auto year = args.option(QStringLiteral("--year"));
    const auto statement = args.option(QStringLiteral("--statement"));
    if (!year || !statement) return usage(ctx);

    const auto date = args.option(QStringLiteral("--date"));
    const auto account = args.option(QStringLiteral("--account"));
    const auto category = args.option(QStringLiteral("--category"));
    const auto itemKind = args.option(QStringLiteral("--kind"));
    const auto rate = args.option(QStringLiteral("--rate"));
    const bool vat = args.flag(QStringLiteral("--vat"));

    // What each import takes; anything else is a usage error.
    int dateTag = 0;
    int rateTag = 0;
    if (kind == QStringLiteral("csv")) {
        if (date || account || category || itemKind || rate || vat)
            return usage(ctx,
                         QStringLiteral("import csv nimmt nur --year, --statement und --yes."));
    } else if (kind == QStringLiteral("invoice")) {
        if (itemKind || rate || vat)
            return usage(
                ctx, QStringLiteral("--kind, --vat und --rate gelten nur für import invoices."));
        static const QStringList dates = {"", "due", "paid", "sent"};
        if (date) {
            dateTag = static_cast<int>(dates.indexOf(*date));
            if (dateTag <= 0)
                return usage(ctx, QStringLiteral("--date nimmt due, paid oder sent."));
        }
    } else if (kind == QStringLiteral("invoices")) {
        if (!itemKind ||
            (*itemKind != QStringLiteral("expense") && *itemKind != QStringLiteral("income")))
            return usage(
                ctx, QStringLiteral("import invoices braucht --kind expense oder --kind income."));
        if (vat != rate.has_value())
            return usage(ctx, QStringLiteral("--vat und --rate 1-3 gehören zusammen."));
        if (rate) {
            bool ok = false;
            rateTag = rate->toInt(&ok);
            if (!ok || rateTag < 1 || rateTag > 3)
                return usage(
                    ctx,
                    QStringLiteral("„%1“ ist kein Steuersatz: --rate nimmt 1 bis 3.").arg(*rate));
        }
        static const QStringList dates = {"due", "sent", "paid"};
        if (date) {
            dateTag = static_cast<int>(dates.indexOf(*date));
            if (dateTag < 0) return usage(ctx, QStringLiteral("--date nimmt due, sent oder paid."));
        }
    } else {
        return usage(ctx);
    }

    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    if (!selectStatement(ctx, *session, *year, *statement)) return kUsage;
    // The sheets offer only the accounts and categories of the lists.
    const Database& db = session->database();
    auto titled = [](const RecordList& list, const QString& title) {
        for (const RecordPtr& r : list)
            if (r->text(keys::title) == title) return true;
        return false;
    };
    if (account && !titled(db.accounts, *account))
        return usage(ctx, QStringLiteral("Das Konto „%1“ gibt es nicht.").arg(*account));
    if (category && !titled(db.groups, *category))
        return usage(ctx, QStringLiteral("Die Kategorie „%1“ gibt es nicht.").arg(*category));
    session->ui().setAnswerYes(args.flag(QStringLiteral("--yes")));

    ItemImportController controller(session->delegate().books());
    ItemImportController::Result result;
    if (kind == QStringLiteral("csv")) {
        result = controller.loadCSVFrom(file);
    } else if (kind == QStringLiteral("invoice")) {
        if (!controller.openFennickImportSheet(file))
            return exitCode(controller.lastResult().outcome);
        if (account) controller.applyFennickAccountAll(*account);
        if (category) controller.applyFennickCategoryAll(*category);
        if (dateTag != 0 && !controller.applyFennickDateAll(dateTag)) {
            controller.cancelFennickSheet();
            session->ui().discardPending();
            return kRefused;
        }
        result = controller.doTheFennickImport();
        if (result.outcome != ItemImportController::Outcome::Imported)
            controller.cancelFennickSheet();
    } else {
        if (!controller.importFileFrom(file)) return exitCode(controller.lastResult().outcome);
        controller.setImportKind(*itemKind == QStringLiteral("expense") ? kKindExpense
                                                                        : kKindIncome);
        controller.setImportTax(vat);
        controller.setImportRateTag(rateTag);
        controller.setImportDateTag(dateTag);
        if (account) controller.setImportAccount(*account);
        if (category) controller.setImportCategory(*category);
        result = controller.doTheImport();
        if (result.outcome != ItemImportController::Outcome::Imported) controller.cancelSheet();
    }
    session->ui().drain();
    if (result.outcome != ItemImportController::Outcome::Imported) return exitCode(result.outcome);

    code = session->save();
    if (code != kDone) return code;
    ctx.printLine(QStringLiteral("%1 Posten importiert.").arg(result.items));
    return kDone;
}

}  // namespace quandor::cli
