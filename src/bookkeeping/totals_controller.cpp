#include "bookkeeping/totals_controller.h"

#include "bookkeeping/alert_words.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "print/print_job.h"

#include <utility>

namespace quandor {

const QString TotalsController::kNoStatements =
    QStringLiteral("Du musst erst eine Abrechnung und zugehörige Posten anlegen.");
const QString TotalsController::kNoStatementSelected =
    QStringLiteral("Wähle zuerst eine Abrechnung aus.");

TotalsController::TotalsController(Books& books) : books_(books) {}

bool TotalsController::hasTotalsOf(const RecordPtr& statement) const {
    return totals_ && statement && totalsStatement_.lock() == statement;
}

void TotalsController::infoWindowVoid() {
    Selection& selection = books_.selection();
    const RecordPtr statement = selection.selectedStatement();
    const RecordPtr year = selection.selectedYear();
    if (!statement || !year) {
        books_.ui().beep();
        return;
    }
    Settings& settings = books_.settings();
    refreshTotals();

    SummaryPageInput page;
    page.company = settings.getText(prefs::prefsCompany);
    page.taxId = settings.getText(prefs::prefsTaxID);
    page.today = books_.now();
    page.statement = statement.get();
    page.yearName = year->text(keys::dateValue);
    page.totals = *totals_;
    if (settings.contains(prefs::prefs1Rate)) page.rate1 = settings.getFloat(prefs::prefs1Rate);
    if (settings.contains(prefs::prefs2Rate)) page.rate2 = settings.getFloat(prefs::prefs2Rate);
    if (settings.contains(prefs::prefs3Rate)) page.rate3 = settings.getFloat(prefs::prefs3Rate);
    page.currencyText = printedCurrencyText();
    page.printBorder = settings.getBool(prefs::prefsPrintBorder);
    page.withList = settings.getBool(prefs::prefsExportPrintWithList);
    page.unshortened = settings.getBool(prefs::prefsPrintUnshortened);
    const std::vector<Record*> listed = selection.listedItems();
    page.listed.assign(listed.begin(), listed.end());
    summaryPage_ = buildSummaryPage(page);

    settings.setText(prefs::printFooter, summaryPage_.footer);
    if (summaryRenderer_) summaryRenderer_(summaryPage_);
}

const StatementTotals& TotalsController::refreshTotals() {
    Selection& selection = books_.selection();
    const RecordPtr statement = selection.selectedStatement();
    if (!statement) {
        totals_ = StatementTotals{};
        totalsStatement_.reset();
        return *totals_;
    }
    totals_ = computeStatementTotals(statement->items(), selection.listedIndexes());
    totalsStatement_ = statement;
    storeTotals(books_.settings(), *totals_);
    return *totals_;
}

QString TotalsController::printedCurrencyText() const {
    if (!books_.settings().getBool(prefs::prefsPrintCurrency)) return {};
    return currencyText_ ? currencyText_() : currencyText(books_.settings());
}

bool TotalsController::renderSummaryPdf(QByteArray* pdf) {
    print::PrintJob job(summaryPage_, previewHtmlPath(books_.paths()),
                        previewPdfPath(books_.paths()), summaryPage_.html);
    QString error;
    if (!job.render(&error)) {
        books_.ui().beep();
        books_.ui().alert(
            AlertStyle::Critical, AlertWords::kErrorTitle,
            QStringLiteral("Die Abrechnung konnte nicht erstellt werden.\n\n%1").arg(error),
            {AlertWords::kOkButton});
        return false;
    }
    if (pdf) *pdf = job.pdf();
    return true;
}

ExportResult TotalsController::exportSummaryTo(const QString& path) {
    const RecordPtr year = books_.selection().selectedYear();
    if (!year || year->thelists().empty()) {
        fail(kNoStatements);
        return ExportResult::Refused;
    }
    if (!books_.selection().selectedStatement()) {
        fail(kNoStatementSelected);
        return ExportResult::Refused;
    }
    // The page is rendered here, once, whatever renderer the window set.
    auto renderer = std::exchange(summaryRenderer_, nullptr);
    infoWindowVoid();
    summaryRenderer_ = std::move(renderer);
    QByteArray pdf;
    if (!renderSummaryPdf(&pdf)) return ExportResult::Failed;
    return writeExportFile(books_.ui(), path, pdf) ? ExportResult::Written : ExportResult::Failed;
}

void TotalsController::fail(const QString& message) {
    books_.ui().beep();
    books_.ui().alert(AlertStyle::Critical, AlertWords::kErrorTitle, message,
                      {AlertWords::kOkButton});
}

}  // namespace quandor
