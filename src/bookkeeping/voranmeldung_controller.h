#pragma once
// The VAT return window ("Umsatzsteuer-Voranmeldung") of the selected
// statement: its figures (the statement totals), the statement's payment
// block, booking the return into the statement, the summary page's preview
// and print, and handing the return to the ELSTER client as a file in its
// outbox and as text on the clipboard.
//
// The return follows the item list's search filter, like the totals: when the
// filter hides items, booking and handing over ask first.

#include "bookkeeping/statement_print_controller.h"
#include "bookkeeping/totals_controller.h"
#include "core/books.h"

#include <QString>

#include <functional>
#include <optional>

namespace quandor {

class VoranmeldungController {
  public:
    // The VAT return window as the controller keeps it; the window binds to it.
    // Its payment fields are the selected statement's "payment",
    // "additionalPayment", "rePayment" and "balance"; the booking fields show
    // what meldungBuchen booked.
    struct ReturnWindow {
        bool open = false;
        bool busy = false;        // content hidden, busy indicator running
        bool helpDrawer = false;  // the help drawer beside the window
        float bookedRefund = 0, bookedPayment = 0, bookedBalance = 0;
    };
    // What doTheWinston wrote.
    struct ReturnFileResult {
        bool written = false;
        QString path;
        QString clipboardText;
        QString error;  // German, when not written
    };

    // `totals` computes the figures; `print` shows the summary page's preview.
    VoranmeldungController(Books& books, TotalsController& totals, StatementPrintController& print);

    const ReturnWindow& returnWindow() const { return returnWindow_; }
    // The figures the window shows, and the controller that computes them.
    const std::optional<StatementTotals>& totals() const { return totals_.totals(); }
    TotalsController& statementTotals() { return totals_; }

    // Prints the page written by the summary renderer (the print dialog); set by the window layer.
    void setSummaryPrinter(std::function<void()> print) { summaryPrinter_ = std::move(print); }
    bool canPrintSummary() const { return static_cast<bool>(summaryPrinter_); }

    // Checks, then opens the VAT return window; true when it opened.
    bool openVoranmeldungsWindow();
    // Closes the VAT return window.
    void closeVoranmeldungsWindow();

    // balance ← payment + additional payment − refund of the selected statement.
    void calculateTabVoid();
    // The same (the payment fields' action).
    void calculateTab() { calculateTabVoid(); }
    // The window's "Aktualisieren": the balance, then the totals and the summary page.
    void changeAlLCalculates();
    // The window's payment fields (they write into the selected statement).
    void setPaymentField(Key key, float value);
    // The window's comment field (the selected statement's comment on its return).
    void setVoranmeldungComment(const QString& text);

    // Prints the summary page with its item list (the balance and the totals
    // refreshed first) through the summary printer.
    void printAbrechnung();
    // Shows the summary page as rendered by infoWindowVoid: in the program's
    // preview window, or in the system's PDF viewer when "loadInPreview.app" is set.
    void previewAbrechnung();

    // Asks "Übernehmen" or "Eigene", then books (bookReturn).
    void meldungBuchen();
    // When the filter hides items: "Nur gefilterte Posten: 3 von 5 (Suche „Müller“)"; else empty.
    QString filteredReturnNote() const;
    // The booking after the question: take the computed figures, or clear the
    // booking fields for the person's own.
    void bookReturn(bool takeFigures);
    // The check box "Voranmeldung erstellt": marks the statement and, when
    // switched on, books the return (asking, unless `take` answers for the person).
    void setReturnCreated(bool created, std::optional<bool> take = std::nullopt);
    // The reminder, after booking revenue that is not taxable here, about the
    // recapitulative statement ("Zusammenfassende Meldung").
    void nichtSteuerbarAlert();

    // Clipboard text and return file (into `outbox`, the ELSTER client's outbox
    // when empty), without the notice and without starting the client.
    ReturnFileResult writeReturnFile(const QString& outbox = {});
    // Hands the return to the ELSTER client: writeReturnFile, the once-only
    // notice, then starts the client.
    void doTheWinston();
    // Opens the ELSTER client's web site.
    void winstonWebseite();
    // Opens the article that explains the tax number.
    void elsterNummer();

    static const QString kNoFirstSteps;    // before the first item
    static const QString kNoItems;         // the statement is empty
    static const QString kContinueButton;  // "Fortfahren"
    static const QString kBookTitle;       // "Voranmeldung als erstellt markieren"
    static const QString kBookQuestion;
    static const QString kTakeButton;  // "Übernehmen"
    static const QString kOwnButton;   // "Eigene"
    static const QString kNichtSteuerbarMessage;
    static const QString kWinstonNotice;
    static const QString kWinstonFailed;
    static const QString kWinstonWebsite;
    static const QString kTaxNumberArticle;
    static const QString kFormsPortal;
    static const QString kFilteredTitle;     // "Achtung!"
    static const QString kFilteredQuestion;  // %1: the note, %2: what is done with it
    static const QString kBookAnywayButton;  // "Trotzdem buchen"
    static const QString kHandOverButton;    // "Trotzdem übergeben"

  private:
    // Before booking or handing over a return of a filtered list: true when
    // nothing is hidden or the person chose `action` ("Abbrechen" is the default).
    bool filteredReturnConfirmed(const QString& action);
    void askAndBook();
    // The statement's selection checks of the summary page's print and preview.
    bool summaryChecksPass();
    void fail(const QString& message);

    Books& books_;
    TotalsController& totals_;
    StatementPrintController& print_;
    ReturnWindow returnWindow_;
    std::function<void()> summaryPrinter_;
};

}  // namespace quandor
