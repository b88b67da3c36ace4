#include "bookkeeping/statement_pages.h"

#include "core/keys.h"
#include "core/number_texts.h"
#include "print/printable_text.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace quandor {

namespace {

// A text on the page: what the fonts cannot draw as a visible placeholder,
// escaped for HTML.
QString esc(const QString& text) { return print::printableText(text).toHtmlEscaped(); }

constexpr int kRowsPerTable = 40;

// "Firma · text", or the text alone without a company name.
QString withCompany(const QString& company, const QString& text) {
    if (company.trimmed().isEmpty()) return text;
    return company + QStringLiteral(" · ") + text;
}
// The same as HTML: "Firma &middot; " or nothing.
QString companyPrefix(const QString& company) {
    if (company.trimmed().isEmpty()) return QString();
    return esc(company) + QStringLiteral(" &middot; ");
}

QString br(int n) {
    QString s;
    for (int i = 0; i < n; ++i) s += QStringLiteral("<br>");
    return s;
}

class Page {
  public:
    explicit Page(const OverviewPage& in) : in_(in) {}

    QString money(float v) const {
        return esc(moneyCell(v, in_.currency, in_.locale));
    }
    QString tableOpen(int width) const {
        return QStringLiteral("<table width=%1 cellpadding=2 cellspacing=2 border=%2>")
            .arg(width)
            .arg(in_.border ? 1 : 0);
    }

    // The advance-return block; `shown` tells whether its table is there.
    QString returnBlock(bool* shown) const {
        const Record& s = *in_.statement;
        *shown = s.flag(keys::taxBool);
        if (!*shown) return QStringLiteral("Voranmeldung noch nicht erstellt");
        auto cell = [this](float v) {
            return esc(paymentAmountText(v, in_.locale) + QLatin1Char(' ') + in_.currency);
        };
        QString h = QStringLiteral("Voranmeldung erstellt am: %1<br>")
                        .arg(esc(mediumDateText(s.date(keys::date), in_.locale)));
        h += tableOpen(505);
        h += QStringLiteral(
            "<tr><td><b>Zahlung</b></td><td><b>Nachzahlung</b></td><td><b>Erstattung</b></td>"
            "<td><b>Saldo</b></td></tr>");
        h += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td><b>%4</b></td></tr></table>")
                 .arg(cell(s.real(keys::payment)), cell(s.real(keys::additionalPayment)),
                      cell(s.real(keys::rePayment)), cell(s.real(keys::balance)));
        return h;
    }

    QString rateTable(const QString& rowTitle, const std::array<float, 3>& values,
                      bool bold) const {
        QString h = tableOpen(505) + QStringLiteral("<tr><td></td>");
        for (int i = 0; i < 3; ++i) {
            const auto& rate = in_.rates[size_t(i)];
            h += QStringLiteral("<td><b>Steuersatz&nbsp;%1</b>%2</td>")
                     .arg(i + 1)
                     .arg(rate ? QStringLiteral(" <small>(%1)</small>")
                                     .arg(esc(rateText(*rate, in_.locale)).replace(u' ', u"&nbsp;"_s))
                               : QString());
        }
        h += QStringLiteral("</tr><tr><td>%1</td>").arg(bold ? "<b>" + rowTitle + "</b>" : rowTitle);
        for (float v : values)
            h += bold ? QStringLiteral("<td><b>%1</b></td>").arg(money(v))
                      : QStringLiteral("<td>%1</td>").arg(money(v));
        h += QStringLiteral("</tr></table>");
        return h;
    }

    QString summaryTable() const {
        const StatementTotals& t = in_.totals;
        // Incomes positive, expenses negative; the tax column holds the VAT
        // received and (negative) the VAT paid.
        const float inNet = t.incomeWith - t.taxFeePay;
        const float exNet = t.expenseWith + t.taxFeeGet;
        const float exTax = -t.taxFeeGet;
        QString h = tableOpen(505);
        h += QStringLiteral(
            "<tr><td></td><td><b>ohne Steuern</b></td><td><b>mit Steuern</b></td>"
            "<td><b>Steuerbetrag</b></td></tr>");
        auto row = [this](const QString& title, float a, float b, float c, bool bold) {
            const QString o = bold ? QStringLiteral("<b>") : QString();
            const QString e = bold ? QStringLiteral("</b>") : QString();
            return QStringLiteral("<tr><td>%1%2%3</td><td>%1%4%3</td><td>%1%5%3</td><td>%1%6%3</td></tr>")
                .arg(o, title, e, money(a), money(b), money(c));
        };
        h += row(QStringLiteral("Einnahmen"), inNet, t.incomeWith, t.taxFeePay, false);
        h += row(QStringLiteral("Ausgaben"), exNet, t.expenseWith, exTax, false);
        h += row(QStringLiteral("Saldo"), inNet + exNet, t.incomeWith + t.expenseWith,
                 t.taxFeePay + exTax, true);
        h += QStringLiteral("</table>");
        return h;
    }

