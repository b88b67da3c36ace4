// Speed of the search over all items: N booking items (default 100,000) spread
// over years of twelve statements, as the search sheet sees them.
//
//   search_bench [N]
//
// Prints the median of 21 runs of: opening the sheet (collecting and folding
// every item), and each keystroke of typing a word letter by letter, then
// deleting it again, then a text that matches nothing and an amount.

#include "cli/generator.h"
#include "core/app_delegate.h"
#include "core/settings.h"
#include "documents/search_controller.h"

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

double medianMs(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double ms(const std::function<void()>& work) {
    const auto t0 = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const int64_t n = argc > 1 ? std::atoll(argv[1]) : 100000;

    GeneratorOptions options;
    options.items = n;
    options.seed = 7;
    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("Quandor.conf")));
    bench::SilentUi ui;
    QuandorAppDelegate delegate(settings, ui, Paths::under(dir.path()));
    delegate.database() = generateDatabase(options);
    SearchController search(delegate.books());

    std::vector<double> open, typing, deleting, noMatch, amount, worst;
    size_t hits = 0;
    const QString word = QStringLiteral("Büromaterial");
    for (int run = 0; run < 21; ++run) {
        open.push_back(ms([&] { search.openSearchSheet(); }));
        double slowest = 0;
        for (qsizetype i = 1; i <= word.size(); ++i) {
            const double t = ms([&] { search.setSearchText(word.left(i)); });
            typing.push_back(t);
            slowest = std::max(slowest, t);
        }
        hits = search.count();
        for (qsizetype i = word.size() - 1; i >= 0; --i) {
            const double t = ms([&] { search.setSearchText(word.left(i)); });
            deleting.push_back(t);
            slowest = std::max(slowest, t);
        }
        noMatch.push_back(ms([&] { search.setSearchText(QStringLiteral("xyzzy")); }));
        amount.push_back(ms([&] { search.setSearchText(QStringLiteral("119,00")); }));
        worst.push_back(slowest);
    }
    std::printf("%zu items, \"%s\" matches %zu\n", search.total(), qPrintable(word), hits);
    std::printf("open the search sheet          median %.2f ms\n", medianMs(open));
    std::printf("keystroke, typing              median %.2f ms\n", medianMs(typing));
    std::printf("keystroke, deleting            median %.2f ms\n", medianMs(deleting));
    std::printf("slowest keystroke of a run     median %.2f ms\n", medianMs(worst));
    std::printf("text without match             median %.2f ms\n", medianMs(noMatch));
    std::printf("amount text                    median %.2f ms\n", medianMs(amount));
    return 0;
}
