#pragma once
// Small rules of the main window, kept free of widgets so they are tested alone.

#include "core/record.h"

#include <QString>

#include <cstdint>

namespace quandor::ui {

// The first-steps guide picture: while the first steps are not done, "jaImage"
// picks it (2 → "ja2", 3 → "ja3", 4 → "ja4", 5 → none, anything else → "ja1").
// Once they are done there is no picture. Empty text means no picture.
QString guideImageName(bool firstStepsDone, int64_t jaImage);

struct Rgb {
    double red, green, blue;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kSumPositiveColor{0.133, 0.358, 0.0};
inline constexpr Rgb kSumNegativeColor{0.528440, 0.083141, 0.088046};

// The item sheet's sign label and amount field: red for expenses, dark green
// for income (the sum field's two colours).
inline constexpr Rgb kExpenseColor{0.52844, 0.083141, 0.088046};
inline constexpr Rgb kIncomeColor{0.133, 0.358, 0.0};

// The sum field's colour: green when the sum's whole-number value (the amount
// with its fraction cut off) is 0 or more, red below 0. So -0,50 shows green,
// exactly like a sum of 0.
Rgb sumColor(float sum);

// The sum of "finalAmount" over the listed items, added in list order in
// single precision like every money figure of the program.
float finalAmountSum(const RecordList& items, const std::vector<uint32_t>* rows = nullptr);

// Money text with the locale's separators: "1.234,56", "-0,50".
QString moneyText(float value);

}  // namespace quandor::ui

namespace quandor {
class Settings;
}

namespace quandor::ui {

// The main window's one-time defaults (guarded by "firstStartEver"): both rates,
// both rate names, the currency and the kind of taxation. Returns true when it
// wrote them (the windows are then centred). Clearing "firstStartEver" makes the
// next start write them again, over the person's values.
bool applyFirstWindowDefaults(Settings& settings);

}  // namespace quandor::ui
