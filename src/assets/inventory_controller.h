#pragma once
// The inventory window ("Inventar"): durable objects taken over from expense
// items or entered directly, their age, deleting, print and CSV export.
//
//   openItemAddWindow ─▶ new record from the item ─▶ itemAddAction (marks the item)
//                                                 └▶ cancelItemAddWindow (record gone)
//   openDirectAddWindow ─▶ empty record ─▶ directAddAction / cancelDirectAddWindow

#include "assets/list_export.h"
#include "core/books.h"

#include <QString>

namespace quandor {

class InventoryController {
  public:
    static const QString kIncomeMessage;
    static const QString kAgainMessage;
    static const QString kDeleteMessage;

    enum class Sheet { None, FromItem, Direct };

    explicit InventoryController(Books& books);

    // ---- the add sheets ------------------------------------------------------
    bool openItemAddWindow();
    void itemAddAction();
    void cancelItemAddWindow();
    bool openDirectAddWindow();
    void directAddAction();
    void cancelDirectAddWindow();
    Sheet sheet() const { return sheet_; }
    // The record the open sheet edits.
    const RecordPtr& sheetRecord() const { return record_; }
    void setText(Key key, const QString& text);  // title, category, comment
    void setAmount(Key key, float value);        // brutto, netto
    void setDate(Date date);

    // ---- the window ----------------------------------------------------------
    int selectedRow() const { return selected_; }
    void setSelectedRow(int row);
    bool deleteItem();
    ExportResult exportInventory();     // CSV
    ExportResult exportInventoryPdf();  // the printed page as PDF
    // The page through the print dialog (`printDialog`); true when printed.
    bool printInventory();
    print::PrintDialog printDialog;

  private:
    void closeSheet(bool keep);

    Books& books_;
    Sheet sheet_ = Sheet::None;
    RecordPtr record_;
    RecordPtr item_;  // the booking item of the item add sheet
    int selected_ = -1;
};

}  // namespace quandor
