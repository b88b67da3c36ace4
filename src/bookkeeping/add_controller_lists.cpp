// New rows, deleting, reordering by drag and dropping items on statements, for
// the main window's three tables and the preference window's master lists.
#include "bookkeeping/add_controller.h"

#include "core/archive/archive.h"
#include "core/atomic_file.h"
#include "core/keys.h"
#include "core/paths.h"
#include "core/settings.h"
#include "core/settings_keys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace quandor {

const QString AddController::kDeleteAccountTitle = QStringLiteral("Kostenstelle löschen");
const QString AddController::kDeleteAccountMessage = QStringLiteral(
    "Diese Aktion kann nicht rückgängig gemacht werden. In bereits bestehenden Abrechnungen bleiben "
    "die jeweils zugeordneten Kostenstellen selbstverständlich bestehen. Möchtest du wirklich die "
    "ausgewählte Kostenstelle löschen?");
const QString AddController::kDeleteGroupTitle = QStringLiteral("Kategorie löschen");
const QString AddController::kDeleteGroupMessage = QStringLiteral(
    "Diese Aktion kann nicht rückgängig gemacht werden. In bereits bestehenden Abrechnungen bleiben "
    "die jeweils zugeordneten Kategorien selbstverständlich bestehen. Möchtest du wirklich die "
    "ausgewählte Kategorie löschen?");
const QString AddController::kDeleteTemplateTitle = QStringLiteral("Vorlage löschen");
const QString AddController::kDeleteTemplateMessage = QStringLiteral(
    "Diese Aktion kann nicht rückgängig gemacht werden. Möchtest du wirklich die ausgewählte Vorlage "
    "löschen?");
const QString AddController::kDeleteItemTitle = QStringLiteral("Posten löschen");
const QString AddController::kDeleteItemMessage = QStringLiteral(
    "Diese Aktion kann nicht rückgängig gemacht werden. Möchtest du wirklich den ausgewählten Posten "
    "löschen?");
const QString AddController::kDeleteUsedItemMessage = QStringLiteral(
    "Die übergeordnete Abrechnung wurde als zur Voranmeldung genutzt markiert. Bist du sicher, dass du "
    "dennoch diesen Posten löschen möchtest?");
const QString AddController::kNoticeTitle = QStringLiteral("Hinweis!");
const QString AddController::kFirstDropMessage = QStringLiteral(
    "Dies ist das erste mal, dass du einen bestehenden Posten einer anderen Abrechnung hinzufügst. "
    "Dazu musst du wissen, dass der 'Original-Posten' bewusst nicht von Quandor gelöscht wird. Dies "
    "vermeidet zum einen unnötige Fehler und ermöglicht es dir, nachträglich noch Posten allen "
    "Abrechnungen hinzuzufügen, die vielleicht das ganze Jahr über vergessen wurden. Dies bedeutet "
    "allerdings auch, dass du für das etwaige Löschen selber verantwortlich bist. Bitte denke "
    "gegebenenfalls immer daran.");
const QString AddController::kItemAlreadyThere =
    QStringLiteral("Posten ist bereits in dieser Abrechnung vorhanden.");
const QString AddController::kDroppedItemUnreadable = QStringLiteral(
    "Der gezogene Posten konnte nicht gelesen werden. Bitte ziehe ihn noch einmal auf die "
    "Abrechnung.");

namespace {

int masterSlot(AddController::ListKind list) {
    switch (list) {
        case AddController::ListKind::Groups: return 0;
        case AddController::ListKind::Accounts: return 1;
        case AddController::ListKind::Templates: return 2;
        default: return -1;
    }
}

}  // namespace

QString AddController::moveDragType(ListKind list) {
    switch (list) {
        case ListKind::Accounts: return QStringLiteral("MOVED_ROWS_TYPE_ACCOUNT");
        case ListKind::Groups: return QStringLiteral("MOVED_ROWS_TYPE_GROUPS");
        case ListKind::Templates: return QStringLiteral("MOVED_ROWS_TYPE_TEMPLATES");
        case ListKind::Years: return QStringLiteral("MOVED_ROWS_TYPE_YEAR");
        case ListKind::Statements: return QStringLiteral("MOVED_ROWS_TYPE_TAB");
        case ListKind::Items: return QStringLiteral("MOVED_ROWS_TYPE");
    }
    return {};
}

QString AddController::copyDragType(ListKind list) {
    switch (list) {
        case ListKind::Accounts: return QStringLiteral("COPIED_ROWS_TYPE_ACCOUNT");
        case ListKind::Groups: return QStringLiteral("COPIED_ROWS_TYPE_GROUPS");
        case ListKind::Templates: return QStringLiteral("COPIED_ROWS_TYPE_TEMPLATES");
        case ListKind::Years: return QStringLiteral("COPIED_ROWS_TYPE_YEAR");
        case ListKind::Statements: return QStringLiteral("COPIED_ROWS_TYPE_TAB");
        case ListKind::Items: return QStringLiteral("COPIED_ROWS_TYPE");
    }
    return {};
}

