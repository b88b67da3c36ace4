// What the reader accepts (docs/FILE_FORMAT.md): forms other writers produce.

#include "archive_test_support.h"

#include "core/archive/archive.h"
#include "core/archive/canonical_json.h"
#include "core/database.h"
#include "core/keys.h"
#include "core/record.h"

#include <gtest/gtest.h>

using namespace quandor;
using namespace quandor::archive;
using namespace quandor::archive::test;

namespace {

std::string dump(const QByteArray& bytes) {
    const ReadResult r = read(bytes);
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    return canonicalJson(r.root).toStdString();
}

TEST(TolerantRead, ClassesByNameAloneAndImmutableFoundationClasses) {
    HandArchive a;
    const uint64_t cls = a.classDict("NSDictionary", {});  // no "$classes"
    const uint64_t k1 = a.text("text");
    const uint64_t k2 = a.text("list");
    const uint64_t str = a.instance(a.classDict("NSString", {"NSString", "NSObject"}),
                                    {{"NS.string", a.plistObject(HandPlist::ascii("immutable"))}});
    const uint64_t list = a.nsArray({str});
    const uint64_t keys = a.plistObject(a.plist.array({a.uidRef(k1), a.uidRef(k2)}));
    const uint64_t values = a.plistObject(a.plist.array({a.uidRef(str), a.uidRef(list)}));
    a.rootIndex = a.instance(cls, {{"NS.keys", keys}, {"NS.objects", values}});
    EXPECT_EQ(dump(a.bytes()), R"({"list":["immutable"],"text":"immutable"})");
}

TEST(TolerantRead, DatesInEveryForm) {
    HandArchive a;
    a.plist.refSize = 1;
    const uint64_t date = a.classDict("NSDate");
    const uint64_t real64 = a.instance(date, {{"NS.time", a.plistObject(HandPlist::real64(0.5))}});
    const uint64_t real32 = a.instance(date, {{"NS.time", a.plistObject(HandPlist::real32(1.5f))}});
    const uint64_t integer = a.instance(date, {{"NS.time", a.plistObject(HandPlist::integer(-2))}});
    const uint64_t inlineDate = a.object(HandPlist::date(3.25));
    a.rootIndex = a.nsArray({real64, real32, integer, inlineDate});
    EXPECT_EQ(
        dump(a.bytes()),
        R"([{"$date":978307200.5},{"$date":978307201.5},{"$date":978307198},{"$date":978307203.25}])");
}

TEST(TolerantRead, NumbersOfEveryWidth) {
    HandArchive a;
    std::vector<uint64_t> items;
    items.push_back(a.object(HandPlist::integer(7)));
    items.push_back(a.object(std::string("\x11\x01\x00", 3)));          // 2-byte 256
    items.push_back(a.object(std::string("\x12\x00\x01\x11\x70", 5)));  // 4-byte 70000
    items.push_back(a.object(HandPlist::integer(-3)));                  // 8-byte signed
    items.push_back(a.object(std::string("\x14", 1) + std::string(8, '\0') +
                             std::string("\0\0\0\0\0\0\0\x2a", 8)));
    items.push_back(a.object(std::string("\x14", 1) + std::string(8, '\0') +
                             std::string(8, '\xff')));  // 2^64-1
    items.push_back(a.object(HandPlist::real32(0.1f)));
    items.push_back(a.object(HandPlist::real64(0.1)));
    items.push_back(a.object("\x09"));
    items.push_back(a.object("\x08"));
    a.rootIndex = a.nsArray(items);
    const ReadResult r = read(a.bytes());
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    const ValueList& l = *r.root.asList();
    EXPECT_EQ(l[4].asInt(), 42);
    EXPECT_EQ(l[5].type(), Value::Type::Real) << "beyond int64: the nearest real";
    EXPECT_FALSE(l[6].asReal().wide);
    EXPECT_TRUE(l[7].asReal().wide);
    EXPECT_EQ(canonicalJson(r.root).toStdString(),
              "[7,256,70000,-3,42,1.84467441e+19,0.100000001,0.100000001,true,false]");
}

TEST(TolerantRead, TextsInAsciiUtf16WithSurrogatesAndUtf8) {
    HandArchive a;
    const uint64_t ascii = a.object(HandPlist::ascii("plain"));
    const uint64_t utf16 = a.object(HandPlist::utf16(u"Stra\u00dfe \U0001F600"));
    const uint64_t utf8 =
        a.object(HandPlist::utf8("Gr\xc3\xb6\xc3\x9f"
                                 "e"));
    const uint64_t utf8InAscii =
        a.object(HandPlist::ascii("K\xc3\xa4se"));  // UTF-8 in an 0x5n string
    const uint64_t latin1InAscii = a.object(HandPlist::ascii("K\xe4se"));  // not UTF-8: Latin-1
    a.rootIndex = a.nsArray({ascii, utf16, utf8, utf8InAscii, latin1InAscii});
    EXPECT_EQ(dump(a.bytes()), "[\"plain\",\"Straße 😀\",\"Größe\",\"Käse\",\"Käse\"]");
}

TEST(TolerantRead, MutableStringAndDataObjects) {
    HandArchive a;
    const uint64_t s =
        a.instance(a.classDict("NSMutableString", {"NSMutableString", "NSString", "NSObject"}),
                   {{"NS.string", a.plistObject(HandPlist::ascii("veraenderbar"))}});
    const uint64_t bytesString = a.instance(
        a.classDict("NSString"), {{"NS.bytes", a.plistObject(HandPlist::data("\xc3\xa4"))}});
    const uint64_t d = a.instance(a.classDict("NSMutableData"),
                                  {{"NS.data", a.plistObject(HandPlist::data("\x01\x02"))}});
    a.rootIndex = a.nsArray({s, bytesString, d});
    EXPECT_EQ(dump(a.bytes()), R"(["veraenderbar","ä",{"$data":"0102"}])");
}

TEST(TolerantRead, EqualTextsOfOnePlistObjectShareOneQString) {
    // Apple's writer gives two string instances two archive entries but the
    // property-list layer merges them into one object.
    HandArchive a;
    const uint64_t text = a.text("geteilt");
    a.objectRefs.push_back(a.objectRefs[text]);  // a second archive entry, same plist object
    const uint64_t second = a.objectRefs.size() - 1;
    a.rootIndex = a.nsArray({text, second});
    const ReadResult r = read(a.bytes());
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    const ValueList& l = *r.root.asList();
    EXPECT_EQ(l[0].asString(), "geteilt");
    EXPECT_EQ(l[0].asString().constData(), l[1].asString().constData());
}

// Unknown entries of a record are skipped; an unknown class is kept as an opaque value.
TEST(TolerantRead, UnknownClassInsidePropertiesIsKept) {
    HandArchive a;
    a.classDict("Item");          // 1
    a.classDict("NSDictionary");  // 2
    a.classDict("NSColor");       // 3
    const uint64_t item =
        a.record("Item", {{"properties", a.uidRef(7)}, {"extra", a.uidRef(6)}});  // 4
    const uint64_t key = a.text("color");                                         // 5
    const uint64_t color =
        a.instance(3, {{"NSRGB", a.plistObject(HandPlist::data("1 0 0"))}});  // 6
    EXPECT_EQ(a.nsDictionary({key}, {color}), 7u);                            // 7
    a.rootIndex = item;
    const QByteArray bytes = a.bytes();
    EXPECT_EQ(dump(bytes), R"({"$class":"Item","properties":{"color":{"$unknown":"NSColor"}}})");
    const ReadResult r = read(bytes);
    EXPECT_EQ(canonicalJson(read(write(r.root)).root), canonicalJson(r.root));
}

TEST(TolerantRead, DictionaryWithNonTextKeysIsKeptWhole) {
    HandArchive a;
    const uint64_t number = a.object(HandPlist::integer(5));
    const uint64_t value = a.text("fünf");
    a.rootIndex = a.nsDictionary({number}, {value});
    const ReadResult r = read(a.bytes());
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(canonicalJson(r.root), R"({"$unknown":"NSDictionary"})");
    const ReadResult again = read(write(r.root));
    ASSERT_TRUE(again.ok);
    EXPECT_EQ(canonicalJson(again.root), canonicalJson(r.root));
}

TEST(TolerantRead, LaterDuplicateKeyWins) {
    HandArchive a;
    const uint64_t k = a.text("titel");
    const uint64_t v1 = a.text("erster");
    const uint64_t v2 = a.text("zweiter");
    a.rootIndex = a.nsDictionary({k, k}, {v1, v2});
    EXPECT_EQ(dump(a.bytes()), R"({"titel":"zweiter"})");
}

TEST(TolerantRead, InlineScalarWhereAnObjectBelongs) {
    HandArchive a;
    const uint64_t k = a.text("betrag");
    const uint64_t keys = a.plistObject(a.plist.array({a.uidRef(k)}));
    const uint64_t values = a.plistObject(a.plist.array({a.plistObject(HandPlist::real32(2.5f))}));
    a.rootIndex =
        a.instance(a.classDict("NSDictionary"), {{"NS.keys", keys}, {"NS.objects", values}});
    EXPECT_EQ(dump(a.bytes()), R"({"betrag":2.5})");
}

TEST(TolerantRead, RootMissingSomeListsReadsThemEmpty) {
    const ReadResult r = read(fixtureBytes(QStringLiteral("database-no-cashbooks.archive")));
    ASSERT_TRUE(r.ok);
    const Database db = Database::fromRoot(r.root);
    EXPECT_TRUE(db.cashbooks.empty());
    EXPECT_EQ(db.years.size(), 1u);
}

// A record reached from a child list twice and from a dictionary is one
// record; a properties dictionary two records share gives each its own copy,
// and reached as a value as well it reads as that dictionary.
TEST(TolerantRead, RecordsAndPropertiesReachedMoreThanOnce) {
    HandArchive a;
    const uint64_t shared = a.nsDictionary({a.text("title")}, {a.text("Miete")});
    const uint64_t first = a.record("Item", {{"properties", a.uidRef(shared)}});
    const uint64_t second = a.record("Item", {{"properties", a.uidRef(shared)}});
    const uint64_t items = a.nsArray({first, first, second});
    const uint64_t props = a.nsDictionary({a.text("record"), a.text("dict")}, {first, shared});
    a.rootIndex =
        a.record("Thelist", {{"items", a.uidRef(items)}, {"properties", a.uidRef(props)}});
    const ReadResult r = read(a.bytes());
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    const RecordPtr statement = r.root.asRecord();
    const RecordList& list = statement->items();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].get(), list[1].get());
    EXPECT_NE(list[0].get(), list[2].get());
    EXPECT_NE(&list[0]->properties(), &list[2]->properties());
    EXPECT_EQ(list[2]->text(keys::title), "Miete");
    EXPECT_EQ(statement->value(Key(u"record")).asRecord().get(), list[0].get());
    EXPECT_EQ(statement->value(Key(u"dict")).asDict()->text(keys::title), "Miete");
    EXPECT_EQ(canonicalJson(read(write(r.root)).root), canonicalJson(r.root));
}

TEST(TolerantRead, NilRoot) {
    HandArchive a;
    a.rootIndex = 0;
    const ReadResult r = read(a.bytes());
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_TRUE(r.root.isNull());
}

}  // namespace
