// Speed of the four annual reports for one year of N booking items (default
// 10,000, in twelve statements), as the reports window makes them.
//
//   report_bench [N [REPORT]]
//
// Prints per report (or for REPORT alone: umsatz, monate, steuern, gewinne)
// the median of 21 runs of its figures (the report struct), of the figures as
// report-data's value tree, of its page as HTML (figures, page and HTML text)
// and of 3 runs of its PDF, each as the time the process spent computing (the
// machine may be shared) and, in brackets, as wall-clock time.

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
#include <cstring>
#include <ctime>
#include <functional>
#include <vector>

using namespace quandor;

namespace {

using Clock = std::chrono::steady_clock;

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Median {
    double cpu = 0;
    double wall = 0;
};

Median medianMs(const std::function<void()>& work, int runs) {
    std::vector<double> cpu, wall;
    for (int i = 0; i < runs; ++i) {
        const double c0 = cpuMs();
        const auto t0 = Clock::now();
        work();
        wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        cpu.push_back(cpuMs() - c0);
    }
    std::sort(cpu.begin(), cpu.end());
    std::sort(wall.begin(), wall.end());
    return {cpu[cpu.size() / 2], wall[wall.size() / 2]};
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const int64_t n = argc > 1 ? std::atoll(argv[1]) : 10000;
    const char* only = argc > 2 ? argv[2] : nullptr;

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
        if (only && std::strcmp(only, name) != 0) continue;
        const Record& year = *delegate.database().years.front();
        const RecordList& accounts = delegate.database().accounts;
        const Median data = medianMs(
            [&] {
                switch (report) {
                    case JournalController::Report::Umsatz:
                        (void)statementsReport(year, false);
                        break;
                    case JournalController::Report::Monate:
                        (void)statementsReport(year, true);
                        break;
                    case JournalController::Report::Steuern:
                        (void)taxReport(year);
                        break;
                    default:
                        (void)profitReport(year, accounts);
                        break;
                }
            },
            21);
        const Median json = medianMs([&] { (void)journal.reportData(report); }, 21);
        const Median html =
            medianMs([&] { (void)print::pageHtml(*journal.reportPage(report)); }, 21);
        int pages = 0;
        const Median pdf = medianMs(
            [&] {
                QString error;
                const QByteArray bytes = print::pdfBytes(*journal.reportPage(report), &error);
                pages = bytes.count("/Type /Page\n") + bytes.count("/Type /Page ");
            },
            3);
        std::printf(
            "  %-8s Zahlen %6.2f ms (%6.2f)   mit JSON-Baum %6.2f ms (%6.2f)   HTML %7.2f ms "
            "(%7.2f)   PDF %7.1f ms (%7.1f)\n",
            name, data.cpu, data.wall, json.cpu, json.wall, html.cpu, html.wall, pdf.cpu, pdf.wall);
        (void)pages;
    }
    return 0;
}