    // The listed items in the list's order: newest first, or by receipt number.
    ItemRefs sortedForList() const {
        ItemRefs items = in_.listed;
        if (in_.sortOrder == 0) {
            std::stable_sort(items.begin(), items.end(), [](const Record* a, const Record* b) {
                return a->date(keys::date).sinceReference > b->date(keys::date).sinceReference;
            });
        } else {
            std::stable_sort(items.begin(), items.end(), [](const Record* a, const Record* b) {
                return a->text(keys::misc1) < b->text(keys::misc1);
            });
        }
        return items;
    }

    print::ListTable listTable() const {
        using print::ListCell;
        const Record& s = *in_.statement;
        print::ListTable t;
        t.heading = withCompany(in_.company, QStringLiteral("Übersicht %1 %2")
                                                 .arg(s.text(keys::title), in_.year->text(keys::dateValue)));
        t.border = in_.border;
        const double widths[] = {26, 36, 152, 62, 72, 97, 44, 30, 46, 8};
        const char16_t* heads[] = {u"Nr.", u"Datum", u"Bezeichnung", u"Nummer", u"Kategorie",
                                   u"Kostenstelle", u"exkl.", u"Satz", u"Summe", u""};
        for (int c = 0; c < 10; ++c)
            t.columns.push_back({QString::fromUtf16(heads[c]), widths[c],
                                 c >= 6 ? Qt::AlignRight : Qt::AlignLeft, QString()});
        const ItemRefs items = sortedForList();
        t.rows.reserve(items.size());
        int n = 0;
        for (const Record* item : items) {
            const bool vat = item->flag(keys::taxBool);
            std::vector<ListCell> row(10);
            row[0] = {QString::number(++n), {}, true, ListCell::Size::Small};
            row[1] = {shortDateText(item->date(keys::date), in_.locale), {}, false, ListCell::Size::Small};
            row[2].text = item->text(keys::title);
            row[3] = {item->text(keys::number), item->text(keys::misc1), false, ListCell::Size::Normal};
            row[4].text = item->text(keys::group);
            row[5].text = item->text(keys::account);
            if (vat) {
                row[6].text = amountText(item->real(keys::finalAmountWithout), in_.locale);
                row[7] = {rateText(item->real(keys::taxPerecent), in_.locale), {}, false, ListCell::Size::Small};
            }
            row[8].text = amountText(item->real(keys::finalAmount), in_.locale);
            row[9] = {item->integer(keys::kind) == 1 ? QStringLiteral("\u21E5") : QStringLiteral("\u21E4"), {},
                      false, ListCell::Size::Tiny};
            // Line breaks inside a text print as blanks, as the page's HTML shows them.
            for (ListCell& cell : row) {
                cell.text = print::singleLine(cell.text);
                cell.below = print::singleLine(cell.below);
            }
            t.rows.push_back(std::move(row));
        }
        return t;
    }

