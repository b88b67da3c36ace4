#include "bookkeeping/csv_cell.h"

#include "core/text_cleaning.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextBoundaryFinder>

#include <array>

namespace quandor::csv {

namespace {

// Bytes 0x80 to 0xFF of an 8-bit set as Qt's codec of that name reads them;
// 0 where the byte holds no character (or only a control character).
std::array<char16_t, 128> upperHalf(const char* codecName) {
    std::array<char16_t, 128> t{};
    QStringDecoder decoder(codecName);
    for (int i = 0; i < 128 && decoder.isValid(); ++i) {
        const QString s = decoder.decode(QByteArray(1, char(0x80 + i)));
        const bool character = !decoder.hasError() && s.size() == 1 &&
                               !(s[0].unicode() >= 0x80 && s[0].unicode() <= 0x9F) &&
                               s[0] != QChar::ReplacementCharacter;
        if (character) t[size_t(i)] = s[0].unicode();
        decoder.resetState();
    }
    return t;
}

const std::array<char16_t, 128>& table(Charset charset) {
    static const std::array<char16_t, 128> windows1252 = upperHalf("windows-1252");
    static const std::array<char16_t, 128> macRoman = upperHalf("macintosh");
    return charset == Charset::MacRoman ? macRoman : windows1252;
}

// The byte of `c` in an 8-bit set, or -1.
int byteOf(Charset charset, char32_t c) {
    if (c < 0x80) return int(c);
    if (c > 0xFFFF) return -1;
    const auto& t = table(charset);
    // Windows-1252 is Latin-1 from 0xA0 up: the common case without a search.
    if (charset == Charset::Windows1252 && c >= 0xA0 && c <= 0xFF) return int(c);
    for (int i = 0; i < 128; ++i)
        if (t[size_t(i)] == c) return 0x80 + i;
    return -1;
}

// Letters and signs without a decomposition, spelled with what every set holds.
const char* lookAlike(char32_t c) {
    switch (c) {
        case 0x0110:
            return "D";  // Đ
        case 0x0111:
            return "d";  // đ
        case 0x00D0:
            return "D";  // Ð
        case 0x00F0:
            return "d";  // ð
        case 0x00DE:
            return "Th";  // Þ
        case 0x00FE:
            return "th";  // þ
        case 0x0126:
            return "H";  // Ħ
        case 0x0127:
            return "h";  // ħ
        case 0x0131:
            return "i";  // ı
        case 0x0141:
            return "L";  // Ł
        case 0x0142:
            return "l";  // ł
        case 0x0166:
            return "T";  // Ŧ
        case 0x0167:
            return "t";  // ŧ
        case 0x014A:
            return "N";  // Ŋ
        case 0x014B:
            return "n";  // ŋ
        case 0x00D7:
            return "x";  // ×
        case 0x00A6:
            return "|";  // ¦
        case 0x1E9E:
            return "SS";  // ẞ
        case 0x2010:
        case 0x2011:
        case 0x2012:
        case 0x2015:
        case 0x2043:
        case 0x2212:
            return "-";  // hyphens, figure dash, minus sign
        case 0x201B:
        case 0x2032:
            return "'";
        case 0x201F:
        case 0x2033:
            return "\"";
        case 0x2044:
        case 0x2215:
            return "/";
        case 0x2219:
            return ".";
        default:
            return nullptr;
    }
}

bool isFormat(char32_t c) {
    return QChar::category(c) == QChar::Other_Format;
}
bool isMark(char32_t c) {
    const QChar::Category k = QChar::category(c);
    return k == QChar::Mark_NonSpacing || k == QChar::Mark_SpacingCombining ||
           k == QChar::Mark_Enclosing;
}

// Reads the code point at `i` (an unpaired surrogate reads as itself) and
// moves `i` past it.
char32_t next(const QString& s, qsizetype& i) {
    const char16_t u = s.at(i).unicode();
    if (QChar::isHighSurrogate(u) && i + 1 < s.size() &&
        QChar::isLowSurrogate(s.at(i + 1).unicode())) {
        const char32_t c = QChar::surrogateToUcs4(u, s.at(i + 1).unicode());
        i += 2;
        return c;
    }
    ++i;
    return u;
}

void appendCodePoint(QString& out, char32_t c) {
    if (c > 0xFFFF) {
        out += QChar(QChar::highSurrogate(c));
        out += QChar(QChar::lowSurrogate(c));
    } else {
        out += QChar(char16_t(c));
    }
}

// One character as seen on screen (a grapheme cluster) that the set does not
// hold whole: its folded spelling, or "?" when a part of it has none.
QString foldCluster(const QString& cluster, Charset charset) {
    const QString decomposed = cluster.normalized(QString::NormalizationForm_KD);
    QString out;
    for (qsizetype i = 0; i < decomposed.size();) {
        const char32_t c = next(decomposed, i);
        if (holds(charset, c)) {
            appendCodePoint(out, c);
        } else if (isMark(c) || isFormat(c)) {
            // accents the set lacks, joiners and variation selectors
        } else if (const char* plain = lookAlike(c)) {
            out += QLatin1String(plain);
        } else {
            return QStringLiteral("?");
        }
    }
    return out;
}

bool isLineBreak(char16_t u) {
    return u == u'\n' || u == u'\r' || u == u'\t' || u == u'\v' || u == u'\f' || u == 0x85 ||
           u == 0x2028 || u == 0x2029;
}

bool isControl(char16_t u) {
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

bool isNonCharacter(char32_t c) {
    return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
}

// Control characters, unpaired surrogates and non-characters out; line ends
// and tabs become blanks; format characters other than joiners are dropped.
QString withoutControls(const QString& text) {
    bool clean = true;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (isControl(u) || isLineBreak(u) || QChar::isSurrogate(u) || u >= 0xFDD0 ||
            (u >= 0x200B && u <= 0x206F) || u == 0x00AD || u == 0x061C || u == 0x180E) {
            clean = false;
            break;
        }
    }
    if (clean) return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype at = i;
        const char32_t c = next(text, i);
        if (c <= 0xFFFF && isLineBreak(char16_t(c))) {
            out += QLatin1Char(' ');
        } else if (c <= 0xFFFF && isControl(char16_t(c))) {
            // never in a file
        } else if (QChar::isSurrogate(c) || isNonCharacter(c)) {
            // not text
        } else if (isFormat(c) && c != 0x200D && c != 0x200C) {
            // invisible steering (bidi overrides, zero-width blanks, soft
            // hyphens): nothing a cell needs, and a way to hide its text. The
            // joiners stay, as parts of one visible character (emoji
            // sequences); folding drops them with what they join.
        } else {
            out += text.mid(at, i - at);
        }
    }
    return out;
}

}  // namespace

