#include "ui/preference_pages.h"

#include <array>

namespace quandor::ui {

namespace {

constexpr std::array<PreferencePageSpec, 7> kPages{{
    {u"GeneralItemIdentifier", u"Allgemein", u"Einstellungen - Allgemein",
     u"Hier klicken um Änderungen an den allgemeinen Einstellungen vorzunehmen",
     u"prefsGeneralTemplate"},
    {u"CategoriesItemIdentifier", u"Kategorien", u"Einstellungen - Kategorien",
     u"Hier klicken um Kategorien anzulegen und zu bearbeiten", u"prefsGroupsTemplate"},
    {u"AccountsItemIdentifier", u"Konten", u"Einstellungen - Konten",
     u"Hier klicken um Konten anzulegen und zu bearbeiten", u"prefsBankTemplate"},
    {u"TemplatesItemIdentifier", u"Vorlagen", u"Einstellungen - Vorlagen",
     u"Hier klicken um Vorlagen anzulegen und zu bearbeiten", u"prefsTemplatesTemplate"},
    {u"DataItemIdentifier", u"Daten", u"Einstellungen - Daten",
     u"Hier klicken um Änderungen an den Daten Einstellungen vorzunehmen", u"prefsDataTemplate"},
    {u"AccountItemIdentifier", u"Benutzer", u"Einstellungen - Benutzer",
     u"Hier klicken um Änderungen an den Benutzer Einstellungen vorzunehmen",
     u"prefsAccountsTemplate"},
    {u"DatevItemIdentifier", u"Datev", u"Einstellungen - Datev",
     u"Hier klicken um Änderungen an den Datev Einstellungen vorzunehmen", u"prefsDatevTemplate"},
}};

constexpr std::array<TaxationChoice, 3> kTaxation{{
    {0, u"Kleinunternehmer (keine Umsatzsteuer)"},
    {1, u"Ist-Versteuerung (vereinnahmte Entgelte)"},
    {2, u"Soll-Versteuerung (vereinbarte Entgelte)"},
}};

}  // namespace

std::span<const PreferencePageSpec> preferencePages() {
    return kPages;
}

int preferencePageIndex(QStringView identifier) {
    for (size_t i = 0; i < kPages.size(); ++i)
        if (identifier == QStringView(kPages[i].identifier)) return int(i);
    return -1;
}

std::span<const TaxationChoice> taxationChoices() {
    return kTaxation;
}

}  // namespace quandor::ui
