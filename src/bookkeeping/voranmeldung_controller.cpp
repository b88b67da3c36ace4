#include "bookkeeping/voranmeldung_controller.h"

#include "bookkeeping/alert_words.h"
#include "bookkeeping/voranmeldung.h"
#include "core/atomic_file.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "core/settings.h"
#include "core/settings_keys.h"

#include <QDir>
#include <QFileInfo>

#include <cstring>

namespace quandor {

const QString VoranmeldungController::kNoFirstSteps = QStringLiteral(
    "Das Vorbereiten und Verwalten von Voranmeldungen steht erst zur Verfügung, nachdem du den "
    "ersten Posten erfolgreich angelegt hast.");
const QString VoranmeldungController::kNoItems =
    QStringLiteral("Diese Abrechnung enthält keinerlei Posten.");
const QString VoranmeldungController::kContinueButton = QStringLiteral("Fortfahren");
const QString VoranmeldungController::kBookTitle =
    QStringLiteral("Voranmeldung als erstellt markieren");
const QString VoranmeldungController::kBookQuestion = QStringLiteral(
    "Möchtest du die von Quandor errechneten Zahlen direkt übernehmen oder eigene eingeben?");
const QString VoranmeldungController::kTakeButton = QStringLiteral("Übernehmen");
const QString VoranmeldungController::kOwnButton = QStringLiteral("Eigene");
const QString VoranmeldungController::kFilteredTitle = QStringLiteral("Achtung!");
const QString VoranmeldungController::kFilteredQuestion = QStringLiteral(
    "Die Voranmeldung ist nur über die Posten berechnet, die der Suchfilter zeigt – %1. Die "
    "übrigen Posten fehlen in den Zahlen. Lösche den Suchtext, um alle Posten der Abrechnung zu "
    "berücksichtigen.\n\nMöchtest du die gefilterte Voranmeldung trotzdem %2?");
const QString VoranmeldungController::kBookAnywayButton = QStringLiteral("Trotzdem buchen");
const QString VoranmeldungController::kHandOverButton = QStringLiteral("Trotzdem übergeben");
const QString VoranmeldungController::kWinstonWebsite =
    QStringLiteral("https://www.winston-elster.de");
const QString VoranmeldungController::kTaxNumberArticle =
    QStringLiteral("https://de.wikipedia.org/wiki/Steuernummer");
const QString VoranmeldungController::kFormsPortal =
    QStringLiteral("https://www.formulare-bfinv.de");
const QString VoranmeldungController::kNichtSteuerbarMessage =
    QStringLiteral(
        "Du hast 'Nicht steuerbare Umsätze' verbucht - möglicherweise bedeutet dies, dass du noch "
        "eine 'Zusammenfassende Meldung' dem Bundeszentralamt für Steuern (") +
    kFormsPortal +
    QStringLiteral(
        ") zukommen lasssen musst. Bitte denke daran. Geduld oder gar Humor zählt nicht zu deren "
        "Stärken.");
const QString VoranmeldungController::kWinstonNotice =
    QStringLiteral(
        "Sofern Winston auf deinem Mac installiert ist - generiert Quandor jetzt direkt passend "
        "die nötigen Daten und öffnet Winston mit eben diesen fein säuberlich im Ausgangskorb "
        "abgelegt und du kannst sie direkt in Winston weiter bearbeiten bzw. gleich versenden."
        "\n\nSolltest du also Winston verwenden, so denke bitte daran für die Nutzung auch "
        "unter ") +
    kWinstonWebsite +
    QStringLiteral(
        " dafür deinen Obolus zu entrichten.\n\nBitte bachte, dass du dazu deine ELSTER Nummer in "
        "den Quandor Einstellungen richtig angegeben haben musst und der Ausgangskorb in Winston "
        "aktiviert ist.");
const QString VoranmeldungController::kWinstonFailed = QStringLiteral(
    "Winston konnte nicht erfolgreich geöffnet werden. Bitte sicherstellen, dass Winston "
    "ordentlich auf deinem Mac installiert und eingerichtet ist.");

namespace {

// The ELSTER client: a program of this name on PATH.
const QString kWinstonProgram = QStringLiteral("winston");
// How long after booking the reminder about not-taxable revenue appears.
constexpr int kNichtSteuerbarDelayMs = 600;

bool sameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

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

VoranmeldungController::VoranmeldungController(Books& books, TotalsController& totals,
                                               StatementPrintController& print)
    : books_(books), totals_(totals), print_(print) {}

// ---- the window's figures ------------------------------------------------------------

void VoranmeldungController::calculateTabVoid() {
    const RecordPtr statement = books_.selection().selectedStatement();
    if (!statement) return;
    const float sum = statement->real(keys::payment) + statement->real(keys::additionalPayment);
    const float balance = sum - statement->real(keys::rePayment);
    if (setMoney(*statement, keys::balance, balance)) books_.noteChanged();
}

void VoranmeldungController::changeAlLCalculates() {
    returnWindow_.busy = true;
    calculateTabVoid();
    totals_.infoWindowVoid();
    returnWindow_.busy = false;
}

bool VoranmeldungController::summaryChecksPass() {
    const RecordPtr year = books_.selection().selectedYear();
    if (!year || year->thelists().empty()) {
        fail(TotalsController::kNoStatements);
        return false;
    }
    if (!books_.selection().selectedStatement()) {
        fail(TotalsController::kNoStatementSelected);
        return false;
    }
    return true;
}

void VoranmeldungController::printAbrechnung() {
    if (!summaryChecksPass()) return;
    books_.settings().setBool(prefs::prefsExportPrintWithList, true);
    returnWindow_.busy = true;
    calculateTabVoid();
    totals_.infoWindowVoid();
    returnWindow_.busy = false;
    if (summaryPrinter_) books_.ui().schedule(0, summaryPrinter_);
}

void VoranmeldungController::previewAbrechnung() {
    if (!summaryChecksPass()) return;
    if (!totals_.rendersSummary()) {
        books_.ui().beep();
        return;
    }
    returnWindow_.busy = true;
    totals_.infoWindowVoid();
    returnWindow_.busy = false;
    print_.loadPDFTab();  // the summary is now "PDFPreviewTab.pdf"
}

void VoranmeldungController::setPaymentField(Key key, float value) {
    const RecordPtr statement = books_.selection().selectedStatement();
    if (!statement) return;
    if (!(key == keys::payment || key == keys::additionalPayment || key == keys::rePayment)) return;
    if (setMoney(*statement, key, value)) books_.noteChanged();
}

void VoranmeldungController::setVoranmeldungComment(const QString& text) {
    const RecordPtr statement = books_.selection().selectedStatement();
    if (!statement || statement->text(keys::voranmeldungComment) == text) return;
    statement->set(keys::voranmeldungComment, text);
    books_.noteChanged();
}

// ---- the VAT return window --------------------------------------------------------

bool VoranmeldungController::openVoranmeldungsWindow() {
    Settings& settings = books_.settings();
    UiPort& ui = books_.ui();
    if (!settings.getBool(prefs::firstStepsDone)) {
        ui.alert(AlertStyle::Informational, AlertWords::kNoticeTitle, kNoFirstSteps,
                 {AlertWords::kOkButton});
        return false;
    }
    Selection& selection = books_.selection();
    const RecordPtr year = selection.selectedYear();
    if (!year || year->thelists().empty()) {
        fail(TotalsController::kNoStatements);
        return false;
    }
    const RecordPtr statement = selection.selectedStatement();
    if (!statement) {
        fail(TotalsController::kNoStatementSelected);
        return false;
    }
    if (selection.listedCount() == 0) {
        const int pressed = ui.alert(AlertStyle::Informational, AlertWords::kNoticeTitle, kNoItems,
                                     {AlertWords::kCancelButton, kContinueButton});
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
    totals_.infoWindowVoid();
    returnWindow_.busy = false;
    return true;
}

void VoranmeldungController::closeVoranmeldungsWindow() {
    returnWindow_.open = false;
    returnWindow_.busy = false;
}

QString VoranmeldungController::filteredReturnNote() const {
    const Selection& selection = books_.selection();
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

bool VoranmeldungController::filteredReturnConfirmed(const QString& action) {
    const QString note = filteredReturnNote();
    if (note.isEmpty()) return true;
    const QString verb = action == kHandOverButton ? QStringLiteral("an Winston übergeben")
                                                   : QStringLiteral("buchen");
    return books_.ui().alert(AlertStyle::Warning, kFilteredTitle, kFilteredQuestion.arg(note, verb),
                             {AlertWords::kCancelButton, action}) == 1;
}

void VoranmeldungController::meldungBuchen() {
    if (!books_.selection().selectedStatement()) {
        books_.ui().beep();
        return;
    }
    if (!filteredReturnConfirmed(kBookAnywayButton)) return;
    askAndBook();
}

void VoranmeldungController::askAndBook() {
    returnWindow_.busy = true;
    totals_.infoWindowVoid();
    const int pressed = books_.ui().alert(AlertStyle::Informational, kBookTitle, kBookQuestion,
                                          {kTakeButton, kOwnButton});
    bookReturn(pressed == 0);
}

void VoranmeldungController::bookReturn(bool takeFigures) {
    const RecordPtr statement = books_.selection().selectedStatement();
    if (!statement) {
        returnWindow_.busy = false;
        return;
    }
    if (!totals_.hasTotalsOf(statement)) totals_.infoWindowVoid();
    const StatementTotals& t = *totals_.totals();
    statement->set(keys::date, books_.nowStamp());
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
    books_.noteChanged();
    if (t.nichtSteuerbar > 0.0f)
        books_.ui().schedule(kNichtSteuerbarDelayMs, [this] { nichtSteuerbarAlert(); });
    // The page shows the booking date and the payment block.
    totals_.infoWindowVoid();
    returnWindow_.busy = false;
}

void VoranmeldungController::setReturnCreated(bool created, std::optional<bool> take) {
    const RecordPtr statement = books_.selection().selectedStatement();
    if (!statement) {
        books_.ui().beep();
        return;
    }
    if (created && !statement->flag(keys::taxBool) && !filteredReturnConfirmed(kBookAnywayButton))
        return;
    if (statement->flag(keys::taxBool) != created ||
        statement->value(keys::taxBool).type() != Value::Type::Bool) {
        statement->set(keys::taxBool, created);
        books_.noteChanged();
    }
    if (!created) {
        totals_.infoWindowVoid();
        return;
    }
    if (take) {
        returnWindow_.busy = true;
        totals_.infoWindowVoid();
        bookReturn(*take);
    } else {
        askAndBook();
    }
}

void VoranmeldungController::nichtSteuerbarAlert() {
    books_.ui().alert(AlertStyle::Informational, AlertWords::kNoticeTitle, kNichtSteuerbarMessage,
                      {AlertWords::kOkButton});
}

// ---- the return file ------------------------------------------------------------------

VoranmeldungController::ReturnFileResult VoranmeldungController::writeReturnFile(
    const QString& outbox) {
    ReturnFileResult result;
    Selection& selection = books_.selection();
    const RecordPtr statement = selection.selectedStatement();
    const RecordPtr year = selection.selectedYear();
    if (!statement || !year) {
        result.error = TotalsController::kNoStatementSelected;
        fail(result.error);
        return result;
    }
    // Figures and period always from the same statement.
    if (!totals_.hasTotalsOf(statement)) totals_.infoWindowVoid();
    const StatementTotals& t = *totals_.totals();
    Settings& settings = books_.settings();
    const QString company = settings.getText(prefs::prefsCompany);
    const QString taxId = settings.getText(prefs::prefsTaxID);
    const QString elsterId = settings.getText(prefs::prefsELSTERID);
    const QString title = statement->text(keys::title);
    const QString yearName = year->text(keys::dateValue);

    result.clipboardText =
        returnClipboardText(company, taxId, yearName, title,
                            {amountText(t.tax1Sum), amountText(t.tax2Sum), amountText(t.tax3Sum),
                             amountText(t.nichtSteuerbar), amountText(t.abziehbareBetraegeSteuer),
                             amountText(t.saldo)});
    books_.ui().setClipboardText(result.clipboardText);

    const QString code = periodCode(title);
    if (code.isEmpty())
        books_.ui().alert(
            AlertStyle::Warning, AlertWords::kNoticeTitle,
            QStringLiteral("„%1“ ist kein Voranmeldungszeitraum (ein Monat, ein "
                           "Kalendervierteljahr oder „Jahr“). Die Datei für Winston wird ohne "
                           "Zeitraum geschrieben; trage ihn in Winston selbst ein.")
                .arg(title),
            {AlertWords::kOkButton});
    const QString folder = outbox.isEmpty() ? books_.paths().elsterOutbox : outbox;
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
                               "Die Datei für Winston konnte nicht geschrieben werden: %1 (%2) Die "
                               "Zahlen liegen in der Zwischenablage.")
                               .arg(QDir::toNativeSeparators(result.path), reason);
        } else {
            result.written = true;
        }
    }
    if (!result.written) fail(result.error);
    return result;
}

void VoranmeldungController::doTheWinston() {
    if (!books_.selection().selectedStatement()) {
        books_.ui().beep();
        return;
    }
    if (!filteredReturnConfirmed(kHandOverButton)) return;
    // A file that could not be written has been told; without it there is
    // nothing to hand over, so neither the notice nor the client follow.
    if (!writeReturnFile().written) return;
    Settings& settings = books_.settings();
    if (!settings.getBool(prefs::winstonHintShown)) {
        books_.ui().alert(AlertStyle::Informational, AlertWords::kNoticeTitle, kWinstonNotice,
                          {AlertWords::kOkButton});
        settings.setBool(prefs::winstonHintShown, true);
    }
    if (!books_.ui().launchApplication(kWinstonProgram, {})) {
        books_.ui().alert(AlertStyle::Critical, AlertWords::kErrorTitle, kWinstonFailed,
                          {AlertWords::kOkButton});
    }
}

void VoranmeldungController::winstonWebseite() {
    books_.ui().openUrl(kWinstonWebsite);
}

void VoranmeldungController::elsterNummer() {
    books_.ui().openUrl(kTaxNumberArticle);
}

void VoranmeldungController::fail(const QString& message) {
    books_.ui().beep();
    books_.ui().alert(AlertStyle::Critical, AlertWords::kErrorTitle, message,
                      {AlertWords::kOkButton});
}

}  // namespace quandor
