#pragma once
// Number and date texts of the statement pages and exports.
// TEMPORARY: forwards to the shared number texts once they are in this branch.

#include "core/value.h"

#include <QLocale>
#include <QString>

namespace quandor::printtexts {

QString amountText(float v, const QLocale& locale);
QString paymentAmountText(float v, const QLocale& locale);
QString rateText(float rate, const QLocale& locale);
QString moneyCell(float v, const QString& currency, const QLocale& locale);
QString mediumDate(Date d, const QLocale& locale);
QString shortDate(Date d, const QLocale& locale);

}  // namespace quandor::printtexts
