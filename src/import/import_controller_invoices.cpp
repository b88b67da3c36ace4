// The invoice imports of the item list: a Fennick invoice document with its
// preview sheet, and a GrandTotal invoice list with its import sheet.
#include "import/import_controller.h"

#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "import/invoice_import.h"
#include "import/invoice_pdf.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace quandor {

namespace {

// The payment-date choice of a Fennick invoice is refused and reset after this long.
constexpr int kResetDelayMs = 300;
// A Fennick invoice counts as paid in this state.
constexpr int64_t kPaidStatus = 3;

QString dateWord(int tag) {
    switch (tag) {
        case 1:
            return QStringLiteral("Fälligkeitsdatum");
        case 2:
            return QStringLiteral("Zahlungsdatum");
        default:
            return QStringLiteral("Versanddatum");
    }
}

}  // namespace

void ItemImportController::tell(const QString& message) {
    books_.ui().beep();
    books_.ui().alert(AlertStyle::Critical, kErrorTitle, message, {QStringLiteral("OK")});
}

// ---- Fennick --------------------------------------------------------------------------------

void ItemImportController::openFennickImportSheetAction() {
    if (!books_.selection().selectedStatement()) {
        refuse(kNoStatement);
        return;
    }
    const std::optional<QString> path =
        books_.ui().openDialog(QStringLiteral("Aus Fennick importieren"), fennickTypes());
    if (!path) return;
    openFennickImportSheet(*path);
}

bool ItemImportController::openFennickImportSheet(const QString& path) {
    if (!beginImport()) return false;
    Settings& settings = books_.settings();
    importArray_.clear();
    settings.setInt(prefs::selectedFennickImportDateTag, 0);
    settings.setPath(prefs::importFilePath, path);
    if (!importItemsFromDictionary()) return false;
    setButtonEnabled(!importArray_.empty());
    openSheet(Sheet::Fennick);
    return true;
}

bool ItemImportController::importItemsFromDictionary() {
    const Settings& settings = books_.settings();
    const FennickRead read = readFennickFile(settings.getPath(prefs::importFilePath));
    if (!read.ok) {
        refuse(kInvoiceNothingToImport + QStringLiteral("\n\n") + read.error, Outcome::FileError);
        return false;
    }
    fennick_ = read.invoice;
    fennickSummary_ = ImportSummary{};
    fennickCreated_ = nowStamp();
    std::optional<QString> account, category;
    if (settings.contains(prefs::selectedFennickImportAccountValue))
        account = settings.getText(prefs::selectedFennickImportAccountValue);
    if (settings.contains(prefs::selectedFennickImportCategoryValue))
        category = settings.getText(prefs::selectedFennickImportCategoryValue);
    importArray_ =
        fennickPreview(fennick_, rates(), fennickCreated_, account, category, &fennickSummary_);
    if (importArray_.empty()) {
        QString message = kInvoiceNothingToImport;
        if (!fennickSummary_.skipped.isEmpty())
            message += QStringLiteral("\n\n") + fennickSummary_.skipped.join(u'\n');
        refuse(message);
        return false;
    }
    return true;
}

int ItemImportController::fennickDateTag() const {
    return static_cast<int>(books_.settings().getInt(prefs::selectedFennickImportDateTag));
}

bool ItemImportController::applyFennickDateAll(int tag) {
    if (sheet_ != Sheet::Fennick) return false;
    books_.settings().setInt(prefs::selectedFennickImportDateTag, tag);
    std::optional<Date> date;
    switch (tag) {
        case 1:
            date = fennick_.due;
            break;
        case 2:
            if (fennick_.status != kPaidStatus) {
                tell(kNotPaid);
                std::weak_ptr<bool> alive = alive_;
                books_.ui().schedule(kResetDelayMs, [this, alive] {
                    if (!alive.expired() && *alive.lock()) delayedZeroTag();
                });
                return false;  // the dates stay as they are
            }
            date = fennick_.paid;
            break;
        case 3:
            date = fennick_.sent;
            break;
        default:
            break;
    }
    // Without an invoice date the items keep the day of the import: an item
    // without a date would show and count as 1 January 2001.
    for (const RecordPtr& item : importArray_)
        item->set(keys::date, date.value_or(fennickCreated_));
    if (sheetChanged) sheetChanged();
    return true;
}

void ItemImportController::delayedZeroTag() {
    books_.settings().setInt(prefs::selectedFennickImportDateTag, 0);
    if (sheetChanged) sheetChanged();
}

void ItemImportController::applyFennickAccountAll(const QString& accountTitle) {
    books_.settings().setText(prefs::selectedFennickImportAccountValue, accountTitle);
    for (const RecordPtr& item : importArray_) item->set(keys::account, accountTitle);
}

void ItemImportController::applyFennickCategoryAll(const QString& category) {
    books_.settings().setText(prefs::selectedFennickImportCategoryValue, category);
    for (const RecordPtr& item : importArray_) item->set(keys::group, category);
}

void ItemImportController::setButtonEnabled(bool enabled) {
    books_.settings().setBool(prefs::isImportButtonEnabled, enabled);
}

bool ItemImportController::importButtonEnabled() const {
    return books_.settings().getBool(prefs::isImportButtonEnabled);
}

