#pragma once
// Cash books (Kassenbuch): numbered entries with a running cash balance that
// never falls below zero. Entries come from a booking item taken over from the
// item list, from a cash deposit, from the balance carried over when a cash
// book is created, and from a reversal ("Storno") of an earlier entry.
//
//   addCashBook ─▶ new-cash-book sheet ─┬─ closeAddCashBook(year) ─▶ new cash book, selected
//                                      └─ cancelAddCashBook
//   openAddCashBookItem (checks) ─▶ take-over sheet ─┬─ addCashBookItem(konto)
//                                                    └─ cancelItemSheet
//   openBareinzahlung ─▶ deposit sheet ─┬─ addBareinzahlung
//                                       └─ cancelBareinzahlung
//
// Entries are only ever appended: entry n gets "nummer" n and the balance
// before it plus its receipt or minus its payment (32-bit floats); earlier
// entries are never renumbered or recomputed. The cash book works on the
// cash book selected in the selection (and its first selected item for a
// take-over); the sheets' texts live in the settings as the window shows them.

#include "core/books.h"
#include "print/print_job.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quandor {

enum class ExportResult;

class KassenbuchController {
  public:
    enum class Sheet { None, AddCashBook, TakeOver, Deposit };

    explicit KassenbuchController(Books& books);

    Sheet sheet() const { return sheet_; }

    // ---- cash books ------------------------------------------------------------
    // Resets the carry-over settings and opens the new-cash-book sheet.
    void addCashBook();
    // What the sheet's year list offers: the fiscal years' names, in list order.
    QStringList yearNames() const;
    // Creates the cash book named `yearText` (with the carried-over opening
    // entry when "prefsUebertragKassenbuch" is set) and selects it. A carried-over
    // amount below zero is refused and the sheet stays open. True when created.
    bool closeAddCashBook(const QString& yearText);
    void cancelAddCashBook();
    // Asks, then removes the selected cash book with its entries.
    void deleteCashBook();

    // ---- entries ---------------------------------------------------------------
    // Checks the first selected item for a take-over (cash book, marker,
    // balance) and opens the take-over sheet. True when the sheet opened.
    bool openAddCashBookItem();
    // Takes the item over with the sheet's texts and `konto`; closes the sheet.
    bool addCashBookItem(const QString& konto);
    void cancelItemSheet();

    // Opens the deposit sheet (clearing its amount); alerts without a cash book.
    bool openBareinzahlung();
    // Appends the deposit of "prefsKasseneinlageSumme"; closes the sheet.
    bool addBareinzahlung();
    void cancelBareinzahlung();

    // Appends the reversal of the selected cash book's entry with "nummer"
    // `nummer`: receipt and payment swapped, same amount, "Storno Nr. N: …".
    bool stornoEntry(int64_t nummer);
    // The cash book window's question before a reversal ("Abbrechen" is the
    // default); true when the person chose "Stornieren".
    bool confirmStorno(int64_t nummer);

    // ---- print and export ------------------------------------------------------
    // The CSV text of the selected cash book (empty without one).
    QString csvText() const;
    // Asks for a file and writes the CSV.
    ExportResult exportKassenbuch();
    // Writes the CSV to `path`; a failed write is told in German.
    ExportResult exportKassenbuchTo(const QString& path);
    // The page as PDF into `path` (the temporary HTML file written on the way).
    ExportResult printKassenbuchTo(const QString& path);
    // The page through the print dialog (`printDialog`), the temporary HTML
    // file written on the way; true when printed.
    bool printKassenbuch();
    print::PrintDialog printDialog;

    // The entries of `cashbook` in the order of the entry list ("nummer" ascending).
    static std::vector<const Record*> sortedEntries(const Record& cashbook);

    static const QString kNoCashBookTitle;
    static const QString kNoCashBookForItem;
    static const QString kNoCashBookForDeposit;
    static const QString kWarningTitle;
    static const QString kTakenOverAgain;
    static const QString kTakeOverButton;
    static const QString kNegativeBalance;
    static const QString kDeleteMessage;
    static const QString kNoItemSelected;
    static const QString kBadAmount;
    static const QString kNegativeCarry;
    static const QString kNoSuchEntry;
    static const QString kAlreadyReversed;
    static const QString kPrintFailedTitle;
    static const QString kPrintFailed;
    static const QString kStornoQuestion;
    static const QString kStornoButton;

  private:
    RecordPtr requireCashBook(const QString& message);
    // Appends `entry` as the next entry of `cashbook` with the new balance.
    void append(const RecordPtr& cashbook, const RecordPtr& entry, float balance);
    void fail(const QString& title, const QString& message);
    // The selected cash book's page; stores its footer in "printFooter".
    std::optional<print::Page> kassenbuchPage();

    Books& books_;
    Sheet sheet_ = Sheet::None;
    RecordPtr takeOverItem_;  // the item the take-over sheet was opened for
};

}  // namespace quandor
