// Write → read gives the same tree; read → write → read gives the same dump,
// and kept subtrees (images, unknown classes) come back unchanged.

#include "archive_test_support.h"

#include "core/archive/archive.h"
#include "core/archive/canonical_json.h"
#include "core/database.h"
#include "core/keys.h"
#include "core/record.h"

#include <gtest/gtest.h>

#include <plist/plist.h>

#include <algorithm>
#include <cinttypes>
#include <cstdlib>
#include <set>

using namespace quandor;
using namespace quandor::archive;
using namespace quandor::archive::test;

namespace {

ReadResult mustRead(const QByteArray& bytes) {
    ReadResult r = read(bytes);
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    return r;
}

// --- an independent look at archives through libplist ---

struct PlistDoc {
    plist_t top = nullptr;
    plist_t objects = nullptr;
    explicit PlistDoc(const QByteArray& bytes) {
        plist_from_bin(bytes.constData(), static_cast<uint32_t>(bytes.size()), &top);
        if (top) objects = plist_dict_get_item(top, "$objects");
    }
    ~PlistDoc() { plist_free(top); }
    PlistDoc(const PlistDoc&) = delete;
    PlistDoc& operator=(const PlistDoc&) = delete;

    plist_t at(plist_t uidNode) const {
        uint64_t u = 0;
        plist_get_uid_val(uidNode, &u);
        return plist_array_get_item(objects, static_cast<uint32_t>(u));
    }
    plist_t root() const {
        return at(plist_dict_get_item(plist_dict_get_item(top, "$top"), "root"));
    }
    // An entry of an archived object, resolved.
    plist_t entry(plist_t object, const char* key) const {
        return at(plist_dict_get_item(object, key));
    }
    // The value for `key` in an archived NSDictionary, as its UID node.
    plist_t dictValue(plist_t dict, const char* key) const {
        plist_t keys = plist_dict_get_item(dict, "NS.keys");
        plist_t values = plist_dict_get_item(dict, "NS.objects");
        for (uint32_t i = 0; i < plist_array_get_size(keys); ++i) {
            char* k = nullptr;
            plist_get_string_val(at(plist_array_get_item(keys, i)), &k);
            const bool match = k && std::string(k) == key;
            std::free(k);
            if (match) return plist_array_get_item(values, i);
        }
        return nullptr;
    }
    plist_t element(plist_t array, uint32_t i) const {
        return plist_array_get_item(plist_dict_get_item(array, "NS.objects"), i);
    }

    // The subtree below a UID node with every UID replaced by what it names
    // (a UID already on the path prints as a back reference), dictionaries in
    // key order: equal for two files exactly when the archived graphs agree.
    std::string describe(plist_t node, std::vector<uint64_t>& path) const {
        char buf[64];
        switch (plist_get_node_type(node)) {
            case PLIST_UID: {
                uint64_t u = 0;
                plist_get_uid_val(node, &u);
                if (u == 0) return "nil";
                const auto on = std::find(path.begin(), path.end(), u);
                if (on != path.end()) return "<up " + std::to_string(path.end() - on) + ">";
                path.push_back(u);
                std::string s =
                    describe(plist_array_get_item(objects, static_cast<uint32_t>(u)), path);
                path.pop_back();
                return s;
            }
            case PLIST_DICT: {
                std::vector<std::pair<std::string, std::string>> entries;
                plist_dict_iter it = nullptr;
                plist_dict_new_iter(node, &it);
                for (;;) {
                    char* k = nullptr;
                    plist_t v = nullptr;
                    plist_dict_next_item(node, it, &k, &v);
                    if (!v) break;
                    entries.emplace_back(k, describe(v, path));
                    std::free(k);
                }
                std::free(it);
                std::sort(entries.begin(), entries.end());
                std::string s = "{";
                for (const auto& [k, v] : entries) s += k + ":" + v + ",";
                return s + "}";
            }
            case PLIST_ARRAY: {
                std::string s = "[";
                for (uint32_t i = 0; i < plist_array_get_size(node); ++i)
                    s += describe(plist_array_get_item(node, i), path) + ",";
                return s + "]";
            }
            case PLIST_STRING: {
                char* v = nullptr;
                plist_get_string_val(node, &v);
                std::string s = std::string("\"") + v + "\"";
                std::free(v);
                return s;
            }
            case PLIST_UINT: {
                uint64_t v = 0;
                plist_get_uint_val(node, &v);
                return "i" + std::to_string(static_cast<int64_t>(v));
            }
            case PLIST_REAL: {
                double v = 0;
                plist_get_real_val(node, &v);
                std::snprintf(buf, sizeof buf, "r%.17g", v);
                return buf;
            }
            case PLIST_BOOLEAN: {
                uint8_t b = 0;
                plist_get_bool_val(node, &b);
                return b ? "true" : "false";
            }
            case PLIST_DATA: {
                uint64_t n = 0;
                const char* d = plist_get_data_ptr(node, &n);
                return "data:" + QByteArray(d, static_cast<qsizetype>(n)).toHex().toStdString();
            }
            case PLIST_DATE: {
                int32_t sec = 0, usec = 0;
                plist_get_date_val(node, &sec, &usec);
                std::snprintf(buf, sizeof buf, "date%" PRId32 ".%06" PRId32, sec, usec);
                return buf;
            }
            default:
                return "?";
        }
    }
    std::string describe(plist_t uidNode) const {
        std::vector<uint64_t> path;
        return describe(uidNode, path);
    }
};

// The sample database written and read back once, for the checks below.
class SampleRoundTrip : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        sample_ = new Value(sampleDatabase());
        bytes_ = new QByteArray(write(*sample_));
        read_ = new ReadResult(mustRead(*bytes_));
    }
    static void TearDownTestSuite() {
        delete read_;
        delete bytes_;
        delete sample_;
    }
    static Database database() { return Database::fromRoot(read_->root); }
    static inline Value* sample_ = nullptr;
    static inline QByteArray* bytes_ = nullptr;
    static inline ReadResult* read_ = nullptr;
};

