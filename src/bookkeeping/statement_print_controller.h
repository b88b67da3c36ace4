#pragma once
// Printing and exporting the selected statement: the print sheet and the
// export sheet work on the selected statement and the listed items.
//
// Both rest on the statement overview ("Übersicht"). The print sheet renders
// it into the temporary files of the data folder (print_files.h) when it
// opens; the export sheet only when the PDF export is written (CSV, XML, RTF
// and the statement file need no rendered page). The overview's figures are
// the statement totals of the moment it is built.

#include "bookkeeping/print_files.h"
#include "bookkeeping/totals_controller.h"
#include "core/books.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

class QPagedPaintDevice;

namespace quandor::print {
struct Page;
}

namespace quandor {

struct OverviewPage;

// The format among `known` whose number a setting stores, else `fallback`
// (a number this version does not know, written by another or damaged).
template <class Format>
Format storedFormat(int64_t stored, std::initializer_list<Format> known, Format fallback) {
    for (const Format f : known)
        if (int64_t(f) == stored) return f;
    return fallback;
}

// The export sheet's formats, by the number the setting
// "prefsSelectedExportTab" stores for each.
enum class ExportFormat {
    Pdf = 0,
    Rtf = 1,
    Csv = 2,
    Xml = 3,
    StatementFile = 4,  // the statement file of the transfer export (.qndbt)
    Tarnwick = 5,       // offered, but nothing is written for it
    CsvSemicolon = 9,   // numbered lines, fields separated by semicolons
    Datev = 99,         // a notice instead of a file
};

class StatementPrintController {
  public:
    enum class PrintSheet { None, Print, Export };
    using ExportResult = quandor::ExportResult;

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

    // `totals` gives the overview its figures.
    StatementPrintController(Books& books, TotalsController& totals);

    PrintHooks& printHooks() { return printHooks_; }
    PrintSheet printSheet() const { return printSheet_; }
    bool exportButtonEnabled() const { return exportButtonEnabled_; }

    // ---- the print sheet (statement_print_controller.cpp) ------------------------
    // Checks, opens, then renders the overview PDF as the next step of the run
    // loop (so the sheet shows its progress meanwhile).
    void openTabJournalPrint();
    // Closes the print sheet.
    void closeTabJournalPrint();
    // Refreshes the statement totals and the summary page, then generatePDFTab.
    void generateTabJournal();
    // generatePDFTab alone, without the summary page.
    void generateTabJournalVoid();
    // Builds the overview page, writes "PDFPreviewTab.html" and returns its HTML.
    QString exportString();
    // Renders the overview into "PDFPreviewTab.pdf"; false after telling why.
    bool generatePDFTab();
    void previewJournal();  // loadPDFTab after 0.1 s
    // Shows "PDFPreviewTab.pdf" (the overview or the summary page): in the
    // program's preview window, or in the system's PDF viewer when
    // "loadInPreview.app" is set; beeps when there is none.
    void loadPDFTab();
    // Prints the overview through the print dialog; beeps when none was rendered.
    void printJournal();

    // ---- the export sheet (statement_print_export.cpp) ---------------------------
    // The same checks as the print sheet; opens the sheet (renders no overview).
    void openTabJournalExport();
    void cancelTabJournalExport();
    // Closes the sheet and runs the export chosen in "prefsSelectedExportTab".
    ExportResult closeTabJournalExport();
    // The export of `format` into `path` without a dialog; the PDF export
    // renders the overview first.
    ExportResult exportStatementTo(ExportFormat format, const QString& path);
    // The format a stored "prefsSelectedExportTab" names; any other number is CSV.
    static ExportFormat exportFormatOf(int64_t stored);
    // The listed items as CSV with commas (ExportFormat::Csv).
    QString csvString() const;
    // The listed items as CSV with semicolons and a running number (ExportFormat::CsvSemicolon).
    QString csvStringMac() const;
    // The listed items as XML (ExportFormat::Xml).
    QString xmlString() const;
    // Prepares the export sheet's small PDF view (an empty page with the
    // overview's footer) and enables the sheet's export button.
    void generatePDFTabExport();
    void generateTabJournalExportVoid();  // generatePDFTabExport
    // Shows the small PDF view and enables the export button.
    void loadPDFTabExport();

    // The temporary files of the data folder.
    QString previewHtmlPath() const;
    QString previewPdfPath() const;
    QString exportPdfPath() const;

    static const QString kNoFirstItemYet;  // print or export before the first item
    static const QString kDatevNotice;     // the DATEV export
    static const QString kPreviewTitle;    // "Vorschau - Abrechnung"

  private:
    bool printChecksPass();
    std::vector<const Record*> listedItemRefs() const;
    // The overview page of `statement` with `totals` and everything else read
    // now from the settings; stores the page's footer in "printFooter".
    OverviewPage overviewFor(const Record& statement, const Record& year,
                             const StatementTotals& totals);
    // The overview of the selected statement with the totals of this moment;
    // nothing without a selected statement and year.
    std::optional<print::Page> overviewPage();
    // Renders the overview into the temporary files; the PDF's bytes into
    // `pdf` when given. False after telling why.
    bool renderOverview(QByteArray* pdf);

    Books& books_;
    TotalsController& totals_;
    PrintHooks printHooks_;
    PrintSheet printSheet_ = PrintSheet::None;
    bool exportButtonEnabled_ = false;
};

}  // namespace quandor
