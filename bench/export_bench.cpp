// Speed of the statement print and exports for one statement of N items.
//
//   export_bench [N] [RUNS] [KEEP.pdf]   (defaults: 10000 items, 5 runs)
//   export_bench long [ITEMS] [LENGTH] [RUNS]
//                                        (defaults: 10000 items, 10000 characters, 3 runs)
//
// Measures, as medians over RUNS:
//  - the overview page with its item list: HTML built, written and parsed,
//    laid out and written as PDF (what opening the print or export sheet does);
//  - the RTF export of the overview (head as styled text, list row by row);
//  - the summary page with its item list as PDF;
//  - the CSV export (text, Windows-1252, atomic write);
//  - the semicolon CSV export;
//  - the XML export (text, UTF-8, atomic write).
// Runs headless on the offscreen platform, locale de_DE.
//
// "long": hostile titles, every item's title LENGTH characters without a
// blank, exported as the person does it (the export sheet opened, the format
// written) through the statement print controller, with the item list on the page:
//  - CSV, semicolon CSV and XML of ITEMS such items (no page is rendered);
//  - the overview as PDF and RTF of one such item, of 100, and of ITEMS.

#include "bookkeeping/statement_exports.h"
#include "bookkeeping/statement_pages.h"
#include "bookkeeping/statement_print_controller.h"
#include "bookkeeping/summary_page.h"
#include "bookkeeping/totals_controller.h"
#include "cli/generator.h"
#include "core/app_delegate.h"
#include "core/atomic_file.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "core/paths.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "print/print_job.h"
#include "silent_ui.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <vector>

using namespace quandor;

