// overview: the year overview of the main window's "Übersicht" sheet, as JSON
// or as its printed page.
#include "bookkeeping/uebersicht_controller.h"
#include "cli/cli.h"
#include "cli/session.h"
#include "core/archive/canonical_json.h"
#include "core/keys.h"

namespace quandor::cli {

namespace {

std::shared_ptr<Dict> figures(const OverviewFigures& f) {
    auto dict = std::make_shared<Dict>();
    dict->set(Key(QStringLiteral("income")), Value::real(f.income, true));
    dict->set(Key(QStringLiteral("expense")), Value::real(f.expense, true));
    dict->set(Key(QStringLiteral("result")), Value::real(f.result, true));
    return dict;
}

}  // namespace

int overviewCommand(const Context& ctx, const Args& args) {
    const QString usage =
        QStringLiteral("Aufruf: quandor-cli overview --year JAHR [--out DATEI.pdf]");
    const auto yearName = args.option(QStringLiteral("--year"));
    if (!args.words().isEmpty() || !yearName) {
        ctx.error(usage);
        return kUsage;
    }
    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    const int yearIndex = yearIndexNamed(session->database(), *yearName);
    if (yearIndex < 0) {
        ctx.error(QStringLiteral("Das Jahr „%1“ gibt es nicht.").arg(*yearName));
        return kUsage;
    }
    session->delegate().selection().setYearIndex(yearIndex);

    UebersichtController overview(session->delegate().books());
    if (!overview.generateUebersicht()) return kRefused;
    if (const auto out = args.option(QStringLiteral("--out"))) {
        const ExportResult written = overview.printUebersichtTo(*out);
        session->syncSettings();
        return written == ExportResult::Written ? kDone : kFileError;
    }
    const YearOverview& o = overview.overview();
    auto root = figures(o.year);
    root->set(Key(QStringLiteral("year")), Value(o.yearName));
    auto months = std::make_shared<ValueList>();
    for (size_t i = 0; i < o.months.size(); ++i) {
        const OverviewMonth& m = o.months[i];
        auto month = figures(m);
        month->set(Key(QStringLiteral("month")), Value(static_cast<int>(i + 1)));
        month->set(Key(QStringLiteral("items")), Value(m.items));
        month->set(Key(QStringLiteral("incomeShare")), Value::real(m.incomeShare, true));
        month->set(Key(QStringLiteral("expenseShare")), Value::real(m.expenseShare, true));
        months->push_back(Value(month));
    }
    root->set(Key(QStringLiteral("months")), Value(months));
    ctx.print(archive::canonicalJson(Value(root)) + '\n');
    return kDone;
}

}  // namespace quandor::cli
