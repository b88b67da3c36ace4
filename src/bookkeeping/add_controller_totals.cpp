// Statement totals, the summary page and the VAT advance return.
#include "bookkeeping/add_controller.h"
#include "bookkeeping/voranmeldung.h"
#include "core/atomic_file.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "print/print_pipeline.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextDocument>

#include <cstring>
#include <utility>

namespace quandor {

const QString AddController::kNoFirstSteps = QStringLiteral(
    "Das Vorbereiten und Verwalten von Voranmeldungen steht erst zur Verfügung, nachdem du den "
    "ersten Posten erfolgreich angelegt hast.");
const QString AddController::kNoStatements =
    QStringLiteral("Du musst erst eine Abrechnung und zugehörige Posten anlegen.");
const QString AddController::kNoItems = QStringLiteral("Diese Abrechnung enthält keinerlei Posten.");
const QString AddController::kContinueButton = QStringLiteral("Fortfahren");
const QString AddController::kBookTitle = QStringLiteral("Voranmeldung als erstellt markieren");
const QString AddController::kBookQuestion = QStringLiteral(
    "Möchtest du die von Quandor errechneten Zahlen direkt übernehmen oder eigene eingeben?");
const QString AddController::kTakeButton = QStringLiteral("Übernehmen");
const QString AddController::kOwnButton = QStringLiteral("Eigene");
const QString AddController::kFilteredTitle = QStringLiteral("Achtung!");
const QString AddController::kFilteredQuestion = QStringLiteral(
    "Die Voranmeldung ist nur über die Posten berechnet, die der Suchfilter zeigt – %1. Die "
    "übrigen Posten fehlen in den Zahlen. Lösche den Suchtext, um alle Posten der Abrechnung "
    "zu berücksichtigen.\n\nMöchtest du die gefilterte Voranmeldung trotzdem %2?");
const QString AddController::kBookAnywayButton = QStringLiteral("Trotzdem buchen");
const QString AddController::kHandOverButton = QStringLiteral("Trotzdem übergeben");
const QString AddController::kWinstonWebsite = QStringLiteral("https://www.winston-elster.de");
const QString AddController::kTaxNumberArticle =
    QStringLiteral("https://de.wikipedia.org/wiki/Steuernummer");
const QString AddController::kFormsPortal = QStringLiteral("https://www.formulare-bfinv.de");
const QString AddController::kNichtSteuerbarMessage =
    QStringLiteral(
        "Du hast 'Nicht steuerbare Umsätze' verbucht - möglicherweise bedeutet dies, dass du noch "
        "eine 'Zusammenfassende Meldung' dem Bundeszentralamt für Steuern (") +
    kFormsPortal +
    QStringLiteral(
        ") zukommen lasssen musst. Bitte denke daran. Geduld oder gar Humor zählt nicht zu deren "
        "Stärken.");
const QString AddController::kWinstonNotice =
    QStringLiteral(
        "Sofern Winston auf deinem Mac installiert ist - generiert Quandor jetzt direkt passend "
        "die nötigen Daten und öffnet Winston mit eben diesen fein säuberlich im Ausgangskorb "
        "abgelegt und du kannst sie direkt in Winston weiter bearbeiten bzw. gleich versenden."
        "\n\nSolltest du also Winston verwenden, so denke bitte daran für die Nutzung auch unter ") +
    kWinstonWebsite +
    QStringLiteral(
        " dafür deinen Obolus zu entrichten.\n\nBitte bachte, dass du dazu deine ELSTER Nummer in "
        "den Quandor Einstellungen richtig angegeben haben musst und der Ausgangskorb in Winston "
        "aktiviert ist.");
const QString AddController::kWinstonFailed = QStringLiteral(
    "Winston konnte nicht erfolgreich geöffnet werden. Bitte sicherstellen, dass Winston "
    "ordentlich auf deinem Mac installiert und eingerichtet ist.");

namespace {

const QString kOk = QStringLiteral("OK");
const QString kNoStatementSelected = QStringLiteral("Wähle zuerst eine Abrechnung aus.");
// The ELSTER client: a program of this name on PATH.
const QString kWinstonProgram = QStringLiteral("winston");
// How long after booking the reminder about not-taxable revenue appears.
constexpr int kNichtSteuerbarDelayMs = 600;

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Writes a money field of a statement; true when it changed.
bool setMoney(Record& statement, Key key, float value) {
    const Value* old = statement.properties().find(key);
    if (old && old->type() == Value::Type::Real && !old->asReal().wide &&
        sameBits(old->toFloat(), value))
        return false;
    statement.set(key, value);
    return true;
}

}  // namespace

QString AddController::fieldText(float value) { return amountText(value); }

// ---- totals -----------------------------------------------------------------------

void AddController::infoWindowVoid() {
    Selection& selection = app_.selection();
    const RecordPtr statement = selection.selectedStatement();
    const RecordPtr year = selection.selectedYear();
    if (!statement || !year) {
        app_.ui().beep();
        return;
    }
    Settings& settings = app_.settings();
    refreshTotals();

    SummaryPageInput page;
    page.company = settings.getText(prefs::prefsCompany);
    page.taxId = settings.getText(prefs::prefsTaxID);
    page.today = app_.now();
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

const StatementTotals& AddController::refreshTotals() {
    Selection& selection = app_.selection();
    const RecordPtr statement = selection.selectedStatement();
    if (!statement) {
        totals_ = StatementTotals{};
        totalsStatement_.reset();
        return *totals_;
    }
    totals_ = computeStatementTotals(statement->items(), selection.listedIndexes());
    totalsStatement_ = statement;
    storeTotals(app_.settings(), *totals_);
    return *totals_;
}

QString AddController::printedCurrencyText() const {
    if (!app_.settings().getBool(prefs::prefsPrintCurrency)) return {};
    return currencyText_ ? currencyText_() : currencyText(app_.settings());
}

bool AddController::renderSummaryPdf(const QString& html, const QString& footer) {
    const QString htmlPath = previewHtmlPath();
    const QString pdfPath = previewPdfPath();
    QFile::remove(htmlPath);
    QFile::remove(pdfPath);
    QDir().mkpath(app_.paths().dataFolder);
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
        app_.ui().beep();
        app_.ui().alert(AlertStyle::Critical, kErrorTitle,
                        QStringLiteral("Die Abrechnung konnte nicht erstellt werden.\n\n%1").arg(error),
                        {kOk});
    }
    return ok;
}

AddController::ExportResult AddController::exportSummaryTo(const QString& path) {
    const RecordPtr year = app_.selection().selectedYear();
    if (!year || year->thelists().empty()) {
        fail(kNoStatements);
        return ExportResult::Refused;
    }
    if (!app_.selection().selectedStatement()) {
        fail(kNoStatementSelected);
        return ExportResult::Refused;
    }
    // The page is rendered here, once, whatever renderer the window set.
    auto renderer = std::exchange(summaryRenderer_, nullptr);
    infoWindowVoid();
    summaryRenderer_ = std::move(renderer);
    if (!renderSummaryPdf(summaryPage_.html, summaryPage_.footer)) return ExportResult::Failed;
    QFile pdf(previewPdfPath());
    if (!pdf.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("Die Abrechnung als PDF fehlt: %1").arg(previewPdfPath()));
        return ExportResult::Failed;
    }
    return writeExportFile(path, pdf.readAll()) ? ExportResult::Written : ExportResult::Failed;
}

