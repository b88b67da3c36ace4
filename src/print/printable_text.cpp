#include "print/printable_text.h"

#include <QFontDatabase>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QHash>
#include <QRawFont>
#include <QTextLayout>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace quandor::print {

namespace {

bool isLineBreak(char32_t c) {
    return c == u'\n' || c == u'\r' || c == u'\t' || c == u'\v' || c == u'\f' || c == 0x85 ||
           c == 0x2028 || c == 0x2029;
}
bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}
bool isNonCharacter(char32_t c) {
    return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
}

// Code points that belong to the character before them: accents, joiners and
// what follows a joiner, variation selectors, skin tones, tag characters.
bool extendsCluster(char32_t c) {
    if (c < 0x300) return false;  // no marks before the combining accents
    if (c == 0x200D || c == 0x200C) return true;
    if ((c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF)) return true;
    if (c >= 0x1F3FB && c <= 0x1F3FF) return true;
    if (c >= 0xE0020 && c <= 0xE007F) return true;
    const QChar::Category k = QChar::category(c);
    return k == QChar::Mark_NonSpacing || k == QChar::Mark_SpacingCombining ||
           k == QChar::Mark_Enclosing;
}

char32_t codePointAt(const QString& s, qsizetype i, qsizetype* length) {
    const char16_t u = s.at(i).unicode();
    if (QChar::isHighSurrogate(u) && i + 1 < s.size() &&
        QChar::isLowSurrogate(s.at(i + 1).unicode())) {
        *length = 2;
        return QChar::surrogateToUcs4(u, s.at(i + 1).unicode());
    }
    *length = 1;
    return u;
}

// Which characters the installed fonts can put on a PDF page, asked once each.
class Coverage {
  public:
    static Coverage& instance() {
        static Coverage coverage;
        return coverage;
    }

    bool available() const { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()); }

    // Whether the single code point `c` prints.
    bool prints(char32_t c) {
        if (c >= 0x20 && c < 0x7F) return true;
        if (c > 0x10FFFF) return false;
        // What is known is read without the lock: each entry is written once.
        if (const uint8_t known = singles_[c].load(std::memory_order_acquire)) return known == 1;
        std::lock_guard lock(mutex_);
        uint8_t known = singles_[c].load(std::memory_order_relaxed);
        if (known == 0) {
            QString s;
            if (c > 0xFFFF) {
                s += QChar(QChar::highSurrogate(c));
                s += QChar(QChar::lowSurrogate(c));
            } else {
                s += QChar(char16_t(c));
            }
            known = laysOut(s) ? 1 : 2;
            singles_[c].store(known, std::memory_order_release);
        }
        return known == 1;
    }

    // Whether the cluster `s` (several code points) prints.
    bool prints(const QString& s) {
        std::lock_guard lock(mutex_);
        const auto it = clusters_.constFind(s);
        if (it != clusters_.constEnd()) return *it;
        if (clusters_.size() > 20000) clusters_.clear();
        const bool ok = laysOut(s);
        clusters_.insert(s, ok);
        return ok;
    }

  private:
    Coverage() {
        if (!available()) return;
        font_ = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        font_.setPixelSize(12);
    }

    // Lays `s` out with the page font and its fallbacks: it prints when every
    // glyph was found, in a font with outlines.
    bool laysOut(const QString& s) {
        if (!available()) return true;
        QTextLayout layout(s, font_);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        if (line.isValid()) line.setLineWidth(1e6);
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        if (runs.isEmpty()) return false;
        for (const QGlyphRun& run : runs) {
            if (!hasOutlines(run.rawFont())) return false;
            for (const quint32 glyph : run.glyphIndexes())
                if (glyph == 0) return false;
        }
        return true;
    }

    bool hasOutlines(const QRawFont& font) {
        const QString key = font.familyName() + QLatin1Char('\n') + font.styleName();
        const auto it = outlines_.constFind(key);
        if (it != outlines_.constEnd()) return *it;
        const bool outlines = !font.fontTable("glyf").isEmpty() ||
                              !font.fontTable("CFF ").isEmpty() ||
                              !font.fontTable("CFF2").isEmpty();
        outlines_.insert(key, outlines);
        return outlines;
    }

    std::mutex mutex_;
    QFont font_;
    // 0 not asked yet, 1 prints, 2 missing; every code point, zeroed.
    std::unique_ptr<std::atomic<uint8_t>[]> singles_ { new std::atomic<uint8_t>[ 0x110000 ]() };
    QHash<QString, bool> clusters_;
    QHash<QString, bool> outlines_;
};

}  // namespace

QString missingGlyphPlaceholder() {
    static const QString placeholder = [] {
        Coverage& coverage = Coverage::instance();
        if (coverage.available() && !coverage.prints(char32_t(0xFFFD))) return QStringLiteral("?");
        return QString(QChar(0xFFFD));
    }();
    return placeholder;
}

QString singleLine(const QString& text) {
    bool clean = true;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (isControl(u) || u == 0x2028 || u == 0x2029) {
            clean = false;
            break;
        }
    }
    if (clean) return text;
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (isLineBreak(u))
            out += QLatin1Char(' ');
        else if (!isControl(u))
            out += c;
    }
    return out;
}

QString printableText(const QString& text) {
    bool ascii = true;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u >= 0x7F) {
            ascii = false;
            break;
        }
    }
    if (ascii) return text;

    Coverage& coverage = Coverage::instance();
    const bool fonts = coverage.available();
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype length = 0;
        const char32_t c = codePointAt(text, i, &length);
        if (isLineBreak(c)) {
            out += QLatin1Char(' ');
            i += length;
            continue;
        }
        if (isControl(c)) {
            i += length;
            continue;
        }
        // The character as seen on screen: this code point and those that extend it.
        qsizetype end = i + length;
        bool joined = c == 0x200D;
        while (end < text.size()) {
            qsizetype n = 0;
            const char32_t d = codePointAt(text, end, &n);
            if (!joined && !extendsCluster(d)) {
                // regional indicators come in pairs (flags)
                if (!(c >= 0x1F1E6 && c <= 0x1F1FF && d >= 0x1F1E6 && d <= 0x1F1FF &&
                      end == i + length))
                    break;
            }
            joined = d == 0x200D;
            end += n;
        }
        const QStringView cluster = QStringView(text).mid(i, end - i);
        bool ok;
        if (QChar::isSurrogate(c) || isNonCharacter(c))
            ok = false;
        else if (!fonts || (end == i + length && QChar::category(c) == QChar::Other_Format))
            ok = true;  // invisible steering characters (joiners, bidi marks) need no glyph
        else if (end == i + length)
            ok = coverage.prints(c);
        else
            ok = coverage.prints(cluster.toString());
        if (ok)
            out += cluster;
        else
            out += missingGlyphPlaceholder();
        i = end;
    }
    return out;
}

}  // namespace quandor::print
