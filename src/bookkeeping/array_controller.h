#pragma once
// The list controllers of the six tables whose rows are added, deleted and
// reordered by drag: years, statements and items in the main window;
// categories, accounts and templates (the master lists) in the preference
// window. One class serves all six; each operation names its table by
// ListKind. It also takes an item dropped on a statement row.
//
// The main window's tables select through the selection of the open books;
// the master lists' tables keep their selected row here (masterRow).

#include "core/books.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace quandor {

class ArrayController {
  public:
    enum class ListKind { Years, Statements, Items, Groups, Accounts, Templates };

    explicit ArrayController(Books& books);

    // Drag-data type names of a table: moving rows within it, copying them.
    static QString moveDragType(ListKind list);
    static QString copyDragType(ListKind list);

    // The records a table shows, in row order: the stored list (for items the
    // selected statement's items; their rows are the listed rows). Null when
    // the list does not exist (no year or statement selected).
    RecordList* recordsOf(ListKind list);
    int rowCount(ListKind list) const;

    // The selected row of a master list's table (-1 for none).
    int masterRow(ListKind list) const;
    void setMasterRow(ListKind list, int row);

    // ---- rows (array_controller.cpp) ---------------------------------------------
    // New rows: append a record with its defaults and select it. Each returns
    // the new row, whose first column the table starts editing.
    int addAccount();
    int addAccountSetup();  // the same for the first-steps assistant's table
    int addGroup();
    int addGroupSetup();   // the same for the first-steps assistant's table
    int addTemplateRow();  // a template with a fresh "UUID"

    // Deletes the selected row after the question ("Löschen" first; for an
    // item of a statement used for the VAT return "Abbrechen" first). Beeps
    // without a selection. Lists: Groups, Accounts, Templates, Items. True
    // when a record was deleted.
    bool remove(ListKind list);

    // ---- cells of the master lists (array_controller.cpp) ------------------------
    // Edits of one cell of a master list's row; false (nothing changed) for a
    // row that does not exist. An edit that changes the record counts as a
    // change of the books.
    bool setMasterText(ListKind list, int row, Key key, const QString& text);
    bool setMasterFlag(ListKind list, int row, Key key, bool on);
    bool setMasterChoice(ListKind list, int row, Key key, int64_t index);
    // An amount cell as typed: empty text empties it, a number of 0 or more
    // (German or plain notation) is stored. Anything else is refused: false,
    // the amount unchanged, `refusal` (when given) set to kBadMasterAmount.
    bool setMasterAmount(ListKind list, int row, Key key, const QString& text,
                         QString* refusal = nullptr);

    // ---- dragging and dropping (array_controller_drags.cpp) ----------------------
    // Move data: the archived set of dragged row indexes (ascending, unique).
    static QByteArray archiveRows(const std::vector<int>& rows);
    // The row set of move data; nothing for data that are no such archive.
    static std::optional<std::vector<int>> unarchiveRows(const QByteArray& data);
    // The move data of a drag start. Dragging item rows also writes the first
    // dragged item to "temp.item" for a drop on a statement.
    QByteArray writeRows(ListKind list, const std::vector<int>& rows);
    // A drop of `type` data on the own table between rows, before `dropRow`:
    // reorders and returns true; refuses (false, nothing changed) other types
    // and damaged data.
    bool acceptMoveDrop(ListKind list, const QString& type, const QByteArray& data, int dropRow);
    // Takes the records of `rows` out and inserts them again, in their order,
    // at target − (moved rows above target); they become the selection.
    void moveObjectsInArrangedObjectsFromIndexes(ListKind list, const std::vector<int>& rows,
                                                 int target);
    // The index arithmetic of a move on a list of `count` rows: the new order
    // as old indexes. Rows out of range are ignored; target is clamped.
    static std::vector<int> movedOrder(int count, std::vector<int> rows, int target,
                                       int* firstMovedRow = nullptr);

    // Dropping a dragged item on a statement row of the selected year: shows
    // the one-time notice, selects that statement, reads the dragged item from
    // "temp.item" and appends an independent copy unless an item of the same
    // title is listed there. Data of another type are refused. True when the
    // copy was added.
    bool addDroppedItem(const QString& type, int statementRow);
    // Where a dragged item is kept between drag and drop.
    QString tempItemPath() const;

    static const QString kDeleteAccountTitle;
    static const QString kDeleteAccountMessage;
    static const QString kDeleteGroupTitle;
    static const QString kDeleteGroupMessage;
    static const QString kDeleteTemplateTitle;
    static const QString kDeleteTemplateMessage;
    static const QString kDeleteItemTitle;
    static const QString kDeleteItemMessage;
    static const QString kDeleteUsedItemMessage;
    static const QString kFirstDropMessage;
    static const QString kItemAlreadyThere;
    static const QString kDroppedItemUnreadable;
    static const QString kBadMasterAmount;  // an amount cell that holds no positive number

  private:
    bool askRemove(const QString& title, const QString& message, bool cancelFirst);
    int appendMasterRow(ListKind list, RecordPtr record);
    Record* masterRecord(ListKind list, int row);
    void fail(const QString& message);

    Books& books_;
    int masterRows_[3] = {-1, -1, -1};  // groups, accounts, templates
};

}  // namespace quandor
