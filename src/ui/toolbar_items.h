#pragma once
// The toolbar vocabulary of the main window: every item the toolbar can hold,
// the set a new installation shows and what the customisation palette offers.
// Plain data, so the table is tested without a window.

#include <QString>
#include <QStringList>

#include <functional>
#include <span>

namespace quandor::ui {

// The main window button an item presses (or the calculator, which has none).
enum class ToolbarAction {
    List,          // listButtonAction: new statement
    Year,          // yearButtonAction: new year
    AddItem,       // addItemButtonAction
    DeleteItem,    // deleteItemButtonAction
    Calculator,    // calculatorButtonAction
    Print,         // printButtonAction
    Export,        // exportButtonAction
    Journal,       // journalButtonAction: reports
    Search,        // searchButtonAction
    Voranmeldung,  // voranmeldungButtonAction
    Kassenbuch,    // kassenbuchButtonAction
    Uebersicht,    // ubersichtButtonAction
};

struct ToolbarItemSpec {
    const char16_t* identifier;
    const char16_t* label;  // also the palette label
    const char16_t* toolTip;
    const char16_t* iconName;
    ToolbarAction action;
};

// Layout entries that are no program item.
inline constexpr char16_t kSeparatorIdentifier[] = u"SeparatorItemIdentifier";
inline constexpr char16_t kSpaceIdentifier[] = u"SpaceItemIdentifier";
inline constexpr char16_t kFlexibleSpaceIdentifier[] = u"FlexibleSpaceItemIdentifier";

// The settings key that keeps the person's toolbar (a list of identifiers).
inline constexpr char16_t kToolbarSettingsKey[] = u"toolbarItemIdentifiers";

// All twelve program items, in table order.
std::span<const ToolbarItemSpec> toolbarItems();
// The item with that identifier, or nullptr (layout entries and unknown names).
const ToolbarItemSpec* findToolbarItem(QStringView identifier);
bool isLayoutIdentifier(QStringView identifier);

// The fifteen entries of a new installation, left to right.
QStringList defaultToolbarIdentifiers();
// What the customisation palette offers: ten program items, then separator,
// space and flexible space. Drucken and Exportieren are in neither list.
QStringList paletteIdentifiers();

// A stored toolbar cleaned for use: unknown identifiers and items the palette
// does not offer are dropped; program items appear at most once. No stored
// list gives the default set; a stored empty list stays empty (the person
// removed everything).
QStringList sanitizedToolbarIdentifiers(const QStringList& stored, bool storedPresent);

}  // namespace quandor::ui

namespace quandor::ui {

// The calculators tried, in this order, on PATH.
QStringList calculatorCandidates();
// The first candidate `findExecutable` knows (it returns the full path or
// empty text); empty when there is none.
QString firstCalculator(const std::function<QString(const QString&)>& findExecutable);

// What the toolbar keeps in the settings store: identifiers joined by ",".
QString joinToolbarIdentifiers(const QStringList& identifiers);
QStringList splitToolbarIdentifiers(const QString& stored);

}  // namespace quandor::ui
