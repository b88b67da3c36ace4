#include "assets/allowance_figures.h"

#include "core/keys.h"

#include <QDateTime>

#include <cmath>

namespace quandor {

AllowanceFigures allowanceFigures(const Record& item, int years) {
    AllowanceFigures f;
    // The item keeps an expense negative; the sign change goes through 64 bits.
    f.netto = static_cast<float>(-static_cast<double>(item.real(keys::expenseWithout)));
    f.tax = item.real(keys::taxFee);
    f.rate = f.netto / static_cast<float>(years);
    f.compensationAmount = f.netto - f.rate;
    f.title = item.text(keys::title);
    const Date bought = item.date(keys::date);
    // Whole days of 24 hours: a period over a 29 February ends a day before its anniversary.
    f.endDate = Date{bought.sinceReference + static_cast<double>(years) * 365.0 * 86400.0};
    return f;
}

QString yearText(const Date& date) {
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(qint64(std::floor(date.toUnix() * 1000.0))).toLocalTime();
    return at.date().toString(QStringLiteral("yyyy"));
}

QString yearsText(long years) {
    return years <= 1 ? QStringLiteral("1 Jahr") : QStringLiteral("%1 Jahre").arg(years);
}

}  // namespace quandor
