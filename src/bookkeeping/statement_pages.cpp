#include "bookkeeping/statement_pages.h"

#include "core/keys.h"
#include "core/number_texts.h"
#include "print/printable_text.h"

#include <algorithm>

namespace quandor {

namespace {

using print::pageText;

// "Firma · text", or the text alone without a company name.
QString withCompany(const QString& company, const QString& text) {
    if (company.trimmed().isEmpty()) return text;
    return company + QStringLiteral(" · ") + text;
}

QString br(int n) {
    return QStringLiteral("<br>").repeated(n);
}

class Builder {
  public:
    explicit Builder(const OverviewPage& in) : in_(in) {}

    print::Table table() const {
        print::Table t;
        t.width = 505;
        t.border = in_.border;
        return t;
    }
    QString money(float v) const { return moneyCell(v, in_.currency, in_.locale); }

    // The advance-return block; `shown` tells whether its table is there.
    void returnBlock(print::Page& page, bool* shown) const {
        const Record& s = *in_.statement;
        *shown = s.flag(keys::taxBool);
        if (!*shown) {
            page.text(QStringLiteral("Voranmeldung noch nicht erstellt"));
            return;
        }
        auto cell = [this](float v, bool bold) {
            return print::TableCell{
                paymentAmountText(v, in_.locale) + QLatin1Char(' ') + in_.currency, bold};
        };
        page.text(QStringLiteral("Voranmeldung erstellt am: %1<br>")
                      .arg(pageText(mediumDateText(s.date(keys::date), in_.locale))));
        print::Table t = table();
        t.rows.push_back({{QStringLiteral("Zahlung"), true},
                          {QStringLiteral("Nachzahlung"), true},
                          {QStringLiteral("Erstattung"), true},
                          {QStringLiteral("Saldo"), true}});
        t.rows.push_back({cell(s.real(keys::payment), false),
                          cell(s.real(keys::additionalPayment), false),
                          cell(s.real(keys::rePayment), false), cell(s.real(keys::balance), true)});
        page.table(std::move(t));
    }

    // One row of VAT per rate 1 to 3 under the rates' headers.
    print::Table rateTable(const QString& rowTitle, const std::array<float, 3>& values,
                           bool bold) const {
        print::Table t = table();
        std::vector<print::TableCell> head{{}};
        for (size_t i = 0; i < 3; ++i) {
            const auto& rate = in_.rates[i];
            print::TableCell c(QStringLiteral("Steuersatz %1").arg(i + 1), true);
            c.keepTogether = true;
            if (rate) c.note = QStringLiteral("(%1)").arg(rateText(*rate, in_.locale));
            head.push_back(c);
        }
        t.rows.push_back(std::move(head));
        std::vector<print::TableCell> row{{rowTitle, bold}};
        for (float v : values) row.push_back({money(v), bold});
        t.rows.push_back(std::move(row));
        return t;
    }

