// The item list's imports as the person meets them: the first-import note,
// the summary question before anything is added, one step that completes or
// leaves statement and settings as they were, the invoice sheets' choices,
// PDF documents and dropped files.
#include "import/import_controller.h"
#include "import/invoice_import.h"

#include "core/archive/archive.h"
#include "core/keys.h"
#include "core/settings_keys.h"
#include "support/books.h"
#include "support/files.h"

#include <QDir>
#include <QTimeZone>
#include <QUrl>

#include <cmath>

#include <gtest/gtest.h>

using namespace quandor;
using namespace Qt::StringLiterals;
using Outcome = ItemImportController::Outcome;

namespace {

constexpr int kCancel = 0;
constexpr int kImport = 1;

struct ImportBooks : test::OpenBooks {
    ImportBooks() {
        app.openDatabase();
        controllers.years.addYear();
        controllers.years.setYearName(u"2024"_s);
        controllers.years.closeYear();
        controllers.years.addList();
        controllers.years.setListTitle(u"März"_s);
        controllers.years.closeList();
        ui.alerts.clear();
    }
    RecordPtr statement() { return app.selection().selectedStatement(); }
    QString file(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        test::writeAll(path, bytes);
        return path;
    }
    ItemImportController imports{app.books()};
};

const QByteArray kTwoRows =
    "05.03.24;B1;Papier;R1;Büro;6815;Bürobedarf;19;-119,00\n"
    "31.02.24;B2;Kaputt;R2;Büro;6815;Bürobedarf;19;-10\n"
    "06.03.24;B3;Beratung;R3;Honorar;4400;Erlöse;7;107,00\n";

TEST(CsvImportFlow, AsksFirstAndAppendsAllAtOnce) {
    ImportBooks b;
    b.ui.answers = {0, kImport};  // the first-import note, then the question
    const auto result = b.imports.loadCSVFrom(b.file(u"a.csv"_s, kTwoRows));
    EXPECT_EQ(result.outcome, Outcome::Imported);
    EXPECT_EQ(result.items, 2);
    ASSERT_EQ(b.ui.alerts.size(), 2u);
    EXPECT_EQ(b.ui.alerts[0].title, u"Hinweis!"_s);
    EXPECT_EQ(b.ui.alerts[0].message, ItemImportController::kFirstCsvNotice);
    const auto& question = b.ui.alerts[1];
    EXPECT_EQ(question.title, u"Posten importieren"_s);
    EXPECT_EQ(
        question.message,
        u"2 Posten importieren, 1 Zeile übersprungen\n\nZeile 2: Datum „31.02.24“ nicht lesbar"_s);
    EXPECT_EQ(question.buttons, (QStringList{u"Abbrechen"_s, u"Importieren"_s}));
    EXPECT_EQ(b.statement()->items().size(), 2u);
    EXPECT_EQ(b.app.selection().listedCount(), 2u);
    EXPECT_TRUE(b.settings.getBool(prefs::firstCSVBOOL));
    EXPECT_EQ(b.imports.delim(), ';');

    // The note comes once.
    b.ui.alerts.clear();
    b.ui.answers = {kImport};
    b.imports.loadCSVFrom(b.file(u"a.csv"_s, kTwoRows));
    EXPECT_EQ(b.ui.titles(), QStringList{u"Posten importieren"_s});
    EXPECT_EQ(b.statement()->items().size(), 4u);
}

// Cancelling, at any point, leaves the statement and the settings as they were.
TEST(CsvImportFlow, CancelLeavesEverythingAsItWas) {
    ImportBooks b;
    const uint64_t changes = b.app.changeCount();
    b.ui.answers = {0, kCancel};
    EXPECT_EQ(b.imports.loadCSVFrom(b.file(u"a.csv"_s, kTwoRows)).outcome, Outcome::Cancelled);
    EXPECT_TRUE(b.statement()->items().empty());
    EXPECT_FALSE(b.settings.contains(prefs::firstCSVBOOL));
    EXPECT_FALSE(b.settings.contains(prefs::importCSVPath));
    EXPECT_EQ(b.app.changeCount(), changes);

    // The sheet: cancelled after the note, or in the file choice and then.
    b.imports.openCSVImport();
    EXPECT_EQ(b.imports.sheet(), ItemImportController::Sheet::Csv);
    b.imports.setCsvCheck(2, true);
    b.imports.loadCSV();  // the file choice cancelled: the sheet stays
    EXPECT_EQ(b.imports.sheet(), ItemImportController::Sheet::Csv);
    b.imports.cancelCSVImport();
    EXPECT_EQ(b.imports.sheet(), ItemImportController::Sheet::None);
    EXPECT_FALSE(b.settings.contains(prefs::csv2Check));
    EXPECT_TRUE(b.statement()->items().empty());
}

TEST(CsvImportFlow, SheetChoosesTheFile) {
    ImportBooks b;
    b.settings.setBool(prefs::firstCSVBOOL, true);
    b.settings.setBool(prefs::csv3Check, true);
    b.imports.openCSVImport();
    EXPECT_FALSE(b.imports.csvCheck(3));  // reset each time the sheet opens
    b.ui.dialogs = {b.file(u"a.csv"_s, kTwoRows)};
    b.ui.answers = {kImport};
    b.imports.loadCSV();
    EXPECT_EQ(b.ui.dialogTitles, std::vector<QString>{u"CSV Datei Importieren"_s});
    EXPECT_EQ(b.imports.sheet(), ItemImportController::Sheet::None);
    EXPECT_EQ(b.statement()->items().size(), 2u);
}

TEST(CsvImportFlow, OnlyAHeaderIsRefusedAndNothingAdded) {
    ImportBooks b;
    b.settings.setBool(prefs::firstCSVBOOL, true);
    const auto result = b.imports.loadCSVFrom(b.file(
        u"f.csv"_s, "Datum;Beleg;Titel;Rechnung;Kategorie;Konto;Bezeichnung;Satz;Summe\r\n"));
    EXPECT_NE(result.outcome, Outcome::Imported);
    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_EQ(b.ui.alerts[0].title, u"Fehler!"_s);
    EXPECT_EQ(b.ui.alerts[0].message, ItemImportController::kCsvNothingToImport +
                                          u"\n\nZeile 1: Datum „Datum“ nicht lesbar"_s);
    EXPECT_TRUE(b.statement()->items().empty());
}

TEST(CsvImportFlow, NeedsAStatement) {
    test::OpenBooks b;
    b.app.openDatabase();
    ItemImportController imports(b.app.books());
    imports.openCSVImport();
    // The invoice imports say so before anyone picks a file for nothing.
    imports.openFennickImportSheetAction();
    imports.importFile();
    EXPECT_EQ(imports.sheet(), ItemImportController::Sheet::None);
    EXPECT_TRUE(b.ui.dialogTitles.empty());
    ASSERT_EQ(b.ui.alerts.size(), 3u);
    for (const auto& alert : b.ui.alerts)
        EXPECT_EQ(alert.message, u"Du musst erst eine Abrechnung anlegen."_s);
}

TEST(CsvImportFlow, MarkedStatementIsNamedInTheQuestion) {
    ImportBooks b;
    b.settings.setBool(prefs::firstCSVBOOL, true);
    b.statement()->set(keys::taxBool, true);
    b.imports.loadCSVFrom(b.file(u"a.csv"_s, kTwoRows));
    EXPECT_TRUE(b.ui.alerts.at(0).message.endsWith(ItemImportController::kMarkedStatement));
}

TEST(CsvImportFlow, ManualAndExample) {
    ImportBooks b;
    b.imports.openManual();
    ASSERT_EQ(b.ui.opened.size(), 1u);
    EXPECT_TRUE(b.ui.opened[0].startsWith(u"file://"_s));
    EXPECT_TRUE(test::readAll(QUrl(b.ui.opened[0]).toLocalFile()).contains("TT.MM.JJ"));
    b.imports.openExample();
    EXPECT_TRUE(b.imports.exampleOpen());
    const QString path = b.dir.filePath(u"beispiel.csv"_s);
    b.ui.dialogs = {path};
    ASSERT_TRUE(b.imports.saveExample());
    // The example file imports as it stands.
    b.settings.setBool(prefs::firstCSVBOOL, true);
    b.ui.answers = {kImport};
    EXPECT_EQ(b.imports.loadCSVFrom(path).items, 3);
}

// ---- Fennick --------------------------------------------------------------------------

Value dict(std::initializer_list<std::pair<const char16_t*, Value>> entries) {
    auto d = std::make_shared<Dict>();
    for (const auto& [k, v] : entries) d->set(Key(k), v);
    return Value(d);
}

Value position(const char16_t* title, float amount, int rateIndex) {
    return dict({{u"title", title},
                 {u"amount", amount},
                 {u"isTax1Applied", rateIndex == 1},
                 {u"isTax2Applied", rateIndex == 2},
                 {u"isTax3Applied", rateIndex == 3}});
}

QByteArray fennickDocument(int64_t status, ValueList positions) {
    const Date due = Date::fromUnix(1711929600);   // 2024-04-01
    const Date paid = Date::fromUnix(1712534400);  // 2024-04-08
    return archive::write(
        dict({{u"fennickDic", dict({{u"title", u"Webseite"},
                                    {u"number", u"R-2024-7"},
                                    {u"address", u"Kunde GmbH\nHauptstraße 1\n12345 Stadt"},
                                    {u"tax1Percent", 0.19f},
                                    {u"tax2Percent", 0.07f},
                                    {u"tax3Percent", 0.16f},
                                    {u"due", due},
                                    {u"sent", due},
                                    {u"paid", paid},
                                    {u"status", status},
                                    {u"items", Value::list(std::move(positions))}})}}));
}

TEST(FennickImport, PreviewChoicesAndImport) {
    ImportBooks b;
    auto account = Record::create(RecordClass::Account, Date{});
    account->set(keys::title, u"Erlöse"_s);
    account->set(keys::number, u"4400"_s);
    b.app.database().accounts.push_back(account);
    const QString path =
        b.file(u"r.fennick"_s,
               fennickDocument(1, {position(u"Entwurf", 107, 2), position(u"Umsetzung", 1190, 1),
                                   position(u"Sonderposten", 116, 3), Value(u"kaputt"_s)}));
    ASSERT_TRUE(b.imports.openFennickImportSheet(path));
    EXPECT_EQ(b.imports.sheet(), ItemImportController::Sheet::Fennick);
    const RecordList& preview = b.imports.importArray();
    ASSERT_EQ(preview.size(), 3u);
    EXPECT_EQ(preview[0]->text(keys::title), u"Webseite | Kunde GmbH | Entwurf"_s);

    // The payment date of an unpaid invoice is refused, the dates stay.
    const Date before = preview[0]->date(keys::date);
    b.ui.runScheduledAtOnce = false;
    EXPECT_FALSE(b.imports.applyFennickDateAll(2));
    EXPECT_EQ(b.ui.alerts.back().message, ItemImportController::kNotPaid);
    EXPECT_EQ(b.imports.fennickDateTag(), 2);
    b.ui.runScheduled();
    EXPECT_EQ(b.imports.fennickDateTag(), 0);
    EXPECT_EQ(b.ui.scheduledDelays.back(), 300);
    EXPECT_EQ(preview[0]->date(keys::date), before);

    EXPECT_TRUE(b.imports.applyFennickDateAll(1));
    b.imports.applyFennickAccountAll(u"Erlöse"_s);
    b.imports.applyFennickCategoryAll(u"Webdesign"_s);
    b.ui.alerts.clear();
    b.ui.answers = {kImport};
    const auto result = b.imports.doTheFennickImport();
    EXPECT_EQ(result.outcome, Outcome::Imported);
    EXPECT_EQ(
        b.ui.alerts.at(0).message,
        u"3 Posten importieren, 1 Position übersprungen\n\nPosition 4: keine lesbare Position\n\n1 "
        u"Position mit "
        "einem Steuersatz, den die Einstellungen nicht kennen (16,00 %), wird ohne Umsatzsteuer importiert."_s);
    const RecordList& items = b.statement()->items();
    ASSERT_EQ(items.size(), 3u);
    const Record& first = *items[0];
    EXPECT_EQ(first.text(keys::accountNumber), u"4400"_s);
    EXPECT_EQ(first.text(keys::group), u"Webdesign"_s);
    EXPECT_EQ(first.date(keys::date), Date::fromUnix(1711929600));
    EXPECT_EQ(b.settings.getText(prefs::selectedFennickImportAccountValue), u"Erlöse"_s);
}

TEST(FennickImport, PaidInvoiceTakesThePaymentDateAndCancelKeepsNothing) {
    ImportBooks b;
    const QString path = b.file(u"r.fennick"_s, fennickDocument(3, {position(u"A", 10, 0)}));
    ASSERT_TRUE(b.imports.openFennickImportSheet(path));
    EXPECT_TRUE(b.imports.applyFennickDateAll(2));
    EXPECT_EQ(b.imports.importArray()[0]->date(keys::date), Date::fromUnix(1712534400));
    b.imports.applyFennickAccountAll(u"X"_s);
    b.ui.answers = {kCancel};
    EXPECT_EQ(b.imports.doTheFennickImport().outcome, Outcome::Cancelled);
    EXPECT_EQ(b.imports.sheet(), ItemImportController::Sheet::Fennick);  // back to the sheet
    b.imports.cancelFennickSheet();
    EXPECT_TRUE(b.statement()->items().empty());
    EXPECT_FALSE(b.settings.contains(prefs::selectedFennickImportAccountValue));
    EXPECT_FALSE(b.settings.contains(prefs::importFilePath));
}

TEST(FennickImport, DamagedDocumentsAreRefused) {
    ImportBooks b;
    const QByteArray good = fennickDocument(1, {position(u"A", 10, 1)});
    const QByteArray cases[] = {QByteArray(), good.left(good.size() / 2), "bplist00garbage",
                                archive::write(dict({{u"andererDic", u"x"}})),
                                fennickDocument(1, {})};
    for (const QByteArray& bytes : cases) {
        b.ui.alerts.clear();
        EXPECT_FALSE(b.imports.openFennickImportSheet(b.file(u"d.fennick"_s, bytes)));
        ASSERT_EQ(b.ui.alerts.size(), 1u);
        EXPECT_TRUE(
            b.ui.alerts[0].message.startsWith(ItemImportController::kInvoiceNothingToImport));
        EXPECT_EQ(b.imports.sheet(), ItemImportController::Sheet::None);
    }
    EXPECT_TRUE(b.statement()->items().empty());
}

// ---- GrandTotal ------------------------------------------------------------------------

QByteArray invoiceList(const QString& pdf) {
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><array>"
               "<dict><key>name</key><string>R-1</string><key>gross</key><real>119</real>"
               "<key>formattedAddress</key><string>Kunde GmbH\nz. Hd. Frau Sonnenschein-Müller\n"
               "Hauptstraße 1</string><key>PDFPath</key><string>%1</string>"
               "<key>dateDue</key><date>2024-04-01T00:00:00Z</date></dict>"
               "<dict><key>name</key><string>R-2</string><key>gross</key><integer>107</integer>"
               "<key>formattedAddress</key><string>Zweite AG</string></dict>"
               "<string>keine Rechnung</string>"
               "</array></plist>")
        .arg(pdf)
        .toUtf8();
}

