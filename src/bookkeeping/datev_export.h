#pragma once
// The DATEV booking batch ("EXTF" format 700, data category 21,
// "Buchungsstapel"): one booking line per item of a year or of one statement,
// for the tax advisor's accounting program.
//
// The file is Windows-1252, fields separated by semicolons, lines ended by
// CR LF: the header line (31 fields), the column headings, then the bookings.
// Text fields are quoted with inner quotes doubled; amounts carry a decimal
// comma and no grouping; the document date is TTMM, so one file holds one
// fiscal year.

#include "bookkeeping/print_files.h"
#include "core/record.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace quandor {

class Books;
class Settings;

// The "Datev" page's settings; empty contra accounts fall back to SKR 04.
struct DatevSettings {
    QString beraterNummer;    // 1001 … 9999999
    QString mandantenNummer;  // 1 … 99999
    QString kontoBank = QStringLiteral("1800");
    QString kontoKasse = QStringLiteral("1600");

    static DatevSettings read(const Settings& settings);
};

// One booking line, already in DATEV's terms.
struct DatevBooking {
    float amount = 0;    // without sign
    bool soll = false;   // "S": the account is debited (money went out)
    QString konto;       // "accountNumber"
    QString gegenkonto;  // bank or cash account
    QString buKey;       // empty when the account books its VAT itself
    QDate belegdatum;
    QString belegfeld1;    // cleaned "number"
    QString buchungstext;  // "title", at most 60 characters
    QString beleglink;     // the attached document's file name
};

struct DatevBatch {
    DatevSettings settings;
    QDateTime created;   // "Erzeugt am", local time
    int fiscalYear = 0;  // the fiscal year starts on 1 January
    QDate from, to;      // the period of the bookings
    QString label;       // "Bezeichnung", at most 30 characters
    std::vector<DatevBooking> bookings;
};

// The file's bytes.
QByteArray datevBatchBytes(const DatevBatch& batch);

// "Belegfeld 1": only A–Z, a–z, 0–9 and $ & % * + - / are allowed (umlauts
// are spelled out), at most 36 characters.
QString datevBelegfeld(const QString& number);

// True for an account that books its VAT automatically: its title in the
// shipped SKR 04 chart names a rate with "USt" or "Vorsteuer", e.g.
// "Erlöse 19 % USt" or "Wareneingang 7 % Vorsteuer". Such a booking takes no
// BU key.
bool isAutomaticVatAccount(const QString& accountTitle);

// The BU key for an item's rate: 19 % and 16 % → "3" (income) / "9" (expense),
// 7 % and 5 % → "2" / "8"; other rates, tax-free and not taxable items: empty.
QString datevBuKey(bool expense, float ratePercent);

// The export controller: collects the items, lists what DATEV cannot take,
// asks, and writes the file.
class DatevExportController {
  public:
    static const QString kDialogTitle;      // "DATEV Datei Exportieren"
    static const QString kNumbersMissing;   // Beraternummer / Mandantennummer not set
    static const QString kSkippedQuestion;  // "%1" = the list of items
    static const QString kSkipButton;       // "Ohne diese Posten exportieren"
    static const QString kNothingToExport;

    explicit DatevExportController(Books& books);

    // Exports `year` (all its statements) or one of its statements. Without
    // `path` the save dialog asks for the file.
    ExportResult exportBookings(const Record& year, const Record* statement,
                                std::optional<QString> path = std::nullopt);

    // The batch the export would write, and the German lines of the items it
    // leaves out ("• title (date, Beleg): reason").
    struct Collected {
        DatevBatch batch;
        QStringList skipped;
    };
    Collected collect(const Record& year, const Record* statement) const;

  private:
    Books& books_;
};

}  // namespace quandor