// The canonical JSON shows nil, missing and present entries: equal dumps are equal states.
TEST_F(SampleRoundTrip, ReadsBackEqualAndASecondSaveWritesTheSameBytes) {
    ASSERT_TRUE(read_->ok);
    EXPECT_TRUE(read_->root == *sample_);
    EXPECT_EQ(canonicalJson(read_->root).toStdString(), canonicalJson(*sample_).toStdString());
    EXPECT_EQ(write(read_->root), *bytes_);
}

TEST_F(SampleRoundTrip, SharedObjectsStayShared) {
    const Database db = database();
    const RecordPtr& year = db.years.at(0);
    const RecordPtr& january = year->thelists().at(0);
    EXPECT_EQ(year->items().at(0).get(), january->items().at(1).get());
    const RecordPtr& third = year->thelists().at(2);
    ASSERT_EQ(third->files().size(), 2u);
    EXPECT_EQ(third->files()[0], nullptr);
    EXPECT_EQ(third->files()[1].get(), january->files().at(0).get());
    const RecordPtr& item = january->items().at(1);
    const Value a = item->value(Key(u"nested"));
    const Value b = item->value(Key(u"nestedAgain"));
    ASSERT_EQ(a.type(), Value::Type::Dict);
    EXPECT_EQ(a.asDict().get(), b.asDict().get());
}

TEST_F(SampleRoundTrip, EqualTextsShareOneQString) {
    const Database db = database();
    const RecordList& items = db.years.at(0)->thelists().at(0)->items();
    const QString a = items.at(0)->text(keys::group);
    const QString b = items.at(1)->text(keys::group);
    EXPECT_EQ(a, "Gleicher Text");
    EXPECT_EQ(a.constData(), b.constData());
}

TEST(RoundTrip, NamedIconsOfEqualNameAreOneImage) {
    RecordPtr a = Record::create(RecordClass::Item, Date{});
    RecordPtr b = Record::create(RecordClass::Item, Date{});  // another Icon object, same name
    const Value list = Value::list({Value(a), Value(b)});
    const QByteArray bytes = write(list);
    const ReadResult r = mustRead(bytes);
    const ValueList& items = *r.root.asList();
    const Value ia = items[0].asRecord()->value(keys::image);
    const Value ib = items[1].asRecord()->value(keys::image);
    EXPECT_EQ(ia.asIcon().name, "miniItemGrey");
    EXPECT_FALSE(ia.asIcon().raw) << "the writer's own form needs nothing kept";
    EXPECT_EQ(ia.iconPtr().get(), ib.iconPtr().get());
}

