#include "bookkeeping/statement_exports.h"

#include "core/keys.h"
#include "core/number_texts.h"
#include "core/text_cleaning.h"

namespace quandor {

namespace {

// The nine fields of one CSV line, in file order.
struct CsvFields {
    QString f[9];
};

CsvFields csvFields(const Record& item, const QLocale& locale, csv::Charset charset) {
    using csv::Field;
    auto cell = [charset](const QString& text, Field field) {
        return csv::cell(text, field, charset);
    };
    CsvFields r;
    r.f[0] = cell(shortDateText(item.date(keys::date), locale), Field::Formatted);
    r.f[1] = cell(item.text(keys::misc1), Field::Stored);
    r.f[2] = cell(item.text(keys::title), Field::Typed);
    r.f[3] = cell(item.text(keys::number), Field::Stored);
    r.f[4] = cell(item.text(keys::group), Field::Typed);
    r.f[5] = cell(item.text(keys::accountNumber), Field::Stored);
    r.f[6] = cell(item.text(keys::account), Field::Typed);
    if (item.flag(keys::taxBool)) {
        // Both variants print the rate as the rate text ("19,00 %"); it is not
        // cleaned as typed text, which would split its decimal comma into " | ".
        r.f[7] = cell(rateText(item.real(keys::taxPerecent), locale), Field::Formatted);
    }
    r.f[8] = cell(amountText(item.real(keys::finalAmount), locale), Field::Formatted);
    return r;
}

void appendQuoted(QString& out, const QString& field) {
    out += QLatin1Char('"');
    out += field;
    out += QLatin1Char('"');
}

}  // namespace

QString xmlEscaped(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        switch (u) {
            case u'&':
                out += QStringLiteral("&amp;");
                break;
            case u'<':
                out += QStringLiteral("&lt;");
                break;
            case u'>':
                out += QStringLiteral("&gt;");
                break;
            default:
                if (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r')
                    break;  // not allowed in XML
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

QString csvString(const ItemRefs& items, const QLocale& locale, csv::Charset charset) {
    QString out;
    out.reserve(qsizetype(items.size()) * 100);
    for (const Record* item : items) {
        const CsvFields r = csvFields(*item, locale, charset);
        for (int i = 0; i < 9; ++i) {
            if (i > 0) out += QLatin1Char(',');
            appendQuoted(out, r.f[i]);
        }
        out += QLatin1Char('\n');
    }
    return zapGremlinsInString(out);
}

QString csvStringMac(const ItemRefs& items, const QLocale& locale, csv::Charset charset) {
    QString out;
    out.reserve(qsizetype(items.size()) * 110);
    int n = 0;
    for (const Record* item : items) {
        const CsvFields r = csvFields(*item, locale, charset);
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
    return csv::encode(text, csv::Charset::Windows1252);
}

}  // namespace quandor
