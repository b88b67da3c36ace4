// Rows of a CSV file as booking items: the tax decision, the kind, the
// figures, the dates, and the rows that are left out with their reasons.
// The worked examples of the import are proven item by item by the CLI case.
#include "import/csv_import.h"

#include "core/keys.h"

#include <QTimeZone>

#include <gtest/gtest.h>

using namespace quandor;
using namespace Qt::StringLiterals;

namespace {

const QDateTime kNow = QDateTime(QDate(2025, 6, 1), QTime(12, 0), QTimeZone::utc());
const TaxRates kRates{19.0f, 7.0f, 0.0f};

CsvRow row(const QString& line, int64_t number = 1) {
    return CsvRow{line.split(u';'), number};
}

CsvImportPlan plan(const std::vector<QString>& lines, const TaxRates& rates = kRates) {
    CsvTable table;
    int64_t n = 0;
    for (const QString& l : lines) table.rows.push_back(row(l, ++n));
    return planCsvImport(table, rates, kNow, QLocale(QLocale::German, QLocale::Germany));
}

// The plain row's figures are proven against a second model by import_figures_check.py.
TEST(CsvImport, PercentSignEuroSignAndBlanksReadLikePlainFigures) {
    const CsvImportPlan p = plan({u"05.03.14;B1;Titel;R1;Kat;4400;Erlöse;19 %;-119,00 €"_s,
                                  u"05.03.14;B1;Titel;R1;Kat;4400;Erlöse;19;-119"_s});
    ASSERT_EQ(p.items.size(), 2u) << p.summary.text().toStdString();
    EXPECT_TRUE(p.items[0]->flag(keys::taxBool));
    EXPECT_EQ(p.items[0]->real(keys::expenseWithout), -100.0f);
    EXPECT_EQ(p.items[0]->properties(), p.items[1]->properties());
}

TEST(CsvImport, RateMatchesTheFirstEqualConfiguredRate) {
    const CsvImportPlan p =
        plan({u"01.01.25;;a;;;;;7;10"_s, u"01.01.25;;b;;;;;5,5;10"_s}, TaxRates{7.0f, 7.0f, 5.5f});
    ASSERT_EQ(p.items.size(), 2u);
    EXPECT_EQ(p.items[0]->integer(keys::taxTag), 1);
    EXPECT_EQ(p.items[1]->integer(keys::taxTag), 3);
    EXPECT_EQ(p.items[1]->real(keys::taxPerecent), 5.5f);
}

TEST(CsvImport, LeftOutRowsAreNamed) {
    const CsvImportPlan p = plan({
        u"Datum;Beleg;Bezeichnung;Rechnung;Kategorie;Konto;Kontobezeichnung;Steuer;Summe"_s,
        u"01.01.25;;gut;;;;;19;-119"_s,
        u"01.01.25;;kurz"_s,
        u"31.02.25;;Februar;;;;;0;10"_s,
        u"01.01.25;;Text;;;;;0;abc"_s,
        u"01.01.25;;Strich;;;;;0;-"_s,
        u"01.01.25;;leer;;;;;0;"_s,
        u"01.01.25;;Satz;;;;;neunzehn;10"_s,
        u"01.01.25;;fremd;;;;;16;10"_s,
    });
    EXPECT_EQ(p.items.size(), 2u);
    EXPECT_EQ(
        p.summary.text(),
        u"2 Posten importieren, 7 Zeilen übersprungen\n\n"
        "Zeile 1: Datum „Datum“ nicht lesbar\n"
        "Zeile 3: nur 3 von 9 Feldern\n"
        "Zeile 4: Datum „31.02.25“ nicht lesbar\n"
        "Zeile 5: Summe „abc“ nicht lesbar\n"
        "Zeile 6: Summe „-“ nicht lesbar\n"
        "Zeile 7: keine Summe\n"
        "Zeile 8: Steuersatz „neunzehn“ nicht lesbar\n\n"
        "1 Zeile mit einem Steuersatz, den die Einstellungen nicht kennen (16,00 %), wird ohne "
        "Umsatzsteuer importiert."_s);
}

TEST(CsvImport, OnlyTheFirstReasonsAreListed) {
    std::vector<QString> lines(30, u"kaputt"_s);
    const CsvImportPlan p = plan(lines);
    EXPECT_EQ(p.summary.skippedCount, 30);
    EXPECT_TRUE(p.summary.text().endsWith(u"… und 18 weitere"_s));
}

TEST(CsvImport, Dates) {
    const QDate today(2025, 6, 1);
    EXPECT_EQ(parseImportDate(u"05.03.14"_s, today), QDate(2014, 3, 5));
    EXPECT_EQ(parseImportDate(u"5.3.14"_s, today), QDate(2014, 3, 5));
    EXPECT_EQ(parseImportDate(u"05.03.2014"_s, today), QDate(2014, 3, 5));
    EXPECT_EQ(parseImportDate(u"29.02.24"_s, today), QDate(2024, 2, 29));
    // Two-digit years lie within the hundred years from 80 years back.
    EXPECT_EQ(parseImportDate(u"31.12.44"_s, today), QDate(2044, 12, 31));
    EXPECT_EQ(parseImportDate(u"31.05.45"_s, today), QDate(2045, 5, 31));
    EXPECT_EQ(parseImportDate(u"01.06.45"_s, today), QDate(1945, 6, 1));
    for (const QString& bad : {u"31.02.25"_s, u"29.02.25"_s, u"00.01.25"_s, u"01.13.25"_s,
                               u"2025-01-01"_s, u"01/01/25"_s, u"1.1.225"_s, u""_s, u"Datum"_s})
        EXPECT_FALSE(parseImportDate(bad, today)) << bad.toStdString();
}

}  // namespace
