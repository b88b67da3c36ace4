// The shipped charts of accounts, the text cleaning of exports and the
// accounts CSV.

#include "core/accounts_csv.h"
#include "core/archive/archive.h"
#include "core/datev_charts.h"
#include "core/datev_list.h"
#include "core/datev_load.h"
#include "core/keys.h"
#include "core/record.h"
#include "core/text_cleaning.h"

#include "support/fake_ui.h"

#include <gtest/gtest.h>

#include <QSet>

namespace quandor {
namespace {

using datev::Chart;
using test::FakeUi;

RecordPtr account(const QString& number, const QString& title) {
    RecordPtr a = Record::create(RecordClass::Account, datev::chartDate());
    a->set(keys::number, number);
    a->set(keys::title, title);
    return a;
}

// ---- shipped charts ----

struct ChartCase {
    const char* name;
    Chart chart;
    size_t min;
    size_t max;
};

class ShippedChart : public testing::TestWithParam<ChartCase> {};

TEST_P(ShippedChart, HasItsSizeDistinctFourDigitNumbersCashBankAndTheVatAccounts) {
    const RecordList accounts = datev::loadShippedChart(GetParam().chart);
    QHash<QString, QString> titles;
    EXPECT_GE(accounts.size(), GetParam().min);
    EXPECT_LE(accounts.size(), GetParam().max);
    QSet<QString> numbers;
    for (const RecordPtr& a : accounts) {
        ASSERT_EQ(a->recordClass(), RecordClass::Account);
        const QString number = a->text(keys::number);
        EXPECT_EQ(number.size(), 4) << number.toStdString();
        for (QChar c : number) EXPECT_TRUE(c.isDigit()) << number.toStdString();
        EXPECT_FALSE(a->text(keys::title).isEmpty()) << number.toStdString();
        EXPECT_FALSE(numbers.contains(number)) << "doppelt: " << number.toStdString();
        numbers.insert(number);
        EXPECT_EQ(a->date(keys::date), datev::chartDate());
        titles.insert(number, a->text(keys::title));
    }
    EXPECT_EQ(titles.value("1600"), QStringLiteral("Kasse"));
    EXPECT_EQ(titles.value("1800"), QStringLiteral("Bank"));
    EXPECT_EQ(titles.value("4400"), QStringLiteral("Erlöse 19 % USt"));
    EXPECT_EQ(titles.value("1406"), QStringLiteral("Abziehbare Vorsteuer 19 %"));
    EXPECT_EQ(titles.value("3806"), QStringLiteral("Umsatzsteuer 19 %"));
    EXPECT_EQ(titles.value("6815"), QStringLiteral("Bürobedarf"));
}

INSTANTIATE_TEST_SUITE_P(Charts, ShippedChart,
                         testing::Values(ChartCase{"Complete", Chart::Complete, 300, 2000},
                                         ChartCase{"Standard", Chart::Standard, 80, 150},
                                         ChartCase{"Minimal", Chart::Minimal, 20, 40}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ShippedChartTest, CompleteChartCoversEveryClassAndEachLoadGivesRecordsOfItsOwn) {
    RecordList first = datev::loadShippedChart(Chart::Complete);
    QSet<QChar> classes;
    for (const RecordPtr& a : first) classes.insert(a->text(keys::number).at(0));
    for (QChar c : QStringLiteral("012345679")) {
        EXPECT_TRUE(classes.contains(c)) << "Klasse " << c.toLatin1();
    }
    first.front()->set(keys::title, QStringLiteral("geändert"));
    EXPECT_NE(datev::loadShippedChart(Chart::Complete).front()->text(keys::title),
              QStringLiteral("geändert"));
}

TEST(AccountListFileTest, WritesAndReadsBackTheSameAccounts) {
    const RecordList accounts{account("1600", "Kasse"), account("6815", "Bürobedarf")};
    const archive::ReadResult read =
        archive::read(archive::write(datev::accountListRoot(accounts)));
    ASSERT_TRUE(read.ok) << read.error.toStdString();
    ASSERT_EQ(read.root.asDict()->size(), 1u);
    RecordList back;
    ASSERT_TRUE(datev::accountsFromRoot(read.root, back));
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(*back[0], *accounts[0]);
    EXPECT_EQ(*back[1], *accounts[1]);
    // A root without accounts is refused.
    EXPECT_FALSE(datev::accountsFromRoot(Value(QStringLiteral("x")), back));
    EXPECT_FALSE(datev::accountsFromRoot(Value(std::make_shared<Dict>()), back));
}

// The default button replaces the accounts (the golden CLI case), "Abbrechen"
// keeps them, the set-up loads without asking.
TEST(LoadChartTest, ReplacesOnlyWhenConfirmedOrNotAsked) {
    FakeUi ui;
    ui.answers.push_back(1);
    RecordList accounts{account("9999", "Eigenes Konto")};
    EXPECT_FALSE(datev::loadChart(ui, accounts, Chart::Complete, datev::Ask::Question));
    ASSERT_EQ(accounts.size(), 1u);
    EXPECT_EQ(accounts[0]->text(keys::number), QStringLiteral("9999"));

    ui.alerts.clear();
    accounts.clear();
    ASSERT_TRUE(datev::loadChart(ui, accounts, Chart::Standard, datev::Ask::NoQuestion));
    EXPECT_TRUE(ui.alerts.empty());
    EXPECT_FALSE(accounts.empty());
}

// ---- readable lists ----

struct ListCase {
    const char* name;
    QByteArray text;
    bool ok;
    const char* errorPart;
};

class AccountList : public testing::TestWithParam<ListCase> {};

TEST_P(AccountList, AcceptsOrRefusesWithTheLine) {
    const datev::ListResult r = datev::parseAccountList(GetParam().text);
    EXPECT_EQ(r.ok, GetParam().ok) << r.error.toStdString();
    if (!GetParam().ok) {
        EXPECT_TRUE(r.error.contains(QString::fromUtf8(GetParam().errorPart)))
            << r.error.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, AccountList,
    testing::Values(ListCase{"Valid", "1600\tKasse\n1800\tBank\n", true, ""},
                    ListCase{"NoFinalLineFeed", "1600\tKasse", true, ""},
                    ListCase{"WindowsLineEnds", "1600\tKasse\r\n1800\tBank\r\n", true, ""},
                    ListCase{"SpacesInsteadOfTab", "1600\tKasse\n1800 Bank\n", false, "Zeile 2"},
                    ListCase{"ThreeDigits", "160\tKasse\n", false, "nicht vierstellig"},
                    ListCase{"LettersInNumber", "16a0\tKasse\n", false, "nicht vierstellig"},
                    ListCase{"EmptyTitle", "1600\t \n", false, "Bezeichnung"},
                    ListCase{"EmptyLine", "1600\tKasse\n\n1800\tBank\n", false, "Zeile 2"},
                    ListCase{"RepeatedNumber", "1600\tKasse\n1600\tBank\n", false, "doppelt"},
                    ListCase{"NotUtf8", "1600\tB\xfcro\n", false, "UTF-8"},
                    ListCase{"Empty", "", false, "kein Konto"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- text cleaning ----

struct ZapCase {
    const char* name;
    QString input;
    QString expected;
};

class ZapGremlins : public testing::TestWithParam<ZapCase> {};

TEST_P(ZapGremlins, StripsOnlyUnassignedCodePointsAtTheEnds) {
    EXPECT_EQ(zapGremlinsInString(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ZapGremlins,
    testing::Values(ZapCase{"Empty", u""_qs, u""_qs},
                    ZapCase{"OrdinaryTextUnchanged", u"Bürobedarf 12,50 €; \"A\"\nZeile 2\n"_qs,
                            u"Bürobedarf 12,50 €; \"A\"\nZeile 2\n"_qs},
                    ZapCase{"WhiteSpaceAndControlsAtEndsKept", u"\t x\r\n\x01"_qs,
                            u"\t x\r\n\x01"_qs},
                    ZapCase{"NonCharacterAtEndsRemoved", u"\uFFFEabc\uFFFF"_qs, u"abc"_qs},
                    ZapCase{"UnassignedAtEndsRemoved", u"\u0378\u0379a\u0378"_qs, u"a"_qs},
                    ZapCase{"InnerGremlinKept", u"a\uFFFFb"_qs, u"a\uFFFFb"_qs},
                    ZapCase{"LoneSurrogateRemoved", QString(QChar(0xD800)) + u"x"_qs, u"x"_qs},
                    ZapCase{"EmojiKept", u"\U0001F600x\U0001F600"_qs, u"\U0001F600x\U0001F600"_qs},
                    ZapCase{"PlaneNonCharacterRemoved", u"x\U0001FFFF"_qs, u"x"_qs},
                    ZapCase{"PrivateUseKept", u"\uE000"_qs, u"\uE000"_qs},
                    ZapCase{"OnlyGremlins", u"\uFDD0\uFFFF"_qs, u""_qs}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- accounts CSV ----

// No header; each field quoted, a quote inside doubled so the field stays whole;
// cleaning touches only the ends of the whole text (quotes and a line feed).
TEST(AccountsCsvTest, QuotedLinesWithoutHeader) {
    const struct {
        RecordList accounts;
        QByteArray csv;
    } cases[] = {
        {{account("40", "Erlöse"), account("41", "Bürobedarf")},
         "\"40\",\"Erl\xc3\xb6se\"\n\"41\",\"B\xc3\xbcrobedarf\"\n"},
        {{}, ""},
        {{account("6815", "Bürobedarf \"Sonder\"")},
         "\"6815\",\"B\xc3\xbcrobedarf \"\"Sonder\"\"\"\n"},
        {{Record::createEmpty(RecordClass::Account)}, "\"\",\"\"\n"},
        {{account(u"\uFFFF"_qs, "Kasse")}, "\"\xef\xbf\xbf\",\"Kasse\"\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(exportAccountsCSV(c.accounts), c.csv) << c.csv.constData();
}

}  // namespace
}  // namespace quandor
