#include "assets/list_export.h"

#include "assets/asset_lists.h"
#include "bookkeeping/csv_cell.h"
#include "core/number_texts.h"
#include "core/paths.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "core/text_cleaning.h"

namespace quandor {

ListPageInput listPageInput(const Books& books) {
    const Settings& s = books.settings();
    ListPageInput in;
    in.company = s.getText(prefs::prefsCompany);
    in.taxID = s.getText(prefs::prefsTaxID);
    in.today = mediumDateText(books.nowStamp());
    in.border = s.getBool(prefs::prefsPrintBorder);
    in.unshortened = s.getBool(prefs::prefsPrintUnshortened);
    return in;
}

namespace {

void printFailed(Books& books, bool inventory, const QString& reason) {
    books.ui().beep();
    books.ui().alert(
        AlertStyle::Critical, QStringLiteral("Mist!"),
        inventory ? QStringLiteral("Fehler beim Erstellen der Inventarliste. %1").arg(reason)
                  : QStringLiteral("Fehler beim Erstellen der Abschreibungen. %1").arg(reason),
        {QStringLiteral("OK")});
}

}  // namespace

bool printList(Books& books, bool inventory, const print::PrintDialog& dialog) {
    if (!dialog) {
        books.ui().beep();
        return false;
    }
    const Database& db = books.database();
    const ListPageInput in = listPageInput(books);
    const print::Page page = inventory ? inventoryPage(db.inventorys, in, books.now())
                                       : allowancesPage(db.allowances, in);
    books.settings().setText(prefs::printFooter, page.footer);
    const QString name = inventory ? QStringLiteral("Inventory") : QStringLiteral("Allowance");
    const QString folder = books.paths().dataFolder;
    print::PrintJob job(page, Paths::join(folder, name + QStringLiteral(".html")),
                        Paths::join(folder, name + QStringLiteral(".pdf")));
    QString reason;
    if (!job.writeHtml(&reason)) {
        printFailed(books, inventory, reason);
        return false;
    }
    return dialog(job);
}

ExportResult writeList(Books& books, ListFormat format, bool inventory, const QString& path) {
    const Database& db = books.database();
    const RecordList& records = inventory ? db.inventorys : db.allowances;
    QByteArray bytes;
    if (format == ListFormat::Csv) {
        const QString text =
            inventory ? inventoryCsv(records, QLocale()) : allowancesCsv(records, QLocale());
        bytes = csv::encode(zapGremlinsInString(text), csv::Charset::Utf8);
    } else {
        const ListPageInput in = listPageInput(books);
        const print::Page page =
            inventory ? inventoryPage(records, in, books.now()) : allowancesPage(records, in);
        books.settings().setText(prefs::printFooter, page.footer);
        QString error;
        bytes = print::pdfBytes(page, &error);
        if (bytes.isEmpty()) {
            printFailed(books, inventory, error);
            return ExportResult::Failed;
        }
    }
    return writeExportFile(books.ui(), path, bytes) ? ExportResult::Written : ExportResult::Failed;
}

ExportResult exportList(Books& books, ListFormat format, bool inventory,
                        const QString& proposedName) {
    const bool csvFile = format == ListFormat::Csv;
    const std::optional<QString> path = books.ui().saveDialog(
        csvFile ? QStringLiteral("CSV Datei Exportieren") : QStringLiteral("PDF Datei Exportieren"),
        csvFile ? QStringLiteral("csv") : QStringLiteral("pdf"), proposedName);
    if (!path || path->isEmpty()) return ExportResult::Cancelled;
    return writeList(books, format, inventory, *path);
}

}  // namespace quandor
