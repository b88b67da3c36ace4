// Decoding a keyed archive ("$top" → "root") into Value.
//
// Policy (docs/FILE_FORMAT.md, "What the reader accepts"):
// - Objects are decoded lazily from the root, each archive index once: a
//   record, list or dictionary referenced twice is one shared object. Equal
//   scalars share one decoded value (scalar_table.h), however the file stores
//   them: once (as CF merges them) or each time anew.
// - Classes are recognised by "$classname" alone; mutable and immutable
//   Foundation classes alike; unknown classes become OpaqueObjects whose raw
//   subtree is kept (raw_store.h) and written back.
// - Damage of any kind throws a Failure inside this file; read() turns it
//   into ok = false and a German message. Recursion is bounded by kMaxDepth,
//   cycles are detected with an in-progress mark, and the expanded size of the
//   decoded tree ("weight", shared objects counted each time they are
//   reached) is bounded by a multiple of the file size, so neither a shared
//   DAG nor a count field can make the reader, the dump or a comparison
//   explode.

#include "core/archive/archive.h"

#include "core/archive/big_allocator.h"
#include "core/archive/bplist_reader.h"
#include "core/archive/damage.h"
#include "core/archive/flat_hash.h"
#include "core/archive/format.h"
#include "core/archive/mapped_file.h"
#include "core/archive/raw_store.h"
#include "core/archive/scalar_table.h"
#include "core/archive/xml_plist.h"
#include "core/keys.h"
#include "core/record.h"

#include <QFile>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace quandor::archive {

namespace {

using bplist::Kind;
using bplist::Object;

struct Failure {
    Damage damage;
};

[[noreturn]] void fail(Damage d) {
    throw Failure{d};
}

// Archive nesting (an object inside an object). The record tree is about ten
// levels deep; anything near the limit is damage or an attack.
constexpr int kMaxDepth = 100;
// Property-list containers nested inside one archived object (only kept raw
// subtrees descend into these; Foundation writes at most two levels).
constexpr int kMaxPlistDepth = 32;

// Per archive index: state in the top two bits; below, for Done, the index
// of the decoded value in Decoder::decoded_, or with kRecordFlag the index of
// a record in Decoder::records_; for PropertiesOf the index of the record in
// Decoder::records_ whose properties the dictionary became.
constexpr uint32_t kPayloadMask = (1u << 30) - 1;
constexpr uint32_t kRecordFlag = 1u << 29;
constexpr uint32_t kWeightMask = kPayloadMask;  // weights are kept below this too
enum State : uint32_t { Unvisited = 0, InProgress = 1, Done = 2, PropertiesOf = 3 };
constexpr uint32_t stateOf(uint32_t slot) {
    return slot >> 30;
}
constexpr uint32_t payloadOf(uint32_t slot) {
    return slot & kPayloadMask;
}
constexpr uint32_t makeSlot(State s, uint32_t payload) {
    return (uint32_t{s} << 30) | payload;
}

// The keys of archived objects the decoder looks at.
enum class Name : uint8_t {
    Other,
    NotText,  // a key that is no text: damage where an archived object's key stands
    Class,
    NSKeys,
    NSObjects,
    NSString,
    NSBytes,
    NSTime,
    NSData,
    NSName,
    NSImageName,
    NSReps,
    Properties,
    Thelists,
    Items,
    Files,
    Classname,
    Classes,
};

enum class ClassKind : uint8_t { Record, Dictionary, Array, String, Date, Data, Image, Unknown };

struct ClassInfo {
    ClassKind kind = ClassKind::Unknown;
    RecordClass record = RecordClass::Item;
    bool plainImage = false;  // {"$classname": "NSImage", "$classes": ["NSImage", "NSObject"]}
    QString name;
};

// One entry of a dictionary being decoded.
struct EntrySlot {
    Key key;
    bool superseded = false;   // a later entry of the same dictionary has the same key
    bool inlineValue = false;  // the value is stored inline, not as a UID
    uint64_t ref = 0;          // property-list ref of the value
    uint64_t value = 0;        // archive index of the value (when not inline)
};

const Value kNil;

QString asciiText(const uint8_t* p, uint64_t n) {
    for (uint64_t i = 0; i < n; ++i) {
        if (p[i] >= 0x80) {
            // Not ASCII after all: some writers put UTF-8 into 0x5n strings.
            QStringDecoder utf8(QStringDecoder::Utf8);
            QString s = utf8(QByteArrayView(p, static_cast<qsizetype>(n)));
            if (!utf8.hasError()) return s;
            return QString::fromLatin1(reinterpret_cast<const char*>(p), static_cast<qsizetype>(n));
        }
    }
    return QString::fromLatin1(reinterpret_cast<const char*>(p), static_cast<qsizetype>(n));
}

class Decoder {
  public:
    explicit Decoder(const QByteArray& bytes)
        : data_(reinterpret_cast<const uint8_t*>(bytes.constData())),
          size_(static_cast<size_t>(bytes.size())) {
        nameCache_.fill({UINT64_MAX, Name::Other});
        recentScalars_.fill({UINT64_MAX, kNoEntry, Object{}});
    }

    Value run();

  private:
    // --- property-list access ---
    Object object(uint64_t ref) const {
        Object o;
        if (Damage d = plist_.object(ref, &o); d != Damage::None) fail(d);
        return o;
    }
    uint64_t plistRefOf(uint64_t index) const { return plist_.reference(objects_, index); }
    Object archived(uint64_t index) const { return object(plistRefOf(index)); }
    uint64_t keyRef(const Object& dict, uint64_t i) const { return plist_.reference(dict, i); }
    uint64_t valueRef(const Object& dict, uint64_t i) const {
        return plist_.reference(dict, dict.count + i);
    }
    Name nameOf(uint64_t keyRef);
    QString text(const Object& s) const;

    // --- weights ---
    void add(uint64_t& weight, uint64_t w) const {
        weight += w;
        if (weight > limit_) fail(Damage::TooLarge);
    }