    QString itemList(bool returnTableShown) const {
        const Record& s = *in_.statement;
        const Record& y = *in_.year;
        QString h = br(returnTableShown ? 9 : 15) + br(4);
        h += QStringLiteral("<h4>%1&Uuml;bersicht %2 %3</h4>")
                 .arg(companyPrefix(in_.company), esc(s.text(keys::title)), esc(y.text(keys::dateValue)));
        // The column widths add up to the table's 575 points, so the list fits
        // the paper at full size.
        const QString table = QStringLiteral(
                                  "<table class=liste width=575 cellpadding=2 "
                                  "cellspacing=1 border=%1>")
                                  .arg(in_.border ? 1 : 0);
        const QString widths[] = {u"26"_qs, u"36"_qs, u"152"_qs, u"62"_qs, u"72"_qs,
                                  u"97"_qs, u"44"_qs, u"30"_qs, u"46"_qs, u"8"_qs};
        auto cell = [&widths](int column) {
            return QStringLiteral("<td width=%1%2>")
                .arg(widths[column], column >= 6 ? u" align=right"_qs : QString());
        };
        h += table + QStringLiteral("<tr>");
        const char16_t* heads[] = {u"Nr.", u"Datum", u"Bezeichnung", u"Nummer", u"Kategorie",
                                   u"Kostenstelle", u"exkl.", u"Satz", u"Summe", u""};
        for (int c = 0; c < 10; ++c)
            h += cell(c) + (c < 9 ? u"<b>"_qs + QString::fromUtf16(heads[c]) + u"</b>"_qs : QString()) +
                 u"</td>"_qs;
        h += QStringLiteral("</tr>");

        const ItemRefs items = sortedForList();
        int n = 0;
        for (const Record* item : items) {
            const bool vat = item->flag(keys::taxBool);
            // Long lists are laid out as a run of tables of the same columns:
            // one huge table costs the layout time that grows with its square.
            if (n > 0 && n % kRowsPerTable == 0) h += QStringLiteral("</table>") + table;
            h += QStringLiteral("<tr valign=top>%1<span class=k><b>%2</b></span></td>").arg(cell(0)).arg(++n);
            h += QStringLiteral("<td><span class=k>%1</span></td>")
                     .arg(esc(shortDateText(item->date(keys::date), in_.locale)));
            h += QStringLiteral("<td>%1</td>").arg(esc(item->text(keys::title)));
            h += QStringLiteral("<td>%1<br><span class=k>%2</span></td>")
                     .arg(esc(item->text(keys::number)), esc(item->text(keys::misc1)));
            h += QStringLiteral("<td>%1</td><td>%2</td>")
                     .arg(esc(item->text(keys::group)), esc(item->text(keys::account)));
            h += QStringLiteral("<td align=right>%1</td><td align=right><span class=k>%2</span></td>")
                     .arg(vat ? esc(amountText(item->real(keys::finalAmountWithout), in_.locale)) : QString(),
                          vat ? esc(rateText(item->real(keys::taxPerecent), in_.locale)) : QString());
            h += QStringLiteral("<td align=right>%1</td><td align=right><span class=kk>%2</span></td></tr>")
                     .arg(esc(amountText(item->real(keys::finalAmount), in_.locale)),
                          item->integer(keys::kind) == 1 ? QStringLiteral("\u21E5")
                                                          : QStringLiteral("\u21E4"));
        }
        h += QStringLiteral("</table>");
        return h;
    }

  private:
    const OverviewPage& in_;
};

}  // namespace

const QString kPagePrologue = QStringLiteral(
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
    "<title>Quandor</title>"
    // Cells do not take the type size of their table: the item lists' size is set here.
    "<style type=\"text/css\">table.liste td { font-size: 7px; } span.k { font-size: 6px; } "
    "span.kk { font-size: 5px; }</style></head><body><font face=\"Lucida Grande\" size=\"2\">");

QString overviewFooter(const QString& company, const QString& statementTitle,
                       const QString& yearName) {
    return withCompany(company, QStringLiteral("Übersicht %1 %2 · Seite ").arg(statementTitle, yearName));
}

namespace {

QString pageHtml(const OverviewPage& in, bool withListHtml) {
    Page page(in);
    const Record& s = *in.statement;
    const Record& y = *in.year;
    QString h;
    h.reserve(4096 + qsizetype(in.withList ? in.listed.size() * 700 : 0));
    h += in.prologue;
    h += QStringLiteral(
             "<h2>%1</h2><h3><small>Steuernummer: %2</small></h3><small>Datum: %3</small>"
             "<br><br><h3><b>&Uuml;bersicht %4 %5</b></h3>")
             .arg(esc(in.company), esc(in.taxID), esc(in.today), esc(s.text(keys::title)),
                  esc(y.text(keys::dateValue)));
    h += br(2) + QStringLiteral("</font><font face=\"Lucida Grande\" size=\"4\">");

    bool returnTable = false;
    // VAT per rate 1 to 3 of the listed items with VAT.
    std::array<float, 3> income{}, expense{}, saldo{};
    for (size_t i = 0; i < 3; ++i) {
        income[i] = in.totals.incomeTax[i + 1];
        expense[i] = in.totals.expenseTax[i + 1];
        saldo[i] = income[i] - expense[i];
    }
    h += page.returnBlock(&returnTable) + br(2);
    h += page.rateTable(QStringLiteral("Einnahmen"), income, false) + br(2);
    h += page.rateTable(QStringLiteral("Ausgaben"), expense, false) + br(2);
    h += page.rateTable(QStringLiteral("Saldo"), saldo, true) + br(2);
    h += page.summaryTable();
    // The list stands outside the blocks' font: a relative size there would
    // override the list's own type size.
    h += QStringLiteral("</font>");
    if (in.withList && withListHtml) h += page.itemList(returnTable);
    h += QStringLiteral("</body></html>");
    return h;
}

}  // namespace

QString overviewPageHtml(const OverviewPage& page) { return pageHtml(page, true); }
QString overviewHeadHtml(const OverviewPage& page) { return pageHtml(page, false); }

print::ListTable overviewItemList(const OverviewPage& page) {
    if (!page.withList) return {};
    return Page(page).listTable();
}

}  // namespace quandor
