// Speed of the four annual reports for one year of N booking items (default
// 10,000, in twelve statements), as the reports window makes them.
//
//   report_bench [N]
//
// Prints per report the median of 21 runs of its figures (the report struct),
// of the figures as report-data's value tree, of
// its page as HTML (figures, page and HTML text) and of 3 runs of its PDF.

#include "cli/generator.h"
#include "core/app_delegate.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "print/page.h"
#include "reports/journal_controller.h"
#include "reports/report_figures.h"

#include <QGuiApplication>
#include <QLocale>
#include <QTemporaryDir>

#include "silent_ui.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

using namespace quandor;

namespace {

using Clock = std::chrono::steady_clock;

double medianMs(const std::function<void()>& work, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const int64_t n = argc > 1 ? std::atoll(argv[1]) : 10000;

    GeneratorOptions options;
    options.items = n;
    options.seed = 7;
    options.itemsPerStatement = static_cast<int>((n + 11) / 12);  // one year of twelve statements
    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("Quandor.conf")));
    settings.setBool(prefs::prefsPrintUnshortened, false);
    bench::SilentUi ui;
    QuandorAppDelegate delegate(settings, ui, Paths::under(dir.path()));
    delegate.database() = generateDatabase(options);
    delegate.selection().setYearIndex(0);
    JournalController journal(delegate.books());

    std::printf("Jahresberichte, ein Jahr mit %lld Posten (Mediane)\n", static_cast<long long>(n));
    const std::pair<JournalController::Report, const char*> reports[] = {
        {JournalController::Report::Umsatz, "umsatz"},
        {JournalController::Report::Monate, "monate"},
        {JournalController::Report::Steuern, "steuern"},
        {JournalController::Report::Gewinne, "gewinne"}};
    for (const auto& [report, name] : reports) {
        const Record& year = *delegate.database().years.front();
        const RecordList& accounts = delegate.database().accounts;
        const double data = medianMs(
            [&] {
                switch (report) {
                    case JournalController::Report::Umsatz: (void)statementsReport(year, false); break;
                    case JournalController::Report::Monate: (void)statementsReport(year, true); break;
                    case JournalController::Report::Steuern: (void)taxReport(year); break;
                    default: (void)profitReport(year, accounts); break;
                }
            },
            21);
        const double json = medianMs([&] { (void)journal.reportData(report); }, 21);
        const double html =
            medianMs([&] { (void)print::pageHtml(*journal.reportPage(report)); }, 21);
        int pages = 0;
        const double pdf = medianMs(
            [&] {
                QString error;
                const QByteArray bytes = print::pdfBytes(*journal.reportPage(report), &error);
                pages = bytes.count("/Type /Page\n") + bytes.count("/Type /Page ");
            },
            3);
        std::printf("  %-8s Zahlen %7.2f ms   mit JSON-Baum %7.2f ms   HTML %7.2f ms   PDF %8.1f ms\n", name,
                    data, json, html, pdf);
        (void)pages;
    }
    return 0;
}
