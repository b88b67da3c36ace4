// Speed of the statement totals: one statement of N booking items (default
// 10,000), as the VAT return window computes them.
//
//   totals_bench [N]
//
// Prints the median of 21 runs of: the totals alone (listed items and
// statement sums), the whole refresh of the window (totals, the eleven
// settings, the summary page without the item list) and the refresh with the
// item list on the page.

#include "bookkeeping/statement_totals.h"
#include "bookkeeping/totals_controller.h"
#include "cli/generator.h"
#include "core/app_delegate.h"
#include "core/settings.h"
#include "core/settings_keys.h"

#include <QCoreApplication>
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

double medianMs(const std::function<void()>& work, int runs = 21) {
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
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const int64_t n = argc > 1 ? std::atoll(argv[1]) : 10000;

    GeneratorOptions options;
    options.items = n;
    options.seed = 7;
    options.itemsPerStatement = static_cast<int>(n);
    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("Quandor.conf")));
    bench::SilentUi ui;
    QuandorAppDelegate delegate(settings, ui, Paths::under(dir.path()));
    delegate.database() = generateDatabase(options);
    delegate.selection().setYearIndex(0);
    delegate.selection().setStatementIndex(0);
    const RecordPtr statement = delegate.selection().selectedStatement();
    std::printf("statement with %zu items, %zu listed\n", statement->items().size(),
                delegate.selection().listedCount());

    volatile float sink = 0;
    const double totals = medianMs([&] {
        const StatementTotals t =
            computeStatementTotals(statement->items(), delegate.selection().listedIndexes());
        sink = sink + t.saldo;
    });
    TotalsController controller(delegate.books());
    settings.setBool(prefs::prefsExportPrintWithList, false);
    const double refresh = medianMs([&] { controller.infoWindowVoid(); });
    settings.setBool(prefs::prefsExportPrintWithList, true);
    const double withList = medianMs([&] { controller.infoWindowVoid(); });

    std::printf("totals alone                 median %.2f ms\n", totals);
    std::printf("window refresh (no list)     median %.2f ms\n", refresh);
    std::printf("window refresh (item list)   median %.2f ms\n", withList);
    return 0;
}
