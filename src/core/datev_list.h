#pragma once
// The readable account lists from which the shipped DATEV charts are built:
// UTF-8 text, one account a line, "NUMMER<TAB>Bezeichnung", the number four
// digits, no two lines with the same number.

#include "core/value.h"

#include <QByteArray>
#include <QString>

namespace quandor::datev {

// The creation date of every shipped account (1 January 2013, 00:00 UTC), so
// that the generated files are the same on every build.
Date chartDate();

struct ListResult {
    bool ok = false;
    RecordList accounts;  // Account records in the order of the lines
    QString error;        // "Zeile N: …" when !ok
};

// Reads an account list. A file ending without a final line feed is accepted;
// an empty line, a missing tab, a number that is not four digits, an empty
// title, a repeated number or text that is not UTF-8 is refused.
ListResult parseAccountList(const QByteArray& bytes);

// The "kmdb" root: a dictionary whose only key "accounts" holds the records.
Value accountListRoot(const RecordList& accounts);

// The "accounts" list of a decoded "kmdb" root; false when the root is no
// such dictionary or the list holds anything but Account records.
bool accountsFromRoot(const Value& root, RecordList& accounts);

}  // namespace quandor::datev
