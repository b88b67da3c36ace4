// totals and voranmeldung: the statement totals and the VAT advance return of
// the VAT return window, without a window.
#include "bookkeeping/statement_print_controller.h"
#include "bookkeeping/statement_totals.h"
#include "bookkeeping/totals_controller.h"
#include "bookkeeping/voranmeldung.h"
#include "bookkeeping/voranmeldung_controller.h"
#include "cli/cli.h"
#include "cli/session.h"
#include "core/archive/canonical_json.h"
#include "core/keys.h"

namespace quandor::cli {

namespace {

// Selects --year and --statement (first match in list order) and applies --filter.
// kDone, or the usage error after printing it.
int selectFromArgs(const Context& ctx, const Args& args, Session& session, const QString& usage) {
    const auto yearName = args.option(QStringLiteral("--year"));
    const auto title = args.option(QStringLiteral("--statement"));
    if (!yearName || !title) {
        ctx.error(usage);
        return kUsage;
    }
    if (!selectStatement(ctx, session, *yearName, *title)) return kUsage;
    if (const auto filter = args.option(QStringLiteral("--filter")))
        session.delegate().selection().setFilterText(*filter);
    return kDone;
}

}  // namespace

int totalsCommand(const Context& ctx, const Args& args) {
    const QString usage = QStringLiteral(
        "Aufruf: quandor-cli totals --year JAHR --statement ABRECHNUNG [--filter TEXT]");
    if (!args.words().isEmpty()) {
        ctx.error(usage);
        return kUsage;
    }
    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    code = selectFromArgs(ctx, args, *session, usage);
    if (code != kDone) return code;

    TotalsController totals(session->delegate().books());
    totals.infoWindowVoid();
    if (!totals.totals()) return kRefused;
    auto dict = std::make_shared<Dict>();
    for (const TotalField& f : totalFields())
        dict->set(Key(f.settingKey), Value((*totals.totals()).*(f.member)));
    // The same figures by the official form's Kennzahlen ("Kz81" …, "Kz36" the tax on rate 3).
    auto kennzahlDict = std::make_shared<Dict>();
    for (const Kennzahl& k : kennzahlen())
        kennzahlDict->set(Key(QStringLiteral("Kz") + k.nr.toString()),
                          Value((*totals.totals()).*(k.member)));
    dict->set(Key(QStringLiteral("kennzahlen")), Value(kennzahlDict));
    session->syncSettings();
    ctx.print(archive::canonicalJson(Value(dict)) + '\n');
    return kDone;
}

int voranmeldungCommand(const Context& ctx, const Args& args) {
    const QString usage = QStringLiteral(
        "Aufruf: quandor-cli voranmeldung --year JAHR --statement ABRECHNUNG [--book take|own] "
        "[--outbox ORDNER] [--yes]");
    const auto book = args.option(QStringLiteral("--book"));
    if (!args.words().isEmpty() || (book && *book != u"take" && *book != u"own")) {
        ctx.error(usage);
        return kUsage;
    }
    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    code = selectFromArgs(ctx, args, *session, usage);
    if (code != kDone) return code;
    session->ui().setAnswerYes(args.flag(QStringLiteral("--yes")));

    QuandorAppDelegate& app = session->delegate();
    const uint64_t before = app.changeCount();
    TotalsController totals(app.books());
    StatementPrintController print(app.books(), totals);
    VoranmeldungController controller(app.books(), totals, print);
    if (!controller.openVoranmeldungsWindow()) return kRefused;
    if (book) controller.setReturnCreated(true, *book == u"take");
    session->ui().drain();  // the reminder about not-taxable revenue

    const auto outbox = args.option(QStringLiteral("--outbox"));
    const VoranmeldungController::ReturnFileResult result =
        controller.writeReturnFile(outbox.value_or(QString()));
    session->syncSettings();
    if (app.changeCount() != before) {
        code = session->save();
        if (code != kDone) return code;
    }
    if (!result.written) return kFileError;
    ctx.print(result.clipboardText.toUtf8());
    return kDone;
}

}  // namespace quandor::cli
