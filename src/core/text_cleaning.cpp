#include "core/text_cleaning.h"

#include <QChar>

namespace quandor {

namespace {

bool isNonCharacter(char32_t c) {
    return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
}

// Length in UTF-16 units of the code point starting at `i`, reading forwards;
// sets `c` to it (an unpaired surrogate reads as itself).
qsizetype codePointAt(const QString& s, qsizetype i, char32_t& c) {
    const char16_t u = s.at(i).unicode();
    if (QChar::isHighSurrogate(u) && i + 1 < s.size() &&
        QChar::isLowSurrogate(s.at(i + 1).unicode())) {
        c = QChar::surrogateToUcs4(u, s.at(i + 1).unicode());
        return 2;
    }
    c = u;
    return 1;
}

// The same reading backwards from the unit before `end`.
qsizetype codePointBefore(const QString& s, qsizetype end, char32_t& c) {
    const char16_t u = s.at(end - 1).unicode();
    if (QChar::isLowSurrogate(u) && end >= 2 && QChar::isHighSurrogate(s.at(end - 2).unicode())) {
        c = QChar::surrogateToUcs4(s.at(end - 2).unicode(), u);
        return 2;
    }
    c = u;
    return 1;
}

bool isGremlin(char32_t c) {
    if (QChar::isSurrogate(c) || isNonCharacter(c)) return true;
    return QChar::category(c) == QChar::Other_NotAssigned;
}

}  // namespace

QString zapGremlinsInString(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    char32_t c = 0;
    while (begin < end) {
        const qsizetype n = codePointAt(text, begin, c);
        if (!isGremlin(c)) break;
        begin += n;
    }
    while (end > begin) {
        const qsizetype n = codePointBefore(text, end, c);
        if (!isGremlin(c)) break;
        end -= n;
    }
    if (begin == 0 && end == text.size()) return text;
    return text.mid(begin, end - begin);
}

}  // namespace quandor
