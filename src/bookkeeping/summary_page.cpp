#include "bookkeeping/summary_page.h"

#include "core/keys.h"
#include "core/number_texts.h"
#include "print/printable_text.h"

#include <algorithm>

namespace quandor {

namespace {

// A text on the page: what the fonts cannot draw as a visible placeholder,
// escaped for HTML.
QString esc(const QString& s) { return print::printableText(s).toHtmlEscaped(); }

// "Firma · text", or the text alone without a company name.
QString withCompany(const QString& company, const QString& text) {
    if (company.trimmed().isEmpty()) return text;
    return company + QStringLiteral(" · ") + text;
}

QString cell(const QString& content, const QString& attributes = {}) {
    return QStringLiteral("<td%1>%2</td>")
        .arg(attributes.isEmpty() ? QString() : u' ' + attributes, content);
}
QString bold(const QString& s) { return QStringLiteral("<b>") + s + QStringLiteral("</b>"); }

QString tableOpen(int width, int fontPx, int spacing, bool border) {
    return QStringLiteral(
               "<table class=\"s%4\" width=\"%1\" border=\"%2\" cellpadding=\"2\" "
               "cellspacing=\"%3\" style=\"font-size: %4px\">")
        .arg(width)
        .arg(border ? 1 : 0)
        .arg(spacing)
        .arg(fontPx);
}

class Page {
  public:
    explicit Page(const SummaryPageInput& in) : in_(in) {}

    QString money(float v) const { return moneyCell(v, in_.currencyText); }
    QString paymentMoney(float v) const {
        // The payment block groups only from +1000 up, so a refund prints ungrouped.
        return paymentAmountText(v) + u' ' + in_.currencyText;
    }

    QString paymentBlock() const {
        const Record& s = *in_.statement;
        if (!s.flag(keys::taxBool)) return QStringLiteral("Voranmeldung noch nicht erstellt");
        QString h = QStringLiteral("Voranmeldung erstellt am: ") +
                    mediumDateText(s.date(keys::date)) + QStringLiteral("<br><br>");
        h += tableOpen(400, 11, 2, in_.printBorder);
        h += QStringLiteral("<tr>") + cell(QStringLiteral("Zahlung")) +
             cell(QStringLiteral("Nachzahlung")) + cell(QStringLiteral("Erstattung")) +
             cell(bold(QStringLiteral("Saldo"))) + QStringLiteral("</tr><tr>");
        h += cell(paymentMoney(s.real(keys::payment))) +
             cell(paymentMoney(s.real(keys::additionalPayment))) +
             cell(paymentMoney(s.real(keys::rePayment))) +
             cell(bold(paymentMoney(s.real(keys::balance))));
        h += QStringLiteral("</tr></table>");
        return h;
    }

    QString incomeExpenseTable() const {
        const StatementTotals& t = in_.totals;
        const float in = t.incomeWith, ex = t.expenseWith;
        const float inNet = in - t.taxFeePay;
        const float exNet = ex + t.taxFeeGet;
        QString h = tableOpen(400, 11, 2, in_.printBorder);
        h += QStringLiteral("<tr>") + cell(QString()) + cell(QStringLiteral("Ausgaben")) +
             cell(QStringLiteral("Einnahmen")) + cell(bold(QStringLiteral("Saldo"))) +
             QStringLiteral("</tr>");
        h += QStringLiteral("<tr>") + cell(QStringLiteral("mit Steuern:")) + cell(money(ex)) +
             cell(money(in)) + cell(bold(money(in + ex))) + QStringLiteral("</tr>");
        h += QStringLiteral("<tr>") + cell(QStringLiteral("ohne Steuern:")) + cell(money(exNet)) +
             cell(money(inNet)) + cell(bold(money(inNet + exNet))) + QStringLiteral("</tr>");
        h += QStringLiteral("</table>");
        return h;
    }

    QString revenueTable() const {
        const StatementTotals& t = in_.totals;
        auto rate = [](const std::optional<float>& r) {
            return r ? rateText(*r) : QString();
        };
        auto row = [this](const QString& label, float v) {
            return QStringLiteral("<tr>") + cell(label, QStringLiteral("align=\"right\"")) +
                   cell(money(v)) + QStringLiteral("</tr>");
        };
        auto taxable = [&](const std::optional<float>& r) {
            return QStringLiteral("Steuerpflichtige Umsätze (%1):").arg(rate(r));
        };
        QString h = tableOpen(400, 11, 2, in_.printBorder);
        h += row(QStringLiteral("Steuerfreie Umsätze:"), t.incomeNet[4]);
        h += row(taxable(in_.rate1), t.incomeNet[1]);
        h += row(taxable(in_.rate2), t.incomeNet[2]);
        h += row(taxable(in_.rate3), t.incomeNet[3]);
        h += row(QStringLiteral("Nicht steuerbare Umsätze:"), t.incomeNet[5]);
        h += QStringLiteral("</table>");
        return h;
    }

