// accounts load complete|standard|minimal [--yes]: the account list replaced
// by a shipped chart, after the same question as the desktop program.

#include "cli/cli.h"
#include "cli/session.h"
#include "core/datev_load.h"

namespace quandor::cli {

namespace {

std::optional<datev::Chart> chartNamed(const QString& name) {
    if (name == QStringLiteral("complete")) return datev::Chart::Complete;
    if (name == QStringLiteral("standard")) return datev::Chart::Standard;
    if (name == QStringLiteral("minimal")) return datev::Chart::Minimal;
    return std::nullopt;
}

}  // namespace

int accountsCommand(const Context& ctx, const Args& args) {
    const QStringList& w = args.words();
    const auto chart =
        w.size() == 2 && w[0] == QStringLiteral("load") ? chartNamed(w[1]) : std::nullopt;
    if (!chart) {
        ctx.error(
            QStringLiteral("Aufruf: quandor-cli accounts load complete|standard|minimal [--yes]"));
        return kUsage;
    }
    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    session->ui().setAnswerYes(args.flag(QStringLiteral("--yes")));

    RecordList& accounts = session->database().accounts;
    if (!datev::loadChart(session->ui(), accounts, *chart, datev::Ask::Question)) return kRefused;
    code = session->save();
    if (code != kDone) return code;
    ctx.printLine(QStringLiteral("%1 Konten geladen.").arg(accounts.size()));
    return kDone;
}

}  // namespace quandor::cli
