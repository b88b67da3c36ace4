#include "bookkeeping/add_controller.h"

#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"

#include <algorithm>

namespace quandor {

const QString AddController::kErrorTitle = QStringLiteral("Fehler!");
const QString AddController::kNoYearName = QStringLiteral("Es ist kein Jahr ausgewählt.");
const QString AddController::kNoListTitle = QStringLiteral("Es ist kein Zeitraum ausgewählt.");
const QString AddController::kNoYearForList = QStringLiteral("Du musst erst ein Jahr anlegen.");
const QString AddController::kDeleteYearTitle = QStringLiteral("Jahr löschen");
const QString AddController::kDeleteYearMessage = QStringLiteral(
    "Diese Aktion kann nicht rückgängig gemacht werden. Möchtest du wirklich das ausgewählte Jahr "
    "löschen?");
const QString AddController::kDeleteListTitle = QStringLiteral("Abrechnung löschen");
const QString AddController::kDeleteListMessage = QStringLiteral(
    "Diese Aktion kann nicht rückgängig gemacht werden. Möchtest du wirklich die ausgewählte "
    "Abrechnung "
    "löschen?");
const QString AddController::kDeleteButton = QStringLiteral("Löschen");
const QString AddController::kCancelButton = QStringLiteral("Abbrechen");

namespace {

// The first-steps guide picture while the year sheet opens, and after it.
constexpr int kGuideYearSheet = 5;
constexpr int kGuideYearAdded = 3;
constexpr int kGuideListAdded = 4;

// A name of 0 or 1 characters is no choice from the sheet's pop-up.
bool isChosen(const QString& name) {
    return name.size() > 1;
}

}  // namespace

AddController::AddController(QuandorAppDelegate& app) : app_(app) {}

const QStringList& AddController::periodNames() {
    static const QStringList names = {
        QStringLiteral("Januar"),
        QStringLiteral("Februar"),
        QStringLiteral("März"),
        QStringLiteral("April"),
        QStringLiteral("Mai"),
        QStringLiteral("Juni"),
        QStringLiteral("Juli"),
        QStringLiteral("August"),
        QStringLiteral("September"),
        QStringLiteral("Oktober"),
        QStringLiteral("November"),
        QStringLiteral("Dezember"),
        QStringLiteral("1. Kalendervierteljahr"),
        QStringLiteral("2. Kalendervierteljahr"),
        QStringLiteral("3. Kalendervierteljahr"),
        QStringLiteral("4. Kalendervierteljahr"),
        QStringLiteral("Jahr"),
    };
    return names;
}

QStringList AddController::yearNames(int current) {
    QStringList names;
    for (int y = current - 5; y <= current + 1; ++y) names << QString::number(y);
    return names;
}

// ---- years --------------------------------------------------------------------

void AddController::addYear() {
    if (sheetIsOpen()) {
        app_.ui().beep();
        return;
    }
    Settings& settings = app_.settings();
    settings.setInt(prefs::jaImage, kGuideYearSheet);
    settings.setBool(prefs::firstYearSet, true);
    settings.setInt(prefs::jaImage, kGuideYearAdded);
    settings.setInt(prefs::prefsSelectedYearTabTag, 0);

    Selection& selection = app_.selection();
    rememberSelection();
    app_.database().years.push_back(Record::create(RecordClass::Year, app_.nowStamp()));
    app_.noteChanged();
    selection.setYearIndex(static_cast<int>(app_.database().years.size()) - 1);
    selection.refresh();
    openSheet(SheetKind::Year, app_.database().years.back(), true);
}

void AddController::setYearName(const QString& name) {
    if (sheet_.kind != SheetKind::Year) return;
    sheet_.record->set(keys::dateValue, name);
    app_.noteChanged();
}

bool AddController::closeYear() {
    return closeSheet(SheetKind::Year, keys::dateValue, kNoYearName);
}

void AddController::cancelYear() {
    cancelSheet(SheetKind::Year);
}

void AddController::editYear() {
    if (sheetIsOpen()) return;
    RecordPtr year = app_.selection().selectedYear();
    if (!year) {
        app_.ui().beep();
        return;
    }
    app_.settings().setInt(prefs::prefsSelectedYearTabTag, 0);
    openSheet(SheetKind::Year, year, false);
}

void AddController::deleteYear() {
    if (sheetIsOpen()) return;
    Selection& selection = app_.selection();
    RecordPtr year = selection.selectedYear();
    if (!year) {
        app_.ui().beep();
        return;
    }
    if (!askDelete(kDeleteYearTitle, kDeleteYearMessage)) return;
    RecordList& years = app_.database().years;
    const int index = selection.yearIndex();
    years.erase(years.begin() + index);  // its statements and their items go with it
    app_.noteChanged();
    // The row that moved up into the deleted one's place, else the new last row.
    selection.setYearIndex(std::min(index, static_cast<int>(years.size()) - 1));
    selection.refresh();
}

// ---- statements -----------------------------------------------------------------

void AddController::addList() {
    if (sheetIsOpen()) {
        app_.ui().beep();
        return;
    }
    Settings& settings = app_.settings();
    settings.setBool(prefs::firstListSet, true);
    settings.setInt(prefs::jaImage, kGuideListAdded);

    Selection& selection = app_.selection();
    RecordPtr year = selection.selectedYear();
    if (!year) {
        fail(kNoYearForList);
        return;
    }
    settings.setInt(prefs::prefsSelectedTabTabTag, 0);
    rememberSelection();
    newListYear_ = year;
    year->thelists().push_back(Record::create(RecordClass::Thelist, app_.nowStamp()));
    app_.noteChanged();
    selection.setStatementIndex(static_cast<int>(year->thelists().size()) - 1);
    selection.refresh();
    openSheet(SheetKind::Statement, year->thelists().back(), true);
}

void AddController::setListTitle(const QString& title) {
    if (sheet_.kind != SheetKind::Statement) return;
    sheet_.record->set(keys::title, title);
    app_.noteChanged();
}

bool AddController::closeList() {
    return closeSheet(SheetKind::Statement, keys::title, kNoListTitle);
}

void AddController::cancelList() {
    cancelSheet(SheetKind::Statement);
}

void AddController::editList() {
    if (sheetIsOpen()) return;
    RecordPtr statement = app_.selection().selectedStatement();
    if (!statement) {
        app_.ui().beep();
        return;
    }
    app_.settings().setInt(prefs::prefsSelectedTabTabTag, 0);
    openSheet(SheetKind::Statement, statement, false);
}

void AddController::deleteList() {
    if (sheetIsOpen()) return;
    Selection& selection = app_.selection();
    RecordPtr year = selection.selectedYear();
    RecordPtr statement = selection.selectedStatement();
    if (!year || !statement) {
        app_.ui().beep();
        return;
    }
    if (!askDelete(kDeleteListTitle, kDeleteListMessage)) return;
    RecordList& lists = year->thelists();
    const int index = selection.statementIndex();
    lists.erase(lists.begin() + index);  // its items go with it
    app_.noteChanged();
    selection.setStatementIndex(std::min(index, static_cast<int>(lists.size()) - 1));
    selection.refresh();
}

// ---- the sheets -------------------------------------------------------------------

void AddController::openSheet(SheetKind kind, RecordPtr record, bool isNew) {
    const bool drawer =
        app_.settings().getBool(kind == SheetKind::Year ? prefs::prefsAlwaysShowYearHelpDawer
                                                        : prefs::prefsAlwaysShowTabHelpDawer);
    savedProperties_ = record->properties();
    sheet_ = Sheet{kind, std::move(record), isNew, drawer};
}

bool AddController::closeSheet(SheetKind kind, Key nameKey, const QString& refusal) {
    if (sheet_.kind != kind) return false;
    if (!isChosen(sheet_.record->text(nameKey))) {
        fail(refusal);
        return false;
    }
    sheet_ = Sheet{};
    savedProperties_ = Dict{};
    newListYear_.reset();
    return true;
}

// Without this, a sheet opened by mistake could only be left by picking a name,
// and an empty year or statement would stay behind.
void AddController::cancelSheet(SheetKind kind) {
    if (sheet_.kind != kind) return;
    if (sheet_.isNew) {
        RecordList& list =
            kind == SheetKind::Year ? app_.database().years : newListYear_->thelists();
        const auto it = std::find(list.begin(), list.end(), sheet_.record);
        if (it != list.end()) {
            list.erase(it);
            app_.noteChanged();
        }
        restoreSelection();
    } else if (!(sheet_.record->properties() == savedProperties_)) {
        sheet_.record->setProperties(savedProperties_);
        app_.noteChanged();
    }
    sheet_ = Sheet{};
    savedProperties_ = Dict{};
    newListYear_.reset();
}

// Adding a year or statement selects it, which empties the item list; a
// cancelled one gives back the year, statement and items selected before.
void AddController::rememberSelection() {
    const Selection& selection = app_.selection();
    selectionBefore_ = {selection.yearIndex(), selection.statementIndex(), selection.selectedItems()};
}

void AddController::restoreSelection() {
    Selection& selection = app_.selection();
    selection.setYearIndex(selectionBefore_.year);
    selection.setStatementIndex(selectionBefore_.statement);
    selection.refresh();
    selection.setSelectedItems(std::move(selectionBefore_.items));
    selectionBefore_ = {};
}

bool AddController::askDelete(const QString& title, const QString& message) {
    const int pressed =
        app_.ui().alert(AlertStyle::Warning, title, message, {kDeleteButton, kCancelButton});
    return pressed == 0;
}

void AddController::fail(const QString& message) {
    app_.ui().beep();
    app_.ui().alert(AlertStyle::Critical, kErrorTitle, message, {QStringLiteral("OK")});
}

}  // namespace quandor