ItemImportController::Result ItemImportController::doTheFennickImport() {
    if (sheet_ != Sheet::Fennick || !target_) return Result{Outcome::Refused, 0};
    // Account numbers from the account list, by title (the first match).
    const RecordList& accounts = books_.database().accounts;
    if (!accounts.empty()) {
        for (const RecordPtr& item : importArray_) {
            const QString title = item->text(keys::account);
            for (const RecordPtr& account : accounts) {
                if (account->text(keys::title) != title) continue;
                item->set(keys::account, account->text(keys::title));
                item->set(keys::accountNumber, account->text(keys::number));
                break;
            }
        }
    }
    const TaxRates configured = rates();
    for (const RecordPtr& item : importArray_) calculateFennickItem(*item, configured);

    ImportSummary summary = fennickSummary_;
    const int tag = fennickDateTag();
    if ((tag == 1 && !fennick_.due) || (tag == 3 && !fennick_.sent))
        summary.notes << QStringLiteral(
                             "Die Rechnung hat kein %1; die Posten bekommen das Datum des Imports.")
                             .arg(dateWord(tag));
    if (!confirm(summary)) return Result{Outcome::Cancelled, 0};  // back to the sheet
    return appendAll(importArray_);
}

void ItemImportController::cancelFennickSheet() {
    endImport(false);
}

// ---- GrandTotal -----------------------------------------------------------------------------

void ItemImportController::importFile() {
    if (!books_.selection().selectedStatement()) {
        refuse(kNoStatement);
        return;
    }
    const std::optional<QString> path =
        books_.ui().openDialog(QStringLiteral("Aus GrandTotal importieren"), grandTotalTypes());
    if (!path) return;
    importFileFrom(*path);
}

bool ItemImportController::importFileFrom(const QString& path) {
    if (!beginImport()) return false;
    books_.settings().setPath(prefs::importFilePath, path);
    const GrandTotalRead read = readGrandTotalFile(path);
    if (!read.ok) {
        refuse(kInvoiceNothingToImport + QStringLiteral("\n\n") + read.error, Outcome::FileError);
        return false;
    }
    if (read.invoices.empty()) {
        refuse(kInvoiceNothingToImport);
        return false;
    }
    invoices_ = read.invoices;
    invoiceFolder_ = QFileInfo(path).absolutePath();
    openSheet(Sheet::GrandTotal);
    return true;
}

void ItemImportController::setImportKind(int kind) {
    books_.settings().setInt(prefs::selectedImportKindTag, kind);
}
void ItemImportController::setImportTax(bool on) {
    books_.settings().setBool(prefs::importTaxBool, on);
}
void ItemImportController::setImportRateTag(int tag) {
    books_.settings().setInt(prefs::selectedTagImportTax, tag);
}
void ItemImportController::setImportDateTag(int tag) {
    books_.settings().setInt(prefs::selectedImportDateTag, tag);
}
void ItemImportController::setImportAccount(const QString& accountTitle) {
    grandTotalAccount_ = accountTitle;
}
void ItemImportController::setImportCategory(const QString& category) {
    grandTotalCategory_ = category;
}

QString ItemImportController::pdfSource(const QString& path) const {
    if (path.isEmpty()) return path;
    if (path.startsWith(QLatin1String("file:"))) return QUrl(path).toLocalFile();
    if (QDir::isRelativePath(path) && !path.startsWith(u'~'))
        return QDir(invoiceFolder_).filePath(path);
    return books_.paths().expandTilde(path);
}

ItemImportController::Result ItemImportController::doTheImport() {
    if (sheet_ != Sheet::GrandTotal || !target_) return Result{Outcome::Refused, 0};
    const Settings& settings = books_.settings();
    GrandTotalChoices choices;
    choices.kind = settings.getInt(prefs::selectedImportKindTag);
    choices.tax = settings.getBool(prefs::importTaxBool);
    choices.rateTag = settings.getInt(prefs::selectedTagImportTax);
    choices.dateTag = static_cast<int>(settings.getInt(prefs::selectedImportDateTag));
    choices.category = grandTotalCategory_;
    if (choices.kind != kKindExpense && choices.kind != kKindIncome) {
        tell(kNoKind);
        return Result{Outcome::Refused, 0};
    }
    if (choices.tax && (choices.rateTag < 1 || choices.rateTag > 3)) {
        tell(kNoRate);
        return Result{Outcome::Refused, 0};
    }
    for (const RecordPtr& account : books_.database().accounts) {
        if (account->text(keys::title) == grandTotalAccount_) {
            choices.account = account;
            break;
        }
    }

    ImportSummary summary;
    std::vector<QString> pdfs;
    const RecordList items =
        grandTotalItems(invoices_, choices, rates(), nowStamp(), &summary, &pdfs);
    if (items.empty()) {
        QString message = kInvoiceNothingToImport;
        if (!summary.skipped.isEmpty())
            message += QStringLiteral("\n\n") + summary.skipped.join(u'\n');
        return refuse(message);
    }

    // Each invoice's PDF is attached where the list names it (a path relative
    // to the list is made absolute): only a readable PDF, the others are named.
    QStringList unattached;
    for (size_t i = 0; i < pdfs.size(); ++i) {
        if (pdfs[i].isEmpty()) continue;
        const QString path = pdfSource(pdfs[i]);
        if (const QString problem = pdfProblem(path); !problem.isEmpty()) {
            unattached << QStringLiteral("%1: %2").arg(items[i]->text(keys::number), problem);
            continue;
        }
        items[i]->set(keys::filePath, path);
        items[i]->set(keys::fileTitle, QStringLiteral("GT Rechnung"));
        items[i]->set(keys::fileBool, true);
    }
    if (!unattached.isEmpty())
        summary.notes << QStringLiteral("Ohne Beleg: ") +
                             unattached.mid(0, ImportSummary::kReasonsShown).join(u'\n');
    if (!confirm(summary)) return Result{Outcome::Cancelled, 0};  // back to the sheet
    return appendAll(items);
}

void ItemImportController::cancelSheet() {
    endImport(false);
}

}  // namespace quandor
