#pragma once
// Item entry: the item sheet over the main window, where booking items are
// entered, edited, stepped through and duplicated, with the account lookups,
// the three search sheets (categories, accounts, templates) and templates.
//
// The item sheet edits the first selected item of the item list in place.
// Opened by addItem it shows a fresh item with cancel, "new" and template
// buttons; opened by editItem it shows next/previous. The item's derived
// figures are recalculated (calculateItem) whenever kind, amount, VAT flag or
// rate change and before every confirmation, step and new item, so the stored
// keys always match what the sheet shows.
//
//   addItem ─▶ sheet open (fresh item) ─┬─ addItem ("Neu"): confirm, next fresh item
//                                       ├─ closeItemSheet (checks) ─▶ closed, kept
//                                       └─ cancelItemSheet ─▶ closed, item removed
//   editItem ─▶ sheet open ─┬─ selectNext / selectPrevious
//                           ├─ closeItemSheet (checks) ─▶ closed
//                           └─ revertItemSheet (Esc) ─▶ closed, values given back

#include "bookkeeping/item_calculation.h"
#include "bookkeeping/open_sheet.h"
#include "core/books.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace quandor {

class AddController {
  public:
    using SheetKind = OpenSheet::Kind;
    using Sheet = OpenSheet;

    // `sheet` is the main window's sheet, shared with the years controller.
    AddController(Books& books, OpenSheet& sheet);

    const Sheet& sheet() const { return sheet_; }
    bool sheetIsOpen() const { return sheet_.isOpen(); }

    // Which colour the sign label and the amount field take.
    enum class SignColor { None, Expense, Income };

    // What the open item sheet shows beside the item's own fields.
    struct ItemSheet {
        QString amountText;  // the amount field as typed (or as the item holds it)
        bool amountEnabled = false;
        QString accountText;           // the account number field
        bool accountRejected = false;  // an unknown number was typed: select the field's text
        QString sign;                  // "-", "+" or empty
        SignColor signColor = SignColor::None;
        bool showCancel = false, showNew = false, showTemplate = false, showSteps = false;
        bool busy = false;  // the account busy indicator
    };
    const ItemSheet& itemSheet() const { return itemSheet_; }
    // The item the open item sheet shows, or null.
    RecordPtr sheetItem() const;

    // ---- the sheet (add_controller.cpp) ----------------------------------------
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
    // Whoever just created the item the edit sheet shows decides what Esc
    // does with it: when the sheet is reverted while still showing that item,
    // `discard` runs after the sheet closed. Forgotten when the sheet closes.
    void setDiscardOnRevert(const RecordPtr& item, std::function<void()> discard);
    // Appends a deep copy of the selected item and selects it.
    void duplicateItem();
    // Calculates the item of the sheet (else the first selected item) from
    // what the sheet shows, and remembers its choices for the next new item.
    void calculateItem();
    // The item becomes an expense (an income), then is calculated.
    void selectExpense();
    void selectIncome();
    // Sets the first rate when "setTaxAutomatically" is on, then calculates.
    void setTaxAutomatically();
    // Dates the sheet's item today.
    void setToday();
    // The edit sheet moves to the next (previous) listed item; beeps at either end.
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

    // ---- accounts, search sheets, templates (add_controller_lookups.cpp) -------
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
        QString text;                // the search field
        std::vector<uint32_t> rows;  // indexes into the searched list that match
        int selected = -1;           // selected row of `rows`
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

    // ---- numbers -------------------------------------------------------------------
    // The configured rates; a rate never written reads as the first-start default
    // (19 and 7; the third rate has none and reads 0).
    static TaxRates taxRates(const Settings& settings);
    // The amount field's text for an item's stored "amount".
    static QString amountFieldText(const Value& amount);
    // An amount field's text as a number: locale decimal comma or ".", thousands
    // separators; empty text and text that is no number read 0.
    static float amountFromText(const QString& text);
    // The "UUID" of a new item or template: now in whole seconds since 1970 (UTC).
    static QString creationStamp(const Books& books);
    // The settings the item sheet writes while it works (the first-steps
    // flags, the choices remembered for the next item): what a refused
    // command of the command line puts back.
    static QStringList sheetSettings();

    static const QString kNoAmount;
    static const QString kNoRate;
    static const QString kTaxOnZero;
    static const QString kNoTitle;
    static const QString kNoStatementForItem;
    static const QString kNoItemSelected;
    static const QString kUnknownAccount;
    static const QString kEditMarkedMessage;
    static const QString kEditButton;  // "Bearbeiten"

  private:
    void fail(const QString& message);
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

    Books& books_;
    OpenSheet& sheet_;
    ItemSheet itemSheet_;
    SearchSheet search_;
    RecordPtr itemStatement_;  // the statement the sheet's items belong to
    Dict savedProperties_;     // what revertItemSheet gives back
    RecordPtr discardItem_;    // see setDiscardOnRevert
    std::function<void()> discard_;
};

}  // namespace quandor
