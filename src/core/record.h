#pragma once
// The ten record kinds of the database (see keys.h for the tree they form).
//
// Every record keeps its fields in one `properties` map. `Year`, `Thelist` and
// `Cashbook` also own ordered child lists. A new record gets the full key set
// with its defaults; a record read from a file keeps exactly the keys it had.

#include "core/value.h"

#include <array>
#include <optional>

namespace quandor {

enum class RecordClass : uint8_t {
    Year,
    Thelist,
    Item,
    Group,
    Account,
    File,
    Cashbook,
    CashBookItem,
    Allowance,
    InventoryItem,
};

enum class ChildList : uint8_t { Thelists, Items, Files };

// Whether an archive entry ("properties" or a child list) was in the file:
// missing, present holding nil, or present with a value. A new record has all
// of its entries present.
enum class EntryState : uint8_t { Missing, Nil, Present };

QString className(RecordClass c);
std::optional<RecordClass> recordClassFromName(QStringView name);

// The child lists a class archives, in writing order.
const std::vector<ChildList>& childListsOf(RecordClass c);
Key childListKey(ChildList list);

class Record {
public:
    // A new record with the default field set; `now` stamps the "date" fields.
    static RecordPtr create(RecordClass c, Date now);
    // An empty record as the archive reader creates it before reading entries.
    static RecordPtr createEmpty(RecordClass c);

    RecordClass recordClass() const { return class_; }
    QString className() const { return quandor::className(class_); }

    const Dict& properties() const { return properties_; }
    Dict& properties() { return properties_; }
    // Stores a copy: later changes to `p` do not reach the record.
    void setProperties(const Dict& p);
    EntryState propertiesState() const { return propertiesState_; }
    void setPropertiesState(EntryState s) { propertiesState_ = s; }

    bool hasChildList(ChildList list) const;
    // The child list; an empty list for a class that has none.
    const RecordList& children(ChildList list) const;
    RecordList& children(ChildList list);
    // Stores a copy of the list (the records themselves are shared, as with any list copy).
    void setChildren(ChildList list, const RecordList& records);
    EntryState childState(ChildList list) const { return childState_[index(list)]; }
    void setChildState(ChildList list, EntryState s) { childState_[index(list)] = s; }

    const RecordList& thelists() const { return children(ChildList::Thelists); }
    RecordList& thelists() { return children(ChildList::Thelists); }
    const RecordList& items() const { return children(ChildList::Items); }
    RecordList& items() { return children(ChildList::Items); }
    const RecordList& files() const { return children(ChildList::Files); }
    RecordList& files() { return children(ChildList::Files); }

    // Shorthands on the properties.
    Value value(Key k) const { return properties_.value(k); }
    void set(Key k, Value v) { properties_.set(k, std::move(v)); }
    QString text(Key k) const { return properties_.text(k); }
    float real(Key k) const { return properties_.real(k); }
    int64_t integer(Key k) const { return properties_.integer(k); }
    bool flag(Key k) const { return properties_.flag(k); }
    Date date(Key k) const { return properties_.date(k); }

    // A deep copy: properties and the whole subtree of child records.
    RecordPtr deepCopy() const;

    bool operator==(const Record& other) const;

private:
    explicit Record(RecordClass c) : class_(c) {}
    static size_t index(ChildList l) { return static_cast<size_t>(l); }

    RecordClass class_;
    EntryState propertiesState_ = EntryState::Present;
    std::array<EntryState, 3> childState_{EntryState::Missing, EntryState::Missing, EntryState::Missing};
    Dict properties_;
    std::array<RecordList, 3> children_;
};

}  // namespace quandor
