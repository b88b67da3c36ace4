#pragma once
// The item list's import operations: booking items from a CSV file, from an
// invoice document of Fennick and from an invoice list of GrandTotal, into
// the statement the main window shows. They belong to the item list's
// controller; they live here so that the item list's other work and the
// imports can change apart.
//
// Every import is one step: from the moment its sheet opens (or a file is
// dropped) until it ends, the statement's item list and the settings the
// import touches are kept in an edit scope. The person first sees what is
// about to happen ("12 Posten importieren, 2 Zeilen übersprungen") and
// chooses "Importieren" or "Abbrechen" (the default); only then are the
// items appended, all at once. Cancelling, a refusal or a failure anywhere
// leaves the statement and the settings as they were.
//
//   CSV:        openCSVImport ─▶ sheet ─ loadCSV (file chosen) ─▶ read ─▶
//               doTheCSVImportAction ─▶ question ─▶ items appended
//   Fennick:    openFennickImportSheetAction (file chosen) ─▶ preview sheet
//               (date, account, category) ─ doTheFennickImport ─▶ question ─▶ …
//   GrandTotal: importFile (file chosen) ─▶ sheet (kind, tax, rate, date,
//               account, category) ─ doTheImport ─▶ question ─▶ …
//
// Files dropped on the item table go to the import their type names.

#include "core/books.h"
#include "core/edit_scope.h"
#include "import/csv_import.h"
#include "import/invoice_readers.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace quandor {

class ItemImportController {
  public:
    explicit ItemImportController(Books& books);
    ~ItemImportController();
    ItemImportController(const ItemImportController&) = delete;
    ItemImportController& operator=(const ItemImportController&) = delete;

    enum class Sheet { None, Csv, Fennick, GrandTotal };
    Sheet sheet() const { return sheet_; }
    bool exampleOpen() const { return exampleOpen_; }

    // The window shows or hides the sheets and the example window when these change.
    std::function<void()> sheetChanged;
    // Reading a large file: bytes read so far and the file's size.
    std::function<void(int64_t done, int64_t total)> progress;

    // How an import ended.
    // FileError: the file could not be read or is no such document.
    enum class Outcome { Imported, Cancelled, Refused, FileError };
    struct Result {
        Outcome outcome = Outcome::Refused;
        int64_t items = 0;
    };
    const Result& lastResult() const { return result_; }

    // ---- CSV ---------------------------------------------------------------------
    // The first-import note (once), the four check boxes reset, the sheet.
    void openCSVImport();
    // The file choice of the sheet; on confirmation closes the sheet, reads
    // the file and imports it. Cancelling the choice leaves the sheet open.
    void loadCSV();
    // Reads `path` and imports it (the sheet's step after the choice; drops
    // and the command line start here, with the first-import note).
    Result loadCSVFrom(const QString& path);
    void cancelCSVImport();
    // The import tips in the web browser (a page written into the data folder).
    void openManual();
    // The window with an example of the expected layout.
    void openExample();
    void closeExample();
    // Writes the example as a CSV file the person can start from.
    bool saveExample();
    // Turns the rows read (csvArray) into items, after asking.
    Result doTheCSVImportAction();
    const CsvTable& csvArray() const { return csvArray_; }
    char delim() const { return delim_; }
    bool csvCheck(int index) const;  // the four check boxes (1 … 4)
    void setCsvCheck(int index, bool on);

    // ---- Fennick -------------------------------------------------------------------
    // Asks for a document, reads it and opens the preview sheet.
    void openFennickImportSheetAction();
    // The same for a document already chosen (drops, the command line).
    bool openFennickImportSheet(const QString& path);
    // Reads the document at "importFilePath" into the preview.
    bool importItemsFromDictionary();
    // The previewed items (not yet in any statement).
    const RecordList& importArray() const { return importArray_; }
    const FennickInvoice& fennickDictionary() const { return fennick_; }
    // The date choice: 0 none, 1 due date, 2 payment date (only for a paid
    // invoice), 3 sending date.
    // False when the choice was refused (the payment date of an unpaid invoice).
    bool applyFennickDateAll(int tag);
    void delayedZeroTag();
    void applyFennickAccountAll(const QString& accountTitle);
    void applyFennickCategoryAll(const QString& category);
    void setButtonEnabled(bool enabled);
    bool importButtonEnabled() const;
    int fennickDateTag() const;
    Result doTheFennickImport();
    void cancelFennickSheet();