void AddController::calculateTabVoid() {
    const RecordPtr statement = app_.selection().selectedStatement();
    if (!statement) return;
    const float sum = statement->real(keys::payment) + statement->real(keys::additionalPayment);
    const float balance = sum - statement->real(keys::rePayment);
    if (setMoney(*statement, keys::balance, balance)) app_.noteChanged();
}

void AddController::changeAlLCalculates() {
    returnWindow_.busy = true;
    calculateTabVoid();
    infoWindowVoid();
    returnWindow_.busy = false;
}

void AddController::printAbrechnung() {
    const RecordPtr year = app_.selection().selectedYear();
    if (!year || year->thelists().empty()) {
        fail(kNoStatements);
        return;
    }
    if (!app_.selection().selectedStatement()) {
        fail(kNoStatementSelected);
        return;
    }
    app_.settings().setBool(prefs::prefsExportPrintWithList, true);
    returnWindow_.busy = true;
    calculateTabVoid();
    infoWindowVoid();
    returnWindow_.busy = false;
    if (summaryPrinter_) app_.ui().schedule(0, summaryPrinter_);
}

void AddController::previewAbrechnung() {
    const RecordPtr year = app_.selection().selectedYear();
    if (!year || year->thelists().empty()) {
        fail(kNoStatements);
        return;
    }
    if (!app_.selection().selectedStatement()) {
        fail(kNoStatementSelected);
        return;
    }
    if (!summaryRenderer_) {
        app_.ui().beep();
        return;
    }
    returnWindow_.busy = true;
    infoWindowVoid();
    returnWindow_.busy = false;
    loadPDFTab();  // the summary is now "PDFPreviewTab.pdf"
}

void AddController::setPaymentField(Key key, float value) {
    const RecordPtr statement = app_.selection().selectedStatement();
    if (!statement) return;
    if (!(key == keys::payment || key == keys::additionalPayment || key == keys::rePayment)) return;
    if (setMoney(*statement, key, value)) app_.noteChanged();
}

