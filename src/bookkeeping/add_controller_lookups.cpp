// The item sheet's lookups: accounts by number and by title, the search
// sheets over categories, accounts and templates, and templates.
#include "bookkeeping/add_controller.h"

#include "core/keys.h"
#include "core/settings.h"

namespace quandor {

namespace {

// The account lookups after a template or a title choice wait this long.
constexpr int kLookupDelayMs = 100;

// What a template carries over into an item, and an item into a template.
std::vector<Key> templateKeys() {
    return {keys::kind,  keys::group,  keys::account, keys::accountNumber,
            keys::title, keys::amount, keys::taxBool, keys::taxTag};
}

void copyTemplateKeys(const Record& from, Record& to) {
    for (const Key& k : templateKeys())
        if (const Value* v = from.properties().find(k)) to.set(k, *v);
}

}  // namespace

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
    for (const RecordPtr& account : books_.database().accounts) {
        const QString number = account->text(keys::number);
        if (number.isEmpty() || number != typed) continue;
        item->set(keys::account, account->text(keys::title));
        item->set(keys::accountNumber, number);
        books_.noteChanged();
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
    for (const RecordPtr& account : books_.database().accounts) {
        if (account->text(keys::title) != title) continue;
        item->set(keys::account, account->text(keys::title));
        item->set(keys::accountNumber, account->text(keys::number));
        books_.noteChanged();
        if (item == sheetItem()) itemSheet_.accountText = account->text(keys::number);
        return;
    }
}

void AddController::validateAccountTitle(const QString& title) {
    const RecordPtr item = sheetItem();
    if (!item) return;
    itemSheet_.busy = true;
    books_.ui().schedule(kLookupDelayMs, [this, item, title] { takeAccount(item, title); });
}

// ---- search sheets ------------------------------------------------------------------

const RecordList& AddController::searchList() const {
    static const RecordList none;
    switch (search_.kind) {
        case SearchKind::Group:
            return books_.database().groups;
        case SearchKind::Account:
            return books_.database().accounts;
        case SearchKind::Template:
            return books_.database().items;
        case SearchKind::None:
            break;
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
        books_.ui().beep();
        return;
    }
    const RecordPtr group = searchList()[search_.rows[static_cast<size_t>(search_.selected)]];
    item->set(keys::group, group->text(keys::title));
    books_.noteChanged();
    closeSearchSheet(SearchKind::Group);
}

void AddController::selectAccountSearchSheet() {
    if (search_.kind != SearchKind::Account) return;
    const RecordPtr item = sheetItem();
    if (search_.selected < 0 || !item) {
        books_.ui().beep();
        return;
    }
    const RecordPtr account = searchList()[search_.rows[static_cast<size_t>(search_.selected)]];
    const QString title = account->text(keys::title);
    item->set(keys::account, title);
    books_.noteChanged();
    closeSearchSheet(SearchKind::Account);
    // The number comes from the first account of that title, as with the pop-up.
    takeAccount(item, title);
}

void AddController::selectTemplateSearchSheet() {
    if (search_.kind != SearchKind::Template) return;
    if (search_.selected < 0 || !sheetItem()) {
        books_.ui().beep();
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
    RecordPtr tmpl = Record::create(RecordClass::Item, books_.nowStamp());
    tmpl->set(keys::UUID, creationStamp(books_));
    books_.database().items.push_back(tmpl);
    books_.noteChanged();
    return tmpl;
}

RecordPtr AddController::makeTemplateFromItem() {
    const RecordPtr item = sheetItem() ? sheetItem() : books_.selection().firstSelectedItem();
    if (!item) {
        books_.ui().beep();
        return nullptr;
    }
    RecordPtr tmpl = Record::create(RecordClass::Item, books_.nowStamp());
    tmpl->set(keys::UUID, creationStamp(books_));
    copyTemplateKeys(*item, *tmpl);
    books_.database().items.push_back(tmpl);
    books_.noteChanged();
    if (showTemplate) showTemplate(tmpl);
    return tmpl;
}

void AddController::applyTemplate(const RecordPtr& tmpl) {
    const RecordPtr item = sheetItem();
    if (!item || !tmpl) return;
    const Selection& selection = books_.selection();
    const RecordPtr statement = itemStatement_ ? itemStatement_ : selection.selectedStatement();
    const RecordPtr year = selection.selectedYear();
    if (statement) item->set(keys::parentTab, statement->text(keys::title));
    if (year) item->set(keys::parentYear, year->text(keys::dateValue));
    item->set(keys::UUID, creationStamp(books_));
    copyTemplateKeys(*tmpl, *item);
    books_.noteChanged();
    showItem(item);
    itemSheet_.accountText = tmpl->text(keys::accountNumber);
    calculateItem();
    const QString title = tmpl->text(keys::account);
    books_.ui().schedule(kLookupDelayMs, [this, item, title] {
        if (item == sheetItem()) validateAccountTitle(title);
    });
}

}  // namespace quandor