TEST(RoundTrip, RecordEntriesAreWrittenAsTheirStateSays) {
    RecordPtr year = Record::createEmpty(RecordClass::Year);
    year->thelists().push_back(
        Record::create(RecordClass::Thelist, Date{}));  // filled though "missing"
    year->setChildState(ChildList::Items, EntryState::Nil);
    year->setChildState(ChildList::Files, EntryState::Present);
    const QByteArray json = canonicalJson(mustRead(write(Value(year))).root);
    EXPECT_TRUE(json.startsWith(
        R"({"$class":"Year","files":[],"items":null,"thelists":[{"$class":"Thelist")"))
        << json.toStdString();
    EXPECT_FALSE(json.contains(R"("Year","properties")"));
}

TEST(RoundTrip, KeptImagesAreWrittenBackUnchanged) {
    const QByteArray original = fixtureBytes(QStringLiteral("year.archive"));
    const QByteArray rewritten = write(mustRead(original).root);
    const PlistDoc a(original), b(rewritten);
    ASSERT_TRUE(a.top && b.top);
    for (uint32_t i : {0u, 2u}) {  // a named GNUstep image and one made of representations
        SCOPED_TRACE(i);
        const auto icon = [](const PlistDoc& d, uint32_t n) {
            plist_t item = d.at(d.element(d.entry(d.root(), "items"), n));
            return d.describe(d.dictValue(d.entry(item, "properties"), "icon"));
        };
        EXPECT_EQ(icon(a, i), icon(b, i));
        EXPECT_NE(icon(a, i).find("NSImageFlags"), std::string::npos);
    }
}

TEST(RoundTrip, UnknownClassIsKeptAndWrittenBackUnchanged) {
    const QByteArray original = archiveWithUnknownClass();
    const ReadResult r = mustRead(original);
    const Value future = r.root.asDict()->value(Key(u"future"));
    ASSERT_EQ(future.type(), Value::Type::Opaque);
    EXPECT_EQ(future.asOpaque()->className, "QuandorFuture");
    EXPECT_EQ(
        canonicalJson(r.root),
        R"({"future":{"$unknown":"QuandorFuture"},"items":[{"$class":"Item","properties":{"title":"Zukunft ß"}}]})");

    const QByteArray rewritten = write(r.root);
    const PlistDoc a(original), b(rewritten);
    const std::string before = a.describe(a.dictValue(a.root(), "future"));
    const std::string after = b.describe(b.dictValue(b.root(), "future"));
    EXPECT_EQ(before, after);
    EXPECT_NE(before.find("self:<up 1>"), std::string::npos) << before;  // the kept cycle
    EXPECT_EQ(canonicalJson(mustRead(rewritten).root), canonicalJson(r.root));
}

TEST(RoundTrip, ProgramMadeOpaqueObjectKeepsItsClass) {
    auto o = std::make_shared<OpaqueObject>();
    o->className = QStringLiteral("Zukunft");
    const ReadResult r = mustRead(write(Value(std::shared_ptr<const OpaqueObject>(o))));
    ASSERT_EQ(r.root.type(), Value::Type::Opaque);
    EXPECT_EQ(r.root.asOpaque()->className, "Zukunft");
}

TEST(RoundTrip, DictionaryContainingItselfIsWrittenAndRefusedOnReading) {
    auto d = std::make_shared<Dict>();
    d->set(Key(u"self"), Value(d));
    const QByteArray bytes = write(Value(d));
    d->set(Key(u"self"), Value());  // break the cycle so the test does not leak
    const ReadResult r = read(bytes);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains(QStringLiteral("enthält sich selbst"))) << r.error.toStdString();
}

TEST(RoundTrip, DatesAndRealsKeepTheirBits) {
    const Value list =
        Value::list({Value(Date{-86400.5}), Value(Date{1e-9}), Value::real(0.1, true), Value(0.1f),
                     Value::real(-0.0, false), Value(int64_t{INT64_MIN})});
    const ReadResult r = mustRead(write(list));
    ASSERT_TRUE(r.root == list);
    const ValueList& l = *r.root.asList();
    EXPECT_TRUE(l[2].asReal().wide);
    EXPECT_FALSE(l[3].asReal().wide);
    EXPECT_TRUE(std::signbit(l[4].asReal().value));
}

}  // namespace
