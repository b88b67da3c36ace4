// export statement and export summary: the export sheet of a statement and its
// printed pages, written to a file without a window.
#include "bookkeeping/add_controller.h"
#include "cli/cli.h"
#include "cli/session.h"
#include "core/keys.h"

#include <QFileInfo>

namespace quandor::cli {

namespace {

const QString kUsageText = QStringLiteral(
    "Aufruf: quandor-cli export statement --year JAHR --statement ABRECHNUNG "
    "--format pdf|rtf|csv|csv-semicolon|xml|qndbt --out DATEI · "
    "export summary --year JAHR --statement ABRECHNUNG --out DATEI.pdf");

// The export sheet's values of "prefsSelectedExportTab" by format name.
std::optional<int> exportTab(const QString& format) {
    if (format == u"pdf") return 0;
    if (format == u"rtf") return 1;
    if (format == u"csv") return 2;
    if (format == u"xml") return 3;
    if (format == u"qndbt") return 4;
    if (format == u"csv-semicolon") return 9;
    return std::nullopt;
}

// Selects the year and statement named; false after telling which is missing.
bool selectStatement(const Context& ctx, QuandorAppDelegate& app, const QString& yearName,
                     const QString& title) {
    const RecordList& years = app.database().years;
    for (size_t y = 0; y < years.size(); ++y) {
        if (years[y]->text(keys::dateValue) != yearName) continue;
        const RecordList& lists = years[y]->thelists();
        for (size_t s = 0; s < lists.size(); ++s) {
            if (lists[s]->text(keys::title) != title) continue;
            app.selection().setYearIndex(int(y));
            app.selection().setStatementIndex(int(s));
            app.selection().refresh();
            return true;
        }
        ctx.error(QStringLiteral("Die Abrechnung „%1“ gibt es im Jahr %2 nicht.").arg(title, yearName));
        return false;
    }
    ctx.error(QStringLiteral("Das Jahr „%1“ gibt es nicht.").arg(yearName));
    return false;
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
    const std::optional<int> tab = summary ? std::optional<int>() : exportTab(*format);
    if (!summary && !tab) {
        ctx.error(QStringLiteral("Unbekanntes Exportformat „%1“ (pdf, rtf, csv, csv-semicolon, xml, qndbt).")
                      .arg(*format));
        return kUsage;
    }

    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    QuandorAppDelegate& app = session->delegate();
    if (!selectStatement(ctx, app, *yearName, *title)) return kUsage;

    AddController controller(app);
    if (summary) {
        const AddController::ExportResult result =
            controller.exportSummaryTo(QFileInfo(*out).absoluteFilePath());
        session->ui().drain();
        switch (result) {
            case AddController::ExportResult::Written: return kDone;
            case AddController::ExportResult::Failed: return kFileError;
            default: return kRefused;
        }
    }
    controller.openTabJournalExport();
    session->ui().drain();
    if (controller.printSheet() != AddController::PrintSheet::Export) return kRefused;
    controller.cancelTabJournalExport();
    switch (controller.exportStatementTo(*tab, QFileInfo(*out).absoluteFilePath())) {
        case AddController::ExportResult::Written: return kDone;
        case AddController::ExportResult::Failed: return kFileError;
        default: return kRefused;
    }
}

}  // namespace quandor::cli
