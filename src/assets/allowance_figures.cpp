#include "assets/allowance_figures.h"

#include "core/keys.h"

#include <QDateTime>

#include <cmath>

namespace quandor {

const QString kMonthlyRuleMark = QStringLiteral("monatsgenau");

namespace {

QDateTime localTime(const Date& date) {
    return QDateTime::fromMSecsSinceEpoch(qint64(std::floor(date.toUnix() * 1000.0))).toLocalTime();
}

// The day before the first of the purchase month `years` years on, at the
// purchase's time of day.
Date monthlyEnd(const Date& bought, int years) {
    const QDateTime at = localTime(bought);
    const QDate first(at.date().year(), at.date().month(), 1);
    const QDateTime end(first.addMonths(12 * years).addDays(-1), at.time());
    return Date{bought.sinceReference +
                double(end.toMSecsSinceEpoch() - at.toMSecsSinceEpoch()) / 1000.0};
}

}  // namespace

AllowanceFigures allowanceFigures(const Record& item, int years, AllowanceRule rule) {
    AllowanceFigures f;
    // The item keeps an expense negative; the sign change goes through 64 bits.
    f.netto = static_cast<float>(-static_cast<double>(item.real(keys::expenseWithout)));
    f.tax = item.real(keys::taxFee);
    f.rate = f.netto / static_cast<float>(years);
    f.title = item.text(keys::title);
    const Date bought = item.date(keys::date);
    if (rule == AllowanceRule::Monthly) {
        const int months = 13 - monthOf(bought);
        f.firstShare = months == 12 ? f.rate : f.rate * static_cast<float>(months) / 12.0f;
        f.endDate = years > 0 ? monthlyEnd(bought, years) : bought;
    } else {
        f.firstShare = f.rate;
        // Whole days of 24 hours: a period over a 29 February ends a day before its anniversary.
        f.endDate = Date{bought.sinceReference + static_cast<double>(years) * 365.0 * 86400.0};
    }
    f.compensationAmount = f.netto - f.firstShare;
    return f;
}

int monthOf(const Date& date) {
    return localTime(date).date().month();
}

AllowanceRule allowanceRule(const Record& record) {
    return record.text(keys::misc1) == kMonthlyRuleMark ? AllowanceRule::Monthly
                                                        : AllowanceRule::WholeYears;
}

float allowanceShare(const Record& record, int year) {
    const float rate = record.real(keys::sumPerYear);
    if (allowanceRule(record) != AllowanceRule::Monthly) return rate;
    bool createdOk = false, dueOk = false;
    const int created = record.text(keys::creationYear).toInt(&createdOk);
    const int due = record.text(keys::dueYear).toInt(&dueOk);
    // A damaged record (years far apart) books the rate rather than counting on.
    if (!createdOk || !dueOk || year != due || due <= created || due - created > 100) return rate;
    // The last year takes what the earlier years left: the book value after
    // the purchase year's share and one rate per year in between.
    const int months = 13 - monthOf(record.date(keys::date));
    const float first = months == 12 ? rate : rate * static_cast<float>(months) / 12.0f;
    float rest = record.real(keys::sumComplete) - first;
    for (int y = created + 1; y < due; ++y) rest = rest - rate;
    return rest;
}

QString yearText(const Date& date) {
    return localTime(date).date().toString(QStringLiteral("yyyy"));
}

QString yearsText(long years) {
    return years <= 1 ? QStringLiteral("1 Jahr") : QStringLiteral("%1 Jahre").arg(years);
}

}  // namespace quandor
