#include "bookkeeping/statement_exports.h"

#include "core/keys.h"
#include "core/number_texts.h"
#include "core/text_cleaning.h"

#include <QStringEncoder>

namespace quandor {

namespace {

// Texts stored as the person typed them ("as stored"): only what would break
// the line structure of the file is replaced.
QString asStored(const QString& text) {
    if (text.isEmpty()) return text;
    QString t = text;
    for (QChar& c : t)
        if (c == u'"' || c == u'\n' || c == u'\r' || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator || c == u'\v' || c == u'\f' || c == QChar(0x85))
            c = u' ';
    return zapGremlinsInString(t);
}

// The nine fields of one CSV line, in file order.
struct CsvFields {
    QString f[9];
};

CsvFields csvFields(const Record& item, const QLocale& locale) {
    CsvFields r;
    r.f[0] = shortDateText(item.date(keys::date), locale);
    r.f[1] = asStored(item.text(keys::misc1));
    r.f[2] = plainAscii(cleanCsvField(item.text(keys::title), true));
    r.f[3] = asStored(item.text(keys::number));
    r.f[4] = cleanCsvField(item.text(keys::group), false);
    r.f[5] = asStored(item.text(keys::accountNumber));
    r.f[6] = cleanCsvField(item.text(keys::account), false);
    if (item.flag(keys::taxBool)) {
        // Both variants print the rate as the rate text ("19,00 %"); it is not
        // cleaned, which would split its decimal comma into " | ".
        r.f[7] = rateText(item.real(keys::taxPerecent), locale);
    }
    r.f[8] = amountText(item.real(keys::finalAmount), locale);
    return r;
}

void appendQuoted(QString& out, const QString& field) {
    out += QLatin1Char('"');
    out += field;
    out += QLatin1Char('"');
}

}  // namespace

QString cleanCsvField(const QString& text, bool isTitle) {
    if (text.isEmpty()) return text;
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u',' || u == 0x201A)
            out += QStringLiteral(" | ");
        else if (u == 0x2028 || u == u'"' || u == u'\n' || u == u'\r')
            out += QLatin1Char(' ');
        else if (isTitle && (u == 0x2029 || u == u'\v' || u == u'\f' || u == 0x85))
            out += QLatin1Char(' ');
        else
            out += c;
    }
    return zapGremlinsInString(out);
}

QString plainAscii(const QString& text) {
    bool ascii = true;
    for (const QChar c : text) ascii = ascii && c.unicode() < 0x80;
    if (ascii) return text;
    QString out;
    out.reserve(text.size());
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    for (qsizetype i = 0; i < decomposed.size(); ++i) {
        const QChar c = decomposed.at(i);
        if (c.unicode() < 0x80) {
            out += c;
        } else if (c.unicode() == 0xDF) {
            out += QStringLiteral("ss");
        } else if (c.category() == QChar::Mark_NonSpacing) {
            // the accent of a decomposed letter
        } else {
            if (c.isHighSurrogate() && i + 1 < decomposed.size()) ++i;
            out += QLatin1Char('?');
        }
    }
    return out;
}

QString xmlEscaped(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        switch (u) {
            case u'&': out += QStringLiteral("&amp;"); break;
            case u'<': out += QStringLiteral("&lt;"); break;
            case u'>': out += QStringLiteral("&gt;"); break;
            default:
                if (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') break;  // not allowed in XML
                if (u == 0xFFFE || u == 0xFFFF) break;
                if (QChar::isHighSurrogate(u)) {
                    if (i + 1 < text.size() && QChar::isLowSurrogate(text.at(i + 1).unicode())) {
                        out += text.at(i);
                        out += text.at(++i);
                    }
                    break;
                }
                if (QChar::isLowSurrogate(u)) break;  // unpaired
                out += QChar(u);
        }
    }
    return out;
}

QString csvString(const ItemRefs& items, const QLocale& locale) {
    QString out;
    out.reserve(qsizetype(items.size()) * 100);
    for (const Record* item : items) {
        const CsvFields r = csvFields(*item, locale);
        for (int i = 0; i < 9; ++i) {
            if (i > 0) out += QLatin1Char(',');
            appendQuoted(out, r.f[i]);
        }
        out += QLatin1Char('\n');
    }
    return zapGremlinsInString(out);
}

QString csvStringMac(const ItemRefs& items, const QLocale& locale) {
    QString out;
    out.reserve(qsizetype(items.size()) * 110);
    int n = 0;
    for (const Record* item : items) {
        const CsvFields r = csvFields(*item, locale);
        appendQuoted(out, QString::number(++n));
        for (int i = 0; i < 9; ++i) {
            out += QLatin1Char(';');
            appendQuoted(out, r.f[i]);
        }
        out += QStringLiteral(";\n");
    }
    return zapGremlinsInString(out);
}

QString xmlString(const ItemRefs& items, const QLocale& locale) {
    QString out = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<document>\n");
    out.reserve(qsizetype(items.size()) * 330 + 64);
    int n = 0;
    auto col = [&out](int i, const QString& value) {
        out += QStringLiteral("\t\t<col%1>").arg(i);
        out += value;
        out += QStringLiteral("</col%1>\n").arg(i);
    };
    for (const Record* item : items) {
        const bool vat = item->flag(keys::taxBool);
        out += QStringLiteral("\t<row>\n");
        col(0, QString::number(++n));
        col(1, shortDateText(item->date(keys::date), locale));
        col(2, xmlEscaped(zapGremlinsInString(item->text(keys::title))));
        col(3, xmlEscaped(zapGremlinsInString(item->text(keys::number))));
        col(4, xmlEscaped(zapGremlinsInString(item->text(keys::group))));
        col(5, xmlEscaped(zapGremlinsInString(item->text(keys::accountNumber))));
        col(6, xmlEscaped(zapGremlinsInString(item->text(keys::account))));
        col(7, vat ? amountText(item->real(keys::finalAmountWithout), locale) : QString());
        col(8, vat ? rateText(item->real(keys::taxPerecent), locale) : QString());
        col(9, amountText(item->real(keys::finalAmount), locale));
        out += QStringLiteral("\t</row>\n");
    }
    out += QStringLiteral("</document>");
    return zapGremlinsInString(out);
}

QByteArray windows1252(const QString& text) {
    QStringEncoder encoder("windows-1252", QStringConverter::Flag::Default);
    if (!encoder.isValid()) return text.toLatin1();
    return encoder.encode(text);
}

}  // namespace quandor