    QString itemList() const {
        const bool paymentTable = in_.statement->flag(keys::taxBool);
        QString h = QStringLiteral("<br>").repeated(paymentTable ? 17 : 22);
        h += QStringLiteral("<h4>");
        if (!in_.company.trimmed().isEmpty()) h += esc(in_.company) + QStringLiteral(" &middot; ");
        h += QStringLiteral("&Uuml;bersicht aller Posten &middot; ") +
             esc(in_.statement->text(keys::title)) + u' ' + esc(in_.yearName) +
             QStringLiteral("</h4>");
        h += tableOpen(575, 7, 1, in_.printBorder);
        h += QStringLiteral("<tr>") + cell(QStringLiteral("Nr.")) + cell(QStringLiteral("Datum")) +
             cell(QStringLiteral("Bezeichnung<br>Kategorie")) +
             cell(QStringLiteral("Nummer<br>Beleg")) + cell(QStringLiteral("Konto")) +
             cell(QStringLiteral("(netto)")) + cell(QStringLiteral("Satz")) +
             cell(QStringLiteral("Summe")) + cell(QString()) + QStringLiteral("</tr>");

        // The rows are those the print pipeline paints; here they become HTML
        // with the small and very small type of the prologue's style.
        using ListCellSize = print::ListCell::Size;
        auto span = [](const ListCellSize size, const QString& s) {
            if (size == ListCellSize::Normal) return s;
            return QStringLiteral("<span class=\"") + (size == ListCellSize::Small ? QStringLiteral("k") : QStringLiteral("kk")) +
                   QStringLiteral("\">") + s + QStringLiteral("</span>");
        };
        const print::ListTable table = listTable();
        for (const std::vector<print::ListCell>& row : table.rows) {
            h += QStringLiteral("<tr>");
            for (size_t i = 0; i < row.size(); ++i) {
                const print::ListCell& c = row[i];
                QString text = span(c.size, esc(c.text));
                if (c.bold) text = bold(text);
                // Title, number and account carry a second line, also when it is empty.
                if (i >= 2 && i <= 4) text += QStringLiteral("<br>") + span(ListCellSize::Small, esc(c.below));
                h += cell(text);
            }
            h += QStringLiteral("</tr>");
        }
        h += QStringLiteral("</table>");
        return h;
    }

    // The same list as rows for the print pipeline.
    print::ListTable listTable() const {
        using print::ListCell;
        print::ListTable t;
        t.heading = withCompany(in_.company, QStringLiteral("Übersicht aller Posten · ") +
                                                 in_.statement->text(keys::title) + u' ' + in_.yearName);
        t.border = in_.printBorder;
        const double widths[] = {24, 38, 170, 74, 120, 48, 30, 48, 10};
        // Two titles stacked where the cells hold two texts, as on the page's HTML.
        const char16_t* heads[] = {u"Nr.", u"Datum", u"Bezeichnung", u"Nummer", u"Konto",
                                   u"(netto)", u"Satz", u"Summe", u""};
        const char16_t* belows[] = {u"", u"", u"Kategorie", u"Beleg", u"", u"", u"", u"", u""};
        for (int c = 0; c < 9; ++c)
            t.columns.push_back({QString::fromUtf16(heads[c]), widths[c],
                                 c >= 5 ? Qt::AlignRight : Qt::AlignLeft, QString::fromUtf16(belows[c])});
        const std::vector<const Record*> items = sortedItems();
        t.rows.reserve(items.size());
        int n = 0;
        for (const Record* item : items) {
            const bool vat = item->flag(keys::taxBool);
            // Line breaks inside a text print as blanks, as the page's HTML shows them.
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
            row[3] = {print::singleLine(item->text(keys::number)), print::singleLine(item->text(keys::misc1)),
                      false, ListCell::Size::Normal};
            row[4] = {print::singleLine(item->text(keys::accountNumber)), account, false,
                      ListCell::Size::Normal};
            if (vat) {
                row[5] = {amountText(item->real(keys::finalAmountWithout)), {}, false, ListCell::Size::Normal};
                row[6] = {rateText(item->real(keys::taxPerecent)), {}, false, ListCell::Size::Tiny};
            }
            row[7] = {amountText(item->real(keys::finalAmount)), {}, false, ListCell::Size::Normal};
            row[8] = {item->integer(keys::kind) == 1 ? QStringLiteral("\u21E5") : QStringLiteral("\u21E4"),
                      {}, false, ListCell::Size::Tiny};
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
        "<style type=\"text/css\">table.s11 td { font-size: 11px; } "
        "table.s7 td { font-size: 7px; } span.k { font-size: 6px; } span.kk { font-size: 5px; }"
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
    const RecordPtr placeholder = in.statement ? nullptr : Record::create(RecordClass::Thelist, Date{});
    SummaryPageInput withStatement;
    const SummaryPageInput* input = &in;
    if (placeholder) {
        withStatement = in;
        withStatement.statement = placeholder.get();
        input = &withStatement;
    }
    const Page p(*input);
    const QString title = input->statement->text(keys::title);
    page.footer = withCompany(input->company, QStringLiteral("Abrechnung ") + title + u' ' +
                                                  input->yearName + QStringLiteral(" · Seite "));
    page.html = input->prologue + QStringLiteral("<h2>") + esc(input->company) +
                QStringLiteral("</h2><h3><small>Steuernummer: ") + esc(input->taxId) +
                QStringLiteral("</small></h3><small>Datum: ") +
                mediumDateText(Date::fromUnix(static_cast<double>(input->today.toSecsSinceEpoch()))) +
                QStringLiteral("</small><br><br><br><br><h3><b>Abrechnung ") + esc(title) + u' ' +
                esc(input->yearName) +
                QStringLiteral(
                    "</b></h3><br><br><br></font><font face=\"Lucida Grande\" size=\"4\" "
                    "class=\"f2\"><br><br>") +
                p.paymentBlock() + QStringLiteral("<br><br>") + p.incomeExpenseTable() +
                QStringLiteral("<br><br>") + p.revenueTable();
    // The list stands outside the blocks' font, whose relative size would
    // override the list's small type.
    page.html += QStringLiteral("</font>");
    page.headHtml = page.html + QStringLiteral("</body></html>");
    if (input->withList) {
        page.html += p.itemList();
        page.list = p.listTable();
    }
    page.html += QStringLiteral("</body></html>");
    return page;
}

}  // namespace quandor
