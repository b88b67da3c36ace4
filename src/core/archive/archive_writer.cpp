// Encoding a Value tree as a keyed archive in the layout of NSKeyedArchiver.
//
// Archive level: "$objects"[0] is "$null"; an object's index is reserved
// before its contents are encoded and its class dictionary is appended the
// first time the class is used, after the contents. Every object value is a
// UID. The same record, list, dictionary, icon or opaque object (by address)
// is written once; equal strings, numbers and data share one entry, dates of
// equal value one NSDate object, and name-only icons of equal name one NSImage
// object (all immutable values, so sharing cannot change what is read back).
// Kept raw subtrees (raw_store.h) are written back object for object, their
// class dictionaries merged with the writer's own.
//
// Sharing::Unshared turns every merge off except the archiver's own rules (an
// object met twice by address and a class are written once): each scalar,
// key, date and named icon gets an object of its own, and the property list
// merges nothing, so that every UID and every entry name ("$class",
// "NS.keys", …) is a separate property-list object too.
//
// Sharing::Separate keeps the merges that belong to the archiver's constants
// and to the property-list layer (keys, entry names, UIDs of one index, named
// icons, equal scalars in the property list) and turns off only the merging of
// equal values: each text, number, data and date written as a value gets an
// archive index of its own.

#include "core/archive/archive.h"

#include "core/archive/bplist_writer.h"
#include "core/archive/flat_hash.h"
#include "core/archive/format.h"
#include "core/archive/raw_store.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <unordered_map>

namespace quandor::archive {

EntryState writtenState(EntryState state, bool empty) {
    return empty ? state : EntryState::Present;
}

namespace {

using bplist::Builder;
using Ref = Builder::Ref;

constexpr Ref kUnset = UINT32_MAX;

// Classes the writer itself uses; record classes follow at kFirstRecordClass.
enum FixedClass : size_t {
    Dictionary,
    Array,
    DateClass,
    Image,
    kFirstRecordClass,
    kFixedClassCount = kFirstRecordClass + 10
};

// A direct-mapped cache in front of the property-list merge table: a value met
// again (a text sharing its data with one written before, a number of the same
// bits) finds its archive index without being encoded and hashed. Most values
// of a database repeat ("", 0, the same category), so this answers most
// lookups from memory the CPU already holds.
class RecentScalars {
  public:
    // `identity` is exact: a text's data pointer and length (the tree is not
    // changed while it is written, so a pointer cannot be reused for other
    // text), or a number's kind and bits.
    uint32_t* find(uint64_t a, uint64_t b) {
        Entry& e =
            entries_[mix64(a ^ (b * 0x9E3779B97F4A7C15ull), 0xBF58476D1CE4E5B9ull) & (kSize - 1)];
        if (e.index && e.a == a && e.b == b) return &e.index;
        pending_ = &e;
        return nullptr;
    }
    // Stores the index for the identity of the last find().
    void remember(uint64_t a, uint64_t b, uint32_t index) { *pending_ = {a, b, index}; }

  private:
    struct Entry {
        uint64_t a = 0, b = 0;
        uint32_t index = 0;
    };
    static constexpr size_t kSize = 4096;
    std::vector<Entry> entries_ = std::vector<Entry>(kSize);
    Entry* pending_ = nullptr;
};

class Encoder {
  public:
    explicit Encoder(Sharing sharing = Sharing::Shared);
    // Encodes the archive of `root`; then finish it with b_.finish.
    void run(const Value& root);
    QByteArray bytes() const { return b_.finish(top_); }
    bool writeTo(QIODevice& device) const { return b_.finish(top_, device); }

