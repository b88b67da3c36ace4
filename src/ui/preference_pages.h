#pragma once
// The seven pages of the preference window, in toolbar order.

#include <QString>

#include <span>

namespace quandor::ui {

struct PreferencePageSpec {
    const char16_t* identifier;
    const char16_t* label;
    const char16_t* windowTitle;
    const char16_t* toolTip;
    const char16_t* iconName;
};

std::span<const PreferencePageSpec> preferencePages();
// The page's position in the toolbar, or -1.
int preferencePageIndex(QStringView identifier);

// The kinds of taxation ("prefsUseTaxesGlobal"); 1 is the default.
struct TaxationChoice {
    int value;
    const char16_t* name;
};
std::span<const TaxationChoice> taxationChoices();

}  // namespace quandor::ui