TEST(GrandTotalImport, ChoicesForAllInvoicesAndThePdfAttached) {
    ImportBooks b;
    b.file(u"R-1.pdf"_s, "%PDF-1.4 Rechnung");
    ASSERT_TRUE(b.imports.importFileFrom(b.file(u"liste.gtexport"_s, invoiceList(u"R-1.pdf"_s))));
    EXPECT_EQ(b.imports.sheet(), ItemImportController::Sheet::GrandTotal);
    b.imports.setImportKind(0);
    b.ui.alerts.clear();
    EXPECT_EQ(b.imports.doTheImport().outcome, Outcome::Refused);  // no kind yet
    EXPECT_EQ(b.ui.alerts.at(0).message, ItemImportController::kNoKind);
    EXPECT_EQ(b.imports.sheet(), ItemImportController::Sheet::GrandTotal);

    b.imports.setImportKind(2);
    b.imports.setImportTax(true);
    b.imports.setImportRateTag(1);
    b.imports.setImportDateTag(0);
    b.ui.alerts.clear();
    b.ui.answers = {kImport};
    EXPECT_EQ(b.imports.doTheImport().items, 2);
    EXPECT_EQ(b.ui.alerts.at(0).message,
              u"2 Posten importieren, 1 Rechnung übersprungen\n\nEintrag 3: keine Rechnung\n\n1 "
              u"Rechnung ohne "
              "Fälligkeitsdatum bekommt das Datum des Imports: R-2."_s);
    // The items, their documents and dates: the CLI case shows them field by field.
    EXPECT_EQ(b.statement()->items().size(), 2u);
}

