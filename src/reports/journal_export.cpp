// The reports window's export: the finished report as PDF or RTF, the year's
// items as CSV or XML (the statement export's texts, numbered through the
// year), or the year as a transfer file.
#include "bookkeeping/alert_words.h"
#include "bookkeeping/statement_print_controller.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "core/transfer.h"
#include "print/page.h"
#include "reports/journal_controller.h"
#include "reports/report_figures.h"

#include <QLocale>

namespace quandor {

namespace P = prefs;

const QString JournalController::kDatevNotice = StatementPrintController::kDatevNotice;

JournalController::ExportFormat JournalController::exportFormatOf(int64_t stored) {
    using F = ExportFormat;
    return storedFormat(stored, {F::Pdf, F::Rtf, F::Xml, F::YearFile, F::CsvSemicolon, F::Datev},
                        F::Csv);
}

namespace {

// The save dialog of each format: its title and file type; the CSV's for any
// format not listed (DATEV has no dialog).
struct FormatDialog {
    JournalController::ExportFormat format;
    const char16_t* title;
    const char16_t* fileType;
};
constexpr FormatDialog kFormatDialogs[] = {
    {JournalController::ExportFormat::Pdf, u"PDF Datei Exportieren", u"pdf"},
    {JournalController::ExportFormat::Rtf, u"Text Datei Exportieren", u"rtf"},
    {JournalController::ExportFormat::Xml, u"XML Datei Exportieren", u"xml"},
    {JournalController::ExportFormat::YearFile, u"Quandor Datei Exportieren", u"qndby"},
    {JournalController::ExportFormat::Datev, u"", u""},
};

const FormatDialog& formatDialog(JournalController::ExportFormat format) {
    static constexpr FormatDialog csv{JournalController::ExportFormat::Csv,
                                      u"CSV Datei Exportieren", u"csv"};
    for (const FormatDialog& d : kFormatDialogs)
        if (d.format == format) return d;
    return csv;
}

}  // namespace

QString JournalController::exportDialogTitle(ExportFormat format) {
    return QString::fromUtf16(formatDialog(format).title);
}

QString JournalController::exportFileType(ExportFormat format) {
    return QString::fromUtf16(formatDialog(format).fileType);
}

ItemRefs JournalController::yearItems() const {
    ItemRefs items;
    const RecordPtr year = books_.selection().selectedYear();
    if (!year) return items;
    for (const RecordPtr& list : year->thelists()) {
        if (!list) continue;
        const std::vector<const Record*> byDate = itemsByDate(*list);
        items.insert(items.end(), byDate.begin(), byDate.end());
    }
    return items;
}

QString JournalController::csvString() const {
    return quandor::csvString(yearItems(), QLocale());
}
QString JournalController::csvStringMac() const {
    return quandor::csvStringMac(yearItems(), QLocale());
}
QString JournalController::xmlString() const {
    return quandor::xmlString(yearItems(), QLocale());
}

ExportResult JournalController::exportReport() {
    endGenerating();
    Settings& s = books_.settings();
    const ExportFormat format = exportFormatOf(s.getInt(P::prefsSelectedExportJournal));
    const Report report = selectedReport();
    auto clearFlags = [&s] {
        s.setBool(P::showPrevieJournalRTFAction, false);
        s.setBool(P::isPrintActionJournalRTFAction, false);
        s.setBool(P::doExportJornalAction, false);
    };
    if (format == ExportFormat::Datev) {
        clearFlags();
        return exportReportTo(report, format, QString());
    }
    // The proposal is made from the year's name: it must not name another folder.
    const QString proposed = Paths::safeFileName(s.getText(P::journalExportTitleString));
    const std::optional<QString> path =
        books_.ui().saveDialog(exportDialogTitle(format), exportFileType(format), proposed);
    ExportResult result = ExportResult::Cancelled;
    if (path && !path->isEmpty()) result = exportReportTo(report, format, *path);
    clearFlags();
    return result;
}

ExportResult JournalController::exportReportTo(Report report, ExportFormat format,
                                               const QString& path) {
    UiPort& ui = books_.ui();
    if (format == ExportFormat::Datev) {
        ui.alert(AlertStyle::Informational, AlertWords::kNoticeTitle, kDatevNotice,
                 {AlertWords::kOkButton});
        return ExportResult::NothingWritten;
    }
    const RecordPtr year = books_.selection().selectedYear();
    if (!year) return ExportResult::Refused;
    QByteArray bytes;
    switch (format) {
        case ExportFormat::Pdf:
        case ExportFormat::Rtf: {
            // The page of the running report when there is one, else made now.
            const bool running = page_ && pageReport_ == report;
            std::optional<print::Page> page = running ? page_ : reportPage(report);
            if (!page) return ExportResult::Refused;
            if (format == ExportFormat::Rtf) {
                bytes = print::rtfBytes(*page);
            } else if (running && !pdf_.isEmpty()) {
                bytes = pdf_;
            } else {
                QString reason;
                bytes = print::pdfBytes(*page, &reason);
                if (bytes.isEmpty()) {
                    fail();
                    return ExportResult::Failed;
                }
            }
            break;
        }
        case ExportFormat::Xml:
            bytes = xmlString().toUtf8();
            break;
        case ExportFormat::CsvSemicolon:
            bytes = windows1252(csvStringMac());
            break;
        case ExportFormat::Csv:
            bytes = windows1252(csvString());
            break;
        case ExportFormat::YearFile: {
            QString error;
            if (writeYearFile(year, path, &error)) return ExportResult::Written;
            ui.beep();
            ui.alert(AlertStyle::Critical, AlertWords::kErrorTitle,
                     QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden.\n\nGrund: %2")
                         .arg(path, error),
                     {AlertWords::kOkButton});
            return ExportResult::Failed;
        }
        case ExportFormat::Datev:
            return ExportResult::NothingWritten;
    }
    return writeExportFile(ui, path, bytes) ? ExportResult::Written : ExportResult::Failed;
}

}  // namespace quandor