  private:
    uint32_t encode(const Value& v);
    uint32_t numberObject(uint64_t kind, uint64_t bits, const Value& v);
    uint32_t reserve() {
        objects_.push_back(kUnset);
        return static_cast<uint32_t>(objects_.size() - 1);
    }
    uint32_t scalarObject(Ref r);
    // A new archive index for `r`, even when the property list merged it with an earlier value.
    uint32_t freshScalar(Ref r) {
        objects_.push_back(r);
        return static_cast<uint32_t>(objects_.size() - 1);
    }
    Ref uidOf(uint32_t index);
    // An entry name of an archived object: the one shared reference, or in
    // the unshared layout a fresh string each time.
    Ref entryName(Ref shared) { return unshared_ ? b_.copyScalar(shared) : shared; }
    uint32_t keyObject(Key k);
    uint32_t fixedClass(FixedClass c);
    uint32_t classObject(const QString& name, const std::vector<QString>& chain);
    Ref objectDict(uint32_t classIndex, const Ref* keys, const Ref* values, size_t n);

    uint32_t record(const RecordPtr& r);
    // `shared`: a dictionary value that may be referenced again (a record's
    // own properties never are, so they skip the identity table).
    uint32_t dictObject(const Dict& d, bool shared);
    uint32_t listObject(const ValueList& l);
    uint32_t childListObject(const RecordList& l, const ForeignElements* foreign);
    uint32_t dateObject(Date d);
    uint32_t iconObject(const std::shared_ptr<const Icon>& icon);
    uint32_t opaqueObject(const std::shared_ptr<const OpaqueObject>& o);

    uint32_t rawObject(const RawRef& ref);
    uint32_t rawIndex(const RawStore& store, std::vector<uint32_t>& ids, uint32_t id);
    Ref rawNode(const RawStore& store, std::vector<uint32_t>& ids, uint32_t node);

    Builder b_;
    bool unshared_ = false;
    bool separate_ = false;             // a fresh archive index for every value written
    GrowBuffer<Ref> objects_;           // archive index → property-list ref
    GrowBuffer<uint32_t> scalarIndex_;  // property-list ref → archive index (0 = none)
    GrowBuffer<Ref> uidRefs_;           // archive index → ref of its UID + 1
    std::vector<uint32_t> keyIndex_;    // Key id → archive index (0 = none)
    U64Map identity_;                   // object address → archive index
    U64Map dates_;                      // bits of the date → archive index
    U64Map namedIcons_;                 // ref of the icon name → archive index
    std::array<uint32_t, kFixedClassCount> fixedClasses_{};
    QHash<QString, uint32_t> classes_;  // name and chain → archive index
    std::unordered_map<const RawStore*, std::vector<uint32_t>> rawIds_;  // kept id → archive index
    std::vector<uint32_t> rawQueue_;
    std::vector<Ref> stack_;  // references of containers under construction
    // The "NS.keys" of the last dictionary: the next one usually has the same.
    std::vector<Ref> lastKeys_;
    Ref lastKeysArray_ = kUnset;
    RecentScalars recent_;

