// The writer's file, checked by parsers that are not ours: libplist for the
// keyed-archive structure, and a plain scan of the offset table for what
// libplist hides (real widths, integer widths, string encodings, trailer).

#include "archive_test_support.h"

#include "core/archive/archive.h"
#include "core/database.h"
#include "core/keys.h"
#include "core/record.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <plist/plist.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>

using namespace quandor;
using namespace quandor::archive;
using namespace quandor::archive::test;

namespace {

std::string stringOf(plist_t node) {
    if (!node || plist_get_node_type(node) != PLIST_STRING) return {};
    char* s = nullptr;
    plist_get_string_val(node, &s);
    std::string out = s ? s : "";
    std::free(s);
    return out;
}

uint64_t uidOf(plist_t node) {
    uint64_t u = UINT64_MAX;
    if (node && plist_get_node_type(node) == PLIST_UID) plist_get_uid_val(node, &u);
    return u;
}

struct Parsed {
    plist_t top = nullptr;
    explicit Parsed(const QByteArray& bytes) {
        plist_from_bin(bytes.constData(), static_cast<uint32_t>(bytes.size()), &top);
    }
    ~Parsed() { plist_free(top); }
    Parsed(const Parsed&) = delete;
    Parsed& operator=(const Parsed&) = delete;
    plist_t objects() const { return plist_dict_get_item(top, "$objects"); }
    uint32_t count() const { return plist_array_get_size(objects()); }
    plist_t object(uint64_t i) const {
        return plist_array_get_item(objects(), static_cast<uint32_t>(i));
    }
    std::string classOf(plist_t o) const {
        return stringOf(
            plist_dict_get_item(object(uidOf(plist_dict_get_item(o, "$class"))), "$classname"));
    }
};

// The objects of a binary plist as byte ranges, read from the trailer and the
// offset table (the writer lays objects out in reference order).
struct Scan {
    unsigned offsetSize = 0, refSize = 0;
    uint64_t count = 0, top = 0, table = 0;
    std::vector<QByteArray> objects;

