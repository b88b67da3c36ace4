#include "bookkeeping/totals_controller.h"

#include "bookkeeping/alert_words.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "print/print_pipeline.h"

#include <QDir>
#include <QFile>
#include <QTextDocument>

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
    if (summaryRenderer_) summaryRenderer_(summaryPage_.html, summaryPage_.footer);
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

bool TotalsController::renderSummaryPdf(const QString& html, const QString& footer) {
    const QString htmlPath = previewHtmlPath(books_.paths());
    const QString pdfPath = previewPdfPath(books_.paths());
    QFile::remove(htmlPath);
    QFile::remove(pdfPath);
    QDir().mkpath(books_.paths().dataFolder);
    print::PageOptions options;
    options.footer = footer;
    QString error;
    bool ok = print::writeHtmlFile(html, htmlPath, &error);
    if (ok && html == summaryPage_.html && !summaryPage_.list.empty()) {
        // The page built here: its head as styled text, the item list painted
        // row by row (laying thousands of rows out as styled text takes seconds).
        const std::unique_ptr<QTextDocument> head = print::parseHtml(summaryPage_.headHtml);
        ok = print::writePdf(*head, summaryPage_.list, options, pdfPath, &error);
    } else if (ok) {
        ok = print::writePdf(html, options, pdfPath, &error);
    }
    if (!ok) {
        books_.ui().beep();
        books_.ui().alert(
            AlertStyle::Critical, AlertWords::kErrorTitle,
            QStringLiteral("Die Abrechnung konnte nicht erstellt werden.\n\n%1").arg(error),
            {AlertWords::kOkButton});
    }
    return ok;
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
    if (!renderSummaryPdf(summaryPage_.html, summaryPage_.footer)) return ExportResult::Failed;
    const QString pdfPath = previewPdfPath(books_.paths());
    QFile pdf(pdfPath);
    if (!pdf.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("Die Abrechnung als PDF fehlt: %1").arg(pdfPath));
        return ExportResult::Failed;
    }
    return writeExportFile(books_.ui(), path, pdf.readAll()) ? ExportResult::Written
                                                             : ExportResult::Failed;
}

void TotalsController::fail(const QString& message) {
    books_.ui().beep();
    books_.ui().alert(AlertStyle::Critical, AlertWords::kErrorTitle, message,
                      {AlertWords::kOkButton});
}

}  // namespace quandor
