#include "reports/journal_controller.h"

#include "bookkeeping/alert_words.h"
#include "bookkeeping/statement_pages.h"
#include "core/atomic_file.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "print/print_pipeline.h"
#include "reports/report_figures.h"
#include "reports/report_json.h"
#include "reports/report_pages.h"

#include <QDir>
#include <QFile>

namespace quandor {

namespace P = prefs;

const QString JournalController::kNoFirstSteps = QStringLiteral(
    "Das Erstellen von Jahresberichten steht erst zur Verfügung, nachdem du den ersten Posten "
    "erfolgreich angelegt hast.");
const QString JournalController::kNoStatements =
    QStringLiteral("Du hast keinerlei Abrechnungen angelegt.");
const QString JournalController::kPatienceTitle = QStringLiteral("Geduld!");
const QString JournalController::kPatience = QStringLiteral(
    "Bitte beachte, dass das Erstellen von Berichten etwas Zeit in Anspruch nehmen kann. Je nach "
    "Alter deines Macs und Umfang deiner Abrechnungen hat dein Rechenknecht jetzt eine Menge zu "
    "tun. Quandor rödelt jetzt gewaltig im Hintergrund und auch wenn es für dich vielleicht so "
    "aussieht als würde nichts passieren oder gar, als ob das Programm sich aufgehängt hätte - es "
    "ist alles in Ordnung.\n\nDu kannst diesen nervigen Hinweis übrigens auch in den Einstellungen "
    "abstellen.");
const QString JournalController::kFailedTitle = QStringLiteral("Mist!");
const QString JournalController::kFailed = QStringLiteral(
    "Fehler beim Erstellen des Berichtes. Sollte dies wiederholt vorkommen bitte den Pellmor "
    "Support kontaktieren. Eventuell ist dein Mac einfach zu schwach auf der Brust. Wenn möglich "
    "bitte auf einem etwas schnelleren Mac probieren.");

QString JournalController::htmlPath() const {
    return Paths::join(books_.paths().dataFolder, QStringLiteral("PDFJournal.html"));
}
QString JournalController::pdfPath() const {
    return Paths::join(books_.paths().dataFolder, QStringLiteral("PDFJournal.pdf"));
}

QString JournalController::previewTitle(Report report) {
    switch (report) {
        case Report::Umsatz:
            return QStringLiteral("Vorschau - Umsatz");
        case Report::Monate:
            return QStringLiteral("Vorschau - Übersicht");
        case Report::Steuern:
            return QStringLiteral("Vorschau - Steuern");
        case Report::Gewinne:
            return QStringLiteral("Vorschau - Gewinnermittlung");
        case Report::None:
            break;
    }
    return {};
}

QString JournalController::exportTitleSuffix(Report report) {
    switch (report) {
        case Report::Umsatz:
            return QStringLiteral(" | Umsatz");
        case Report::Monate:
            return QStringLiteral(" | Übersicht Abrechnungen");
        case Report::Steuern:
            return QStringLiteral(" | Übersicht Steuern");
        case Report::Gewinne:
            return QStringLiteral(" | Gewinnermittlung");
        case Report::None:
            break;
    }
    return {};
}

// ---- the window ------------------------------------------------------------------

bool JournalController::statementsPresent() {
    const RecordPtr year = books_.selection().selectedYear();
    if (year && !year->thelists().empty()) return true;
    books_.ui().beep();
    books_.ui().alert(AlertStyle::Warning, AlertWords::kErrorTitle, kNoStatements,
                      {AlertWords::kOkButton});
    return false;
}

bool JournalController::openJournalWindow() {
    Settings& s = books_.settings();
    s.setBool(P::journalButtonsHidden, true);
    UiPort& ui = books_.ui();
    if (!s.getBool(P::firstStepsDone)) {
        ui.alert(AlertStyle::Informational, AlertWords::kNoticeTitle, kNoFirstSteps,
                 {AlertWords::kOkButton});
        return false;
    }
    if (!statementsPresent()) return false;
    if (!s.getBool(P::geduld))
        ui.alert(AlertStyle::Informational, kPatienceTitle, kPatience, {AlertWords::kOkButton});
    if (s.getBool(P::prefsAlwaysShowJournalHelpDawer) && hooks_.showHelp) hooks_.showHelp();
    s.setInt(P::selectedJournalTag, 0);
    s.setInt(P::prefsSelectedJournalTabTag, 0);
    return true;
}

void JournalController::journalButtonTagAction(int tag) {
    Settings& s = books_.settings();
    const bool known = tag >= 1 && tag <= 4;
    s.setBool(P::journalButtonsHidden, !known);
    s.setInt(P::selectedJournalTag, known ? tag : 0);
}

JournalController::Report JournalController::selectedReport() const {
    const int64_t tag = books_.settings().getInt(P::selectedJournalTag);
    return tag >= 1 && tag <= 4 ? static_cast<Report>(tag) : Report::None;
}

bool JournalController::actionsEnabled() const {
    return selectedReport() != Report::None && !generating_ && !package_;
}

void JournalController::startAction(Action action) {
    const Report report = selectedReport();
    if (report == Report::None || generating_ || package_) {
        books_.ui().beep();
        return;
    }
    Settings& s = books_.settings();
    s.setBool(P::showPrevieJournalRTFAction, action == Action::Preview);
    s.setBool(P::isPrintActionJournalRTFAction, action == Action::Print);
    s.setBool(P::doExportJornalAction, action == Action::Export);
    s.setBool(P::isNotSteuerberaterAction, true);
    if (action == Action::Export) {
        const RecordPtr year = books_.selection().selectedYear();
        s.setText(P::journalExportTitleString,
                  (year ? year->text(keys::dateValue) : QString()) + exportTitleSuffix(report));
        // Only the PDF and RTF exports need the rendered report; the others
        // write the year's items or the year itself at once.
        const ExportFormat format = exportFormatOf(s.getInt(P::prefsSelectedExportJournal));
        if (format != ExportFormat::Pdf && format != ExportFormat::Rtf) {
            generating_ = true;
            if (hooks_.generating) hooks_.generating(true);
            books_.ui().schedule(0, [this] { exportReport(); });
            return;
        }
    }
    generating_ = true;
    if (hooks_.generating) hooks_.generating(true);
    // The window shows its progress before the page is built.
    books_.ui().schedule(0, [this, report] { generate(report); });
}

void JournalController::previewJournal() {
    startAction(Action::Preview);
}
void JournalController::printJournal() {
    startAction(Action::Print);
}
void JournalController::exportJournal() {
    startAction(Action::Export);
}

// ---- the pipeline ------------------------------------------------------------------

bool JournalController::generateUmsatz() {
    return generate(Report::Umsatz);
}
bool JournalController::generateMonate() {
    return generate(Report::Monate);
}
bool JournalController::generateSteuern() {
    return generate(Report::Steuern);
}
bool JournalController::generateGewinne() {
    return generate(Report::Gewinne);
}

void JournalController::deleteFiles() {
    QFile::remove(htmlPath());
    QFile::remove(pdfPath());
    // The temporary files' folder, should it have gone meanwhile.
    QDir().mkpath(books_.paths().dataFolder);
}

bool JournalController::generate(Report report) {
    deleteFiles();
    page_ = reportPage(report);
    pageReport_ = report;
    pdf_.clear();
    if (!page_) {
        fail();
        return false;
    }
    Settings& s = books_.settings();
    s.setText(P::printFooter, page_->footer);
    QString reason;
    if (!print::writeHtmlFile(print::pageHtml(*page_), htmlPath(), &reason)) {
        fail();
        return false;
    }
    if (s.getBool(P::isNotSteuerberaterAction)) generateRTF();
    if (s.getBool(P::isPrintActionJournalRTFAction)) print();
    return true;
}

void JournalController::generateRTF() {
    books_.ui().schedule(0, [this] { generateRTFDelayAction(); });
}

bool JournalController::generateRTFDelayAction() {
    if (!page_) return false;
    QString reason;
    pdf_ = print::pdfBytes(*page_, &reason);
    if (pdf_.isEmpty() || !writeFileAtomically(pdfPath(), pdf_, &reason)) {
        pdf_.clear();
        fail();
        return false;
    }
    books_.ui().schedule(0, [this] { loadAndExportDelayAction(); });
    return true;
}

void JournalController::loadAndExportDelayAction() {
    Settings& s = books_.settings();
    if (s.getBool(P::showPrevieJournalRTFAction)) loadPDF();
    if (s.getBool(P::doExportJornalAction)) exportReport();
    // A print run rendered its PDF as well; it has ended already.
}

void JournalController::loadPDF() {
    Settings& s = books_.settings();
    const QString path = pdfPath();
    if (s.getBool(P::loadInPreviewApp) || !hooks_.showPreview) {
        if (!books_.ui().openFile(path)) books_.ui().beep();
    } else {
        hooks_.showPreview(path, previewTitle(selectedReport()));
    }
    endGenerating();
    s.setBool(P::showPrevieJournalRTFAction, false);
    s.setBool(P::isPrintActionJournalRTFAction, false);
    s.setBool(P::doExportJornalAction, false);
}

void JournalController::print() {
    endGenerating();
    if (!page_ || !hooks_.print) {
        books_.ui().beep();
        return;
    }
    const print::Page page = *page_;
    hooks_.print([page](QPagedPaintDevice& printer) {
        return print::paintPages(page, print::Output::Printer, printer) > 0;
    });
    books_.settings().setBool(P::isPrintActionJournalRTFAction, false);
}

void JournalController::endGenerating() {
    if (!generating_) return;
    generating_ = false;
    if (hooks_.generating) hooks_.generating(false);
}

void JournalController::fail() {
    books_.ui().beep();
    books_.ui().alert(AlertStyle::Critical, kFailedTitle, kFailed, {AlertWords::kOkButton});
    Settings& s = books_.settings();
    s.setBool(P::showPrevieJournalRTFAction, false);
    s.setBool(P::isPrintActionJournalRTFAction, false);
    s.setBool(P::doExportJornalAction, false);
    endGenerating();
}

// ---- figures and pages -----------------------------------------------------------

ReportPageInput JournalController::pageInput() const {
    const Settings& s = books_.settings();
    ReportPageInput in;
    in.prologue = kPagePrologue;
    in.locale = QLocale();
    in.company = s.getText(P::prefsCompany);
    in.taxId = s.getText(P::prefsTaxID);
    in.today = mediumDateText(books_.nowStamp(), in.locale);
    in.currency = currencyText(s);
    in.border = s.getBool(P::prefsPrintBorder);
    in.unshortened = s.getBool(P::prefsPrintUnshortened);
    const QStringView rateKeys[] = {P::prefs1Rate, P::prefs2Rate, P::prefs3Rate};
    for (size_t i = 0; i < 3; ++i)
        if (s.contains(rateKeys[i])) in.rates[i] = s.getFloat(rateKeys[i]);
    return in;
}

std::optional<print::Page> JournalController::reportPage(Report report) const {
    const RecordPtr year = books_.selection().selectedYear();
    if (!year) return std::nullopt;
    const ReportPageInput in = pageInput();
    switch (report) {
        case Report::Umsatz:
            return umsatzPage(statementsReport(*year, false), in);
        case Report::Monate:
            return monatePage(statementsReport(*year, true), in);
        case Report::Steuern:
            return steuernPage(taxReport(*year), in);
        case Report::Gewinne:
            return gewinnePage(profitReport(*year, books_.database().accounts), in);
        case Report::None:
            break;
    }
    return std::nullopt;
}

Value JournalController::reportData(Report report) const {
    const RecordPtr year = books_.selection().selectedYear();
    if (!year) return {};
    switch (report) {
        case Report::Umsatz:
            return umsatzData(statementsReport(*year, false));
        case Report::Monate:
            return monateData(statementsReport(*year, true));
        case Report::Steuern:
            return steuernData(taxReport(*year));
        case Report::Gewinne:
            return gewinneData(profitReport(*year, books_.database().accounts));
        case Report::None:
            break;
    }
    return {};
}

ExportResult JournalController::writeReportTo(Report report, bool pdf, const QString& path) {
    if (!statementsPresent()) return ExportResult::Refused;
    deleteFiles();
    const std::optional<print::Page> page = reportPage(report);
    if (!page) return ExportResult::Refused;
    books_.settings().setText(P::printFooter, page->footer);
    const QString html = print::pageHtml(*page);
    QString reason;
    if (!print::writeHtmlFile(html, htmlPath(), &reason)) {
        fail();
        return ExportResult::Failed;
    }
    QByteArray bytes = html.toUtf8();
    if (pdf) {
        bytes = print::pdfBytes(*page, &reason);
        if (bytes.isEmpty() || !writeFileAtomically(pdfPath(), bytes, &reason)) {
            fail();
            return ExportResult::Failed;
        }
    }
    return writeExportFile(books_.ui(), path, bytes) ? ExportResult::Written : ExportResult::Failed;
}

}  // namespace quandor
