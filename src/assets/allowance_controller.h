#pragma once
// The depreciation window ("Abschreibungen und GWGs"): records made from
// expense items, the add sheet over the items window, and the booking items a
// record leads to.
//
//   openAllowanceAddSheet ─▶ set-up of the account "ZZ 9999" (once)
//                          ─▶ duplicate question ─▶ openAddSheet
//   sheet: setDuration (working values) ─▶ addAllowanceItem ─▶ record
//                                                          └─▶ compensation item
//   createNewItemFromAllowance ─▶ yearly item in the shown statement, opened
//                                 in the item sheet
//
// The record keeps what the sheet showed when it was added; it is never
// recomputed.

#include "assets/allowance_figures.h"
#include "assets/list_export.h"
#include "core/books.h"

#include <QString>

#include <utility>
#include <vector>

namespace quandor {

class AddController;

class AllowanceController {
  public:
    static const QString kNoAccountsMessage;
    static const QString kSetupNote;  // the "Wichtig!" note of the set-up
    static const QString kDuplicateMessage;
    static const QString kIncomeMessage;
    static const QString kNoDurationMessage;
    static const QString kDeleteMessage;
    static const QString kBookAgainQuestion;          // "%1": why
    static const QString kCompensationAccountNumber;  // "ZZ 9999"
    static const QString kCompensationAccountTitle;   // "Ausgleich Abschreibung"

    // What the open add sheet shows.
    struct AddSheet {
        bool open = false;
        RecordPtr item;  // the booking item it was opened for
        AllowanceFigures figures;
        int years = 0;
        AllowanceRule rule =
            AllowanceRule::WholeYears;  // whole years unless "monatsgenau" is ticked
    };

    AllowanceController(Books& books, AddController& items);

    // The duration list: tag (years) and text.
    static const std::vector<std::pair<int, QString>>& durations();

    // ---- the add sheet --------------------------------------------------------
    // For the first selected item: set-up, duplicate question, then the sheet.
    // True when the sheet is open.
    bool openAllowanceAddSheet();
    bool openAddSheet();
    // The duration list's choice ("selectedAFATag"), then the working values.
    void setDuration(int years);
    void setComment(const QString& comment);
    void setCompensation(bool on);
    // "monatsgenau (pro rata temporis)": the purchase year deducts its months only.
    void setMonthly(bool on);
    void doTheAllowanceCalculation();
    const AddSheet& addSheet() const { return sheet_; }
    // Confirms the sheet; false (sheet stays open) when no duration was chosen.
    bool addAllowanceItem();
    void cancelAllowanceAddSheet();

    // ---- the window -----------------------------------------------------------
    // The selected record (row of the list), -1 for none.
    int selectedRow() const { return selected_; }
    void setSelectedRow(int row);
    // The yearly item of the selected record in the shown statement, opened in
    // the item sheet. False when nothing was created. Esc on that sheet
    // (AddController::revertItemSheet while it shows the new item) removes the
    // item again; confirming keeps it.
    bool createNewItemFromAllowance();
    // Asks, then removes the selected record; true when removed.
    bool deleteAllowanceItem();
    ExportResult exportAllowances();     // CSV
    ExportResult exportAllowancesPdf();  // the printed page as PDF
    // The page through the print dialog (`printDialog`); true when printed.
    bool printAllowances();
    print::PrintDialog printDialog;

  private:
    bool setUpOnce();
    void createCompensationItem(const RecordPtr& statement, const AllowanceFigures& figures);
    // Why booking `record` into the shown year deducts a share twice; empty when it does not.
    QString bookingDoubt(const Record& record, const Record& year) const;
    // Esc on the item sheet of a new yearly item: the item goes again.
    void discardYearlyItem(const RecordPtr& statement, const RecordPtr& item);

    Books& books_;
    AddController& items_;
    AddSheet sheet_;
    int selected_ = -1;
};

}  // namespace quandor