void AddController::setVoranmeldungComment(const QString& text) {
    const RecordPtr statement = app_.selection().selectedStatement();
    if (!statement || statement->text(keys::voranmeldungComment) == text) return;
    statement->set(keys::voranmeldungComment, text);
    app_.noteChanged();
}

// ---- the VAT return window --------------------------------------------------------

bool AddController::openVoranmeldungsWindow() {
    Settings& settings = app_.settings();
    UiPort& ui = app_.ui();
    if (!settings.getBool(prefs::firstStepsDone)) {
        ui.alert(AlertStyle::Informational, kNoticeTitle, kNoFirstSteps, {kOk});
        return false;
    }
    Selection& selection = app_.selection();
    const RecordPtr year = selection.selectedYear();
    if (!year || year->thelists().empty()) {
        fail(kNoStatements);
        return false;
    }
    const RecordPtr statement = selection.selectedStatement();
    if (!statement) {
        fail(kNoStatementSelected);
        return false;
    }
    if (selection.listedCount() == 0) {
        const int pressed = ui.alert(AlertStyle::Informational, kNoticeTitle, kNoItems,
                                     {kCancelButton, kContinueButton});
        if (pressed != 1) return false;
    }
    settings.setInt(prefs::selectedVoranmeldungTabIndex, 0);
    returnWindow_.helpDrawer = settings.getBool(prefs::prefsAlwaysShowVoranmeldungHelpDawer);
    returnWindow_.open = true;
    returnWindow_.busy = true;
    returnWindow_.bookedRefund = statement->real(keys::rePayment);
    returnWindow_.bookedPayment = statement->real(keys::payment);
    returnWindow_.bookedBalance = statement->real(keys::balance);
    calculateTabVoid();
    infoWindowVoid();
    returnWindow_.busy = false;
    return true;
}

void AddController::closeVoranmeldungsWindow() {
    returnWindow_.open = false;
    returnWindow_.busy = false;
}

QString AddController::filteredReturnNote() const {
    const Selection& selection = app_.selection();
    const RecordPtr statement = selection.selectedStatement();
    if (!statement || selection.filterText().isEmpty()) return {};
    size_t all = 0;
    for (const RecordPtr& item : statement->items()) all += item ? 1 : 0;
    if (selection.listedCount() >= all) return {};
    return QStringLiteral("Nur gefilterte Posten: %1 von %2 (Suche „%3“)")
        .arg(selection.listedCount())
        .arg(all)
        .arg(selection.filterText());
}

bool AddController::filteredReturnConfirmed(const QString& action) {
    const QString note = filteredReturnNote();
    if (note.isEmpty()) return true;
    const QString verb = action == kHandOverButton ? QStringLiteral("an Winston übergeben")
                                                   : QStringLiteral("buchen");
    return app_.ui().alert(AlertStyle::Warning, kFilteredTitle,
                           kFilteredQuestion.arg(note, verb), {kCancelButton, action}) == 1;
}

void AddController::meldungBuchen() {
    if (!app_.selection().selectedStatement()) {
        app_.ui().beep();
        return;
    }
    if (!filteredReturnConfirmed(kBookAnywayButton)) return;
    askAndBook();
}

void AddController::askAndBook() {
    returnWindow_.busy = true;
    infoWindowVoid();
    const int pressed = app_.ui().alert(AlertStyle::Informational, kBookTitle, kBookQuestion,
                                        {kTakeButton, kOwnButton});
    bookReturn(pressed == 0);
}

void AddController::bookReturn(bool takeFigures) {
    const RecordPtr statement = app_.selection().selectedStatement();
    if (!statement) {
        returnWindow_.busy = false;
        return;
    }
    if (!totals_ || totalsStatement_.lock() != statement) infoWindowVoid();
    const StatementTotals& t = *totals_;
    statement->set(keys::date, app_.nowStamp());
    if (takeFigures) {
        const float payment = (t.tax1Amount + t.tax2Amount) + t.tax3Amount;
        returnWindow_.bookedRefund = t.abziehbareBetraegeSteuer;
        returnWindow_.bookedPayment = payment;
        returnWindow_.bookedBalance = t.saldo;
        setMoney(*statement, keys::rePayment, t.abziehbareBetraegeSteuer);
        setMoney(*statement, keys::payment, payment);
        setMoney(*statement, keys::balance, t.saldo);
    } else {
        returnWindow_.bookedRefund = 0;
        returnWindow_.bookedPayment = 0;
        returnWindow_.bookedBalance = 0;
    }
    app_.noteChanged();
    if (t.nichtSteuerbar > 0.0f)
        app_.ui().schedule(kNichtSteuerbarDelayMs, [this] { nichtSteuerbarAlert(); });
    // The page shows the booking date and the payment block.
    infoWindowVoid();
    returnWindow_.busy = false;
}

