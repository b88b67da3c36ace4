#pragma once
// The statement controller's year and statement work: adding, editing and
// deleting years and statements (Abrechnungen) of the main window.
//
// The year and statement sheets are modelled as state this controller holds,
// so the window binds a sheet to sheet() and calls the actions of its buttons:
//
//   addYear / editYear ─▶ sheet open ─┬─ closeYear (check) ─▶ closed, kept
//                                     └─ cancelYear ─▶ closed; a new year is
//                                        removed again, an edited one restored
//
// (the same for statements with addList / editList / closeList / cancelList).
// Every change to the records is announced with noteChanged(); the selection of
// the main window follows the record being worked on.

#include "bookkeeping/item_calculation.h"
#include "core/books.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace quandor {

class AddController {
  public:
    enum class SheetKind { None, Year, Statement, Item };

    // What an open sheet shows. `record` is the year or statement being edited
    // (the sheet's fields write straight into it); `isNew` tells whether
    // cancelling removes it again.
    struct Sheet {
        SheetKind kind = SheetKind::None;
        RecordPtr record;
        bool isNew = false;
        bool helpDrawer = false;  // open the help drawer beside the sheet
        bool dateDrawer = false;  // item sheet: open the date drawer beside it
    };

    explicit AddController(Books& books);

    const Sheet& sheet() const { return sheet_; }
    bool sheetIsOpen() const { return sheet_.kind != SheetKind::None; }

    // ---- years ---------------------------------------------------------------
    // Appends a new year, selects it and opens the year sheet on it.
    void addYear();
    // The year-name pop-up of the open year sheet.
    void setYearName(const QString& name);
    // Closes the year sheet when the year has a name of 2 or more characters;
    // otherwise alerts and keeps it open. True when the sheet closed.
    bool closeYear();
    void cancelYear();
    // Opens the year sheet on the selected year; beeps without a selection.
    void editYear();
    // Deletes the selected year with its statements after asking.
    void deleteYear();

    // ---- statements ----------------------------------------------------------
    // Appends a new statement to the selected year, selects it and opens the
    // statement sheet; alerts when no year is selected.
    void addList();
    void setListTitle(const QString& title);
    bool closeList();
    void cancelList();
    void editList();
    void deleteList();

    // What the statement sheet's title pop-up offers: the period names the VAT
    // advance return recognises (months, quarters, the whole year).
    static const QStringList& periodNames();
    // What the year sheet's name pop-up offers: the years around `current`.
    static QStringList yearNames(int current);

    // ---- items (add_controller_items.cpp) -----------------------------------
    //
    // The item sheet edits the first selected item of the item list in place.
    // Opened by addItem it shows a fresh item with cancel, "new" and template
    // buttons; opened by editItem it shows next/previous. The item's derived
    // figures are recalculated whenever kind, amount, VAT flag or rate change
    // and before every confirmation, step and new item, so the stored keys
    // always match what the sheet shows.

    // The sign label's and amount field's colours (red for expenses, dark green for income).
    struct Rgb {
        double red, green, blue;
        bool operator==(const Rgb&) const = default;
    };
    static constexpr Rgb kExpenseColor{0.52844, 0.083141, 0.088046};
    static constexpr Rgb kIncomeColor{0.133, 0.358, 0.0};
    enum class SignColor { None, Expense, Income };

    // What the open item sheet shows beside the item's own fields.
    struct ItemSheet {
        QString amountText;      // the amount field as typed (or as the item holds it)
        bool amountEnabled = false;
        QString accountText;     // the account number field
        bool accountRejected = false;  // an unknown number was typed: select the field's text
        QString sign;            // "-", "+" or empty
        SignColor signColor = SignColor::None;
        bool showCancel = false, showNew = false, showTemplate = false, showSteps = false;
        bool busy = false;       // the account busy indicator
    };
    const ItemSheet& itemSheet() const { return itemSheet_; }
    // The item the open item sheet shows, or null.
    RecordPtr sheetItem() const;

    // New item in the selected statement; opens the sheet, or, while it is
    // open in add mode, confirms the current item and starts the next.
    void addItem();
    // Validates, recalculates and closes; false (alert shown) when refused.
    bool closeItemSheet();
    // Removes the fresh item of an add sheet and closes it.
    void cancelItemSheet();
    // Esc on the edit sheet: the item shown gets back the values it had when
    // the sheet came to it (opened on it or stepped to it) and the sheet
    // closes, without the checks of closing. Items stepped away from keep
    // their changes.
    void revertItemSheet();
    // Opens the sheet on the selected item (asks first when its statement was
    // used for the VAT return); beeps without a selection.
    void editItem();
    // Appends a deep copy of the selected item and selects it.
    void duplicateItem();
    // Calculates the first selected item from what the sheet shows.
    void calculateItem();
    void selectExpense();
    void selectIncome();
    void setTaxAutomatically();
    void setToday();
    void selectNext();
    void selectPrevious();

