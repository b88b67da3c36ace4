#pragma once
// Number and date texts shared by every window, page and export: money
// amounts, VAT rates, money cells and dates in the person's locale, and the
// reading of amounts typed by hand.
//
// All texts use QLocale's default (set once at start-up from --locale or the
// environment; de_DE when neither names one) unless a locale is passed.
//
//   amountText(1234.5f)        "1.234,50"    grouped from 1000 in magnitude
//   amountText(-12.5f)         "-12,50"
//   paymentAmountText(-1500)   "-1500,00"    grouped only from +1000 up
//   plainAmountText(1234.5f)   "1234,50"     never grouped
//   rateText(19)               "19,00 %"
//   moneyCell(12.5f, "€")      "12,50 €"     (with an empty currency: "12,50 ")
//
// Two decimals are cut from the exact binary value of the float, ties to
// even, so a figure prints the same on every machine.

#include "core/value.h"

#include <QDate>
#include <QLocale>
#include <QString>

#include <span>

namespace quandor {

class Settings;

QString amountText(float value, const QLocale& locale = QLocale());
QString paymentAmountText(float value, const QLocale& locale = QLocale());
QString plainAmountText(float value, const QLocale& locale = QLocale());
QString rateText(float percent, const QLocale& locale = QLocale());
QString moneyCell(float value, const QString& currency, const QLocale& locale = QLocale());

// Dates in local time, without the time of day: medium style for page dates
// (05.12.2013), short style for item dates (05.12.13).
// The local calendar day of a record date.
QDate localDay(const Date& date);

QString mediumDateText(const Date& date, const QLocale& locale = QLocale());
QString shortDateText(const Date& date, const QLocale& locale = QLocale());

// The currencies of the currency selector ("prefsCurrency" is the index).
struct CurrencyChoice {
    const char16_t* name;
    const char16_t* symbol;
};
std::span<const CurrencyChoice> currencyChoices();
// The currency text of a stored index; the first currency for an index out of range.
QString currencySymbol(qint64 index);
// What prints put after amounts: the chosen currency when "prefsPrintCurrency"
// is set, else nothing.
QString currencyText(const Settings& settings);

// Reads an amount typed by hand: the locale's decimal separator or a plain
// ".", thousands separators, a leading sign, blanks and a trailing "€".
// Anything else is not a number and reads as 0 (ok is false then, and also
// for an empty text).
float parseAmount(const QString& text, bool* ok = nullptr, const QLocale& locale = QLocale());

}  // namespace quandor
