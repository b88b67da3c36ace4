#include "cashbook/kassenbuch_controller.h"

#include "bookkeeping/alert_words.h"
#include "bookkeeping/csv_cell.h"
#include "bookkeeping/print_files.h"
#include "cashbook/kassenbuch_page.h"
#include "core/edit_scope.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "core/text_cleaning.h"
#include "print/print_job.h"

#include <algorithm>
#include <cmath>

namespace quandor {

namespace P = prefs;

const QString KassenbuchController::kNoCashBookTitle = QStringLiteral("Kein Kassenbuch angelegt!");
const QString KassenbuchController::kNoCashBookForItem = QStringLiteral(
    "Um Posten direkt als Kassenbucheintrag zu übernehmen, muss ein Kassenbuch angelegt sein.");
const QString KassenbuchController::kNoCashBookForDeposit =
    QStringLiteral("Es muss ein Kassenbuch angelegt sein.");
const QString KassenbuchController::kWarningTitle = QStringLiteral("Warnung!");
const QString KassenbuchController::kTakenOverAgain = QStringLiteral(
    "Der Posten wurde schon einmal in ein Kassenbuch übernommen. Bist du sicher, dass du dies "
    "erneut tun möchtest?");
const QString KassenbuchController::kTakeOverButton = QStringLiteral("Übernehmen …");
const QString KassenbuchController::kNegativeBalance = QStringLiteral(
    "Diese Buchung ist so nicht möglich, da das Kassenbuch sonst einen negativen Kassenbestand "
    "aufweisen würde. Dies mag bei großen Firmen und Banken möglich sein - dir und mir bleibt dies "
    "leider verwehrt und ein \"Ich gleiche dies später einfach aus\" versteht Quandor bewusst "
    "nicht.");
const QString KassenbuchController::kDeleteMessage = QStringLiteral(
    "Das Löschen von ganzen Jahren wird nicht empfohlen. Bitte bedenke auch, dass du eigentlich "
    "bereits eingepflegte Posten unter Umständen erneut einzeln von Hand eintragen musst. "
    "Eventuell ist das Anlegen eines einzelnen Berichtigungseintrages die viel einfachere und "
    "sinnigere Lösung. Möchtest du das ausgewählte Jahr wirklich löschen?");
const QString KassenbuchController::kNoItemSelected = QStringLiteral(
    "Wähle zuerst in der Postenliste den Posten aus, den du ins Kassenbuch übernehmen möchtest.");
const QString KassenbuchController::kBadAmount =
    QStringLiteral("Der Betrag ist keine gültige Zahl. Bitte gib einen Betrag wie 12,50 ein.");
const QString KassenbuchController::kNegativeCarry =
    QStringLiteral("Der übertragene Kassenbestand darf nicht negativ sein.");
const QString KassenbuchController::kNoSuchEntry =
    QStringLiteral("Im Kassenbuch gibt es keinen Eintrag Nr. %1.");
const QString KassenbuchController::kAlreadyReversed =
    QStringLiteral("Der Eintrag Nr. %1 wurde schon storniert (mit Eintrag Nr. %2).");
const QString KassenbuchController::kPrintFailedTitle = QStringLiteral("Mist!");
const QString KassenbuchController::kPrintFailed = QStringLiteral(
    "Fehler beim Erstellen des Kassenbuches. Sollte dies wiederholt vorkommen bitte den Pellmor "
    "Support kontaktieren.");
const QString KassenbuchController::kStornoQuestion = QStringLiteral(
    "Möchtest du den Eintrag Nr. %1 „%2“ wirklich stornieren? Er wird mit einem neuen Eintrag "
    "zurückgebucht und bleibt selbst im Kassenbuch stehen.");
const QString KassenbuchController::kStornoButton = QStringLiteral("Stornieren");

namespace {

// A reversal keeps the number of the entry it reverses here.
const Key& reversedKey() {
    return keys::misc1;
}

QString icon(const char16_t* name) {
    return QString::fromUtf16(name);
}

}  // namespace

KassenbuchController::KassenbuchController(Books& books) : books_(books) {}

// ---- cash books ------------------------------------------------------------------

void KassenbuchController::addCashBook() {
    Settings& s = books_.settings();
    s.setBool(P::prefsUebertragKassenbuch, false);
    s.setText(P::prefsUebertragKassenbuchSumme, QString());
    s.setText(P::prefsUebertragKassenbuchBezeichnung, QString());
    sheet_ = Sheet::AddCashBook;
}

QStringList KassenbuchController::yearNames() const {
    QStringList names;
    for (const RecordPtr& year : books_.database().years) names << year->text(keys::dateValue);
    return names;
}

bool KassenbuchController::closeAddCashBook(const QString& yearText) {
    const Settings& s = books_.settings();
    const bool carry = s.getBool(P::prefsUebertragKassenbuch);
    float opening = 0;
    if (carry) {
        bool ok = false;
        opening = parseAmount(s.getText(P::prefsUebertragKassenbuchSumme), &ok);
        if (!std::isfinite(opening)) {
            fail(AlertWords::kErrorTitle, kBadAmount);
            return false;
        }
        if (opening < 0) {
            fail(AlertWords::kErrorTitle, kNegativeCarry);
            return false;
        }
    }
    sheet_ = Sheet::None;
    const Date now = books_.nowStamp();
    RecordPtr cashbook = Record::create(RecordClass::Cashbook, now);
    cashbook->set(keys::title, yearText);
    if (carry) {
        RecordPtr entry = Record::create(RecordClass::CashBookItem, now);
        entry->set(keys::sumEinnahme, opening);
        entry->set(keys::vorfall, s.getText(P::prefsUebertragKassenbuchBezeichnung));
        entry->set(keys::image, Value::icon(icon(keys::icon::itemGreen)));
        append(cashbook, entry, opening);
    }
    RecordList& list = books_.database().cashbooks;
    list.push_back(cashbook);
    books_.noteChanged();
    books_.selection().setCashBookIndex(static_cast<int>(list.size()) - 1);
    books_.selection().setCashBookEntryIndex(-1);
    return true;
}

void KassenbuchController::cancelAddCashBook() {
    sheet_ = Sheet::None;
}

void KassenbuchController::deleteCashBook() {
    const RecordPtr cashbook = books_.selection().selectedCashBook();
    if (!cashbook) {
        books_.ui().beep();
        return;
    }
    const int answer = books_.ui().alert(AlertStyle::Warning, kWarningTitle, kDeleteMessage,
                                         {AlertWords::kCancelButton, AlertWords::kDeleteButton});
    if (answer != 1) return;
    RecordList& list = books_.database().cashbooks;
    std::erase(list, cashbook);
    books_.noteChanged();
    const int index = books_.selection().cashBookIndex();
    books_.selection().setCashBookIndex(std::min(index, static_cast<int>(list.size()) - 1));
    books_.selection().setCashBookEntryIndex(-1);
}

// ---- entries ---------------------------------------------------------------------

RecordPtr KassenbuchController::requireCashBook(const QString& message) {
    if (books_.database().cashbooks.empty()) {
        fail(kNoCashBookTitle, message);
        return nullptr;
    }
    RecordPtr cashbook = books_.selection().selectedCashBook();
    if (!cashbook) books_.ui().beep();  // cash books exist, none is selected
    return cashbook;
}

void KassenbuchController::append(const RecordPtr& cashbook, const RecordPtr& entry,
                                  float balance) {
    RecordList& entries = cashbook->items();
    entries.push_back(entry);
    entry->set(keys::nummer, static_cast<int64_t>(entries.size()));
    entry->set(keys::kassenbestand, balance);
    cashbook->set(keys::kassenbestand, balance);
}

bool KassenbuchController::openAddCashBookItem() {
    const RecordPtr cashbook = requireCashBook(kNoCashBookForItem);
    if (!cashbook) return false;
    const RecordPtr item = books_.selection().firstSelectedItem();
    if (!item) {
        fail(AlertWords::kNoticeTitle, kNoItemSelected);
        return false;
    }
    if (item->text(keys::misc9).size() >= 4) {
        const int answer = books_.ui().alert(AlertStyle::Warning, kWarningTitle, kTakenOverAgain,
                                             {AlertWords::kCancelButton, kTakeOverButton});
        if (answer != 1) return false;
    }
    const float amount = item->real(keys::amount);
    if (!std::isfinite(amount)) {
        fail(AlertWords::kErrorTitle, kBadAmount);
        return false;
    }
    if (item->integer(keys::kind) == 1) {
        const float after = cashbook->real(keys::kassenbestand) - amount;
        if (after < 0) {
            fail(AlertWords::kErrorTitle, kNegativeBalance);
            return false;
        }
    }
    takeOverItem_ = item;
    sheet_ = Sheet::TakeOver;
    return true;
}

bool KassenbuchController::addCashBookItem(const QString& konto) {
    if (sheet_ != Sheet::TakeOver || !takeOverItem_) return false;
    const RecordPtr item = std::exchange(takeOverItem_, nullptr);
    sheet_ = Sheet::None;
    const RecordPtr cashbook = books_.selection().selectedCashBook();
    if (!cashbook) {
        fail(kNoCashBookTitle, kNoCashBookForItem);
        return false;
    }
    const bool payment = item->integer(keys::kind) == 1;
    const float amount = item->real(keys::amount);
    const float before = cashbook->real(keys::kassenbestand);
    const float balance = payment ? before - amount : before + amount;
    // The cash book may have changed while the sheet was open: check again.
    if (payment && balance < 0) {
        fail(AlertWords::kErrorTitle, kNegativeBalance);
        return false;
    }
    const Settings& s = books_.settings();
    EditScope scope(books_);
    scope.keep(cashbook->items());
    scope.keep(item);
    item->set(keys::misc9, QStringLiteral("isKassenbuch"));
    RecordPtr entry = Record::create(RecordClass::CashBookItem, books_.nowStamp());
    entry->set(keys::vorfall, s.getText(P::prefsAddCashBookItemTitle));
    entry->set(keys::beleg, s.getText(P::prefsAddCashBookItemBeleg));
    entry->set(keys::taxRate, item->value(keys::taxPerecent));
    entry->set(keys::konto, konto);
    entry->set(keys::taxAmount, item->real(keys::taxFee));
    entry->set(keys::date, item->value(keys::date));
    entry->set(payment ? keys::sumAusgabe : keys::sumEinnahme, amount);
    entry->set(keys::image,
               Value::icon(icon(payment ? keys::icon::itemRed : keys::icon::itemGreen)));
    append(cashbook, entry, balance);
    scope.commit();
    return true;
}

void KassenbuchController::cancelItemSheet() {
    sheet_ = Sheet::None;
    takeOverItem_.reset();
}

bool KassenbuchController::openBareinzahlung() {
    if (!requireCashBook(kNoCashBookForDeposit)) return false;
    books_.settings().setText(P::prefsKasseneinlageSumme, QString());
    sheet_ = Sheet::Deposit;
    return true;
}

bool KassenbuchController::addBareinzahlung() {
    if (sheet_ != Sheet::Deposit) return false;
    const RecordPtr cashbook = books_.selection().selectedCashBook();
    if (!cashbook) return false;
    const Settings& s = books_.settings();
    const float amount = parseAmount(s.getText(P::prefsKasseneinlageSumme));  // not a number: 0
    const float balance = cashbook->real(keys::kassenbestand) + amount;
    // A negative amount would take cash out without a receipt.
    if (!std::isfinite(balance) || balance < 0) {
        fail(AlertWords::kErrorTitle, std::isfinite(balance) ? kNegativeBalance : kBadAmount);
        return false;
    }
    sheet_ = Sheet::None;
    RecordPtr entry = Record::create(RecordClass::CashBookItem, books_.nowStamp());
    entry->set(keys::vorfall, s.getText(P::prefsKasseneinlageBezeichnung));
    entry->set(keys::sumEinnahme, amount);
    entry->set(keys::image, Value::icon(icon(keys::icon::itemGreen)));
    append(cashbook, entry, balance);
    books_.noteChanged();
    return true;
}

void KassenbuchController::cancelBareinzahlung() {
    sheet_ = Sheet::None;
}

bool KassenbuchController::confirmStorno(int64_t nummer) {
    const RecordPtr cashbook = books_.selection().selectedCashBook();
    if (!cashbook) {
        books_.ui().beep();
        return false;
    }
    QString text;
    for (const RecordPtr& e : cashbook->items())
        if (e->integer(keys::nummer) == nummer) text = e->text(keys::vorfall);
    const int answer =
        books_.ui().alert(AlertStyle::Warning, kWarningTitle, kStornoQuestion.arg(nummer).arg(text),
                          {AlertWords::kCancelButton, kStornoButton});
    return answer == 1;
}

bool KassenbuchController::stornoEntry(int64_t nummer) {
    const RecordPtr cashbook = requireCashBook(kNoCashBookForDeposit);
    if (!cashbook) return false;
    RecordPtr original;
    for (const RecordPtr& e : cashbook->items()) {
        if (!original && e->integer(keys::nummer) == nummer) original = e;
        if (e->text(reversedKey()) == QString::number(nummer)) {
            fail(AlertWords::kErrorTitle,
                 kAlreadyReversed.arg(nummer).arg(e->integer(keys::nummer)));
            return false;
        }
    }
    if (!original) {
        fail(AlertWords::kErrorTitle, kNoSuchEntry.arg(nummer));
        return false;
    }
    const float receipt = original->real(keys::sumAusgabe);  // a payment comes back as a receipt
    const float payment = original->real(keys::sumEinnahme);
    const float before = cashbook->real(keys::kassenbestand);
    const float balance = payment > 0 ? before - payment : before + receipt;
    if (balance < 0) {
        fail(AlertWords::kErrorTitle, kNegativeBalance);
        return false;
    }
    RecordPtr entry = Record::create(RecordClass::CashBookItem, books_.nowStamp());
    entry->set(keys::vorfall,
               QStringLiteral("Storno Nr. %1: %2").arg(nummer).arg(original->text(keys::vorfall)));
    entry->set(keys::beleg, original->text(keys::beleg));
    entry->set(keys::konto, original->text(keys::konto));
    entry->set(keys::taxRate, original->value(keys::taxRate));
    entry->set(keys::taxAmount, original->real(keys::taxAmount));
    entry->set(keys::sumEinnahme, payment > 0 ? 0.0f : receipt);
    entry->set(keys::sumAusgabe, payment > 0 ? payment : 0.0f);
    entry->set(keys::image,
               Value::icon(icon(payment > 0 ? keys::icon::itemRed : keys::icon::itemGreen)));
    entry->set(reversedKey(), QString::number(nummer));
    append(cashbook, entry, balance);
    books_.noteChanged();
    return true;
}

// ---- print and export ------------------------------------------------------------

std::vector<const Record*> KassenbuchController::sortedEntries(const Record& cashbook) {
    std::vector<const Record*> entries;
    entries.reserve(cashbook.items().size());
    for (const RecordPtr& e : cashbook.items()) entries.push_back(e.get());
    std::stable_sort(entries.begin(), entries.end(), [](const Record* a, const Record* b) {
        return a->integer(keys::nummer) < b->integer(keys::nummer);
    });
    return entries;
}

QString KassenbuchController::csvText() const {
    const RecordPtr cashbook = books_.selection().selectedCashBook();
    if (!cashbook) return {};
    using csv::Charset;
    using csv::Field;
    QString text;
    const auto entries = sortedEntries(*cashbook);
    text.reserve(qsizetype(entries.size()) * 120);
    CashBookCellTexts texts;
    for (const Record* e : entries) {
        const CashBookCells c = texts(*e);
        const QString fields[] = {
            csv::cell(c.number, Field::Formatted, Charset::Utf8),
            csv::cell(c.date, Field::Formatted, Charset::Utf8),
            csv::cell(c.receipt, Field::Typed, Charset::Utf8),
            csv::cell(c.description, Field::Typed, Charset::Utf8),
            csv::cell(c.account, Field::Typed, Charset::Utf8),
            csv::cell(c.receiptAmount, Field::Formatted, Charset::Utf8),
            csv::cell(c.paymentAmount, Field::Formatted, Charset::Utf8),
            csv::cell(c.taxAmount, Field::Formatted, Charset::Utf8),
            csv::cell(c.taxRate, Field::Formatted, Charset::Utf8),
            csv::cell(c.balance, Field::Formatted, Charset::Utf8),
        };
        for (const QString& f : fields) {
            text += u'"';
            text += f;
            text += QStringLiteral("\",");
        }
        text += u'\n';
    }
    return text;
}

ExportResult KassenbuchController::exportKassenbuch() {
    const RecordPtr cashbook = books_.selection().selectedCashBook();
    if (!cashbook) {
        books_.ui().beep();
        return ExportResult::Refused;
    }
    const auto path =
        books_.ui().saveDialog(QStringLiteral("CSV Datei Exportieren"), QStringLiteral("csv"),
                               QStringLiteral("Kassenbuch %1").arg(cashbook->text(keys::title)));
    if (!path) return ExportResult::Cancelled;
    return exportKassenbuchTo(*path);
}

ExportResult KassenbuchController::exportKassenbuchTo(const QString& path) {
    if (!books_.selection().selectedCashBook()) {
        books_.ui().beep();
        return ExportResult::Refused;
    }
    const QByteArray bytes = csv::encode(zapGremlinsInString(csvText()), csv::Charset::Utf8);
    return writeExportFile(books_.ui(), path, bytes) ? ExportResult::Written : ExportResult::Failed;
}

std::optional<print::Page> KassenbuchController::kassenbuchPage() {
    const RecordPtr cashbook = books_.selection().selectedCashBook();
    if (!cashbook) return std::nullopt;
    Settings& s = books_.settings();
    KassenbuchPageInput in;
    in.company = s.getText(P::prefsCompany);
    in.taxId = s.getText(P::prefsTaxID);
    in.today = books_.now();
    in.cashbook = cashbook.get();
    in.currencyText = currencyText(s);
    in.printBorder = s.getBool(P::prefsPrintBorder);
    in.unshortened = s.getBool(P::prefsPrintUnshortened);
    print::Page page = buildKassenbuchPage(in);
    s.setText(P::printFooter, page.footer);
    return page;
}

ExportResult KassenbuchController::printKassenbuchTo(const QString& path) {
    const std::optional<print::Page> page = kassenbuchPage();
    if (!page) {
        books_.ui().beep();
        return ExportResult::Refused;
    }
    const QString folder = books_.paths().dataFolder;
    print::PrintJob job(*page, Paths::join(folder, QStringLiteral("Cashbook.html")),
                        Paths::join(folder, QStringLiteral("Cashbook.pdf")));
    QString reason;
    if (!job.render(&reason)) {
        fail(kPrintFailedTitle, kPrintFailed);
        return ExportResult::Failed;
    }
    return writeExportFile(books_.ui(), path, job.pdf()) ? ExportResult::Written
                                                         : ExportResult::Failed;
}

bool KassenbuchController::printKassenbuch() {
    const std::optional<print::Page> page = kassenbuchPage();
    if (!page || !printDialog) {
        books_.ui().beep();
        return false;
    }
    const QString folder = books_.paths().dataFolder;
    print::PrintJob job(*page, Paths::join(folder, QStringLiteral("Cashbook.html")),
                        Paths::join(folder, QStringLiteral("Cashbook.pdf")));
    QString reason;
    if (!job.writeHtml(&reason)) {
        fail(kPrintFailedTitle, kPrintFailed);
        return false;
    }
    return printDialog(job);
}

void KassenbuchController::fail(const QString& title, const QString& message) {
    books_.ui().beep();
    books_.ui().alert(AlertStyle::Critical, title, message, {AlertWords::kOkButton});
}

}  // namespace quandor