// A figure no invoice has (the fuzzer's 6.2e36) is left out and named: its VAT
// would overflow the single-precision figures to infinity.
TEST(GrandTotalImport, ImpossibleAmountsAreLeftOutAndNamed) {
    const TaxRates rates{19.0f, 7.0f, 16.0f};
    std::vector<GrandTotalInvoice> invoices(4);
    const std::optional<double> amounts[] = {119.0, 6.2e36, std::nan(""), std::nullopt};
    for (size_t i = 0; i < invoices.size(); ++i) {
        invoices[i].readable = true;
        invoices[i].name = u"R-%1"_s.arg(i + 1);
        invoices[i].gross = amounts[i];
    }
    for (const int64_t kind : {1, 2}) {
        GrandTotalChoices choices;
        choices.kind = kind;
        choices.tax = true;
        choices.rateTag = 1;
        ImportSummary summary;
        std::vector<QString> pdfs;
        const RecordList items = grandTotalItems(invoices, choices, rates, Date{}, &summary, &pdfs);
        ASSERT_EQ(items.size(), 1u);
        for (const Key& k :
             {keys::amount, keys::taxFee, keys::finalAmount, keys::finalAmountWithout})
            EXPECT_TRUE(std::isfinite(items[0]->real(k)));
        EXPECT_EQ(summary.skipped, (QStringList{u"Rechnung „R-2“: Betrag zu groß"_s,
                                                u"Rechnung „R-3“: kein Betrag"_s,
                                                u"Rechnung „R-4“: kein Betrag"_s}));
    }
}