    print::Table summaryTable() const {
        const StatementTotals& t = in_.totals;
        // Incomes positive, expenses negative; the tax column holds the VAT
        // received and (negative) the VAT paid.
        const float inNet = t.incomeWith - t.taxFeePay;
        const float exNet = t.expenseWith + t.taxFeeGet;
        const float exTax = -t.taxFeeGet;
        print::Table table = this->table();
        table.rows.push_back({{},
                              {QStringLiteral("ohne Steuern"), true},
                              {QStringLiteral("mit Steuern"), true},
                              {QStringLiteral("Steuerbetrag"), true}});
        auto row = [this](const QString& title, float a, float b, float c, bool bold) {
            return std::vector<print::TableCell>{
                {title, bold}, {money(a), bold}, {money(b), bold}, {money(c), bold}};
        };
        table.rows.push_back(
            row(QStringLiteral("Einnahmen"), inNet, t.incomeWith, t.taxFeePay, false));
        table.rows.push_back(row(QStringLiteral("Ausgaben"), exNet, t.expenseWith, exTax, false));
        table.rows.push_back(row(QStringLiteral("Saldo"), inNet + exNet,
                                 t.incomeWith + t.expenseWith, t.taxFeePay + exTax, true));
        return table;
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

    print::ListTable itemList(bool returnTableShown) const {
        using print::ListCell;
        const Record& s = *in_.statement;
        print::ListTable t;
        t.breaksBefore = (returnTableShown ? 9 : 15) + 4;
        t.heading = withCompany(in_.company,
                                QStringLiteral("Übersicht %1 %2")
                                    .arg(s.text(keys::title), in_.year->text(keys::dateValue)));
        t.border = in_.border;
        // Points; together a little wider than the printable width, over
        // which the list is spread.
        const double widths[] = {26, 36, 152, 62, 72, 97, 44, 30, 46, 8};
        const char16_t* heads[] = {
            u"Nr.",          u"Datum", u"Bezeichnung", u"Nummer", u"Kategorie",
            u"Kostenstelle", u"exkl.", u"Satz",        u"Summe",  u""};
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
            row[1] = {shortDateText(item->date(keys::date), in_.locale),
                      {},
                      false,
                      ListCell::Size::Small};
            row[2].text = item->text(keys::title);
            row[3] = {item->text(keys::number), item->text(keys::misc1), false,
                      ListCell::Size::Normal};
            row[4].text = item->text(keys::group);
            row[5].text = item->text(keys::account);
            if (vat) {
                row[6].text = amountText(item->real(keys::finalAmountWithout), in_.locale);
                row[7] = {rateText(item->real(keys::taxPerecent), in_.locale),
                          {},
                          false,
                          ListCell::Size::Small};
            }
            row[8].text = amountText(item->real(keys::finalAmount), in_.locale);
            row[9] = {item->integer(keys::kind) == 1 ? QStringLiteral("\u21E5")
                                                     : QStringLiteral("\u21E4"),
                      {},
                      false,
                      ListCell::Size::Tiny};
            // Line breaks inside a text print as blanks.
            for (ListCell& cell : row) {
                cell.text = print::singleLine(cell.text);
                cell.below = print::singleLine(cell.below);
            }
            t.rows.push_back(std::move(row));
        }
        return t;
    }

  private:
    const OverviewPage& in_;
};

}  // namespace

const QString kPagePrologue = QStringLiteral(
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
    "<title>Quandor</title>"
    // Cells do not take the type size of their table: the item lists' size is set here.
    "<style type=\"text/css\">table.s7 td { font-size: 7px; } span.k { font-size: 6px; } span.kk { "
    "font-size: 5px; }</style></head><body><font face=\"Lucida Grande\" size=\"2\">");

QString overviewFooter(const QString& company, const QString& statementTitle,
                       const QString& yearName) {
    return withCompany(company,
                       QStringLiteral("Übersicht %1 %2 · Seite ").arg(statementTitle, yearName));
}

print::Page overviewPage(const OverviewPage& in) {
    const Builder b(in);
    const Record& s = *in.statement;
    const Record& y = *in.year;
    print::Page page;
    page.prologue = in.prologue;
    page.footer = overviewFooter(in.company, s.text(keys::title), y.text(keys::dateValue));
    page.text(
        QStringLiteral("<h2>%1</h2><h3><small>Steuernummer: %2</small></h3><small>Datum: %3</small>"
                       "<br><br><h3><b>&Uuml;bersicht %4 %5</b></h3>")
            .arg(pageText(in.company), pageText(in.taxID), pageText(in.today),
                 pageText(s.text(keys::title)), pageText(y.text(keys::dateValue))) +
        br(2) + QStringLiteral("</font><font face=\"Lucida Grande\" size=\"4\">"));

    bool returnTable = false;
    // VAT per rate 1 to 3 of the listed items with VAT.
    std::array<float, 3> income{}, expense{}, saldo{};
    for (size_t i = 0; i < 3; ++i) {
        income[i] = in.totals.incomeTax[i + 1];
        expense[i] = in.totals.expenseTax[i + 1];
        saldo[i] = income[i] - expense[i];
    }
    b.returnBlock(page, &returnTable);
    page.text(br(2));
    page.table(b.rateTable(QStringLiteral("Einnahmen"), income, false));
    page.text(br(2));
    page.table(b.rateTable(QStringLiteral("Ausgaben"), expense, false));
    page.text(br(2));
    page.table(b.rateTable(QStringLiteral("Saldo"), saldo, true));
    page.text(br(2));
    page.table(b.summaryTable());
    // The list stands outside the blocks' font: a relative size there would
    // override the list's own type size.
    page.text(QStringLiteral("</font>"));
    if (in.withList) page.list = b.itemList(returnTable);
    return page;
}

}  // namespace quandor
