#include "bookkeeping/summary_page.h"

#include "bookkeeping/voranmeldung.h"
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

class Builder {
  public:
    explicit Builder(const SummaryPageInput& in) : in_(in) {}

    print::Table table() const {
        print::Table t;
        t.width = 400;
        t.fontSize = 11;
        t.border = in_.printBorder;
        return t;
    }
    QString money(float v) const { return moneyCell(v, in_.currencyText); }
    QString paymentMoney(float v) const {
        // The payment block groups only from +1000 up, so a refund prints ungrouped.
        return paymentAmountText(v) + u' ' + in_.currencyText;
    }

    void paymentBlock(print::Page& page) const {
        const Record& s = *in_.statement;
        if (!s.flag(keys::taxBool)) {
            page.text(QStringLiteral("Voranmeldung noch nicht erstellt"));
            return;
        }
        page.text(QStringLiteral("Voranmeldung erstellt am: ") +
                  pageText(mediumDateText(s.date(keys::date))) + QStringLiteral("<br><br>"));
        print::Table t = table();
        t.rows.push_back({{QStringLiteral("Zahlung")},
                          {QStringLiteral("Nachzahlung")},
                          {QStringLiteral("Erstattung")},
                          {QStringLiteral("Saldo"), true}});
        t.rows.push_back({{paymentMoney(s.real(keys::payment))},
                          {paymentMoney(s.real(keys::additionalPayment))},
                          {paymentMoney(s.real(keys::rePayment))},
                          {paymentMoney(s.real(keys::balance)), true}});
        page.table(std::move(t));
    }

    print::Table incomeExpenseTable() const {
        const StatementTotals& t = in_.totals;
        const float in = t.incomeWith, ex = t.expenseWith;
        const float inNet = in - t.taxFeePay;
        const float exNet = ex + t.taxFeeGet;
        print::Table table = this->table();
        table.rows.push_back({{},
                              {QStringLiteral("Ausgaben")},
                              {QStringLiteral("Einnahmen")},
                              {QStringLiteral("Saldo"), true}});
        table.rows.push_back(
            {{QStringLiteral("mit Steuern:")}, {money(ex)}, {money(in)}, {money(in + ex), true}});
        table.rows.push_back({{QStringLiteral("ohne Steuern:")},
                              {money(exNet)},
                              {money(inNet)},
                              {money(inNet + exNet), true}});
        return table;
    }

    // Each figure with the Kennzahl of the official form beside it; the tax
    // on the third rate (Kz 36) stands beside its revenue (Kz 35).
    print::Table revenueTable() const {
        const StatementTotals& t = in_.totals;
        auto rate = [](const std::optional<float>& r) { return r ? rateText(*r) : QString(); };
        print::Table table = this->table();
        auto kz = [](const char16_t* nr) {
            return print::TableCell(kennzahlLabel(QStringView(nr)));
        };
        auto row = [&table, &kz, this](const QString& label, float v, const char16_t* nr) {
            table.rows.push_back({{label, false, Qt::AlignRight}, {money(v)}, kz(nr), {}, {}});
        };
        auto taxable = [&](const std::optional<float>& r) {
            return QStringLiteral("Steuerpflichtige Umsätze (%1):").arg(rate(r));
        };
        row(QStringLiteral("Steuerfreie Umsätze:"), t.incomeNet[4], u"48");
        row(taxable(in_.rate1), t.incomeNet[1], u"81");
        row(taxable(in_.rate2), t.incomeNet[2], u"86");
        table.rows.push_back({{taxable(in_.rate3), false, Qt::AlignRight},
                              {money(t.incomeNet[3])},
                              kz(u"35"),
                              {QStringLiteral("Steuer: ") + money(t.tax3Amount)},
                              kz(u"36")});
        row(QStringLiteral("Nicht steuerbare Umsätze:"), t.incomeNet[5], u"45");
        table.rows.push_back({{QStringLiteral("Abziehbare Vorsteuer:"), false, Qt::AlignRight},
                              {money(t.abziehbareBetraegeSteuer)},
                              kz(u"66"),
                              {},
                              {}});
        table.rows.push_back({{QStringLiteral("Saldo (Vorauszahlung):"), true, Qt::AlignRight},
                              {money(t.saldo), true},
                              kz(u"83"),
                              {},
                              {}});
        table.width = 560;
        return table;
    }

