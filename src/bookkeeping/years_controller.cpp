#include "bookkeeping/years_controller.h"

#include "bookkeeping/alert_words.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"

#include <algorithm>

namespace quandor {

const QString YearsController::kNoYearName = QStringLiteral("Es ist kein Jahr ausgewählt.");
const QString YearsController::kNoListTitle = QStringLiteral("Es ist kein Zeitraum ausgewählt.");
const QString YearsController::kNoYearForList = QStringLiteral("Du musst erst ein Jahr anlegen.");
const QString YearsController::kDeleteYearTitle = QStringLiteral("Jahr löschen");
const QString YearsController::kDeleteYearMessage = QStringLiteral(
    "Diese Aktion kann nicht rückgängig gemacht werden. Möchtest du wirklich das ausgewählte Jahr "
    "löschen?");
const QString YearsController::kDeleteListTitle = QStringLiteral("Abrechnung löschen");
const QString YearsController::kDeleteListMessage = QStringLiteral(
    "Diese Aktion kann nicht rückgängig gemacht werden. Möchtest du wirklich die ausgewählte "
    "Abrechnung löschen?");

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

YearsController::YearsController(Books& books, OpenSheet& sheet) : books_(books), sheet_(sheet) {}

const QStringList& YearsController::periodNames() {
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

QStringList YearsController::yearNames(int current) {
    QStringList names;
    for (int y = current - 5; y <= current + 1; ++y) names << QString::number(y);
    return names;
}

QStringList YearsController::sheetSettings() {
    QStringList keys;
    for (QStringView key : {prefs::jaImage, prefs::firstYearSet, prefs::firstListSet,
                            prefs::prefsSelectedYearTabTag, prefs::prefsSelectedTabTabTag})
        keys << key.toString();
    return keys;
}

// ---- years --------------------------------------------------------------------

void YearsController::addYear() {
    if (sheetIsOpen()) {
        books_.ui().beep();
        return;
    }
    Settings& settings = books_.settings();
    settings.setInt(prefs::jaImage, kGuideYearSheet);
    settings.setBool(prefs::firstYearSet, true);
    settings.setInt(prefs::jaImage, kGuideYearAdded);
    settings.setInt(prefs::prefsSelectedYearTabTag, 0);

    Selection& selection = books_.selection();
    rememberSelection();
    books_.database().years.push_back(Record::create(RecordClass::Year, books_.nowStamp()));
    books_.noteChanged();
    selection.setYearIndex(static_cast<int>(books_.database().years.size()) - 1);
    selection.refresh();
    openSheet(SheetKind::Year, books_.database().years.back(), true);
}

void YearsController::setYearName(const QString& name) {
    if (sheet_.kind != SheetKind::Year) return;
    sheet_.record->set(keys::dateValue, name);
    books_.noteChanged();
}

bool YearsController::closeYear() {
    return closeSheet(SheetKind::Year, keys::dateValue, kNoYearName);
}

void YearsController::cancelYear() {
    cancelSheet(SheetKind::Year);
}

void YearsController::editYear() {
    if (sheetIsOpen()) return;
    RecordPtr year = books_.selection().selectedYear();
    if (!year) {
        books_.ui().beep();
        return;
    }
    books_.settings().setInt(prefs::prefsSelectedYearTabTag, 0);
    openSheet(SheetKind::Year, year, false);
}

void YearsController::deleteYear() {
    if (sheetIsOpen()) return;
    Selection& selection = books_.selection();
    RecordPtr year = selection.selectedYear();
    if (!year) {
        books_.ui().beep();
        return;
    }
    if (!askDelete(kDeleteYearTitle, kDeleteYearMessage)) return;
    RecordList& years = books_.database().years;
    const int index = selection.yearIndex();
    years.erase(years.begin() + index);  // its statements and their items go with it
    books_.noteChanged();
    // The row that moved up into the deleted one's place, else the new last row.
    selection.setYearIndex(std::min(index, static_cast<int>(years.size()) - 1));
    selection.refresh();
}

// ---- statements -----------------------------------------------------------------

void YearsController::addList() {
    if (sheetIsOpen()) {
        books_.ui().beep();
        return;
    }
    Settings& settings = books_.settings();
    settings.setBool(prefs::firstListSet, true);
    settings.setInt(prefs::jaImage, kGuideListAdded);

    Selection& selection = books_.selection();
    RecordPtr year = selection.selectedYear();
    if (!year) {
        fail(kNoYearForList);
        return;
    }
    settings.setInt(prefs::prefsSelectedTabTabTag, 0);
    rememberSelection();
    newListYear_ = year;
    year->thelists().push_back(Record::create(RecordClass::Thelist, books_.nowStamp()));
    books_.noteChanged();
    selection.setStatementIndex(static_cast<int>(year->thelists().size()) - 1);
    selection.refresh();
    openSheet(SheetKind::Statement, year->thelists().back(), true);
}

void YearsController::setListTitle(const QString& title) {
    if (sheet_.kind != SheetKind::Statement) return;
    sheet_.record->set(keys::title, title);
    books_.noteChanged();
}

bool YearsController::closeList() {
    return closeSheet(SheetKind::Statement, keys::title, kNoListTitle);
}

void YearsController::cancelList() {
    cancelSheet(SheetKind::Statement);
}

void YearsController::editList() {
    if (sheetIsOpen()) return;
    RecordPtr statement = books_.selection().selectedStatement();
    if (!statement) {
        books_.ui().beep();
        return;
    }
    books_.settings().setInt(prefs::prefsSelectedTabTabTag, 0);
    openSheet(SheetKind::Statement, statement, false);
}

void YearsController::deleteList() {
    if (sheetIsOpen()) return;
    Selection& selection = books_.selection();
    RecordPtr year = selection.selectedYear();
    RecordPtr statement = selection.selectedStatement();
    if (!year || !statement) {
        books_.ui().beep();
        return;
    }
    if (!askDelete(kDeleteListTitle, kDeleteListMessage)) return;
    RecordList& lists = year->thelists();
    const int index = selection.statementIndex();
    lists.erase(lists.begin() + index);  // its items go with it
    books_.noteChanged();
    selection.setStatementIndex(std::min(index, static_cast<int>(lists.size()) - 1));
    selection.refresh();
}

// ---- the sheets -------------------------------------------------------------------

void YearsController::openSheet(SheetKind kind, RecordPtr record, bool isNew) {
    const bool drawer =
        books_.settings().getBool(kind == SheetKind::Year ? prefs::prefsAlwaysShowYearHelpDawer
                                                          : prefs::prefsAlwaysShowTabHelpDawer);
    savedProperties_ = record->properties();
    sheet_ = OpenSheet{kind, std::move(record), isNew, drawer};
}

bool YearsController::closeSheet(SheetKind kind, Key nameKey, const QString& refusal) {
    if (sheet_.kind != kind) return false;
    if (!isChosen(sheet_.record->text(nameKey))) {
        fail(refusal);
        return false;
    }
    sheet_ = OpenSheet{};
    savedProperties_ = Dict{};
    newListYear_.reset();
    return true;
}

// Without this, a sheet opened by mistake could only be left by picking a name,
// and an empty year or statement would stay behind.
void YearsController::cancelSheet(SheetKind kind) {
    if (sheet_.kind != kind) return;
    if (sheet_.isNew) {
        RecordList& list =
            kind == SheetKind::Year ? books_.database().years : newListYear_->thelists();
        const auto it = std::find(list.begin(), list.end(), sheet_.record);
        if (it != list.end()) {
            list.erase(it);
            books_.noteChanged();
        }
        restoreSelection();
    } else if (!(sheet_.record->properties() == savedProperties_)) {
        sheet_.record->setProperties(savedProperties_);
        books_.noteChanged();
    }
    sheet_ = OpenSheet{};
    savedProperties_ = Dict{};
    newListYear_.reset();
}

// Adding a year or statement selects it, which empties the item list; a
// cancelled one gives back the year, statement and items selected before.
void YearsController::rememberSelection() {
    const Selection& selection = books_.selection();
    selectionBefore_ = {selection.yearIndex(), selection.statementIndex(),
                        selection.selectedItems()};
}

void YearsController::restoreSelection() {
    Selection& selection = books_.selection();
    selection.setYearIndex(selectionBefore_.year);
    selection.setStatementIndex(selectionBefore_.statement);
    selection.refresh();
    selection.setSelectedItems(std::move(selectionBefore_.items));
    selectionBefore_ = {};
}

bool YearsController::askDelete(const QString& title, const QString& message) {
    const int pressed = books_.ui().alert(AlertStyle::Warning, title, message,
                                          {AlertWords::kDeleteButton, AlertWords::kCancelButton});
    return pressed == 0;
}

void YearsController::fail(const QString& message) {
    books_.ui().beep();
    books_.ui().alert(AlertStyle::Critical, AlertWords::kErrorTitle, message,
                      {AlertWords::kOkButton});
}

}  // namespace quandor
