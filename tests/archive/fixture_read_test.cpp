// Reading the GNUstep-written samples: the canonical dump byte for byte, and
// the shapes behind it that the dump does not show (sharing, widths, kept images).

#include "archive_test_support.h"

#include "core/archive/archive.h"
#include "core/archive/canonical_json.h"
#include "core/database.h"
#include "core/keys.h"
#include "core/record.h"

#include <gtest/gtest.h>

#include <plist/plist.h>

#include <cstdlib>

using namespace quandor;
using namespace quandor::archive;
using namespace quandor::archive::test;

namespace {

class FixtureDump : public testing::TestWithParam<const char*> {};

// Read, and read again after our writer wrote it back: the same dump.
TEST_P(FixtureDump, MatchesExpectedJsonByteForByteAlsoWhenRewritten) {
    const QString name = QString::fromLatin1(GetParam());
    const ReadResult r = readFile(fixturePath(name + QStringLiteral(".archive")));
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(canonicalJson(r.root).toStdString(), expectedDump(name).toStdString());
    const ReadResult again = read(write(r.root));
    ASSERT_TRUE(again.ok) << again.error.toStdString();
    EXPECT_EQ(canonicalJson(again.root).toStdString(), expectedDump(name).toStdString());
}

INSTANTIATE_TEST_SUITE_P(Samples, FixtureDump,
                         testing::Values("database", "database-no-cashbooks", "accounts", "year",
                                         "statement"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string n = info.param;
                             for (char& c : n)
                                 if (c == '-') c = '_';
                             return n;
                         });

Value readFixture(const char* name) {
    const ReadResult r = read(fixtureBytes(QString::fromLatin1(name)));
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    return r.root;
}

TEST(FixtureRead, ItemSharedByTwoListsIsOneRecord) {
    const Value root = readFixture("database.archive");
    const Database db = Database::fromRoot(root);
    ASSERT_EQ(db.years.size(), 1u);
    const RecordPtr& year = db.years[0];
    ASSERT_EQ(year->items().size(), 4u);
    const RecordPtr& statement = year->thelists().at(0);
    ASSERT_EQ(statement->items().size(), 2u);
    EXPECT_EQ(year->items()[1].get(), statement->items()[0].get());
    EXPECT_EQ(year->items()[2].get(), statement->items()[1].get());
}

// The dumps show every value; what they cannot show is a real's width and a kept image.
TEST(FixtureRead, RealsKeepTheirWidth) {
    const Value root = readFixture("statement.archive");
    const RecordPtr& item = root.asRecord()->items().at(0);
    const Value amount = item->value(Key(u"amount"));
    ASSERT_EQ(amount.type(), Value::Type::Real);
    EXPECT_FALSE(amount.asReal().wide);
}

TEST(FixtureRead, GnustepImagesAreKept) {
    const Value root = readFixture("year.archive");
    const RecordPtr& year = root.asRecord();
    const Value named = year->value(Key(u"icon"));
    ASSERT_EQ(named.type(), Value::Type::Icon);
    EXPECT_TRUE(named.asIcon().raw) << "GNUstep's NSImageFlags are kept with the image";
    const Value reps = year->items().at(2)->value(Key(u"icon"));
    ASSERT_EQ(reps.type(), Value::Type::Icon);
    EXPECT_TRUE(reps.asIcon().raw);
}

TEST(FixtureRead, KeysOfEqualTextAreOneKey) {
    const Database db = Database::fromRoot(readFixture("database.archive"));
    const RecordPtr& a = db.accounts.at(0);
    const RecordPtr& b = db.accounts.at(1);
    ASSERT_EQ(a->properties().size(), b->properties().size());
    for (size_t i = 0; i < a->properties().size(); ++i)
        EXPECT_EQ(a->properties().entries()[i].key, b->properties().entries()[i].key);
    EXPECT_EQ(a->text(Key(u"name")), QString::fromUtf8("Bürobedarf"));
}

TEST(FixtureRead, XmlFormReadsLikeBinary) {
    // accounts.archive has no dates (the XML form keeps whole seconds only).
    const QByteArray bin = fixtureBytes(QStringLiteral("accounts.archive"));
    plist_t p = nullptr;
    plist_from_bin(bin.constData(), static_cast<uint32_t>(bin.size()), &p);
    ASSERT_TRUE(p);
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(p, &xml, &length);
    plist_free(p);
    const QByteArray xmlBytes(xml, static_cast<qsizetype>(length));
    std::free(xml);
    ASSERT_TRUE(xmlBytes.contains("CF$UID"));
    const ReadResult r = read(xmlBytes);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(canonicalJson(r.root), expectedDump(QStringLiteral("accounts")));
}

}  // namespace
