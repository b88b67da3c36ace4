#pragma once
// What an import is about to add, told to the person before anything is
// added: how many items, which rows (or positions, or invoices) are left out
// and why, and which rates the settings do not know.
//
//   12 Posten importieren, 2 Zeilen übersprungen
//
//   Zeile 7: Datum „31.02.25“ nicht lesbar
//   Zeile 9: nur 5 von 9 Feldern
//
//   1 Zeile mit einem Steuersatz, den die Einstellungen nicht kennen (16,00 %),
//   wird ohne Umsatzsteuer importiert.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>

namespace quandor {

struct ImportSummary {
    // What the left-out parts are called, singular and plural ("Zeile", "Zeilen").
    QString partSingular;
    QString partPlural;

    int64_t items = 0;
    int64_t skippedCount = 0;
    QStringList skipped;                    // one reason each, in file order (the first ones)
    std::map<float, int64_t> unknownRates;  // a positive rate the settings lack → parts with it
    QStringList notes;                      // anything else worth knowing before importing

    // Records a left-out part; only the first reasons are kept for the text.
    void skip(const QString& reason);
    void unknownRate(float rate) { ++unknownRates[rate]; }
    int64_t unknownRateCount() const;

    // "12 Posten importieren, 2 Zeilen übersprungen"
    QString headline() const;
    // The headline, the reasons, the rate note and the notes, in paragraphs.
    QString text() const;

    static constexpr int kReasonsShown = 12;
};

// A text of the file as a summary quotes it: at most 40 characters, control
// characters shown as "?".
QString quotedForSummary(const QString& text);

}  // namespace quandor