namespace {

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Median wall-clock time; the median CPU time of the process goes to `cpu`
// (on a busy machine the wall clock also counts the waiting for a core).
double medianMs(int runs, const std::function<void()>& work, double* cpu = nullptr) {
    std::vector<double> ms, cpus;
    for (int i = 0; i < runs; ++i) {
        const double c0 = cpuMs();
        const auto start = std::chrono::steady_clock::now();
        work();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        cpus.push_back(cpuMs() - c0);
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpus.begin(), cpus.end());
    if (cpu) *cpu = cpus[cpus.size() / 2];
    return ms[ms.size() / 2];
}

// Exports of items with titles of `length` characters without a blank, through
// the statement print controller as the export sheet runs them.
int longTitles(int64_t items, int length, int runs) {
    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("bench.conf")));
    settings.setBool(prefs::firstStepsDone, true);
    settings.setBool(prefs::prefsExportPrintWithList, true);
    settings.setText(prefs::prefsCompany, QStringLiteral("Muster GmbH"));
    bench::SilentUi ui;
    const QDateTime now =
        QDateTime::fromString(QStringLiteral("2026-05-01T12:00:00Z"), Qt::ISODate);
    QuandorAppDelegate app(settings, ui, Paths::under(dir.path()), [now] { return now; });
    TotalsController totals(app.books());
    StatementPrintController controller(app.books(), totals);

    // One statement of `n` items, every title `length` characters long.
    auto statementOf = [&](int64_t n) {
        GeneratorOptions options;
        options.items = n;
        options.itemsPerStatement = int(n);
        app.database() = generateDatabase(options);
        const RecordPtr statement = app.database().years.front()->thelists().front();
        for (const RecordPtr& item : statement->items()) {
            QString title(length, QLatin1Char('Q'));
            // every title different, so no layer can share the work
            const QString mark = QString::number(qulonglong(item.get()), 36);
            title.replace(0, std::min<qsizetype>(mark.size(), title.size()),
                          mark.left(title.size()));
            item->set(keys::title, title);
        }
        app.selection().setYearIndex(0);
        app.selection().setStatementIndex(0);
        app.selection().refresh();
    };
    double cpu = 0;
    auto exportAs = [&](ExportFormat format, const QString& name) {
        controller.openTabJournalExport();
        controller.cancelTabJournalExport();
        if (controller.exportStatementTo(format, dir.filePath(name)) != ExportResult::Written)
            std::fprintf(stderr, "export %d failed\n", int(format));
    };
    auto pdfRendered = [&] { return QFile::exists(controller.previewPdfPath()); };

    std::printf("titles of %d characters without a blank, median of %d runs\n", length, runs);
    statementOf(items);
    QFile::remove(controller.previewPdfPath());
    double ms = medianMs(
        runs, [&] { exportAs(ExportFormat::Csv, QStringLiteral("a.csv")); }, &cpu);
    std::printf("  CSV export, %6lld items:               %9.1f ms (CPU %.1f ms)\n",
                (long long)items, ms, cpu);
    ms = medianMs(
        runs, [&] { exportAs(ExportFormat::CsvSemicolon, QStringLiteral("b.csv")); }, &cpu);
    std::printf("  CSV export with semicolons, %6lld items:%9.1f ms (CPU %.1f ms)\n",
                (long long)items, ms, cpu);
    ms = medianMs(
        runs, [&] { exportAs(ExportFormat::Xml, QStringLiteral("c.xml")); }, &cpu);
    std::printf("  XML export, %6lld items:               %9.1f ms (CPU %.1f ms)\n",
                (long long)items, ms, cpu);
    std::printf("  (overview rendered by these exports: %s)\n", pdfRendered() ? "yes" : "no");

    for (const int64_t n : {int64_t(1), int64_t(100), items}) {
        if (n > items) continue;
        statementOf(n);
        const int r = n > 100 ? 1 : runs;
        ms = medianMs(
            r, [&] { exportAs(ExportFormat::Pdf, QStringLiteral("d.pdf")); }, &cpu);
        QString error;
        std::printf("  PDF export, %6lld items:               %9.1f ms (CPU %.1f ms, %d run%s)\n",
                    (long long)n, ms, cpu, r, r == 1 ? "" : "s");
        ms = medianMs(
            r, [&] { exportAs(ExportFormat::Rtf, QStringLiteral("e.rtf")); }, &cpu);
        std::printf("  RTF export, %6lld items:               %9.1f ms (CPU %.1f ms, %d run%s)\n",
                    (long long)n, ms, cpu, r, r == 1 ? "" : "s");
        if (n == items) break;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    if (argc > 1 && std::strcmp(argv[1], "long") == 0) {
        return longTitles(argc > 2 ? std::atoll(argv[2]) : 10000,
                          argc > 3 ? std::atoi(argv[3]) : 10000, argc > 4 ? std::atoi(argv[4]) : 3);
    }
    const int64_t n = argc > 1 ? std::atoll(argv[1]) : 10000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;

    GeneratorOptions options;
    options.items = n;
    options.itemsPerStatement = int(n);
    const Database db = generateDatabase(options);
    const RecordPtr year = db.years.front();
    const RecordPtr statement = year->thelists().front();
    ItemRefs listed;
    for (const RecordPtr& item : statement->items()) listed.push_back(item.get());

    QTemporaryDir dir;
    OverviewPage page;
    page.prologue = kPagePrologue;
    page.company = QStringLiteral("Muster GmbH");
    page.taxID = QStringLiteral("12/345/67890");
    page.today = mediumDateText(Date{});
    page.statement = statement.get();
    page.year = year.get();
    page.listed = listed;
    page.rates = {19.0f, 7.0f, std::nullopt};
    page.withList = true;
    {
        std::vector<uint32_t> all(statement->items().size());
        for (uint32_t i = 0; i < all.size(); ++i) all[i] = i;
        page.totals = computeStatementTotals(statement->items(), all);
    }

    double pdfCpu = 0, csvCpu = 0, csvMacCpu = 0, xmlCpu = 0;
    const double pdf = medianMs(
        runs,
        [&] {
            // What opening a sheet renders: the page data built, the whole page
            // as HTML file, the PDF as the page head followed by the painted list.
            const print::Page built = overviewPage(page);
            print::PrintJob job(built, dir.filePath(QStringLiteral("PDFPreviewTab.html")),
                                dir.filePath(QStringLiteral("PDFPreviewTab.pdf")));
            QString error;
            if (!job.render(&error)) std::fprintf(stderr, "%s\n", qPrintable(error));
        },
        &pdfCpu);
    // The RTF export: the overview's head as styled text followed by the
    // item list written row by row (what the export sheet's "Text Datei" writes).
    double rtfCpu = 0;
    const double rtf = medianMs(
        runs,
        [&] {
            const QByteArray bytes = print::rtfBytes(overviewPage(page));
            QString reason;
            if (!writeFileAtomically(dir.filePath(QStringLiteral("d.rtf")), bytes, &reason))
                std::fprintf(stderr, "%s\n", qPrintable(reason));
        },
        &rtfCpu);
    // The summary page ("Abrechnung") with its item list as PDF: what the VAT
    // return window renders whenever it computes the totals.
    SummaryPageInput summaryInput;
    summaryInput.company = page.company;
    summaryInput.taxId = page.taxID;
    summaryInput.statement = statement.get();
    summaryInput.yearName = year->text(keys::dateValue);
    summaryInput.totals = page.totals;
    summaryInput.rate1 = 19.0f;
    summaryInput.rate2 = 7.0f;
    summaryInput.withList = true;
    summaryInput.listed.assign(listed.begin(), listed.end());
    double summaryCpu = 0;
    const double summary = medianMs(
        runs,
        [&] {
            const SummaryPage sp = buildSummaryPage(summaryInput);
            print::PrintJob job(sp, dir.filePath(QStringLiteral("summary.html")),
                                dir.filePath(QStringLiteral("summary.pdf")), sp.html);
            QString error;
            if (!job.render(&error)) std::fprintf(stderr, "%s\n", qPrintable(error));
        },
        &summaryCpu);
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QString reason;
        if (!writeFileAtomically(dir.filePath(name), bytes, &reason))
            std::fprintf(stderr, "%s\n", qPrintable(reason));
    };
    const double csv = medianMs(
        runs, [&] { write(QStringLiteral("a.csv"), windows1252(csvString(listed, QLocale()))); },
        &csvCpu);
    const double csvMac = medianMs(
        runs, [&] { write(QStringLiteral("b.csv"), windows1252(csvStringMac(listed, QLocale()))); },
        &csvMacCpu);
    const double xml = medianMs(
        runs, [&] { write(QStringLiteral("c.xml"), xmlString(listed, QLocale()).toUtf8()); },
        &xmlCpu);

    if (argc > 3) {
        QFile::remove(QString::fromLocal8Bit(argv[3]));
        QFile::copy(dir.filePath(QStringLiteral("PDFPreviewTab.pdf")),
                    QString::fromLocal8Bit(argv[3]));
    }
    std::printf("statement of %lld items, median of %d runs\n", static_cast<long long>(n), runs);
    std::printf("  overview page with item list as PDF: %8.1f ms (CPU %.1f ms)\n", pdf, pdfCpu);
    std::printf("  RTF export of the overview:          %8.1f ms (CPU %.1f ms)\n", rtf, rtfCpu);
    std::printf("  summary page with item list as PDF:  %8.1f ms (CPU %.1f ms)\n", summary,
                summaryCpu);
    std::printf("  CSV export:                          %8.1f ms (CPU %.1f ms)\n", csv, csvCpu);
    std::printf("  CSV export with semicolons:          %8.1f ms (CPU %.1f ms)\n", csvMac,
                csvMacCpu);
    std::printf("  XML export:                          %8.1f ms (CPU %.1f ms)\n", xml, xmlCpu);
    return 0;
}