    Ref top_;
    Ref kClass_, kKeys_, kObjects_, kTime_, kName_, kClassname_, kClasses_;
    std::array<Ref, 3> kChildList_{};
    Ref kProperties_;
};

Encoder::Encoder(Sharing sharing)
    : unshared_(sharing == Sharing::Unshared), separate_(sharing != Sharing::Shared) {
    b_.setMerging(!unshared_);
    top_ = b_.reserve();  // reference 0, as CF lays out the top object
    kClass_ = b_.ascii(names::classKey);
    kKeys_ = b_.ascii(names::nsKeys);
    kObjects_ = b_.ascii(names::nsObjects);
    kTime_ = b_.ascii(names::nsTime);
    kName_ = b_.ascii(names::nsName);
    kClassname_ = b_.ascii(names::classname);
    kClasses_ = b_.ascii(names::classes);
    kProperties_ = b_.ascii(names::properties);
    kChildList_[static_cast<size_t>(ChildList::Thelists)] = b_.ascii(names::thelists);
    kChildList_[static_cast<size_t>(ChildList::Items)] = b_.ascii(names::items);
    kChildList_[static_cast<size_t>(ChildList::Files)] = b_.ascii(names::files);
    objects_.push_back(b_.ascii(names::null));  // "$objects"[0]; never merged with a "$null" value
}

void Encoder::run(const Value& root) {
    const uint32_t rootIndex = encode(root);
    assert(std::find(objects_.begin(), objects_.end(), kUnset) == objects_.end());

    const Ref rootKey = b_.ascii(names::root);
    const Ref rootUid = uidOf(rootIndex);
    const Ref topDict = b_.dict(&rootKey, &rootUid, 1);
    const Ref objectsArray = b_.array(objects_.data(), objects_.size());
    const Ref keys[] = {b_.ascii(names::archiver), b_.ascii(names::version), b_.ascii(names::top),
                        b_.ascii(names::objects)};
    const Ref values[] = {b_.ascii(names::keyedArchiver), b_.integer(names::kVersion), topDict,
                          objectsArray};
    b_.setDict(top_, keys, values, 4);
}

uint32_t Encoder::scalarObject(Ref r) {
    if (r < scalarIndex_.size() && scalarIndex_[r]) return scalarIndex_[r];
    const auto index = static_cast<uint32_t>(objects_.size());
    objects_.push_back(r);
    if (unshared_) return index;  // r is a fresh object: nothing to find again
    if (r >= scalarIndex_.size())
        scalarIndex_.resize(std::max<size_t>(r + 1, scalarIndex_.size() * 2), 0u);
    scalarIndex_[r] = index;
    return index;
}

Ref Encoder::uidOf(uint32_t index) {
    if (unshared_) return b_.uidUnmerged(index);
    if (index >= uidRefs_.size())
        uidRefs_.resize(std::max<size_t>(index + 1, uidRefs_.size() * 2), Ref{0});
    if (!uidRefs_[index]) uidRefs_[index] = b_.uidUnmerged(index) + 1;
    return uidRefs_[index] - 1;
}

uint32_t Encoder::keyObject(Key k) {
    const uint32_t id = k.id();
    if (unshared_) return scalarObject(b_.string(k.name()));
    if (id >= keyIndex_.size()) keyIndex_.resize(std::max<size_t>(id + 1, 256), 0);
    if (!keyIndex_[id]) keyIndex_[id] = scalarObject(b_.string(k.name()));
    return keyIndex_[id];
}

uint32_t Encoder::classObject(const QString& name, const std::vector<QString>& chain) {
    QString id = name;
    for (const QString& c : chain) id += QChar(0) + c;
    if (auto it = classes_.constFind(id); it != classes_.constEnd()) return it.value();
    std::vector<Ref> chainRefs;
    chainRefs.reserve(chain.size());
    for (const QString& c : chain) chainRefs.push_back(b_.string(c));
    const Ref keys[] = {entryName(kClassname_), entryName(kClasses_)};
    const Ref values[] = {b_.string(name), b_.array(chainRefs.data(), chainRefs.size())};
    const auto index = static_cast<uint32_t>(objects_.size());
    objects_.push_back(b_.dict(keys, values, 2));
    classes_.insert(id, index);
    return index;
}

uint32_t Encoder::fixedClass(FixedClass c) {
    uint32_t& known = fixedClasses_[c];
    if (known) return known;
    const auto q = [](const char* s) { return QString::fromLatin1(s); };
    switch (c) {
        case Dictionary:
            known = classObject(
                q(names::NSMutableDictionary),
                {q(names::NSMutableDictionary), q(names::NSDictionary), q(names::NSObject)});
            break;
        case Array:
            known = classObject(q(names::NSMutableArray),
                                {q(names::NSMutableArray), q(names::NSArray), q(names::NSObject)});
            break;
        case DateClass:
            known = classObject(q(names::NSDate), {q(names::NSDate), q(names::NSObject)});
            break;
        case Image:
            known = classObject(q(names::NSImage), {q(names::NSImage), q(names::NSObject)});
            break;
        default: {
            const QString name = className(static_cast<RecordClass>(c - kFirstRecordClass));
            known = classObject(name, {name, q(names::NSObject)});
            break;
        }
    }
    return known;
}

Ref Encoder::objectDict(uint32_t classIndex, const Ref* keys, const Ref* values, size_t n) {
    // "$class" first, then the entries in writing order.
    std::array<Ref, 8> k, v;
    assert(n < k.size());
    k[0] = entryName(kClass_);
    v[0] = uidOf(classIndex);
    for (size_t i = 0; i < n; ++i) {
        k[i + 1] = keys[i];
        v[i + 1] = values[i];
    }
    return b_.dict(k.data(), v.data(), n + 1);
}

uint32_t Encoder::encode(const Value& v) {
    switch (v.type()) {
        case Value::Type::Null:
            return 0;
        case Value::Type::Bool:
            return numberObject(1, v.asBool(), v);
        case Value::Type::Int:
            return numberObject(2, static_cast<uint64_t>(v.asInt()), v);
        case Value::Type::Real: {
            const Real& r = v.asReal();
            uint64_t bits = 0;
            if (r.wide) {
                std::memcpy(&bits, &r.value, 8);
            } else {
                const float f = static_cast<float>(r.value);
                std::memcpy(&bits, &f, 4);
            }
            return numberObject(r.wide ? 4 : 3, bits, v);
        }
        case Value::Type::String: {
            const QString& s = v.asString();
            const auto data = reinterpret_cast<uint64_t>(s.constData());
            const auto size = static_cast<uint64_t>(s.size()) | (uint64_t{5} << 56);
            if (separate_) return freshScalar(b_.string(s));
            if (const uint32_t* known = recent_.find(data, size)) return *known;
            const uint32_t index = scalarObject(b_.string(s));
            recent_.remember(data, size, index);
            return index;
        }
        case Value::Type::Data: {
            const QByteArray& d = v.asData();
            const Ref r = b_.data(d.constData(), static_cast<size_t>(d.size()));
            return separate_ ? freshScalar(r) : scalarObject(r);
        }
        case Value::Type::Date:
            return dateObject(v.asDate());
        case Value::Type::Icon:
            return iconObject(v.iconPtr());
        case Value::Type::List: {
            const auto& list = v.asList();
            if (!list) return 0;
            const auto address = reinterpret_cast<uint64_t>(list.get());
            if (const uint32_t* known = identity_.find(address)) return *known;
            return listObject(*list);
        }
        case Value::Type::Dict: {
            const auto& dict = v.asDict();
            if (!dict) return 0;
            const auto address = reinterpret_cast<uint64_t>(dict.get());
            if (const uint32_t* known = identity_.find(address)) return *known;
            // Registered by dictObject before its contents: a dictionary that
            // contains itself becomes a reference, not an endless recursion.
            return dictObject(*dict, true);
        }
        case Value::Type::Record:
            return record(v.asRecord());
        case Value::Type::Opaque:
            return opaqueObject(v.asOpaque());
    }
    return 0;
}

uint32_t Encoder::numberObject(uint64_t kind, uint64_t bits, const Value& v) {
    if (const uint32_t* known = separate_ ? nullptr : recent_.find(bits, kind)) return *known;
    Ref r;
    switch (kind) {
        case 1:
            r = b_.boolean(v.asBool());
            break;
        case 2:
            r = b_.integer(v.asInt());
            break;
        case 3:
            r = b_.real32(static_cast<float>(v.asReal().value));
            break;
        default:
            r = b_.real64(v.asReal().value);
            break;
    }
    if (separate_) return freshScalar(r);
    const uint32_t index = scalarObject(r);
    recent_.remember(bits, kind, index);
    return index;
}

uint32_t Encoder::dictObject(const Dict& d, bool shared) {
    const uint32_t index = reserve();
    if (shared) identity_.insert(reinterpret_cast<uint64_t>(&d), index);
    const size_t n = d.size();
    const size_t base = stack_.size();
    // Keys first, then values, as NSDictionary encodes "NS.keys" before "NS.objects".
    for (const Dict::Entry& e : d) stack_.push_back(uidOf(keyObject(e.key)));
    for (const Dict::Entry& e : d) {
        const uint32_t value = encode(e.value);
        stack_.push_back(uidOf(value));
    }
    Ref keys;
    if (!unshared_ && lastKeysArray_ != kUnset && lastKeys_.size() == n &&
        std::equal(lastKeys_.begin(), lastKeys_.end(),
                   stack_.begin() + static_cast<std::ptrdiff_t>(base))) {
        keys = b_.arrayLike(lastKeysArray_);
    } else {
        keys = b_.array(stack_.data() + base, n);
        lastKeys_.assign(stack_.begin() + static_cast<std::ptrdiff_t>(base),
                         stack_.begin() + static_cast<std::ptrdiff_t>(base + n));
        lastKeysArray_ = keys;
    }
    const Ref values = b_.array(stack_.data() + base + n, n);
    stack_.resize(base);
    const Ref k[] = {entryName(kKeys_), entryName(kObjects_)};
    const Ref v[] = {keys, values};
    objects_[index] = objectDict(fixedClass(Dictionary), k, v, 2);
    return index;
}

uint32_t Encoder::listObject(const ValueList& l) {
    const uint32_t index = reserve();
    identity_.insert(reinterpret_cast<uint64_t>(&l), index);
    const size_t base = stack_.size();
    for (const Value& e : l) {
        const uint32_t element = encode(e);
        stack_.push_back(uidOf(element));
    }
    const Ref elements = b_.array(stack_.data() + base, l.size());
    stack_.resize(base);
    const Ref name = entryName(kObjects_);
    objects_[index] = objectDict(fixedClass(Array), &name, &elements, 1);
    return index;
}

uint32_t Encoder::childListObject(const RecordList& l, const ForeignElements* foreign) {
    const uint32_t index = reserve();
    const size_t base = stack_.size();
    if (!foreign) {
        for (const RecordPtr& r : l) {
            const uint32_t element = record(r);
            stack_.push_back(uidOf(element));
        }
    } else {
        visitWritten(
            l, foreign, [this](const RecordPtr& r) { stack_.push_back(uidOf(record(r))); },
            [this](const Value& v) { stack_.push_back(uidOf(encode(v))); });
    }
    const Ref elements = b_.array(stack_.data() + base, stack_.size() - base);
    stack_.resize(base);
    const Ref name = entryName(kObjects_);
    objects_[index] = objectDict(fixedClass(Array), &name, &elements, 1);
    return index;
}

uint32_t Encoder::record(const RecordPtr& r) {
    if (!r) return 0;
    const auto address = reinterpret_cast<uint64_t>(r.get());
    if (const uint32_t* known = identity_.find(address)) return *known;
    const uint32_t index = reserve();
    identity_.insert(address, index);

    std::array<Ref, 4> keys, values;
    size_t n = 0;
    const Dict& props = r->properties();
    switch (writtenState(r->propertiesState(), props.empty())) {
        case EntryState::Missing:
            break;
        case EntryState::Nil:
            keys[n] = entryName(kProperties_);
            values[n++] = uidOf(0);
            break;
        case EntryState::Present: {
            const uint32_t dict = dictObject(props, false);
            keys[n] = entryName(kProperties_);
            values[n++] = uidOf(dict);
            break;
        }
    }
    for (ChildList list : childListsOf(r->recordClass())) {
        const RecordList& children = r->children(list);
        const ForeignElements* foreign = r->foreign(list);
        switch (writtenState(r->childState(list), children.empty() && !foreign)) {
            case EntryState::Missing:
                break;
            case EntryState::Nil:
                keys[n] = entryName(kChildList_[static_cast<size_t>(list)]);
                values[n++] = uidOf(0);
                break;
            case EntryState::Present: {
                const uint32_t array = childListObject(children, foreign);
                keys[n] = entryName(kChildList_[static_cast<size_t>(list)]);
                values[n++] = uidOf(array);
                break;
            }
        }
    }
    const auto cls =
        static_cast<FixedClass>(kFirstRecordClass + static_cast<size_t>(r->recordClass()));
    objects_[index] = objectDict(fixedClass(cls), keys.data(), values.data(), n);
    return index;
}

uint32_t Encoder::dateObject(Date d) {
    uint64_t bits;
    std::memcpy(&bits, &d.sinceReference, 8);
    if (const uint32_t* known = separate_ ? nullptr : dates_.find(bits)) return *known;
    const uint32_t index = reserve();
    if (!separate_) dates_.insert(bits, index);
    const Ref time = b_.real64(d.sinceReference);
    const Ref name = entryName(kTime_);
    objects_[index] = objectDict(fixedClass(DateClass), &name, &time, 1);
    return index;
}

uint32_t Encoder::iconObject(const std::shared_ptr<const Icon>& icon) {
    if (!icon) return 0;
    const auto address = reinterpret_cast<uint64_t>(icon.get());
    if (const uint32_t* known = identity_.find(address)) return *known;
    uint32_t index;
    if (icon->raw) {
        index = rawObject(*static_cast<const RawRef*>(icon->raw.get()));
    } else {
        const Ref name = b_.string(icon->name);
        if (const uint32_t* known = unshared_ ? nullptr : namedIcons_.find(name)) {
            index = *known;
        } else {
            index = reserve();
            if (!unshared_) namedIcons_.insert(name, index);
            const Ref nameUid = uidOf(scalarObject(name));
            const Ref entry = entryName(kName_);
            objects_[index] = objectDict(fixedClass(Image), &entry, &nameUid, 1);
        }
    }
    identity_.insert(address, index);
    return index;
}

uint32_t Encoder::opaqueObject(const std::shared_ptr<const OpaqueObject>& o) {
    if (!o) return 0;
    const auto address = reinterpret_cast<uint64_t>(o.get());
    if (const uint32_t* known = identity_.find(address)) return *known;
    uint32_t index;
    if (o->raw) {
        index = rawObject(*static_cast<const RawRef*>(o->raw.get()));
    } else {
        // Made by the program rather than read: an object of its class without entries.
        index = reserve();
        objects_[index] = objectDict(
            classObject(o->className, {o->className, QString::fromLatin1(names::NSObject)}),
            nullptr, nullptr, 0);
    }
    identity_.insert(address, index);
    return index;
}

uint32_t Encoder::rawObject(const RawRef& ref) {
    if (!ref.store || ref.object == 0 || ref.object >= ref.store->objects.size()) return 0;
    const RawStore& store = *ref.store;
    std::vector<uint32_t>& ids = rawIds_[&store];
    if (ids.empty()) ids.assign(store.objects.size(), 0);
    const uint32_t index = rawIndex(store, ids, ref.object);
    // Breadth first over the kept objects reachable from here: no recursion
    // along UIDs, however long a chain of kept objects is.
    while (!rawQueue_.empty()) {
        const uint32_t id = rawQueue_.back();
        rawQueue_.pop_back();
        const Ref r = rawNode(store, ids, store.objects[id]);
        objects_[ids[id]] = r;
    }
    return index;
}

uint32_t Encoder::rawIndex(const RawStore& store, std::vector<uint32_t>& ids, uint32_t id) {
    if (id == 0 || id >= ids.size()) return 0;
    if (ids[id]) return ids[id];
    // A kept class dictionary joins the writer's classes of the same name and chain.
    const RawNode& n = store.nodes[store.objects[id]];
    if (n.kind == RawNode::Kind::Dict && n.value == 2) {
        QString name;
        std::vector<QString> chain;
        bool haveName = false, haveChain = false, other = false;
        for (uint32_t i = 0; i < 2; ++i) {
            const RawNode& key = store.nodes[store.children[n.index + i]];
            const RawNode& value = store.nodes[store.children[n.index + 2 + i]];
            if (key.kind != RawNode::Kind::String) {
                other = true;
                break;
            }
            const QString& k = store.strings[key.index];
            if (k == QLatin1StringView(names::classname) && value.kind == RawNode::Kind::String) {
                name = store.strings[value.index];
                haveName = true;
            } else if (k == QLatin1StringView(names::classes) &&
                       value.kind == RawNode::Kind::Array) {
                haveChain = true;
                for (uint64_t j = 0; j < value.value; ++j) {
                    const RawNode& c = store.nodes[store.children[value.index + j]];
                    if (c.kind != RawNode::Kind::String) {
                        other = true;
                        break;
                    }
                    chain.push_back(store.strings[c.index]);
                }
            } else {
                other = true;
            }
        }
        if (haveName && haveChain && !other) {
            ids[id] = classObject(name, chain);
            return ids[id];
        }
    }
    ids[id] = reserve();
    rawQueue_.push_back(id);
    return ids[id];
}

Ref Encoder::rawNode(const RawStore& store, std::vector<uint32_t>& ids, uint32_t node) {
    const RawNode& n = store.nodes[node];
    switch (n.kind) {
        case RawNode::Kind::Null:
            return b_.null();
        case RawNode::Kind::Bool:
            return b_.boolean(n.value != 0);
        case RawNode::Kind::Int:
            return b_.integer(static_cast<int64_t>(n.value));
        case RawNode::Kind::BigInt: {
            const auto* p = reinterpret_cast<const uint8_t*>(store.blobs[n.index].constData());
            uint64_t high = 0, low = 0;
            for (int i = 0; i < 8; ++i) high = (high << 8) | p[i];
            for (int i = 8; i < 16; ++i) low = (low << 8) | p[i];
            return b_.bigInt(high, low);
        }
        case RawNode::Kind::Real32: {
            const auto bits = static_cast<uint32_t>(n.value);
            float f;
            std::memcpy(&f, &bits, 4);
            return b_.real32(f);
        }
        case RawNode::Kind::Real64:
        case RawNode::Kind::Date: {
            double d;
            std::memcpy(&d, &n.value, 8);
            return n.kind == RawNode::Kind::Date ? b_.date(d) : b_.real64(d);
        }
        case RawNode::Kind::Data: {
            const QByteArray& d = store.blobs[n.index];
            return b_.data(d.constData(), static_cast<size_t>(d.size()));
        }
        case RawNode::Kind::String:
            return b_.string(store.strings[n.index]);
        case RawNode::Kind::Uid:
            return uidOf(rawIndex(store, ids, static_cast<uint32_t>(n.value)));
        case RawNode::Kind::Array:
        case RawNode::Kind::Set:
        case RawNode::Kind::Dict: {
            const uint64_t count = n.kind == RawNode::Kind::Dict ? 2 * n.value : n.value;
            std::vector<Ref> refs;
            refs.reserve(count);
            for (uint64_t i = 0; i < count; ++i)
                refs.push_back(rawNode(store, ids, store.children[n.index + i]));
            if (n.kind == RawNode::Kind::Array) return b_.array(refs.data(), refs.size());
            if (n.kind == RawNode::Kind::Set) return b_.set(refs.data(), refs.size());
            return b_.dict(refs.data(), refs.data() + n.value, n.value);
        }
    }
    return b_.null();
}

}  // namespace

QByteArray write(const Value& root) {
    return write(root, Sharing::Shared);
}

QByteArray write(const Value& root, Sharing sharing) {
    Encoder e(sharing);
    e.run(root);
    return e.bytes();
}

bool write(const Value& root, QIODevice& device) {
    Encoder e;
    e.run(root);
    return e.writeTo(device);
}

}  // namespace quandor::archive
