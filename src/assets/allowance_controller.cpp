#include "assets/allowance_controller.h"

#include "bookkeeping/add_controller.h"
#include "bookkeeping/alert_words.h"
#include "core/edit_scope.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"

#include <algorithm>

namespace quandor {

const QString AllowanceController::kNoAccountsMessage = QStringLiteral(
    "Abschreibungen funktionieren nur, wenn auch mit einem Kontenrahmen gearbeitet wird. Dieser "
    "darf dann auch nicht nachträglich wieder gelöscht oder aus ihm das Konto ZZ 9999 entfernt "
    "werden. Andernfalls stimmt der Bericht Gewinnermittlung nicht mehr.");
const QString AllowanceController::kSetupNote = QStringLiteral(
    "Die Abschreibungen sind eine einfache Hilfe für alle, die ihre Steuererklärung selbst machen. "
    "Sie decken nicht jeden Fall einer Abschreibung ab, halten aber deine Gewinnermittlung "
    "rechnerisch richtig: Im Monat des Kaufs bucht Quandor einen Ausgleichsposten auf das Konto "
    "„ZZ 9999 Ausgleich Abschreibung“, sodass nur der Anteil eines Jahres abgezogen wird, und in "
    "jedem weiteren Jahr legst du im Fenster „Abschreibungen und GWGs“ den Abschreibungsposten des "
    "Jahres an. Das Konto ZZ 9999 wurde eben in deinen Kontenrahmen aufgenommen; lösche es nicht.");
const QString AllowanceController::kDuplicateMessage = QStringLiteral(
    "Der Posten wurde schon einmal zu den Abschreibungen hinzugefügt. Bist du sicher, dass du dies "
    "erneut tun möchtest?");
const QString AllowanceController::kIncomeMessage = QStringLiteral(
    "Wie man aus einer Einnahme eine Abschreibung macht, musst du mir erst einmal erklären.");
const QString AllowanceController::kNoDurationMessage =
    QStringLiteral("Bitte eine Abschreibungsdauer angeben.");
const QString AllowanceController::kDeleteMessage = QStringLiteral(
    "Das Löschen von Abschreibungsposten kann nicht rückgängig gemacht werden. Möchtest du den "
    "ausgewählten Posten wirklich löschen?");
const QString AllowanceController::kBookAgainQuestion =
    QStringLiteral("%1 Möchtest du trotzdem einen Abschreibungsposten anlegen?");
const QString AllowanceController::kCompensationAccountNumber = QStringLiteral("ZZ 9999");
const QString AllowanceController::kCompensationAccountTitle =
    QStringLiteral("Ausgleich Abschreibung");

namespace {

const QString kWarningTitle = QStringLiteral("Warnung!");
const QString kImportantTitle = QStringLiteral("Wichtig!");
const QString kCalmTitle = QStringLiteral("Ruhig Brauner!");
const QString kAddButton = QStringLiteral("Hinzufügen …");
const QString kCreateButton = QStringLiteral("Anlegen …");

// A marker counts as set from four characters on.
bool markerSet(const Record& item, Key key) {
    return item.text(key).size() >= 4;
}

RecordPtr newExpenseItem(Books& books, const RecordPtr& statement, const RecordPtr& year) {
    RecordPtr item = Record::create(RecordClass::Item, books.nowStamp());
    item->set(keys::kind, Value(int64_t(1)));
    item->set(keys::taxBool, Value(false));
    if (statement) item->set(keys::parentTab, statement->text(keys::title));
    if (year) item->set(keys::parentYear, year->text(keys::dateValue));
    return item;
}

}  // namespace

AllowanceController::AllowanceController(Books& books, AddController& items)
    : books_(books), items_(items) {}

const std::vector<std::pair<int, QString>>& AllowanceController::durations() {
    static const std::vector<std::pair<int, QString>> list = [] {
        std::vector<std::pair<int, QString>> l;
        for (int y = 1; y <= 50; ++y) l.emplace_back(y, yearsText(y));
        return l;
    }();
    return list;
}

// ---- the add sheet ----------------------------------------------------------------------

bool AllowanceController::setUpOnce() {
    Settings& settings = books_.settings();
    if (settings.getBool(prefs::isFirstAllowanceSetupDone)) return true;
    UiPort& ui = books_.ui();
    RecordList& accounts = books_.database().accounts;
    if (accounts.empty()) {
        ui.beep();
        ui.alert(AlertStyle::Critical, AlertWords::kErrorTitle, kNoAccountsMessage,
                 {AlertWords::kOkButton});
        return false;
    }
    RecordPtr account = Record::create(RecordClass::Account, books_.nowStamp());
    account->set(keys::number, kCompensationAccountNumber);
    account->set(keys::title, kCompensationAccountTitle);
    accounts.push_back(account);
    books_.noteChanged();
    ui.alert(AlertStyle::Informational, kImportantTitle, kSetupNote, {AlertWords::kOkButton});
    settings.setBool(prefs::isFirstAllowanceSetupDone, true);
    return true;
}

bool AllowanceController::openAllowanceAddSheet() {
    if (sheet_.open) return true;
    const RecordPtr item = books_.selection().firstSelectedItem();
    if (!item) {
        books_.ui().beep();
        return false;
    }
    if (!setUpOnce()) return false;
    if (markerSet(*item, keys::misc8)) {
        const int pressed = books_.ui().alert(AlertStyle::Warning, kWarningTitle, kDuplicateMessage,
                                              {AlertWords::kCancelButton, kAddButton});
        if (pressed != 1) return false;
    }
    return openAddSheet();
}

bool AllowanceController::openAddSheet() {
    const RecordPtr item = books_.selection().firstSelectedItem();
    if (!item) return false;
    UiPort& ui = books_.ui();
    if (item->integer(keys::kind) == 2) {
        ui.beep();
        ui.alert(AlertStyle::Warning, kCalmTitle, kIncomeMessage, {AlertWords::kOkButton});
        return false;
    }
    Settings& settings = books_.settings();
    settings.setInt(prefs::selectedAFATag, 0);
    settings.setText(prefs::allowanceCommentField, QString());
    settings.setBool(prefs::allowanceCompensationBOOL, true);
    sheet_ = AddSheet{};
    sheet_.open = true;
    sheet_.item = item;
    doTheAllowanceCalculation();
    return true;
}

void AllowanceController::setDuration(int years) {
    books_.settings().setInt(prefs::selectedAFATag, years);
    doTheAllowanceCalculation();
}

void AllowanceController::setComment(const QString& comment) {
    books_.settings().setText(prefs::allowanceCommentField, comment);
}

void AllowanceController::setCompensation(bool on) {
    books_.settings().setBool(prefs::allowanceCompensationBOOL, on);
}

void AllowanceController::setMonthly(bool on) {
    if (!sheet_.open) return;
    sheet_.rule = on ? AllowanceRule::Monthly : AllowanceRule::WholeYears;
    doTheAllowanceCalculation();
}

void AllowanceController::doTheAllowanceCalculation() {
    if (!sheet_.open || !sheet_.item) return;
    const int64_t stored = books_.settings().getInt(prefs::selectedAFATag);
    // A stored tag outside the list counts as no choice.
    sheet_.years = stored >= 0 && stored <= durations().back().first ? int(stored) : 0;
    sheet_.figures = allowanceFigures(*sheet_.item, sheet_.years, sheet_.rule);
}

bool AllowanceController::addAllowanceItem() {
    if (!sheet_.open) return false;
    doTheAllowanceCalculation();
    UiPort& ui = books_.ui();
    if (sheet_.years < 2) {
        ui.beep();
        ui.alert(AlertStyle::Critical, AlertWords::kErrorTitle, kNoDurationMessage,
                 {AlertWords::kOkButton});
        return false;
    }
    const Settings& settings = books_.settings();
    const AddSheet sheet = sheet_;
    sheet_ = AddSheet{};

    const RecordPtr statement = books_.selection().selectedStatement();
    const bool compensate = settings.getBool(prefs::allowanceCompensationBOOL);
    EditScope scope(books_);
    scope.keep(sheet.item);
    scope.keep(books_.database().allowances);
    if (statement) scope.keep(statement->items());

    sheet.item->set(keys::misc8, QStringLiteral("isAllowance"));
    RecordPtr record = Record::create(RecordClass::Allowance, books_.nowStamp());
    const AllowanceFigures& f = sheet.figures;
    const Date bought = sheet.item->date(keys::date);
    record->set(keys::comment, settings.getText(prefs::allowanceCommentField));
    record->set(keys::duePeriod, yearsText(sheet.years));
    record->set(keys::titel, f.title);
    record->set(keys::sumComplete, f.netto);
    record->set(keys::sumPerYear, f.rate);
    record->set(keys::date, bought);
    record->set(keys::endDate, f.endDate);
    record->set(keys::taxAmount, f.tax);
    record->set(keys::creationYear, yearText(bought));
    record->set(keys::dueYear, yearText(f.endDate));
    if (sheet.rule == AllowanceRule::Monthly) record->set(keys::misc1, kMonthlyRuleMark);
    books_.database().allowances.push_back(record);
    // The compensation belongs to the same change: the record never stands without it.
    if (compensate && statement) createCompensationItem(statement, f);
    scope.commit();
    return true;
}

void AllowanceController::cancelAllowanceAddSheet() {
    sheet_ = AddSheet{};
}

void AllowanceController::createCompensationItem(const RecordPtr& statement,
                                                 const AllowanceFigures& f) {
    Selection& selection = books_.selection();
    const std::vector<RecordPtr> selected = selection.selectedItems();
    RecordPtr item = Record::create(RecordClass::Item, books_.nowStamp());
    item->set(keys::kind, Value(int64_t(1)));
    item->set(keys::taxBool, Value(false));
    // Positive sums on an expense lower the period's expenses by this amount.
    for (const Key& k :
         {keys::expenseWith, keys::expenseWithout, keys::finalAmountWithout, keys::finalAmount})
        item->set(k, f.compensationAmount);
    item->set(keys::title, QStringLiteral("Ausgl. Abschr. %1").arg(f.title));
    item->set(keys::accountNumber, kCompensationAccountNumber);
    item->set(keys::account, kCompensationAccountTitle);
    statement->items().push_back(item);
    selection.refresh();
    selection.setSelectedItems(selected);
}

// ---- the window -------------------------------------------------------------------------

void AllowanceController::setSelectedRow(int row) {
    selected_ = row >= 0 && size_t(row) < books_.database().allowances.size() ? row : -1;
}

QString AllowanceController::bookingDoubt(const Record& record, const Record& year) const {
    bool ok = false;
    const int shown = year.text(keys::dateValue).trimmed().toInt(&ok);
    if (!ok) return {};
    bool dueOk = false, createdOk = false;
    const int due = record.text(keys::dueYear).toInt(&dueOk);
    const int created = record.text(keys::creationYear).toInt(&createdOk);
    if (dueOk && shown > due)
        return QStringLiteral(
                   "Die Abschreibung „%1“ endet %2; für %3 ist nichts mehr abzuschreiben.")
            .arg(record.text(keys::titel))
            .arg(due)
            .arg(shown);
    if (createdOk && shown == created)
        return QStringLiteral(
                   "Den Anteil des Anschaffungsjahres %1 hast du schon mit dem Kauf abgezogen.")
            .arg(shown);
    const QString title = QStringLiteral("Abschreibung %1").arg(record.text(keys::titel));
    for (const RecordPtr& statement : year.thelists())
        for (const RecordPtr& item : statement->items())
            if (item->integer(keys::kind) == 1 && item->text(keys::title) == title)
                return QStringLiteral("Im Jahr %1 gibt es den Posten „%2“ schon (Abrechnung „%3“).")
                    .arg(QString::number(shown), title, statement->text(keys::title));
    return {};
}

bool AllowanceController::createNewItemFromAllowance() {
    UiPort& ui = books_.ui();
    Selection& selection = books_.selection();
    const RecordList& records = books_.database().allowances;
    const RecordPtr statement = selection.selectedStatement();
    const RecordPtr year = selection.selectedYear();
    if (selected_ < 0 || size_t(selected_) >= records.size() || !statement || !year ||
        items_.sheetIsOpen()) {
        ui.beep();
        return false;
    }
    const RecordPtr record = records[size_t(selected_)];
    const QString doubt = bookingDoubt(*record, *year);
    if (!doubt.isEmpty()) {
        const int pressed =
            ui.alert(AlertStyle::Warning, kWarningTitle, kBookAgainQuestion.arg(doubt),
                     {AlertWords::kCancelButton, kCreateButton});
        if (pressed != 1) return false;
    }
    RecordPtr item = newExpenseItem(books_, statement, year);
    bool shownOk = false;
    const int shown = year->text(keys::dateValue).trimmed().toInt(&shownOk);
    item->set(keys::amount,
              shownOk ? allowanceShare(*record, shown) : record->real(keys::sumPerYear));
    item->set(keys::title, QStringLiteral("Abschreibung %1").arg(record->text(keys::titel)));
    statement->items().push_back(item);
    books_.noteChanged();
    selection.refresh();
    selection.setSelectedItems({item});
    // The item sheet calculates it; the person confirms it there, and Esc
    // there takes it back.
    items_.editItem();
    if (!items_.sheetIsOpen()) {
        // The sheet did not open (the person cancelled the question of a
        // statement already used for the VAT return): nothing stays booked.
        discardYearlyItem(statement, item);
        return false;
    }
    items_.setDiscardOnRevert(item,
                              [this, statement, item] { discardYearlyItem(statement, item); });
    return true;
}

void AllowanceController::discardYearlyItem(const RecordPtr& statement, const RecordPtr& item) {
    RecordList& items = statement->items();
    const auto it = std::find(items.begin(), items.end(), item);
    if (it == items.end()) return;
    EditScope scope(books_);
    scope.keep(items);
    items.erase(it);
    Selection& selection = books_.selection();
    selection.setSelectedItems({});
    scope.commit();
}

bool AllowanceController::deleteAllowanceItem() {
    RecordList& records = books_.database().allowances;
    if (selected_ < 0 || size_t(selected_) >= records.size()) {
        books_.ui().beep();
        return false;
    }
    const int pressed = books_.ui().alert(AlertStyle::Warning, kWarningTitle, kDeleteMessage,
                                          {AlertWords::kCancelButton, AlertWords::kDeleteButton});
    if (pressed != 1) return false;
    records.erase(records.begin() + selected_);
    books_.noteChanged();
    setSelectedRow(selected_ < int(records.size()) ? selected_ : int(records.size()) - 1);
    return true;
}

ExportResult AllowanceController::exportAllowances() {
    return exportList(books_, ListFormat::Csv, false,
                      QStringLiteral("Abschreibungen und GWGs %1")
                          .arg(books_.settings().getText(prefs::prefsCompany)));
}
bool AllowanceController::printAllowances() {
    return printList(books_, false, printDialog);
}

ExportResult AllowanceController::exportAllowancesPdf() {
    return exportList(books_, ListFormat::Pdf, false,
                      QStringLiteral("Abschreibungen und GWGs %1")
                          .arg(books_.settings().getText(prefs::prefsCompany)));
}

}  // namespace quandor
