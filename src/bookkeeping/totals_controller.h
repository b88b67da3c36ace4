#pragma once
// The totals of the selected statement and its summary page ("Abrechnung").
//
// infoWindowVoid adds up the listed items into StatementTotals, keeps a copy
// of each figure in the settings (the return file is written from there) and
// builds the summary page with its footer. The VAT return window shows the
// figures; the print sheet's overview takes them for its page.

#include "bookkeeping/print_files.h"
#include "bookkeeping/statement_totals.h"
#include "bookkeeping/summary_page.h"
#include "core/books.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace quandor {

class TotalsController {
  public:
    explicit TotalsController(Books& books);

    // The totals of the statement for which infoWindowVoid (or refreshTotals) ran last.
    const std::optional<StatementTotals>& totals() const { return totals_; }
    // True when totals() are the figures of `statement`.
    bool hasTotalsOf(const RecordPtr& statement) const;
    // The summary page built by infoWindowVoid, with its footer.
    const SummaryPage& summaryPage() const { return summaryPage_; }

    // Hands the summary page to the print pipeline (html, footer); set by the
    // window layer. Without it the page is only built.
    void setSummaryRenderer(std::function<void(const QString&, const QString&)> render) {
        summaryRenderer_ = std::move(render);
    }
    bool rendersSummary() const { return static_cast<bool>(summaryRenderer_); }
    // The currency text of money cells when "prefsPrintCurrency" is set.
    void setCurrencyText(std::function<QString()> text) { currencyText_ = std::move(text); }
    // The currency text of money cells: empty unless "prefsPrintCurrency" is set.
    QString printedCurrencyText() const;

    // Totals of the listed items into the window, the settings and the summary page.
    void infoWindowVoid();
    // The totals alone (window fields and settings), without the summary page.
    const StatementTotals& refreshTotals();
    // Writes the summary page into "PDFPreviewTab.html" and renders it into
    // "PDFPreviewTab.pdf" with its footer; false after telling why. The
    // window layer's summary renderer and the command line use it.
    bool renderSummaryPdf(const QString& html, const QString& footer);
    // The summary page of the selected statement as a PDF file at `path`
    // (written whole or not at all), as infoWindowVoid builds and renders it.
    ExportResult exportSummaryTo(const QString& path);

    // Refusals of the windows that work on the selected statement.
    static const QString kNoStatements;         // no statement, or nothing listed to print
    static const QString kNoStatementSelected;  // the year has statements, none is selected

  private:
    void fail(const QString& message);

    Books& books_;
    std::optional<StatementTotals> totals_;
    std::weak_ptr<Record> totalsStatement_;  // the statement totals_ belong to
    SummaryPage summaryPage_;
    std::function<void(const QString&, const QString&)> summaryRenderer_;
    std::function<QString()> currencyText_;
};

}  // namespace quandor
