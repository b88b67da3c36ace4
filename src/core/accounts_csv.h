#pragma once
// The account list as CSV: one line per account, "number","title", no header.

#include "core/value.h"

#include <QByteArray>

namespace quandor {

// The exact bytes of the CSV file (UTF-8, no byte-order mark), in the order of
// `accounts`. Each line is the number and the title in double quotes separated
// by a comma and ended by a line feed. A double quote inside a value is written
// doubled, so that a title such as `Bürobedarf "Sonder"` reads back as one
// field in every spreadsheet. The whole text passes through
// zapGremlinsInString before it is encoded.
QByteArray exportAccountsCSV(const RecordList& accounts);

}  // namespace quandor