    // --- values ---
    Value decodeIndex(uint64_t index, int depth, uint64_t& weight);
    Value decodeRef(uint64_t ref, int depth, uint64_t& weight);
    Value scalar(const Object& o) const;
    // The decoded_ entry of a text or data object `o` (property-list ref `ref`): one per
    // distinct value.
    uint32_t scalarEntry(uint64_t ref, const Object& o);
    // Keeps a decoded value for later references; its index in decoded_.
    uint32_t remember(Value v, uint64_t weight);
    Value decodeObject(uint64_t index, const Object& o, const ClassInfo& cls, int depth,
                       uint64_t& weight);
    const ClassInfo& classOf(const Object& o);
    // A child list's element at archive index `index` when it is a record,
    // decoded (or found) without wrapping it in a Value; null when the index
    // holds anything else or is damaged (decodeIndex then judges and reports it).
    RecordPtr childRecord(uint64_t index, int depth, uint64_t& weight);
    // Decodes the record object `o` at archive index `index` into records_ and
    // marks the index done; its index in records_.
    uint32_t recordAt(uint64_t index, const Object& o, RecordClass c, int depth, uint64_t& weight);
    ClassInfo describeClass(uint64_t classIndex);
    // false when a key is no text (the dictionary is then kept as an opaque object)
    bool decodeEntries(const Object& o, Dict& out, int depth, uint64_t& weight);
    std::optional<Key> keyOf(uint64_t ref);
    Object containerEntry(const Object& o, Name name, Kind kind);
    // The record's index in records_.
    uint32_t decodeRecord(RecordClass c, const Object& o, int depth, uint64_t& weight);
    void decodeProperties(const RecordPtr& r, uint32_t recordId, uint64_t ref, int depth,
                          uint64_t& weight);
    void decodeChildList(const RecordPtr& r, ChildList list, uint64_t ref, int depth,
                         uint64_t& weight);
    // A text stored inline, as a text object or as an NSString object; *plain: a text object.
    std::optional<QString> textEntry(uint64_t ref, int depth, bool* plain = nullptr);
    double numberEntry(uint64_t ref);
    Value decodeImage(uint64_t index, const Object& o, const ClassInfo& cls, int depth);
    int countRepresentations(uint64_t ref);
    Value opaque(uint64_t index, const ClassInfo& cls);

    // --- kept raw subtrees ---
    std::shared_ptr<const void> keep(uint64_t index);
    uint32_t keptId(uint64_t index);
    uint32_t copyNode(uint64_t ref, int depth);

    const uint8_t* data_;
    size_t size_;
    bplist::Reader plist_;
    Object objects_;  // the "$objects" array
    uint64_t count_ = 0;
    uint64_t limit_ = 0;

    BigVector<uint32_t> slots_;  // per archive index
    struct Decoded {
        Value value;
        uint32_t weight;  // expanded size, at most kWeightMask
    };
    std::vector<Decoded> decoded_;  // objects and distinct scalars decoded so far
    // Every record decoded so far. A record in a child list (nearly all of
    // them) is kept here only, not as a Value in decoded_.
    struct DecodedRecord {
        RecordPtr record;
        uint32_t weight = 0;            // expanded size, once decoded
        uint32_t propertiesWeight = 0;  // of its properties dictionary
    };
    std::vector<DecodedRecord> records_;
    // The record a Done slot names, or null when it names a value in decoded_.
    const DecodedRecord* doneRecord(uint32_t slot) const {
        if (!(payloadOf(slot) & kRecordFlag)) return nullptr;
        return &records_[payloadOf(slot) & ~kRecordFlag];
    }
    // Scalars met lately, by property-list ref: a number's object, or a text's
    // or data's entry in decoded_ (kNoEntry for numbers).
    static constexpr uint32_t kNoEntry = UINT32_MAX;
    struct RecentScalar {
        uint64_t ref;
        uint32_t entry;
        Object object;
    };
    std::array<RecentScalar, 1024> recentScalars_;

    // Scalars and keys by their bytes; long ones by property-list ref.
    ScalarTable<uint32_t> scalars_;  // → index in decoded_
    U64Map longScalars_;             // property-list ref → index in decoded_
    ScalarTable<Key> keys_;
    U64Map longKeys_;  // property-list ref → index in longKeyValues_
    std::vector<Key> longKeyValues_;

    QHash<QString, std::shared_ptr<const Icon>> plainIcons_;  // name → the one Icon
    std::array<std::pair<uint64_t, Name>, 256> nameCache_;
    std::unordered_map<uint64_t, ClassInfo> classes_;
    uint64_t lastClassIndex_ = 0;
    const ClassInfo* lastClass_ = nullptr;

    // Duplicate keys within one dictionary: the later entry wins.
    std::vector<EntrySlot> keyStack_;
    struct {
        const uint8_t* payload = nullptr;  // the last "NS.keys" array resolved
        std::vector<Key> keys;
        std::vector<bool> superseded;
    } lastKeys_;
    std::vector<uint32_t> keyStamp_;
    std::vector<uint32_t> keyPosition_;
    uint32_t dictSerial_ = 0;

