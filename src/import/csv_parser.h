#pragma once
// Reading delimited text files (CSV) into rows of text fields.
//
// The file is read through its descriptor in chunks of `bufferSize` bytes and
// every byte is looked at once: a field's bytes are collected until a
// delimiter or a line end outside double quotes ends it, so memory stays
// proportional to the longest line plus one chunk, however long a line is.
//
//   - The delimiter is a comma, a semicolon or a tab. Unless one was set, the
//     first line decides: the first of the three that occurs in it wins (not
//     the most frequent one); without any, every line is one field.
//   - Double quotes group: a delimiter or a line end between an odd number of
//     quotes belongs to the field. A quote directly followed by a second one
//     is an escaped quote ("" → ").
//   - A field's enclosing quotes are dropped; its bytes become text through
//     the chosen 8-bit encoding (Qt's codecs by name). When asked, a field
//     whose bytes are valid UTF-8 is read as UTF-8, and a UTF-8 byte order
//     mark at the start of the file is passed over: modern programs write
//     UTF-8, and reading it as Windows-1252 would turn "Müller" into "MÃ¼ller".
//   - CR LF, LF and CR all end a line; empty lines give no rows.
//   - A quote that is still open at the end of the file is reported with the
//     line where its row began (unclosedQuoteLine), and that unfinished row is
//     not returned: the rest of the file was one runaway field.
//
// The reader knows nothing about columns; the item import interprets the rows.

#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace quandor {

// The platform's numbers of the encodings a CSV file may be read with.
enum TextEncodingCode : uint32_t {
    kEncodingUtf8 = 4,
    kEncodingIsoLatin1 = 5,
    kEncodingWindowsLatin1 = 12,
    kEncodingMacRoman = 30,
};

// One row and the line of the file it starts on (1 for the first line; a
// quoted field over several lines moves the next row's line on).
struct CsvRow {
    QStringList fields;
    int64_t line = 0;
};

class CSVParser {
  public:
    static constexpr uint32_t kDefaultBufferSize = 2048;

    CSVParser();
    ~CSVParser();
    CSVParser(const CSVParser&) = delete;
    CSVParser& operator=(const CSVParser&) = delete;

    // Opens `path` read-only; true when a descriptor above 0 was obtained and
    // it is a regular file (readError() says why not).
    bool openFile(const QString& path);
    void closeFile();
    int fileHandle() const { return fileHandle_; }

    void setDelimiter(char delimiter) { delimiter_ = delimiter; }
    // The delimiter set, or the one detected by the last parse (0: none).
    char delimiter() const { return delimiter_; }
    void setBufferSize(uint32_t size) { bufferSize_ = size == 0 ? 1 : size; }
    uint32_t bufferSize() const { return bufferSize_; }
    // One of TextEncodingCode; unknown codes read as ISO 8859-1.
    void setEncoding(uint32_t code);
    uint32_t encoding() const { return encoding_; }
    void setRecognisesUtf8(bool on) { recognisesUtf8_ = on; }

    // Reads the first line from the start of the file and returns the
    // delimiter found in it (0 if none), storing it in delimiter().
    char autodetectDelimiter();

    // All rows of the open file; empty without an open file.
    std::vector<QStringList> parseFile();
    // The same, handing each row over as it is complete, with its line.
    // False when the file could not be read (readError() says why); the rows
    // handed over until then stay valid.
    bool parse(const std::function<void(CsvRow&&)>& onRow);

    // After a parse: the line on which the row with the unclosed quote began.
    std::optional<int64_t> unclosedQuoteLine() const { return unclosedQuoteLine_; }
    // The file starts with a UTF-16 byte order mark: it was not read.
    bool isUtf16() const { return utf16_; }
    // German reason when opening or reading failed; empty otherwise.
    QString readError() const { return readError_; }

    // Called now and then while parsing with the bytes read so far and the file's size.
    std::function<void(int64_t done, int64_t total)> progress;

    // One field's text from its bytes: enclosing quotes dropped (when it
    // starts and ends with one and is at least two bytes long), decoded,
    // doubled quotes made single.
    QString parseString(const char* begin, const char* end);

  private:
    class Scanner;
    bool fail(int error);

    int fileHandle_ = 0;
    uint32_t bufferSize_ = kDefaultBufferSize;
    char delimiter_ = 0;
    uint32_t encoding_ = kEncodingIsoLatin1;
    bool recognisesUtf8_ = false;
    QStringDecoder decoder_;
    std::optional<int64_t> unclosedQuoteLine_;
    bool utf16_ = false;
    QString readError_;
};

// The small clean-ups the item import applies to fields.
// One double quote at the very beginning and one at the very end removed (each if present).
QString strippedCSVString(const QString& text);
// As strippedCSVString, then every space and every "%" removed ("19 %" → "19").
QString strippedIllegalString(const QString& text);

}  // namespace quandor
