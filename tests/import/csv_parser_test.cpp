// The CSV reader: rows and fields of delimited text, read in chunks. Every
// case runs with chunks of 1, 2, 3, 7 and 2048 bytes, so a quote, a doubled
// quote or a CR LF cut by a chunk boundary reads the same as a whole one.
#include "import/csv_parser.h"

#include "support/files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quandor;
using namespace Qt::StringLiterals;

namespace {

struct ReadCase {
    const char* name;
    QByteArray file;
    char delimiter;  // 0: detect
    std::vector<QStringList> rows;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

struct Parsed {
    std::vector<CsvRow> rows;
    char delimiter = 0;
    std::optional<int64_t> unclosed;
    bool utf16 = false;
};

Parsed parseBytes(const QByteArray& bytes, uint32_t chunk, char delimiter = 0,
                  uint32_t encoding = kEncodingWindowsLatin1, bool utf8 = true) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"f.csv"_s);
    test::writeAll(path, bytes);
    CSVParser p;
    p.setBufferSize(chunk);
    p.setDelimiter(delimiter);
    p.setEncoding(encoding);
    p.setRecognisesUtf8(utf8);
    EXPECT_TRUE(p.openFile(path));
    Parsed out;
    EXPECT_TRUE(p.parse([&](CsvRow&& r) { out.rows.push_back(std::move(r)); }));
    out.delimiter = p.delimiter();
    out.unclosed = p.unclosedQuoteLine();
    out.utf16 = p.isUtf16();
    return out;
}

std::vector<QStringList> fieldsOf(const Parsed& p) {
    std::vector<QStringList> rows;
    for (const CsvRow& r : p.rows) rows.push_back(r.fields);
    return rows;
}

class CsvRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(CsvRead, SameRowsInEveryChunkSize) {
    const ReadCase& c = GetParam();
    for (uint32_t chunk : {1u, 2u, 3u, 7u, 2048u}) {
        const Parsed p = parseBytes(c.file, chunk, c.delimiter);
        EXPECT_EQ(fieldsOf(p), c.rows) << "chunk " << chunk;
        EXPECT_FALSE(p.unclosed) << "chunk " << chunk;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CsvRead,
    ::testing::Values(
        ReadCase{"SemicolonDetected", "a;b;c", 0, {{u"a"_s, u"b"_s, u"c"_s}}},
        ReadCase{
            "QuotedCommaStaysInField", "\"Miete, Büro\",2\n", ',', {{u"Miete, Büro"_s, u"2"_s}}},
        ReadCase{"DoubledQuotesBecomeOne",
                 "\"Das \"\"Haus\"\" am See\";x",
                 ';',
                 {{u"Das \"Haus\" am See"_s, u"x"_s}}},
        ReadCase{"EmptyMiddleField", "1,,3", ',', {{u"1"_s, u""_s, u"3"_s}}},
        ReadCase{"EmptyQuotedMiddleField", "1,\"\",3", ',', {{u"1"_s, u""_s, u"3"_s}}},
        ReadCase{"TrailingDelimiterGivesEmptyField", "1,2,\n", ',', {{u"1"_s, u"2"_s, u""_s}}},
        ReadCase{"QuotedLineFeedStaysOneField",
                 "\"a\nb\",c\nd,e",
                 ',',
                 {{u"a\nb"_s, u"c"_s}, {u"d"_s, u"e"_s}}},
        ReadCase{"TabBeforeCommaWins", "a\tb,c\nd\te", 0, {{u"a"_s, u"b,c"_s}, {u"d"_s, u"e"_s}}},
        ReadCase{"FirstCandidateNotMostFrequent", "a,b;c;d;e", 0, {{u"a"_s, u"b;c;d;e"_s}}},
        ReadCase{"NoCandidateOneFieldPerLine", "abc\ndef;g", 0, {{u"abc"_s}, {u"def;g"_s}}},
        ReadCase{"BlankLinesGiveNoRows",
                 "a;b\n\n\r\n\nc;d\n\n",
                 0,
                 {{u"a"_s, u"b"_s}, {u"c"_s, u"d"_s}}},
        ReadCase{"LeadingBlankLineDoesNotHideDelimiter", "\r\n\na;b\n", 0, {{u"a"_s, u"b"_s}}},
        ReadCase{"AllLineEnds",
                 "a;1\r\nb;2\rc;3\nd;4",
                 0,
                 {{u"a"_s, u"1"_s}, {u"b"_s, u"2"_s}, {u"c"_s, u"3"_s}, {u"d"_s, u"4"_s}}},
        ReadCase{"QuoteOnlyField", "\"\"\"\";x", ';', {{u"\""_s, u"x"_s}}},
        ReadCase{"Windows1252Signs",
                 "\x80 5;M\xfcller;\x84zitiert\x93",
                 ';',
                 {{u"€ 5"_s, u"Müller"_s, u"„zitiert“"_s}}},
        ReadCase{
            "Utf8FieldRecognised", "M\xc3\xbcller;5 \xe2\x82\xac", ';', {{u"Müller"_s, u"5 €"_s}}},
        ReadCase{"Utf8ByteOrderMarkPassedOver",
                 "\xef\xbb\xbf"
                 "05.03.24;x",
                 0,
                 {{u"05.03.24"_s, u"x"_s}}},
        ReadCase{"ByteOrderMarkThenBlankLines",
                 "\xef\xbb\xbf\r\r\r\r\r\r\r\ra;b\n",
                 0,
                 {{u"a"_s, u"b"_s}}},
        ReadCase{"NulBytesAreData",
                 QByteArray("a\0b;c", 5),
                 ';',
                 {{QString::fromUtf16(u"a\0b", 3), u"c"_s}}},
        ReadCase{"EmptyFile", "", 0, {}}));

TEST(CsvReader, RowsKnowTheirLines) {
    const Parsed p = parseBytes("a;1\r\n\r\n\"b\nb\";2\nc;3\n", 2);
    ASSERT_EQ(p.rows.size(), 3u);
    EXPECT_EQ(p.rows[0].line, 1);
    EXPECT_EQ(p.rows[1].line, 3);
    EXPECT_EQ(p.rows[2].line, 5);
}

// The long lines that replaced the whole result by "ERROR: Buffer too small".
TEST(CsvReader, LineLongerThanTheBufferGrowsIt) {
    const QByteArray title(100000, 'x');
    for (uint32_t chunk : {16u, 2048u}) {
        const Parsed p = parseBytes("a;" + title + ";b\nc;d;e\n", chunk);
        ASSERT_EQ(p.rows.size(), 2u) << chunk;
        EXPECT_EQ(p.rows[0].fields[1].size(), title.size());
        EXPECT_EQ(p.rows[1].fields, (QStringList{u"c"_s, u"d"_s, u"e"_s}));
    }
}

// The unbalanced quote that silently dropped the rest of the file.
TEST(CsvReader, UnclosedQuoteIsReportedWithItsLine) {
    for (uint32_t chunk : {1u, 5u, 2048u}) {
        const Parsed p = parseBytes("a;b\nc;d\n\"e;f\ng;h\n", chunk);
        EXPECT_EQ(fieldsOf(p), (std::vector<QStringList>{{u"a"_s, u"b"_s}, {u"c"_s, u"d"_s}}))
            << chunk;
        ASSERT_TRUE(p.unclosed) << chunk;
        EXPECT_EQ(*p.unclosed, 3);
    }
    // A quote as the very last byte is a quote, not half of a doubled one.
    const Parsed last = parseBytes("a;b\nc;\"", 3);
    EXPECT_EQ(last.rows.size(), 1u);
    EXPECT_EQ(last.unclosed, 2);
}

TEST(CsvReader, Utf16IsNotReadAsBytes) {
    const Parsed p = parseBytes(QByteArray("\xff\xfe"
                                           "a\0;\0b\0",
                                           8),
                                2048);
    EXPECT_TRUE(p.utf16);
    EXPECT_TRUE(p.rows.empty());
}

TEST(CsvReader, EncodingsThroughQtCodecs) {
    EXPECT_EQ(parseBytes("\x80", 8, ';', kEncodingIsoLatin1, false).rows.at(0).fields,
              QStringList{u"\u0080"_s});
    EXPECT_EQ(parseBytes("\x80", 8, ';', kEncodingWindowsLatin1, false).rows.at(0).fields,
              QStringList{u"€"_s});
    EXPECT_EQ(parseBytes("\x8a", 8, ';', kEncodingMacRoman, false).rows.at(0).fields,
              QStringList{u"ä"_s});
    // Without recognising UTF-8, its bytes are Windows-1252 like any others.
    EXPECT_EQ(parseBytes("\xc3\xbc", 8, ';', kEncodingWindowsLatin1, false).rows.at(0).fields,
              QStringList{u"Ã¼"_s});
}

TEST(CsvReader, WithoutFileNothing) {
    CSVParser p;
    EXPECT_TRUE(p.parseFile().empty());
    EXPECT_EQ(p.fileHandle(), 0);
    EXPECT_FALSE(p.openFile(u"/nicht/vorhanden.csv"_s));
    EXPECT_EQ(p.readError(), u"die Datei ist nicht vorhanden"_s);
    EXPECT_FALSE(p.openFile(u"/tmp"_s));
    EXPECT_EQ(p.readError(), u"das ist ein Ordner"_s);
}

TEST(CsvReader, AutodetectReadsTheFirstLineOnly) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"f.csv"_s);
    test::writeAll(path, "a\tb\nc;d");
    CSVParser p;
    ASSERT_TRUE(p.openFile(path));
    EXPECT_EQ(p.autodetectDelimiter(), '\t');
    EXPECT_EQ(p.delimiter(), '\t');
    p.closeFile();
    EXPECT_EQ(p.fileHandle(), 0);
}

TEST(StrippedCsv, CleanUps) {
    EXPECT_EQ(strippedCSVString(u"\"abc\""_s), u"abc"_s);
    EXPECT_EQ(strippedCSVString(u"\"abc"_s), u"abc"_s);
    EXPECT_EQ(strippedCSVString(u"ab\"c"_s), u"ab\"c"_s);
    EXPECT_EQ(strippedCSVString(u"\""_s), u""_s);
    EXPECT_EQ(strippedCSVString(QString()), u""_s);
    EXPECT_EQ(strippedIllegalString(u"\" 19 % \""_s), u"19"_s);
}

}  // namespace
