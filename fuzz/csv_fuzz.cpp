// libFuzzer target for the CSV reader and the item import's reading of rows.
//
// The first byte chooses a chunk size (1 to 256 bytes); the rest is the file
// (the seeds in fuzz/csv_seeds start with such a byte).
// Checked on every input, beyond "no crash, no hang, no leak, no undefined
// behaviour": the rows read in those chunks are the rows read in one large
// chunk (a quote, a doubled quote or a line end cut by a chunk boundary reads
// the same), and every item the import makes of them has a kind and finite
// figures.

#include "core/keys.h"
#include "import/csv_import.h"

#include <QTimeZone>

#include <sys/mman.h>
#include <unistd.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>

using namespace quandor;

namespace {

struct Read {
    CsvTable table;
    char delimiter = 0;
    bool utf16 = false;
};

Read readAll(int fd, uint32_t chunk) {
    CSVParser parser;
    parser.setBufferSize(chunk);
    parser.setEncoding(kEncodingWindowsLatin1);
    parser.setRecognisesUtf8(true);
    Read r;
    if (!parser.openFile(QStringLiteral("/proc/self/fd/%1").arg(fd))) std::abort();
    if (!parser.parse([&](CsvRow&& row) { r.table.rows.push_back(std::move(row)); })) std::abort();
    r.table.unclosedQuoteLine = parser.unclosedQuoteLine();
    r.delimiter = parser.delimiter();
    r.utf16 = parser.isUtf16();
    return r;
}

bool same(const Read& a, const Read& b) {
    if (a.delimiter != b.delimiter || a.utf16 != b.utf16 ||
        a.table.unclosedQuoteLine != b.table.unclosedQuoteLine ||
        a.table.rows.size() != b.table.rows.size())
        return false;
    for (size_t i = 0; i < a.table.rows.size(); ++i)
        if (a.table.rows[i].fields != b.table.rows[i].fields ||
            a.table.rows[i].line != b.table.rows[i].line)
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint32_t chunk = uint32_t{data[0]} + 1;
    const int fd = memfd_create("csv", MFD_CLOEXEC);
    if (fd < 0) return 0;
    for (size_t done = 1; done < size;) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0) std::abort();
        done += size_t(n);
    }
    const Read small = readAll(fd, chunk);
    const Read large = readAll(fd, 65536);
    ::close(fd);
    if (!same(small, large)) {
        std::fprintf(stderr, "chunks of %u bytes read other rows than one chunk\n", chunk);
        std::abort();
    }
    static const QDateTime now(QDate(2025, 6, 1), QTime(12, 0), QTimeZone::utc());
    const CsvImportPlan plan = planCsvImport(large.table, TaxRates{19.0f, 7.0f, 0.0f}, now);
    for (const RecordPtr& item : plan.items) {
        const int64_t kind = item->integer(keys::kind);
        if (kind != 1 && kind != 2) std::abort();
        for (const Key& k :
             {keys::amount, keys::taxFee, keys::finalAmount, keys::finalAmountWithout})
            if (!std::isfinite(item->real(k))) std::abort();
    }
    if (plan.summary.items + plan.summary.skippedCount <
        int64_t(large.table.rows.size()) + (large.table.unclosedQuoteLine ? 1 : 0))
        std::abort();
    return 0;
}