    explicit Scan(const QByteArray& b) {
        const auto* t = reinterpret_cast<const uint8_t*>(b.constData()) + b.size() - 32;
        const auto be = [](const uint8_t* p, unsigned n) {
            uint64_t v = 0;
            for (unsigned i = 0; i < n; ++i) v = (v << 8) | p[i];
            return v;
        };
        offsetSize = t[6];
        refSize = t[7];
        count = be(t + 8, 8);
        top = be(t + 16, 8);
        table = be(t + 24, 8);
        const auto* base = reinterpret_cast<const uint8_t*>(b.constData());
        for (uint64_t i = 0; i < count; ++i) {
            const uint64_t start = be(base + table + i * offsetSize, offsetSize);
            const uint64_t end =
                i + 1 < count ? be(base + table + (i + 1) * offsetSize, offsetSize) : table;
            objects.push_back(
                b.mid(static_cast<qsizetype>(start), static_cast<qsizetype>(end - start)));
        }
    }
};

TEST(WriterLayout, TopDictionaryIsNSKeyedArchiversForm) {
    const Parsed p(write(sampleDatabase()));
    ASSERT_TRUE(p.top);
    ASSERT_EQ(plist_get_node_type(p.top), PLIST_DICT);
    EXPECT_EQ(plist_dict_get_size(p.top), 4u);
    EXPECT_EQ(stringOf(plist_dict_get_item(p.top, "$archiver")), "NSKeyedArchiver");
    uint64_t version = 0;
    plist_get_uint_val(plist_dict_get_item(p.top, "$version"), &version);
    EXPECT_EQ(version, 100000u);
    plist_t top = plist_dict_get_item(p.top, "$top");
    ASSERT_EQ(plist_get_node_type(top), PLIST_DICT);
    EXPECT_EQ(uidOf(plist_dict_get_item(top, "root")), 1u);
    EXPECT_EQ(stringOf(p.object(0)), "$null");
}

TEST(WriterLayout, EveryObjectValueIsAUidAndEveryClassHasItsChain) {
    const Parsed p(write(sampleDatabase()));
    const std::map<std::string, std::vector<std::string>> chains = {
        {"NSMutableDictionary", {"NSMutableDictionary", "NSDictionary", "NSObject"}},
        {"NSMutableArray", {"NSMutableArray", "NSArray", "NSObject"}},
        {"NSDate", {"NSDate", "NSObject"}},
        {"NSImage", {"NSImage", "NSObject"}},
        {"Year", {"Year", "NSObject"}},
        {"Thelist", {"Thelist", "NSObject"}},
        {"Item", {"Item", "NSObject"}},
        {"Cashbook", {"Cashbook", "NSObject"}},
    };
    std::map<std::string, int> seen;
    const auto isUid = [&](plist_t v) { return uidOf(v) < p.count(); };
    for (uint32_t i = 1; i < p.count(); ++i) {
        plist_t o = p.object(i);
        if (plist_get_node_type(o) != PLIST_DICT || plist_dict_get_item(o, "$classname")) continue;
        SCOPED_TRACE(i);
        ASSERT_TRUE(isUid(plist_dict_get_item(o, "$class")));
        plist_t cls = p.object(uidOf(plist_dict_get_item(o, "$class")));
        const std::string name = stringOf(plist_dict_get_item(cls, "$classname"));
        ++seen[name];
        if (auto it = chains.find(name); it != chains.end()) {
            plist_t chain = plist_dict_get_item(cls, "$classes");
            ASSERT_EQ(plist_array_get_size(chain), it->second.size());
            for (uint32_t j = 0; j < it->second.size(); ++j)
                EXPECT_EQ(stringOf(plist_array_get_item(chain, j)), it->second[j]);
        }
        // Kept subtrees (GNUstep images, the unknown class) hold what they held.
        if (name == "QuandorFuture" || name == "NSBitmapImageRep" ||
            (name == "NSImage" && plist_dict_get_item(o, "NSImageFlags")))
            continue;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(o, &it);
        for (;;) {
            char* key = nullptr;
            plist_t v = nullptr;
            plist_dict_next_item(o, it, &key, &v);
            if (!v) break;
            const std::string k = key;
            std::free(key);
            if (k == "NS.keys" || k == "NS.objects") {
                ASSERT_EQ(plist_get_node_type(v), PLIST_ARRAY) << k;
                for (uint32_t j = 0; j < plist_array_get_size(v); ++j)
                    EXPECT_TRUE(isUid(plist_array_get_item(v, j))) << name << " " << k;
            } else if (k == "NS.time") {
                EXPECT_EQ(name, "NSDate");
                EXPECT_EQ(plist_get_node_type(v), PLIST_REAL);
            } else {
                EXPECT_TRUE(isUid(v)) << name << " " << k;
            }
        }
        std::free(it);
    }
    for (const auto& [name, chain] : chains) EXPECT_GT(seen[name], 0) << name;
}

TEST(WriterLayout, ObjectIndexIsReservedBeforeContentsAndClassComesAfter) {
    RecordPtr item = Record::create(RecordClass::Group, Date{});
    const Parsed p(write(Value(item)));
    plist_t root = p.object(1);
    ASSERT_EQ(p.classOf(root), "Group");
    const uint64_t props = uidOf(plist_dict_get_item(root, "properties"));
    const uint64_t cls = uidOf(plist_dict_get_item(root, "$class"));
    EXPECT_EQ(props, 2u);  // the first content right after the reserved root
    EXPECT_GT(cls, props);
    plist_t values = plist_dict_get_item(p.object(props), "NS.objects");
    for (uint32_t j = 0; j < plist_array_get_size(values); ++j)
        EXPECT_LT(uidOf(plist_array_get_item(values, j)), cls);
}

TEST(WriterLayout, SharedRecordIsWrittenOnce) {
    RecordPtr item = Record::create(RecordClass::Item, Date{});
    RecordPtr statement = Record::create(RecordClass::Thelist, Date{});
    statement->setChildren(ChildList::Items, {item, item});
    const Parsed p(write(Value(statement)));
    int items = 0;
    for (uint32_t i = 0; i < p.count(); ++i) {
        plist_t o = p.object(i);
        if (plist_get_node_type(o) == PLIST_DICT && plist_dict_get_item(o, "$class") &&
            p.classOf(o) == "Item")
            ++items;
    }
    EXPECT_EQ(items, 1);
}

TEST(WriterLayout, RealsAreFloatsUnlessWideAndDatesAreNSDateObjects) {
    const Value list =
        Value::list({Value(19.0f), Value(0.1f), Value::real(0.1, true), Value(Date{1.5})});
    const Scan s(write(list));
    std::map<uint8_t, int> markers;
    for (const QByteArray& o : s.objects) ++markers[static_cast<uint8_t>(o[0])];
    EXPECT_EQ(markers[0x22], 2);  // 19 and 0.1 as 32-bit floats
    EXPECT_EQ(markers[0x23], 2);  // the wide real and NS.time
    EXPECT_EQ(markers[0x33], 0);  // no inline property-list dates
    const Parsed p(write(list));
    bool date = false;
    for (uint32_t i = 0; i < p.count(); ++i) {
        plist_t o = p.object(i);
        if (plist_get_node_type(o) == PLIST_DICT && plist_dict_get_item(o, "NS.time")) {
            EXPECT_EQ(p.classOf(o), "NSDate");
            double t = 0;
            plist_get_real_val(plist_dict_get_item(o, "NS.time"), &t);
            EXPECT_EQ(t, 1.5);
            date = true;
        }
    }
    EXPECT_TRUE(date);
}

TEST(WriterLayout, IntegersUseTheSmallestWidthAndNegativesEightBytes) {
    const std::vector<int64_t> values = {
        0, 255, 256, 65535, 65536, 4294967295ll, 4294967296ll, -1, INT64_MIN};
    ValueList l;
    for (int64_t v : values) l.emplace_back(v);
    const Scan s(write(Value::list(l)));
    std::map<int64_t, uint8_t> found;
    for (const QByteArray& o : s.objects) {
        const auto marker = static_cast<uint8_t>(o[0]);
        if ((marker >> 4) != 1) continue;
        const unsigned width = 1u << (marker & 0xF);
        uint64_t v = 0;
        for (unsigned i = 0; i < width; ++i) v = (v << 8) | static_cast<uint8_t>(o[1 + i]);
        found[static_cast<int64_t>(v)] = marker;
    }
    const std::map<int64_t, uint8_t> expected = {
        {0, 0x10},        {255, 0x10},          {256, 0x11},          {65535, 0x11},
        {65536, 0x12},    {4294967295ll, 0x12}, {4294967296ll, 0x13}, {-1, 0x13},
        {INT64_MIN, 0x13}};
    for (const auto& [v, m] : expected) EXPECT_EQ(found[v], m) << v;
}

TEST(WriterLayout, StringsAreAsciiOrUtf16WithCountObjects) {
    const Value list = Value::list(
        {Value(QString()), Value(QStringLiteral("abc")), Value(QString::fromUtf8("Straße")),
         Value(QString(20, QChar(u'x'))), Value(QString::fromUtf8("😀"))});
    const Scan s(write(list));
    std::set<QByteArray> strings;
    for (const QByteArray& o : s.objects) strings.insert(o);
    EXPECT_TRUE(strings.count(QByteArray("\x50", 1)));
    EXPECT_TRUE(
        strings.count(QByteArray("\x53"
                                 "abc")));
    EXPECT_TRUE(
        strings.count(QByteArray("\x66\x00S\x00t\x00r\x00"
                                 "a\x00\xdf\x00"
                                 "e",
                                 13)));
    EXPECT_TRUE(strings.count(QByteArray("\x5f\x10\x14") + QByteArray(20, 'x')));
    EXPECT_TRUE(
        strings.count(QByteArray("\x62\xd8\x3d\xde\x00", 5)));  // a surrogate pair: two units
}

// CF's reader (__CFBinaryPlistGetTopLevelInfo) refuses a file unless
// 2^(8·refSize) > object count and 2^(8·offsetSize) > offset table offset;
// CF's writer uses the fewest bytes that pass, any of 1 to 8.
TEST(WriterLayout, TrailerWidthsAreCFsAndTheLengthIsExact) {
    const auto bytesFor = [](uint64_t v) {
        unsigned n = 1;
        while (n < 8 && (v >> (8 * n)) != 0) ++n;
        return n;
    };
    // Lists around 256 objects pass the boundary where a width chosen by the
    // largest reference (255) would be one byte too small for CF.
    bool sawBoundary = false;
    std::vector<int> sizes = {1, 300, 70000};
    for (int n = 100; n < 140; ++n) sizes.push_back(n);
    for (int n = 100; n < 140; ++n)
        sizes.push_back(-n);  // with an element that adds one object, not two
    for (int signedN : sizes) {
        SCOPED_TRACE(signedN);
        const int n = std::abs(signedN);
        ValueList l;
        for (int i = 0; i < n; ++i) l.emplace_back(QString::number(i));
        if (signedN < 0)
            l.emplace_back(int64_t{100000});  // merged with "$version": only its UID is new
        const QByteArray bytes = write(Value::list(l));
        const Scan s(bytes);
        sawBoundary |= s.count == 256;
        EXPECT_EQ(s.refSize, bytesFor(s.count));
        EXPECT_EQ(s.offsetSize, bytesFor(s.table));
        if (s.refSize < 8) {
            EXPECT_GT(uint64_t{1} << (8 * s.refSize), s.count);
        }
        if (s.offsetSize < 8) {
            EXPECT_GT(uint64_t{1} << (8 * s.offsetSize), s.table);
        }
        EXPECT_EQ(static_cast<uint64_t>(bytes.size()), s.table + s.count * s.offsetSize + 32);
        EXPECT_EQ(s.top, 0u);
        EXPECT_EQ(std::memcmp(bytes.constData(), "bplist00", 8), 0);
        EXPECT_EQ(bytes.mid(bytes.size() - 32, 6), QByteArray(6, '\0'));
        const ReadResult r = read(bytes);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.root.asList()->size(), l.size());
    }
    EXPECT_TRUE(sawBoundary);
}

