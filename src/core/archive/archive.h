#pragma once
// Reading and writing keyed archives (the database file and every transfer
// file): binary property lists in the layout of Apple's NSKeyedArchiver.
//
// The archived graph maps onto Value: dictionaries → Dict, arrays → list,
// strings/numbers/booleans/dates/data → scalars, the ten record classes →
// Record, images → Icon, anything else → OpaqueObject (kept and written back).
//
// Sharing: an object the file references twice is one object after reading
// (the same RecordPtr, list or dictionary pointer), and the writer writes an
// object it meets twice once. Icon::raw and OpaqueObject::raw are owned by this
// layer: only read() sets them, and write() reproduces the archived subtree
// they hold. An icon without raw is written as an NSImage {"NSName": name}.
//
// The layer in files: bplist_reader (binary property lists read in place),
// bplist_writer (built and laid out the way CF does), xml_plist (the XML form
// via libplist), archive_reader / archive_writer (the keyed-archive mapping),
// raw_store (subtrees kept for unknown classes and images), canonical_json
// (the dump of docs/FILE_FORMAT.md), damage (the German refusals), format (every name of
// the format).
//
// Record entries: a record writes "properties" and each child list of
// childListsOf(class) in that order, as writtenState() says: a non-empty map
// or list always; an empty one left out when its state is Missing, written as
// nil when Nil, as an empty map or list when Present. So a record read from a
// file is written back with exactly the entries it had, and data put into a
// list that was missing in the file are never dropped. Entries of a record
// that no record class archives (unknown keys beside "properties") are not
// kept.

#include "core/record.h"
#include "core/value.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace quandor::archive {

struct ReadResult {
    bool ok = false;
    Value root;     // the top object ("$top" → "root")
    QString error;  // German, for the person, when !ok
};

// Decodes a keyed archive, binary or XML. Never crashes or hangs on damaged
// input: any inconsistency gives ok = false and a German message. Memory stays
// within a constant factor of the input size.
ReadResult read(const QByteArray& bytes);
ReadResult readFile(const QString& path);

// Encodes `root` as a binary keyed archive in Apple's layout.
QByteArray write(const Value& root);

// How equal values are laid out. Shared is the program's own layout (equal
// strings, numbers and dates share one object). Unshared is that of a plain
// archiver without the property-list layer's merging: every string, number
// and date an object of its own each time it is written, dictionary keys
// included, and no property-list object merged (not even the UIDs or the
// entry names). Separate is that of an archiver that merges no equal values
// on top of a property-list writer that does: every string, number and date
// stored as a value gets an archive object of its own each time it is
// written, while dictionary keys and entry names, being the archiver's own
// constants, are written once, as are classes and named icons. All read back
// to the same values; the program writes Shared and offers the others to
// tests and benchmarks of files from such writers.
enum class Sharing { Shared, Unshared, Separate };
QByteArray write(const Value& root, Sharing sharing);
// The same bytes written straight to `device` (a QSaveFile, say), without
// holding the whole file in memory: for large databases this saves as much
// memory as the file is big. False when the device refuses a write; the
// caller then discards the device's output (QSaveFile::cancelWriting).
bool write(const Value& root, QIODevice& device);

// How a record entry ("properties" or a child list) is written and dumped.
EntryState writtenState(EntryState state, bool empty);

}  // namespace quandor::archive
