#include "core/record.h"
#include "core/keys.h"

#include <gtest/gtest.h>

using namespace quandor;

TEST(Records, NewItemHasFullKeySetAndReadsZero) {
    auto item = Record::create(RecordClass::Item, Date{100});
    EXPECT_EQ(item->properties().size(), 45u);
    EXPECT_EQ(item->text(keys::amount), "");
    EXPECT_EQ(item->value(keys::amount).toFloat(), 0.0f);
    EXPECT_EQ(item->integer(keys::kind), 0);
    EXPECT_EQ(item->value(keys::image).iconName(), "miniItemGrey");
    EXPECT_EQ(item->date(keys::date).sinceReference, 100);
}

TEST(Records, SetPropertiesCopies) {
    auto item = Record::create(RecordClass::Group, Date{});
    Dict d;
    d.set(keys::title, QStringLiteral("Reisekosten"));
    item->setProperties(d);
    d.set(keys::title, QStringLiteral("geändert"));
    EXPECT_EQ(item->text(keys::title), "Reisekosten");
    RecordList list{Record::create(RecordClass::Item, Date{})};
    auto statement = Record::create(RecordClass::Thelist, Date{});
    statement->setChildren(ChildList::Items, list);
    list.clear();
    EXPECT_EQ(statement->items().size(), 1u);
}

TEST(Records, MissingKeysReadAsEmpty) {
    auto r = Record::createEmpty(RecordClass::Thelist);
    EXPECT_EQ(r->text(keys::voranmeldungComment), "");
    EXPECT_FALSE(r->properties().contains(keys::voranmeldungComment));
    EXPECT_EQ(r->real(keys::payment), 0.0f);
    EXPECT_FALSE(r->flag(keys::taxBool));
}

// Values share their boxed texts and objects between copies; a copy, a move or
// an assignment (also onto itself) must keep kind, width and contents, and the
// last holder frees the box (the sanitizer build checks that).
TEST(Values, CopiesMovesAndAssignmentsKeepKindWidthAndSharing) {
    auto dict = std::make_shared<Dict>(Dict{{keys::title, Value(QStringLiteral("Miete"))}});
    const std::vector<Value> kinds = {Value(),
                                      Value(true),
                                      Value(int64_t{-7}),
                                      Value(1.5f),
                                      Value::real(0.1, true),
                                      Value(QStringLiteral("Büro")),
                                      Value(Date{86400}),
                                      Value(QByteArray("\x00\x01", 2)),
                                      Value::icon(QStringLiteral("miniItemGrey")),
                                      Value::list({Value(1), Value(QStringLiteral("a"))}),
                                      Value(dict)};
    for (const Value& original : kinds) {
        Value copy = original;
        EXPECT_EQ(copy, original);
        copy = copy;  // onto itself
        EXPECT_EQ(copy, original);
        Value moved = std::move(copy);
        EXPECT_EQ(moved, original);
        EXPECT_TRUE(copy.isNull());
        Value assigned(QStringLiteral("vorher"));
        assigned = moved;
        EXPECT_EQ(assigned.type(), original.type());
        EXPECT_EQ(assigned, original);
    }
    EXPECT_TRUE(kinds[4].asReal().wide);
    EXPECT_FALSE(kinds[3].asReal().wide);
    EXPECT_THROW(kinds[5].asInt(), std::bad_variant_access);
    // Copies share one dictionary, as the shared pointer they hold always did.
    const Value a(dict), b = a;
    EXPECT_EQ(a.asDict().get(), b.asDict().get());
}
