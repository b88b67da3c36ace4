#include "core/number_texts.h"

#include "core/settings.h"
#include "core/settings_keys.h"

#include <QDateTime>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace quandor {

namespace {

// "-1234.50" → "-1.234,50" (grouped) or "-1234,50".
QString localise(float value, bool grouped, const QLocale& locale) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", double(value));
    const QString plain = QString::fromLatin1(buf);
    if (!std::isfinite(value)) return plain;
    const bool negative = plain.startsWith(u'-');
    const qsizetype dot = plain.indexOf(u'.');
    const QString digits = plain.mid(negative ? 1 : 0, dot - (negative ? 1 : 0));
    const QString decimals = plain.mid(dot + 1);

    QString integer;
    if (grouped && digits.size() > 3) {
        const QString group = locale.groupSeparator();
        const qsizetype head = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
        integer = digits.left(head);
        for (qsizetype i = head; i < digits.size(); i += 3) integer += group + digits.mid(i, 3);
    } else {
        integer = digits;
    }
    QString text = negative ? locale.negativeSign() : QString();
    text += integer;
    text += locale.decimalPoint();
    text += decimals;
    return text;
}

constexpr std::array<CurrencyChoice, 5> kCurrencies{{
    {u"Euro (€)", u"€"},
    {u"Schweizer Franken (CHF)", u"CHF"},
    {u"US-Dollar ($)", u"$"},
    {u"Britisches Pfund (£)", u"£"},
    {u"Euro (EUR)", u"EUR"},
}};

// The locale's short date pattern with a four-digit year.
QString mediumPattern(const QLocale& locale) {
    QString pattern = locale.dateFormat(QLocale::ShortFormat);
    if (!pattern.contains(QStringLiteral("yyyy")))
        pattern.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return pattern;
}

bool allDigits(QStringView text) {
    if (text.isEmpty()) return false;
    for (QChar c : text)
        if (!c.isDigit() || c.unicode() > 0x7f) return false;
    return true;
}

// True when `parts` (split at one separator) read as thousands groups:
// a first group of 1 to 3 digits not starting with 0, then groups of exactly 3.
bool looksGrouped(const QStringList& parts) {
    if (parts.size() < 2) return false;
    const QString& first = parts.front();
    if (first.isEmpty() || first.size() > 3 || !allDigits(first)) return false;
    if (first.size() > 1 && first.front() == u'0') return false;
    if (first == QStringLiteral("0")) return false;
    for (qsizetype i = 1; i < parts.size(); ++i)
        if (parts[i].size() != 3 || !allDigits(parts[i])) return false;
    return true;
}

}  // namespace

QDate localDay(const Date& date) {
    return QDateTime::fromMSecsSinceEpoch(qint64(std::floor(date.toUnix() * 1000.0)))
        .toLocalTime()
        .date();
}

QString amountText(float value, const QLocale& locale) {
    return localise(value, std::fabs(value) >= 1000.0f, locale);
}

QString paymentAmountText(float value, const QLocale& locale) {
    return localise(value, value >= 1000.0f, locale);
}

QString plainAmountText(float value, const QLocale& locale) {
    return localise(value, false, locale);
}

QString rateText(float percent, const QLocale& locale) {
    return localise(percent, false, locale) + QStringLiteral(" %");
}

QString moneyCell(float value, const QString& currency, const QLocale& locale) {
    return amountText(value, locale) + u' ' + currency;
}

QString mediumDateText(const Date& date, const QLocale& locale) {
    return locale.toString(localDay(date), mediumPattern(locale));
}

QString shortDateText(const Date& date, const QLocale& locale) {
    return locale.toString(localDay(date), QLocale::ShortFormat);
}

std::span<const CurrencyChoice> currencyChoices() {
    return kCurrencies;
}

QString currencySymbol(qint64 index) {
    if (index < 0 || size_t(index) >= kCurrencies.size()) index = 0;
    return QString::fromUtf16(kCurrencies[size_t(index)].symbol);
}

QString currencyText(const Settings& settings) {
    if (!settings.getBool(prefs::prefsPrintCurrency)) return {};
    return currencySymbol(settings.getInt(prefs::prefsCurrency));
}

float parseAmount(const QString& input, bool* ok, const QLocale& locale) {
    if (ok) *ok = false;
    QString text;
    for (QChar c : input)
        if (!c.isSpace() && c != u'€') text += c;
    if (text.isEmpty()) return 0.0f;

    QString sign;
    if (text.front() == u'-' || text.front() == u'+' || text.front() == u'\u2212') {
        sign = text.front() == u'+' ? QString() : QStringLiteral("-");
        text.remove(0, 1);
    }
    const QChar decimal = locale.decimalPoint().size() == 1 ? locale.decimalPoint().front() : u'.';
    const qsizetype lastDot = text.lastIndexOf(u'.');
    const qsizetype lastComma = text.lastIndexOf(u',');

    QString integer = text;
    QString fraction;
    if (lastDot >= 0 && lastComma >= 0) {
        // Both appear: the later one separates the decimals, the other groups.
        const QChar sep = lastDot > lastComma ? u'.' : u',';
        const QChar group = sep == u'.' ? u',' : u'.';
        const qsizetype at = text.lastIndexOf(sep);
        integer = text.left(at);
        fraction = text.mid(at + 1);
        if (!looksGrouped(integer.split(group)) && !allDigits(integer)) return 0.0f;
        integer.remove(group);
    } else if (lastDot >= 0 || lastComma >= 0) {
        const QChar sep = lastDot >= 0 ? u'.' : u',';
        const QStringList parts = text.split(sep);
        // One separator is a decimal point when it is the locale's own, or
        // when what follows cannot be a thousands group; several are groups.
        const bool grouping = parts.size() > 2 || (sep != decimal && looksGrouped(parts));
        if (grouping) {
            if (!looksGrouped(parts)) return 0.0f;
            integer = parts.join(QString());
        } else {
            integer = parts[0];
            fraction = parts[1];
        }
    }
    if (integer.isEmpty() && fraction.isEmpty()) return 0.0f;
    if ((!integer.isEmpty() && !allDigits(integer)) ||
        (!fraction.isEmpty() && !allDigits(fraction)))
        return 0.0f;

    const QByteArray plain = (sign + (integer.isEmpty() ? QStringLiteral("0") : integer) + u'.' +
                              (fraction.isEmpty() ? QStringLiteral("0") : fraction))
                                 .toLatin1();
    const float value = std::strtof(plain.constData(), nullptr);
    if (!std::isfinite(value)) return 0.0f;
    if (ok) *ok = true;
    return value;
}

}  // namespace quandor
