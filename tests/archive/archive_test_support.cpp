#include "archive_test_support.h"

#include "core/archive/archive.h"
#include "core/database.h"
#include "core/keys.h"
#include "core/record.h"

#include <QFile>

#include <plist/plist.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace quandor::archive::test {

QString fixturePath(const QString& name) {
    return QStringLiteral(QUANDOR_FIXTURES "/keyed-archive/") + name;
}

QByteArray fixtureBytes(const QString& name) {
    QFile f(fixturePath(name));
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("missing fixture " + name.toStdString());
    return f.readAll();
}

QByteArray expectedDump(const QString& name) {
    QByteArray e = fixtureBytes(name + QStringLiteral(".expected.json"));
    if (e.endsWith('\n')) e.chop(1);
    return e;
}

namespace {

// Reads an archive that the tests rely on; a failure is a broken test setup.
Value mustRead(const QByteArray& bytes) {
    const ReadResult r = read(bytes);
    if (!r.ok) throw std::runtime_error(r.error.toStdString());
    return r.root;
}

RecordPtr makeItem(Date now, const QString& title, float amount, int kind) {
    RecordPtr r = Record::create(RecordClass::Item, now);
    r->set(keys::title, title);
    r->set(keys::amount, amount);
    r->set(keys::kind, kind);
    r->set(keys::finalAmount, kind == 1 ? -amount : amount);
    r->set(keys::UUID, QStringLiteral("1704067200"));
    return r;
}

}  // namespace

