#include "import/csv_parser.h"

#include "core/atomic_file.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <array>
#include <cerrno>

namespace quandor {

namespace {

constexpr char kQuote = '"';
constexpr int64_t kProgressStep = 1 << 20;  // report progress after every MiB

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}
bool isCandidate(char c) {
    return c == ',' || c == ';' || c == '\t';
}

// The delimiter of the first line of `text`: the first candidate before its
// end. Line ends before the first line are passed over (a file starting with
// an empty line is read like one without). False while the first line has
// not ended yet and no candidate was seen.
bool detectDelimiter(const char* text, size_t size, char* found) {
    size_t i = 0;
    while (i < size && isLineEnd(text[i])) ++i;
    for (; i < size; ++i) {
        if (isCandidate(text[i])) {
            *found = text[i];
            return true;
        }
        if (isLineEnd(text[i])) {
            *found = 0;
            return true;
        }
    }
    return false;
}

bool isAscii(const char* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) >= 0x80) return false;
    return true;
}

// Well-formed UTF-8: no stray continuation bytes, no overlong forms, no
// surrogates, nothing above U+10FFFF.
bool isUtf8(const char* text, size_t n) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t extra = 0;
        uint32_t cp = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (n - i <= extra) return false;
        for (size_t k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += extra + 1;
    }
    return true;
}