void AddController::setReturnCreated(bool created, std::optional<bool> take) {
    const RecordPtr statement = app_.selection().selectedStatement();
    if (!statement) {
        app_.ui().beep();
        return;
    }
    if (created && !statement->flag(keys::taxBool) && !filteredReturnConfirmed(kBookAnywayButton))
        return;
    if (statement->flag(keys::taxBool) != created ||
        statement->value(keys::taxBool).type() != Value::Type::Bool) {
        statement->set(keys::taxBool, created);
        app_.noteChanged();
    }
    if (!created) {
        infoWindowVoid();
        return;
    }
    if (take) {
        returnWindow_.busy = true;
        infoWindowVoid();
        bookReturn(*take);
    } else {
        askAndBook();
    }
}

void AddController::nichtSteuerbarAlert() {
    app_.ui().alert(AlertStyle::Informational, kNoticeTitle, kNichtSteuerbarMessage, {kOk});
}

// ---- the return file ------------------------------------------------------------------

AddController::ReturnFileResult AddController::writeReturnFile(const QString& outbox) {
    ReturnFileResult result;
    Selection& selection = app_.selection();
    const RecordPtr statement = selection.selectedStatement();
    const RecordPtr year = selection.selectedYear();
    if (!statement || !year) {
        result.error = kNoStatementSelected;
        fail(result.error);
        return result;
    }
    // Figures and period always from the same statement.
    if (!totals_ || totalsStatement_.lock() != statement) infoWindowVoid();
    const StatementTotals& t = *totals_;
    Settings& settings = app_.settings();
    const QString company = settings.getText(prefs::prefsCompany);
    const QString taxId = settings.getText(prefs::prefsTaxID);
    const QString elsterId = settings.getText(prefs::prefsELSTERID);
    const QString title = statement->text(keys::title);
    const QString yearName = year->text(keys::dateValue);

    result.clipboardText =
        returnClipboardText(company, taxId, yearName, title,
                            {fieldText(t.tax1Sum), fieldText(t.tax2Sum), fieldText(t.tax3Sum),
                             fieldText(t.nichtSteuerbar), fieldText(t.abziehbareBetraegeSteuer),
                             fieldText(t.saldo)});
    app_.ui().setClipboardText(result.clipboardText);

    const QString code = periodCode(title);
    if (code.isEmpty())
        app_.ui().alert(
            AlertStyle::Warning, kNoticeTitle,
            QStringLiteral("„%1“ ist kein Voranmeldungszeitraum (ein Monat, ein Kalendervierteljahr "
                           "oder „Jahr“). Die Datei für Winston wird ohne Zeitraum geschrieben; "
                           "trage ihn in Winston selbst ein.")
                .arg(title),
            {kOk});
    const QString folder = outbox.isEmpty() ? app_.paths().elsterOutbox : outbox;
    result.path = Paths::join(folder, returnFileName(code, yearName));
    const QByteArray bytes =
        returnFileBytes(ReturnFileContent::fromTotals(elsterId, yearName, title, t));

    if (!QFileInfo(folder).isDir()) {
        result.error = QStringLiteral(
                           "Den Ausgangskorb von Winston gibt es nicht: %1\nDie Datei für Winston "
                           "wurde nicht geschrieben. Ist Winston installiert und sein Ausgangskorb "
                           "aktiviert? Die Zahlen liegen in der Zwischenablage.")
                           .arg(QDir::toNativeSeparators(folder));
    } else {
        QString reason;
        if (!writeFileAtomically(result.path, bytes, &reason)) {
            result.error = QStringLiteral(
                               "Die Datei für Winston konnte nicht geschrieben werden: %1 (%2) "
                               "Die Zahlen liegen in der Zwischenablage.")
                               .arg(QDir::toNativeSeparators(result.path), reason);
        } else {
            result.written = true;
        }
    }
    if (!result.written) fail(result.error);
    return result;
}

void AddController::doTheWinston() {
    if (!app_.selection().selectedStatement()) {
        app_.ui().beep();
        return;
    }
    if (!filteredReturnConfirmed(kHandOverButton)) return;
    // A file that could not be written has been told; without it there is
    // nothing to hand over, so neither the notice nor the client follow.
    if (!writeReturnFile().written) return;
    Settings& settings = app_.settings();
    if (!settings.getBool(prefs::winstonHintShown)) {
        app_.ui().alert(AlertStyle::Informational, kNoticeTitle, kWinstonNotice, {kOk});
        settings.setBool(prefs::winstonHintShown, true);
    }
    if (!app_.ui().launchApplication(kWinstonProgram, {})) {
        app_.ui().alert(AlertStyle::Critical, kErrorTitle, kWinstonFailed, {kOk});
    }
}

void AddController::winstonWebseite() { app_.ui().openUrl(kWinstonWebsite); }

void AddController::elsterNummer() { app_.ui().openUrl(kTaxNumberArticle); }

}  // namespace quandor
