// The statement controller's print and export: the print sheet, the export
// sheet and the files they write.
#include "bookkeeping/add_controller.h"
#include "bookkeeping/statement_exports.h"
#include "bookkeeping/statement_pages.h"
#include "core/atomic_file.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "core/transfer.h"
#include "print/print_pipeline.h"
#include "print/rtf_writer.h"

#include <QDir>
#include <QFile>
#include <QTextDocument>

namespace quandor {

const QString AddController::kNoFirstItemYet = QStringLiteral(
    "Voranmeldungen vorbereiten und verwalten steht erst zur Verfügung nachdem du den ersten "
    "Posten erfolgreich angelegt hast.");
const QString AddController::kDatevNotice = QStringLiteral(
    "Ich habe die Resourcen (natürlich alles Windows) von DATEV erst Ende November 2012 nach "
    "einer monatelangen Odyssey bekommen. Ich sitze dran, dies ist aber ja mal nicht so nebenbei "
    "geschrieben und vor allem nicht getestet. Sobald dies gescheit eingebaut und auf Herz- und "
    "Nieren geprüft wurde, gibt es umgehend eine Aktualisierung. Viel wichtiger war erst einmal, "
    "dass ihr euere Buchhaltung 2013 anfangen könnt. Wer jetzt schon seinen Steureberater "
    "beglücken muss, der nehme solange bitte den CSV Export. Dieser wurde auch gründlichst "
    "verbessert und stellt für jeden halbwegs fitten Steuerberater auch kein Problem dar. Danke "
    "fürs Verständnis.");
const QString AddController::kPreviewTitle = QStringLiteral("Vorschau - Abrechnung");

namespace {

const QString kOK = QStringLiteral("OK");

// What each value of "prefsSelectedExportTab" writes.
struct ExportFormat {
    int tab;
    const char16_t* dialogTitle;
    const char16_t* fileType;
};
constexpr ExportFormat kFormats[] = {
    {0, u"PDF Datei Exportieren", u"pdf"},
    {1, u"Text Datei Exportieren", u"rtf"},
    {2, u"CSV Datei Exportieren", u"csv"},
    {3, u"XML Datei Exportieren", u"xml"},
    {4, u"Quandor Datei Exportieren", u"qndbt"},
    {5, u"Tarnwick Datei Exportieren", u"trwk"},
    {9, u"CSV Datei Exportieren", u"csv"},
};
constexpr int kDatevTab = 99;
constexpr int kCsvTab = 2;

const ExportFormat& formatOf(int tab) {
    for (const ExportFormat& f : kFormats)
        if (f.tab == tab) return f;
    return kFormats[2];  // any other value: CSV
}

QString proposedName() { return QStringLiteral("Abrechnung"); }

}  // namespace

// ---- files --------------------------------------------------------------------

QString AddController::printFolderFile(const QString& name) const {
    return Paths::join(app_.paths().dataFolder, name);
}
QString AddController::previewHtmlPath() const {
    return printFolderFile(QString::fromUtf16(print::kPreviewHtmlName));
}
QString AddController::previewPdfPath() const {
    return printFolderFile(QString::fromUtf16(print::kPreviewPdfName));
}
QString AddController::exportPdfPath() const {
    return printFolderFile(QString::fromUtf16(print::kExportPdfName));
}

std::vector<const Record*> AddController::listedItemRefs() const {
    const std::vector<Record*> listed = app_.selection().listedItems();
    return {listed.begin(), listed.end()};
}

bool AddController::writeExportFile(const QString& path, const QByteArray& bytes) {
    QString reason;
    if (writeFileAtomically(path, bytes, &reason)) return true;
    app_.ui().beep();
    app_.ui().alert(AlertStyle::Critical, kErrorTitle,
                    QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden.\n\nGrund: %2")
                        .arg(path, reason),
                    {kOK});
    return false;
}

// ---- checks and sheets ----------------------------------------------------------

bool AddController::printChecksPass() {
    if (!app_.settings().getBool(prefs::firstStepsDone)) {
        app_.ui().alert(AlertStyle::Informational, kNoticeTitle, kNoFirstItemYet, {kOK});
        return false;
    }
    if (!app_.selection().selectedStatement() || !app_.selection().selectedYear() ||
        app_.selection().listedCount() == 0) {
        app_.ui().alert(AlertStyle::Warning, kErrorTitle, kNoStatements, {kOK});
        return false;
    }
    return true;
}

void AddController::openTabJournalPrint() {
    if (printSheet_ != PrintSheet::None || !printChecksPass()) return;
    printSheet_ = PrintSheet::Print;
    app_.ui().schedule(0, [this] {
        if (printSheet_ != PrintSheet::Print) return;
        const bool rendered = generatePDFTab();
        if (printHooks_.overviewRendered) printHooks_.overviewRendered(rendered);
    });
}

void AddController::closeTabJournalPrint() {
    if (printSheet_ == PrintSheet::Print) printSheet_ = PrintSheet::None;
}

void AddController::generateTabJournal() {
    infoWindowVoid();
    generatePDFTab();
}

void AddController::generateTabJournalVoid() { generatePDFTab(); }

// ---- the overview page ------------------------------------------------------------

namespace {

// Everything the overview page shows, read now from the settings and the
// selection; stores the page's footer in "printFooter".
OverviewPage overviewFor(QuandorAppDelegate& app, const Record& statement, const Record& year,
                         ItemRefs listed, const StatementTotals& totals, const QString& currency) {
    Settings& settings = app.settings();
    OverviewPage page;
    page.locale = QLocale();
    page.prologue = kPagePrologue;
    page.company = settings.getText(prefs::prefsCompany);
    page.taxID = settings.getText(prefs::prefsTaxID);
    page.today = mediumDateText(app.nowStamp(), page.locale);
    page.statement = &statement;
    page.year = &year;
    page.listed = std::move(listed);
    page.border = settings.getBool(prefs::prefsPrintBorder);
    page.currency = currency;
    const QStringView rateKeys[] = {prefs::prefs1Rate, prefs::prefs2Rate, prefs::prefs3Rate};
    for (size_t i = 0; i < 3; ++i)
        if (settings.contains(rateKeys[i])) page.rates[i] = settings.getFloat(rateKeys[i]);
    page.withList = settings.getBool(prefs::prefsExportPrintWithList);
    page.sortOrder = int(settings.getInt(prefs::prefsTabSortOrder));
    page.totals = totals;
    settings.setText(prefs::printFooter,
                     overviewFooter(page.company, statement.text(keys::title),
                                    year.text(keys::dateValue)));
    return page;
}

}  // namespace

QString AddController::exportString() {
    const RecordPtr statement = app_.selection().selectedStatement();
    const RecordPtr year = app_.selection().selectedYear();
    if (!statement || !year) return {};
    // The page's figures are the statement totals of this moment.
    const StatementTotals& totals = refreshTotals();
    QFile::remove(previewHtmlPath());
    QFile::remove(previewPdfPath());
    QDir().mkpath(app_.paths().dataFolder);
    const QString html = overviewPageHtml(overviewFor(app_, *statement, *year, listedItemRefs(), totals,
                                printedCurrencyText()));
    QString error;
    if (!print::writeHtmlFile(html, previewHtmlPath(), &error)) {
        app_.ui().beep();
        app_.ui().alert(AlertStyle::Critical, kErrorTitle, error, {kOK});
    }
    return html;
}

bool AddController::generatePDFTab() {
    const RecordPtr statement = app_.selection().selectedStatement();
    const RecordPtr year = app_.selection().selectedYear();
    if (!statement || !year) return false;
    // The page's figures are the statement totals of this moment.
    const StatementTotals& totals = refreshTotals();
    QFile::remove(previewHtmlPath());
    QFile::remove(previewPdfPath());
    QDir().mkpath(app_.paths().dataFolder);
    const OverviewPage page = overviewFor(app_, *statement, *year, listedItemRefs(), totals,
                                printedCurrencyText());
    // The whole page goes to the HTML file (printing, RTF). The PDF is the
    // page without its list as styled text, followed by the list painted
    // row by row, which keeps long statements fast.
    QString error;
    bool ok = print::writeHtmlFile(overviewPageHtml(page), previewHtmlPath(), &error);
    if (ok) {
        const std::unique_ptr<QTextDocument> head = print::parseHtml(overviewHeadHtml(page));
        print::PageOptions options;
        options.footer = app_.settings().getText(prefs::printFooter);
        ok = print::writePdf(*head, overviewItemList(page), options, previewPdfPath(), &error);
    }
    if (!ok) {
        app_.ui().beep();
        app_.ui().alert(AlertStyle::Critical, kErrorTitle,
                        QStringLiteral("Die Übersicht konnte nicht erstellt werden.\n\n%1").arg(error),
                        {kOK});
        return false;
    }
    return true;
}

void AddController::previewJournal() {
    app_.ui().schedule(100, [this] { loadPDFTab(); });
}

void AddController::loadPDFTab() {
    const QString pdf = previewPdfPath();
    if (!QFile::exists(pdf)) {
        app_.ui().beep();
        return;
    }
    if (app_.settings().getBool(prefs::loadInPreviewApp) || !printHooks_.showPreview) {
        if (!app_.ui().openFile(pdf))
            app_.ui().alert(AlertStyle::Warning, kErrorTitle,
                            QStringLiteral("Die Vorschau konnte nicht geöffnet werden: „%1“.").arg(pdf),
                            {kOK});
        return;
    }
    printHooks_.showPreview(pdf, kPreviewTitle);
}

void AddController::printJournal() {
    const RecordPtr statement = app_.selection().selectedStatement();
    const RecordPtr year = app_.selection().selectedYear();
    if (!statement || !year || !QFile::exists(previewHtmlPath()) || !printHooks_.print) {
        app_.ui().beep();
        return;
    }
    // The page as the preview shows it, with a bottom margin of 20 points.
    const StatementTotals& totals = refreshTotals();
    const OverviewPage page = overviewFor(app_, *statement, *year, listedItemRefs(), totals,
                                printedCurrencyText());
    const std::unique_ptr<QTextDocument> head = print::parseHtml(overviewHeadHtml(page));
    const print::ListTable list = overviewItemList(page);
    const print::PageOptions options =
        print::PageOptions::forPrinter(app_.settings().getText(prefs::printFooter));
    printHooks_.print([&](QPagedPaintDevice& printer) {
        return print::paintPages(*head, list, options, printer) > 0;
    });
}

// ---- the export sheet -----------------------------------------------------------------

void AddController::openTabJournalExport() {
    if (printSheet_ != PrintSheet::None || !printChecksPass()) return;
    exportButtonEnabled_ = false;
    printSheet_ = PrintSheet::Export;
    // The overview is rendered only when the chosen format needs it (PDF, at
    // the export itself): a CSV or XML export renders no page at all.
    app_.ui().schedule(0, [this] {
        if (printSheet_ != PrintSheet::Export) return;
        generatePDFTabExport();
    });
}

void AddController::cancelTabJournalExport() {
    if (printSheet_ == PrintSheet::Export) printSheet_ = PrintSheet::None;
}

void AddController::generateTabJournalExportVoid() { generatePDFTabExport(); }

void AddController::generatePDFTabExport() {
    // The sheet's small view shows an empty page with the overview's footer,
    // which costs the same for every statement. It is rendered only for a
    // window that shows it; without one the sheet is ready at once.
    const RecordPtr statement = app_.selection().selectedStatement();
    const RecordPtr year = app_.selection().selectedYear();
    if (statement && year)
        app_.settings().setText(prefs::printFooter,
                                overviewFooter(app_.settings().getText(prefs::prefsCompany),
                                               statement->text(keys::title), year->text(keys::dateValue)));
    if (!printHooks_.showExportPdf) {
        loadPDFTabExport();
        return;
    }
    const QString to = exportPdfPath();
    QFile::remove(to);
    QDir().mkpath(app_.paths().dataFolder);
    print::PageOptions options;
    options.footer = app_.settings().getText(prefs::printFooter);
    QString error;
    const std::unique_ptr<QTextDocument> empty = print::parseHtml(QString());
    if (!print::writePdf(*empty, options, to, &error)) {
        // The export itself does not need the small view: the button still works.
        loadPDFTabExport();
        return;
    }
    app_.ui().schedule(1000, [this] { loadPDFTabExport(); });
}

void AddController::loadPDFTabExport() {
    exportButtonEnabled_ = true;
    if (printHooks_.showExportPdf) printHooks_.showExportPdf(exportPdfPath());
}

AddController::ExportResult AddController::closeTabJournalExport() {
    if (printSheet_ != PrintSheet::Export) return ExportResult::Refused;
    printSheet_ = PrintSheet::None;
    const int tab = int(app_.settings().getInt(prefs::prefsSelectedExportTab));
    if (tab == kDatevTab) return exportStatementTo(tab, QString());
    const ExportFormat& format = formatOf(tab);
    const std::optional<QString> path =
        app_.ui().saveDialog(QString::fromUtf16(format.dialogTitle),
                             QString::fromUtf16(format.fileType), proposedName());
    if (!path || path->isEmpty()) return ExportResult::Cancelled;
    return exportStatementTo(tab, *path);
}

AddController::ExportResult AddController::exportStatementTo(int tab, const QString& path) {
    if (tab == kDatevTab) {
        app_.ui().alert(AlertStyle::Informational, kNoticeTitle, kDatevNotice, {kOK});
        return ExportResult::NothingWritten;
    }
    const int chosen = formatOf(tab).tab == kCsvTab ? kCsvTab : tab;
    QByteArray bytes;
    switch (chosen) {
        case 0: {
            // The overview, rendered now, copied; an existing file the person
            // chose to replace is replaced whole.
            if (!generatePDFTab()) return ExportResult::Failed;
            QFile pdf(previewPdfPath());
            if (!pdf.open(QIODevice::ReadOnly)) {
                app_.ui().alert(AlertStyle::Critical, kErrorTitle,
                                QStringLiteral("Die Übersicht als PDF fehlt; öffne den Export erneut."),
                                {kOK});
                return ExportResult::Failed;
            }
            bytes = pdf.readAll();
            break;
        }
        case 1: {
            // The overview as the PDF shows it: the page's head as styled
            // text, then the item list written row by row (laying thousands
            // of rows out as styled text first would take many seconds).
            const RecordPtr statement = app_.selection().selectedStatement();
            const RecordPtr year = app_.selection().selectedYear();
            if (!statement || !year) return ExportResult::Refused;
            const StatementTotals& totals = refreshTotals();
            const OverviewPage page = overviewFor(app_, *statement, *year, listedItemRefs(), totals,
                                                  printedCurrencyText());
            const std::unique_ptr<QTextDocument> head = print::parseHtml(overviewHeadHtml(page));
            bytes = print::rtfFromDocument(*head, overviewItemList(page),
                                           app_.settings().getText(prefs::printFooter));
            break;
        }
        case 3: bytes = xmlString().toUtf8(); break;
        case 4: {
            // The statement file of the transfer export, by the same writer.
            QString error;
            if (writeStatementFile(app_.selection().selectedStatement(), path, &error))
                return ExportResult::Written;
            app_.ui().beep();
            app_.ui().alert(AlertStyle::Critical, kErrorTitle,
                            QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden.\n\nGrund: %2")
                                .arg(path, error),
                            {kOK});
            return ExportResult::Failed;
        }
        case 5:
            // The Tarnwick format is offered, but nothing is written for it.
            return ExportResult::NothingWritten;
        case 9: bytes = windows1252(csvStringMac()); break;
        default: bytes = windows1252(csvString()); break;
    }
    return writeExportFile(path, bytes) ? ExportResult::Written : ExportResult::Failed;
}

QString AddController::csvString() const { return quandor::csvString(listedItemRefs(), QLocale()); }
QString AddController::csvStringMac() const {
    return quandor::csvStringMac(listedItemRefs(), QLocale());
}
QString AddController::xmlString() const { return quandor::xmlString(listedItemRefs(), QLocale()); }

}  // namespace quandor
