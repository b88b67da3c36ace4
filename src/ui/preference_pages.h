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

// The currencies of the currency selector ("prefsCurrency" is the index) and
// the text prints put after amounts.
struct CurrencyChoice {
    const char16_t* name;
    const char16_t* symbol;
};
std::span<const CurrencyChoice> currencyChoices();
// The currency text of a stored index; the first currency for an index out of range.
QString currencySymbol(qint64 index);

// The kinds of taxation ("prefsUseTaxesGlobal"); 1 is the default.
struct TaxationChoice {
    int value;
    const char16_t* name;
};
std::span<const TaxationChoice> taxationChoices();

}  // namespace quandor::ui