    // ---- GrandTotal -----------------------------------------------------------------
    // Asks for an invoice list and opens the import sheet.
    void importFile();
    bool importFileFrom(const QString& path);
    // The sheet's choices (kept in the settings).
    void setImportKind(int kind);  // 1 expense, 2 income
    void setImportTax(bool on);
    void setImportRateTag(int tag);  // 1 … 3
    void setImportDateTag(int tag);  // 0 due, 1 sent, other paid
    void setImportAccount(const QString& accountTitle);
    void setImportCategory(const QString& category);
    QString importAccount() const { return grandTotalAccount_; }
    QString importCategory() const { return grandTotalCategory_; }
    const std::vector<GrandTotalInvoice>& invoices() const { return invoices_; }
    Result doTheImport();
    void cancelSheet();

    // ---- drops ------------------------------------------------------------------------
    // Files dropped on the item table: the first one goes to the import its
    // type names; a type no import reads is refused.
    void importDroppedFiles(const QStringList& paths);

    // The titles of the accounts and categories the sheets offer.
    QStringList accountTitles() const;
    QStringList categoryTitles() const;
    // What the open sheet is about to import, for the sheet's status line.
    QString sheetSummary() const;

    // File types.
    static const QStringList& csvTypes();         // "csv", "CSV"
    static const QStringList& fennickTypes();     // "fennick"
    static const QStringList& grandTotalTypes();  // its two export types and "plist"

    // The German texts of the imports.
    static const QString kErrorTitle;     // "Fehler!"
    static const QString kNoticeTitle;    // "Hinweis!"
    static const QString kQuestionTitle;  // "Posten importieren"
    static const QString kImportButton;   // "Importieren"
    static const QString kCancelButton;   // "Abbrechen"
    static const QString kFirstCsvNotice;
    static const QString kCsvNothingToImport;
    static const QString kInvoiceNothingToImport;
    static const QString kNotPaid;
    static const QString kNoStatement;
    static const QString kUtf16;
    static const QString kUnknownFileType;
    static const QString kNoKind;
    static const QString kNoRate;
    static const QString kMarkedStatement;

  private:
    // Starts an import into the selected statement; false (alert shown) without one.
    bool beginImport();
    // Ends it: commits when `keep`, else puts everything back; closes any sheet.
    void endImport(bool keep);
    void openSheet(Sheet sheet);
    void closeSheet();
    Result refuse(const QString& message, Outcome outcome = Outcome::Refused);
    // The summary question; true on "Importieren".
    bool confirm(const ImportSummary& summary);
    // Appends the items to the statement and commits.
    Result appendAll(const RecordList& items);
    // An alert that keeps the open sheet (a choice is missing).
    void tell(const QString& message);
    // The source file of an invoice's PDF path (relative to the list, or a file URL).
    QString pdfSource(const QString& path) const;
    TaxRates rates() const;
    Date nowStamp() const { return books_.nowStamp(); }

    Books& books_;
    std::unique_ptr<EditScope> scope_;
    RecordPtr target_;  // the statement being imported into
    Sheet sheet_ = Sheet::None;
    bool exampleOpen_ = false;
    Result result_;

    CsvTable csvArray_;
    char delim_ = 0;

    FennickInvoice fennick_;
    RecordList importArray_;
    ImportSummary fennickSummary_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // for the delayed reset

    Date fennickCreated_;  // when the previewed items were made

    std::vector<GrandTotalInvoice> invoices_;
    QString invoiceFolder_;  // where the invoice list lies (relative PDF paths)
    QString grandTotalAccount_;
    QString grandTotalCategory_;
};

}  // namespace quandor
