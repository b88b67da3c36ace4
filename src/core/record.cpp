#include "core/record.h"

#include "core/keys.h"

namespace quandor {

namespace {

constexpr std::array<const char16_t*, 10> kClassNames = {
    keys::classname::Year,          keys::classname::Thelist,      keys::classname::Item,
    keys::classname::Group,         keys::classname::Account,      keys::classname::File,
    keys::classname::Cashbook,      keys::classname::CashBookItem, keys::classname::Allowance,
    keys::classname::InventoryItem,
};

const Value kEmptyText{QString()};
const Value kZero{0.0f};

void addMisc(Dict& d, int count) {
    static const std::array<Key, 9> misc = {keys::misc1, keys::misc2, keys::misc3,
                                            keys::misc4, keys::misc5, keys::misc6,
                                            keys::misc7, keys::misc8, keys::misc9};
    for (int i = 0; i < count; ++i) d.append(misc[i], kEmptyText);
}

// The statement key set, shared by Year, Thelist and Cashbook.
void addStatementSums(Dict& d) {
    for (const Key& k :
         {keys::payment, keys::additionalPayment, keys::rePayment, keys::balance, keys::taxFeeGet,
          keys::taxFeePay, keys::income, keys::expense, keys::atSum})
        d.append(k, kZero);
}

Dict defaults(RecordClass c, Date now) {
    Dict d;
    switch (c) {
        case RecordClass::Year:
            d.reserve(23);
            d.append(keys::dateValue, kEmptyText);
            d.append(keys::comment, kEmptyText);
            d.append(keys::image, Value::icon(QString::fromUtf16(keys::icon::year)));
            d.append(keys::date, now);
            d.append(keys::taxBool, false);
            addStatementSums(d);
            addMisc(d, 9);
            break;
        case RecordClass::Thelist:
            d.reserve(24);
            d.append(keys::title, kEmptyText);
            d.append(keys::comment, kEmptyText);
            d.append(keys::date, now);
            d.append(keys::image, Value::icon(QString::fromUtf16(keys::icon::list)));
            d.append(keys::taxBool, false);
            addStatementSums(d);
            d.append(keys::voranmeldungComment, kEmptyText);
            addMisc(d, 9);
            break;
        case RecordClass::Item:
            d.reserve(46);
            d.append(keys::image, Value::icon(QString::fromUtf16(keys::icon::itemGrey)));
            d.append(keys::kind, 0);
            for (const Key& k :
                 {keys::UUID, keys::parentUUID, keys::parentTab, keys::parentYear, keys::kindTitle,
                  keys::group, keys::account, keys::accountNumber, keys::account2, keys::account3})
                d.append(k, kEmptyText);
            d.append(keys::date, now);
            d.append(keys::title, kEmptyText);
            d.append(keys::number, kEmptyText);
            d.append(keys::amount, kEmptyText);
            d.append(keys::taxBool, false);
            d.append(keys::taxTag, 0);
            for (const Key& k :
                 {keys::taxPerecent, keys::taxFee, keys::taxFeeGet, keys::taxFeePay,
                  keys::incomeWith, keys::expenseWithout, keys::incomeWithout, keys::expenseWith,
                  keys::finalAmount, keys::finalAmountWith, keys::finalAmountWithout, keys::atSum})
                d.append(k, kZero);
            d.append(keys::comment, kEmptyText);
            d.append(keys::fileBool, false);
            d.append(keys::fileTitle, kEmptyText);
            d.append(keys::filePath, kEmptyText);
            d.append(keys::fileNote, kEmptyText);
            addMisc(d, 9);
            d.append(keys::templateTitle, kEmptyText);
            break;
        case RecordClass::Group:
            d.append(keys::title, kEmptyText);
            d.append(keys::date, now);
            d.append(keys::image, kEmptyText);
            addMisc(d, 5);
            break;
        case RecordClass::Account:
            d.append(keys::number, QStringLiteral("Nummer"));
            d.append(keys::title, QStringLiteral("Bezeichnung"));
            d.append(keys::date, now);
            d.append(keys::image, kEmptyText);
            addMisc(d, 5);
            break;
        case RecordClass::File:
            d.append(keys::fileBool, false);
            d.append(keys::fileTitle, kEmptyText);
            d.append(keys::filePath, kEmptyText);
            d.append(keys::fileNote, kEmptyText);
            addMisc(d, 5);
            break;
        case RecordClass::Cashbook:
            d.append(keys::title, kEmptyText);
            d.append(keys::kassenbestand, kZero);
            d.append(keys::date, now);
            d.append(keys::image, Value::icon(QString::fromUtf16(keys::icon::cashbook)));
            d.append(keys::taxBool, false);
            addStatementSums(d);
            d.append(keys::voranmeldungComment, kEmptyText);
            addMisc(d, 9);
            break;
        case RecordClass::CashBookItem:
            d.append(keys::image, Value::icon(QString::fromUtf16(keys::icon::itemGrey)));
            for (const Key& k : {keys::sumEinnahme, keys::sumAusgabe, keys::taxRate,
                                 keys::taxAmount, keys::kassenbestand})
                d.append(k, kZero);
            d.append(keys::nummer, 0);
            d.append(keys::vorfall, kEmptyText);
            d.append(keys::konto, kEmptyText);
            d.append(keys::beleg, kEmptyText);
            d.append(keys::date, now);
            d.append(keys::UUID, kEmptyText);
            d.append(keys::parentUUID, kEmptyText);
            addMisc(d, 9);
            d.append(keys::templateTitle, kEmptyText);
            break;
        case RecordClass::Allowance:
            // The purchase date ("date") has no default: it is set when the record is made from an
            // item.
            d.append(keys::titel, kEmptyText);
            d.append(keys::dateCreated, now);
            d.append(keys::endDate, now);
            d.append(keys::sumComplete, kZero);
            d.append(keys::sumPerYear, kZero);
            d.append(keys::taxAmount, kZero);
            d.append(keys::creationYear, kEmptyText);
            d.append(keys::dueYear, kEmptyText);
            d.append(keys::duePeriod, kEmptyText);
            d.append(keys::comment, kEmptyText);
            for (const Key& k : {keys::sumEinnahme, keys::sumAusgabe, keys::taxRate, keys::nummer})
                d.append(k, kZero);
            for (const Key& k : {keys::vorfall, keys::konto, keys::beleg}) d.append(k, kEmptyText);
            for (const Key& k :
                 {keys::float1, keys::float2, keys::float3, keys::float4, keys::float5})
                d.append(k, kZero);
            d.append(keys::dauerTag, 0);
            d.append(keys::UUID, kEmptyText);
            d.append(keys::parentUUID, kEmptyText);
            addMisc(d, 9);
            d.append(keys::templateTitle, kEmptyText);
            break;
        case RecordClass::InventoryItem:
            d.append(keys::title, kEmptyText);
            d.append(keys::brutto, kZero);
            d.append(keys::netto, kZero);
            d.append(keys::category, kEmptyText);
            d.append(keys::comment, kEmptyText);
            d.append(keys::date, now);
            d.append(keys::UUID, kEmptyText);
            d.append(keys::parentUUID, kEmptyText);
            addMisc(d, 9);
            break;
    }
    return d;
}

}  // namespace

QString className(RecordClass c) {
    return QString::fromUtf16(kClassNames[static_cast<size_t>(c)]);
}

std::optional<RecordClass> recordClassFromName(QStringView name) {
    for (size_t i = 0; i < kClassNames.size(); ++i)
        if (name == QStringView(kClassNames[i])) return static_cast<RecordClass>(i);
    return std::nullopt;
}

const std::vector<ChildList>& childListsOf(RecordClass c) {
    static const std::vector<ChildList> none;
    static const std::vector<ChildList> year = {ChildList::Thelists, ChildList::Files,
                                                ChildList::Items};
    static const std::vector<ChildList> itemsFiles = {ChildList::Items, ChildList::Files};
    switch (c) {
        case RecordClass::Year:
            return year;
        case RecordClass::Thelist:
        case RecordClass::Cashbook:
            return itemsFiles;
        default:
            return none;
    }
}

Key childListKey(ChildList list) {
    switch (list) {
        case ChildList::Thelists:
            return keys::thelists;
        case ChildList::Items:
            return keys::items;
        case ChildList::Files:
            return keys::files;
    }
    return keys::items;
}

RecordPtr Record::create(RecordClass c, Date now) {
    RecordPtr r = std::make_shared<Record>(Made(), c);
    r->properties_ = defaults(c, now);
    for (ChildList l : childListsOf(c)) r->childState_[index(l)] = EntryState::Present;
    return r;
}

RecordPtr Record::createEmpty(RecordClass c) {
    RecordPtr r = std::make_shared<Record>(Made(), c);
    r->propertiesState_ = EntryState::Missing;
    return r;
}

void Record::setProperties(const Dict& p) {
    if (&p == &properties_) return;
    properties_ = p;
    propertiesState_ = EntryState::Present;
}

bool Record::hasChildList(ChildList list) const {
    for (ChildList l : childListsOf(class_))
        if (l == list) return true;
    return false;
}

const RecordList& Record::children(ChildList list) const {
    return children_[index(list)];
}

RecordList& Record::children(ChildList list) {
    return children_[index(list)];
}

void Record::setChildren(ChildList list, const RecordList& records) {
    RecordList& mine = children_[index(list)];
    if (&records != &mine) mine = records;
    childState_[index(list)] = EntryState::Present;
}

const ForeignElements* Record::foreign(ChildList list) const {
    if (!foreign_) return nullptr;
    const ForeignElements& f = (*foreign_)[index(list)];
    return f.empty() ? nullptr : &f;
}

void Record::addForeign(ChildList list, size_t position, Value value) {
    if (!foreign_) foreign_ = std::make_unique<std::array<ForeignElements, 3>>();
    (*foreign_)[index(list)].push_back({position, std::move(value)});
}

RecordPtr Record::deepCopy() const {
    RecordPtr r = std::make_shared<Record>(Made(), class_);
    r->propertiesState_ = propertiesState_;
    if (foreign_) r->foreign_ = std::make_unique<std::array<ForeignElements, 3>>(*foreign_);
    r->childState_ = childState_;
    r->properties_ = properties_;
    for (size_t i = 0; i < children_.size(); ++i) {
        r->children_[i].reserve(children_[i].size());
        for (const RecordPtr& child : children_[i])
            r->children_[i].push_back(child ? child->deepCopy() : nullptr);
    }
    return r;
}

void Record::restoreFrom(const Record& other) {
    if (&other == this || other.class_ != class_) return;
    properties_ = other.properties_;
    propertiesState_ = other.propertiesState_;
    childState_ = other.childState_;
    children_ = other.children_;
    foreign_ = other.foreign_ ? std::make_unique<std::array<ForeignElements, 3>>(*other.foreign_)
                              : nullptr;
}

bool Record::operator==(const Record& other) const {
    if (class_ != other.class_ || !(properties_ == other.properties_)) return false;
    for (ChildList l : {ChildList::Thelists, ChildList::Items, ChildList::Files}) {
        const ForeignElements* a = foreign(l);
        const ForeignElements* b = other.foreign(l);
        if ((a == nullptr) != (b == nullptr) || (a && !(*a == *b))) return false;
    }
    for (size_t i = 0; i < children_.size(); ++i) {
        if (children_[i].size() != other.children_[i].size()) return false;
        for (size_t j = 0; j < children_[i].size(); ++j) {
            const RecordPtr& a = children_[i][j];
            const RecordPtr& b = other.children_[i][j];
            if (!a || !b) {
                if (a != b) return false;
            } else if (!(*a == *b)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace quandor
