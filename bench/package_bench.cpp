// Speed of the tax-advisor package for one year of N booking items (default
// 10,000, in twelve statements) with one attached document (100 KB) for every
// 50th item, as the reports window builds it.
//
//   package_bench [N] [RUNS]
//
// Prints the median of RUNS (default 3) whole packages (from the button to
// the final alert) and the longest single step on the main thread, which is
// how long the window can at most be unresponsive.

#include "cli/generator.h"
#include "core/app_delegate.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "reports/journal_controller.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QTemporaryDir>

#include "silent_ui.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <vector>

using namespace quandor;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// Delayed steps wait in a queue, as on the window's run loop.
class QueueUi : public bench::SilentUi {
  public:
    void schedule(int, std::function<void()> step) override { steps.push_back(std::move(step)); }
    // Runs the steps in order; the longest one in `longest`.
    void drain(double* longest) {
        while (!steps.empty()) {
            auto step = std::move(steps.front());
            steps.pop_front();
            const auto t0 = Clock::now();
            step();
            *longest = std::max(*longest, msSince(t0));
        }
    }
    std::deque<std::function<void()>> steps;
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const int64_t n = argc > 1 ? std::atoll(argv[1]) : 10000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;

    QTemporaryDir dir;
    GeneratorOptions options;
    options.items = n;
    options.seed = 7;
    options.itemsPerStatement = static_cast<int>((n + 11) / 12);
    options.documentsFolder = dir.filePath(QStringLiteral("docs"));
    options.documentEvery = 50;
    const QByteArray content(100 * 1024, 'x');
    int documents = 0;
    for (int64_t k = 0; k * 50 < n; ++k, ++documents) {
        const QString path =
            QStringLiteral("%1/%2/Beleg-%3.pdf")
                .arg(options.documentsFolder, k % 2 ? QStringLiteral("b") : QStringLiteral("a"))
                .arg(k / 2 + 1);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size()) return 1;
    }

    Settings settings(dir.filePath(QStringLiteral("Quandor.conf")));
    settings.setBool(prefs::prefsPrintUnshortened, false);
    settings.setBool(prefs::firstStepsDone, true);
    QueueUi ui;
    QuandorAppDelegate delegate(settings, ui, Paths::under(dir.path()));
    delegate.database() = generateDatabase(options);
    delegate.selection().setYearIndex(0);
    JournalController journal(delegate.books());

    std::vector<double> totals;
    double longest = 0;
    size_t written = 0;
    for (int r = 0; r < runs; ++r) {
        const auto t0 = Clock::now();
        if (!journal.steuerberaterAction(dir.filePath(QStringLiteral("paket")))) return 1;
        ui.drain(&longest);
        totals.push_back(msSince(t0));
        written = static_cast<size_t>(journal.lastPackage().written.size());
        if (!journal.lastPackage().failed.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(journal.lastPackage().failed.join(u'\n')));
            return 1;
        }
    }
    std::sort(totals.begin(), totals.end());
    std::printf("Paket für den Steuerberater, %lld Posten, %d Dokumente zu 100 KB, %zu Dateien\n",
                static_cast<long long>(n), documents, written);
    std::printf(
        "  ganzes Paket  Median %8.1f ms (Läufe: %d)   längster Schritt im Hauptthread %7.1f ms\n",
        totals[totals.size() / 2], runs, longest);
    return 0;
}
