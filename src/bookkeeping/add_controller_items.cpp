// The item sheet: entering, confirming, cancelling, editing, stepping through,
// duplicating and deleting booking items, the account lookups, the three
// search sheets and the templates.
#include "bookkeeping/add_controller.h"

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
    "Posten ist unvollständig ausgefüllt. Bitte Summe angeben. Dazu musst du vorher angeben haben, ob der "
    "Posten eine Ausgabe oder eine Einnahme ist.");
const QString AddController::kNoRate =
    QStringLiteral("Posten ist unvollständig ausgefüllt. Bitte Steuersatz angeben.");
const QString AddController::kTaxOnZero =
    QStringLiteral("Steuern auf eine Null zu berechnen macht nicht wirklich Sinn.");
const QString AddController::kNoTitle =
    QStringLiteral("Posten ist unvollständig ausgefüllt. Bitte Bezeichnung angeben.");
const QString AddController::kNoStatementForItem = QStringLiteral("Du musst erst eine Abrechnung anlegen.");
const QString AddController::kNoItemSelected = QStringLiteral("Kein Posten ausgewählt.");
const QString AddController::kUnknownAccount = QStringLiteral(
    "Konto existiert nicht. Bitte Nummer überprüfen oder gegebenenfalls Konto in den Einstellungen anlegen.");
const QString AddController::kAttentionTitle = QStringLiteral("Achtung!");
const QString AddController::kEditMarkedMessage = QStringLiteral(
    "Die übergeordnete Abrechnung wurde als zur Voranmeldung genutzt markiert. Bist du sicher, dass du "
    "dennoch diesen Posten bearbeiten möchtest?");
const QString AddController::kEditButton = QStringLiteral("Bearbeiten");

namespace {

// The first-steps guide picture while an item sheet opens (none).
constexpr int kGuideItemSheet = 5;
// The account lookups after a template or a title choice wait this long.
constexpr int kLookupDelayMs = 100;

QDateTime toDateTime(Date d) {
    return QDateTime::fromMSecsSinceEpoch(std::llround(d.toUnix() * 1000.0), QTimeZone::utc());
}

Date fromDateTime(const QDateTime& t) {
    return Date::fromUnix(static_cast<double>(t.toMSecsSinceEpoch()) / 1000.0);
}

// What a template carries over into an item, and an item into a template.
std::vector<Key> templateKeys() {
    return {keys::kind,  keys::group,  keys::account, keys::accountNumber,
            keys::title, keys::amount, keys::taxBool, keys::taxTag};
}

// A marker counts as set when its text has 4 or more characters.
bool inCashBook(const Record& item) {
    return item.text(keys::misc9).size() > 3;
}

void copyTemplateKeys(const Record& from, Record& to) {
    for (const Key& k : templateKeys())
        if (const Value* v = from.properties().find(k)) to.set(k, *v);
}

}  // namespace

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
        case Value::Type::Null: return QString();
        case Value::Type::String: return amount.asString();
        default: break;
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
    if (std::isfinite(a) && std::fabs(shown - a) <= 4.0f * (std::nextafter(std::fabs(a), INFINITY) - std::fabs(a)))
        return cents;
    // More than two decimals: show every digit, so leaving the field changes nothing.
    QString exact = Settings::floatText(a);
    exact.replace(QLatin1Char('.'), locale.decimalPoint());
    return exact;
}

QString AddController::creationStamp() const {
    return QString::number(app_.now().toSecsSinceEpoch());
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
    const Settings& settings = app_.settings();
    sheet_.kind = SheetKind::Item;
    sheet_.isNew = isNew;
    sheet_.helpDrawer = sheet_.helpDrawer || settings.getBool(prefs::prefsAlwaysShowItemHelpDawer);
    sheet_.dateDrawer = sheet_.dateDrawer || settings.getBool(prefs::prefsAlwaysShowDateDawer);
    search_ = SearchSheet{};
}

