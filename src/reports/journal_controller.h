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
#include "core/books.h"
#include "core/value.h"
#include "print/page.h"

#include <QByteArray>
#include <QString>

#include <functional>
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
        // The report export of the window; without it the PDF is saved where the person chooses.
        std::function<void(const QString& pdfPath, const QString& proposedName)> exportReport;
        // Opens the help panel.
        std::function<void()> showHelp;
    };

    explicit JournalController(Books& books);

    Hooks& hooks() { return hooks_; }
    bool isGenerating() const { return generating_; }

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

  private:
    enum class Action { Preview, Print, Export };
    void startAction(Action action);
    bool generate(Report report);
    ReportPageInput pageInput() const;
    void fail();

    Books& books_;
    Hooks hooks_;
    bool generating_ = false;
    std::optional<print::Page> page_;  // the page of the running report
    QByteArray pdf_;                   // its PDF, once rendered
};

}  // namespace quandor
