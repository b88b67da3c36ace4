// Files whose writer merges nothing: every text, number, date and key an
// object of its own, no property-list object used twice. The writer's
// Sharing::Unshared lays such a file out; the reader must give the very same
// tree as from the program's own layout, and still share equal texts.

#include "archive_test_support.h"

#include "core/archive/archive.h"
#include "core/archive/canonical_json.h"
#include "core/database.h"
#include "core/keys.h"
#include "core/record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

using namespace quandor;
using namespace quandor::archive;
using namespace quandor::archive::test;

namespace {

// A binary property list taken apart by hand, independent of our reader: how
// often each object is referenced by a container, and each archive index by
// a UID.
struct References {
    std::vector<int> toObject;        // per property-list object
    std::map<uint64_t, int> toIndex;  // per archive index named by a UID
    std::vector<uint64_t> objects;    // "$objects": archive index → property-list object
    std::vector<uint8_t> markers;     // per property-list object

    explicit References(const QByteArray& b) {
        const auto* d = reinterpret_cast<const uint8_t*>(b.constData());
        const auto be = [](const uint8_t* p, unsigned n) {
            uint64_t v = 0;
            for (unsigned i = 0; i < n; ++i) v = (v << 8) | p[i];
            return v;
        };
        const uint8_t* t = d + b.size() - 32;
        const unsigned offsetSize = t[6], refSize = t[7];
        const uint64_t count = be(t + 8, 8), table = be(t + 24, 8);
        toObject.assign(count, 0);
        for (uint64_t i = 0; i < count; ++i) {
            const uint8_t* p = d + be(d + table + i * offsetSize, offsetSize);
            const uint8_t marker = *p++;
            markers.push_back(marker);
            const unsigned high = marker >> 4;
            if (high == 0x8) {
                ++toIndex[be(p, (marker & 0xF) + 1u)];
                continue;
            }
            if (high != 0xA && high != 0xD) continue;
            uint64_t n = marker & 0xF;
            if (n == 0xF) {
                const unsigned w = 1u << (*p & 0xF);
                n = be(p + 1, w);
                p += 1 + w;
            }
            const uint64_t refs = high == 0xD ? 2 * n : n;
            std::vector<uint64_t> seen;
            for (uint64_t r = 0; r < refs; ++r) seen.push_back(be(p + r * refSize, refSize));
            for (uint64_t r : seen) ++toObject[r];
            // "$objects" is the one array whose first element is the text "$null".
            if (high == 0xA && n > 0 && objects.empty()) {
                const uint8_t* first = d + be(d + table + seen[0] * offsetSize, offsetSize);
                if (first[0] == 0x55 && std::memcmp(first + 1, "$null", 5) == 0) objects = seen;
            }
        }
    }
    bool isScalar(uint64_t object) const {
        const unsigned high = markers[object] >> 4;
        return high == 0x1 || high == 0x2 || high == 0x5 || high == 0x6 || high == 0x0;
    }
};

// A statement of items with the repeated values every real database has: the
// same group, empty comments, zero amounts, equal dates.
Value repetitiveStatement() {
    auto statement = Record::create(RecordClass::Thelist, Date{700000000.0});
    statement->set(keys::title, QStringLiteral("Januar"));
    for (int i = 0; i < 4; ++i) {
        auto item = Record::create(RecordClass::Item, Date{700000000.0});
        item->set(keys::group, QStringLiteral("Bürobedarf"));
        item->set(keys::comment, QString());
        item->set(keys::amount, 0.0f);
        item->set(keys::kind, 1);
        statement->items().push_back(item);
    }
    return Value(statement);
}

TEST(UnsharedLayout, ReadsBackToWhatTheSharedLayoutReadsBackTo) {
    for (const Value& tree : {sampleDatabase(), repetitiveStatement()}) {
        const QByteArray shared = write(tree, Sharing::Shared);
        const QByteArray unshared = write(tree, Sharing::Unshared);
        EXPECT_GT(unshared.size(), shared.size());
        const ReadResult a = read(shared);
        const ReadResult b = read(unshared);
        ASSERT_TRUE(a.ok && b.ok) << b.error.toStdString();
        EXPECT_EQ(canonicalJson(b.root).toStdString(), canonicalJson(a.root).toStdString());
        EXPECT_TRUE(b.root == tree);
        // Written again, an unshared file becomes the program's own layout.
        EXPECT_EQ(write(b.root), shared);
    }
}

TEST(UnsharedLayout, NoObjectIsUsedTwice) {
    const QByteArray bytes = write(repetitiveStatement(), Sharing::Unshared);
    const References refs(bytes);
    for (size_t i = 0; i < refs.toObject.size(); ++i)
        EXPECT_LE(refs.toObject[i], 1) << "property-list object " << i << " is referenced twice";
    // Every text, number and key in "$objects" is named by one UID at most;
    // only archived objects (records, classes) are named more often.
    ASSERT_FALSE(refs.objects.empty());
    int scalars = 0;
    for (const auto& [index, uses] : refs.toIndex) {
        if (index == 0 || index >= refs.objects.size() || !refs.isScalar(refs.objects[index]))
            continue;
        ++scalars;
        EXPECT_EQ(uses, 1) << "archive index " << index << " is named " << uses << " times";
    }
    // 4 items × (the group, the comment, the amount, the kind and their keys) at least.
    EXPECT_GT(scalars, 4 * 8);
}

// Memory after loading does not depend on the layout: equal texts are one
// QString, and the named icons every record carries are one Icon.
TEST(UnsharedLayout, EqualTextsAndIconsAreSharedAfterReading) {
    const ReadResult r = read(write(repetitiveStatement(), Sharing::Unshared));
    ASSERT_TRUE(r.ok);
    const RecordList& items = r.root.asRecord()->items();
    ASSERT_EQ(items.size(), 4u);
    const QString first = items[0]->text(keys::group);
    const Value icon = items[0]->value(keys::image);
    EXPECT_EQ(first, QStringLiteral("Bürobedarf"));
    ASSERT_EQ(icon.type(), Value::Type::Icon);
    EXPECT_FALSE(icon.asIcon().raw);
    for (const RecordPtr& item : items) {
        EXPECT_EQ(item->text(keys::group).constData(), first.constData());
        EXPECT_EQ(item->value(keys::image).iconPtr().get(), icon.iconPtr().get());
    }
}

}  // namespace
