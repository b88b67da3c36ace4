#pragma once
// The ten record kinds of the database (see keys.h for the tree they form).
//
// Every record keeps its fields in one `properties` map. `Year`, `Thelist` and
// `Cashbook` also own ordered child lists. A new record gets the full key set
// with its defaults; a record read from a file keeps exactly the keys it had.

#include "core/value.h"

#include <array>
#include <memory>
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

// An element of a list in the file that is no record of the program: an object
// of a class that a newer program version wrote. It is kept with its place in
// the list as the file had it (counting records and foreign elements alike) and
// written back there, so such a file can be opened and saved without losing it.
struct ForeignElement {
    size_t position = 0;
    Value value;
    bool operator==(const ForeignElement&) const = default;
};
using ForeignElements = std::vector<ForeignElement>;

// Calls onRecord for each record and onForeign for each foreign element, in
// the order the list is written: every foreign element at its place, as far as
// the list still reaches, the rest at the end.
template <typename OnRecord, typename OnForeign>
void visitWritten(const RecordList& records, const ForeignElements* foreign, OnRecord&& onRecord,
                  OnForeign&& onForeign) {
    size_t next = 0, written = 0;
    const size_t foreignCount = foreign ? foreign->size() : 0;
    for (const RecordPtr& r : records) {
        while (next < foreignCount && (*foreign)[next].position <= written) {
            onForeign((*foreign)[next++].value);
            ++written;
        }
        onRecord(r);
        ++written;
    }
    while (next < foreignCount) onForeign((*foreign)[next++].value);
}

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
    // The foreign elements of a child list, by ascending position; nullptr when there are none.
    const ForeignElements* foreign(ChildList list) const;
    // Keeps `value` at `position` of the child list (positions must come in ascending order).
    void addForeign(ChildList list, size_t position, Value value);
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
    // Takes over `other`'s fields, child lists and kept foreign elements (an
    // edit scope puts a record back from its copy this way). Same class only.
    void restoreFrom(const Record& other);

    bool operator==(const Record& other) const;

  private:
    // Only the record's own functions can name this, so only they construct
    // records (through std::make_shared: one allocation for the record and
    // its count instead of two).
    struct Made {
        explicit Made() = default;
    };

  public:
    Record(Made, RecordClass c) : class_(c) {}

  private:
    static size_t index(ChildList l) { return static_cast<size_t>(l); }

    RecordClass class_;
    EntryState propertiesState_ = EntryState::Present;
    std::array<EntryState, 3> childState_{EntryState::Missing, EntryState::Missing,
                                          EntryState::Missing};
    Dict properties_;
    std::array<RecordList, 3> children_;
    std::unique_ptr<std::array<ForeignElements, 3>> foreign_;  // rare: allocated when needed
};

}  // namespace quandor
