#include "ui/main_window_rules.h"

#include "core/keys.h"

#include <QLocale>

#include <cmath>

namespace quandor::ui {

QString guideImageName(bool firstStepsDone, int64_t jaImage) {
    if (firstStepsDone) return {};
    switch (jaImage) {
        case 2:
            return QStringLiteral("ja2");
        case 3:
            return QStringLiteral("ja3");
        case 4:
            return QStringLiteral("ja4");
        case 5:
            return {};
        default:
            return QStringLiteral("ja1");
    }
}

Rgb sumColor(float sum) {
    // Cut the fraction off; NaN counts as 0, infinities keep their sign.
    const double whole = std::isnan(sum) ? 0.0 : std::trunc(double(sum));
    return whole >= 0.0 ? kSumPositiveColor : kSumNegativeColor;
}

float finalAmountSum(const RecordList& items, const std::vector<uint32_t>* rows) {
    float sum = 0.0f;
    if (rows) {
        for (uint32_t row : *rows) {
            if (row < items.size() && items[row]) sum += items[row]->real(keys::finalAmount);
        }
    } else {
        for (const auto& item : items) {
            if (item) sum += item->real(keys::finalAmount);
        }
    }
    return sum;
}

QString moneyText(float value) {
    QLocale locale;
    if (locale.language() == QLocale::C) locale = QLocale(QLocale::German, QLocale::Germany);
    QString text = locale.toString(double(value), 'f', 2);
    // A tiny negative amount rounds to "-0,00"; show it as "0,00" like the pattern does.
    if (text.startsWith(locale.negativeSign()) && std::fabs(value) < 0.005f)
        text.remove(0, locale.negativeSign().size());
    return text;
}

}  // namespace quandor::ui

#include "core/app_delegate.h"
#include "core/settings.h"
#include "core/settings_keys.h"

namespace quandor::ui {

bool applyFirstWindowDefaults(Settings& settings) {
    return QuandorAppDelegate::applyFirstWindowDefaults(settings);
}

}  // namespace quandor::ui
