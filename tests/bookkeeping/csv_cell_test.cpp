// The shared rules of a CSV cell: what the file's character set holds stays,
// the rest is folded; no control character reaches a file; no cell becomes a
// spreadsheet formula.
#include "bookkeeping/csv_cell.h"

#include <gtest/gtest.h>

using namespace quandor;
using namespace Qt::StringLiterals;
using csv::Charset;
using csv::Field;

namespace {

struct CellCase {
    const char* name;
    QString in;
    Field field;
    Charset charset;
    QString out;
};

void PrintTo(const CellCase& c, std::ostream* os) {
    *os << c.name;
}

class CsvCell : public ::testing::TestWithParam<CellCase> {};

TEST_P(CsvCell, Cleans) {
    const CellCase& c = GetParam();
    EXPECT_EQ(csv::cell(c.in, c.field, c.charset), c.out) << c.out.toStdString();
}

constexpr auto W = Charset::Windows1252;
constexpr auto M = Charset::MacRoman;
constexpr auto U = Charset::Utf8;

INSTANTIATE_TEST_SUITE_P(
    Rules, CsvCell,
    ::testing::Values(
        // German letters and the signs of Windows-1252 stay, in every field.
        CellCase{"GermanLettersStay", u"Müller Straße Ärger Öl Übel"_s, Field::Typed, W,
                 u"Müller Straße Ärger Öl Übel"_s},
        CellCase{"GermanLettersStayInStoredFields", u"RE-Müß"_s, Field::Stored, W, u"RE-Müß"_s},
        CellCase{"SignsOfTheSetStay", u"5 € – „Zitat“ … ™"_s, Field::Formatted, W,
                 u"5 € – „Zitat“ … ™"_s},
        CellCase{"DecomposedLettersAreComposed", u"Mu\u0308ller"_s, Field::Typed, W, u"Müller"_s},
        // Only what the set lacks is folded.
        CellCase{"ForeignAccentsFold", u"Łódź Kraków Dvořák Őz"_s, Field::Typed, W,
                 u"Lódz Kraków Dvorák Oz"_s},
        CellCase{"CompatibilityFormsAreSpelledOut", u"ﬂach ① ㎡"_s, Field::Typed, W,
                 u"flach 1 m2"_s},
        CellCase{"CapitalSharpS", u"STRAẞE"_s, Field::Typed, W, u"STRASSE"_s},
        CellCase{"DashesAndPrimes", u"a‐b−c 5′"_s, Field::Typed, W, u"a-b-c 5'"_s},
        CellCase{"EmojiBecomeOneQuestionMarkEach", u"Kaffee ☕ 👍🏽 👨‍👩‍👧"_s,
                 Field::Typed, W, u"Kaffee ? ? ?"_s},
        CellCase{"OtherScripts", u"Москва"_s, Field::Typed, W, u"??????"_s},
        CellCase{"MacRomanHoldsOtherSigns", u"≠ π ﬂ € Ð"_s, Field::Typed, M, u"≠ π ﬂ € D"_s},
        CellCase{"Utf8HoldsEverything", u"Москва 👍🏽"_s, Field::Typed, U,
                 u"Москва 👍🏽"_s},
        // Control characters never reach a file.
        CellCase{"LineEndsAndTabsBecomeBlanks", u"a\nb\r\nc\td\u2028e\u2029f\u0085g"_s,
                 Field::Stored, W, u"a b  c d e f g"_s},
        CellCase{"OtherControlsAreDropped",
                 QString::fromUtf16(u"a\u0000b\u0001c\u001Bd\u007Fe\u009Ff", 11), Field::Typed, W,
                 u"abcdef"_s},
        CellCase{"FormatCharactersAreDropped", u"a\u202Eb\u200Bc\uFEFFd"_s, Field::Typed, W,
                 u"abcd"_s},
        CellCase{"UnpairedSurrogatesAreDropped", u"a"_s + QChar(0xD800) + u"b"_s, Field::Typed, U,
                 u"ab"_s},
        // Quotes and commas.
        CellCase{"QuotesBecomeBlanks", u"Ein \"Test\""_s, Field::Stored, W, u"Ein  Test "_s},
        CellCase{"FullWidthQuoteIsFoldedThenBlanked", u"a＂b"_s, Field::Stored, W, u"a b"_s},
        CellCase{"TypedCommas", u"A, B‚C"_s, Field::Typed, W, u"A |  B | C"_s},
        CellCase{"StoredCommasStay", u"18,00"_s, Field::Stored, W, u"18,00"_s},
        // Formulas.
        CellCase{"EqualsSign", u"=HYPERLINK(\"http://x\";\"y\")"_s, Field::Typed, W,
                 u"'=HYPERLINK( http://x ; y )"_s},
        CellCase{"PlusSign", u"+1+cmd|' /C calc'!A0"_s, Field::Stored, W,
                 u"'+1+cmd|' /C calc'!A0"_s},
        CellCase{"MinusSign", u"-2+3"_s, Field::Stored, W, u"'-2+3"_s},
        CellCase{"AtSign", u"@SUM(A1)"_s, Field::Typed, W, u"'@SUM(A1)"_s},
        CellCase{"AfterBlanks", u"  =1"_s, Field::Typed, W, u"'  =1"_s},
        CellCase{"AfterALineEnd", u"\n=1"_s, Field::Typed, W, u"' =1"_s},
        CellCase{"AfterAControlCharacter", QString::fromUtf16(u"\u0000=1", 3), Field::Typed, W,
                 u"'=1"_s},
        CellCase{"FullWidthEquals", u"＝1+1"_s, Field::Typed, W, u"'=1+1"_s},
        CellCase{"FullWidthEqualsInUtf8", u"＝1+1"_s, Field::Typed, U, u"'＝1+1"_s},
        CellCase{"NegativeAmountIsANumber", u"-1.234,56"_s, Field::Formatted, W, u"-1.234,56"_s},
        CellCase{"SignedNumberWithUnit", u"-19,00 %"_s, Field::Formatted, W, u"-19,00 %"_s},
        CellCase{"AmountWithCurrency", u"-12,50 €"_s, Field::Formatted, W, u"-12,50 €"_s},
        CellCase{"PhoneNumber", u"+49 30 1234567"_s, Field::Stored, W, u"+49 30 1234567"_s},
        CellCase{"LoneMinus", u"-"_s, Field::Stored, W, u"'-"_s},
        CellCase{"FormulaInTheMiddleIsText", u"a=1"_s, Field::Typed, W, u"a=1"_s},
        CellCase{"Empty", QString(), Field::Typed, W, QString()}),
    [](const ::testing::TestParamInfo<CellCase>& info) { return std::string(info.param.name); });

TEST(CsvEncode, Windows1252KeepsEveryGermanLetter) {
    EXPECT_EQ(csv::encode(u"\"Müller\",\"Straße\",\"5 €\"\n"_s, Charset::Windows1252),
              QByteArray("\"M\xfcller\",\"Stra\xdf"
                         "e\",\"5 \x80\"\n"));
    // What the set lacks is folded, never the substitution byte 0x1A.
    const QByteArray folded = csv::encode(u"Łódź ☕ Ж"_s, Charset::Windows1252);
    EXPECT_EQ(folded, QByteArray("L\xf3"
                                 "dz ? ?"));
    EXPECT_FALSE(folded.contains('\x1a'));
}

TEST(CsvEncode, MacRomanAndUtf8) {
    EXPECT_EQ(csv::encode(u"Müller €"_s, Charset::MacRoman), QByteArray("M\x9fller \xdb"));
    EXPECT_EQ(csv::encode(u"Müller €"_s, Charset::Utf8), u"Müller €"_s.toUtf8());
    // The file's own line ends stay.
    EXPECT_EQ(csv::encode(u"a\nb\n"_s, Charset::Windows1252), QByteArray("a\nb\n"));
}

TEST(CsvEncode, EveryByteOfTheSetsRoundTrips) {
    // Each character a set holds is written as its own byte.
    for (const Charset set : {Charset::Windows1252, Charset::MacRoman}) {
        for (char32_t c = 0x20; c < 0x10000; ++c) {
            if (!csv::holds(set, c) || c == u'?' || (c >= 0x7F && c < 0xA0)) continue;
            const QByteArray b = csv::encode(QString(QChar(char16_t(c))), set);
            ASSERT_EQ(b.size(), 1) << int(c);
            EXPECT_NE(b.at(0), '?') << int(c);
        }
    }
}

TEST(CsvNumbers, WhatCountsAsANumber) {
    for (const QString& n : {u"0"_s, u"-12,36"_s, u"1.234,56"_s, u"+1"_s, u"19,00 %"_s,
                             u"1'000.00"_s, u"-3,00\u00A0€"_s, u" 12 "_s})
        EXPECT_TRUE(csv::isNumber(n)) << n.toStdString();
    for (const QString& n :
         {u""_s, u"-"_s, u"1+1"_s, u"-2+3"_s, u"=1"_s, u"1e5"_s, u"12 % x"_s, u"A1"_s})
        EXPECT_FALSE(csv::isNumber(n)) << n.toStdString();
}

}  // namespace
