// Damaged and hostile input: every case is refused with a German message and
// none crashes, hangs or allocates without bound (the suite also runs under
// ASan/UBSan).

#include "archive_test_support.h"

#include "core/archive/archive.h"
#include "core/archive/canonical_json.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace quandor;
using namespace quandor::archive;
using namespace quandor::archive::test;

namespace {

const QString kPrefix = QString::fromUtf8("Die Datei ist beschädigt oder keine Quandor-Datei.");

struct DamageCase {
    const char* name;
    std::function<QByteArray()> bytes;
    const char* detail;  // expected part of the message
};

// A valid archive whose root is an NSArray of one text, to be damaged.
HandArchive smallArchive() {
    HandArchive a;
    const uint64_t text = a.text("Inhalt");
    a.rootIndex = a.nsArray({text});
    return a;
}

QByteArray patch(QByteArray b, qsizetype at, std::initializer_list<uint8_t> bytes) {
    for (uint8_t v : bytes) b[at++] = static_cast<char>(v);
    return b;
}

QByteArray trailerPatched(int field, uint64_t value, int width) {
    QByteArray b = smallArchive().bytes();
    const qsizetype at = b.size() - 32 + field;
    for (int i = width - 1; i >= 0; --i, value >>= 8) b[at + i] = static_cast<char>(value & 0xFF);
    return b;
}

// The offset table entry of the top object (the last object) set to `offset`.
QByteArray offsetPatched(uint16_t offset) {
    QByteArray b = smallArchive().bytes();
    return patch(b, b.size() - 32 - 2,
                 {static_cast<uint8_t>(offset >> 8), static_cast<uint8_t>(offset)});
}

const std::vector<DamageCase>& cases() {
    static const std::vector<DamageCase> all = {
        {"empty", [] { return QByteArray(); }, "leer"},
        {"plain_text", [] { return QByteArray("Kontoauszug 1/2024"); }, "unbekanntes Dateiformat"},
        {"header_only", [] { return QByteArray("bplist00"); }, "zu kurz"},
        {"offset_size_zero", [] { return trailerPatched(6, 0, 1); }, "Dateiabschluss"},
        {"ref_size_nine", [] { return trailerPatched(7, 9, 1); }, "Dateiabschluss"},
        {"no_objects", [] { return trailerPatched(8, 0, 8); }, "Dateiabschluss"},
        {"top_out_of_range", [] { return trailerPatched(16, 1000, 8); }, "Dateiabschluss"},
        {"table_past_end", [] { return trailerPatched(24, 1u << 30, 8); }, "Dateiabschluss"},
        {"object_count_2_pow_60", [] { return trailerPatched(8, uint64_t{1} << 60, 8); },
         "Dateiabschluss"},
        {"offset_past_end", [] { return offsetPatched(0xFFF0); }, "außerhalb"},
        {"offset_into_header", [] { return offsetPatched(2); }, "außerhalb"},
        {"reference_out_of_range",
         [] {
             HandArchive a;
             a.rootIndex = a.nsArray({99});
             return a.bytes();
         },
         "kein Objekt"},
        {"root_out_of_range",
         [] {
             HandArchive a = smallArchive();
             a.rootIndex = 77;
             return a.bytes();
         },
         "kein Objekt"},
        {"reference_cycle",
         [] {
             HandArchive a;
             a.classDict("NSArray");        // 1
             a.rootIndex = a.nsArray({2});  // 2: holds itself
             return a.bytes();
         },
         "enthält sich selbst"},
        {"record_in_its_own_properties",
         [] {
             HandArchive a;
             a.classDict("Item");                                                    // 1
             a.classDict("NSDictionary");                                            // 2
             const uint64_t item = a.record("Item", {{"properties", a.uidRef(5)}});  // 3
             const uint64_t key = a.text("self");                                    // 4
             EXPECT_EQ(a.nsDictionary({key}, {item}), 5u);  // 5: holds the Item
             a.rootIndex = item;
             return a.bytes();
         },
         "enthält sich selbst"},
        {"self_containing_array",
         [] {
             // NS.objects names its own plist object instead of a list of UIDs.
             HandArchive a;
             const uint64_t cls = a.classDict("NSArray");
             const uint64_t keyClass = a.key("$class");
             const uint64_t keyObjects = a.key("NS.objects");
             const uint64_t classUid = a.uidRef(cls);
             const uint64_t self = a.plist.objects.size();
             a.plistObject(a.plist.array({self}));
             a.rootIndex = a.object(a.plist.dict({keyClass, keyObjects}, {classUid, self}));
             return a.bytes();
         },
         "falscher Stelle"},
        {"array_count_2_pow_60",
         [] {
             HandArchive a;
             const uint64_t cls = a.classDict("NSArray");
             std::string huge = "\xAF\x13";
             for (int i = 7; i >= 0; --i)
                 huge += static_cast<char>(((uint64_t{1} << 60) >> (8 * i)) & 0xFF);
             const uint64_t arr = a.plistObject(huge);
             a.rootIndex = a.instance(cls, {{"NS.objects", arr}});
             return a.bytes();
         },
         "Anzahl"},
        {"string_count_2_pow_60",
         [] {
             HandArchive a;
             std::string huge = "\x6F\x13";
             for (int i = 7; i >= 0; --i)
                 huge += static_cast<char>(((uint64_t{1} << 60) >> (8 * i)) & 0xFF);
             a.rootIndex = a.object(huge);
             return a.bytes();
         },
         "Anzahl"},
        {"nesting_100000_deep",
         [] {
             HandArchive a;
             a.plist.refSize = 4;
             a.plist.offsetSize = 4;
             a.classDict("NSArray");  // 1
             const int depth = 100000;
             const uint64_t first = a.objectRefs.size();
             for (int i = 0; i < depth; ++i) a.nsArray({first + 1 + static_cast<uint64_t>(i)});
             a.text("Boden");
             a.rootIndex = first;
             return a.bytes();
         },
         "zu tief"},
        {"plist_nesting_inside_unknown_object",
         [] {
             HandArchive a;
             a.plist.refSize = 4;
             a.plist.offsetSize = 4;
             uint64_t inner = a.plistObject(a.plist.array({}));
             for (int i = 0; i < 100000; ++i) inner = a.plistObject(a.plist.array({inner}));
             a.rootIndex = a.instance(a.classDict("Fremd"), {{"tief", inner}});
             return a.bytes();
         },
         "zu tief"},
        {"exponential_sharing",
         [] {
             // 64 lists, each holding the next twice: 2^64 elements when expanded.
             HandArchive a;
             a.plist.refSize = 2;
             const uint64_t first = a.objectRefs.size() + 1;  // after the class dictionary
             a.classDict("NSArray");
             for (uint64_t i = 0; i < 64; ++i) a.nsArray({first + i + 1, first + i + 1});
             a.text("Blatt");
             a.rootIndex = first;
             return a.bytes();
         },
         "zu viele Werte"},
        {"wrong_archiver",
         [] {
             HandArchive a = smallArchive();
             a.archiver = "NSArchiver";
             return a.bytes();
         },
         "NSKeyedArchiver"},
        {"wrong_version",
         [] {
             HandArchive a = smallArchive();
             a.version = 99999;
             return a.bytes();
         },
         "Archivversion"},
        {"missing_top",
         [] {
             HandArchive a = smallArchive();
             a.withTop = false;
             return a.bytes();
         },
         "Wurzelobjekt"},
        {"top_is_not_a_dictionary",
         [] {
             HandPlist p;
             p.add(HandPlist::ascii("NSKeyedArchiver"));
             return p.bytes();
         },
         "NSKeyedArchiver"},
        {"properties_not_a_dictionary",
         [] {
             HandArchive a;
             a.classDict("Item");                                            // 1
             a.rootIndex = a.record("Item", {{"properties", a.uidRef(3)}});  // 2
             a.text("kein Wörterbuch");                                      // 3
             return a.bytes();
         },
         "Wörterbuch"},
        {"child_list_not_a_list",
         [] {
             HandArchive a;
             a.classDict("Thelist");                                       // 1
             a.rootIndex = a.record("Thelist", {{"items", a.uidRef(3)}});  // 2
             a.text("keine Liste");                                        // 3
             return a.bytes();
         },
         "Liste"},
        {"child_list_holding_text",
         [] {
             HandArchive a;
             a.classDict("Thelist");                                       // 1
             a.classDict("NSArray");                                       // 2
             a.rootIndex = a.record("Thelist", {{"items", a.uidRef(4)}});  // 3
             a.nsArray({5});                                               // 4
             a.text("kein Posten");                                        // 5
             return a.bytes();
         },
         "falscher Stelle"},
        {"object_without_class",
         [] {
             HandArchive a;
             a.rootIndex =
                 a.object(a.plist.dict({a.key("NS.objects")}, {a.plistObject(a.plist.array({}))}));
             return a.bytes();
         },
         "keine Klasse"},
        {"class_without_name",
         [] {
             HandArchive a;
             const uint64_t cls =
                 a.object(a.plist.dict({a.key("$classes")}, {a.plistObject(a.plist.array({}))}));
             a.rootIndex = a.instance(cls, {});
             return a.bytes();
         },
         "keine Klasse"},
        {"data_longer_than_file",
         [] {
             HandArchive a;
             a.rootIndex =
                 a.object(std::string("\x4F\x11\x10\x00"
                                      "ab",
                                      6));  // 4096 bytes announced, 2 there
             return a.bytes();
         },
         "Anzahl"},
        {"unknown_marker",
         [] {
             HandArchive a;
             a.rootIndex = a.object("\xE5");
             return a.bytes();
         },
         "unlesbar"},
        {"xml_garbage",
         [] {
             return QByteArray("<?xml version=\"1.0\"?><plist><dict><key>$archiver</key><strin");
         },
         "XML"},
        {"xml_not_an_archive",
         [] {
             return QByteArray(
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist "
                 "version=\"1.0\"><dict><key>a</key>"
                 "<integer>1</integer></dict></plist>");
         },
         "NSKeyedArchiver"},
        {"xml_nesting_100000_deep",
         [] {
             QByteArray x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">";
             for (int i = 0; i < 100000; ++i) x += "<array>";
             for (int i = 0; i < 100000; ++i) x += "</array>";
             return x + "</plist>";
         },
         "zu tief"},
    };
    return all;
}

class DamagedInput : public testing::TestWithParam<size_t> {};

TEST_P(DamagedInput, IsRefusedWithAGermanMessage) {
    const DamageCase& c = cases()[GetParam()];
    const ReadResult r = read(c.bytes());
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.root.isNull());
    EXPECT_TRUE(r.error.startsWith(kPrefix)) << r.error.toStdString();
    EXPECT_TRUE(r.error.contains(QString::fromUtf8(c.detail))) << r.error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedInput, testing::Range<size_t>(0, cases().size()),
                         [](const testing::TestParamInfo<size_t>& info) {
                             return cases()[info.param].name;
                         });

