#pragma once
// What the main window has selected, and which items it lists.
//
// "Selected": the year, the statement of that year, the cash book and its
// entry (indexes into the visible lists, -1 for none), and the selected items.
// "Listed": the items of the selected statement as the item list shows them,
// sorted by "date" ascending (ties keep list order) and filtered by the search
// text. Operations of the program work on the selected statement and on the
// listed items; the main window binds to this model.
//
// The model holds indexes and pointers only; it never copies a record. It reads
// the database it was given and must be told with `refresh()` when a list
// changed underneath it (an item added, deleted or re-dated).

#include "core/database.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace quandor {

class Selection {
  public:
    // What changed, for listeners that redraw only part of the window.
    enum class Change : uint8_t { Year, Statement, CashBook, CashBookEntry, Filter, Listed, Items };
    using Listener = std::function<void(Change)>;
    // Text of an item's amount as the filter sees it (the money text of the window).
    using AmountText = std::function<QString(float)>;

    explicit Selection(const Database& db);

    // ---- selected ----------------------------------------------------------
    int yearIndex() const { return year_; }
    int statementIndex() const { return statement_; }
    int cashBookIndex() const { return cashBook_; }
    int cashBookEntryIndex() const { return cashBookEntry_; }

    // Out-of-range indexes select nothing (-1). Selecting a year keeps the
    // statement index when the new year has such a statement, else selects none.
    void setYearIndex(int index);
    void setStatementIndex(int index);
    void setCashBookIndex(int index);
    void setCashBookEntryIndex(int index);

    // The selected records, or null.
    RecordPtr selectedYear() const;
    RecordPtr selectedStatement() const;
    RecordPtr selectedCashBook() const;
    RecordPtr selectedCashBookEntry() const;

    // The selected items (rows of the item list), in selection order.
    const std::vector<RecordPtr>& selectedItems() const { return selectedItems_; }
    RecordPtr firstSelectedItem() const;
    void setSelectedItems(std::vector<RecordPtr> items);
    // Selects the listed rows given (rows out of range are ignored).
    void setSelectedRows(const std::vector<int>& rows);

    // ---- listed ------------------------------------------------------------
    const QString& filterText() const { return filter_; }
    void setFilterText(const QString& text);
    void setAmountText(AmountText f);

    // Indexes into selectedStatement()->items(), in list order.
    const std::vector<uint32_t>& listedIndexes() const { return listed_; }
    size_t listedCount() const { return listed_.size(); }
    // The item of one listed row, or null when the row is out of range.
    RecordPtr listedItem(size_t row) const;
    // The listed row of `item`, or -1.
    int rowOf(const Record* item) const;
    // The listed items as pointers (for operations that walk them).
    std::vector<Record*> listedItems() const;

    // Recomputes the listed items and drops selections that no longer exist.
    void refresh();

    // ---- notifications -----------------------------------------------------
    int addListener(Listener listener);  // returns an id for removeListener
    void removeListener(int id);

    // Whether `item` matches `filter` (case-insensitive in title, group,
    // account, accountNumber, number, comment, misc1 and the amount text).
    bool matches(const Record& item, const QString& filter) const;

    // The default amount text: German money text ("1.234,56", "-0,50").
    static QString defaultAmountText(float amount);

  private:
    void clampIndexes();
    void rebuildListed();
    void notify(Change c);

    const Database& db_;
    int year_ = -1;
    int statement_ = -1;
    int cashBook_ = -1;
    int cashBookEntry_ = -1;
    std::vector<RecordPtr> selectedItems_;
    QString filter_;
    AmountText amountText_;
    std::vector<uint32_t> listed_;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextListenerId_ = 1;
};

}  // namespace quandor