    // Edits of the sheet's fields (each counts as a change of the item).
    void setItemText(Key key, const QString& text);  // title, number, misc1, group, comment, …
    void setItemDate(Date date);
    void setItemTaxBool(bool on);  // the VAT check box; applies the automatic rate
    void setItemTaxTag(int64_t tag);
    // The amount field's editing ended: stores the amount and recalculates.
    // The field then shows the amount as stored (0 for text that is no number).
    void setAmountText(const QString& text);
    // The account field (account number) as typed.
    void setAccountText(const QString& text);
    // Takes the account whose number the account field holds; alerts when there
    // is none. True when an account was taken (or the field is empty).
    bool validateAccountNumber();
    // The account pop-up: after 0.1 s takes the first account titled `title`.
    void validateAccountTitle(const QString& title);

    // Search sheets over the item sheet (categories, accounts, templates).
    enum class SearchKind { None, Group, Account, Template };
    struct SearchSheet {
        SearchKind kind = SearchKind::None;
        QString text;                 // the search field
        std::vector<uint32_t> rows;   // indexes into the searched list that match
        int selected = -1;            // selected row of `rows`
    };
    const SearchSheet& searchSheet() const { return search_; }
    const RecordList& searchList() const;  // the list the open search sheet searches
    void openGroupSearchSheet();
    void openAccountSearchSheet();
    void openTemplateSearchSheet();
    void setSearchText(const QString& text);
    void setSearchSelection(int row);
    // Applies the selected row and closes the search sheet.
    void selectGroupSearchSheet();
    void selectAccountSearchSheet();
    void selectTemplateSearchSheet();
    void cancelGroupSearchSheet();
    void cancelAccountSearchSheet();
    void cancelTemplateSearchSheet();

    // Templates (root list "items"). Both return the new template (null when refused).
    RecordPtr addTemplate();
    RecordPtr makeTemplateFromItem();
    // Copies a template's entry fields into the sheet's item with fresh stamps.
    void applyTemplate(const RecordPtr& tmpl);
    // Called with a template made from an item: the window opens the templates page.
    std::function<void(const RecordPtr&)> showTemplate;

    // The configured rates; a rate never written reads as the first-start default
    // (19 and 7; the third rate has none and reads 0).
    static TaxRates taxRates(const Settings& settings);
    // The amount field's text for an item's stored "amount".
    static QString amountFieldText(const Value& amount);
    // An amount field's text as a number: locale decimal comma or ".", thousands
    // separators; empty text and text that is no number read 0.
    static float amountFromText(const QString& text);

    static const QString kNoAmount;
    static const QString kNoRate;
    static const QString kTaxOnZero;
    static const QString kNoTitle;
    static const QString kNoStatementForItem;
    static const QString kNoItemSelected;
    static const QString kUnknownAccount;
    static const QString kAttentionTitle;  // "Achtung!"
    static const QString kEditMarkedMessage;
    static const QString kEditButton;  // "Bearbeiten"

    // ---- master lists, reordering and drops (add_controller_lists.cpp) ------
    // The six tables whose rows are reordered by drag. Years, statements and
    // items are the main window's; categories, accounts and templates are the
    // master lists of the preference window.
    enum class ListKind { Years, Statements, Items, Groups, Accounts, Templates };

    // Drag-data type names of a table: moving rows within it, copying them.
    static QString moveDragType(ListKind list);
    static QString copyDragType(ListKind list);

    // The records a table shows, in row order: the stored list (for items the
    // selected statement's items; their rows are the listed rows). Null when
    // the list does not exist (no year or statement selected).
    RecordList* recordsOf(ListKind list);
    int rowCount(ListKind list) const;

    // The selected row of a master list's table (-1 for none). The main
    // window's tables use the selection of the open database instead.
    int masterRow(ListKind list) const;
    void setMasterRow(ListKind list, int row);

    // New rows: append a record with its defaults and select it. Each returns
    // the new row, whose first column the table starts editing.
    int addAccount();
    int addAccountSetup();  // the same for the first-steps assistant's table
    int addGroup();
    int addGroupSetup();
    int addTemplateRow();  // a template with a fresh "UUID"

    // Deletes the selected row after the question ("Löschen" first; for an
    // item of a statement used for the VAT return "Abbrechen" first). Beeps
    // without a selection. Lists: Groups, Accounts, Templates, Items. True
    // when a record was deleted.
    bool remove(ListKind list);

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