TEST(DamagedInput, TheSmallArchiveItselfIsFine) {
    const ReadResult r = read(smallArchive().bytes());
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(canonicalJson(r.root), R"(["Inhalt"])");
}

// Every prefix of every sample: a truncated file is refused, never misread.
class TruncatedSample : public testing::TestWithParam<const char*> {};

TEST_P(TruncatedSample, EveryPrefixIsRefused) {
    const QByteArray full = fixtureBytes(QString::fromLatin1(GetParam()));
    for (qsizetype n = 0; n < full.size(); ++n) {
        const ReadResult r = read(full.left(n));
        ASSERT_FALSE(r.ok) << "prefix of " << n << " bytes";
        ASSERT_TRUE(r.error.startsWith(kPrefix));
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, TruncatedSample,
                         testing::Values("database.archive", "year.archive", "accounts.archive"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string n = info.param;
                             return n.substr(0, n.find('.'));
                         });

// Random damage: flipped bytes anywhere. Whatever the outcome, no crash, and a
// file that still reads is written and read back with the same dump.
TEST(DamagedInput, FlippedBytesNeverCrash) {
    std::mt19937 rng(20240101);
    for (const char* name : {"database.archive", "year.archive"}) {
        const QByteArray full = fixtureBytes(QString::fromLatin1(name));
        for (int round = 0; round < 3000; ++round) {
            QByteArray b = full;
            const int flips = 1 + static_cast<int>(rng() % 4);
            for (int i = 0; i < flips; ++i)
                b[static_cast<qsizetype>(rng() % b.size())] = static_cast<char>(rng());
            const ReadResult r = read(b);
            if (!r.ok) {
                ASSERT_TRUE(r.error.startsWith(kPrefix));
                continue;
            }
            const QByteArray dump = canonicalJson(r.root);
            const ReadResult again = read(write(r.root));
            ASSERT_TRUE(again.ok) << again.error.toStdString();
            ASSERT_EQ(canonicalJson(again.root), dump);
        }
    }
}

}  // namespace
