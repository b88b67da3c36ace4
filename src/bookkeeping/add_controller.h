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

class QPagedPaintDevice;

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
    // The totals alone (window fields and settings), without the summary page.
    const StatementTotals& refreshTotals();
    // Writes the summary page into "PDFPreviewTab.html" and renders it into
    // "PDFPreviewTab.pdf" with its footer; false after telling why. The
    // window layer's summary renderer and the command line use it.
    bool renderSummaryPdf(const QString& html, const QString& footer);
    // balance ← payment + additional payment − refund of the selected statement.
    void calculateTabVoid();
    void calculateTab() { calculateTabVoid(); }
    void changeAlLCalculates();
    void printAbrechnung();
    // Shows the summary page as rendered by infoWindowVoid: in the program's
    // preview window, or in the system's PDF viewer when "loadInPreview.app" is set.
    void previewAbrechnung();
    // The window's payment fields (they write into the selected statement).
    void setPaymentField(Key key, float value);
    void setVoranmeldungComment(const QString& text);

    // Checks, then opens the VAT return window; true when it opened.
    bool openVoranmeldungsWindow();
    void closeVoranmeldungsWindow();
    // Asks "Übernehmen" or "Eigene", then books (bookReturn).
    void meldungBuchen();
    // The return follows the item list's search filter. When the filter hides
    // items: "Nur gefilterte Posten: 3 von 5 (Suche „Müller“)"; else empty.
    QString filteredReturnNote() const;
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

    static const QString kNoFirstSteps;         // before the first item
    static const QString kNoStatements;         // no statement, or nothing listed to print
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
    static const QString kFilteredTitle;        // "Achtung!"
    static const QString kFilteredQuestion;     // %1: the note, %2: what is done with it
    static const QString kBookAnywayButton;     // "Trotzdem buchen"
    static const QString kHandOverButton;       // "Trotzdem übergeben"
    // ---- statement print and export (add_controller_print.cpp) ---------------
    // The print sheet and the export sheet work on the selected statement and
    // the listed items. The print sheet renders the overview page
    // ("Übersicht") into the temporary files of the data folder when it
    // opens; the export sheet only when the PDF export is written (CSV, XML,
    // RTF and the statement file need no rendered page):
    //   "PDFPreviewTab.html"  the page as HTML (printing)
    //   "PDFPreviewTab.pdf"   the page as PDF (preview, PDF export)
    //   "PDFExportTab.pdf"    what the export sheet's small PDF view shows: an
    //                         empty page with the overview's footer, rendered
    //                         only when a window shows it
    enum class PrintSheet { None, Print, Export };
    // What the window does for these sheets; every hook may be left empty.
    struct PrintHooks {
        // Shows a PDF in the program's preview window with this title.
        std::function<void(const QString& pdfPath, const QString& title)> showPreview;
        // Shows the print dialog and, when confirmed, paints the pages onto the
        // chosen printer with `paint`; false when cancelled or not printed.
        std::function<bool(const std::function<bool(QPagedPaintDevice&)>& paint)> print;
        // Shows the export sheet's PDF, auto-scaled, and stops its progress indicator.
        std::function<void(const QString& pdfPath)> showExportPdf;
        // The overview of an open sheet was rendered (false: it could not be,
        // the person has been told); the print sheet stops its progress indicator.
        std::function<void(bool rendered)> overviewRendered;
    };
    // How an export ended.
    enum class ExportResult { Written, Cancelled, NothingWritten, Refused, Failed };

    PrintHooks& printHooks() { return printHooks_; }
    PrintSheet printSheet() const { return printSheet_; }
    bool exportButtonEnabled() const { return exportButtonEnabled_; }

    // Print sheet: checks, opens, then renders the overview PDF as the next
    // step of the run loop (so the sheet shows its progress meanwhile).
    void openTabJournalPrint();
    void closeTabJournalPrint();
    void generateTabJournal();      // refreshes the statement totals, then generatePDFTab
    void generateTabJournalVoid();  // generatePDFTab alone
    // Builds the overview page, writes "PDFPreviewTab.html" and returns the HTML.
    QString exportString();
    // Renders the overview into "PDFPreviewTab.pdf"; false after telling why.
    bool generatePDFTab();
    void previewJournal();  // loadPDFTab after 0.1 s
    void loadPDFTab();
    void printJournal();
    // Export sheet: the same checks; opens the sheet (renders no overview).
    void openTabJournalExport();
    void cancelTabJournalExport();
    // Closes the sheet and runs the export chosen in "prefsSelectedExportTab".
    ExportResult closeTabJournalExport();
    // The export of format `tab` (the values of "prefsSelectedExportTab") into
    // `path` without a dialog; the PDF export renders the overview first.
    ExportResult exportStatementTo(int tab, const QString& path);
    // The summary page of the selected statement as a PDF file at `path`
    // (written whole or not at all), as infoWindowVoid builds and renders it.
    ExportResult exportSummaryTo(const QString& path);
    QString csvString() const;
    QString csvStringMac() const;
    QString xmlString() const;
    void generatePDFTabExport();
    void generateTabJournalExportVoid();
    void loadPDFTabExport();
    // The temporary files of the data folder.
    QString previewHtmlPath() const;
    QString previewPdfPath() const;
    QString exportPdfPath() const;

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
    static const QString kNoFirstItemYet;     // print or export before the first item
    static const QString kDatevNotice;        // export value 99
    static const QString kPreviewTitle;       // "Vorschau - Abrechnung"

  private:
    // Before booking or handing over a return of a filtered list: true when
    // nothing is hidden or the person chose `action` ("Abbrechen" is the default).
    bool filteredReturnConfirmed(const QString& action);
    void askAndBook();
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

    // totals and VAT return state
    ReturnWindow returnWindow_;
    std::optional<StatementTotals> totals_;
    std::weak_ptr<Record> totalsStatement_;  // the statement totals_ belong to
    SummaryPage summaryPage_;
    std::function<void(const QString&, const QString&)> summaryRenderer_;
    std::function<void()> summaryPrinter_;
    std::function<QString()> currencyText_;
    // The currency text of money cells: empty unless "prefsPrintCurrency" is set.
    QString printedCurrencyText() const;
    // print and export state
    bool printChecksPass();
    QString printFolderFile(const QString& name) const;
    std::vector<const Record*> listedItemRefs() const;
    bool writeExportFile(const QString& path, const QByteArray& bytes);
    PrintHooks printHooks_;
    PrintSheet printSheet_ = PrintSheet::None;
    bool exportButtonEnabled_ = false;

    QuandorAppDelegate& app_;
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
