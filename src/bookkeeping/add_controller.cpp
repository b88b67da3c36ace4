// The item sheet: entering, confirming, cancelling, editing, stepping through
// and duplicating booking items, and their calculation.
#include "bookkeeping/add_controller.h"

#include "bookkeeping/alert_words.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "core/settings.h"
#include "core/settings_keys.h"

#include <QLocale>
#include <QTimeZone>

#include <algorithm>
#include <cmath>

namespace quandor {

const QString AddController::kNoAmount = QStringLiteral(
    "Posten ist unvollständig ausgefüllt. Bitte Summe angeben. Dazu musst du vorher angeben haben, "
    "ob der Posten eine Ausgabe oder eine Einnahme ist.");
const QString AddController::kNoRate =
    QStringLiteral("Posten ist unvollständig ausgefüllt. Bitte Steuersatz angeben.");
const QString AddController::kTaxOnZero =
    QStringLiteral("Steuern auf eine Null zu berechnen macht nicht wirklich Sinn.");
const QString AddController::kNoTitle =
    QStringLiteral("Posten ist unvollständig ausgefüllt. Bitte Bezeichnung angeben.");
const QString AddController::kNoStatementForItem =
    QStringLiteral("Du musst erst eine Abrechnung anlegen.");
const QString AddController::kNoItemSelected = QStringLiteral("Kein Posten ausgewählt.");
const QString AddController::kUnknownAccount = QStringLiteral(
    "Konto existiert nicht. Bitte Nummer überprüfen oder gegebenenfalls Konto in den Einstellungen "
    "anlegen.");
const QString AddController::kEditMarkedMessage = QStringLiteral(
    "Die übergeordnete Abrechnung wurde als zur Voranmeldung genutzt markiert. Bist du sicher, "
    "dass du dennoch diesen Posten bearbeiten möchtest?");
const QString AddController::kEditButton = QStringLiteral("Bearbeiten");

namespace {

// The first-steps guide picture while an item sheet opens (none).
constexpr int kGuideItemSheet = 5;

QDateTime toDateTime(Date d) {
    return QDateTime::fromMSecsSinceEpoch(std::llround(d.toUnix() * 1000.0), QTimeZone::utc());
}

Date fromDateTime(const QDateTime& t) {
    return Date::fromUnix(static_cast<double>(t.toMSecsSinceEpoch()) / 1000.0);
}

// A marker counts as set when its text has 4 or more characters.
bool inCashBook(const Record& item) {
    return item.text(keys::misc9).size() > 3;
}

}  // namespace

AddController::AddController(Books& books, OpenSheet& sheet) : books_(books), sheet_(sheet) {}

// ---- numbers ------------------------------------------------------------------------

TaxRates AddController::taxRates(const Settings& settings) {
    // The first window writes 19 and 7 before any item can be entered; a store
    // that never saw it (the command line) reads the same rates.
    TaxRates rates;
    if (settings.contains(prefs::prefs1Rate)) rates.rate1 = settings.getFloat(prefs::prefs1Rate);
    if (settings.contains(prefs::prefs2Rate)) rates.rate2 = settings.getFloat(prefs::prefs2Rate);
    rates.rate3 = settings.getFloat(prefs::prefs3Rate);
    return rates;
}

float AddController::amountFromText(const QString& text) {
    return parseAmount(text);
}

QString AddController::amountFieldText(const Value& amount) {
    switch (amount.type()) {
        case Value::Type::Null:
            return QString();
        case Value::Type::String:
            return amount.asString();
        default:
            break;
    }
    const float a = amount.toFloat();
    const QLocale locale;
    const QString cents = amountText(a, locale);
    if (amountFromText(cents) == a) return cents;
    // A share of an amount (119 ÷ 100 × 50 = 59.500004) differs from its cents
    // only in the last bits of the number: it shows as cents like any amount.
    // The field is handed back only when its text is changed, so the stored
    // amount stays as it is.
    const float shown = amountFromText(cents);
    if (std::isfinite(a) &&
        std::fabs(shown - a) <= 4.0f * (std::nextafter(std::fabs(a), INFINITY) - std::fabs(a)))
        return cents;
    // More than two decimals: show every digit, so leaving the field changes nothing.
    QString exact = Settings::floatText(a);
    exact.replace(QLatin1Char('.'), locale.decimalPoint());
    return exact;
}

QString AddController::creationStamp(const Books& books) {
    return QString::number(books.now().toSecsSinceEpoch());
}

QStringList AddController::sheetSettings() {
    QStringList keys;
    for (QStringView key :
         {prefs::jaImage, prefs::allowCashBook, prefs::prefsVorzeichen,
          prefs::prefsSelectedItemTabTag, prefs::firstItemSet, prefs::firstStepsDone,
          prefs::itemRememberGroup, prefs::itemRememberAccount, prefs::itemRememberAccountNumber,
          prefs::itemRememberTaxBool, prefs::itemRememberTaxTag, prefs::itemRememberKind,
          prefs::rememberDate})
        keys << key.toString();
    return keys;
}

// ---- the sheet ----------------------------------------------------------------------

RecordPtr AddController::sheetItem() const {
    return sheet_.kind == SheetKind::Item ? sheet_.record : nullptr;
}

void AddController::showSign(int64_t kind) {
    itemSheet_.sign.clear();
    itemSheet_.signColor = SignColor::None;
    itemSheet_.amountEnabled = kind == kKindExpense || kind == kKindIncome;
    if (kind == kKindExpense) {
        itemSheet_.sign = QStringLiteral("-");
        itemSheet_.signColor = SignColor::Expense;
    } else if (kind == kKindIncome) {
        itemSheet_.sign = QStringLiteral("+");
        itemSheet_.signColor = SignColor::Income;
    }
}

void AddController::showItem(const RecordPtr& item) {
    sheet_.record = item;
    savedProperties_ = item->properties();  // what revertItemSheet gives back
    itemSheet_.amountText = amountFieldText(item->value(keys::amount));
    itemSheet_.accountText = item->text(keys::accountNumber);
    itemSheet_.accountRejected = false;
    itemSheet_.busy = false;
    showSign(item->integer(keys::kind));
}

void AddController::openItemSheet(bool isNew) {
    const Settings& settings = books_.settings();
    sheet_.kind = SheetKind::Item;
    sheet_.isNew = isNew;
    sheet_.helpDrawer = sheet_.helpDrawer || settings.getBool(prefs::prefsAlwaysShowItemHelpDawer);
    sheet_.dateDrawer = sheet_.dateDrawer || settings.getBool(prefs::prefsAlwaysShowDateDawer);
    search_ = SearchSheet{};
}

void AddController::newItem() {
    Selection& selection = books_.selection();
    const RecordPtr statement = selection.selectedStatement();
    const RecordPtr year = selection.selectedYear();
    const Settings& s = books_.settings();

    RecordPtr item = Record::create(RecordClass::Item, books_.nowStamp());
    item->set(keys::parentTab, statement->text(keys::title));
    item->set(keys::parentYear, year->text(keys::dateValue));
    item->set(keys::UUID, creationStamp(books_));
    if (s.getBool(prefs::prefsAlwaysRememberLastSettings)) {
        if (s.contains(prefs::itemRememberGroup))
            item->set(keys::group, s.getText(prefs::itemRememberGroup));
        if (s.contains(prefs::itemRememberAccount))
            item->set(keys::account, s.getText(prefs::itemRememberAccount));
        if (s.contains(prefs::itemRememberAccountNumber))
            item->set(keys::accountNumber, s.getText(prefs::itemRememberAccountNumber));
        if (s.getBool(prefs::itemRememberTaxBool)) item->set(keys::taxBool, true);
        if (const int64_t tag = s.getInt(prefs::itemRememberTaxTag); tag != 0)
            item->set(keys::taxTag, tag);
        if (const int64_t kind = s.getInt(prefs::itemRememberKind); kind != 0)
            item->set(keys::kind, kind);
        if (const auto d = s.getDate(prefs::rememberDate)) item->set(keys::date, fromDateTime(*d));
    } else {
        if (s.getBool(prefs::setUmsatzsteuerAutomatically)) item->set(keys::taxBool, true);
        if (s.getBool(prefs::setTaxAutomatically)) item->set(keys::taxTag, int64_t{1});
    }
    if (s.getBool(prefs::prefsRememberDate)) {
        const auto d = s.getDate(prefs::rememberDate);
        item->set(keys::date, d ? fromDateTime(*d) : books_.nowStamp());
    }

    statement->items().push_back(item);
    books_.noteChanged();
    itemStatement_ = statement;
    selection.refresh();
    selection.setSelectedItems({item});
    showItem(item);
}

std::optional<QString> AddController::itemRefusal() const {
    const RecordPtr item = sheetItem();
    if (!item) return std::nullopt;
    if (itemSheet_.amountText.trimmed().isEmpty()) return kNoAmount;
    const bool vat = item->flag(keys::taxBool);
    if (vat && item->integer(keys::taxTag) == 0) return kNoRate;
    if (vat && amountFromText(itemSheet_.amountText) == 0.0f) return kTaxOnZero;
    if (item->text(keys::title).trimmed().isEmpty()) return kNoTitle;
    return std::nullopt;
}

void AddController::addItem() {
    Settings& settings = books_.settings();
    itemSheet_.busy = false;
    settings.setInt(prefs::jaImage, kGuideItemSheet);
    settings.setBool(prefs::allowCashBook, false);
    settings.setText(prefs::prefsVorzeichen, QString());

    if (sheet_.kind == SheetKind::Item) {
        // "Neu" in the open add sheet: confirm the current item, then start the next.
        if (!sheet_.isNew) {
            books_.ui().beep();
            return;
        }
        if (const auto refusal = itemRefusal()) {
            fail(*refusal);
            return;
        }
        calculateItem();
        settings.setInt(prefs::prefsSelectedItemTabTag, 0);
        itemSheet_.accountText.clear();
        newItem();
        calculateItem();
        return;
    }
    if (sheetIsOpen()) {
        books_.ui().beep();
        return;
    }

    itemSheet_ = ItemSheet{};
    itemSheet_.showTemplate = true;
    itemSheet_.showNew = true;
    itemSheet_.showCancel = settings.getBool(prefs::firstStepsDone);
    if (!books_.selection().selectedStatement()) {
        fail(kNoStatementForItem);
        return;
    }
    settings.setInt(prefs::prefsSelectedItemTabTag, 0);
    sheet_ = OpenSheet{};
    openItemSheet(true);
    newItem();
}

bool AddController::closeItemSheet() {
    if (sheet_.kind != SheetKind::Item) return false;
    if (const auto refusal = itemRefusal()) {
        fail(*refusal);
        return false;
    }
    calculateItem();
    Settings& settings = books_.settings();
    settings.setBool(prefs::firstItemSet, true);
    settings.setBool(prefs::firstStepsDone, true);
    const RecordPtr item = sheet_.record;
    sheet_ = OpenSheet{};
    search_ = SearchSheet{};
    itemStatement_.reset();
    discard_ = nullptr;
    discardItem_.reset();
    // The list shows the item where its date sorts it.
    books_.selection().refresh();
    if (books_.selection().rowOf(item.get()) >= 0) books_.selection().setSelectedItems({item});
    return true;
}

void AddController::cancelItemSheet() {
    // Only a fresh item can be cancelled; an edited one stays as it is now.
    if (sheet_.kind != SheetKind::Item || !sheet_.isNew) return;
    if (itemStatement_) {
        RecordList& items = itemStatement_->items();
        const auto it = std::find(items.begin(), items.end(), sheet_.record);
        if (it != items.end()) {
            items.erase(it);
            books_.noteChanged();
        }
    }
    sheet_ = OpenSheet{};
    search_ = SearchSheet{};
    itemStatement_.reset();
    books_.selection().refresh();
    books_.selection().setSelectedItems({});
}

void AddController::revertItemSheet() {
    if (sheet_.kind != SheetKind::Item || sheet_.isNew) return;
    const RecordPtr item = sheet_.record;
    if (!(item->properties() == savedProperties_)) {
        item->setProperties(savedProperties_);
        books_.noteChanged();
    }
    sheet_ = OpenSheet{};
    search_ = SearchSheet{};
    savedProperties_ = Dict{};
    itemStatement_.reset();
    std::function<void()> discard = std::move(discard_);
    const bool discarding = discard && discardItem_ == item;
    discard_ = nullptr;
    discardItem_.reset();
    // The date may have changed back: the list sorts the item where it was.
    books_.selection().refresh();
    if (books_.selection().rowOf(item.get()) >= 0) books_.selection().setSelectedItems({item});
    if (discarding) discard();
}

void AddController::setDiscardOnRevert(const RecordPtr& item, std::function<void()> discard) {
    if (sheet_.kind != SheetKind::Item || sheet_.isNew) return;
    discardItem_ = item;
    discard_ = std::move(discard);
}

void AddController::editItem() {
    if (sheetIsOpen()) return;
    Selection& selection = books_.selection();
    itemSheet_ = ItemSheet{};
    const RecordPtr item = selection.firstSelectedItem();
    const RecordPtr statement = selection.selectedStatement();
    if (!item || !statement) {
        books_.ui().beep();
        return;
    }
    Settings& settings = books_.settings();
    if (statement->flag(keys::taxBool)) {
        const int pressed =
            books_.ui().alert(AlertStyle::Warning, AlertWords::kAttentionTitle, kEditMarkedMessage,
                              {AlertWords::kCancelButton, kEditButton});
        if (pressed != 1) return;
    }
    // An item taken into the cash book must not be handed over a second time.
    settings.setBool(prefs::allowCashBook, !inCashBook(*item));
    settings.setInt(prefs::prefsSelectedItemTabTag, 0);
    itemSheet_.showSteps = true;
    sheet_ = OpenSheet{};
    discard_ = nullptr;
    discardItem_.reset();
    openItemSheet(false);
    itemStatement_ = statement;
    showItem(item);
    calculateItem();
}

void AddController::duplicateItem() {
    if (sheetIsOpen()) return;
    Selection& selection = books_.selection();
    const RecordPtr item = selection.firstSelectedItem();
    const RecordPtr statement = selection.selectedStatement();
    if (!item || !statement) {
        fail(kNoItemSelected);
        return;
    }
    RecordPtr copy = item->deepCopy();
    statement->items().push_back(copy);
    books_.noteChanged();
    selection.refresh();
    selection.setSelectedItems({copy});
}

// ---- calculation ------------------------------------------------------------------

void AddController::calculateItem() {
    const RecordPtr item =
        sheet_.kind == SheetKind::Item ? sheet_.record : books_.selection().firstSelectedItem();
    itemSheet_.sign.clear();
    itemSheet_.signColor = SignColor::None;
    if (!item) return;
    Settings& settings = books_.settings();
    const bool shown = item == sheetItem();
    // An amount written by other means (the split calculator) shows in the field as stored.
    if (shown && item->value(keys::amount).type() != Value::Type::String &&
        !item->value(keys::amount).isNull() &&
        amountFromText(itemSheet_.amountText) != item->value(keys::amount).toFloat())
        itemSheet_.amountText = amountFieldText(item->value(keys::amount));
    const QString amountText =
        shown ? itemSheet_.amountText : amountFieldText(item->value(keys::amount));
    // An item with an amount may be handed to the cash book, unless it already was.
    if (!amountText.isEmpty()) settings.setBool(prefs::allowCashBook, !inCashBook(*item));
    // An amount kept as typed text (older files) is stored as the number it reads as,
    // so the figures and the stored amount agree.
    if (!amountText.trimmed().isEmpty() &&
        item->value(keys::amount).type() == Value::Type::String) {
        item->set(keys::amount, amountFromText(amountText));
        books_.noteChanged();
    }

    // The entry choices a new item starts with next time (before the rate may be reset).
    if (item->value(keys::date).type() == Value::Type::Date)
        settings.setDate(prefs::rememberDate, toDateTime(item->date(keys::date)));
    settings.setText(prefs::itemRememberGroup, item->text(keys::group));
    settings.setText(prefs::itemRememberAccount, item->text(keys::account));
    settings.setText(prefs::itemRememberAccountNumber, item->text(keys::accountNumber));
    settings.setBool(prefs::itemRememberTaxBool, item->flag(keys::taxBool));
    settings.setInt(prefs::itemRememberTaxTag, item->integer(keys::taxTag));
    settings.setInt(prefs::itemRememberKind, item->integer(keys::kind));

    const int64_t kind = item->integer(keys::kind);
    if (shown) showSign(kind);
    if (kind != kKindExpense && kind != kKindIncome) return;
    if (applyCalculation(*item, taxRates(settings))) books_.noteChanged();
}

// ---- fields -------------------------------------------------------------------------

void AddController::setKind(int64_t kind) {
    const RecordPtr item =
        sheet_.kind == SheetKind::Item ? sheet_.record : books_.selection().firstSelectedItem();
    if (!item) return;
    item->set(keys::kind, kind);
    books_.noteChanged();
    calculateItem();
}

void AddController::selectExpense() {
    setKind(kKindExpense);
}

void AddController::selectIncome() {
    setKind(kKindIncome);
}

void AddController::setTaxAutomatically() {
    const RecordPtr item =
        sheet_.kind == SheetKind::Item ? sheet_.record : books_.selection().firstSelectedItem();
    if (item && books_.settings().getBool(prefs::setTaxAutomatically)) {
        item->set(keys::taxTag, int64_t{1});
        books_.noteChanged();
    }
    calculateItem();
}

void AddController::setItemTaxBool(bool on) {
    const RecordPtr item = sheetItem();
    if (!item) return;
    item->set(keys::taxBool, on);
    books_.noteChanged();
    if (on)
        setTaxAutomatically();
    else
        calculateItem();
}

void AddController::setItemTaxTag(int64_t tag) {
    const RecordPtr item = sheetItem();
    if (!item) return;
    item->set(keys::taxTag, tag);
    books_.noteChanged();
    calculateItem();
}

void AddController::setAmountText(const QString& text) {
    const RecordPtr item = sheetItem();
    if (!item) return;
    if (text.trimmed().isEmpty()) {
        itemSheet_.amountText.clear();
        item->set(keys::amount, QString());
    } else {
        const float amount = amountFromText(text);
        item->set(keys::amount, amount);
        itemSheet_.amountText = amountFieldText(Value(amount));
    }
    books_.noteChanged();
    calculateItem();
}

void AddController::setItemText(Key key, const QString& text) {
    const RecordPtr item = sheetItem();
    if (!item) return;
    item->set(key, text);
    books_.noteChanged();
}

void AddController::setItemDate(Date date) {
    const RecordPtr item = sheetItem();
    if (!item) return;
    item->set(keys::date, date);
    books_.noteChanged();
    books_.selection().refresh();  // the list is sorted by date
}

void AddController::setToday() {
    setItemDate(books_.nowStamp());
}

void AddController::step(int delta) {
    if (sheet_.kind != SheetKind::Item || sheet_.isNew) return;
    Selection& selection = books_.selection();
    // The item being left keeps the figures of what it shows now.
    calculateItem();
    const int row = selection.rowOf(sheet_.record.get());
    const RecordPtr next =
        row < 0 ? nullptr : selection.listedItem(static_cast<size_t>(row + delta));
    if (row + delta < 0 || !next) {
        books_.ui().beep();
        return;
    }
    selection.setSelectedItems({next});
    showItem(next);
    calculateItem();
}

void AddController::selectNext() {
    step(1);
}

void AddController::selectPrevious() {
    step(-1);
}

void AddController::fail(const QString& message) {
    books_.ui().beep();
    books_.ui().alert(AlertStyle::Critical, AlertWords::kErrorTitle, message,
                      {AlertWords::kOkButton});
}

}  // namespace quandor