// The path comes from another program's file: nothing but a PDF may become a document.
TEST(GrandTotalImport, OnlyPdfFilesAreAttached) {
    ImportBooks b;
    b.file(u"geheim.txt"_s, "kein PDF");
    ASSERT_TRUE(b.imports.importFileFrom(
        b.file(u"l.plist"_s, invoiceList(b.dir.filePath(u"geheim.txt"_s)))));
    b.imports.setImportKind(1);
    b.ui.answers = {kImport};
    b.imports.doTheImport();
    EXPECT_TRUE(
        b.ui.alerts.at(0).message.contains(u"Ohne Beleg: R-1: „geheim.txt“ ist keine PDF-Datei"_s));
    EXPECT_EQ(b.statement()->items().at(0)->text(keys::filePath), u""_s);
    EXPECT_FALSE(b.statement()->items().at(0)->flag(keys::fileBool));
}

TEST(Drops, GoToTheMatchingImport) {
    ImportBooks b;
    b.settings.setBool(prefs::firstCSVBOOL, true);
    b.ui.answers = {kImport};
    b.imports.importDroppedFiles({b.file(u"A.CSV"_s, kTwoRows), b.file(u"b.csv"_s, kTwoRows)});
    EXPECT_EQ(b.statement()->items().size(), 2u);  // the first file only
    b.imports.importDroppedFiles(
        {b.file(u"r.fennick"_s, fennickDocument(1, {position(u"A", 10, 1)}))});
    EXPECT_EQ(b.imports.sheet(), ItemImportController::Sheet::Fennick);
    b.imports.importDroppedFiles({b.file(u"l.plist"_s, invoiceList(QString()))});
    EXPECT_EQ(b.imports.sheet(), ItemImportController::Sheet::GrandTotal);
    b.imports.cancelSheet();
    b.ui.alerts.clear();
    b.imports.importDroppedFiles({b.file(u"bild.png"_s, "x")});
    EXPECT_EQ(b.ui.alerts.at(0).message, ItemImportController::kUnknownFileType);
    EXPECT_EQ(b.statement()->items().size(), 2u);
}

}  // namespace
