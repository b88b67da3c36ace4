#pragma once
// The seven root lists of one database, as the database file holds them.

#include "core/record.h"

#include <array>
#include <optional>

namespace quandor {

enum class RootList : uint8_t { Years, Groups, Accounts, Items, Cashbooks, Allowances, Inventorys };

namespace archive {
struct ReadResult;
}

struct Database {
    RecordList years;
    RecordList groups;
    RecordList accounts;
    RecordList items;  // templates
    RecordList cashbooks;
    RecordList allowances;
    RecordList inventorys;
    // Objects of classes a newer program wrote, kept in their places (record.h).
    std::array<ForeignElements, 7> foreign;

    // The root keys in writing order.
    static const std::array<RootList, 7>& order();
    static Key keyOf(RootList list);

    RecordList& list(RootList l);
    const RecordList& list(RootList l) const;

    // Each list from the root entry of the same name; a missing entry (or a
    // root that is no dictionary) gives an empty list, and list elements that
    // are not records are skipped. For values the program built itself; a
    // file is read with fromFile().
    static Database fromRoot(const Value& root);
    // The database a database file holds, checked with the one set of rules
    // that loading, `check` and the database import share: the root is the
    // dictionary of the seven lists ("cashbooks", "allowances" and
    // "inventorys" may be missing, as in older files), every list holds records
    // of its class, a year holds statements, a statement items. An object of an
    // unknown class is kept in its place. Anything
    // else is damage: nothing, with a German reason in `problem`.
    static std::optional<Database> fromFile(const archive::ReadResult& read, QString* problem);
    // The seven-key root dictionary, in writing order.
    Value toRoot() const;

    size_t itemCount() const;  // booking items in all statements
};

}  // namespace quandor