    // ---- item split (add_controller_split.cpp) --------------------------------
    // The calculator sheet over the item sheet. Its page ("calculatorHelpIndex":
    // 0 split, else gross-up), the chosen share ("selectedSplitIndex") and the
    // custom percentage ("customSplitValue") live in the settings; the
    // gross-up page's net amount lives here.
    struct SplitWindow {
        bool open = false;
        RecordPtr item;     // the item the item sheet edits
        QString netAmount;  // the gross-up page's field
        QString sign;       // "-" for an expense, "+" for an income, else empty
        bool expense = false;
        bool income = false;
    };
    enum class SplitOutcome { Done, MissingRate, Pointless, BadNumber };

    const SplitWindow& splitWindow() const { return split_; }
    // Opens the sheet over the item the open item sheet edits (or `item`,
    // when the item sheet hands it over); beeps when there is none.
    bool openSplitWindow(RecordPtr item = nullptr);
    void setCalculatorPage(int page);
    void setSplitShare(int index);
    void setCustomSplitValue(const QString& text);
    void setSplitNetAmount(const QString& text);
    // Applies the chosen page to the item, schedules the tax calculation and
    // closes the sheet; on a refusal alerts and keeps it open.
    bool splitAction();
    void cancelSplitWindow();

    // The new amount of `item` by the page and its inputs; writes "amount"
    // only on Done. The tax calculation is left to the caller.
    static SplitOutcome splitItem(Record& item, int page, int shareIndex, const QString& customValue,
                                  const QString& netAmount, const TaxRates& rates);
    // A number typed by the person: German ("1.234,5") or plain ("1234.5").
    static std::optional<float> parseNumber(const QString& text);
    TaxRates taxRates() const;

    // The German texts of this controller, for the window layer and tests.
    static const QString kErrorTitle;     // "Fehler!"
    static const QString kNoYearName;     // closing the year sheet without a name
    static const QString kNoListTitle;    // closing the statement sheet without a title
    static const QString kNoYearForList;  // adding a statement without a year
    static const QString kDeleteYearTitle;
    static const QString kDeleteYearMessage;
    static const QString kDeleteListTitle;
    static const QString kDeleteListMessage;
    static const QString kDeleteButton;  // "Löschen"
    static const QString kCancelButton;  // "Abbrechen"
    static const QString kDeleteAccountTitle;
    static const QString kDeleteAccountMessage;
    static const QString kDeleteGroupTitle;
    static const QString kDeleteGroupMessage;
    static const QString kDeleteTemplateTitle;
    static const QString kDeleteTemplateMessage;
    static const QString kDeleteItemTitle;
    static const QString kDeleteItemMessage;
    static const QString kDeleteUsedItemMessage;
    static const QString kNoticeTitle;  // "Hinweis!"
    static const QString kFirstDropMessage;
    static const QString kItemAlreadyThere;
    static const QString kDroppedItemUnreadable;
    static const QString kSplitPointless;
    static const QString kSplitBadNetAmount;
    static const QString kSplitBadPercentage;

  private:
    // The "UUID" of a new item or template: now in whole seconds since 1970 (UTC).
    QString creationStamp() const;
    bool closeSheet(SheetKind kind, Key nameKey, const QString& refusal);
    void cancelSheet(SheetKind kind);
    void openSheet(SheetKind kind, RecordPtr record, bool isNew);
    bool askDelete(const QString& title, const QString& message);
    void fail(const QString& message);

    // item entry state
    void newItem();
    void openItemSheet(bool isNew);
    void showItem(const RecordPtr& item);
    void showSign(int64_t kind);
    void setKind(int64_t kind);
    void step(int delta);
    std::optional<QString> itemRefusal() const;
    void applySearchFilter();
    void closeSearchSheet(SearchKind kind);
    void takeAccount(const RecordPtr& item, const QString& title);
    ItemSheet itemSheet_;
    SearchSheet search_;
    RecordPtr itemStatement_;  // the statement the sheet's items belong to

    // master list state
    bool askRemove(const QString& title, const QString& message, bool cancelFirst);
    int appendMasterRow(ListKind list, RecordPtr record);
    int masterRows_[3] = {-1, -1, -1};  // groups, accounts, templates

    // split state
    SplitWindow split_;

    Books& books_;
    Sheet sheet_;
    // For cancelling: the properties before editing, and the selection before adding.
    Dict savedProperties_;
    struct SelectionBefore {
        int year = -1;
        int statement = -1;
        std::vector<RecordPtr> items;
    };
    SelectionBefore selectionBefore_;
    void rememberSelection();
    void restoreSelection();
    RecordPtr newListYear_;  // the year a new statement was appended to
};

}  // namespace quandor
