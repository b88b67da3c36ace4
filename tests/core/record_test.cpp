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