    std::shared_ptr<RawStore> raw_;
    BigVector<uint32_t> rawIds_;  // per archive index: kept object id (0 = not kept)
    std::vector<uint64_t> rawQueue_;
    U64Map rawStrings_;  // property-list ref → index in raw_->strings
    uint64_t rawNodes_ = 0;
};

Value Decoder::run() {
    if (Damage d = plist_.open(data_, size_); d != Damage::None) fail(d);
    // Shared objects may be reached more often than the file has bytes, but not
    // by orders of magnitude in anything a real archiver writes.
    limit_ = std::min<uint64_t>(kWeightMask, 16 * uint64_t{size_} + (1u << 20));

    const Object top = object(plist_.topObject());
    if (top.kind != Kind::Dict) fail(Damage::NotKeyedArchive);
    bool archiverOk = false, versionOk = false, haveObjects = false, haveTop = false;
    Object topDict;
    for (uint64_t i = 0; i < top.count; ++i) {
        const Object k = object(keyRef(top, i));
        if (!k.isString()) continue;
        if (bplist::Reader::equalsAscii(k, names::archiver, sizeof names::archiver - 1)) {
            const Object v = object(valueRef(top, i));
            archiverOk =
                v.isString() && bplist::Reader::equalsAscii(v, names::keyedArchiver,
                                                            sizeof names::keyedArchiver - 1);
        } else if (bplist::Reader::equalsAscii(k, names::version, sizeof names::version - 1)) {
            const Object v = object(valueRef(top, i));
            versionOk = v.kind == Kind::Int && v.integer == names::kVersion;
        } else if (bplist::Reader::equalsAscii(k, names::objects, sizeof names::objects - 1)) {
            objects_ = object(valueRef(top, i));
            if (objects_.kind != Kind::Array) fail(Damage::MissingObjects);
            haveObjects = true;
        } else if (bplist::Reader::equalsAscii(k, names::top, sizeof names::top - 1)) {
            topDict = object(valueRef(top, i));
            if (topDict.kind != Kind::Dict) fail(Damage::MissingTop);
            haveTop = true;
        }
    }
    if (!archiverOk) fail(Damage::NotKeyedArchive);
    if (!versionOk) fail(Damage::BadVersion);
    if (!haveObjects) fail(Damage::MissingObjects);
    if (!haveTop) fail(Damage::MissingTop);

    count_ = objects_.count;
    slots_.assign(count_, 0);
    // Room for the decoded values of most files, so that they are seldom
    // moved while the table grows (a merging writer's file needs about one
    // per two indices, one that merges nothing one per twenty); untouched
    // capacity costs address space, not memory.
    decoded_.reserve(std::min<uint64_t>(count_ / 2 + 16, uint64_t{1} << 20));
    scalars_.reserve(std::min<uint64_t>(count_ / 4 + 16, uint64_t{1} << 18));

    for (uint64_t i = 0; i < topDict.count; ++i) {
        const Object k = object(keyRef(topDict, i));
        if (k.isString() && bplist::Reader::equalsAscii(k, names::root, sizeof names::root - 1)) {
            uint64_t weight = 0;
            Value root = decodeRef(valueRef(topDict, i), 0, weight);
            if (raw_) {
                raw_->nodes.shrink_to_fit();
                raw_->children.shrink_to_fit();
                raw_->strings.shrink_to_fit();
                raw_->blobs.shrink_to_fit();
                raw_->objects.shrink_to_fit();
            }
            return root;
        }
    }
    fail(Damage::MissingTop);
}

Name Decoder::nameOf(uint64_t ref) {
    auto& cached = nameCache_[ref & 0xFF];
    if (cached.first == ref) return cached.second;
    const Object k = object(ref);
    Name name = k.isString() ? Name::Other : Name::NotText;
    if (k.isString()) {
        struct Known {
            std::string_view text;
            Name name;
        };
        static const Known known[] = {
            {names::classKey, Name::Class},
            {names::nsKeys, Name::NSKeys},
            {names::nsObjects, Name::NSObjects},
            {names::nsString, Name::NSString},
            {names::nsBytes, Name::NSBytes},
            {names::nsTime, Name::NSTime},
            {names::nsData, Name::NSData},
            {names::nsName, Name::NSName},
            {names::nsImageName, Name::NSImageName},
            {names::nsReps, Name::NSReps},
            {names::properties, Name::Properties},
            {names::thelists, Name::Thelists},
            {names::items, Name::Items},
            {names::files, Name::Files},
            {names::classname, Name::Classname},
            {names::classes, Name::Classes},
        };
        for (const Known& kn : known) {
            if (bplist::Reader::equalsAscii(k, kn.text.data(), kn.text.size())) {
                name = kn.name;
                break;
            }
        }
    }
    cached = {ref, name};
    return name;
}

QString Decoder::text(const Object& s) const {
    const auto n = static_cast<qsizetype>(s.count);
    switch (s.kind) {
        case Kind::Ascii:
            return asciiText(s.payload, s.count);
        case Kind::Utf8:
            return QString::fromUtf8(reinterpret_cast<const char*>(s.payload), n);
        case Kind::Utf16: {
            QString out(n, Qt::Uninitialized);
            char16_t* d = reinterpret_cast<char16_t*>(out.data());
            for (qsizetype i = 0; i < n; ++i)
                d[i] = static_cast<char16_t>((s.payload[2 * i] << 8) | s.payload[2 * i + 1]);
            return out;
        }
        default:
            fail(Damage::BadText);
    }
}

Value Decoder::scalar(const Object& o) const {
    switch (o.kind) {
        case Kind::Null:
            return Value();
        case Kind::Bool:
            return Value(o.boolean);
        case Kind::Int:
            return Value(o.integer);
        case Kind::BigInt: {
            // 16-byte integers: CF writes unsigned values above INT64_MAX so. A
            // value that fits a signed 64-bit integer stays one; larger ones
            // become a (wide) real, the nearest the value model can hold.
            if ((o.bigHigh == 0 && o.integer >= 0) || (o.bigHigh == UINT64_MAX && o.integer < 0))
                return Value(o.integer);
            const __int128 v =
                static_cast<__int128>((static_cast<unsigned __int128>(o.bigHigh) << 64) |
                                      static_cast<uint64_t>(o.integer));
            return Value::real(static_cast<double>(v), true);
        }
        case Kind::Real32:
            return Value::real(o.real, false);
        case Kind::Real64:
            return Value::real(o.real, true);
        case Kind::Date:
            return Value(Date{o.real});
        case Kind::Data:
            return Value(QByteArray(reinterpret_cast<const char*>(o.payload),
                                    static_cast<qsizetype>(o.count)));
        case Kind::Ascii:
        case Kind::Utf16:
        case Kind::Utf8:
            return Value(text(o));
        default:
            fail(Damage::UnexpectedObject);
    }
}

uint32_t Decoder::scalarEntry(uint64_t ref, const Object& o) {
    const uint64_t n = o.scalarSize();
    if (n == 0) fail(Damage::UnexpectedObject);  // arrays, sets and UIDs cannot stand here
    if (n > ScalarTable<uint32_t>::kMaxBytes) {
        if (const uint32_t* known = longScalars_.find(ref)) return *known;
        const uint32_t id = remember(scalar(o), 1);
        longScalars_.insert(ref, id);
        return id;
    }
    const uint64_t h = ScalarTable<uint32_t>::hash(0, o.start, n);
    if (const uint32_t* known = scalars_.find(h, 0, o.start, n)) return *known;
    const uint32_t id = remember(scalar(o), 1);
    scalars_.insert(h, 0, o.start, n, id);
    return id;
}

uint32_t Decoder::remember(Value v, uint64_t weight) {
    if (decoded_.size() >= kRecordFlag) fail(Damage::TooLarge);
    decoded_.push_back(
        {std::move(v), static_cast<uint32_t>(std::min<uint64_t>(weight, kWeightMask))});
    return static_cast<uint32_t>(decoded_.size() - 1);
}

Value Decoder::decodeIndex(uint64_t index, int depth, uint64_t& weight) {
    if (index == 0) {  // UID 0 is nil
        add(weight, 1);
        return kNil;
    }
    if (index >= count_) fail(Damage::RefOutOfRange);
    const uint32_t slot = slots_[index];
    switch (stateOf(slot)) {
        case Done: {
            if (const DecodedRecord* r = doneRecord(slot)) {
                add(weight, r->weight);
                return Value(r->record);
            }
            const Decoded& d = decoded_[payloadOf(slot)];
            add(weight, d.weight);
            return d.value;
        }
        case InProgress:
            fail(Damage::Cycle);
        case PropertiesOf: {
            // Decoded straight into a record's properties; now also wanted as a dictionary value.
            const DecodedRecord& r = records_[payloadOf(slot)];
            const uint32_t id =
                remember(Value(std::make_shared<Dict>(r.record->properties())), r.propertiesWeight);
            slots_[index] = makeSlot(Done, id);
            add(weight, decoded_[id].weight);
            return decoded_[id].value;
        }
        default:
            break;
    }
    if (depth > kMaxDepth) fail(Damage::TooDeep);

    // Numbers are not kept per index (a file that shares nothing has millions,
    // each read once). The scalars named again and again (0, false, "", the
    // same category) are found in a small cache by their property-list ref
    // instead of being parsed and looked up anew: whether the archive names
    // them through one index (a merging writer) or through an index each
    // (a writer that merges only in the property list).
    const uint64_t ref = plistRefOf(index);
    auto& recent = recentScalars_[ref & (recentScalars_.size() - 1)];
    if (recent.ref == ref) {
        add(weight, 1);
        if (recent.entry == kNoEntry) return scalar(recent.object);
        return decoded_[recent.entry].value;
    }
    const Object o = object(ref);
    if (o.kind != Kind::Dict) {
        add(weight, 1);
        if (!o.isString() && o.kind != Kind::Data) {
            recent = {ref, kNoEntry, o};
            return scalar(o);
        }
        const uint32_t id = scalarEntry(ref, o);
        slots_[index] = makeSlot(Done, id);
        recent = {ref, id, Object{}};
        return decoded_[id].value;
    }
    const ClassInfo& cls = classOf(o);
    if (cls.kind == ClassKind::Record)
        return Value(records_[recordAt(index, o, cls.record, depth + 1, weight)].record);
    slots_[index] = makeSlot(InProgress, 0);
    uint64_t w = 1;
    Value v = decodeObject(index, o, cls, depth + 1, w);
    slots_[index] = makeSlot(Done, remember(v, w));
    add(weight, w);
    return v;
}

Value Decoder::decodeRef(uint64_t ref, int depth, uint64_t& weight) {
    if (uint64_t index; plist_.uid(ref, &index)) return decodeIndex(index, depth, weight);
    const Object o = object(ref);
    if (o.kind == Kind::Uid) return decodeIndex(static_cast<uint64_t>(o.integer), depth, weight);
    // Tolerated: a scalar stored inline where an object reference belongs.
    if (o.isContainer()) fail(Damage::UnexpectedObject);
    add(weight, 1);
    if (!o.isString() && o.kind != Kind::Data) return scalar(o);
    return decoded_[scalarEntry(ref, o)].value;
}

ClassInfo Decoder::describeClass(uint64_t classIndex) {
    if (classIndex == 0) fail(Damage::MissingClass);
    if (classIndex >= count_) fail(Damage::RefOutOfRange);
    const Object c = archived(classIndex);
    if (c.kind != Kind::Dict) fail(Damage::MissingClass);
    ClassInfo info;
    bool haveName = false;
    bool plainChain = false;
    for (uint64_t i = 0; i < c.count; ++i) {
        const Name n = nameOf(keyRef(c, i));
        if (n == Name::Classname) {
            Object v = object(valueRef(c, i));
            if (v.kind == Kind::Uid) {  // tolerated: the name as an object reference
                const auto idx = static_cast<uint64_t>(v.integer);
                if (idx == 0 || idx >= count_) fail(Damage::MissingClass);
                v = archived(idx);
            }
            if (!v.isString()) fail(Damage::MissingClass);
            info.name = text(v);
            haveName = true;
        } else if (n == Name::Classes) {
            const Object chain = object(valueRef(c, i));
            if (chain.kind == Kind::Array && chain.count == 2) {
                const Object first = object(plist_.reference(chain, 0));
                const Object second = object(plist_.reference(chain, 1));
                plainChain = first.isString() && second.isString() &&
                             bplist::Reader::equalsAscii(first, names::NSImage,
                                                         std::strlen(names::NSImage)) &&
                             bplist::Reader::equalsAscii(second, names::NSObject,
                                                         std::strlen(names::NSObject));
            }
        }
    }
    if (!haveName) fail(Damage::MissingClass);

    const auto is = [&](const char* n) { return info.name == QLatin1StringView(n); };
    if (auto rc = recordClassFromName(info.name)) {
        info.kind = ClassKind::Record;
        info.record = *rc;
    } else if (is(names::NSDictionary) || is(names::NSMutableDictionary)) {
        info.kind = ClassKind::Dictionary;
    } else if (is(names::NSArray) || is(names::NSMutableArray)) {
        info.kind = ClassKind::Array;
    } else if (is(names::NSString) || is(names::NSMutableString)) {
        info.kind = ClassKind::String;
    } else if (is(names::NSDate)) {
        info.kind = ClassKind::Date;
    } else if (is(names::NSData) || is(names::NSMutableData)) {
        info.kind = ClassKind::Data;
    } else if (is(names::NSImage)) {
        info.kind = ClassKind::Image;
        info.plainImage = plainChain && c.count == 2;
    }
    return info;
}

const ClassInfo& Decoder::classOf(const Object& o) {
    for (uint64_t i = 0; i < o.count; ++i) {
        if (nameOf(keyRef(o, i)) != Name::Class) continue;
        const Object v = object(valueRef(o, i));
        if (v.kind != Kind::Uid) fail(Damage::MissingClass);
        const auto index = static_cast<uint64_t>(v.integer);
        if (lastClass_ && index == lastClassIndex_) return *lastClass_;
        auto it = classes_.find(index);
        if (it == classes_.end()) it = classes_.emplace(index, describeClass(index)).first;
        lastClassIndex_ = index;
        lastClass_ = &it->second;  // unordered_map nodes are stable
        return it->second;
    }
    fail(Damage::MissingClass);
}

Value Decoder::decodeObject(uint64_t index, const Object& o, const ClassInfo& cls, int depth,
                            uint64_t& weight) {
    switch (cls.kind) {
        case ClassKind::Record:
            break;  // decodeIndex reads records itself (recordAt)
        case ClassKind::Dictionary: {
            auto dict = std::make_shared<Dict>();
            if (!decodeEntries(o, *dict, depth, weight)) return opaque(index, cls);
            return Value(std::move(dict));
        }
        case ClassKind::Array: {
            auto list = std::make_shared<ValueList>();
            const Object elements = containerEntry(o, Name::NSObjects, Kind::Array);
            list->reserve(elements.count);
            for (uint64_t i = 0; i < elements.count; ++i)
                list->push_back(decodeRef(plist_.reference(elements, i), depth, weight));
            return Value(std::move(list));
        }
        case ClassKind::String: {
            for (uint64_t i = 0; i < o.count; ++i) {
                const Name n = nameOf(keyRef(o, i));
                if (n == Name::NSString) {
                    auto t = textEntry(valueRef(o, i), depth);
                    if (!t) fail(Damage::BadText);
                    return Value(*t);
                }
                if (n == Name::NSBytes) {
                    const Value bytes = decodeRef(valueRef(o, i), depth, weight);
                    if (bytes.type() == Value::Type::Data)
                        return Value(QString::fromUtf8(bytes.asData()));
                    if (bytes.type() == Value::Type::String) return bytes;
                    fail(Damage::BadText);
                }
            }
            return Value(QString());
        }
        case ClassKind::Date: {
            for (uint64_t i = 0; i < o.count; ++i)
                if (nameOf(keyRef(o, i)) == Name::NSTime)
                    return Value(Date{numberEntry(valueRef(o, i))});
            return Value(Date{});
        }
        case ClassKind::Data: {
            for (uint64_t i = 0; i < o.count; ++i) {
                if (nameOf(keyRef(o, i)) != Name::NSData) continue;
                Value bytes = decodeRef(valueRef(o, i), depth, weight);
                if (bytes.type() != Value::Type::Data) fail(Damage::UnexpectedObject);
                return bytes;
            }
            return Value(QByteArray());
        }
        case ClassKind::Image:
            return decodeImage(index, o, cls, depth);
        case ClassKind::Unknown:
            return opaque(index, cls);
    }
    return Value();
}

Object Decoder::containerEntry(const Object& o, Name name, Kind kind) {
    for (uint64_t i = 0; i < o.count; ++i) {
        if (nameOf(keyRef(o, i)) != name) continue;
        const Object v = object(valueRef(o, i));
        if (v.kind != kind) fail(Damage::NotList);
        return v;
    }
    Object empty;
    empty.kind = kind;
    return empty;
}

std::optional<Key> Decoder::keyOf(uint64_t ref) {
    // Keys are texts stored inline in "$objects" (Foundation copies dictionary
    // keys into immutable strings). Anything else makes the caller keep the
    // dictionary as an opaque object. No object is decoded here, so the key
    // pass of a dictionary never nests into another dictionary.
    // Each distinct key text is interned once (scalar_table.h): interning
    // takes the key table's lock, and a file may repeat every key per record.
    uint64_t index = 0;
    uint64_t textRef = ref;
    if (plist_.uid(ref, &index)) {
        if (index == 0) return std::nullopt;
        if (index >= count_) fail(Damage::RefOutOfRange);
        textRef = plistRefOf(index);
    }
    const Object k = object(textRef);
    if (!k.isString()) return std::nullopt;
    const uint64_t bytes = k.kind == Kind::Utf16 ? 2 * k.count : k.count;
    const bool byBytes = bytes <= ScalarTable<Key>::kMaxBytes;
    const auto kind = static_cast<uint8_t>(k.kind);
    const uint64_t h = byBytes ? ScalarTable<Key>::hash(kind, k.payload, bytes) : 0;
    if (byBytes) {
        if (const Key* known = keys_.find(h, kind, k.payload, bytes)) return *known;
    } else if (const uint32_t* known = longKeys_.find(textRef)) {
        return longKeyValues_[*known];
    }
    const auto key = Key::tryIntern(text(k));
    if (!key) fail(Damage::TooManyKeys);
    if (byBytes) {
        keys_.insert(h, kind, k.payload, bytes, *key);
    } else {
        longKeyValues_.push_back(*key);
        longKeys_.insert(textRef, static_cast<uint32_t>(longKeyValues_.size() - 1));
    }
    return key;
}

bool Decoder::decodeEntries(const Object& o, Dict& out, int depth, uint64_t& weight) {
    const Object keys = containerEntry(o, Name::NSKeys, Kind::Array);
    const Object values = containerEntry(o, Name::NSObjects, Kind::Array);
    if (keys.count != values.count) fail(Damage::BadObject);
    const uint64_t n = keys.count;

    // Pass 1: the keys, and the references of the values. A key that occurs
    // again supersedes the earlier entry, as a later setObject:forKey: would.
    // Records of one class usually carry the same keys in the same order: a
    // keys array with the same bytes as the last one resolves to the same keys.
    const size_t base = keyStack_.size();
    const size_t keyBytes = n * plist_.refSize();
    const bool sameKeys = lastKeys_.payload && lastKeys_.keys.size() == n &&
                          (lastKeys_.payload == keys.payload ||
                           std::memcmp(lastKeys_.payload, keys.payload, keyBytes) == 0);
    const uint32_t serial = ++dictSerial_;
    for (uint64_t i = 0; i < n; ++i) {
        EntrySlot slot{Key(), false, false, 0, 0};
        if (sameKeys) {
            slot.key = lastKeys_.keys[i];
            slot.superseded = lastKeys_.superseded[i];
        } else {
            const auto key = keyOf(plist_.reference(keys, i));
            if (!key) {
                keyStack_.resize(base);
                return false;
            }
            const uint32_t id = key->id();
            if (id >= keyStamp_.size()) {
                const size_t size = std::max<size_t>(id + 1, keyStamp_.size() * 2);
                keyStamp_.resize(size, 0);
                keyPosition_.resize(size, 0);
            }
            if (keyStamp_[id] == serial) keyStack_[base + keyPosition_[id]].superseded = true;
            keyStamp_[id] = serial;
            keyPosition_[id] = static_cast<uint32_t>(i);
            slot.key = *key;
        }
        slot.ref = plist_.reference(values, i);
        plist_.prefetchOffsetOf(slot.ref);
        keyStack_.push_back(slot);
    }
    if (!sameKeys) {
        lastKeys_.payload = keys.payload;
        lastKeys_.keys.resize(n);
        lastKeys_.superseded.resize(n);
        for (uint64_t i = 0; i < n; ++i) {
            lastKeys_.keys[i] = keyStack_[base + i].key;
            lastKeys_.superseded[i] = keyStack_[base + i].superseded;
        }
    }

    // The values are mostly UIDs whose objects lie anywhere in the file (an
    // amount may have been written a million items earlier). Resolve them in
    // stages over the whole dictionary, each stage asking for the memory the
    // next one needs, so that the cache misses overlap instead of queueing:
    // offsets, then the UID objects, then the slots of the archive indices
    // and their entries in "$objects". (Going further, to the decoded values
    // or the objects' own bytes, measured slower: the extra passes cost more
    // than the misses they hide, most of which the hardware prefetcher
    // already catches in a file written in order.)
    for (uint64_t i = 0; i < n; ++i) {
        EntrySlot& slot = keyStack_[base + i];
        uint64_t offset;
        if (plist_.offsetOf(slot.ref, &offset)) {
            plist_.prefetchAt(offset);
            slot.value = offset;
        } else {
            slot.inlineValue = true;  // decodeRef reports the damage
        }
    }
    for (uint64_t i = 0; i < n; ++i) {
        EntrySlot& slot = keyStack_[base + i];
        if (slot.inlineValue) continue;
        if (!plist_.uidAt(slot.value, &slot.value)) {
            slot.inlineValue = true;
        } else if (slot.value < count_) {
            __builtin_prefetch(&slots_[slot.value]);
            __builtin_prefetch(objects_.payload + slot.value * plist_.refSize());
        }
    }

    // Pass 2: the values. Nested dictionaries use the stack above base + n and
    // leave it as they found it; entries are addressed by index, never by pointer.
    out.reserve(out.size() + n);
    for (uint64_t i = 0; i < n; ++i) {
        const EntrySlot slot = keyStack_[base + i];  // a copy: decoding may grow the stack
        if (slot.superseded) continue;
        if (slot.inlineValue) {
            out.append(slot.key, decodeRef(slot.ref, depth, weight));
        } else {
            out.append(slot.key, decodeIndex(slot.value, depth, weight));
        }
    }
    keyStack_.resize(base);
    return true;
}

RecordPtr Decoder::childRecord(uint64_t index, int depth, uint64_t& weight) {
    if (index == 0 || index >= count_) return nullptr;
    const uint32_t slot = slots_[index];
    if (stateOf(slot) == Done) {
        const DecodedRecord* r = doneRecord(slot);
        if (!r) return nullptr;
        add(weight, r->weight);
        return r->record;
    }
    if (stateOf(slot) != Unvisited || depth > kMaxDepth) return nullptr;
    const Object o = archived(index);
    if (o.kind != Kind::Dict) return nullptr;
    const ClassInfo& cls = classOf(o);
    if (cls.kind != ClassKind::Record) return nullptr;
    return records_[recordAt(index, o, cls.record, depth + 1, weight)].record;
}

uint32_t Decoder::recordAt(uint64_t index, const Object& o, RecordClass c, int depth,
                           uint64_t& weight) {
    slots_[index] = makeSlot(InProgress, 0);
    uint64_t w = 1;
    const uint32_t id = decodeRecord(c, o, depth, w);
    records_[id].weight = static_cast<uint32_t>(std::min<uint64_t>(w, kWeightMask));
    slots_[index] = makeSlot(Done, id | kRecordFlag);
    add(weight, w);
    return id;
}

uint32_t Decoder::decodeRecord(RecordClass c, const Object& o, int depth, uint64_t& weight) {
    RecordPtr r = Record::createEmpty(c);
    if (records_.size() >= kRecordFlag) fail(Damage::TooLarge);
    const auto id = static_cast<uint32_t>(records_.size());
    records_.push_back({r});
    // A newer program may archive more entries; those are passed over. But an
    // unknown entry where one of the class's own is missing is what a damaged
    // key looks like (a flipped bit in "thelists"), and reading on would lose
    // the whole list without a word.
    bool unknown = false;
    bool haveProperties = false;
    std::array<bool, 3> haveList{};
    const auto child = [&](ChildList list, uint64_t i) {
        if (!r->hasChildList(list)) {
            unknown = true;
            return;
        }
        decodeChildList(r, list, valueRef(o, i), depth, weight);
        haveList[static_cast<size_t>(list)] = true;
    };
    for (uint64_t i = 0; i < o.count; ++i) {
        switch (nameOf(keyRef(o, i))) {
            case Name::Class:
                break;
            case Name::NotText:
                fail(Damage::BadObject);
            case Name::Properties:
                decodeProperties(r, id, valueRef(o, i), depth, weight);
                haveProperties = true;
                break;
            case Name::Thelists:
                child(ChildList::Thelists, i);
                break;
            case Name::Items:
                child(ChildList::Items, i);
                break;
            case Name::Files:
                child(ChildList::Files, i);
                break;
            default:
                unknown = true;
                break;
        }
    }
    if (unknown) {
        bool complete = haveProperties;
        for (ChildList l : childListsOf(c)) complete = complete && haveList[static_cast<size_t>(l)];
        if (!complete) fail(Damage::UnknownEntry);
    }
    return id;
}

void Decoder::decodeProperties(const RecordPtr& r, uint32_t recordId, uint64_t ref, int depth,
                               uint64_t& weight) {
    const Object u = object(ref);
    if (u.kind != Kind::Uid) fail(Damage::NotDictionary);
    const auto index = static_cast<uint64_t>(u.integer);
    Dict& props = r->properties();
    props = Dict();
    if (index == 0) {
        r->setPropertiesState(EntryState::Nil);
        return;
    }
    if (index >= count_) fail(Damage::RefOutOfRange);
    const uint32_t slot = slots_[index];
    switch (stateOf(slot)) {
        case InProgress:
            fail(Damage::Cycle);
        case Done: {
            if (doneRecord(slot)) fail(Damage::NotDictionary);
            const Decoded& d = decoded_[payloadOf(slot)];
            if (d.value.type() != Value::Type::Dict) fail(Damage::NotDictionary);
            add(weight, d.weight);
            props = *d.value.asDict();
            break;
        }
        case PropertiesOf: {
            // One dictionary archived as the properties of two records: each gets its copy.
            const DecodedRecord& d = records_[payloadOf(slot)];
            add(weight, d.propertiesWeight);
            props = d.record->properties();
            break;
        }
        default: {
            if (depth > kMaxDepth) fail(Damage::TooDeep);
            const Object d = archived(index);
            if (d.kind != Kind::Dict || classOf(d).kind != ClassKind::Dictionary)
                fail(Damage::NotDictionary);
            slots_[index] = makeSlot(InProgress, 0);
            uint64_t w = 1;
            // Straight into the record: the common case copies nothing.
            if (!decodeEntries(d, props, depth + 1, w)) fail(Damage::NotDictionary);
            records_[recordId].propertiesWeight =
                static_cast<uint32_t>(std::min<uint64_t>(w, kWeightMask));
            slots_[index] = makeSlot(PropertiesOf, recordId);
            add(weight, w);
            break;
        }
    }
    r->setPropertiesState(EntryState::Present);
}

void Decoder::decodeChildList(const RecordPtr& r, ChildList list, uint64_t ref, int depth,
                              uint64_t& weight) {
    const Object u = object(ref);
    if (u.kind != Kind::Uid) fail(Damage::NotList);
    const auto index = static_cast<uint64_t>(u.integer);
    RecordList& out = r->children(list);
    out.clear();
    if (index == 0) {
        r->setChildState(list, EntryState::Nil);
        return;
    }
    if (index >= count_) fail(Damage::RefOutOfRange);

    size_t position = 0;  // in the file's list, foreign elements counted
    const auto append = [&](const Value& v) {
        if (v.type() == Value::Type::Record) {
            out.push_back(v.asRecord());
        } else if (v.isNull()) {
            out.push_back(nullptr);  // a nil element stays a hole, written back as nil
        } else if (v.type() == Value::Type::Opaque) {
            r->addForeign(list, position, v);  // a newer program's object: kept in its place
        } else {
            fail(Damage::UnexpectedObject);  // a child list holds records only
        }
        ++position;
    };

    const uint32_t slot = slots_[index];
    switch (stateOf(slot)) {
        case InProgress:
            fail(Damage::Cycle);
        case PropertiesOf:
            fail(Damage::NotList);
        case Done: {
            if (doneRecord(slot)) fail(Damage::NotList);
            const Value list = decoded_[payloadOf(slot)].value;
            if (list.type() != Value::Type::List) fail(Damage::NotList);
            add(weight, decoded_[payloadOf(slot)].weight);
            out.reserve(list.asList()->size());
            for (const Value& v : *list.asList()) append(v);
            break;
        }
        default: {
            if (depth > kMaxDepth) fail(Damage::TooDeep);
            const Object a = archived(index);
            if (a.kind != Kind::Dict || classOf(a).kind != ClassKind::Array) fail(Damage::NotList);
            const Object elements = containerEntry(a, Name::NSObjects, Kind::Array);
            slots_[index] = makeSlot(InProgress, 0);
            uint64_t w = 1;
            out.reserve(elements.count);
            for (uint64_t i = 0; i < elements.count; ++i) {
                const uint64_t ref = plist_.reference(elements, i);
                uint64_t element = 0;
                if (plist_.uid(ref, &element)) {
                    if (RecordPtr child = childRecord(element, depth + 1, w)) {
                        out.push_back(std::move(child));
                        ++position;
                        continue;
                    }
                }
                append(decodeRef(ref, depth + 1, w));
            }
            // Not cached as a list value: the records are, so a second use is cheap.
            slots_[index] = makeSlot(Unvisited, 0);
            add(weight, w);
            break;
        }
    }
    r->setChildState(list, EntryState::Present);
}

std::optional<QString> Decoder::textEntry(uint64_t ref, int depth, bool* plain) {
    const Object v = object(ref);
    if (plain) *plain = false;
    if (v.isString()) return text(v);
    if (v.kind != Kind::Uid) return std::nullopt;
    const auto index = static_cast<uint64_t>(v.integer);
    if (index == 0) return std::nullopt;
    if (index >= count_) fail(Damage::RefOutOfRange);
    uint64_t ignored = 0;
    const Value s = decodeIndex(index, depth, ignored);  // an inline text or an NSString object
    if (s.type() != Value::Type::String) return std::nullopt;
    if (plain) *plain = archived(index).isString();
    return s.asString();
}

double Decoder::numberEntry(uint64_t ref) {
    Object v = object(ref);
    if (v.kind == Kind::Uid) {
        const auto index = static_cast<uint64_t>(v.integer);
        if (index == 0) return 0.0;
        if (index >= count_) fail(Damage::RefOutOfRange);
        v = archived(index);
    }
    switch (v.kind) {
        case Kind::Int:
            return static_cast<double>(v.integer);
        case Kind::Real32:
        case Kind::Real64:
        case Kind::Date:
            return v.real;
        case Kind::Bool:
            return v.boolean ? 1.0 : 0.0;
        default:
            fail(Damage::UnexpectedObject);
    }
}

Value Decoder::decodeImage(uint64_t index, const Object& o, const ClassInfo& cls, int depth) {
    auto icon = std::make_shared<Icon>();
    QString nsName, imageName;
    bool sawName = false;
    bool plainName = false;
    for (uint64_t i = 0; i < o.count; ++i) {
        const Name n = nameOf(keyRef(o, i));
        if (n == Name::NSName) {
            sawName = true;
            if (auto name = textEntry(valueRef(o, i), depth, &plainName)) nsName = *name;
        } else if (n == Name::NSImageName) {
            if (auto name = textEntry(valueRef(o, i), depth)) imageName = *name;
        } else if (n == Name::NSReps) {
            icon->representations = countRepresentations(valueRef(o, i));
        }
    }
    // GNUstep names an image "NSName", other writers "NSImageName".
    icon->name = !nsName.isEmpty() ? nsName : imageName;
    // The form the writer gives a named icon needs nothing kept; any other
    // image keeps its archived subtree, to be written back unchanged.
    const bool plain = cls.plainImage && o.count == 2 && sawName && plainName;
    if (!plain) {
        icon->raw = keep(index);
        return Value(std::shared_ptr<const Icon>(std::move(icon)));
    }
    // Plain named icons of equal name are one Icon, as the writer writes them
    // as one image: a file that gives every record its own image (a writer
    // that merges nothing) costs no Icon per record.
    std::shared_ptr<const Icon>& known = plainIcons_[icon->name];
    if (!known) known = std::move(icon);
    return Value(known);
}

int Decoder::countRepresentations(uint64_t ref) {
    // NSReps is a list holding lists [type, rep…] (GNUstep); count the reps.
    // Icons are cosmetic: damage inside NSReps counts as no representations.
    const auto elementsOf = [this](uint64_t r, Object* elements) {
        const Object u = object(r);
        if (u.kind != Kind::Uid) return false;
        const auto index = static_cast<uint64_t>(u.integer);
        if (index == 0 || index >= count_) return false;
        const Object a = archived(index);
        if (a.kind != Kind::Dict || classOf(a).kind != ClassKind::Array) return false;
        *elements = containerEntry(a, Name::NSObjects, Kind::Array);
        return true;
    };
    try {
        Object outer;
        if (!elementsOf(ref, &outer)) return 0;
        uint64_t total = 0;
        for (uint64_t i = 0; i < outer.count; ++i) {
            Object inner;
            if (elementsOf(plist_.reference(outer, i), &inner))
                total += inner.count ? inner.count - 1 : 0;
            else
                total += 1;
        }
        return static_cast<int>(std::min<uint64_t>(total, INT32_MAX));
    } catch (const Failure&) {
        return 0;
    }
}

Value Decoder::opaque(uint64_t index, const ClassInfo& cls) {
    auto o = std::make_shared<OpaqueObject>();
    o->className = cls.name;
    o->raw = keep(index);
    return Value(std::shared_ptr<const OpaqueObject>(std::move(o)));
}

std::shared_ptr<const void> Decoder::keep(uint64_t index) {
    if (!raw_) raw_ = std::make_shared<RawStore>();
    const uint32_t id = keptId(index);
    while (!rawQueue_.empty()) {
        const uint64_t next = rawQueue_.back();
        rawQueue_.pop_back();
        const uint32_t node = copyNode(plistRefOf(next), 0);
        raw_->objects[rawIds_[next]] = node;
    }
    auto ref = std::make_shared<RawRef>();
    ref->store = raw_;
    ref->object = id;
    return ref;
}

uint32_t Decoder::keptId(uint64_t index) {
    if (rawIds_.empty()) rawIds_.assign(count_, 0);
    if (rawIds_[index]) return rawIds_[index];
    const auto id = static_cast<uint32_t>(raw_->objects.size());
    raw_->objects.push_back(0);
    rawIds_[index] = id;
    rawQueue_.push_back(index);
    return id;
}

uint32_t Decoder::copyNode(uint64_t ref, int depth) {
    if (depth > kMaxPlistDepth) fail(Damage::TooDeep);
    if (++rawNodes_ > limit_) fail(Damage::TooLarge);
    const Object o = object(ref);
    RawNode node;
    switch (o.kind) {
        case Kind::Null:
            node.kind = RawNode::Kind::Null;
            break;
        case Kind::Bool:
            node.kind = RawNode::Kind::Bool;
            node.value = o.boolean;
            break;
        case Kind::Int:
            node.kind = RawNode::Kind::Int;
            node.value = static_cast<uint64_t>(o.integer);
            break;
        case Kind::BigInt:
            node.kind = RawNode::Kind::BigInt;
            node.index = static_cast<uint32_t>(raw_->blobs.size());
            raw_->blobs.emplace_back(reinterpret_cast<const char*>(o.payload), 16);
            break;
        case Kind::Real32: {
            node.kind = RawNode::Kind::Real32;
            const float f = static_cast<float>(o.real);
            uint32_t bits;
            std::memcpy(&bits, &f, 4);
            node.value = bits;
            break;
        }
        case Kind::Real64:
        case Kind::Date:
            node.kind = o.kind == Kind::Date ? RawNode::Kind::Date : RawNode::Kind::Real64;
            std::memcpy(&node.value, &o.real, 8);
            break;
        case Kind::Data:
            node.kind = RawNode::Kind::Data;
            node.index = static_cast<uint32_t>(raw_->blobs.size());
            raw_->blobs.emplace_back(reinterpret_cast<const char*>(o.payload),
                                     static_cast<qsizetype>(o.count));
            break;
        case Kind::Ascii:
        case Kind::Utf16:
        case Kind::Utf8: {
            node.kind = RawNode::Kind::String;
            if (const uint32_t* known = rawStrings_.find(ref)) {
                node.index = *known;
            } else {
                node.index = static_cast<uint32_t>(raw_->strings.size());
                raw_->strings.push_back(text(o));
                rawStrings_.insert(ref, node.index);
            }
            break;
        }
        case Kind::Uid: {
            node.kind = RawNode::Kind::Uid;
            const auto target = static_cast<uint64_t>(o.integer);
            if (target >= count_) fail(Damage::RefOutOfRange);
            node.value = target == 0 ? 0 : keptId(target);
            break;
        }
        case Kind::Array:
        case Kind::Set:
        case Kind::Dict: {
            node.kind = o.kind == Kind::Array ? RawNode::Kind::Array
                        : o.kind == Kind::Set ? RawNode::Kind::Set
                                              : RawNode::Kind::Dict;
            const uint64_t n = o.kind == Kind::Dict ? 2 * o.count : o.count;
            std::vector<uint32_t> kids;
            kids.reserve(n);
            for (uint64_t j = 0; j < n; ++j)
                kids.push_back(copyNode(plist_.reference(o, j), depth + 1));
            node.index = static_cast<uint32_t>(raw_->children.size());
            node.value = o.count;
            raw_->children.insert(raw_->children.end(), kids.begin(), kids.end());
            break;
        }
    }
    raw_->nodes.push_back(node);
    return static_cast<uint32_t>(raw_->nodes.size() - 1);
}

bool looksLikeXml(const QByteArray& bytes) {
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF")) i = 3;
    while (i < bytes.size() &&
           (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return i < bytes.size() && bytes[i] == '<';
}

}  // namespace

ReadResult read(const QByteArray& bytes) {
    ReadResult result;
    const QByteArray* source = &bytes;
    QByteArray converted;
    if (looksLikeXml(bytes)) {
        if (const Damage d = xmlToBinary(bytes, &converted); d != Damage::None) {
            result.error = damageMessage(d);
            return result;
        }
        source = &converted;
    }
    try {
        Decoder decoder(*source);
        result.root = decoder.run();
        result.ok = true;
    } catch (const Failure& f) {
        result.root = Value();
        result.error = damageMessage(f.damage);
    } catch (const std::bad_alloc&) {
        result.root = Value();
        result.error = damageMessage(Damage::TooLarge);
    }
    return result;
}

ReadResult readFile(const QString& path) {
    // Mapped where possible (mapped_file.h): no copy of the file on the heap.
    // Anything that cannot be mapped (a Qt resource, say) is read as before.
    MappedFile mapped;
    if (mapped.open(path)) {
        const auto bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(mapped.data()),
                                                   static_cast<qsizetype>(mapped.size()));
        ReadResult r = read(bytes);
        if (mapped.changed()) {
            r = ReadResult();
            r.error = QStringLiteral(
                          "Die Datei „%1“ wurde beim Lesen von einem anderen Programm verändert. "
                          "Bitte versuche es noch einmal.")
                          .arg(path);
        }
        return r;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ReadResult r;
        r.error = file.exists()
                      ? QStringLiteral("Die Datei „%1“ kann nicht geöffnet werden.").arg(path)
                      : QStringLiteral("Die Datei „%1“ wurde nicht gefunden.").arg(path);
        return r;
    }
    // Read into memory marked for huge pages (see big_allocator.h); the file
    // may change size meanwhile, so take what is there.
    QByteArray bytes;
    const qint64 expected = file.size();
    if (expected > 0 && expected < (qint64{1} << 40)) {
        bytes.resize(static_cast<qsizetype>(expected));
        adviseHugePages(bytes.data(), static_cast<size_t>(expected));
        qint64 got = 0;
        while (got < expected) {
            const qint64 n = file.read(bytes.data() + got, expected - got);
            if (n <= 0) break;
            got += n;
        }
        bytes.truncate(static_cast<qsizetype>(got));
    }
    bytes += file.readAll();
    if (file.error() != QFileDevice::NoError) {
        ReadResult r;
        r.error = QStringLiteral("Die Datei „%1“ kann nicht gelesen werden.").arg(path);
        return r;
    }
    return read(bytes);
}

}  // namespace quandor::archive