void AddController::newItem() {
    Selection& selection = app_.selection();
    const RecordPtr statement = selection.selectedStatement();
    const RecordPtr year = selection.selectedYear();
    const Settings& s = app_.settings();

    RecordPtr item = Record::create(RecordClass::Item, app_.nowStamp());
    item->set(keys::parentTab, statement->text(keys::title));
    item->set(keys::parentYear, year->text(keys::dateValue));
    item->set(keys::UUID, creationStamp());
    if (s.getBool(prefs::prefsAlwaysRememberLastSettings)) {
        if (s.contains(prefs::itemRememberGroup)) item->set(keys::group, s.getText(prefs::itemRememberGroup));
        if (s.contains(prefs::itemRememberAccount))
            item->set(keys::account, s.getText(prefs::itemRememberAccount));
        if (s.contains(prefs::itemRememberAccountNumber))
            item->set(keys::accountNumber, s.getText(prefs::itemRememberAccountNumber));
        if (s.getBool(prefs::itemRememberTaxBool)) item->set(keys::taxBool, true);
        if (const int64_t tag = s.getInt(prefs::itemRememberTaxTag); tag != 0) item->set(keys::taxTag, tag);
        if (const int64_t kind = s.getInt(prefs::itemRememberKind); kind != 0) item->set(keys::kind, kind);
        if (const auto d = s.getDate(prefs::rememberDate)) item->set(keys::date, fromDateTime(*d));
    } else {
        if (s.getBool(prefs::setUmsatzsteuerAutomatically)) item->set(keys::taxBool, true);
        if (s.getBool(prefs::setTaxAutomatically)) item->set(keys::taxTag, int64_t{1});
    }
    if (s.getBool(prefs::prefsRememberDate)) {
        const auto d = s.getDate(prefs::rememberDate);
        item->set(keys::date, d ? fromDateTime(*d) : app_.nowStamp());
    }

    statement->items().push_back(item);
    app_.noteChanged();
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
    Settings& settings = app_.settings();
    itemSheet_.busy = false;
    settings.setInt(prefs::jaImage, kGuideItemSheet);
    settings.setBool(prefs::allowCashBook, false);
    settings.setText(prefs::prefsVorzeichen, QString());

    if (sheet_.kind == SheetKind::Item) {
        // "Neu" in the open add sheet: confirm the current item, then start the next.
        if (!sheet_.isNew) {
            app_.ui().beep();
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
        app_.ui().beep();
        return;
    }

    itemSheet_ = ItemSheet{};
    itemSheet_.showTemplate = true;
    itemSheet_.showNew = true;
    itemSheet_.showCancel = settings.getBool(prefs::firstStepsDone);
    if (!app_.selection().selectedStatement()) {
        fail(kNoStatementForItem);
        return;
    }
    settings.setInt(prefs::prefsSelectedItemTabTag, 0);
    sheet_ = Sheet{};
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
    Settings& settings = app_.settings();
    settings.setBool(prefs::firstItemSet, true);
    settings.setBool(prefs::firstStepsDone, true);
    const RecordPtr item = sheet_.record;
    sheet_ = Sheet{};
    search_ = SearchSheet{};
    itemStatement_.reset();
    // The list shows the item where its date sorts it.
    app_.selection().refresh();
    if (app_.selection().rowOf(item.get()) >= 0) app_.selection().setSelectedItems({item});
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
            app_.noteChanged();
        }
    }
    sheet_ = Sheet{};
    search_ = SearchSheet{};
    itemStatement_.reset();
    app_.selection().refresh();
    app_.selection().setSelectedItems({});
}

void AddController::revertItemSheet() {
    if (sheet_.kind != SheetKind::Item || sheet_.isNew) return;
    const RecordPtr item = sheet_.record;
    if (!(item->properties() == savedProperties_)) {
        item->setProperties(savedProperties_);
        app_.noteChanged();
    }
    sheet_ = Sheet{};
    search_ = SearchSheet{};
    savedProperties_ = Dict{};
    itemStatement_.reset();
    // The date may have changed back: the list sorts the item where it was.
    app_.selection().refresh();
    if (app_.selection().rowOf(item.get()) >= 0) app_.selection().setSelectedItems({item});
}

