// Speed and memory of the CSV item import.
//
//   import_bench [ROWS]      (default 100,000)
//
// Writes a CSV file of ROWS rows (Windows-1252, semicolons, quoted titles,
// expenses and incomes with and without tax) and prints the median of 7 runs of:
//   read      the reader alone, rows handed over and dropped
//   plan      reading and making the items, with the summary
//   import    the whole import into an empty statement, question answered
// and the peak resident memory of a process that only reads (rows dropped):
// for the ROWS-row file, for a file twice as long, and for a file of a
// single 64 MB line. The reader holds one chunk and one line, so the first
// two are the same and the third grows by the line.

#include "cli/generator.h"
#include "core/app_delegate.h"
#include "core/settings.h"
#include "import/import_controller.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include "silent_ui.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

using namespace quandor;

namespace {

using Clock = std::chrono::steady_clock;

// Answers every question with its action (the last button).
class YesUi : public bench::SilentUi {
  public:
    int alert(AlertStyle, const QString&, const QString&, const QStringList& buttons) override {
        return buttons.isEmpty() ? 0 : int(buttons.size() - 1);
    }
};

// Wall-clock and CPU time of the process, medians of `runs` runs: the CPU
// time tells the work apart from waiting on a busy machine.
struct Times {
    double wallMs = 0, cpuMs = 0;
};

double cpuNowMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

Times median(const std::function<void()>& work, int runs = 7) {
    std::vector<double> wall, cpu;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        const double c0 = cpuNowMs();
        work();
        cpu.push_back(cpuNowMs() - c0);
        wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

void show(const char* what, const Times& t) {
    std::printf("%-7s %8.1f ms   (CPU %8.1f ms)\n", what, t.wallMs, t.cpuMs);
}

void writeRows(const QString& path, int64_t rows) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) std::abort();
    const char* rates[] = {"19", "7", "0", ""};
    QByteArray chunk;
    for (int64_t i = 0; i < rows; ++i) {
        const int day = int(i % 28) + 1, month = int(i / 28 % 12) + 1;
        char row[256];
        const int n =
            std::snprintf(row, sizeof row,
                          "%02d.%02d.24;B-%lld;\"Posten %lld, B\xfcro\";RE-%lld;Kategorie "
                          "%d;%d;Konto;%s;%s%lld,%02d\r\n",
                          day, month, static_cast<long long>(i), static_cast<long long>(i),
                          static_cast<long long>(i), int(i % 7), 4400 + int(i % 50), rates[i % 4],
                          i % 3 == 0 ? "" : "-", static_cast<long long>(i % 5000), int(i % 100));
        chunk.append(row, n);
        if (chunk.size() > (1 << 20)) {
            f.write(chunk);
            chunk.clear();
        }
    }
    f.write(chunk);
}

void writeOneLine(const QString& path, qint64 bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) std::abort();
    const QByteArray block(1 << 20, 'x');
    f.write("05.03.24;B;");
    for (qint64 done = 0; done < bytes; done += block.size()) f.write(block);
    f.write(";;;;;0;1\n");
}

int64_t readRows(const QString& path) {
    CSVParser parser;
    parser.setEncoding(kEncodingWindowsLatin1);
    parser.setRecognisesUtf8(true);
    parser.setBufferSize(64 * 1024);
    int64_t n = 0;
    if (!parser.openFile(path)) std::abort();
    parser.parse([&n](CsvRow&&) { ++n; });
    return n;
}

// Peak resident memory (MiB) of a child process that reads `path`.
double readerPeakMiB(const QString& path) {
    const pid_t pid = fork();
    if (pid == 0) {
        readRows(path);
        _exit(0);
    }
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const int64_t rows = argc > 1 ? std::atoll(argv[1]) : 100000;

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("posten.csv"));
    const QString twice = dir.filePath(QStringLiteral("doppelt.csv"));
    const QString line = dir.filePath(QStringLiteral("zeile.csv"));
    writeRows(file, rows);
    writeRows(twice, 2 * rows);
    writeOneLine(line, qint64{64} << 20);
    std::printf("CSV file: %lld rows, %.1f MB\n", static_cast<long long>(rows),
                QFile(file).size() / 1e6);
    // Before anything else grows this process: a child shares its pages.
    std::printf(
        "reader peak memory: %.1f MiB (%lld rows), %.1f MiB (%lld rows), %.1f MiB (one 64 MB "
        "line)\n",
        readerPeakMiB(file), static_cast<long long>(rows), readerPeakMiB(twice),
        static_cast<long long>(2 * rows), readerPeakMiB(line));

    show("read", median([&] {
             if (readRows(file) != rows) std::abort();
         }));

    const QDateTime now = QDateTime::currentDateTimeUtc();
    show("plan", median([&] {
             CsvTable table;
             CSVParser parser;
             parser.setEncoding(kEncodingWindowsLatin1);
             parser.setRecognisesUtf8(true);
             parser.setBufferSize(64 * 1024);
             parser.openFile(file);
             parser.parse([&](CsvRow&& r) { table.rows.push_back(std::move(r)); });
             const CsvImportPlan plan = planCsvImport(table, TaxRates{}, now);
             if (int64_t(plan.items.size()) != rows) std::abort();
         }));

    show("import", median([&] {
             QTemporaryDir data;
             Settings settings(data.filePath(QStringLiteral("Quandor.conf")));
             settings.setBool(QStringLiteral("firstCSVBOOL"), true);
             YesUi ui;
             QuandorAppDelegate delegate(settings, ui, Paths::under(data.path()));
             Database& db = delegate.database();
             RecordPtr year = Record::create(RecordClass::Year, Date{});
             year->thelists().push_back(Record::create(RecordClass::Thelist, Date{}));
             db.years.push_back(year);
             delegate.selection().setYearIndex(0);
             delegate.selection().setStatementIndex(0);
             ItemImportController imports(delegate.books());
             if (imports.loadCSVFrom(file).items != rows) std::abort();
         }));

    return 0;
}
