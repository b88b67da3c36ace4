// The canonical JSON of docs/FILE_FORMAT.md, case by case.

#include "core/archive/canonical_json.h"
#include "core/record.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

using namespace quandor;
using namespace quandor::archive;

namespace {

std::string json(const Value& v) {
    return canonicalJson(v).toStdString();
}

struct RealCase {
    const char* name;
    double value;
    const char* text;
};

class RealText : public testing::TestWithParam<RealCase> {};

TEST_P(RealText, RoundsToFloatAndPrintsNineDigits) {
    EXPECT_EQ(json(Value::real(GetParam().value, false)), GetParam().text);
    EXPECT_EQ(json(Value::real(GetParam().value, true)), GetParam().text)
        << "the width does not matter";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RealText,
    testing::Values(RealCase{"whole", 119.0, "119.0"}, RealCase{"zero", 0.0, "0.0"},
                    RealCase{"negative_zero", -0.0, "-0.0"}, RealCase{"tenth", 0.1, "0.100000001"},
                    RealCase{"amount", 15.966385, "15.9663849"}, RealCase{"large", 1e10, "1e+10"},
                    RealCase{"small", 1e-7, "1.00000001e-07"},
                    RealCase{"rounded_integer", 123456789.0, "123456792.0"},
                    RealCase{"nan", std::nan(""), "null"},
                    RealCase{"infinity", std::numeric_limits<double>::infinity(), "null"},
                    RealCase{"beyond_float", 1e300, "null"}),
    [](const testing::TestParamInfo<RealCase>& info) { return info.param.name; });

struct DateCase {
    const char* name;
    double unix;
    const char* text;
};

class DateText : public testing::TestWithParam<DateCase> {};

TEST_P(DateText, PrintsSecondsSince1970WithoutTrailingZeros) {
    EXPECT_EQ(json(Value(Date::fromUnix(GetParam().unix))),
              std::string("{\"$date\":") + GetParam().text + "}");
}

INSTANTIATE_TEST_SUITE_P(Cases, DateText,
                         testing::Values(DateCase{"whole", 1704067200.0, "1704067200"},
                                         DateCase{"half", 978220799.5, "978220799.5"},
                                         DateCase{"quarter", 1704307200.25, "1704307200.25"},
                                         DateCase{"before_1970", -1.5, "-1.5"},
                                         DateCase{"epoch", 0.0, "0"},
                                         DateCase{"millisecond", 1.001, "1.001"},
                                         DateCase{"below_millisecond", 1.0004, "1"}),
                         [](const testing::TestParamInfo<DateCase>& info) {
                             return info.param.name;
                         });

TEST(CanonicalJson, ScalarsContainersIconsAndUnknownClasses) {
    EXPECT_EQ(json(Value()), "null");
    EXPECT_EQ(json(Value(Date{std::numeric_limits<double>::infinity()})), "null");
    EXPECT_EQ(json(Value(true)), "true");
    EXPECT_EQ(json(Value(false)), "false");
    EXPECT_EQ(json(Value(int64_t{INT64_MIN})), "-9223372036854775808");
    EXPECT_EQ(json(Value(QByteArray("\x00\xff\x10", 3))), R"({"$data":"00ff10"})");
    EXPECT_EQ(json(Value::list({Value(1), Value(QStringLiteral("a")), Value()})),
              R"([1,"a",null])");
    EXPECT_EQ(json(Value::list({})), "[]");
    EXPECT_EQ(json(Value(std::make_shared<Dict>())), "{}");
    EXPECT_EQ(json(Value::icon(QStringLiteral("miniItemRed"))), R"({"$icon":"miniItemRed"})");
    auto unnamed = std::make_shared<Icon>();
    unnamed->representations = 3;
    EXPECT_EQ(json(Value(std::shared_ptr<const Icon>(unnamed))), R"({"$icon":"<reps:3>"})");
    auto o = std::make_shared<OpaqueObject>();
    o->className = QStringLiteral("NSColor");
    EXPECT_EQ(json(Value(std::shared_ptr<const OpaqueObject>(o))), R"({"$unknown":"NSColor"})");
}

TEST(CanonicalJson, StringsEscapeOnlyWhatJsonRequires) {
    EXPECT_EQ(json(Value(QString::fromUtf8("\"\\/\b\f\n\r\t\x01\x1f\x7f äß€😀"))),
              "\"\\\"\\\\/\\b\\f\\n\\r\\t\\u0001\\u001f\x7f äß€😀\"");
    const QChar lone[] = {QChar(0xD800), QChar(u'x'), QChar(0xDC00)};
    EXPECT_EQ(json(Value(QString(lone, 3))), R"("\ud800x\udc00")");
}

TEST(CanonicalJson, KeysSortByCodePointNotByUtf16Unit) {
    auto d = std::make_shared<Dict>();
    d->set(Key(u"😀"), 1);       // U+1F600: UTF-16 D83D DE00
    d->set(Key(u"\uFF21"), 2);  // U+FF21 (fullwidth A) sorts before U+1F600 by code point
    d->set(Key(u"b"), 3);
    d->set(Key(u"B"), 4);
    d->set(Key(u""), 5);
    d->set(Key(u"$class"), 6);
    d->set(Key(u"ä"), 7);
    EXPECT_EQ(json(Value(d)), "{\"\":5,\"$class\":6,\"B\":4,\"b\":3,\"ä\":7,\"Ａ\":2,\"😀\":1}");
}

TEST(CanonicalJson, RecordsShowTheEntriesTheFileHolds) {
    RecordPtr year = Record::createEmpty(RecordClass::Year);
    EXPECT_EQ(json(Value(year)), R"({"$class":"Year"})");
    year->setPropertiesState(EntryState::Nil);
    year->setChildState(ChildList::Items, EntryState::Nil);
    year->setChildState(ChildList::Files, EntryState::Present);
    RecordPtr statement = Record::createEmpty(RecordClass::Thelist);
    statement->properties().set(Key(u"title"), QStringLiteral("Januar"));  // set without the setter
    year->thelists() = {statement, nullptr};
    EXPECT_EQ(json(Value(year)),
              R"({"$class":"Year","files":[],"items":null,"properties":null,)"
              R"("thelists":[{"$class":"Thelist","properties":{"title":"Januar"}},null]})");
    RecordPtr item = Record::createEmpty(RecordClass::Item);
    item->setChildState(ChildList::Items, EntryState::Nil);  // an Item has no child lists to print
    EXPECT_EQ(json(Value(item)), R"({"$class":"Item"})");
}

TEST(CanonicalJson, IndependentOfTheProcessLocale) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE locale not installed";
    EXPECT_EQ(json(Value(0.5f)), "0.5");
    EXPECT_EQ(json(Value(Date::fromUnix(1.25))), R"({"$date":1.25})");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