    print::ListTable itemList() const {
        using print::ListCell;
        print::ListTable t;
        t.breaksBefore = in_.statement->flag(keys::taxBool) ? 17 : 22;
        t.heading =
            withCompany(in_.company, QStringLiteral("Übersicht aller Posten · ") +
                                         in_.statement->text(keys::title) + u' ' + in_.yearName);
        t.border = in_.printBorder;
        // Points; spread over the printable width.
        const double widths[] = {24, 38, 170, 74, 120, 48, 30, 48, 10};
        // Two titles stacked where the cells hold two texts.
        const char16_t* heads[] = {u"Nr.",     u"Datum", u"Bezeichnung", u"Nummer", u"Konto",
                                   u"(netto)", u"Satz",  u"Summe",       u""};
        const char16_t* belows[] = {u"", u"", u"Kategorie", u"Beleg", u"", u"", u"", u"", u""};
        for (int c = 0; c < 9; ++c)
            t.columns.push_back({QString::fromUtf16(heads[c]), widths[c],
                                 c >= 5 ? Qt::AlignRight : Qt::AlignLeft,
                                 QString::fromUtf16(belows[c])});
        const std::vector<const Record*> items = sortedItems();
        t.rows.reserve(items.size());
        int n = 0;
        for (const Record* item : items) {
            const bool vat = item->flag(keys::taxBool);
            // Line breaks inside a text print as blanks.
            QString title = print::singleLine(item->text(keys::title));
            QString group = print::singleLine(item->text(keys::group));
            QString account = print::singleLine(item->text(keys::account));
            if (!in_.unshortened) {
                title = shortenedText(title, 29, 28);
                group = shortenedText(group, 32, 31);
                account = shortenedText(account, 32, 31);
            }
            std::vector<ListCell> row(9);
            row[0] = {QString::number(++n), {}, true, ListCell::Size::Normal};
            row[1] = {shortDateText(item->date(keys::date)), {}, false, ListCell::Size::Normal};
            row[2] = {title, group, false, ListCell::Size::Normal};
            row[3] = {print::singleLine(item->text(keys::number)),
                      print::singleLine(item->text(keys::misc1)), false, ListCell::Size::Normal};
            row[4] = {print::singleLine(item->text(keys::accountNumber)), account, false,
                      ListCell::Size::Normal};
            if (vat) {
                row[5] = {amountText(item->real(keys::finalAmountWithout)),
                          {},
                          false,
                          ListCell::Size::Normal};
                row[6] = {rateText(item->real(keys::taxPerecent)), {}, false, ListCell::Size::Tiny};
            }
            row[7] = {amountText(item->real(keys::finalAmount)), {}, false, ListCell::Size::Normal};
            row[8] = {item->integer(keys::kind) == 1 ? QStringLiteral("\u21E5")
                                                     : QStringLiteral("\u21E4"),
                      {},
                      false,
                      ListCell::Size::Tiny};
            t.rows.push_back(std::move(row));
        }
        return t;
    }

  private:
    // The listed items by "date", oldest first.
    std::vector<const Record*> sortedItems() const {
        std::vector<const Record*> items;
        items.reserve(in_.listed.size());
        for (const Record* r : in_.listed)
            if (r) items.push_back(r);
        std::stable_sort(items.begin(), items.end(), [](const Record* a, const Record* b) {
            return a->date(keys::date).sinceReference < b->date(keys::date).sinceReference;
        });
        return items;
    }

    const SummaryPageInput& in_;
};

}  // namespace

QString SummaryPageInput::defaultPrologue() {
    return QStringLiteral(
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
        "<title>Abrechnung</title>"
        // Table cells do not take the type size of their table: set it for them.
        "<style type=\"text/css\">table.s11 td { font-size: 11px; } table.s7 td { font-size: 7px; "
        "} span.k { font-size: 6px; } span.kk { font-size: 5px; }"
        "</style>"
        "</head><body><font face=\"Lucida Grande\" size=\"2\">");
}

QString shortenedText(const QString& text, qsizetype limit, qsizetype keep) {
    if (text.size() <= limit) return text;
    // never half of a character written as a surrogate pair
    if (keep > 0 && keep < text.size() && text.at(keep - 1).isHighSurrogate()) --keep;
    return text.left(keep) + QStringLiteral(" …");
}

SummaryPage buildSummaryPage(const SummaryPageInput& in) {
    SummaryPage page;
    // A page without a statement still builds, with empty texts.
    const RecordPtr placeholder =
        in.statement ? nullptr : Record::create(RecordClass::Thelist, Date{});
    SummaryPageInput withStatement;
    const SummaryPageInput* input = &in;
    if (placeholder) {
        withStatement = in;
        withStatement.statement = placeholder.get();
        input = &withStatement;
    }
    const Builder b(*input);
    const QString title = input->statement->text(keys::title);
    page.footer = withCompany(input->company, QStringLiteral("Abrechnung ") + title + u' ' +
                                                  input->yearName + QStringLiteral(" · Seite "));
    page.prologue = input->prologue;
    page.text(QStringLiteral("<h2>") + pageText(input->company) +
              QStringLiteral("</h2><h3><small>Steuernummer: ") + pageText(input->taxId) +
              QStringLiteral("</small></h3><small>Datum: ") +
              pageText(mediumDateText(
                  Date::fromUnix(static_cast<double>(input->today.toSecsSinceEpoch())))) +
              QStringLiteral("</small><br><br><br><br><h3><b>Abrechnung ") + pageText(title) +
              u' ' + pageText(input->yearName) +
              QStringLiteral("</b></h3><br><br><br></font><font face=\"Lucida Grande\" size=\"4\" "
                             "class=\"f2\"><br><br>"));
    b.paymentBlock(page);
    page.text(QStringLiteral("<br><br>"));
    page.table(b.incomeExpenseTable());
    page.text(QStringLiteral("<br><br>"));
    page.table(b.revenueTable());
    page.text(QStringLiteral("<br><small>") + kennzahlenHintHtml(kKennzahlenHint) +
              QStringLiteral("</small>"));
    // The list stands outside the blocks' font, whose relative size would
    // override the list's small type.
    page.text(QStringLiteral("</font>"));
    if (input->withList) page.list = b.itemList();
    page.html = print::pageHtml(page);
    return page;
}

}  // namespace quandor
