#include "core/database.h"

#include "core/archive/archive.h"
#include "core/keys.h"

namespace quandor {

const std::array<RootList, 7>& Database::order() {
    static const std::array<RootList, 7> o = {
        RootList::Years,     RootList::Groups,     RootList::Accounts,  RootList::Items,
        RootList::Cashbooks, RootList::Allowances, RootList::Inventorys};
    return o;
}

Key Database::keyOf(RootList list) {
    switch (list) {
        case RootList::Years:
            return keys::years;
        case RootList::Groups:
            return keys::groups;
        case RootList::Accounts:
            return keys::accounts;
        case RootList::Items:
            return keys::items;
        case RootList::Cashbooks:
            return keys::cashbooks;
        case RootList::Allowances:
            return keys::allowances;
        case RootList::Inventorys:
            return keys::inventorys;
    }
    return keys::years;
}

RecordList& Database::list(RootList l) {
    switch (l) {
        case RootList::Years:
            return years;
        case RootList::Groups:
            return groups;
        case RootList::Accounts:
            return accounts;
        case RootList::Items:
            return items;
        case RootList::Cashbooks:
            return cashbooks;
        case RootList::Allowances:
            return allowances;
        case RootList::Inventorys:
            return inventorys;
    }
    return years;
}

const RecordList& Database::list(RootList l) const {
    return const_cast<Database*>(this)->list(l);
}

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
            if (element.type() == Value::Type::Record && element.asRecord())
                target.push_back(element.asRecord());
    }
    return db;
}

Value Database::toRoot() const {
    auto dict = std::make_shared<Dict>();
    dict->reserve(7);
    for (RootList l : order()) {
        const ForeignElements& kept = foreign[static_cast<size_t>(l)];
        ValueList values;
        values.reserve(list(l).size() + kept.size());
        visitWritten(
            list(l), kept.empty() ? nullptr : &kept,
            [&values](const RecordPtr& r) { values.emplace_back(r); },
            [&values](const Value& v) { values.push_back(v); });
        dict->append(keyOf(l), Value::list(std::move(values)));
    }
    return Value(dict);
}

namespace {

RecordClass elementClass(RootList l) {
    switch (l) {
        case RootList::Years:
            return RecordClass::Year;
        case RootList::Groups:
            return RecordClass::Group;
        case RootList::Accounts:
            return RecordClass::Account;
        case RootList::Items:
            return RecordClass::Item;
        case RootList::Cashbooks:
            return RecordClass::Cashbook;
        case RootList::Allowances:
            return RecordClass::Allowance;
        case RootList::Inventorys:
            return RecordClass::InventoryItem;
    }
    return RecordClass::Year;
}

// The class a child list of a record of class `parent` holds.
RecordClass childClass(RecordClass parent, ChildList l) {
    if (l == ChildList::Thelists) return RecordClass::Thelist;
    if (l == ChildList::Files) return RecordClass::File;
    return parent == RecordClass::Cashbook ? RecordClass::CashBookItem : RecordClass::Item;
}

QString damaged(const QString& detail) {
    return QStringLiteral("Die Datei ist beschädigt oder keine Quandor-Datei. (%1)").arg(detail);
}

QString recordWord(RecordClass c) {
    switch (c) {
        case RecordClass::Year:
            return QStringLiteral("ein Jahr");
        case RecordClass::Thelist:
            return QStringLiteral("eine Abrechnung");
        case RecordClass::Cashbook:
            return QStringLiteral("ein Kassenbuch");
        default:
            return QStringLiteral("ein Datensatz");
    }
}

// The record's child lists hold records of their class (or nil holes, which
// are kept as they are), and so on down. Empty when sound, else what is wrong.
QString childrenProblem(const Record& r) {
    for (ChildList l : childListsOf(r.recordClass())) {
        const RecordClass expected = childClass(r.recordClass(), l);
        for (const RecordPtr& child : r.children(l)) {
            if (!child) continue;
            if (child->recordClass() != expected)
                return QStringLiteral("%1 enthält einen Eintrag der falschen Art")
                    .arg(recordWord(r.recordClass()));
            if (QString inner = childrenProblem(*child); !inner.isEmpty()) return inner;
        }
    }
    return {};
}

QString whatTheFileHolds(const Value& root) {
    if (root.type() == Value::Type::Record && root.asRecord()) {
        switch (root.asRecord()->recordClass()) {
            case RecordClass::Year:
                return QStringLiteral("ein Quandor Jahr");
            case RecordClass::Thelist:
                return QStringLiteral("eine Quandor Abrechnung");
            default:
                break;
        }
    }
    if (root.type() == Value::Type::Dict && root.asDict()->size() == 1 &&
        root.asDict()->contains(keys::accounts))
        return QStringLiteral("eine Quandor Kontenliste");
    return {};
}

}  // namespace

std::optional<Database> Database::fromFile(const archive::ReadResult& read, QString* problem) {
    const auto refuse = [problem](const QString& why) -> std::optional<Database> {
        if (problem) *problem = why;
        return std::nullopt;
    };
    if (!read.ok) return refuse(read.error);
    const Value& root = read.root;
    if (const QString other = whatTheFileHolds(root); !other.isEmpty())
        return refuse(QStringLiteral("Die Datei enthält %1, keine Quandor Datenbank.").arg(other));
    if (root.type() != Value::Type::Dict || !root.asDict())
        return refuse(QStringLiteral("Die Datei enthält keine Quandor Datenbank."));
    const Dict& dict = *root.asDict();
    for (const Dict::Entry& e : dict) {
        bool known = false;
        for (RootList l : order()) known = known || e.key == keyOf(l);
        if (!known)
            return refuse(damaged(QStringLiteral("unbekannter Eintrag „%1“ in der Datenbank")
                                      .arg(e.key.name().left(40))));
    }

    Database db;
    for (RootList l : order()) {
        const QString name = keyOf(l).name();
        const Value* v = dict.find(keyOf(l));
        if (!v) {
            // Older files were written before the cash books, depreciation and inventory.
            if (l == RootList::Cashbooks || l == RootList::Allowances || l == RootList::Inventorys)
                continue;
            return refuse(damaged(QStringLiteral("die Liste „%1“ fehlt").arg(name)));
        }
        if (v->type() != Value::Type::List || !v->asList())
            return refuse(damaged(QStringLiteral("„%1“ ist keine Liste").arg(name)));
        const RecordClass expected = elementClass(l);
        RecordList& target = db.list(l);
        target.reserve(v->asList()->size());
        size_t position = 0;
        for (const Value& element : *v->asList()) {
            if (element.type() == Value::Type::Opaque) {
                db.foreign[static_cast<size_t>(l)].push_back({position++, element});
                continue;
            }
            if (element.type() != Value::Type::Record || !element.asRecord() ||
                element.asRecord()->recordClass() != expected)
                return refuse(
                    damaged(QStringLiteral("die Liste „%1“ enthält einen Eintrag der falschen Art")
                                .arg(name)));
            if (const QString inner = childrenProblem(*element.asRecord()); !inner.isEmpty())
                return refuse(damaged(inner));
            target.push_back(element.asRecord());
            ++position;
        }
    }
    return db;
}

size_t Database::itemCount() const {
    size_t n = 0;
    for (const RecordPtr& year : years)
        for (const RecordPtr& statement : year->thelists())
            if (statement) n += statement->items().size();
    return n;
}

}  // namespace quandor