TEST(WriterLayout, EqualScalarsAreMergedInTheFile) {
    const QString a = QString::fromUtf8("gleich"), b = QString::fromUtf8("gleich");
    const Value list =
        Value::list({Value(a), Value(b), Value(7), Value(7), Value(2.5f), Value(2.5f)});
    const Parsed p(write(list));
    // "$null", the three values, the array object and its class.
    EXPECT_EQ(p.count(), 6u);
}

// A device that accepts `limit` bytes and then refuses, like a full disk.
class FullDisk : public QIODevice {
  public:
    explicit FullDisk(qint64 limit) : limit_(limit) { open(QIODevice::WriteOnly); }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 n) override {
        if (written_ + n > limit_) return -1;
        written_ += n;
        return n;
    }

  private:
    qint64 limit_;
    qint64 written_ = 0;
};

TEST(WriterLayout, StreamingWriteGivesTheSameBytes) {
    ValueList big;
    big.emplace_back(QString(3'000'000, QChar(u'x')));  // one object larger than a write piece
    for (int i = 0; i < 200'000; ++i) big.emplace_back(QString::number(i));
    for (const Value& v : {sampleDatabase(), Value::list(big), Value()}) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(write(v, buffer));
        EXPECT_EQ(buffer.data(), write(v));
    }
}

TEST(WriterLayout, StreamingWriteReportsARefusingDevice) {
    const Value sample = sampleDatabase();
    const qint64 size = write(sample).size();
    FullDisk full(size / 2);
    EXPECT_FALSE(write(sample, full));
    FullDisk roomy(size);
    EXPECT_TRUE(write(sample, roomy));
}

}  // namespace
