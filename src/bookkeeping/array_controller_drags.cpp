// Reordering rows by drag, and dropping a dragged item on a statement.
#include "bookkeeping/alert_words.h"
#include "bookkeeping/array_controller.h"
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

const QString ArrayController::kFirstDropMessage = QStringLiteral(
    "Dies ist das erste mal, dass du einen bestehenden Posten einer anderen Abrechnung hinzufügst. "
    "Dazu musst du wissen, dass der 'Original-Posten' bewusst nicht von Quandor gelöscht wird. "
    "Dies vermeidet zum einen unnötige Fehler und ermöglicht es dir, nachträglich noch Posten "
    "allen Abrechnungen hinzuzufügen, die vielleicht das ganze Jahr über vergessen wurden. Dies "
    "bedeutet allerdings auch, dass du für das etwaige Löschen selber verantwortlich bist. Bitte "
    "denke gegebenenfalls immer daran.");
const QString ArrayController::kItemAlreadyThere =
    QStringLiteral("Posten ist bereits in dieser Abrechnung vorhanden.");
const QString ArrayController::kDroppedItemUnreadable = QStringLiteral(
    "Der gezogene Posten konnte nicht gelesen werden. Bitte ziehe ihn noch einmal auf die "
    "Abrechnung.");

// ---- reordering -------------------------------------------------------------------

QByteArray ArrayController::archiveRows(const std::vector<int>& rows) {
    std::vector<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    ValueList values;
    values.reserve(sorted.size());
    for (int row : sorted)
        if (row >= 0) values.emplace_back(int64_t{row});
    return archive::write(Value::list(std::move(values)));
}

std::optional<std::vector<int>> ArrayController::unarchiveRows(const QByteArray& data) {
    const archive::ReadResult read = archive::read(data);
    if (!read.ok || read.root.type() != Value::Type::List || !read.root.asList())
        return std::nullopt;
    std::vector<int> rows;
    for (const Value& v : *read.root.asList()) {
        if (v.type() != Value::Type::Int || v.asInt() < 0 || v.asInt() > INT32_MAX)
            return std::nullopt;
        rows.push_back(static_cast<int>(v.asInt()));
    }
    return rows;
}

QByteArray ArrayController::writeRows(ListKind list, const std::vector<int>& rows) {
    if (list == ListKind::Items && !rows.empty()) {
        const QString path = tempItemPath();
        RecordPtr item =
            books_.selection().listedItem(static_cast<size_t>(std::max(rows.front(), 0)));
        bool written = false;
        if (item && QDir().mkpath(QFileInfo(path).absolutePath())) {
            QString reason;
            written = writeFileAtomically(path, archive::write(Value(item)), &reason);
        }
        // A stale file of an earlier drag must never be taken for this item.
        if (!written) QFile::remove(path);
    }
    return archiveRows(rows);
}

std::vector<int> ArrayController::movedOrder(int count, std::vector<int> rows, int target,
                                             int* firstMovedRow) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(
        std::remove_if(rows.begin(), rows.end(), [count](int r) { return r < 0 || r >= count; }),
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

void ArrayController::moveObjectsInArrangedObjectsFromIndexes(ListKind list,
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
            if (r >= 0 && r < static_cast<int>(listed.size()))
                stored.push_back(static_cast<int>(listed[r]));
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
        default:
            setMasterRow(list, first);
            break;
    }
}

bool ArrayController::acceptMoveDrop(ListKind list, const QString& type, const QByteArray& data,
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

QString ArrayController::tempItemPath() const {
    return Paths::join(books_.paths().dataFolder, QStringLiteral("temp.item"));
}

bool ArrayController::addDroppedItem(const QString& type, int statementRow) {
    if (type != moveDragType(ListKind::Items)) return false;
    Selection& selection = books_.selection();
    RecordPtr year = selection.selectedYear();
    if (!year || statementRow < 0 || statementRow >= static_cast<int>(year->thelists().size()))
        return false;

    Settings& settings = books_.settings();
    if (!settings.getBool(prefs::firstDropBOOL)) {
        books_.ui().alert(AlertStyle::Informational, AlertWords::kNoticeTitle, kFirstDropMessage,
                          {AlertWords::kOkButton});
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
