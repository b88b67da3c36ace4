#pragma once
// A deterministic synthetic database for benchmarks and tests: years with
// twelve monthly statements, booking items with the full key set, plausible
// German texts and amounts, each calculated as the item sheet would.

#include "core/database.h"

#include <cstdint>

namespace quandor {

struct GeneratorOptions {
    int64_t items = 1000;
    uint64_t seed = 1;
    int itemsPerStatement = 0;  // 0: spread the items over as many years as needed, ~400 per month
    // Every documentEvery-th item (counted from the first, 0 for none) gets an
    // attached document "<documentsFolder>/a/Beleg-1.pdf", then ".../b/Beleg-1.pdf",
    // ".../a/Beleg-2.pdf" …: equal file names in two folders. No file is written.
    QString documentsFolder;
    int documentEvery = 0;
};

Database generateDatabase(const GeneratorOptions& options);

// The booking items of `db` as a plain-text journal (UTF-8), one balanced
// transaction per item: net amount on the item's account, VAT on the
// input-tax or output-tax account of its rate, the gross amount against
// "Bank". A yardstick for the load benchmark: the same books as a
// double-entry journal for a command-line ledger program.
QByteArray ledgerJournal(const Database& db);

}  // namespace quandor
