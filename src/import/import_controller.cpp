// The imports' common steps, the CSV import and dropped files. The invoice
// imports are in import_controller_invoices.cpp.
#include "import/import_controller.h"

#include "bookkeeping/add_controller.h"
#include "core/atomic_file.h"
#include "core/keys.h"
#include "core/paths.h"
#include "core/settings.h"
#include "core/settings_keys.h"

#include <QFileInfo>
#include <QUrl>

namespace quandor {

const QString ItemImportController::kErrorTitle = QStringLiteral("Fehler!");
const QString ItemImportController::kNoticeTitle = QStringLiteral("Hinweis!");
const QString ItemImportController::kQuestionTitle = QStringLiteral("Posten importieren");
const QString ItemImportController::kImportButton = QStringLiteral("Importieren");
const QString ItemImportController::kCancelButton = QStringLiteral("Abbrechen");
const QString ItemImportController::kFirstCsvNotice = QStringLiteral(
    "Dies ist das erste mal, dass du eine CSV Datei importierst. Ich empfehle dir dringend - dies "
    "erst einmal an einer extra dafür neu angelegten und leeren Abrechnung zu testen.\n\nBitte "
    "denke auch daran, dass du gewisse Regeln dabei beachten musst und ich nicht jedes "
    "CSV-exportierende Programm und jede noch so mögliche oder unmögliche Form der Abrechnung "
    "berücksichtigen kann.");
const QString ItemImportController::kCsvNothingToImport = QStringLiteral(
    "Die von dir verwendete Datei enthält keine zu importierenden Posten, ist nicht passend für "
    "Quandor formatiert oder ist beschädigt.");
const QString ItemImportController::kInvoiceNothingToImport = QStringLiteral(
    "Die von dir verwendete Datei enthält keine zu importierenden Posten oder ist beschädigt.");
const QString ItemImportController::kNotPaid = QStringLiteral(
    "Die Rechnung ist noch nicht als bezahlt markiert. Dementsprechend kann auch kein "
    "Zahlungseingang als Datum verwendet werden.");
const QString ItemImportController::kNoStatement =
    QStringLiteral("Du musst erst eine Abrechnung anlegen.");
const QString ItemImportController::kUtf16 = QStringLiteral(
    "Die Datei ist als Unicode-Text (UTF-16) gespeichert. Bitte speichere sie als CSV-Datei "
    "(Windows-1252 oder UTF-8) und importiere sie dann.");
const QString ItemImportController::kUnknownFileType = QStringLiteral(
    "Diese Datei kann Quandor nicht importieren. Posten lassen sich aus CSV-Dateien (.csv), "
    "Fennick-Dokumenten (.fennick) und GrandTotal-Rechnungslisten (.gtexport, .gtlist, .plist) "
    "importieren.");
const QString ItemImportController::kNoKind =
    QStringLiteral("Bitte wähle aus, ob die Rechnungen Einnahmen oder Ausgaben sind.");
const QString ItemImportController::kNoRate =
    QStringLiteral("Posten ist unvollständig ausgefüllt. Bitte Steuersatz angeben.");
const QString ItemImportController::kMarkedStatement = QStringLiteral(
    "Achtung: Die Abrechnung wurde als zur Voranmeldung genutzt markiert. Importierte Posten "
    "ändern ihre Summen.");

namespace {

// Everything in the settings an import may change: put back when it does not complete.
QStringList importSettings() {
    QStringList keys;
    for (QStringView k :
         {prefs::firstCSVBOOL, prefs::csv1Check, prefs::csv2Check, prefs::csv3Check,
          prefs::csv4Check, prefs::importCSVPath, prefs::importFilePath, prefs::importTaxBool,
          prefs::selectedImportKindTag, prefs::selectedImportDateTag, prefs::selectedTagImportTax,
          prefs::selectedFennickImportDateTag, prefs::selectedFennickImportAccountValue,
          prefs::selectedFennickImportCategoryValue, prefs::isImportButtonEnabled})
        keys << k.toString();
    return keys;
}

QStringView csvCheckKey(int index) {
    switch (index) {
        case 1:
            return prefs::csv1Check;
        case 2:
            return prefs::csv2Check;
        case 3:
            return prefs::csv3Check;
        default:
            return prefs::csv4Check;
    }
}

// Large files are read in larger chunks; memory stays one chunk and one line.
constexpr uint32_t kCsvChunk = 64 * 1024;

const QString kManualName = QStringLiteral("Quandor CSV-Import.html");

}  // namespace

ItemImportController::ItemImportController(Books& books) : books_(books) {}

ItemImportController::~ItemImportController() {
    *alive_ = false;
    if (scope_) scope_->rollback();
}

// ---- common steps ---------------------------------------------------------------------

bool ItemImportController::beginImport() {
    if (scope_) endImport(false);
    target_ = books_.selection().selectedStatement();
    if (!target_) {
        refuse(kNoStatement);
        return false;
    }
    scope_ = std::make_unique<EditScope>(books_);
    scope_->keep(target_->items());
    scope_->keepSettings(importSettings());
    result_ = Result{};
    return true;
}

void ItemImportController::endImport(bool keep) {
    closeSheet();
    if (scope_) {
        if (keep)
            scope_->commit();
        else
            scope_->rollback();
        scope_.reset();
    }
    target_.reset();
    csvArray_ = CsvTable{};
    importArray_.clear();
    fennick_ = FennickInvoice{};
    fennickSummary_ = ImportSummary{};
    invoices_.clear();
}

void ItemImportController::openSheet(Sheet sheet) {
    sheet_ = sheet;
    if (sheetChanged) sheetChanged();
}

void ItemImportController::closeSheet() {
    if (sheet_ == Sheet::None) return;
    sheet_ = Sheet::None;
    if (sheetChanged) sheetChanged();
}

ItemImportController::Result ItemImportController::refuse(const QString& message, Outcome outcome) {
    books_.ui().beep();
    books_.ui().alert(AlertStyle::Critical, kErrorTitle, message, {QStringLiteral("OK")});
    endImport(false);
    result_ = Result{outcome, 0};
    return result_;
}

bool ItemImportController::confirm(const ImportSummary& summary) {
    ImportSummary shown = summary;
    if (target_ && target_->flag(keys::taxBool)) shown.notes << kMarkedStatement;
    const int answer = books_.ui().alert(AlertStyle::Informational, kQuestionTitle, shown.text(),
                                         {kCancelButton, kImportButton});
    return answer == 1;
}

ItemImportController::Result ItemImportController::appendAll(const RecordList& items) {
    RecordList& list = target_->items();
    list.reserve(list.size() + items.size());
    list.insert(list.end(), items.begin(), items.end());
    const auto count = static_cast<int64_t>(items.size());
    endImport(true);  // commits: the books changed once, the item list re-sorted once
    result_ = Result{Outcome::Imported, count};
    return result_;
}

TaxRates ItemImportController::rates() const {
    return AddController::taxRates(books_.settings());
}

QStringList ItemImportController::accountTitles() const {
    QStringList titles;
    for (const RecordPtr& a : books_.database().accounts) titles << a->text(keys::title);
    return titles;
}

QStringList ItemImportController::categoryTitles() const {
    QStringList titles;
    for (const RecordPtr& g : books_.database().groups) titles << g->text(keys::title);
    return titles;
}

// ---- CSV ----------------------------------------------------------------------------------

void ItemImportController::openCSVImport() {
    if (!beginImport()) return;
    Settings& settings = books_.settings();
    if (!settings.getBool(prefs::firstCSVBOOL)) {
        books_.ui().alert(AlertStyle::Informational, kNoticeTitle, kFirstCsvNotice,
                          {QStringLiteral("OK")});
        settings.setBool(prefs::firstCSVBOOL, true);
    }
    for (int i = 1; i <= 4; ++i) settings.setBool(csvCheckKey(i), false);
    openSheet(Sheet::Csv);
}

bool ItemImportController::csvCheck(int index) const {
    return books_.settings().getBool(csvCheckKey(index));
}

void ItemImportController::setCsvCheck(int index, bool on) {
    books_.settings().setBool(csvCheckKey(index), on);
}

void ItemImportController::loadCSV() {
    const std::optional<QString> path =
        books_.ui().openDialog(QStringLiteral("CSV Datei Importieren"), csvTypes());
    if (!path) return;  // the sheet stays open
    closeSheet();
    loadCSVFrom(*path);
}

ItemImportController::Result ItemImportController::loadCSVFrom(const QString& path) {
    if (sheet_ == Sheet::Csv) {
        closeSheet();
    } else if (!scope_ || sheet_ != Sheet::None) {
        // A drop or the command line: the steps of opening the sheet, without the sheet.
        openCSVImport();
        if (!scope_) return result_;
        closeSheet();
    }
    books_.settings().setPath(prefs::importCSVPath, path);

    CSVParser parser;
    parser.setEncoding(kEncodingWindowsLatin1);
    parser.setRecognisesUtf8(true);
    parser.setBufferSize(kCsvChunk);
    parser.progress = progress;
    auto unreadable = [&] {
        return refuse(QStringLiteral("Die Datei „%1“ kann nicht gelesen werden: %2.")
                          .arg(QFileInfo(path).fileName(), parser.readError()),
                      Outcome::FileError);
    };
    if (!parser.openFile(path)) return unreadable();
    csvArray_ = CsvTable{};
    const bool read =
        parser.parse([this](CsvRow&& row) { csvArray_.rows.push_back(std::move(row)); });
    delim_ = parser.delimiter();
    parser.closeFile();
    if (!read) return unreadable();
    if (parser.isUtf16()) return refuse(kUtf16, Outcome::FileError);
    csvArray_.unclosedQuoteLine = parser.unclosedQuoteLine();
    return doTheCSVImportAction();
}

void ItemImportController::cancelCSVImport() {
    endImport(false);
}

void ItemImportController::openManual() {
    const QString page = QStringLiteral(
        "<!DOCTYPE html><html lang=\"de\"><head><meta charset=\"utf-8\"><title>Posten aus "
        "CSV-Dateien importieren</title></head><body style=\"font-family: sans-serif; max-width: "
        "44em; margin: 2em auto\">"
        "<h1>Posten aus CSV-Dateien importieren</h1>"
        "<p>Jede Zeile der Datei wird ein Posten der Abrechnung, die gerade ausgewählt ist. Bevor "
        "etwas hinzugefügt wird, zeigt Quandor, wie viele Posten es werden und welche Zeilen "
        "übersprungen werden; erst mit „Importieren“ kommen die Posten in die Abrechnung.</p>"
        "<h2>So muss die Datei aussehen</h2><ul>"
        "<li>Keine Kopfzeile: schon die erste Zeile ist ein Posten.</li>"
        "<li>Neun Felder je Zeile, getrennt durch Komma, Semikolon oder Tabulator (das erste davon "
        "in der ersten Zeile gilt): Datum, Belegnummer, Bezeichnung, Rechnungsnummer, Kategorie, "
        "Konto, Kontobezeichnung, Steuersatz, Summe.</li>"
        "<li>Das Datum als TT.MM.JJ, zum Beispiel 05.03.24.</li>"
        "<li>Die Summe brutto, Ausgaben mit Minus: -119,00. Einnahmen ohne Vorzeichen.</li>"
        "<li>Der Steuersatz in Prozent wie in den Einstellungen (19, 7 oder dein dritter Satz); 0 "
        "oder leer heißt ohne Umsatzsteuer. Ein Satz, den die Einstellungen nicht kennen, wird "
        "ohne Umsatzsteuer importiert – Quandor sagt es dir vorher.</li>"
        "<li>Felder mit Trennzeichen oder Zeilenumbrüchen in doppelten Anführungszeichen: \"Miete, "
        "Büro\".</li>"
        "<li>Zeichensatz Windows-1252 (ANSI) oder UTF-8.</li></ul>"
        "<h2>Tipps</h2><ul>"
        "<li>Probiere den Import zuerst an einer neuen, leeren Abrechnung aus.</li>"
        "<li>Kategorie und Konto werden als Text übernommen und nicht in deinen Listen "
        "nachgeschlagen.</li>"
        "<li>Im Beispiel-Fenster kannst du eine Beispieldatei sichern und als Vorlage "
        "nehmen.</li></ul>"
        "</body></html>");
    const QString path = Paths::join(books_.paths().dataFolder, kManualName);
    QString reason;
    if (!writeFileAtomically(path, page.toUtf8(), &reason)) {
        books_.ui().alert(
            AlertStyle::Warning, kErrorTitle,
            QStringLiteral("Die Hilfeseite konnte nicht angelegt werden. %1").arg(reason),
            {QStringLiteral("OK")});
        return;
    }
    books_.ui().openUrl(QUrl::fromLocalFile(path).toString());
}

void ItemImportController::openExample() {
    exampleOpen_ = true;
    if (sheetChanged) sheetChanged();
}

void ItemImportController::closeExample() {
    exampleOpen_ = false;
    if (sheetChanged) sheetChanged();
}

bool ItemImportController::saveExample() {
    const std::optional<QString> path =
        books_.ui().saveDialog(QStringLiteral("CSV Datei Exportieren"), QStringLiteral("csv"),
                               QStringLiteral("Beispiel Posten-Import.csv"));
    if (!path) return false;
    QString text;
    for (const QStringList& row : csvExampleRows()) {
        QStringList fields;
        for (const QString& f : row) fields << (f.contains(u';') ? u'"' + f + u'"' : f);
        text += fields.join(u';') + QStringLiteral("\r\n");
    }
    QStringEncoder windows("windows-1252");
    const QByteArray bytes = windows.isValid() ? QByteArray(windows.encode(text)) : text.toLatin1();
    QString reason;
    if (writeFileAtomically(*path, bytes, &reason)) return true;
    books_.ui().alert(AlertStyle::Warning, kErrorTitle, reason, {QStringLiteral("OK")});
    return false;
}

ItemImportController::Result ItemImportController::doTheCSVImportAction() {
    if (!scope_ && !beginImport()) return result_;
    CsvImportPlan plan = planCsvImport(csvArray_, rates(), books_.now());
    if (plan.items.empty()) {
        QString message = kCsvNothingToImport;
        if (!plan.summary.skipped.isEmpty())
            message += QStringLiteral("\n\n") + plan.summary.skipped.join(u'\n');
        return refuse(message);
    }
    if (!confirm(plan.summary)) {
        endImport(false);
        result_ = Result{Outcome::Cancelled, 0};
        return result_;
    }
    return appendAll(plan.items);
}

// ---- drops ------------------------------------------------------------------------------

const QStringList& ItemImportController::csvTypes() {
    static const QStringList types = {QStringLiteral("csv"), QStringLiteral("CSV")};
    return types;
}

const QStringList& ItemImportController::fennickTypes() {
    static const QStringList types = {QStringLiteral("fennick")};
    return types;
}

const QStringList& ItemImportController::grandTotalTypes() {
    static const QStringList types = {QStringLiteral("gtexport"), QStringLiteral("gtlist"),
                                      QStringLiteral("plist")};
    return types;
}

void ItemImportController::importDroppedFiles(const QStringList& paths) {
    if (paths.isEmpty()) return;
    const QString& path = paths.front();
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"csv") {
        loadCSVFrom(path);
    } else if (fennickTypes().contains(suffix)) {
        openFennickImportSheet(path);
    } else if (grandTotalTypes().contains(suffix)) {
        importFileFrom(path);
    } else {
        books_.ui().beep();
        books_.ui().alert(AlertStyle::Critical, kErrorTitle, kUnknownFileType,
                          {QStringLiteral("OK")});
    }
}

QString ItemImportController::sheetSummary() const {
    switch (sheet_) {
        case Sheet::Fennick:
            return fennickSummary_.headline();
        case Sheet::GrandTotal: {
            const qsizetype n = static_cast<qsizetype>(invoices_.size());
            return n == 1 ? QStringLiteral("1 Rechnung in der Liste")
                          : QStringLiteral("%1 Rechnungen in der Liste").arg(n);
        }
        default:
            return QString();
    }
}

}  // namespace quandor
