// The search over all items: every item of every year by date, the matching
// rule (fields, case, amounts), typing on and deleting again, the detail
// sheet and the item's document.
#include "core/keys.h"
#include "documents/documents_controller.h"
#include "documents/search_controller.h"
#include "support/books.h"

#include <QFile>
#include <QLocale>

#include <gtest/gtest.h>

namespace quandor {
namespace {

using namespace Qt::StringLiterals;

struct Search : ::testing::Test {
    Search() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        for (const QString& name : {u"2023"_s, u"2024"_s}) {
            RecordPtr year = Record::create(RecordClass::Year, books().nowStamp());
            year->set(keys::dateValue, name);
            for (const QString& title : {u"Januar"_s, u"Februar"_s}) {
                RecordPtr s = Record::create(RecordClass::Thelist, books().nowStamp());
                s->set(keys::title, title);
                year->thelists().push_back(s);
            }
            books().database().years.push_back(year);
        }
    }
    Books& books() { return open.app.books(); }
    RecordPtr add(int year, int statement, double day, const QString& title, float amount) {
        RecordPtr item = Record::create(RecordClass::Item, books().nowStamp());
        item->set(keys::title, title);
        item->set(keys::amount, amount);
        item->set(keys::date, Date{day * 86400.0});
        books().database().years[size_t(year)]->thelists()[size_t(statement)]->items().push_back(
            item);
        return item;
    }
    QStringList shown() const {
        QStringList out;
        for (size_t i = 0; i < search.count(); ++i) out << search.row(i).item->text(keys::title);
        return out;
    }

    test::OpenBooks open;
    SearchController search{open.app.books()};
};

TEST_F(Search, CollectsEveryItemOfEveryYearByDate) {
    add(1, 1, 40, u"vier"_s, 1);
    add(0, 0, 10, u"zwei"_s, 1);
    add(0, 0, 5, u"eins"_s, 1);
    add(1, 0, 10, u"drei"_s, 1);  // same day as "zwei": list order decides
    search.openSearchSheet();
    EXPECT_EQ(shown(), (QStringList{u"eins"_s, u"zwei"_s, u"drei"_s, u"vier"_s}));
    EXPECT_EQ(search.row(1).year, u"2023"_s);
    EXPECT_EQ(search.row(1).statement, u"Januar"_s);
    EXPECT_EQ(search.row(1).position, 2);  // second of its statement by date
    EXPECT_EQ(search.row(2).year, u"2024"_s);
}

TEST_F(Search, MatchesTheSearchedFieldsIgnoringCaseAndTheAmountTexts) {
    RecordPtr a = add(0, 0, 1, u"Ärger mit Bürobedarf"_s, 1234.5f);
    a->set(keys::number, u"RE-77"_s);
    RecordPtr b = add(0, 1, 2, u"Miete"_s, 800);
    b->set(keys::misc1, u"Beleg 42"_s);
    b->set(keys::group, u"Raumkosten"_s);
    RecordPtr c = add(1, 0, 3, u"Telefon"_s, 39.99f);
    c->set(keys::account, u"Telekommunikation"_s);
    c->set(keys::accountNumber, u"6805"_s);
    c->set(keys::comment, u"miete"_s);  // comments are not searched
    search.openSearchSheet();
    const std::vector<std::pair<QString, QStringList>> cases = {
        {u"ärger"_s, {u"Ärger mit Bürobedarf"_s}},
        {u"re-77"_s, {u"Ärger mit Bürobedarf"_s}},
        {u"1.234,50"_s, {u"Ärger mit Bürobedarf"_s}},
        {u"miete"_s, {u"Miete"_s}},
        {u"beleg 4"_s, {u"Miete"_s}},
        {u"raum"_s, {u"Miete"_s}},
        {u"6805"_s, {u"Telefon"_s}},
        {u"kommunikation"_s, {u"Telefon"_s}},
        {u"39,99"_s, {u"Telefon"_s}},
        {u"  telefon "_s, {u"Telefon"_s}},
        {u"e"_s, {u"Ärger mit Bürobedarf"_s, u"Miete"_s, u"Telefon"_s}},
        {u"mietetelefon"_s, {}},  // never across fields or items
        {QString(), {u"Ärger mit Bürobedarf"_s, u"Miete"_s, u"Telefon"_s}},
    };
    for (const auto& [text, expected] : cases) {
        search.setSearchText(text);
        EXPECT_EQ(shown(), expected) << text.toStdString();
    }
}

TEST_F(Search, TypingOnAndDeletingAgainAgreeWithAFreshSearch) {
    const QStringList titles = {u"Büro"_s, u"Bürostuhl"_s, u"Bus"_s,
                                u"Bahn"_s, u"Brot"_s,      u"Abo"_s};
    for (int i = 0; i < titles.size(); ++i) add(i % 2, i % 2, i, titles[i], float(i));
    search.openSearchSheet();
    const QStringList steps = {u"b"_s,  u"bü"_s, u"bür"_s, u"büros"_s, u"bür"_s, u"b"_s,
                               u"bu"_s, u"u"_s,  u"ro"_s,  u"bro"_s,   u""_s,    u"o"_s};
    SearchController fresh(books());
    for (const QString& s : steps) {
        search.setSearchText(s);
        fresh.openSearchSheet();
        fresh.setSearchText(s);
        QStringList expected;
        for (size_t i = 0; i < fresh.count(); ++i) expected << fresh.row(i).item->text(keys::title);
        EXPECT_EQ(shown(), expected) << s.toStdString();
    }
}

TEST_F(Search, DetailSheetAndDocumentNeedASelectedRow) {
    RecordPtr item = add(0, 0, 1, u"Drucker"_s, 119);
    item->set(keys::kind, 1);
    search.openSearchSheet();
    EXPECT_FALSE(search.openDetailSheet());
    EXPECT_FALSE(search.openFile());
    EXPECT_EQ(open.ui.beeps, 2);
    search.setSelectedRow(0);
    ASSERT_TRUE(search.openDetailSheet());
    const auto fields = search.detailFields();
    EXPECT_EQ(fields[0], std::make_pair(u"Jahr"_s, u"2023"_s));
    EXPECT_EQ(fields[3], std::make_pair(u"Art"_s, u"Ausgabe"_s));
    EXPECT_EQ(fields[4], std::make_pair(u"Bezeichnung"_s, u"Drucker"_s));

    EXPECT_FALSE(search.revealFile());
    EXPECT_EQ(open.ui.alerts.back().message, kSearchNoDocMessage);
    const QString path = open.dir.filePath(u"beleg.pdf"_s);
    item->set(keys::filePath, path);
    EXPECT_FALSE(search.openFile());
    EXPECT_EQ(open.ui.alerts.back().message, kDocMissingMessage.arg(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_TRUE(search.revealFile());
    EXPECT_EQ(open.ui.opened, std::vector<QString>{path});

    // Filtering drops the selection; closing forgets every row.
    search.setSearchText(u"x"_s);
    EXPECT_EQ(search.selectedRow(), -1);
    search.closeSearchSheet();
    EXPECT_EQ(search.count(), 0u);
}

}  // namespace
}  // namespace quandor
