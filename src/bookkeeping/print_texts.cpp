#include "bookkeeping/print_texts.h"

#include <QDateTime>
#include <cmath>

namespace quandor::printtexts {

namespace {
QString fixed2(float v, const QLocale& locale, bool grouped) {
    QLocale l = locale;
    l.setNumberOptions(grouped ? QLocale::DefaultNumberOptions : QLocale::OmitGroupSeparator);
    QString t = l.toString(double(v), 'f', 2);
    if (t.startsWith(l.negativeSign()) && std::fabs(double(v)) < 0.005) t.remove(0, l.negativeSign().size());
    return t;
}
QDate dateOf(Date d) { return QDateTime::fromSecsSinceEpoch(qint64(std::floor(d.toUnix()))).date(); }
}  // namespace

QString amountText(float v, const QLocale& locale) { return fixed2(v, locale, std::fabs(v) >= 1000.0f); }
QString paymentAmountText(float v, const QLocale& locale) { return fixed2(v, locale, v >= 1000.0f); }
QString rateText(float rate, const QLocale& locale) { return fixed2(rate, locale, false) + QStringLiteral(" %"); }
QString moneyCell(float v, const QString& currency, const QLocale& locale) {
    return amountText(v, locale) + QLatin1Char(' ') + currency;
}
QString mediumDate(Date d, const QLocale& locale) { return locale.toString(dateOf(d), QStringLiteral("dd.MM.yyyy")); }
QString shortDate(Date d, const QLocale& locale) { return locale.toString(dateOf(d), QStringLiteral("dd.MM.yy")); }

}  // namespace quandor::printtexts
