// New rows, selected rows and deleting rows of the six tables.
#include "bookkeeping/array_controller.h"

#include "bookkeeping/add_controller.h"
#include "bookkeeping/alert_words.h"
#include "bookkeeping/split_controller.h"
#include "core/keys.h"

#include <algorithm>

namespace quandor {

const QString ArrayController::kDeleteAccountTitle = QStringLiteral("Kostenstelle löschen");
const QString ArrayController::kDeleteAccountMessage = QStringLiteral(
    "Diese Aktion kann nicht rückgängig gemacht werden. In bereits bestehenden Abrechnungen "
    "bleiben die jeweils zugeordneten Kostenstellen selbstverständlich bestehen. Möchtest du "
    "wirklich die ausgewählte Kostenstelle löschen?");
const QString ArrayController::kDeleteGroupTitle = QStringLiteral("Kategorie löschen");
const QString ArrayController::kDeleteGroupMessage = QStringLiteral(
    "Diese Aktion kann nicht rückgängig gemacht werden. In bereits bestehenden Abrechnungen "
    "bleiben die jeweils zugeordneten Kategorien selbstverständlich bestehen. Möchtest du wirklich "
    "die ausgewählte Kategorie löschen?");
const QString ArrayController::kDeleteTemplateTitle = QStringLiteral("Vorlage löschen");
const QString ArrayController::kDeleteTemplateMessage = QStringLiteral(
    "Diese Aktion kann nicht rückgängig gemacht werden. Möchtest du wirklich die ausgewählte "
    "Vorlage löschen?");
const QString ArrayController::kDeleteItemTitle = QStringLiteral("Posten löschen");
const QString ArrayController::kDeleteItemMessage = QStringLiteral(
    "Diese Aktion kann nicht rückgängig gemacht werden. Möchtest du wirklich den ausgewählten "
    "Posten löschen?");
const QString ArrayController::kDeleteUsedItemMessage = QStringLiteral(
    "Die übergeordnete Abrechnung wurde als zur Voranmeldung genutzt markiert. Bist du sicher, "
    "dass du dennoch diesen Posten löschen möchtest?");
const QString ArrayController::kBadMasterAmount =
    QStringLiteral("Bitte gib den Betrag als positive Zahl ein, zum Beispiel 119,00.");

namespace {

int masterSlot(ArrayController::ListKind list) {
    switch (list) {
        case ArrayController::ListKind::Groups:
            return 0;
        case ArrayController::ListKind::Accounts:
            return 1;
        case ArrayController::ListKind::Templates:
            return 2;
        default:
            return -1;
    }
}

}  // namespace

ArrayController::ArrayController(Books& books) : books_(books) {}

QString ArrayController::moveDragType(ListKind list) {
    switch (list) {
        case ListKind::Accounts:
            return QStringLiteral("MOVED_ROWS_TYPE_ACCOUNT");
        case ListKind::Groups:
            return QStringLiteral("MOVED_ROWS_TYPE_GROUPS");
        case ListKind::Templates:
            return QStringLiteral("MOVED_ROWS_TYPE_TEMPLATES");
        case ListKind::Years:
            return QStringLiteral("MOVED_ROWS_TYPE_YEAR");
        case ListKind::Statements:
            return QStringLiteral("MOVED_ROWS_TYPE_TAB");
        case ListKind::Items:
            return QStringLiteral("MOVED_ROWS_TYPE");
    }
    return {};
}

QString ArrayController::copyDragType(ListKind list) {
    switch (list) {
        case ListKind::Accounts:
            return QStringLiteral("COPIED_ROWS_TYPE_ACCOUNT");
        case ListKind::Groups:
            return QStringLiteral("COPIED_ROWS_TYPE_GROUPS");
        case ListKind::Templates:
            return QStringLiteral("COPIED_ROWS_TYPE_TEMPLATES");
        case ListKind::Years:
            return QStringLiteral("COPIED_ROWS_TYPE_YEAR");
        case ListKind::Statements:
            return QStringLiteral("COPIED_ROWS_TYPE_TAB");
        case ListKind::Items:
            return QStringLiteral("COPIED_ROWS_TYPE");
    }
    return {};
}

RecordList* ArrayController::recordsOf(ListKind list) {
    Database& db = books_.database();
    switch (list) {
        case ListKind::Years:
            return &db.years;
        case ListKind::Groups:
            return &db.groups;
        case ListKind::Accounts:
            return &db.accounts;
        case ListKind::Templates:
            return &db.items;
        case ListKind::Statements: {
            RecordPtr year = books_.selection().selectedYear();
            return year ? &year->thelists() : nullptr;
        }
        case ListKind::Items: {
            RecordPtr statement = books_.selection().selectedStatement();
            return statement ? &statement->items() : nullptr;
        }
    }
    return nullptr;
}

int ArrayController::rowCount(ListKind list) const {
    if (list == ListKind::Items) return static_cast<int>(books_.selection().listedCount());
    RecordList* records = const_cast<ArrayController*>(this)->recordsOf(list);
    return records ? static_cast<int>(records->size()) : 0;
}

int ArrayController::masterRow(ListKind list) const {
    const int slot = masterSlot(list);
    return slot < 0 ? -1 : masterRows_[slot];
}

void ArrayController::setMasterRow(ListKind list, int row) {
    const int slot = masterSlot(list);
    if (slot < 0) return;
    masterRows_[slot] = row >= 0 && row < rowCount(list) ? row : -1;
}

// ---- cells of the master lists ------------------------------------------------------

Record* ArrayController::masterRecord(ListKind list, int row) {
    if (masterSlot(list) < 0) return nullptr;
    RecordList* records = recordsOf(list);
    if (!records || row < 0 || row >= static_cast<int>(records->size())) return nullptr;
    return (*records)[static_cast<size_t>(row)].get();
}

bool ArrayController::setMasterText(ListKind list, int row, Key key, const QString& text) {
    Record* record = masterRecord(list, row);
    if (!record) return false;
    if (record->text(key) == text) return true;
    record->set(key, text);
    books_.noteChanged();
    return true;
}

bool ArrayController::setMasterFlag(ListKind list, int row, Key key, bool on) {
    Record* record = masterRecord(list, row);
    if (!record) return false;
    record->set(key, on);
    books_.noteChanged();
    return true;
}

bool ArrayController::setMasterChoice(ListKind list, int row, Key key, int64_t index) {
    Record* record = masterRecord(list, row);
    if (!record) return false;
    record->set(key, index);
    books_.noteChanged();
    return true;
}

bool ArrayController::setMasterAmount(ListKind list, int row, Key key, const QString& typed,
                                      QString* refusal) {
    Record* record = masterRecord(list, row);
    if (!record) return false;
    const QString text = typed.trimmed();
    if (text.isEmpty()) {
        record->set(key, QString());
    } else {
        const std::optional<float> amount = SplitController::parseNumber(text);
        if (!amount || *amount < 0) {
            if (refusal) *refusal = kBadMasterAmount;
            return false;
        }
        record->set(key, *amount);
    }
    books_.noteChanged();
    return true;
}

// ---- new rows -------------------------------------------------------------------

int ArrayController::appendMasterRow(ListKind list, RecordPtr record) {
    RecordList& records = *recordsOf(list);
    records.push_back(std::move(record));
    books_.noteChanged();
    const int row = static_cast<int>(records.size()) - 1;
    setMasterRow(list, row);
    return row;
}

int ArrayController::addAccount() {
    return appendMasterRow(ListKind::Accounts,
                           Record::create(RecordClass::Account, books_.nowStamp()));
}

int ArrayController::addAccountSetup() {
    return addAccount();
}

int ArrayController::addGroup() {
    return appendMasterRow(ListKind::Groups, Record::create(RecordClass::Group, books_.nowStamp()));
}

int ArrayController::addGroupSetup() {
    return addGroup();
}

int ArrayController::addTemplateRow() {
    RecordPtr tmpl = Record::create(RecordClass::Item, books_.nowStamp());
    tmpl->set(keys::UUID, AddController::creationStamp(books_));
    return appendMasterRow(ListKind::Templates, std::move(tmpl));
}

// ---- deleting -------------------------------------------------------------------

bool ArrayController::askRemove(const QString& title, const QString& message, bool cancelFirst) {
    if (cancelFirst) {
        return books_.ui().alert(AlertStyle::Warning, title, message,
                                 {AlertWords::kCancelButton, AlertWords::kDeleteButton}) == 1;
    }
    return books_.ui().alert(AlertStyle::Warning, title, message,
                             {AlertWords::kDeleteButton, AlertWords::kCancelButton}) == 0;
}

bool ArrayController::remove(ListKind list) {
    if (list == ListKind::Items) {
        Selection& selection = books_.selection();
        RecordPtr statement = selection.selectedStatement();
        RecordPtr item = selection.firstSelectedItem();
        if (!statement || !item) {
            books_.ui().beep();
            return false;
        }
        const bool used = statement->flag(keys::taxBool);
        const bool confirmed =
            used ? askRemove(AlertWords::kAttentionTitle, kDeleteUsedItemMessage, true)
                 : askRemove(kDeleteItemTitle, kDeleteItemMessage, false);
        if (!confirmed) return false;
        const int row = selection.rowOf(item.get());
        RecordList& items = statement->items();
        const auto it = std::find(items.begin(), items.end(), item);
        if (it == items.end()) return false;
        items.erase(it);
        books_.noteChanged();
        selection.refresh();
        const int count = static_cast<int>(selection.listedCount());
        if (count > 0 && row >= 0) selection.setSelectedRows({std::min(row, count - 1)});
        return true;
    }

    const int slot = masterSlot(list);
    if (slot < 0) return false;
    const int row = masterRows_[slot];
    RecordList& records = *recordsOf(list);
    if (row < 0 || row >= static_cast<int>(records.size())) {
        books_.ui().beep();
        return false;
    }
    bool confirmed = false;
    switch (list) {
        case ListKind::Accounts:
            confirmed = askRemove(kDeleteAccountTitle, kDeleteAccountMessage, false);
            break;
        case ListKind::Groups:
            confirmed = askRemove(kDeleteGroupTitle, kDeleteGroupMessage, false);
            break;
        default:
            confirmed = askRemove(kDeleteTemplateTitle, kDeleteTemplateMessage, false);
            break;
    }
    if (!confirmed) return false;
    // Items name their category and account by copied text: they stay as they are.
    records.erase(records.begin() + row);
    books_.noteChanged();
    setMasterRow(list, std::min(row, static_cast<int>(records.size()) - 1));
    return true;
}

void ArrayController::fail(const QString& message) {
    books_.ui().beep();
    books_.ui().alert(AlertStyle::Critical, AlertWords::kErrorTitle, message,
                      {AlertWords::kOkButton});
}

}  // namespace quandor