RecordList* AddController::recordsOf(ListKind list) {
    Database& db = books_.database();
    switch (list) {
        case ListKind::Years: return &db.years;
        case ListKind::Groups: return &db.groups;
        case ListKind::Accounts: return &db.accounts;
        case ListKind::Templates: return &db.items;
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

int AddController::rowCount(ListKind list) const {
    if (list == ListKind::Items) return static_cast<int>(books_.selection().listedCount());
    RecordList* records = const_cast<AddController*>(this)->recordsOf(list);
    return records ? static_cast<int>(records->size()) : 0;
}

int AddController::masterRow(ListKind list) const {
    const int slot = masterSlot(list);
    return slot < 0 ? -1 : masterRows_[slot];
}

void AddController::setMasterRow(ListKind list, int row) {
    const int slot = masterSlot(list);
    if (slot < 0) return;
    masterRows_[slot] = row >= 0 && row < rowCount(list) ? row : -1;
}

// ---- new rows -------------------------------------------------------------------

int AddController::appendMasterRow(ListKind list, RecordPtr record) {
    RecordList& records = *recordsOf(list);
    records.push_back(std::move(record));
    books_.noteChanged();
    const int row = static_cast<int>(records.size()) - 1;
    setMasterRow(list, row);
    return row;
}

int AddController::addAccount() {
    return appendMasterRow(ListKind::Accounts, Record::create(RecordClass::Account, books_.nowStamp()));
}

int AddController::addAccountSetup() {
    return addAccount();
}

int AddController::addGroup() {
    return appendMasterRow(ListKind::Groups, Record::create(RecordClass::Group, books_.nowStamp()));
}

int AddController::addGroupSetup() {
    return addGroup();
}

int AddController::addTemplateRow() {
    RecordPtr tmpl = Record::create(RecordClass::Item, books_.nowStamp());
    tmpl->set(keys::UUID, creationStamp());
    return appendMasterRow(ListKind::Templates, std::move(tmpl));
}

// ---- deleting -------------------------------------------------------------------

bool AddController::askRemove(const QString& title, const QString& message, bool cancelFirst) {
    if (cancelFirst) {
        return books_.ui().alert(AlertStyle::Warning, title, message,
                               {kCancelButton, kDeleteButton}) == 1;
    }
    return books_.ui().alert(AlertStyle::Warning, title, message, {kDeleteButton, kCancelButton}) == 0;
}

bool AddController::remove(ListKind list) {
    if (list == ListKind::Items) {
        Selection& selection = books_.selection();
        RecordPtr statement = selection.selectedStatement();
        RecordPtr item = selection.firstSelectedItem();
        if (!statement || !item) {
            books_.ui().beep();
            return false;
        }
        const bool used = statement->flag(keys::taxBool);
        const bool confirmed = used ? askRemove(kAttentionTitle, kDeleteUsedItemMessage, true)
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
        default: confirmed = askRemove(kDeleteTemplateTitle, kDeleteTemplateMessage, false); break;
    }
    if (!confirmed) return false;
    // Items name their category and account by copied text: they stay as they are.
    records.erase(records.begin() + row);
    books_.noteChanged();
    setMasterRow(list, std::min(row, static_cast<int>(records.size()) - 1));
    return true;
}

// ---- reordering -------------------------------------------------------------------

QByteArray AddController::archiveRows(const std::vector<int>& rows) {
    std::vector<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    ValueList values;
    values.reserve(sorted.size());
    for (int row : sorted)
        if (row >= 0) values.emplace_back(int64_t{row});
    return archive::write(Value::list(std::move(values)));
}

std::optional<std::vector<int>> AddController::unarchiveRows(const QByteArray& data) {
    const archive::ReadResult read = archive::read(data);
    if (!read.ok || read.root.type() != Value::Type::List || !read.root.asList()) return std::nullopt;
    std::vector<int> rows;
    for (const Value& v : *read.root.asList()) {
        if (v.type() != Value::Type::Int || v.asInt() < 0 || v.asInt() > INT32_MAX)
            return std::nullopt;
        rows.push_back(static_cast<int>(v.asInt()));
    }
    return rows;
}

QByteArray AddController::writeRows(ListKind list, const std::vector<int>& rows) {
    if (list == ListKind::Items && !rows.empty()) {
        const QString path = tempItemPath();
        RecordPtr item = books_.selection().listedItem(static_cast<size_t>(std::max(rows.front(), 0)));
        bool written = false;
        if (item && QDir().mkpath(QFileInfo(path).absolutePath())) {
            QString reason;
            written = writeFileAtomically(path, archive::write(Value(item)),
                                                              &reason);
        }
        // A stale file of an earlier drag must never be taken for this item.
        if (!written) QFile::remove(path);
    }
    return archiveRows(rows);
}

std::vector<int> AddController::movedOrder(int count, std::vector<int> rows, int target,
                                           int* firstMovedRow) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(), [count](int r) { return r < 0 || r >= count; }),
               rows.end());
    target = std::clamp(target, 0, count);
    const int above =
        static_cast<int>(std::lower_bound(rows.begin(), rows.end(), target) - rows.begin());
    const int insertAt = target - above;

    std::vector<char> moved(static_cast<size_t>(count), 0);
    for (int r : rows) moved[static_cast<size_t>(r)] = 1;
    std::vector<int> order;
    order.reserve(static_cast<size_t>(count));
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        if (moved[static_cast<size_t>(i)]) continue;
        if (kept == insertAt) order.insert(order.end(), rows.begin(), rows.end());
        order.push_back(i);
        ++kept;
    }
    if (kept == insertAt) order.insert(order.end(), rows.begin(), rows.end());
    if (firstMovedRow) *firstMovedRow = rows.empty() ? -1 : insertAt;
    return order;
}

