// The export sheet: the statement as PDF, RTF, CSV, XML or statement file.
#include "bookkeeping/alert_words.h"
#include "bookkeeping/statement_exports.h"
#include "bookkeeping/statement_pages.h"
#include "bookkeeping/statement_print_controller.h"
#include "core/atomic_file.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "core/transfer.h"
#include "print/page.h"

#include <QDir>
#include <QFile>

namespace quandor {

const QString StatementPrintController::kDatevNotice = QStringLiteral(
    "Ich habe die Resourcen (natürlich alles Windows) von DATEV erst Ende November 2012 nach einer "
    "monatelangen Odyssey bekommen. Ich sitze dran, dies ist aber ja mal nicht so nebenbei "
    "geschrieben und vor allem nicht getestet. Sobald dies gescheit eingebaut und auf Herz- und "
    "Nieren geprüft wurde, gibt es umgehend eine Aktualisierung. Viel wichtiger war erst einmal, "
    "dass ihr euere Buchhaltung 2013 anfangen könnt. Wer jetzt schon seinen Steureberater "
    "beglücken muss, der nehme solange bitte den CSV Export. Dieser wurde auch gründlichst "
    "verbessert und stellt für jeden halbwegs fitten Steuerberater auch kein Problem dar. Danke "
    "fürs Verständnis.");

namespace {

// The save dialog of each format.
struct FormatDialog {
    ExportFormat format;
    const char16_t* dialogTitle;
    const char16_t* fileType;
};
constexpr FormatDialog kDialogs[] = {
    {ExportFormat::Pdf, u"PDF Datei Exportieren", u"pdf"},
    {ExportFormat::Rtf, u"Text Datei Exportieren", u"rtf"},
    {ExportFormat::Csv, u"CSV Datei Exportieren", u"csv"},
    {ExportFormat::Xml, u"XML Datei Exportieren", u"xml"},
    {ExportFormat::StatementFile, u"Quandor Datei Exportieren", u"qndbt"},
    {ExportFormat::Tarnwick, u"Tarnwick Datei Exportieren", u"trwk"},
    {ExportFormat::CsvSemicolon, u"CSV Datei Exportieren", u"csv"},
};

const FormatDialog& dialogOf(ExportFormat format) {
    for (const FormatDialog& d : kDialogs)
        if (d.format == format) return d;
    return kDialogs[2];  // CSV
}

QString proposedName() {
    return QStringLiteral("Abrechnung");
}

}  // namespace

ExportFormat StatementPrintController::exportFormatOf(int64_t stored) {
    using F = ExportFormat;
    return storedFormat(
        stored, {F::Pdf, F::Rtf, F::Xml, F::StatementFile, F::Tarnwick, F::CsvSemicolon, F::Datev},
        F::Csv);
}

// ---- the sheet -----------------------------------------------------------------------

void StatementPrintController::openTabJournalExport() {
    if (printSheet_ != PrintSheet::None || !printChecksPass()) return;
    exportButtonEnabled_ = false;
    printSheet_ = PrintSheet::Export;
    // The overview is rendered only when the chosen format needs it (PDF, at
    // the export itself): a CSV or XML export renders no page at all.
    books_.ui().schedule(0, [this] {
        if (printSheet_ != PrintSheet::Export) return;
        generatePDFTabExport();
    });
}

void StatementPrintController::cancelTabJournalExport() {
    if (printSheet_ == PrintSheet::Export) printSheet_ = PrintSheet::None;
}

void StatementPrintController::generateTabJournalExportVoid() {
    generatePDFTabExport();
}

void StatementPrintController::generatePDFTabExport() {
    // The sheet's small view shows an empty page with the overview's footer,
    // which costs the same for every statement. It is rendered only for a
    // window that shows it; without one the sheet is ready at once.
    Settings& settings = books_.settings();
    const RecordPtr statement = books_.selection().selectedStatement();
    const RecordPtr year = books_.selection().selectedYear();
    if (statement && year)
        settings.setText(prefs::printFooter,
                         overviewFooter(settings.getText(prefs::prefsCompany),
                                        statement->text(keys::title), year->text(keys::dateValue)));
    if (!printHooks_.showExportPdf) {
        loadPDFTabExport();
        return;
    }
    const QString to = exportPdfPath();
    QFile::remove(to);
    QDir().mkpath(books_.paths().dataFolder);
    print::Page empty;
    empty.footer = settings.getText(prefs::printFooter);
    QString error;
    const QByteArray pdf = print::pdfBytes(empty, &error);
    if (pdf.isEmpty() || !writeFileAtomically(to, pdf, &error)) {
        // The export itself does not need the small view: the button still works.
        loadPDFTabExport();
        return;
    }
    books_.ui().schedule(1000, [this] { loadPDFTabExport(); });
}

void StatementPrintController::loadPDFTabExport() {
    exportButtonEnabled_ = true;
    if (printHooks_.showExportPdf) printHooks_.showExportPdf(exportPdfPath());
}

ExportResult StatementPrintController::closeTabJournalExport() {
    if (printSheet_ != PrintSheet::Export) return ExportResult::Refused;
    printSheet_ = PrintSheet::None;
    const ExportFormat format =
        exportFormatOf(books_.settings().getInt(prefs::prefsSelectedExportTab));
    if (format == ExportFormat::Datev) return exportStatementTo(format, QString());
    const FormatDialog& dialog = dialogOf(format);
    const std::optional<QString> path =
        books_.ui().saveDialog(QString::fromUtf16(dialog.dialogTitle),
                               QString::fromUtf16(dialog.fileType), proposedName());
    if (!path || path->isEmpty()) return ExportResult::Cancelled;
    return exportStatementTo(format, *path);
}

// ---- the files -----------------------------------------------------------------------

ExportResult StatementPrintController::exportStatementTo(ExportFormat format, const QString& path) {
    UiPort& ui = books_.ui();
    QByteArray bytes;
    switch (format) {
        case ExportFormat::Datev:
            ui.alert(AlertStyle::Informational, AlertWords::kNoticeTitle, kDatevNotice,
                     {AlertWords::kOkButton});
            return ExportResult::NothingWritten;
        case ExportFormat::Pdf:
            // The overview, rendered now; the file the person chose holds the
            // same PDF as the preview's, and an existing one is replaced whole.
            if (!renderOverview(&bytes)) return ExportResult::Failed;
            break;
        case ExportFormat::Rtf: {
            // The overview as the PDF shows it: the page's head as styled
            // text, then the item list written row by row.
            const std::optional<print::Page> page = overviewPage();
            if (!page) return ExportResult::Refused;
            bytes = print::rtfBytes(*page);
            break;
        }
        case ExportFormat::Xml:
            bytes = xmlString().toUtf8();
            break;
        case ExportFormat::StatementFile: {
            // The statement file of the transfer export, by the same writer.
            QString error;
            if (writeStatementFile(books_.selection().selectedStatement(), path, &error))
                return ExportResult::Written;
            ui.beep();
            ui.alert(AlertStyle::Critical, AlertWords::kErrorTitle,
                     QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden.\n\nGrund: %2")
                         .arg(path, error),
                     {AlertWords::kOkButton});
            return ExportResult::Failed;
        }
        case ExportFormat::Tarnwick:
            return ExportResult::NothingWritten;
        case ExportFormat::CsvSemicolon:
            bytes = windows1252(csvStringMac());
            break;
        case ExportFormat::Csv:
            bytes = windows1252(csvString());
            break;
    }
    return writeExportFile(ui, path, bytes) ? ExportResult::Written : ExportResult::Failed;
}

QString StatementPrintController::csvString() const {
    return quandor::csvString(listedItemRefs(), QLocale());
}
QString StatementPrintController::csvStringMac() const {
    return quandor::csvStringMac(listedItemRefs(), QLocale());
}
QString StatementPrintController::xmlString() const {
    return quandor::xmlString(listedItemRefs(), QLocale());
}

}  // namespace quandor
