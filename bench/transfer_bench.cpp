// Speed of the transfer files and of the backup.
//
//   transfer_bench [YEAR_ITEMS] [BACKUP_ITEMS] [DOCUMENT_MB]
//   (defaults: 10000 100000 200)
//
// Transfer: one year of YEAR_ITEMS booking items (generator, all in one year)
// is exported as a "qndby" file and imported into a database (append), five
// times each; medians are printed, with the file size.
//
// Backup: a data folder with a database of BACKUP_ITEMS items and DOCUMENT_MB
// megabytes of documents (half PDF-like incompressible data, half text) is
// zipped into a backup slot five times; the median and the archive size are
// printed. The desktop program runs this step off the main thread, so the
// window stays responsive whatever the median.

#include "cli/generator.h"
#include "core/archive/archive.h"
#include "core/backup.h"
#include "core/transfer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

using namespace quandor;
using Clock = std::chrono::steady_clock;

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double timeIt(const std::function<void()>& f) {
    const auto t0 = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int64_t yearItems = argc > 1 ? std::atoll(argv[1]) : 10000;
    const int64_t backupItems = argc > 2 ? std::atoll(argv[2]) : 100000;
    const int64_t documentMb = argc > 3 ? std::atoll(argv[3]) : 200;
    QTemporaryDir tmp;

    // ---- a year out and in ----
    GeneratorOptions options;
    options.items = yearItems;
    options.itemsPerStatement = static_cast<int>((yearItems + 11) / 12);
    const Database source = generateDatabase(options);
    const RecordPtr year = source.years.front();
    const QString file = tmp.filePath(QStringLiteral("Jahr.qndby"));
    std::vector<double> out, in;
    for (int run = 0; run < 5; ++run) {
        out.push_back(timeIt([&] {
            QString error;
            if (!writeYearFile(year, file, &error)) std::exit(1);
        }));
        Database target;
        in.push_back(timeIt([&] {
            QString error;
            auto read = readYearFile(file, &error);
            if (!read) std::exit(1);
            target.years.push_back(*read);
        }));
    }
    std::printf("year of %lld items: export %.3f s, import %.3f s (median of 5), file %.1f MB\n",
                static_cast<long long>(yearItems), median(out), median(in),
                QFileInfo(file).size() / 1e6);

    // ---- a backup of a large data folder ----
    const QString data = tmp.filePath(QStringLiteral("Quandor"));
    const QString docs = data + QStringLiteral("/Documents");
    const QString backupFolder = tmp.filePath(QStringLiteral("Backup"));
    QDir().mkpath(docs);
    QDir().mkpath(backupFolder);
    options = GeneratorOptions{};
    options.items = backupItems;
    writeFile(data + QStringLiteral("/Quandor_Version_1.mdb"),
              archive::write(generateDatabase(options).toRoot()));
    QRandomGenerator random(7);
    const int64_t files = std::max<int64_t>(1, documentMb);  // 1 MB each
    for (int64_t n = 0; n < files; ++n) {
        QByteArray bytes(1 << 20, Qt::Uninitialized);
        if (n % 2 == 0) {
            random.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
            writeFile(docs + QStringLiteral("/Beleg %1.pdf").arg(n), bytes);
        } else {
            for (qsizetype i = 0; i < bytes.size(); ++i)
                bytes[i] = "Rechnung 2024 Betrag EUR\n"[i % 25];
            writeFile(docs + QStringLiteral("/Notiz %1.txt").arg(n), bytes);
        }
    }
    std::vector<double> zips;
    QString target;
    for (int run = 0; run < 5; ++run) {
        target = backupSlotPath(backupFolder, run + 1);
        zips.push_back(timeIt([&] {
            QString error;
            if (!zipFolder(data, target, &error)) {
                std::fprintf(stderr, "backup failed: %s\n", qPrintable(error));
                std::exit(1);
            }
        }));
    }
    std::printf("backup of %lld items + %lld MB documents: %.2f s (median of 5), archive %.1f MB\n",
                static_cast<long long>(backupItems), static_cast<long long>(files), median(zips),
                QFileInfo(target).size() / 1e6);
    return 0;
}
