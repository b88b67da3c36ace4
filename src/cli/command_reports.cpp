// report and report-data: the four annual reports of the reports window,
// written as a page or printed as their figures, without a window.
#include "cli/cli.h"
#include "cli/session.h"
#include "core/archive/canonical_json.h"
#include "core/keys.h"
#include "reports/journal_controller.h"

#include <QFileInfo>

namespace quandor::cli {

namespace {

using Report = JournalController::Report;

const QString kReportUsage = QStringLiteral(
    "Aufruf: quandor-cli report --year JAHR --kind umsatz|monate|steuern|gewinne --format "
    "html|pdf|rtf|csv|csv-semicolon|xml|qndby --out DATEI");
const QString kPackageUsage =
    QStringLiteral("Aufruf: quandor-cli package --year JAHR [--out ORDNER]");
const QString kDataUsage = QStringLiteral(
    "Aufruf: quandor-cli report-data --year JAHR --kind umsatz|monate|steuern|gewinne");

std::optional<Report> reportOf(const QString& kind) {
    if (kind == u"umsatz") return Report::Umsatz;
    if (kind == u"monate") return Report::Monate;
    if (kind == u"steuern") return Report::Steuern;
    if (kind == u"gewinne") return Report::Gewinne;
    return std::nullopt;
}

// Checks --kind, opens the books and selects --year; kDone or the exit code
// after saying what is wrong.
int prepare(const Context& ctx, const Args& args, const QString& usage,
            std::unique_ptr<Session>* session, Report* report) {
    const auto year = args.option(QStringLiteral("--year"));
    const auto kind = args.option(QStringLiteral("--kind"));
    if (!args.words().isEmpty() || !year || !kind) {
        ctx.error(usage);
        return kUsage;
    }
    const auto chosen = reportOf(*kind);
    if (!chosen) {
        ctx.error(QStringLiteral("Unbekannter Bericht „%1“ (umsatz, monate, steuern, gewinne).")
                      .arg(*kind));
        return kUsage;
    }
    *report = *chosen;
    int code = kDone;
    *session = Session::open(ctx, &code);
    if (!*session) return code;
    const RecordList& years = (*session)->database().years;
    for (size_t i = 0; i < years.size(); ++i) {
        if (years[i]->text(keys::dateValue) != *year) continue;
        (*session)->delegate().selection().setYearIndex(static_cast<int>(i));
        return kDone;
    }
    ctx.error(QStringLiteral("Das Jahr „%1“ gibt es nicht.").arg(*year));
    return kUsage;
}

}  // namespace

int reportCommand(const Context& ctx, const Args& args) {
    const auto format = args.option(QStringLiteral("--format"));
    const auto out = args.option(QStringLiteral("--out"));
    if (!format || !out || out->isEmpty()) {
        ctx.error(kReportUsage);
        return kUsage;
    }
    using Format = JournalController::ExportFormat;
    std::optional<Format> exportFormat;
    if (*format == u"rtf") exportFormat = Format::Rtf;
    if (*format == u"csv") exportFormat = Format::Csv;
    if (*format == u"csv-semicolon") exportFormat = Format::CsvSemicolon;
    if (*format == u"xml") exportFormat = Format::Xml;
    if (*format == u"qndby") exportFormat = Format::YearFile;
    if (*format != u"html" && *format != u"pdf" && !exportFormat) {
        ctx.error(QStringLiteral(
                      "Unbekanntes Format „%1“ (html, pdf, rtf, csv, csv-semicolon, xml, qndby).")
                      .arg(*format));
        return kUsage;
    }
    std::unique_ptr<Session> session;
    Report report = Report::None;
    const int code = prepare(ctx, args, kReportUsage, &session, &report);
    if (code != kDone) return code;
    JournalController journal(session->delegate().books());
    const QString path = QFileInfo(*out).absoluteFilePath();
    const ExportResult result =
        exportFormat
            ? (journal.statementsPresent() ? journal.exportReportTo(report, *exportFormat, path)
                                           : ExportResult::Refused)
            : journal.writeReportTo(report, *format == u"pdf", path);
    session->syncSettings();
    return exitCodeOf(result);
}

int packageCommand(const Context& ctx, const Args& args) {
    const auto year = args.option(QStringLiteral("--year"));
    const auto out = args.option(QStringLiteral("--out"));
    if (!args.words().isEmpty() || !year || (out && out->isEmpty())) {
        ctx.error(kPackageUsage);
        return kUsage;
    }
    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    const RecordList& years = session->database().years;
    bool found = false;
    for (size_t i = 0; i < years.size() && !found; ++i) {
        if (years[i]->text(keys::dateValue) != *year) continue;
        session->delegate().selection().setYearIndex(static_cast<int>(i));
        found = true;
    }
    if (!found) {
        ctx.error(QStringLiteral("Das Jahr „%1“ gibt es nicht.").arg(*year));
        return kUsage;
    }
    JournalController journal(session->delegate().books());
    const bool started =
        journal.steuerberaterAction(out ? QFileInfo(*out).absoluteFilePath() : QString(), false);
    session->ui().drain();
    session->syncSettings();
    if (!started) return kRefused;
    const JournalController::PackageOutcome& outcome = journal.lastPackage();
    QString text = outcome.folder + u'\n';
    for (const QString& entry : outcome.written)
        text += QStringLiteral("geschrieben: %1\n").arg(entry);
    for (const QString& entry : outcome.failed)
        text += QStringLiteral("fehlgeschlagen: %1\n").arg(entry);
    ctx.print(text.toUtf8());
    return outcome.failed.isEmpty() ? kDone : kFileError;
}

int reportDataCommand(const Context& ctx, const Args& args) {
    std::unique_ptr<Session> session;
    Report report = Report::None;
    const int code = prepare(ctx, args, kDataUsage, &session, &report);
    if (code != kDone) return code;
    JournalController journal(session->delegate().books());
    if (!journal.statementsPresent()) return kRefused;
    ctx.print(archive::canonicalJson(journal.reportData(report)) + '\n');
    return kDone;
}

}  // namespace quandor::cli
