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
#include "bookkeeping/statement_totals.h"
#include "bookkeeping/summary_page.h"
#include "core/app_delegate.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace quandor {

class AddController {
  public:
    enum class SheetKind { None, Year, Statement };

    // What an open sheet shows. `record` is the year or statement being edited
    // (the sheet's fields write straight into it); `isNew` tells whether
    // cancelling removes it again.
    struct Sheet {
        SheetKind kind = SheetKind::None;
        RecordPtr record;
        bool isNew = false;
        bool helpDrawer = false;  // open the help drawer beside the sheet
    };

    explicit AddController(QuandorAppDelegate& app);

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

    // ---- totals and VAT return (add_controller_totals.cpp) -------------------
    // The VAT return window as the controller keeps it; the window binds to it.
    // Its payment fields are the selected statement's "payment",
    // "additionalPayment", "rePayment" and "balance"; the booking fields show
    // what meldungBuchen booked.
    struct ReturnWindow {
        bool open = false;
        bool busy = false;        // content hidden, busy indicator running
        bool helpDrawer = false;  // the help drawer beside the window
        float bookedRefund = 0, bookedPayment = 0, bookedBalance = 0;
    };
    // What doTheWinston wrote.
    struct ReturnFileResult {
        bool written = false;
        QString path;
        QString clipboardText;
        QString error;  // German, when not written
    };

    const ReturnWindow& returnWindow() const { return returnWindow_; }
    // The totals of the statement for which infoWindowVoid ran last.
    const std::optional<StatementTotals>& totals() const { return totals_; }
    // The summary page built by infoWindowVoid, with its footer.
    const SummaryPage& summaryPage() const { return summaryPage_; }
    // The text a total shows in the window's field.
    static QString fieldText(float value);

    // Hands the summary page to the print pipeline (html, footer); set by the
    // window layer. Without it the page is only built.
    void setSummaryRenderer(std::function<void(const QString&, const QString&)> render) {
        summaryRenderer_ = std::move(render);
    }
    // Prints the page written by the renderer (the print dialog); set by the window layer.
    void setSummaryPrinter(std::function<void()> print) { summaryPrinter_ = std::move(print); }
    bool canPrintSummary() const { return static_cast<bool>(summaryPrinter_); }
    // The currency text of money cells when "prefsPrintCurrency" is set.
    void setCurrencyText(std::function<QString()> text) { currencyText_ = std::move(text); }

    // Totals of the listed items into the window, the settings and the summary page.
    void infoWindowVoid();
    // balance ← payment + additional payment − refund of the selected statement.
    void calculateTabVoid();
    void calculateTab() { calculateTabVoid(); }
    void changeAlLCalculates();
    void printAbrechnung();
    // The window's payment fields (they write into the selected statement).
    void setPaymentField(Key key, float value);
    void setVoranmeldungComment(const QString& text);

    // Checks, then opens the VAT return window; true when it opened.
    bool openVoranmeldungsWindow();
    void closeVoranmeldungsWindow();
    // Asks "Übernehmen" or "Eigene", then books (bookReturn).
    void meldungBuchen();
    // The booking after the question: take the computed figures, or clear the
    // booking fields for the person's own.
    void bookReturn(bool takeFigures);
    // The check box "Voranmeldung erstellt": marks the statement and, when
    // switched on, books the return (asking, unless `take` answers for the person).
    void setReturnCreated(bool created, std::optional<bool> take = std::nullopt);
    void nichtSteuerbarAlert();
    // Clipboard text and return file (into `outbox`, the ELSTER client's outbox
    // when empty), without the notice and without starting the client.
    ReturnFileResult writeReturnFile(const QString& outbox = {});
    // writeReturnFile, the once-only notice, then starts the ELSTER client.
    void doTheWinston();
    void winstonWebseite();
    void elsterNummer();

    static const QString kHintTitle;            // "Hinweis!"
    static const QString kNoFirstSteps;         // before the first item
    static const QString kNoStatements;         // no statement in the year
    static const QString kNoItems;              // the statement is empty
    static const QString kContinueButton;       // "Fortfahren"
    static const QString kBookTitle;            // "Voranmeldung als erstellt markieren"
    static const QString kBookQuestion;
    static const QString kTakeButton;           // "Übernehmen"
    static const QString kOwnButton;            // "Eigene"
    static const QString kNichtSteuerbarMessage;
    static const QString kWinstonNotice;
    static const QString kWinstonFailed;
    static const QString kWinstonWebsite;
    static const QString kTaxNumberArticle;
    static const QString kFormsPortal;

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
    static const QString kDeleteUsedItemTitle;  // "Achtung!"
    static const QString kDeleteUsedItemMessage;
    static const QString kNoticeTitle;  // "Hinweis!"
    static const QString kFirstDropMessage;
    static const QString kItemAlreadyThere;
    static const QString kDroppedItemUnreadable;
    static const QString kSplitMissingRate;
    static const QString kSplitPointless;
    static const QString kSplitBadNetAmount;
    static const QString kSplitBadPercentage;

  private:
    bool closeSheet(SheetKind kind, Key nameKey, const QString& refusal);
    void cancelSheet(SheetKind kind);
    void openSheet(SheetKind kind, RecordPtr record, bool isNew);
    bool askDelete(const QString& title, const QString& message);
    void fail(const QString& message);

    // item entry state

    // master list state
    bool askRemove(const QString& title, const QString& message, bool cancelFirst);
    int appendMasterRow(ListKind list, RecordPtr record);
    int masterRows_[3] = {-1, -1, -1};  // groups, accounts, templates

    // split state
    SplitWindow split_;

    // totals and VAT return state
    ReturnWindow returnWindow_;
    std::optional<StatementTotals> totals_;
    std::weak_ptr<Record> totalsStatement_;  // the statement totals_ belong to
    SummaryPage summaryPage_;
    std::function<void(const QString&, const QString&)> summaryRenderer_;
    std::function<void()> summaryPrinter_;
    std::function<QString()> currencyText_;

    QuandorAppDelegate& app_;
    Sheet sheet_;
    // For cancelling: the properties before editing, and the selection before adding.
    Dict savedProperties_;
    int previousIndex_ = -1;
    RecordPtr newListYear_;  // the year a new statement was appended to
};

}  // namespace quandor
