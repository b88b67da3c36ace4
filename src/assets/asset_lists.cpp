#include "assets/asset_lists.h"

#include "assets/allowance_figures.h"
#include "bookkeeping/csv_cell.h"
#include "bookkeeping/statement_pages.h"
#include "bookkeeping/summary_page.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "print/printable_text.h"

#include <cmath>

namespace quandor {

namespace {

using print::pageText;

QString withCompany(const QString& company, const QString& text) {
    if (company.trimmed().isEmpty()) return text;
    return company + QStringLiteral(" · ") + text;
}

QString typed(const QString& text) {
    return csv::cell(text, csv::Field::Typed, csv::Charset::Utf8);
}
QString formatted(const QString& text) {
    return csv::cell(text, csv::Field::Formatted, csv::Charset::Utf8);
}

QString csvLine(const QStringList& cells) {
    QString line;
    for (const QString& c : cells) line += u'"' + c + QStringLiteral("\",");
    return line + u'\n';
}

QString shortened(const QString& text, bool unshortened) {
    return unshortened ? text : shortenedText(text, 29, 28);
}

// Head of both pages, then the list with its columns.
print::Page listPage(const ListPageInput& in, const QString& title, const QString& footer) {
    print::Page page;
    page.prologue = kPagePrologue;
    page.text(
        QStringLiteral("<h2>%1</h2><h3><small>Steuernummer: %2</small></h3><small>Datum: %3</small>"
                       "<br><br><br><br><h3><b>%4</b></h3><br><br></font>"
                       "<font face=\"Lucida Grande\" size=\"4\" class=\"f2\">")
            .arg(pageText(in.company), pageText(in.taxID), pageText(in.today), pageText(title)));
    page.footer = footer;
    page.list.heading = withCompany(in.company, title);
    page.list.border = in.border;
    page.list.fontSize = 7;
    page.list.padding = 2;
    page.list.width = 575;
    return page;
}

}  // namespace

QString listAmountText(float value, bool groupFromThousand, const QLocale& locale) {
    const bool grouped = groupFromThousand ? value >= 1000.0f : value > 1000.0f;
    return grouped ? amountText(value, locale) : plainAmountText(value, locale);
}

QString ageText(const Date& bought, const QDateTime& now) {
    const QDateTime from =
        QDateTime::fromMSecsSinceEpoch(qint64(std::floor(bought.toUnix() * 1000.0))).toLocalTime();
    const QDateTime to = now.toLocalTime();
    long years = to.date().year() - from.date().year();
    // The years part of the calendar difference: not yet a whole year since the last anniversary.
    const auto rest = [](const QDateTime& d) {
        return std::tuple(d.date().month(), d.date().day(), d.time().msecsSinceStartOfDay());
    };
    if (rest(to) < rest(from)) --years;
    return yearsText(years);
}

QString allowancesCsv(const RecordList& records, const QLocale& locale) {
    QString text;
    for (const RecordPtr& r : records) {
        const float tax = r->real(keys::taxAmount);
        text += csvLine({formatted(mediumDateText(r->date(keys::date), locale)),
                         typed(r->text(keys::titel)),
                         formatted(listAmountText(r->real(keys::sumComplete), false, locale)),
                         formatted(tax > 0 ? listAmountText(tax, true, locale) : QString()),
                         formatted(r->text(keys::duePeriod)),
                         formatted(r->text(keys::creationYear)), formatted(r->text(keys::dueYear)),
                         formatted(listAmountText(r->real(keys::sumPerYear), false, locale)),
                         typed(r->text(keys::comment))});
    }
    return text;
}

QString inventoryCsv(const RecordList& records, const QLocale& locale) {
    QString text;
    for (const RecordPtr& r : records)
        text += csvLine({formatted(mediumDateText(r->date(keys::date), locale)),
                         typed(r->text(keys::title)),
                         formatted(listAmountText(r->real(keys::brutto), false, locale)),
                         formatted(listAmountText(r->real(keys::netto), false, locale)),
                         typed(r->text(keys::category)), typed(r->text(keys::comment))});
    return text;
}

QString allowancesFooter(const QString& company) {
    return withCompany(company, QStringLiteral("Abschreibungen und GWGs · Seite "));
}
QString inventoryFooter(const QString& company) {
    return withCompany(company, QStringLiteral("Inventar · Seite "));
}

print::Page allowancesPage(const RecordList& records, const ListPageInput& in) {
    print::Page page =
        listPage(in, QStringLiteral("Abschreibungen und GWGs"), allowancesFooter(in.company));
    // Points; spread over the printable width. The title and comment give
    // way so that a date never breaks.
    const double widths[] = {80, 170, 72, 66, 70, 54, 54, 66, 170};
    const char16_t* heads[] = {u"Datum",  u"Posten", u"Summe",    u"Steuern",  u"Dauer",
                               u"Beginn", u"Ende",   u"pro Jahr", u"Kommentar"};
    for (int c = 0; c < 9; ++c)
        page.list.columns.push_back(
            {QString::fromUtf16(heads[c]), widths[c], Qt::AlignLeft, QString()});
    for (const RecordPtr& r : records) {
        const float tax = r->real(keys::taxAmount);
        std::vector<print::ListCell> row(9);
        row[0].text = mediumDateText(r->date(keys::date), in.locale);
        row[1].text = shortened(r->text(keys::titel), in.unshortened);
        row[2].text = listAmountText(r->real(keys::sumComplete), false, in.locale);
        if (tax > 0) row[3].text = listAmountText(tax, true, in.locale);
        row[4].text = r->text(keys::duePeriod);
        row[5].text = r->text(keys::creationYear);
        row[6].text = r->text(keys::dueYear);
        row[7].text = listAmountText(r->real(keys::sumPerYear), false, in.locale);
        row[8].text = shortened(r->text(keys::comment), in.unshortened);
        for (print::ListCell& cell : row) cell.text = print::singleLine(cell.text);
        page.list.rows.push_back(std::move(row));
    }
    return page;
}

print::Page inventoryPage(const RecordList& records, const ListPageInput& in,
                          const QDateTime& now) {
    print::Page page = listPage(in, QStringLiteral("Inventar"), inventoryFooter(in.company));
    const double widths[] = {86, 196, 72, 72, 112, 196};
    const char16_t* heads[] = {u"Alter", u"Gegenstand", u"Brutto",
                               u"Netto", u"Kategorie",  u"Kommentar"};
    for (int c = 0; c < 6; ++c)
        page.list.columns.push_back(
            {QString::fromUtf16(heads[c]), widths[c], Qt::AlignLeft, QString()});
    for (const RecordPtr& r : records) {
        std::vector<print::ListCell> row(6);
        row[0].text = ageText(r->date(keys::date), now);
        row[1].text = shortened(r->text(keys::title), in.unshortened);
        row[2].text = listAmountText(r->real(keys::brutto), false, in.locale);
        row[3].text = listAmountText(r->real(keys::netto), false, in.locale);
        row[4].text = shortened(r->text(keys::category), in.unshortened);
        row[5].text = shortened(r->text(keys::comment), in.unshortened);
        for (print::ListCell& cell : row) cell.text = print::singleLine(cell.text);
        page.list.rows.push_back(std::move(row));
    }
    return page;
}

}  // namespace quandor
