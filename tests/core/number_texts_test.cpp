#include "core/number_texts.h"

#include "core/settings.h"
#include "core/settings_keys.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

using namespace quandor;

namespace {

const QLocale de(QLocale::German, QLocale::Germany);
const QLocale us(QLocale::English, QLocale::UnitedStates);

}  // namespace

TEST(NumberTexts, AmountsGroupFromAThousandInMagnitude) {
    EXPECT_EQ(amountText(1234.56f, de), "1.234,56");
    EXPECT_EQ(amountText(12.5f, de), "12,50");
    EXPECT_EQ(amountText(-3.0f, de), "-3,00");
    EXPECT_EQ(amountText(0.0f, de), "0,00");
    EXPECT_EQ(amountText(1000.0f, de), "1.000,00");
    EXPECT_EQ(amountText(-1000.0f, de), "-1.000,00");
    EXPECT_EQ(amountText(999.99f, de), "999,99");
    EXPECT_EQ(amountText(1234567.0f, de), "1.234.567,00");
    EXPECT_EQ(amountText(-98765.4f, de), "-98.765,40");
    EXPECT_EQ(amountText(1234.56f, us), "1,234.56");
    // Just under 1000 rounds up but keeps the plain pattern.
    EXPECT_EQ(amountText(999.999f, de), "1000,00");
}

TEST(NumberTexts, TwoDecimalsFromTheExactFloat) {
    // 0.125 is exact: ties go to even. 1.005f is 1.00499999…: down.
    EXPECT_EQ(amountText(0.125f, de), "0,12");
    EXPECT_EQ(amountText(0.375f, de), "0,38");
    EXPECT_EQ(amountText(1.005f, de), "1,00");
    EXPECT_EQ(amountText(15.966385f, de), "15,97");
    EXPECT_EQ(amountText(-0.015625f, de), "-0,02");
    // 167772.17 is stored as 167772.171875.
    EXPECT_EQ(amountText(167772.17f, de), "167.772,17");
}

TEST(NumberTexts, PaymentAndPlainAmountsRatesAndMoneyCells) {
    EXPECT_EQ(paymentAmountText(1500.0f, de), "1.500,00");
    EXPECT_EQ(paymentAmountText(-1500.0f, de), "-1500,00");
    EXPECT_EQ(plainAmountText(1234.56f, de), "1234,56");
    EXPECT_EQ(plainAmountText(-15.11f, de), "-15,11");
    EXPECT_EQ(plainAmountText(1234.56f, us), "1234.56");
    EXPECT_EQ(rateText(19.0f, de), "19,00 %");
    EXPECT_EQ(rateText(7.0f, de), "7,00 %");
    EXPECT_EQ(rateText(19.0f, us), "19.00 %");
    EXPECT_EQ(moneyCell(12.5f, "€", de), "12,50 €");
    EXPECT_EQ(moneyCell(1234.5f, "", de), "1.234,50 ");
}

TEST(NumberTexts, CurrencyTextFollowsTheSettings) {
    QTemporaryDir dir;
    Settings settings(dir.filePath("s.conf"));
    EXPECT_EQ(currencyText(settings), "");
    settings.setBool(prefs::prefsPrintCurrency, true);
    EXPECT_EQ(currencyText(settings), "€");
    settings.setInt(prefs::prefsCurrency, 1);
    EXPECT_EQ(currencyText(settings), "CHF");
    settings.setInt(prefs::prefsCurrency, 99);
    EXPECT_EQ(currencyText(settings), "€");
    EXPECT_EQ(currencySymbol(-1), "€");
}

TEST(NumberTexts, DatesInLocalTime) {
    qputenv("TZ", "Europe/Berlin");
    tzset();
    // 2013-12-05 23:30 UTC is already the 6th in Berlin.
    const Date late =
        Date::fromUnix(QDateTime(QDate(2013, 12, 5), QTime(23, 30), Qt::UTC).toSecsSinceEpoch());
    EXPECT_EQ(mediumDateText(late, de), "06.12.2013");
    EXPECT_EQ(shortDateText(late, de), "06.12.13");
    const Date noon =
        Date::fromUnix(QDateTime(QDate(2013, 12, 5), QTime(12, 0), Qt::UTC).toSecsSinceEpoch());
    EXPECT_EQ(mediumDateText(noon, de), "05.12.2013");
    EXPECT_EQ(mediumDateText(noon, us), "12/5/2013");
}

TEST(NumberTexts, ReadingTypedAmounts) {
    struct Case {
        const char* text;
        float value;
        bool ok;
    };
    const Case german[] = {
        {"12,50", 12.5f, true},
        {"12.50", 12.5f, true},
        {"1.234,56", 1234.56f, true},
        {"1234,56", 1234.56f, true},
        {"1.234.567", 1234567.0f, true},
        {"1.234", 1234.0f, true},
        {"0.125", 0.125f, true},
        {"1234.5", 1234.5f, true},
        {"1,234.56", 1234.56f, true},
        {"-3,5", -3.5f, true},
        {" 19,99 € ", 19.99f, true},
        {",5", 0.5f, true},
        {"167772,17", 167772.17f, true},
        {"", 0.0f, false},
        {"abc", 0.0f, false},
        {"12abc", 0.0f, false},
        {"1,2,3", 0.0f, false},
        {"-", 0.0f, false},
        {"1e5", 0.0f, false},
        {"12.34.5", 0.0f, false},
        {"1.23,4.5", 0.0f, false},
    };
    for (const Case& c : german) {
        bool ok = true;
        const float value = parseAmount(QString::fromUtf8(c.text), &ok, de);
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(ok, c.ok) << c.text;
    }
    bool ok = false;
    EXPECT_EQ(parseAmount("1,234.56", &ok, us), 1234.56f);
    EXPECT_EQ(parseAmount("12,50", &ok, us), 12.5f);
    EXPECT_EQ(parseAmount("1,234", &ok, us), 1234.0f);
    EXPECT_EQ(parseAmount("99999999999999999999999999999999999999999", &ok, de), 0.0f);
    EXPECT_FALSE(ok);
}
