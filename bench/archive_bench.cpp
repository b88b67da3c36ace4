// Speed and memory of the keyed-archive reader and writer.
//
//   archive_bench [--unshared] [N…]      (default: 100000)
//   archive_bench --write FILE N         (only write the database of N items, for profiling)
//
// For each N: builds a database of N booking items (years of twelve monthly
// statements, ~400 items each; every item has the full key set of a new Item
// with varied texts, amounts and dates), writes it five times, saves the file,
// and reads it five times in a fresh process (`archive_bench --read FILE N`)
// so that the resident memory measured there is the loaded tree alone; that
// process then writes the loaded tree five times (the save after a load).
// Prints median times, the file size, the resident memory after loading
// (absolute and per item above the process baseline) and the peak of the
// reading process.
//
// --unshared saves the file read in the layout of a writer that merges
// nothing (every text, number, date and key its own object); the tree read
// back is the same, and so is what the save writes.

#include "cli/generator.h"
#include "core/archive/archive.h"
#include "core/database.h"
#include "core/keys.h"
#include "core/record.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace quandor;

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Resident and peak resident memory of this process in MB (/proc/self/status).
double statusMb(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(static_cast<qsizetype>(std::strlen(field)))
                       .trimmed()
                       .split(' ')
                       .value(0)
                       .toDouble() /
                   1024.0;
    }
    return 0;
}

// Starts peak measurement afresh (VmHWM := VmRSS).
void resetPeak() {
    if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

// The same synthetic database as `quandor-cli generate`.
Database buildDatabase(int64_t items) {
    GeneratorOptions options;
    options.items = items;
    options.seed = 42;
    options.itemsPerStatement = 400;
    return generateDatabase(options);
}

int readMode(const char* path, int64_t items) {
    const double baseline = statusMb("VmRSS:");
    resetPeak();
    std::vector<double> times;
    double resident = 0, peak = 0;
    for (int run = 0; run < 5; ++run) {
        const auto t0 = Clock::now();
        archive::ReadResult r = archive::readFile(QString::fromLocal8Bit(path));
        const auto t1 = Clock::now();
        if (!r.ok) {
            std::fprintf(stderr, "read failed: %s\n", qPrintable(r.error));
            return 1;
        }
        times.push_back(seconds(t0, t1));
        if (run == 0) {
            // Later runs reuse the freed tree of the one before, which the
            // allocator keeps: only the first load shows the tree's own size.
            resident = statusMb("VmRSS:");
            peak = statusMb("VmHWM:");
        }
        const Database db = Database::fromRoot(r.root);
        if (static_cast<int64_t>(db.itemCount()) != items) {
            std::fprintf(stderr, "read %zu items, expected %lld\n", db.itemCount(),
                         static_cast<long long>(items));
            return 1;
        }
        if (run == 4) {
            // The save after the load: the tree as read, written in the program's layout.
            std::vector<double> saves;
            for (int i = 0; i < 5; ++i) {
                const auto s0 = Clock::now();
                const QByteArray bytes = archive::write(r.root);
                saves.push_back(seconds(s0, Clock::now()));
                if (bytes.isEmpty()) return 1;
            }
            std::printf("  read   median %.3f s   (runs:", median(times));
            for (double t : times) std::printf(" %.3f", t);
            std::printf(")\n  save of the tree read: median %.3f s   (runs:", median(saves));
            for (double t : saves) std::printf(" %.3f", t);
            std::printf(")\n");
        }
    }
    std::printf(
        "  resident after load %.0f MB (%.2f KB/item above the %.0f MB baseline); peak while "
        "loading %.0f MB\n",
        resident, (resident - baseline) * 1024.0 / static_cast<double>(items), baseline, peak);
    return 0;
}

int benchmark(int64_t items, archive::Sharing layout) {
    const QString path = QStringLiteral("/tmp/quandor-archive-bench-%1.archive").arg(items);
    std::printf("%lld items, file %s\n", static_cast<long long>(items),
                layout == archive::Sharing::Unshared ? "without shared values"
                                                     : "as the program writes it");
    {
        const auto b0 = Clock::now();
        Value root = buildDatabase(items).toRoot();
        const auto b1 = Clock::now();
        const double tree = statusMb("VmRSS:");
        resetPeak();
        std::vector<double> times;
        QByteArray bytes;
        for (int run = 0; run < 5; ++run) {
            bytes = QByteArray();
            const auto t0 = Clock::now();
            bytes = archive::write(root);
            times.push_back(seconds(t0, Clock::now()));
        }
        std::printf("  built in %.2f s; tree resident %.0f MB\n", seconds(b0, b1), tree);
        std::printf("  write  median %.3f s   (runs:", median(times));
        for (double t : times) std::printf(" %.3f", t);
        std::printf(")   file %.1f MB; peak while writing %.0f MB (tree included)\n",
                    bytes.size() / 1e6, statusMb("VmHWM:"));
        const qsizetype size = bytes.size();
        bytes = QByteArray();
        // The same file streamed to disk (archive::write to a QIODevice): no
        // copy of the whole file in memory.
        resetPeak();
        QFile f(path);
        const auto s0 = Clock::now();
        if (!f.open(QIODevice::WriteOnly) || !archive::write(root, f) || f.size() != size) return 1;
        f.close();
        std::printf("  stream to file %.3f s; peak while writing %.0f MB (tree included)\n",
                    seconds(s0, Clock::now()), statusMb("VmHWM:"));
        if (layout == archive::Sharing::Unshared) {
            const QByteArray unshared = archive::write(root, layout);
            if (!f.open(QIODevice::WriteOnly) || f.write(unshared) != unshared.size()) return 1;
            f.close();
            std::printf("  file to read: %.1f MB without shared values\n", unshared.size() / 1e6);
        }
    }
    std::fflush(stdout);
    const std::string p = path.toStdString(), n = std::to_string(items);
    char* args[] = {const_cast<char*>("archive_bench"), const_cast<char*>("--read"),
                    const_cast<char*>(p.c_str()), const_cast<char*>(n.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, args, environ) != 0) return 1;
    int status = 0;
    waitpid(pid, &status, 0);
    QFile::remove(path);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--read") == 0)
        return readMode(argv[2], std::atoll(argv[3]));
    if (argc == 4 && std::strcmp(argv[1], "--write") == 0) {  // a file to profile the reader with
        QFile f(QString::fromLocal8Bit(argv[2]));
        return f.open(QIODevice::WriteOnly) &&
                       f.write(archive::write(buildDatabase(std::atoll(argv[3])).toRoot())) > 0
                   ? 0
                   : 1;
    }
    std::vector<int64_t> sizes;
    archive::Sharing layout = archive::Sharing::Shared;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--unshared") == 0)
            layout = archive::Sharing::Unshared;
        else
            sizes.push_back(std::atoll(argv[i]));
    }
    if (sizes.empty()) sizes.push_back(100000);
    for (int64_t n : sizes)
        if (int rc = benchmark(n, layout)) return rc;
    return 0;
}