bool holds(Charset charset, char32_t c) {
    if (charset == Charset::Utf8) return !QChar::isSurrogate(c) && c <= 0x10FFFF;
    return byteOf(charset, c) >= 0;
}

QString folded(const QString& text, Charset charset) {
    if (charset == Charset::Utf8) return text;
    bool all = true;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u >= 0x80 && !holds(charset, u)) {
            all = false;
            break;
        }
    }
    if (all) return text;
    // Composed first, so that a letter typed with a separate accent ("u" and
    // U+0308) is the "ü" the set holds.
    const QString composed = text.normalized(QString::NormalizationForm_C);
    QString out;
    out.reserve(composed.size());
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, composed);
    qsizetype start = 0;
    while (start < composed.size()) {
        qsizetype end = finder.toNextBoundary();
        if (end <= start) end = composed.size();
        bool held = true;
        for (qsizetype i = start; i < end && held;) held = holds(charset, next(composed, i));
        if (held)
            out += QStringView(composed).mid(start, end - start);
        else
            out += foldCluster(composed.mid(start, end - start), charset);
        start = end;
    }
    return out;
}

bool isNumber(const QString& text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t.at(i) == u'-' || t.at(i) == u'+')) ++i;
    bool digit = false;
    // digits with grouping and decimal separators between them
    while (i < t.size()) {
        const QChar c = t.at(i);
        if (c.isDigit() && c.unicode() < 0x80) {
            digit = true;
        } else if (!(c == u'.' || c == u',' || c == u'\'' || c == u' ' || c == QChar::Nbsp ||
                     c == QChar(0x202F))) {
            break;
        }
        ++i;
    }
    if (!digit) return false;
    // a unit after the number: "%" or a currency sign
    while (i < t.size() && (t.at(i) == u' ' || t.at(i) == QChar::Nbsp)) ++i;
    if (i < t.size() && (t.at(i) == u'%' || t.at(i).category() == QChar::Symbol_Currency)) ++i;
    return i == t.size();
}

QString formulaSafe(const QString& text) {
    for (const QChar c : text) {
        if (c == u' ' || c == QChar::Nbsp) continue;
        const char16_t u = c.unicode();
        // The signs that start a formula, and their full-width forms, which
        // some spreadsheets take for them.
        const bool formula = u == u'=' || u == u'+' || u == u'-' || u == u'@' || u == 0xFF1D ||
                             u == 0xFF0B || u == 0xFF0D || u == 0xFF20;
        if (!formula || isNumber(text)) return text;
        return QLatin1Char('\'') + text;
    }
    return text;
}

QString cell(const QString& text, Field field, Charset charset) {
    if (text.isEmpty()) return text;
    // Folded first: a full-width comma or quote becomes the one the rules below
    // replace. Unassigned code points at the ends go first, as from every
    // exported text (zapGremlinsInString).
    QString t = folded(zapGremlinsInString(withoutControls(text)), charset);
    bool plain = true;
    for (const QChar c : t)
        if (c == u'"' || (field == Field::Typed && (c == u',' || c == QChar(0x201A)))) {
            plain = false;
            break;
        }
    if (!plain) {
        QString out;
        out.reserve(t.size() + 8);
        for (const QChar c : t) {
            if (c == u'"')
                out += QLatin1Char(' ');
            else if (field == Field::Typed && (c == u',' || c == QChar(0x201A)))
                out += QStringLiteral(" | ");
            else
                out += c;
        }
        t = std::move(out);
    }
    return formulaSafe(t);
}

QByteArray encode(const QString& text, Charset charset) {
    if (charset == Charset::Utf8) {
        // Unpaired surrogates would become U+FFFD; they are not text at all.
        bool clean = true;
        for (const QChar c : text) clean = clean && !c.isSurrogate();
        if (clean) return text.toUtf8();
        QString t;
        t.reserve(text.size());
        for (qsizetype i = 0; i < text.size();) {
            const qsizetype at = i;
            const char32_t c = next(text, i);
            if (!QChar::isSurrogate(c)) t += QStringView(text).mid(at, i - at);
        }
        return t.toUtf8();
    }
    // Folded first, so the codec only ever meets characters the set holds.
    QStringEncoder encoder(charset == Charset::MacRoman ? "macintosh" : "windows-1252");
    return encoder.encode(folded(text, charset));
}

}  // namespace quandor::csv
