#pragma once
// The seven root lists of one database, as the database file holds them.

#include "core/record.h"

#include <array>

namespace quandor {

enum class RootList : uint8_t { Years, Groups, Accounts, Items, Cashbooks, Allowances, Inventorys };

struct Database {
    RecordList years;
    RecordList groups;
    RecordList accounts;
    RecordList items;  // templates
    RecordList cashbooks;
    RecordList allowances;
    RecordList inventorys;

    // The root keys in writing order.
    static const std::array<RootList, 7>& order();
    static Key keyOf(RootList list);

    RecordList& list(RootList l);
    const RecordList& list(RootList l) const;

    // Each list from the root entry of the same name; a missing entry (or a
    // root that is no dictionary) gives an empty list, and list elements that
    // are not records are skipped.
    static Database fromRoot(const Value& root);
    // The seven-key root dictionary, in writing order.
    Value toRoot() const;

    size_t itemCount() const;  // booking items in all statements
};

}  // namespace quandor
