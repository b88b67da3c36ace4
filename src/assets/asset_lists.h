#pragma once
// The depreciation list and the inventory list as CSV and as printed pages.
// Everything a page shows is passed in (texts, settings, the clock), so the
// window, the command line and the tests render the same bytes.

#include "core/record.h"
#include "print/page.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace quandor {

struct ListPageInput {
    QString company;           // "prefsCompany"
    QString taxID;             // "prefsTaxID"
    QString today;             // page date, medium style
    bool border = false;       // "prefsPrintBorder"
    bool unshortened = false;  // "prefsPrintUnshortened"
    QLocale locale;
};

// The money texts of the lists: grouped above 1000 (the depreciation's VAT from 1000 on).
QString listAmountText(float value, bool groupFromThousand, const QLocale& locale);

// An object's age in whole years between its purchase and `now`: "1 Jahr" up to one year, else "%ld
// Jahre".
QString ageText(const Date& bought, const QDateTime& now);

// One line per record, UTF-8 text before cleaning; no header line.
QString allowancesCsv(const RecordList& records, const QLocale& locale);
QString inventoryCsv(const RecordList& records, const QLocale& locale);

// "Firma · Abschreibungen und GWGs · Seite ", "Firma · Inventar · Seite "
QString allowancesFooter(const QString& company);
QString inventoryFooter(const QString& company);

print::Page allowancesPage(const RecordList& records, const ListPageInput& in);
print::Page inventoryPage(const RecordList& records, const ListPageInput& in, const QDateTime& now);

}  // namespace quandor
