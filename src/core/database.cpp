#include "core/database.h"

#include "core/keys.h"

namespace quandor {

const std::array<RootList, 7>& Database::order() {
    static const std::array<RootList, 7> o = {RootList::Years,     RootList::Groups,     RootList::Accounts,
                                              RootList::Items,     RootList::Cashbooks,  RootList::Allowances,
                                              RootList::Inventorys};
    return o;
}

Key Database::keyOf(RootList list) {
    switch (list) {
        case RootList::Years: return keys::years;
        case RootList::Groups: return keys::groups;
        case RootList::Accounts: return keys::accounts;
        case RootList::Items: return keys::items;
        case RootList::Cashbooks: return keys::cashbooks;
        case RootList::Allowances: return keys::allowances;
        case RootList::Inventorys: return keys::inventorys;
    }
    return keys::years;
}

RecordList& Database::list(RootList l) {
    switch (l) {
        case RootList::Years: return years;
        case RootList::Groups: return groups;
        case RootList::Accounts: return accounts;
        case RootList::Items: return items;
        case RootList::Cashbooks: return cashbooks;
        case RootList::Allowances: return allowances;
        case RootList::Inventorys: return inventorys;
    }
    return years;
}

const RecordList& Database::list(RootList l) const { return const_cast<Database*>(this)->list(l); }

Database Database::fromRoot(const Value& root) {
    Database db;
    if (root.type() != Value::Type::Dict) return db;
    const Dict& dict = *root.asDict();
    for (RootList l : order()) {
        const Value* v = dict.find(keyOf(l));
        if (!v || v->type() != Value::Type::List) continue;
        RecordList& target = db.list(l);
        target.reserve(v->asList()->size());
        for (const Value& element : *v->asList())
            if (element.type() == Value::Type::Record && element.asRecord()) target.push_back(element.asRecord());
    }
    return db;
}

Value Database::toRoot() const {
    auto dict = std::make_shared<Dict>();
    dict->reserve(7);
    for (RootList l : order()) {
        ValueList values;
        values.reserve(list(l).size());
        for (const RecordPtr& r : list(l)) values.emplace_back(r);
        dict->append(keyOf(l), Value::list(std::move(values)));
    }
    return Value(dict);
}

size_t Database::itemCount() const {
    size_t n = 0;
    for (const RecordPtr& year : years)
        for (const RecordPtr& statement : year->thelists())
            if (statement) n += statement->items().size();
    return n;
}

}  // namespace quandor
