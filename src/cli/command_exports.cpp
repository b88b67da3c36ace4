// export statement and export summary: the export sheet of a statement and its
// printed pages, written to a file without a window.
#include "bookkeeping/datev_export.h"
#include "bookkeeping/statement_print_controller.h"
#include "bookkeeping/totals_controller.h"
#include "cli/cli.h"
#include "cli/session.h"
#include "core/keys.h"

#include <QFileInfo>

namespace quandor::cli {

namespace {

const QString kUsageText = QStringLiteral(
    "Aufruf: quandor-cli export statement --year JAHR --statement ABRECHNUNG --format "
    "pdf|rtf|csv|csv-semicolon|xml|qndbt --out DATEI · export summary --year JAHR --statement "
    "ABRECHNUNG --out DATEI.pdf");

// The export sheet's formats by their names on the command line.
std::optional<ExportFormat> exportFormat(const QString& format) {
    if (format == u"pdf") return ExportFormat::Pdf;
    if (format == u"rtf") return ExportFormat::Rtf;
    if (format == u"csv") return ExportFormat::Csv;
    if (format == u"xml") return ExportFormat::Xml;
    if (format == u"qndbt") return ExportFormat::StatementFile;
    if (format == u"csv-semicolon") return ExportFormat::CsvSemicolon;
    return std::nullopt;
}

}  // namespace

int statementExportCommand(const Context& ctx, const Args& args) {
    const QStringList& w = args.words();
    const auto yearName = args.option(QStringLiteral("--year"));
    const auto title = args.option(QStringLiteral("--statement"));
    const auto out = args.option(QStringLiteral("--out"));
    const auto format = args.option(QStringLiteral("--format"));
    if (w.size() != 1 || !yearName || !title || !out || out->isEmpty()) {
        ctx.error(kUsageText);
        return kUsage;
    }
    const bool summary = w[0] == u"summary";
    if (summary && format) {
        ctx.error(kUsageText);
        return kUsage;
    }
    if (!summary && (w[0] != u"statement" || !format)) {
        ctx.error(kUsageText);
        return kUsage;
    }
    const std::optional<ExportFormat> chosen = summary ? std::nullopt : exportFormat(*format);
    if (!summary && !chosen) {
        ctx.error(QStringLiteral(
                      "Unbekanntes Exportformat „%1“ (pdf, rtf, csv, csv-semicolon, xml, qndbt).")
                      .arg(*format));
        return kUsage;
    }

    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    QuandorAppDelegate& app = session->delegate();
    if (!selectStatement(ctx, *session, *yearName, *title)) return kUsage;
    app.selection().refresh();

    TotalsController totals(app.books());
    if (summary) {
        const ExportResult result = totals.exportSummaryTo(QFileInfo(*out).absoluteFilePath());
        session->ui().drain();
        return exitCodeOf(result);
    }
    StatementPrintController controller(app.books(), totals);
    controller.openTabJournalExport();
    session->ui().drain();
    if (controller.printSheet() != StatementPrintController::PrintSheet::Export) return kRefused;
    controller.cancelTabJournalExport();
    return exitCodeOf(controller.exportStatementTo(*chosen, QFileInfo(*out).absoluteFilePath()));
}

// export datev: the DATEV booking batch of a year or of one of its statements.
int datevExportCommand(const Context& ctx, const Args& args) {
    const QString usage = QStringLiteral(
        "Aufruf: quandor-cli export datev --year JAHR [--statement ABRECHNUNG] --out DATEI "
        "[--yes]");
    const auto yearName = args.option(QStringLiteral("--year"));
    const auto title = args.option(QStringLiteral("--statement"));
    const auto out = args.option(QStringLiteral("--out"));
    if (args.words().size() != 1 || args.option(QStringLiteral("--format")) || !yearName || !out ||
        out->isEmpty()) {
        ctx.error(usage);
        return kUsage;
    }
    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    session->ui().setAnswerYes(args.flag(QStringLiteral("--yes")));
    QuandorAppDelegate& app = session->delegate();
    const RecordPtr year = yearNamed(app.database(), *yearName);
    if (!year) {
        ctx.error(QStringLiteral("Das Jahr „%1“ gibt es nicht.").arg(*yearName));
        return kUsage;
    }
    RecordPtr statement;
    if (title) {
        statement = statementTitled(year, *title);
        if (!statement) {
            ctx.error(QStringLiteral("Die Abrechnung „%1“ gibt es im Jahr %2 nicht.")
                          .arg(*title, *yearName));
            return kUsage;
        }
    }
    DatevExportController controller(app.books());
    return exitCodeOf(
        controller.exportBookings(*year, statement.get(), QFileInfo(*out).absoluteFilePath()));
}

}  // namespace quandor::cli
