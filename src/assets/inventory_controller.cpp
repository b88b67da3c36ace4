#include "assets/inventory_controller.h"

#include "bookkeeping/alert_words.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"

#include <algorithm>

namespace quandor {

const QString InventoryController::kIncomeMessage = QStringLiteral(
    "Wie man aus einer Einnahme einen Gegenstand für die Inventarliste macht, musst du mir erst "
    "einmal erklären.");
const QString InventoryController::kAgainMessage = QStringLiteral(
    "Der Posten wurde schon einmal in die Inventarliste übernommen. Bist du sicher, dass du dies "
    "erneut tun möchtest?");
const QString InventoryController::kDeleteMessage = QStringLiteral(
    "Das Löschen von Inventargegenständen kann nicht rückgängig gemacht werden. Möchtest du den "
    "ausgewählten Gegenstand wirklich löschen?");

InventoryController::InventoryController(Books& books) : books_(books) {}

bool InventoryController::openItemAddWindow() {
    UiPort& ui = books_.ui();
    const RecordPtr item = books_.selection().firstSelectedItem();
    if (sheet_ != Sheet::None || !item) {
        ui.beep();
        return false;
    }
    if (item->integer(keys::kind) == 2) {
        ui.alert(AlertStyle::Warning, QStringLiteral("Ruhig Brauner!"), kIncomeMessage,
                 {AlertWords::kOkButton});
        return false;
    }
    if (item->text(keys::misc7).size() >= 4) {
        const int pressed = ui.alert(AlertStyle::Warning, QStringLiteral("Warnung!"), kAgainMessage,
                                     {AlertWords::kCancelButton, QStringLiteral("Übernehmen …")});
        if (pressed != 1) return false;
    }
    RecordPtr record = Record::create(RecordClass::InventoryItem, books_.nowStamp());
    // The item keeps expenses negative; the sign change goes through 64 bits.
    record->set(keys::brutto,
                static_cast<float>(-static_cast<double>(item->real(keys::expenseWith))));
    record->set(keys::netto,
                static_cast<float>(-static_cast<double>(item->real(keys::expenseWithout))));
    record->set(keys::date, item->date(keys::date));
    record->set(keys::title, item->text(keys::title));
    books_.database().inventorys.push_back(record);
    sheet_ = Sheet::FromItem;
    record_ = record;
    item_ = item;
    setSelectedRow(int(books_.database().inventorys.size()) - 1);
    return true;
}

void InventoryController::itemAddAction() {
    if (sheet_ != Sheet::FromItem) return;
    item_->set(keys::misc7, QStringLiteral("isInventory"));
    closeSheet(true);
}

void InventoryController::cancelItemAddWindow() {
    if (sheet_ == Sheet::FromItem) closeSheet(false);
}

bool InventoryController::openDirectAddWindow() {
    if (sheet_ != Sheet::None) {
        books_.ui().beep();
        return false;
    }
    record_ = Record::create(RecordClass::InventoryItem, books_.nowStamp());
    books_.database().inventorys.push_back(record_);
    sheet_ = Sheet::Direct;
    setSelectedRow(int(books_.database().inventorys.size()) - 1);
    return true;
}

void InventoryController::directAddAction() {
    if (sheet_ == Sheet::Direct) closeSheet(true);
}

void InventoryController::cancelDirectAddWindow() {
    if (sheet_ == Sheet::Direct) closeSheet(false);
}

void InventoryController::closeSheet(bool keep) {
    RecordList& list = books_.database().inventorys;
    // Cancelling removes the sheet's own record, wherever the selection went meanwhile.
    if (!keep) list.erase(std::remove(list.begin(), list.end(), record_), list.end());
    books_.noteChanged();
    sheet_ = Sheet::None;
    record_.reset();
    item_.reset();
    setSelectedRow(selected_);
}

void InventoryController::setText(Key key, const QString& text) {
    if (record_) record_->set(key, text);
}
void InventoryController::setAmount(Key key, float value) {
    if (record_) record_->set(key, value);
}
void InventoryController::setDate(Date date) {
    if (record_) record_->set(keys::date, date);
}

void InventoryController::setSelectedRow(int row) {
    selected_ = row >= 0 && size_t(row) < books_.database().inventorys.size() ? row : -1;
}

bool InventoryController::deleteItem() {
    RecordList& list = books_.database().inventorys;
    if (sheet_ != Sheet::None || selected_ < 0 || size_t(selected_) >= list.size()) {
        books_.ui().beep();
        return false;
    }
    const int pressed =
        books_.ui().alert(AlertStyle::Warning, QStringLiteral("Warnung!"), kDeleteMessage,
                          {AlertWords::kCancelButton, AlertWords::kDeleteButton});
    if (pressed != 1) return false;
    list.erase(list.begin() + selected_);
    books_.noteChanged();
    setSelectedRow(selected_ < int(list.size()) ? selected_ : int(list.size()) - 1);
    return true;
}

ExportResult InventoryController::exportInventory() {
    return exportList(
        books_, ListFormat::Csv, true,
        QStringLiteral("Inventar %1").arg(books_.settings().getText(prefs::prefsCompany)));
}
bool InventoryController::printInventory() {
    return printList(books_, true, printDialog);
}

ExportResult InventoryController::exportInventoryPdf() {
    return exportList(
        books_, ListFormat::Pdf, true,
        QStringLiteral("Inventar %1").arg(books_.settings().getText(prefs::prefsCompany)));
}

}  // namespace quandor
