// The print sheet: the overview page, its preview and printing.
#include "bookkeeping/statement_print_controller.h"

#include "bookkeeping/alert_words.h"
#include "bookkeeping/statement_pages.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "print/print_job.h"

#include <QDir>
#include <QFile>

namespace quandor {

const QString StatementPrintController::kNoFirstItemYet = QStringLiteral(
    "Voranmeldungen vorbereiten und verwalten steht erst zur Verfügung nachdem du den ersten "
    "Posten erfolgreich angelegt hast.");
const QString StatementPrintController::kPreviewTitle = QStringLiteral("Vorschau - Abrechnung");

StatementPrintController::StatementPrintController(Books& books, TotalsController& totals)
    : books_(books), totals_(totals) {}

// ---- files --------------------------------------------------------------------

QString StatementPrintController::previewHtmlPath() const {
    return quandor::previewHtmlPath(books_.paths());
}
QString StatementPrintController::previewPdfPath() const {
    return quandor::previewPdfPath(books_.paths());
}
QString StatementPrintController::exportPdfPath() const {
    return quandor::exportPdfPath(books_.paths());
}

std::vector<const Record*> StatementPrintController::listedItemRefs() const {
    const std::vector<Record*> listed = books_.selection().listedItems();
    return {listed.begin(), listed.end()};
}

// ---- checks and the sheet -------------------------------------------------------

bool StatementPrintController::printChecksPass() {
    UiPort& ui = books_.ui();
    if (!books_.settings().getBool(prefs::firstStepsDone)) {
        ui.alert(AlertStyle::Informational, AlertWords::kNoticeTitle, kNoFirstItemYet,
                 {AlertWords::kOkButton});
        return false;
    }
    const Selection& selection = books_.selection();
    if (!selection.selectedStatement() || !selection.selectedYear() ||
        selection.listedCount() == 0) {
        ui.alert(AlertStyle::Warning, AlertWords::kErrorTitle, TotalsController::kNoStatements,
                 {AlertWords::kOkButton});
        return false;
    }
    return true;
}

void StatementPrintController::openTabJournalPrint() {
    if (printSheet_ != PrintSheet::None || !printChecksPass()) return;
    printSheet_ = PrintSheet::Print;
    books_.ui().schedule(0, [this] {
        if (printSheet_ != PrintSheet::Print) return;
        const bool rendered = generatePDFTab();
        if (printHooks_.overviewRendered) printHooks_.overviewRendered(rendered);
    });
}

void StatementPrintController::closeTabJournalPrint() {
    if (printSheet_ == PrintSheet::Print) printSheet_ = PrintSheet::None;
}

void StatementPrintController::generateTabJournal() {
    totals_.infoWindowVoid();
    generatePDFTab();
}

void StatementPrintController::generateTabJournalVoid() {
    generatePDFTab();
}

// ---- the overview page ------------------------------------------------------------

OverviewPage StatementPrintController::overviewFor(const Record& statement, const Record& year,
                                                   const StatementTotals& totals) {
    Settings& settings = books_.settings();
    OverviewPage page;
    page.locale = QLocale();
    page.prologue = kPagePrologue;
    page.company = settings.getText(prefs::prefsCompany);
    page.taxID = settings.getText(prefs::prefsTaxID);
    page.today = mediumDateText(books_.nowStamp(), page.locale);
    page.statement = &statement;
    page.year = &year;
    page.listed = listedItemRefs();
    page.border = settings.getBool(prefs::prefsPrintBorder);
    page.currency = totals_.printedCurrencyText();
    const QStringView rateKeys[] = {prefs::prefs1Rate, prefs::prefs2Rate, prefs::prefs3Rate};
    for (size_t i = 0; i < 3; ++i)
        if (settings.contains(rateKeys[i])) page.rates[i] = settings.getFloat(rateKeys[i]);
    page.withList = settings.getBool(prefs::prefsExportPrintWithList);
    page.sortOrder = int(settings.getInt(prefs::prefsTabSortOrder));
    page.totals = totals;
    settings.setText(prefs::printFooter, overviewFooter(page.company, statement.text(keys::title),
                                                        year.text(keys::dateValue)));
    return page;
}

std::optional<print::Page> StatementPrintController::overviewPage() {
    const RecordPtr statement = books_.selection().selectedStatement();
    const RecordPtr year = books_.selection().selectedYear();
    if (!statement || !year) return std::nullopt;
    // The page's figures are the statement totals of this moment.
    const StatementTotals& totals = totals_.refreshTotals();
    return quandor::overviewPage(overviewFor(*statement, *year, totals));
}

QString StatementPrintController::exportString() {
    const std::optional<print::Page> page = overviewPage();
    if (!page) return {};
    print::PrintJob job(*page, previewHtmlPath(), previewPdfPath());
    QString error;
    if (!job.writeHtml(&error)) {
        books_.ui().beep();
        books_.ui().alert(AlertStyle::Critical, AlertWords::kErrorTitle, error,
                          {AlertWords::kOkButton});
    }
    return print::pageHtml(*page);
}

bool StatementPrintController::generatePDFTab() {
    return renderOverview(nullptr);
}

bool StatementPrintController::renderOverview(QByteArray* pdf) {
    const std::optional<print::Page> page = overviewPage();
    if (!page) return false;
    print::PrintJob job(*page, previewHtmlPath(), previewPdfPath());
    QString error;
    if (!job.render(&error)) {
        books_.ui().beep();
        books_.ui().alert(
            AlertStyle::Critical, AlertWords::kErrorTitle,
            QStringLiteral("Die Übersicht konnte nicht erstellt werden.\n\n%1").arg(error),
            {AlertWords::kOkButton});
        return false;
    }
    if (pdf) *pdf = job.pdf();
    return true;
}

// ---- preview and printing ------------------------------------------------------------

void StatementPrintController::previewJournal() {
    books_.ui().schedule(100, [this] { loadPDFTab(); });
}

void StatementPrintController::loadPDFTab() {
    UiPort& ui = books_.ui();
    const QString pdf = previewPdfPath();
    if (!QFile::exists(pdf)) {
        ui.beep();
        return;
    }
    if (books_.settings().getBool(prefs::loadInPreviewApp) || !printHooks_.showPreview) {
        if (!ui.openFile(pdf))
            ui.alert(AlertStyle::Warning, AlertWords::kErrorTitle,
                     QStringLiteral("Die Vorschau konnte nicht geöffnet werden: „%1“.").arg(pdf),
                     {AlertWords::kOkButton});
        return;
    }
    printHooks_.showPreview(pdf, kPreviewTitle);
}

void StatementPrintController::printJournal() {
    if (!books_.selection().selectedStatement() || !books_.selection().selectedYear() ||
        !QFile::exists(previewHtmlPath()) || !printHooks_.print) {
        books_.ui().beep();
        return;
    }
    // The page as the preview shows it, with a bottom margin of 20 points.
    const std::optional<print::Page> page = overviewPage();
    printHooks_.print([&](QPagedPaintDevice& printer) {
        return print::paintPages(*page, print::Output::Printer, printer) > 0;
    });
}

}  // namespace quandor
