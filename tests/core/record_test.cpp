#include "core/record.h"
#include "core/keys.h"

#include <gtest/gtest.h>

using namespace quandor;

TEST(Records, NewAccountShowsColumnWords) {
    auto a = Record::create(RecordClass::Account, Date{});
    EXPECT_EQ(a->text(keys::number), "Nummer");
    EXPECT_EQ(a->text(keys::title), "Bezeichnung");
    auto g = Record::create(RecordClass::Group, Date{});
    EXPECT_EQ(g->text(keys::title), "");
    EXPECT_EQ(g->value(keys::image).type(), Value::Type::String);
}

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
