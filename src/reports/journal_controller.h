#pragma once
// The reports window (Berichte): four annual reports of the selected year,
// previewed, printed or exported.
//
//   openJournalWindow (checks, "Geduld!") ─▶ journalButtonTagAction(1…4)
//   previewJournal | printJournal | exportJournal
//     ─▶ flags ─▶ deleteFiles ─▶ generateUmsatz | generateMonate | generateSteuern |
//     generateGewinne
//        (figures ─▶ page ─▶ "printFooter" ─▶ "PDFJournal.html")
//     ─▶ generateRTF ─▶ generateRTFDelayAction ("PDFJournal.pdf")
//     ─▶ loadAndExportDelayAction ─▶ loadPDF (preview) | the export ─▶ endGenerating
//
// Each step is scheduled as the next step of the run loop (no fixed waits):
// the order stays, the window shows its progress and stays usable. The
// figures come from report_figures.h, the pages from report_pages.h; the
// command line writes the same pages and figures through writeReportTo and
// reportData.

#include "bookkeeping/print_files.h"
#include "bookkeeping/statement_exports.h"
#include "core/books.h"
#include "core/value.h"
#include "print/page.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QPagedPaintDevice;

namespace quandor {

struct ReportPageInput;

class JournalController {
  public:
    // The setting "selectedJournalTag".
    enum class Report : int { None = 0, Umsatz = 1, Monate = 2, Steuern = 3, Gewinne = 4 };

    // What the window does for the controller; every hook may be left empty.
    struct Hooks {
        // A report is being made (progress shown, content view hidden) or done.
        std::function<void(bool busy)> generating;
        // Shows the report's PDF in the program's preview window with this title.
        std::function<void(const QString& pdfPath, const QString& title)> showPreview;
        // Shows the print dialog and paints the pages with `paint` when confirmed.
        std::function<bool(const std::function<bool(QPagedPaintDevice&)>& paint)> print;
        // The tax-advisor package is being built (package button hidden, progress
        // shown) or done; `step` says what is being made.
        std::function<void(bool busy, const QString& step)> packaging;
        // Opens the help panel.
        std::function<void()> showHelp;
    };

    // The setting "prefsSelectedExportJournal"; any other number is CSV.
    enum class ExportFormat : int {
        Pdf = 0,
        Rtf = 1,
        Csv = 2,
        Xml = 3,
        YearFile = 4,      // the year as a transfer file (.qndby)
        CsvSemicolon = 9,  // numbered lines, fields separated by semicolons
        Datev = 99,        // a notice instead of a file
    };

    // What the tax-advisor package wrote and what it could not.
    struct PackageOutcome {
        QString folder;
        QStringList written;  // entries relative to the folder ("Dateien/Beleg.pdf")
        QStringList failed;   // one German sentence each
        bool finished = false;
    };

    explicit JournalController(Books& books);
    ~JournalController();
    JournalController(const JournalController&) = delete;
    JournalController& operator=(const JournalController&) = delete;

    Hooks& hooks() { return hooks_; }
    bool isGenerating() const { return generating_; }
    bool isPackaging() const { return package_ != nullptr; }

    // ---- the window --------------------------------------------------------------
    // Checks (first steps, statements), the waiting notice unless "geduld" is
    // set, the help panel when wanted; resets the chosen report. True when the
    // window may open.
    bool openJournalWindow();
    // Chooses report 1 to 4 (the four report buttons); other tags choose none.
    void journalButtonTagAction(int tag);
    Report selectedReport() const;
    // Preview, print and export are enabled while a report is chosen and none is being made.
    bool actionsEnabled() const;

    void previewJournal();
    void printJournal();
    void exportJournal();