void AddController::editItem() {
    if (sheetIsOpen()) return;
    Selection& selection = app_.selection();
    itemSheet_ = ItemSheet{};
    const RecordPtr item = selection.firstSelectedItem();
    const RecordPtr statement = selection.selectedStatement();
    if (!item || !statement) {
        app_.ui().beep();
        return;
    }
    Settings& settings = app_.settings();
    if (statement->flag(keys::taxBool)) {
        const int pressed = app_.ui().alert(AlertStyle::Warning, kAttentionTitle, kEditMarkedMessage,
                                            {kCancelButton, kEditButton});
        if (pressed != 1) return;
    }
    // An item taken into the cash book must not be handed over a second time.
    settings.setBool(prefs::allowCashBook, !inCashBook(*item));
    settings.setInt(prefs::prefsSelectedItemTabTag, 0);
    itemSheet_.showSteps = true;
    sheet_ = Sheet{};
    openItemSheet(false);
    itemStatement_ = statement;
    showItem(item);
    calculateItem();
}

void AddController::duplicateItem() {
    if (sheetIsOpen()) return;
    Selection& selection = app_.selection();
    const RecordPtr item = selection.firstSelectedItem();
    const RecordPtr statement = selection.selectedStatement();
    if (!item || !statement) {
        fail(kNoItemSelected);
        return;
    }
    RecordPtr copy = item->deepCopy();
    statement->items().push_back(copy);
    app_.noteChanged();
    selection.refresh();
    selection.setSelectedItems({copy});
}

// ---- calculation ------------------------------------------------------------------