void AddController::moveObjectsInArrangedObjectsFromIndexes(ListKind list,
                                                            const std::vector<int>& rows,
                                                            int target) {
    RecordList* records = recordsOf(list);
    if (!records || rows.empty()) return;
    Selection& selection = books_.selection();

    // Item rows are rows of the listed (sorted, filtered) items: moved in the
    // statement's stored order, before the item shown at the target row.
    std::vector<int> stored = rows;
    int storedTarget = target;
    if (list == ListKind::Items) {
        const std::vector<uint32_t>& listed = selection.listedIndexes();
        stored.clear();
        for (int r : rows)
            if (r >= 0 && r < static_cast<int>(listed.size())) stored.push_back(static_cast<int>(listed[r]));
        storedTarget = std::max(target, 0) < static_cast<int>(listed.size())
                           ? static_cast<int>(listed[std::max(target, 0)])
                           : static_cast<int>(records->size());
    }

    const int count = static_cast<int>(records->size());
    int first = -1;
    const std::vector<int> order = movedOrder(count, stored, storedTarget, &first);
    if (first < 0) return;
    RecordList reordered;
    reordered.reserve(records->size());
    for (int i : order) reordered.push_back(std::move((*records)[static_cast<size_t>(i)]));
    *records = std::move(reordered);
    books_.noteChanged();

    switch (list) {
        case ListKind::Years:
            selection.setYearIndex(first);
            selection.refresh();
            break;
        case ListKind::Statements:
            selection.setStatementIndex(first);
            selection.refresh();
            break;
        case ListKind::Items: {
            std::sort(stored.begin(), stored.end());
            stored.erase(std::unique(stored.begin(), stored.end()), stored.end());
            std::vector<RecordPtr> movedItems;
            for (size_t i = 0; i < stored.size(); ++i)
                movedItems.push_back((*records)[static_cast<size_t>(first) + i]);
            selection.refresh();
            selection.setSelectedItems(std::move(movedItems));
            break;
        }
        default: setMasterRow(list, first); break;
    }
}

bool AddController::acceptMoveDrop(ListKind list, const QString& type, const QByteArray& data,
                                   int dropRow) {
    if (type != moveDragType(list)) return false;
    const std::optional<std::vector<int>> rows = unarchiveRows(data);
    if (!rows || rows->empty()) return false;
    const int count = rowCount(list);
    for (int r : *rows)
        if (r >= count) return false;  // rows of another state of the table
    moveObjectsInArrangedObjectsFromIndexes(list, *rows, std::max(dropRow, 0));
    return true;
}

// ---- dropping an item on a statement ------------------------------------------------

QString AddController::tempItemPath() const {
    return Paths::join(books_.paths().dataFolder, QStringLiteral("temp.item"));
}

bool AddController::addDroppedItem(const QString& type, int statementRow) {
    if (type != moveDragType(ListKind::Items)) return false;
    Selection& selection = books_.selection();
    RecordPtr year = selection.selectedYear();
    if (!year || statementRow < 0 || statementRow >= static_cast<int>(year->thelists().size()))
        return false;

    Settings& settings = books_.settings();
    if (!settings.getBool(prefs::firstDropBOOL)) {
        books_.ui().alert(AlertStyle::Informational, kNoticeTitle, kFirstDropMessage,
                        {QStringLiteral("OK")});
        settings.setBool(prefs::firstDropBOOL, true);
    }

    selection.setStatementIndex(statementRow);
    selection.refresh();
    RecordPtr statement = selection.selectedStatement();

    // Read back from the file: the copy shares nothing with the dragged item.
    const archive::ReadResult read = archive::readFile(tempItemPath());
    if (!read.ok || read.root.type() != Value::Type::Record || !read.root.asRecord() ||
        read.root.asRecord()->recordClass() != RecordClass::Item) {
        fail(kDroppedItemUnreadable);
        return false;
    }
    RecordPtr copy = read.root.asRecord();

    // All items of the statement count, also those a search hides.
    const QString title = copy->text(keys::title);
    for (const RecordPtr& item : statement->items()) {
        if (item->text(keys::title) == title) {
            fail(kItemAlreadyThere);
            return false;
        }
    }
    statement->items().push_back(copy);
    books_.noteChanged();
    selection.refresh();
    selection.setSelectedItems({copy});
    return true;
}

}  // namespace quandor