    // ---- the pipeline --------------------------------------------------------------
    // Each builds its page for the selected year, stores its footer, writes
    // "PDFJournal.html" and continues by the action flags. False after "Mist!".
    bool generateUmsatz();
    bool generateMonate();
    bool generateSteuern();
    bool generateGewinne();
    // Deletes "PDFJournal.html" and "PDFJournal.pdf".
    void deleteFiles();
    void generateRTF();  // generateRTFDelayAction as the next step
    // Renders "PDFJournal.pdf"; then loadAndExportDelayAction as the next step.
    bool generateRTFDelayAction();
    void loadAndExportDelayAction();
    void loadPDF();
    void print();
    void endGenerating();

    // ---- the report export ------------------------------------------------------------
    // The export of the finished report: the DATEV notice for 99, otherwise the
    // save dialog of the chosen format proposing "journalExportTitleString".
    ExportResult exportReport();
    // Writes the selected year's `report` in `format` to `path`.
    ExportResult exportReportTo(Report report, ExportFormat format, const QString& path);
    static ExportFormat exportFormatOf(int64_t stored);
    static QString exportDialogTitle(ExportFormat format);
    static QString exportFileType(ExportFormat format);
    // The year's items (statements in stored order, each by date) as the texts
    // of the statement export, numbered through the whole year.
    QString csvString() const;
    QString csvStringMac() const;
    QString xmlString() const;
    ItemRefs yearItems() const;

    // ---- the tax-advisor package --------------------------------------------------------
    // Builds "Quandor Jahresberichte" (or `folder` when given) as a chain of
    // steps: CSV, the four report PDFs (rendered off the main thread), the
    // attached documents (copied off the main thread), XML, then one alert that
    // says what arrived. `interactive` false: no waiting notice and no final
    // alert (the command line lists the outcome). False when refused.
    bool steuerberaterAction(const QString& folder = QString(), bool interactive = true);
    const PackageOutcome& lastPackage() const { return lastPackage_; }
    // Packs the folder as a zip and hands it to the mail program.
    bool mailPackage(const QString& folder);

    // ---- figures, pages and files without the window ------------------------------
    // The page of `report` for the selected year; nothing without one.
    std::optional<print::Page> reportPage(Report report) const;
    // The report's figures as a value tree (report_json.h); nil without a year.
    Value reportData(Report report) const;
    // Writes the report's page as HTML or PDF into `path` (the temporary
    // files written on the way). Refused (told) for a year without statements.
    ExportResult writeReportTo(Report report, bool pdf, const QString& path);
    // Whether the selected year has statements; tells the person when not.
    bool statementsPresent();

    QString htmlPath() const;
    QString pdfPath() const;
    // "Vorschau - Umsatz" …
    static QString previewTitle(Report report);
    // " | Umsatz" … after the year's name: the proposed export name.
    static QString exportTitleSuffix(Report report);

    static const QString kNoFirstSteps;
    static const QString kNoStatements;
    static const QString kPatienceTitle;
    static const QString kPatience;
    static const QString kFailedTitle;
    static const QString kFailed;
    static const QString kDatevNotice;
    static const QString kPackageFolderName;  // "Quandor Jahresberichte"
    static const QString kNoItems;
    static const QString kPackagePatience;
    static const QString kSuccessTitle;
    static const QString kSuccess;
    static const QString kShowButton;
    static const QString kMailButton;
    static const QString kMailBody;

  private:
    enum class Action { Preview, Print, Export };
    void startAction(Action action);
    bool generate(Report report);
    ReportPageInput pageInput() const;
    void fail();
    struct PackageRun;
    void packageStep(size_t report);
    void finishSteuerberater();
    void packageAlert();
    void packageProgress(const QString& step);

    Books& books_;
    Hooks hooks_;
    bool generating_ = false;
    std::optional<print::Page> page_;  // the page of the running report
    Report pageReport_ = Report::None;
    QByteArray pdf_;                       // its PDF, once rendered
    std::unique_ptr<PackageRun> package_;  // the package being built
    PackageOutcome lastPackage_;
};

}  // namespace quandor