void AddController::calculateItem() {
    const RecordPtr item = sheet_.kind == SheetKind::Item ? sheet_.record : app_.selection().firstSelectedItem();
    itemSheet_.sign.clear();
    itemSheet_.signColor = SignColor::None;
    if (!item) return;
    Settings& settings = app_.settings();
    const bool shown = item == sheetItem();
    // An amount written by other means (the split calculator) shows in the field as stored.
    if (shown && item->value(keys::amount).type() != Value::Type::String &&
        !item->value(keys::amount).isNull() &&
        amountFromText(itemSheet_.amountText) != item->value(keys::amount).toFloat())
        itemSheet_.amountText = amountFieldText(item->value(keys::amount));
    const QString amountText = shown ? itemSheet_.amountText : amountFieldText(item->value(keys::amount));
    // An item with an amount may be handed to the cash book, unless it already was.
    if (!amountText.isEmpty()) settings.setBool(prefs::allowCashBook, !inCashBook(*item));
    // An amount kept as typed text (older files) is stored as the number it reads as,
    // so the figures and the stored amount agree.
    if (!amountText.trimmed().isEmpty() && item->value(keys::amount).type() == Value::Type::String) {
        item->set(keys::amount, amountFromText(amountText));
        app_.noteChanged();
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
    if (applyCalculation(*item, taxRates(settings))) app_.noteChanged();
}

// ---- fields -------------------------------------------------------------------------

void AddController::setKind(int64_t kind) {
    const RecordPtr item = sheet_.kind == SheetKind::Item ? sheet_.record : app_.selection().firstSelectedItem();
    if (!item) return;
    item->set(keys::kind, kind);
    app_.noteChanged();
    calculateItem();
}

void AddController::selectExpense() {
    setKind(kKindExpense);
}

void AddController::selectIncome() {
    setKind(kKindIncome);
}

void AddController::setTaxAutomatically() {
    const RecordPtr item = sheet_.kind == SheetKind::Item ? sheet_.record : app_.selection().firstSelectedItem();
    if (item && app_.settings().getBool(prefs::setTaxAutomatically)) {
        item->set(keys::taxTag, int64_t{1});
        app_.noteChanged();
    }
    calculateItem();
}

void AddController::setItemTaxBool(bool on) {
    const RecordPtr item = sheetItem();
    if (!item) return;
    item->set(keys::taxBool, on);
    app_.noteChanged();
    if (on)
        setTaxAutomatically();
    else
        calculateItem();
}

void AddController::setItemTaxTag(int64_t tag) {
    const RecordPtr item = sheetItem();
    if (!item) return;
    item->set(keys::taxTag, tag);
    app_.noteChanged();
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
    app_.noteChanged();
    calculateItem();
}

void AddController::setItemText(Key key, const QString& text) {
    const RecordPtr item = sheetItem();
    if (!item) return;
    item->set(key, text);
    app_.noteChanged();
}

void AddController::setItemDate(Date date) {
    const RecordPtr item = sheetItem();
    if (!item) return;
    item->set(keys::date, date);
    app_.noteChanged();
    app_.selection().refresh();  // the list is sorted by date
}

void AddController::setToday() {
    setItemDate(app_.nowStamp());
}

void AddController::step(int delta) {
    if (sheet_.kind != SheetKind::Item || sheet_.isNew) return;
    Selection& selection = app_.selection();
    // The item being left keeps the figures of what it shows now.
    calculateItem();
    const int row = selection.rowOf(sheet_.record.get());
    const RecordPtr next = row < 0 ? nullptr : selection.listedItem(static_cast<size_t>(row + delta));
    if (row + delta < 0 || !next) {
        app_.ui().beep();
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

// ---- accounts -----------------------------------------------------------------------

void AddController::setAccountText(const QString& text) {
    itemSheet_.accountText = text;
    itemSheet_.accountRejected = false;
}

bool AddController::validateAccountNumber() {
    const RecordPtr item = sheetItem();
    const QString typed = itemSheet_.accountText.trimmed();
    if (!item || typed.isEmpty()) return true;
    itemSheet_.busy = true;
    for (const RecordPtr& account : app_.database().accounts) {
        const QString number = account->text(keys::number);
        if (number.isEmpty() || number != typed) continue;
        item->set(keys::account, account->text(keys::title));
        item->set(keys::accountNumber, number);
        app_.noteChanged();
        itemSheet_.accountText = number;
        itemSheet_.busy = false;
        return true;
    }
    itemSheet_.busy = false;
    itemSheet_.accountRejected = true;
    fail(kUnknownAccount);
    return false;
}

void AddController::takeAccount(const RecordPtr& item, const QString& title) {
    itemSheet_.busy = false;
    if (!item) return;
    for (const RecordPtr& account : app_.database().accounts) {
        if (account->text(keys::title) != title) continue;
        item->set(keys::account, account->text(keys::title));
        item->set(keys::accountNumber, account->text(keys::number));
        app_.noteChanged();
        if (item == sheetItem()) itemSheet_.accountText = account->text(keys::number);
        return;
    }
}

void AddController::validateAccountTitle(const QString& title) {
    const RecordPtr item = sheetItem();
    if (!item) return;
    itemSheet_.busy = true;
    app_.ui().schedule(kLookupDelayMs, [this, item, title] { takeAccount(item, title); });
}

// ---- search sheets ------------------------------------------------------------------

const RecordList& AddController::searchList() const {
    static const RecordList none;
    switch (search_.kind) {
        case SearchKind::Group: return app_.database().groups;
        case SearchKind::Account: return app_.database().accounts;
        case SearchKind::Template: return app_.database().items;
        case SearchKind::None: break;
    }
    return none;
}

void AddController::applySearchFilter() {
    const RecordList& list = searchList();
    const QString& text = search_.text;
    search_.rows.clear();
    for (size_t i = 0; i < list.size(); ++i) {
        const Record& r = *list[i];
        bool match = text.isEmpty() || r.text(keys::title).contains(text, Qt::CaseInsensitive);
        if (!match && search_.kind == SearchKind::Account)
            match = r.text(keys::number).contains(text, Qt::CaseInsensitive);
        if (!match && search_.kind == SearchKind::Template)
            match = r.text(keys::group).contains(text, Qt::CaseInsensitive) ||
                    r.text(keys::account).contains(text, Qt::CaseInsensitive);
        if (match) search_.rows.push_back(static_cast<uint32_t>(i));
    }
    search_.selected = search_.rows.empty() ? -1 : 0;
}

void AddController::openGroupSearchSheet() {
    if (!sheetItem()) return;
    search_ = SearchSheet{SearchKind::Group, QString(), {}, -1};
    applySearchFilter();
}

void AddController::openAccountSearchSheet() {
    if (!sheetItem()) return;
    search_ = SearchSheet{SearchKind::Account, QString(), {}, -1};
    applySearchFilter();
}

void AddController::openTemplateSearchSheet() {
    if (!sheetItem()) return;
    search_ = SearchSheet{SearchKind::Template, QString(), {}, -1};
    applySearchFilter();
}

void AddController::setSearchText(const QString& text) {
    if (search_.kind == SearchKind::None) return;
    search_.text = text;
    applySearchFilter();
}

void AddController::setSearchSelection(int row) {
    if (search_.kind == SearchKind::None) return;
    search_.selected = row >= 0 && static_cast<size_t>(row) < search_.rows.size() ? row : -1;
}

void AddController::closeSearchSheet(SearchKind kind) {
    if (search_.kind == kind) search_ = SearchSheet{};
}

void AddController::selectGroupSearchSheet() {
    if (search_.kind != SearchKind::Group) return;
    const RecordPtr item = sheetItem();
    if (search_.selected < 0 || !item) {
        app_.ui().beep();
        return;
    }
    const RecordPtr group = searchList()[search_.rows[static_cast<size_t>(search_.selected)]];
    item->set(keys::group, group->text(keys::title));
    app_.noteChanged();
    closeSearchSheet(SearchKind::Group);
}

void AddController::selectAccountSearchSheet() {
    if (search_.kind != SearchKind::Account) return;
    const RecordPtr item = sheetItem();
    if (search_.selected < 0 || !item) {
        app_.ui().beep();
        return;
    }
    const RecordPtr account = searchList()[search_.rows[static_cast<size_t>(search_.selected)]];
    const QString title = account->text(keys::title);
    item->set(keys::account, title);
    app_.noteChanged();
    closeSearchSheet(SearchKind::Account);
    // The number comes from the first account of that title, as with the pop-up.
    takeAccount(item, title);
}

void AddController::selectTemplateSearchSheet() {
    if (search_.kind != SearchKind::Template) return;
    if (search_.selected < 0 || !sheetItem()) {
        app_.ui().beep();
        return;
    }
    const RecordPtr tmpl = searchList()[search_.rows[static_cast<size_t>(search_.selected)]];
    closeSearchSheet(SearchKind::Template);
    applyTemplate(tmpl);
}

void AddController::cancelGroupSearchSheet() {
    closeSearchSheet(SearchKind::Group);
}

void AddController::cancelAccountSearchSheet() {
    closeSearchSheet(SearchKind::Account);
}

void AddController::cancelTemplateSearchSheet() {
    closeSearchSheet(SearchKind::Template);
}

// ---- templates ----------------------------------------------------------------------

RecordPtr AddController::addTemplate() {
    RecordPtr tmpl = Record::create(RecordClass::Item, app_.nowStamp());
    tmpl->set(keys::UUID, creationStamp());
    app_.database().items.push_back(tmpl);
    app_.noteChanged();
    return tmpl;
}

RecordPtr AddController::makeTemplateFromItem() {
    const RecordPtr item = sheetItem() ? sheetItem() : app_.selection().firstSelectedItem();
    if (!item) {
        app_.ui().beep();
        return nullptr;
    }
    RecordPtr tmpl = Record::create(RecordClass::Item, app_.nowStamp());
    tmpl->set(keys::UUID, creationStamp());
    copyTemplateKeys(*item, *tmpl);
    app_.database().items.push_back(tmpl);
    app_.noteChanged();
    if (showTemplate) showTemplate(tmpl);
    return tmpl;
}

void AddController::applyTemplate(const RecordPtr& tmpl) {
    const RecordPtr item = sheetItem();
    if (!item || !tmpl) return;
    const Selection& selection = app_.selection();
    const RecordPtr statement = itemStatement_ ? itemStatement_ : selection.selectedStatement();
    const RecordPtr year = selection.selectedYear();
    if (statement) item->set(keys::parentTab, statement->text(keys::title));
    if (year) item->set(keys::parentYear, year->text(keys::dateValue));
    item->set(keys::UUID, creationStamp());
    copyTemplateKeys(*tmpl, *item);
    app_.noteChanged();
    showItem(item);
    itemSheet_.accountText = tmpl->text(keys::accountNumber);
    calculateItem();
    const QString title = tmpl->text(keys::account);
    app_.ui().schedule(kLookupDelayMs, [this, item, title] {
        if (item == sheetItem()) validateAccountTitle(title);
    });
}

}  // namespace quandor