Value sampleDatabase() {
    const Date now = Date::fromUnix(1704067200.25);
    Database db;

    // Two texts equal in content but built separately: the file holds them once.
    const QString same1 = QString::fromUtf8("Gleicher Text");
    const QString same2 = QString::fromUtf8("Gleicher Text");

    RecordPtr i1 = makeItem(now, QString::fromUtf8("Büromaterial – 19 % € ß"), 119.0f, 1);
    i1->set(keys::taxPerecent, 19.0f);
    i1->set(keys::date, Date::fromUnix(-1.5));  // before 1970
    i1->set(keys::misc1, QString::fromUtf8("Zeile\nUmbruch\t\"zitiert\" \\ zurück\x01\x1f"));
    i1->set(keys::comment, QString::fromUtf8("astral 😀 und 𝄞"));
    i1->set(keys::group, same1);
    i1->set(keys::image, Value::icon(QString::fromUtf16(keys::icon::itemRedTax)));

    RecordPtr i2 = makeItem(now, QStringLiteral("Gebühr"), -15.966385f, 2);
    i2->set(keys::group, same2);
    i2->set(Key(u"bigNumber"), int64_t{5'000'000'000});
    i2->set(Key(u"negative"), int64_t{-70000});
    i2->set(Key(u"minimum"), int64_t{INT64_MIN});
    i2->set(Key(u"width16"), 300);
    i2->set(Key(u"wide"), Value::real(0.1, true));
    i2->set(Key(u"flag"), true);
    i2->set(Key(u"nothing"), Value());
    i2->set(Key(u"bytes"), QByteArray("\x00\xff"
                                      "abc",
                                      5));
    i2->set(Key(u"empty"), QString());
    i2->set(Key(u"dollarNull"), QStringLiteral("$null"));
    i2->set(Key(u"long"), QString(40, QChar(u'x')));
    i2->set(Key(u"fractionDate"), Date{-0.0005});
    auto nested = std::make_shared<Dict>();
    nested->set(Key(u"\uE000"), 1);
    nested->set(Key(u"😀"), 2);
    nested->set(Key(u"a"), 3);
    nested->set(Key(u""), 4);
    nested->set(Key(u"Z"),
                Value::list({Value(1), Value(QStringLiteral("x")), Value(), Value(now)}));
    i2->set(Key(u"nested"), Value(nested));
    i2->set(Key(u"nestedAgain"), Value(nested));  // one dictionary, two references

    RecordPtr file = Record::create(RecordClass::File, now);
    file->set(keys::fileTitle, QStringLiteral("Beleg.pdf"));

    RecordPtr st1 = Record::create(RecordClass::Thelist, now);
    st1->set(keys::title, QStringLiteral("Januar"));
    st1->setChildren(ChildList::Items, {i1, i2});
    st1->setChildren(ChildList::Files, {file});

    RecordPtr st2 = Record::create(RecordClass::Thelist, now);
    st2->set(keys::title, QStringLiteral("Februar"));
    st2->setChildState(ChildList::Files, EntryState::Nil);

    RecordPtr st3 = Record::createEmpty(RecordClass::Thelist);
    st3->setPropertiesState(EntryState::Nil);
    st3->setChildren(ChildList::Files, {nullptr, file});  // a hole, and the file shared with st1

    RecordPtr year = Record::create(RecordClass::Year, now);
    year->set(keys::dateValue, QStringLiteral("2024"));
    year->setChildren(ChildList::Thelists, {st1, st2, st3});
    year->setChildren(ChildList::Items, {i2});  // the same item as in "Januar"

    RecordPtr oldYear = Record::createEmpty(RecordClass::Year);  // no entries at all
    db.years = {year, oldYear};

    db.groups = {Record::create(RecordClass::Group, now)};
    RecordPtr bareAccount = Record::createEmpty(RecordClass::Account);
    db.accounts = {Record::create(RecordClass::Account, now), bareAccount};
    RecordPtr tmpl = Record::create(RecordClass::Item, now);
    tmpl->set(keys::title, QStringLiteral("Vorlage Miete"));
    db.items = {tmpl};

    RecordPtr cashbook = Record::create(RecordClass::Cashbook, now);
    RecordPtr cbItem = Record::create(RecordClass::CashBookItem, now);
    cbItem->set(keys::sumAusgabe, 4.2f);
    cashbook->setChildren(ChildList::Items, {cbItem});
    cashbook->setChildren(ChildList::Files, {});
    db.cashbooks = {cashbook};
    db.allowances = {Record::create(RecordClass::Allowance, now)};
    db.inventorys = {Record::create(RecordClass::InventoryItem, now)};

    // Kept subtrees read from other archives: GNUstep's named image with flags,
    // an image made only of representations, and an object of an unknown class.
    const Value yearFixture = mustRead(fixtureBytes(QStringLiteral("year.archive")));
    const RecordList& fixtureItems = yearFixture.asRecord()->items();
    i1->set(Key(u"legacyIcon"), fixtureItems.at(0)->value(Key(u"icon")));
    i2->set(keys::image, fixtureItems.at(2)->value(Key(u"icon")));
    const Value future = mustRead(archiveWithUnknownClass());
    year->set(Key(u"future"), future.asDict()->value(Key(u"future")));

    return db.toRoot();
}

namespace {

plist_t classDict(const char* name, std::initializer_list<const char*> chain) {
    plist_t d = plist_new_dict();
    plist_dict_set_item(d, "$classname", plist_new_string(name));
    plist_t c = plist_new_array();
    for (const char* s : chain) plist_array_append_item(c, plist_new_string(s));
    plist_dict_set_item(d, "$classes", c);
    return d;
}

plist_t uidArray(std::initializer_list<uint64_t> uids) {
    plist_t a = plist_new_array();
    for (uint64_t u : uids) plist_array_append_item(a, plist_new_uid(u));
    return a;
}

plist_t objectWithClass(uint64_t cls) {
    plist_t d = plist_new_dict();
    plist_dict_set_item(d, "$class", plist_new_uid(cls));
    return d;
}

}  // namespace

QByteArray archiveWithUnknownClass() {
    plist_t objects = plist_new_array();
    plist_array_append_item(objects, plist_new_string("$null"));  // 0
    plist_t root = objectWithClass(2);                            // 1
    plist_dict_set_item(root, "NS.keys", uidArray({3, 4}));
    plist_dict_set_item(root, "NS.objects", uidArray({5, 10}));
    plist_array_append_item(objects, root);
    plist_array_append_item(objects, classDict("NSDictionary", {"NSDictionary", "NSObject"}));  // 2
    plist_array_append_item(objects, plist_new_string("future"));                               // 3
    plist_array_append_item(objects, plist_new_string("items"));                                // 4
    plist_t future = objectWithClass(6);                                                        // 5
    plist_dict_set_item(future, "self", plist_new_uid(5));
    plist_dict_set_item(future, "text", plist_new_uid(7));
    plist_dict_set_item(future, "rate", plist_new_real(0.5));
    plist_dict_set_item(future, "count", plist_new_uint(3));
    plist_dict_set_item(future, "children", plist_new_uid(8));
    plist_dict_set_item(future, "record", plist_new_uid(11));
    plist_array_append_item(objects, future);
    plist_array_append_item(objects,
                            classDict("QuandorFuture", {"QuandorFuture", "NSObject"}));  // 6
    plist_array_append_item(objects, plist_new_string("Zukunft ß"));                     // 7
    plist_t children = objectWithClass(9);                                               // 8
    plist_dict_set_item(children, "NS.objects", uidArray({7, 11, 0}));
    plist_array_append_item(objects, children);
    plist_array_append_item(objects, classDict("NSArray", {"NSArray", "NSObject"}));  // 9
    plist_t items = objectWithClass(9);                                               // 10
    plist_dict_set_item(items, "NS.objects", uidArray({11}));
    plist_array_append_item(objects, items);
    plist_t item = objectWithClass(12);  // 11
    plist_dict_set_item(item, "properties", plist_new_uid(13));
    plist_array_append_item(objects, item);
    plist_array_append_item(objects, classDict("Item", {"Item", "NSObject"}));  // 12
    plist_t props = objectWithClass(2);                                         // 13
    plist_dict_set_item(props, "NS.keys", uidArray({14}));
    plist_dict_set_item(props, "NS.objects", uidArray({7}));
    plist_array_append_item(objects, props);
    plist_array_append_item(objects, plist_new_string("title"));  // 14

    plist_t top = plist_new_dict();
    plist_dict_set_item(top, "$archiver", plist_new_string("NSKeyedArchiver"));
    plist_dict_set_item(top, "$version", plist_new_uint(100000));
    plist_t topRoot = plist_new_dict();
    plist_dict_set_item(topRoot, "root", plist_new_uid(1));
    plist_dict_set_item(top, "$top", topRoot);
    plist_dict_set_item(top, "$objects", objects);

    char* bin = nullptr;
    uint32_t length = 0;
    plist_to_bin(top, &bin, &length);
    QByteArray out(bin, static_cast<qsizetype>(length));
    std::free(bin);
    plist_free(top);
    return out;
}

// --- hand-made property lists ---

namespace {

std::string bigEndian(uint64_t v, unsigned width) {
    std::string s(width, '\0');
    for (unsigned i = width; i-- > 0;) {
        s[i] = static_cast<char>(v & 0xFF);
        v >>= 8;
    }
    return s;
}

std::string countedMarker(uint8_t high, uint64_t count) {
    if (count < 15) return std::string(1, static_cast<char>(high | count));
    return std::string(1, static_cast<char>(high | 0xF)) +
           HandPlist::integer(static_cast<int64_t>(count));
}

}  // namespace

std::string HandPlist::ascii(const std::string& s) {
    return countedMarker(0x50, s.size()) + s;
}

std::string HandPlist::integer(int64_t v) {
    if (v < 0 || v > 0xFFFFFFFFll) return "\x13" + bigEndian(static_cast<uint64_t>(v), 8);
    if (v <= 0xFF) return "\x10" + bigEndian(static_cast<uint64_t>(v), 1);
    if (v <= 0xFFFF) return "\x11" + bigEndian(static_cast<uint64_t>(v), 2);
    return "\x12" + bigEndian(static_cast<uint64_t>(v), 4);
}

std::string HandPlist::uid(uint64_t v) {
    if (v <= 0xFF) return "\x80" + bigEndian(v, 1);
    if (v <= 0xFFFF) return "\x81" + bigEndian(v, 2);
    return "\x83" + bigEndian(v, 4);
}

std::string HandPlist::real32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return "\x22" + bigEndian(bits, 4);
}

std::string HandPlist::real64(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    return "\x23" + bigEndian(bits, 8);
}

std::string HandPlist::date(double sinceReference) {
    uint64_t bits;
    std::memcpy(&bits, &sinceReference, 8);
    return "\x33" + bigEndian(bits, 8);
}

std::string HandPlist::utf16(const std::u16string& s) {
    std::string out = countedMarker(0x60, s.size());
    for (char16_t c : s) out += bigEndian(c, 2);
    return out;
}

std::string HandPlist::utf8(const std::string& s) {
    return countedMarker(0x70, s.size()) + s;
}

std::string HandPlist::data(const std::string& bytes) {
    return countedMarker(0x40, bytes.size()) + bytes;
}

std::string HandPlist::array(std::initializer_list<uint64_t> refs) const {
    return array(std::vector<uint64_t>(refs));
}

std::string HandPlist::array(const std::vector<uint64_t>& refs) const {
    std::string s = countedMarker(0xA0, refs.size());
    for (uint64_t r : refs) s += bigEndian(r, refSize);
    return s;
}

std::string HandPlist::dict(std::initializer_list<uint64_t> keys,
                            std::initializer_list<uint64_t> values) const {
    return dict(std::vector<uint64_t>(keys), std::vector<uint64_t>(values));
}

std::string HandPlist::dict(const std::vector<uint64_t>& keys,
                            const std::vector<uint64_t>& values) const {
    std::string s = countedMarker(0xD0, keys.size());
    for (uint64_t r : keys) s += bigEndian(r, refSize);
    for (uint64_t r : values) s += bigEndian(r, refSize);
    return s;
}

QByteArray HandPlist::bytes() const {
    std::string out = "bplist00";
    std::vector<uint64_t> offsets;
    for (const std::string& o : objects) {
        offsets.push_back(out.size());
        out += o;
    }
    const uint64_t table = out.size();
    for (uint64_t off : offsets) out += bigEndian(off, offsetSize);
    out += std::string(6, '\0');
    out += static_cast<char>(offsetSize);
    out += static_cast<char>(refSize);
    out += bigEndian(objects.size(), 8);
    out += bigEndian(top, 8);
    out += bigEndian(table, 8);
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

HandArchive::HandArchive() {
    object(HandPlist::ascii("$null"));
}

uint64_t HandArchive::object(std::string bytes) {
    objectRefs.push_back(plist.add(std::move(bytes)));
    return objectRefs.size() - 1;
}

QByteArray HandArchive::bytes() {
    HandPlist p = plist;
    const uint64_t kArchiver = p.add(HandPlist::ascii("$archiver"));
    const uint64_t vArchiver = p.add(HandPlist::ascii(archiver));
    const uint64_t kVersion = p.add(HandPlist::ascii("$version"));
    const uint64_t vVersion = p.add(HandPlist::integer(version));
    const uint64_t kObjects = p.add(HandPlist::ascii("$objects"));
    const uint64_t vObjects = p.add(p.array(objectRefs));
    std::vector<uint64_t> keys = {kArchiver, kVersion, kObjects};
    std::vector<uint64_t> values = {vArchiver, vVersion, vObjects};
    if (withTop) {
        const uint64_t kRoot = p.add(HandPlist::ascii("root"));
        const uint64_t vRoot = p.add(HandPlist::uid(rootIndex));
        const uint64_t kTop = p.add(HandPlist::ascii("$top"));
        const uint64_t vTop = p.add(p.dict({kRoot}, {vRoot}));
        keys.push_back(kTop);
        values.push_back(vTop);
    }
    p.top = p.add(p.dict(keys, values));
    return p.bytes();
}

uint64_t HandArchive::key(const std::string& name) {
    for (const auto& [n, ref] : keys_)
        if (n == name) return ref;
    const uint64_t ref = plistObject(HandPlist::ascii(name));
    keys_.emplace_back(name, ref);
    return ref;
}

uint64_t HandArchive::classDict(const std::string& name, const std::vector<std::string>& chain) {
    std::string id = name;
    for (const std::string& c : chain) id += "/" + c;
    for (const auto& [n, index] : classes_)
        if (n == id) return index;
    std::vector<uint64_t> chainRefs;
    for (const std::string& c : chain) chainRefs.push_back(plistObject(HandPlist::ascii(c)));
    std::vector<uint64_t> keys = {key("$classname")};
    std::vector<uint64_t> values = {plistObject(HandPlist::ascii(name))};
    if (!chain.empty()) {
        keys.push_back(key("$classes"));
        values.push_back(plistObject(plist.array(chainRefs)));
    }
    const uint64_t index = object(plist.dict(keys, values));
    classes_.emplace_back(id, index);
    return index;
}

uint64_t HandArchive::instance(uint64_t classIndex,
                               const std::vector<std::pair<std::string, uint64_t>>& entries) {
    std::vector<uint64_t> keys = {key("$class")};
    std::vector<uint64_t> values = {uidRef(classIndex)};
    for (const auto& [k, v] : entries) {
        keys.push_back(key(k));
        values.push_back(v);
    }
    return object(plist.dict(keys, values));
}

uint64_t HandArchive::nsArray(const std::vector<uint64_t>& elementIndices) {
    std::vector<uint64_t> uids;
    for (uint64_t e : elementIndices) uids.push_back(uidRef(e));
    const uint64_t elements = plistObject(plist.array(uids));
    return instance(classDict("NSArray"), {{"NS.objects", elements}});
}

uint64_t HandArchive::nsDictionary(const std::vector<uint64_t>& keyIndices,
                                   const std::vector<uint64_t>& valueIndices) {
    std::vector<uint64_t> k, v;
    for (uint64_t e : keyIndices) k.push_back(uidRef(e));
    for (uint64_t e : valueIndices) v.push_back(uidRef(e));
    const uint64_t keys = plistObject(plist.array(k));
    const uint64_t values = plistObject(plist.array(v));
    return instance(classDict("NSDictionary"), {{"NS.keys", keys}, {"NS.objects", values}});
}

uint64_t HandArchive::record(const std::string& cls,
                             const std::vector<std::pair<std::string, uint64_t>>& entries) {
    return instance(classDict(cls), entries);
}

}  // namespace quandor::archive::test
