#pragma once
// Reading and writing keyed archives (the database file and every transfer
// file): binary property lists in the layout of Apple's NSKeyedArchiver.
//
// The archived graph maps onto Value: dictionaries → Dict, arrays → list,
// strings/numbers/booleans/dates/data → scalars, the ten record classes →
// Record, images → Icon, anything else → OpaqueObject (kept and written back).

#include "core/value.h"

#include <QByteArray>
#include <QString>

namespace quandor::archive {

struct ReadResult {
    bool ok = false;
    Value root;     // the top object ("$top" → "root")
    QString error;  // German, for the person, when !ok
};

// Decodes a keyed archive, binary or XML. Never crashes or hangs on damaged
// input: any inconsistency gives ok = false and a German message.
ReadResult read(const QByteArray& bytes);
ReadResult readFile(const QString& path);

// Encodes `root` as a binary keyed archive in Apple's layout.
QByteArray write(const Value& root);

}  // namespace quandor::archive