ssize_t readSome(int fd, char* into, size_t size) {
    ssize_t n;
    do {
        n = ::read(fd, into, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

}  // namespace

// ---- the scanner ---------------------------------------------------------------------

// Looks at every byte once and keeps only the unfinished field and row.
class CSVParser::Scanner {
  public:
    Scanner(CSVParser& parser, char delimiter, const std::function<void(CsvRow&&)>& onRow)
        : parser_(parser), onRow_(onRow) {
        special_.fill(false);
        for (char c : {kQuote, '\r', '\n'}) special_[static_cast<unsigned char>(c)] = true;
        if (delimiter != 0) special_[static_cast<unsigned char>(delimiter)] = true;
    }

    void feed(const char* data, size_t size) {
        size_t i = 0;
        if (pendingQuote_ && size > 0) {
            // A quote ended the previous chunk: this byte tells whether it was doubled.
            pendingQuote_ = false;
            if (data[0] == kQuote) {
                field_.append("\"\"", 2);
                i = 1;
            } else {
                odd_ = !odd_;
                field_.append(kQuote);
            }
        }
        while (i < size) {
            const size_t start = i;
            while (i < size && !special_[static_cast<unsigned char>(data[i])]) ++i;
            if (i > start) {
                startRow();
                field_.append(data + start, static_cast<qsizetype>(i - start));
                previousCR_ = false;
            }
            if (i >= size) break;
            const char c = data[i];
            if (c == kQuote) {
                startRow();
                previousCR_ = false;
                if (i + 1 >= size) {
                    pendingQuote_ = true;
                    ++i;
                } else if (data[i + 1] == kQuote) {
                    field_.append("\"\"", 2);  // escaped: the count of open quotes stays
                    i += 2;
                } else {
                    odd_ = !odd_;
                    field_.append(kQuote);
                    ++i;
                }
            } else if (isLineEnd(c)) {
                if (c == '\r' || !previousCR_) ++line_;
                previousCR_ = c == '\r';
                if (odd_)
                    field_.append(c);  // inside quotes: the field goes on over the line end
                else if (inRow_)
                    endRow();
                ++i;
            } else {  // the delimiter
                startRow();
                previousCR_ = false;
                if (odd_)
                    field_.append(c);
                else
                    endField();
                ++i;
            }
        }
    }

    void finish() {
        if (pendingQuote_) {
            pendingQuote_ = false;
            odd_ = !odd_;
            field_.append(kQuote);
        }
        if (odd_) {
            parser_.unclosedQuoteLine_ = row_.line;
            return;
        }
        if (inRow_) endRow();  // a last line without a line end
    }

  private:
    void startRow() {
        if (inRow_) return;
        inRow_ = true;
        row_.line = line_;
    }
    void endField() {
        row_.fields.append(
            parser_.parseString(field_.constData(), field_.constData() + field_.size()));
        field_.clear();
    }
    void endRow() {
        endField();
        onRow_(std::move(row_));
        row_ = CsvRow();
        inRow_ = false;
    }

    CSVParser& parser_;
    const std::function<void(CsvRow&&)>& onRow_;
    std::array<bool, 256> special_;
    QByteArray field_;
    CsvRow row_;
    bool odd_ = false;           // an odd number of quotes is open
    bool pendingQuote_ = false;  // the chunk ended with a quote
    bool inRow_ = false;
    bool previousCR_ = false;
    int64_t line_ = 1;
};

// ---- the parser ------------------------------------------------------------------------

CSVParser::CSVParser() {
    setEncoding(kEncodingIsoLatin1);
}

CSVParser::~CSVParser() {
    closeFile();
}

bool CSVParser::openFile(const QString& path) {
    closeFile();
    readError_.clear();
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return fail(errno);
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return fail(error);
    }
    if (fd == 0) {  // not "open" by the descriptor rule; keep it that way
        ::close(fd);
        return fail(EBADF);
    }
    fileHandle_ = fd;
    return true;
}

void CSVParser::closeFile() {
    if (fileHandle_ > 0) ::close(fileHandle_);
    fileHandle_ = 0;
}

bool CSVParser::fail(int error) {
    readError_ = error == EINVAL ? QStringLiteral("das ist keine gewöhnliche Datei")
                                 : fileReadErrorReason(error);
    return false;
}

void CSVParser::setEncoding(uint32_t code) {
    encoding_ = code;
    const char* name = nullptr;
    switch (code) {
        case kEncodingWindowsLatin1:
            name = "windows-1252";
            break;
        case kEncodingMacRoman:
            name = "macintosh";
            break;
        default:
            break;  // ISO 8859-1 and UTF-8 are read without a codec
    }
    decoder_ = name ? QStringDecoder(name) : QStringDecoder();
}

QString CSVParser::parseString(const char* begin, const char* end) {
    if (end - begin >= 2 && *begin == kQuote && end[-1] == kQuote) {
        ++begin;
        --end;
    }
    const auto n = static_cast<size_t>(end - begin);
    QString text;
    if (isAscii(begin, n)) {
        text = QString::fromLatin1(begin, static_cast<qsizetype>(n));
    } else if (encoding_ == kEncodingUtf8 || (recognisesUtf8_ && isUtf8(begin, n))) {
        text = QString::fromUtf8(begin, static_cast<qsizetype>(n));
    } else if (encoding_ != kEncodingIsoLatin1 && decoder_.isValid()) {
        decoder_.resetState();
        text = decoder_.decode(QByteArrayView(begin, static_cast<qsizetype>(n)));
    } else {
        text = QString::fromLatin1(begin, static_cast<qsizetype>(n));
    }
    if (text.contains(QLatin1String("\"\"")))
        text.replace(QLatin1String("\"\""), QLatin1String("\""));
    return text;
}

char CSVParser::autodetectDelimiter() {
    if (fileHandle_ <= 0 || ::lseek(fileHandle_, 0, SEEK_SET) < 0) return delimiter_ = 0;
    std::vector<char> chunk(bufferSize_);
    QByteArray head;
    char found = 0;
    for (;;) {
        if (detectDelimiter(head.constData(), static_cast<size_t>(head.size()), &found)) break;
        const ssize_t n = readSome(fileHandle_, chunk.data(), chunk.size());
        if (n <= 0) {
            found = 0;
            break;
        }
        head.append(chunk.data(), n);
    }
    return delimiter_ = found;
}

std::vector<QStringList> CSVParser::parseFile() {
    std::vector<QStringList> rows;
    parse([&rows](CsvRow&& row) { rows.push_back(std::move(row.fields)); });
    return rows;
}

bool CSVParser::parse(const std::function<void(CsvRow&&)>& onRow) {
    unclosedQuoteLine_.reset();
    utf16_ = false;
    readError_.clear();
    if (fileHandle_ <= 0) return true;
    if (::lseek(fileHandle_, 0, SEEK_SET) < 0) return fail(errno);
    struct stat info;
    const int64_t total = ::fstat(fileHandle_, &info) == 0 ? int64_t(info.st_size) : 0;
    int64_t done = 0, reported = 0;

    std::vector<char> chunk(bufferSize_);
    bool end = false;
    auto readChunk = [&]() -> ssize_t {
        const ssize_t n = readSome(fileHandle_, chunk.data(), chunk.size());
        if (n == 0) end = true;
        if (n > 0) done += n;
        return n;
    };

    // The start of the file decides the byte order mark and, unless one was
    // set, the delimiter; it is read until both are known (at most the first line).
    // The first line is looked for behind a UTF-8 byte order mark, in every
    // chunk size alike.
    QByteArray head;
    char found = delimiter_;
    auto markLength = [&] {
        return recognisesUtf8_ && head.startsWith("\xEF\xBB\xBF") ? qsizetype{3} : 0;
    };
    for (;;) {
        const bool markKnown = head.size() >= 3 || end;
        const bool delimiterKnown =
            delimiter_ != 0 || end ||
            (markKnown && detectDelimiter(head.constData() + markLength(),
                                          static_cast<size_t>(head.size() - markLength()), &found));
        if (markKnown && delimiterKnown) break;
        const ssize_t n = readChunk();
        if (n < 0) return fail(errno);
        head.append(chunk.data(), n);
    }
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF")) {
        utf16_ = true;
        return true;
    }
    const qsizetype skip = markLength();
    if (delimiter_ == 0) {
        found = 0;
        detectDelimiter(head.constData() + skip, static_cast<size_t>(head.size() - skip), &found);
        delimiter_ = found;
    }

    Scanner scanner(*this, delimiter_, onRow);
    scanner.feed(head.constData() + skip, static_cast<size_t>(head.size() - skip));
    head = QByteArray();
    while (!end) {
        const ssize_t n = readChunk();
        if (n < 0) return fail(errno);
        scanner.feed(chunk.data(), static_cast<size_t>(n));
        if (progress && done - reported >= kProgressStep) {
            reported = done;
            progress(done, total);
        }
    }
    scanner.finish();
    if (progress) progress(done, total);
    return true;
}

// ---- clean-ups ------------------------------------------------------------------------

QString strippedCSVString(const QString& text) {
    qsizetype from = 0, to = text.size();
    if (to > from && text.at(from) == u'"') ++from;
    if (to > from && text.at(to - 1) == u'"') --to;
    return text.mid(from, to - from);
}

QString strippedIllegalString(const QString& text) {
    QString out = strippedCSVString(text);
    out.remove(u' ');
    out.remove(u'%');
    return out;
}

}  // namespace quandor
