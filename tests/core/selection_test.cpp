#include "core/selection.h"
#include "core/keys.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace quandor;
using namespace Qt::StringLiterals;

namespace {

RecordPtr item(double date, const QString& title, float amount = 0.0f) {
    RecordPtr r = Record::createEmpty(RecordClass::Item);
    r->set(keys::date, Date{date});
    r->set(keys::title, title);
    r->set(keys::amount, amount);
    return r;
}

// Two years; the first has two statements.
Database sample() {
    Database db;
    auto year1 = Record::create(RecordClass::Year, Date{});
    auto year2 = Record::create(RecordClass::Year, Date{});
    auto s1 = Record::create(RecordClass::Thelist, Date{});
    auto s2 = Record::create(RecordClass::Thelist, Date{});
    s1->setChildren(ChildList::Items, {item(30, u"Miete"_s), item(10, u"Porto"_s),
                                       item(20, u"Bahn"_s), item(10, u"Papier"_s)});
    s2->setChildren(ChildList::Items, {item(5, u"Honorar"_s, 1234.5f)});
    year1->setChildren(ChildList::Thelists, {s1, s2});
    db.years = {year1, year2};
    return db;
}

QStringList listedTitles(const Selection& sel) {
    QStringList out;
    for (Record* r : sel.listedItems()) out << r->text(keys::title);
    return out;
}

}  // namespace

TEST(Selection, ListsItemsByDateKeepingListOrderOnTiesAndIgnoresBadIndexes) {
    Database db = sample();
    Selection sel(db);
    EXPECT_EQ(sel.listedCount(), 0u);
    sel.setYearIndex(0);
    sel.setStatementIndex(0);
    EXPECT_EQ(listedTitles(sel), QStringList({u"Porto"_s, u"Papier"_s, u"Bahn"_s, u"Miete"_s}));
    EXPECT_EQ(sel.listedIndexes(), (std::vector<uint32_t>{1, 3, 2, 0}));
    EXPECT_EQ(sel.rowOf(sel.listedItem(2).get()), 2);
    EXPECT_EQ(sel.listedItem(4), nullptr);

    // Indexes out of range select nothing.
    sel.setYearIndex(7);
    EXPECT_EQ(sel.yearIndex(), -1);
    sel.setYearIndex(0);
    sel.setStatementIndex(1);
    EXPECT_EQ(sel.selectedStatement(), db.years[0]->thelists()[1]);
    // The second year has no statements: the statement selection goes.
    sel.setYearIndex(1);
    EXPECT_EQ(sel.statementIndex(), -1);
    EXPECT_EQ(sel.listedCount(), 0u);
    sel.setCashBookIndex(0);
    EXPECT_EQ(sel.cashBookIndex(), -1);
    EXPECT_EQ(sel.selectedCashBookEntry(), nullptr);
}

struct FilterCase {
    const char* name;
    Key key;
    QString stored;
    QString filter;
    bool listed;
};

class SelectionFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(SelectionFilter, MatchesCaseInsensitivelyInTheSearchedKeys) {
    const FilterCase& c = GetParam();
    Database db;
    auto year = Record::create(RecordClass::Year, Date{});
    auto statement = Record::create(RecordClass::Thelist, Date{});
    RecordPtr it = item(1, u"x"_s, 1234.5f);
    it->set(c.key, c.stored);
    statement->setChildren(ChildList::Items, {it});
    year->setChildren(ChildList::Thelists, {statement});
    db.years = {year};
    Selection sel(db);
    sel.setYearIndex(0);
    sel.setStatementIndex(0);
    sel.setFilterText(c.filter);
    EXPECT_EQ(sel.listedCount(), c.listed ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SelectionFilter,
    ::testing::Values(FilterCase{"title", keys::title, u"Büromaterial"_s, u"BÜRO"_s, true},
                      FilterCase{"group", keys::group, u"Reisekosten"_s, u"reise"_s, true},
                      FilterCase{"account", keys::account, u"Girokonto"_s, u"giro"_s, true},
                      FilterCase{"accountNumber", keys::accountNumber, u"4930"_s, u"493"_s, true},
                      FilterCase{"number", keys::number, u"R-2024-17"_s, u"r-2024"_s, true},
                      FilterCase{"comment", keys::comment, u"bar bezahlt"_s, u"BAR"_s, true},
                      FilterCase{"misc1", keys::misc1, u"Beleg 99"_s, u"beleg 9"_s, true},
                      FilterCase{"amountText", keys::comment, u""_s, u"1.234,50"_s, true},
                      FilterCase{"amountPart", keys::comment, u""_s, u"234,5"_s, true},
                      FilterCase{"otherKeyIgnored", keys::misc2, u"versteckt"_s, u"versteckt"_s,
                                 false},
                      FilterCase{"noMatch", keys::title, u"Miete"_s, u"Porto"_s, false},
                      FilterCase{"emptyListsAll", keys::title, u"Miete"_s, u""_s, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Selection, RefreshDropsVanishedSelectionsAndNotifies) {
    Database db = sample();
    Selection sel(db);
    std::vector<Selection::Change> seen;
    const int id = sel.addListener([&](Selection::Change c) { seen.push_back(c); });
    sel.setYearIndex(0);
    sel.setStatementIndex(0);
    sel.setSelectedRows({0, 3, 9});
    ASSERT_EQ(sel.selectedItems().size(), 2u);
    EXPECT_EQ(sel.firstSelectedItem()->text(keys::title), u"Porto"_s);
    sel.setFilterText(u"pa"_s);  // Papier only
    EXPECT_EQ(listedTitles(sel), QStringList({u"Papier"_s}));
    EXPECT_TRUE(sel.selectedItems().empty());
    EXPECT_NE(std::find(seen.begin(), seen.end(), Selection::Change::Listed), seen.end());
    // A deleted year takes the selection with it.
    db.years.clear();
    sel.refresh();
    EXPECT_EQ(sel.yearIndex(), -1);
    EXPECT_EQ(sel.listedCount(), 0u);
    sel.removeListener(id);
    seen.clear();
    sel.setFilterText(QString());
    EXPECT_TRUE(seen.empty());
}

TEST(Selection, HundredThousandItemsListAndFilterQuickly) {
    Database db;
    auto year = Record::create(RecordClass::Year, Date{});
    auto statement = Record::create(RecordClass::Thelist, Date{});
    RecordList items;
    const int n = 100000;
    items.reserve(n);
    for (int i = 0; i < n; ++i) {
        RecordPtr it = Record::create(RecordClass::Item, Date{double((i * 7919) % 3650) * 86400});
        it->set(keys::title, QStringLiteral("Posten %1").arg(i));
        it->set(keys::amount, float(i % 1000) + 0.25f);
        items.push_back(it);
    }
    statement->setChildren(ChildList::Items, items);
    year->setChildren(ChildList::Thelists, {statement});
    db.years = {year};
    Selection sel(db);
    sel.setYearIndex(0);
    sel.setStatementIndex(0);
    sel.setFilterText(u"kein treffer"_s);  // every item also formats its amount
    EXPECT_EQ(sel.listedCount(), 0u);
    sel.setFilterText(u"posten 9999"_s);  // 9999 and 99990..99999
    EXPECT_EQ(sel.listedCount(), 11u);
}
