#include "reports/report_pages.h"

#include "bookkeeping/summary_page.h"
#include "bookkeeping/voranmeldung.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "print/printable_text.h"

#include <QHash>

#include <bit>

namespace quandor {

namespace {

using print::ListCell;
using print::pageText;
using print::TableCell;

QString br(int n) {
    return QStringLiteral("<br>").repeated(n);
}
// The separator between a report's parts (a line across the tables).
QString separator() {
    return QStringLiteral("<hr width=\"475\" align=\"left\">");
}

const QString kArrowExpense = QStringLiteral("\u21E5");
const QString kArrowIncome = QStringLiteral("\u21E4");

class Builder {
  public:
    explicit Builder(const ReportPageInput& in) : in_(in) {}

    // Prologue, letterhead, date and the report's title.
    print::Page start(const QString& title, const QString& footer) const {
        print::Page page;
        page.prologue = in_.prologue;
        page.footer = footer;
        page.text(QStringLiteral(
                      "<h2>%1</h2><h3><small>Steuernummer: %2</small></h3><small>Datum: %3</small>")
                      .arg(pageText(in_.company), pageText(in_.taxId), pageText(in_.today)) +
                  br(4) + QStringLiteral("<h3><b>") + pageText(title) +
                  QStringLiteral("</b></h3>") +
                  QStringLiteral("</font><font face=\"Lucida Grande\" size=\"4\">"));
        return page;
    }

    print::Table table(int width, int fontSize) const {
        print::Table t;
        t.width = width;
        t.fontSize = fontSize;
        t.border = in_.border;
        return t;
    }

    QString money(float v) const { return moneyCell(v, in_.currency, in_.locale); }
    // Grouped only from +1000 up (the advance-return amounts, the revenue report's incomes).
    QString payment(float v) const {
        return paymentAmountText(v, in_.locale) + QLatin1Char(' ') + in_.currency;
    }

    static TableCell head(const QString& text, const QString& below, bool bold = true) {
        TableCell c(text, bold);
        c.note = below;
        return c;
    }

    // "Ausgaben mit Steuern" … "Einnahmen ohne Steuern".
    static std::vector<TableCell> sumsHead(bool withTitleColumn) {
        std::vector<TableCell> row;
        if (withTitleColumn) row.emplace_back();
        row.push_back(head(QStringLiteral("Ausgaben"), QStringLiteral("mit Steuern")));
        row.push_back(head(QStringLiteral("Ausgaben"), QStringLiteral("ohne Steuern")));
        row.push_back(head(QStringLiteral("Einnahmen"), QStringLiteral("mit Steuern")));
        row.push_back(head(QStringLiteral("Einnahmen"), QStringLiteral("ohne Steuern")));
        return row;
    }

    // Each statement's four sums under sumsHead; `incomeAsPayment`: incomes
    // grouped only from +1000 up, as the revenue report writes them.
    print::Table statementSumsTable(const StatementsReport& r, int fontSize,
                                    bool incomeAsPayment) const {
        print::Table t = table(475, fontSize);
        t.widths = {95, 95, 95, 95, 95};
        t.rows.push_back(sumsHead(true));
        const auto income = [&](float v) { return incomeAsPayment ? payment(v) : money(v); };
        for (const StatementsReport::Statement& s : r.statements)
            t.rows.push_back({TableCell(s.title), TableCell(money(s.sums.expenseWith)),
                              TableCell(money(s.sums.expenseWithout)),
                              TableCell(income(s.sums.incomeWith)),
                              TableCell(income(s.sums.incomeWithout))});
        return t;
    }

    print::Table balanceTable(const StatementsReport& r, int fontSize) const {
        print::Table t = table(475, fontSize);
        t.rows.push_back({head(QStringLiteral("Saldo"), QStringLiteral("mit Steuern"), false),
                          head(QStringLiteral("Saldo"), QStringLiteral("ohne Steuern"))});
        t.rows.push_back(
            {TableCell(money(r.balanceWith)), TableCell(money(r.balanceWithout), true)});
        return t;
    }

    // Header cells "Steuersatz 1 (19,00 %)" …
    std::vector<TableCell> rateHead() const {
        std::vector<TableCell> row{{}};
        for (size_t i = 0; i < 3; ++i) {
            TableCell c(QStringLiteral("Steuersatz %1").arg(i + 1), true);
            c.keepTogether = true;
            c.note = QStringLiteral("(%1)").arg(in_.rates[i] ? rateText(*in_.rates[i], in_.locale)
                                                             : QString());
            row.push_back(c);
        }
        return row;
    }
    std::vector<TableCell> rateRow(const QString& title, const std::array<float, 3>& v,
                                   bool bold) const {
        return {TableCell(title, bold), TableCell(money(v[0]), bold), TableCell(money(v[1]), bold),
                TableCell(money(v[2]), bold)};
    }

    // `labelled`: a statement's return, whose refund and balance carry the
    // Kennzahlen they were booked from (the year's sums carry none).
    print::Table returnTable(const TaxReport::AdvanceReturn& a, int fontSize, bool labelled) const {
        print::Table t = table(475, fontSize);
        t.rows.push_back(
            {TableCell(QStringLiteral("Zahlung")), TableCell(QStringLiteral("Nachzahlung")),
             TableCell(QStringLiteral("Erstattung")), TableCell(QStringLiteral("Saldo"), true)});
        TableCell rePayment(payment(a.rePayment));
        TableCell balance(payment(a.balance), true);
        if (labelled) {
            rePayment.note = kennzahl(&StatementTotals::abziehbareBetraegeSteuer);
            balance.note = kennzahl(&StatementTotals::saldo);
        }
        t.rows.push_back({TableCell(payment(a.payment)), TableCell(payment(a.additionalPayment)),
                          rePayment, balance});
        return t;
    }

    // "Kz 66", in small type after the figure that fills it.
    static QString kennzahl(float StatementTotals::*total) {
        return kennzahlLabel(kennzahlOf(total));
    }

    // A text of an item cell: one line, shortened unless the person prints whole texts.
    QString cut(const QString& text, qsizetype limit) const {
        const QString line = print::singleLine(text);
        return in_.unshortened ? line : shortenedText(line, limit, limit - 1);
    }

    // The item columns of the monthly report (with "Konto") and the profit basis.
    void itemColumns(print::ListTable& t, bool withAccount) const {
        t.border = in_.border;
        t.fontSize = 7;
        t.padding = 2;
        t.width = 575;
        struct Col {
            const char16_t* title;
            const char16_t* below;
            double width;
            bool right;
        };
        std::vector<Col> cols = {{u"Nr.", u"", 26, false},
                                 {u"Datum", u"", 38, false},
                                 {u"Bezeichnung", u"Kategorie", 170, false},
                                 {u"Nummer", u"Beleg", 70, false}};
        if (withAccount) cols.push_back({u"Konto", u"", 120, false});
        cols.push_back({u"(netto)", u"", 52, true});
        cols.push_back({u"Satz", u"", 30, true});
        cols.push_back({u"Summe", u"", 56, true});
        cols.push_back({u"", u"", 10, true});
        for (const Col& c : cols)
            t.columns.push_back({QString::fromUtf16(c.title), c.width,
                                 c.right ? Qt::AlignRight : Qt::AlignLeft,
                                 QString::fromUtf16(c.below)});
    }

    std::vector<ListCell> itemRow(const NumberedItem& n, bool withAccount) const {
        const Record& item = *n.item;
        const bool vat = item.flag(keys::taxBool);
        std::vector<ListCell> row;
        row.reserve(withAccount ? 9 : 8);
        row.push_back({QString::number(n.number), {}, true, ListCell::Size::Normal});
        row.push_back({dateText(item.date(keys::date)), {}, false, ListCell::Size::Normal});
        row.push_back({cut(item.text(keys::title), 29), cut(item.text(keys::group), 32), false,
                       ListCell::Size::Normal});
        row.push_back({print::singleLine(item.text(keys::number)),
                       print::singleLine(item.text(keys::misc1)), false, ListCell::Size::Normal});
        if (withAccount)
            row.push_back({print::singleLine(item.text(keys::accountNumber)),
                           cut(item.text(keys::account), 32), false, ListCell::Size::Normal});
        if (vat) {
            row.push_back({amountText(item.real(keys::finalAmountWithout), in_.locale),
                           {},
                           false,
                           ListCell::Size::Normal});
            row.push_back(
                {itemRate(item.real(keys::taxPerecent)), {}, false, ListCell::Size::Tiny});
        } else {
            row.emplace_back();
            row.emplace_back();
        }
        row.push_back({amountText(item.real(keys::finalAmount), in_.locale),
                       {},
                       false,
                       ListCell::Size::Normal});
        row.push_back({item.integer(keys::kind) == 1 ? kArrowExpense : kArrowIncome,
                       {},
                       false,
                       ListCell::Size::Tiny});
        return row;
    }

    // A row of the list with a text in the description column and amounts in
    // the net and gross columns (either may be left empty).
    static std::vector<ListCell> sumRow(size_t columns, const QString& title, const QString& below,
                                        const QString& net, const QString& gross, bool bold) {
        std::vector<ListCell> row(columns);
        row[2] = {title, below, bold, ListCell::Size::Normal};
        row[columns - 4] = {net, {}, bold, ListCell::Size::Normal};
        row[columns - 2] = {gross, {}, bold, ListCell::Size::Normal};
        return row;
    }

  private:
    // An item's date as the list shows it; a year's items share a few
    // hundred days, and each is turned into local time only once.
    const QString& dateText(Date date) const {
        auto it = dates_.find(date.sinceReference);
        if (it == dates_.end())
            it = dates_.insert(date.sinceReference, shortDateText(date, in_.locale));
        return *it;
    }

    // An item's rate: a year has a handful.
    const QString& itemRate(float percent) const {
        const quint32 bits = std::bit_cast<quint32>(percent);
        auto it = rates_.find(bits);
        if (it == rates_.end()) it = rates_.insert(bits, rateText(percent, in_.locale));
        return *it;
    }

    const ReportPageInput& in_;
    mutable QHash<double, QString> dates_;
    mutable QHash<quint32, QString> rates_;
};

}  // namespace

const QString kSteuernKennzahlenHint = QStringLiteral(
    "Ohne Winston trägst du je Abrechnung selbst ins amtliche Formular ein: die Steuer zum "
    "Steuersatz 3 in Kz 36 (neben ihrem Umsatz in Kz 35), die Vorsteuer aus der Spalte "
    "„Erstattung“ in Kz 66 und den Saldo in Kz 83 (negativ: Erstattung). Die Umsätze für Kz 81, "
    "86, 35, 48 und 45 zeigen das Fenster „Umsatzsteuer-Voranmeldung“ und die Seite „Abrechnung“.");

QString reportFooter(const QString& company, const QString& what, const QString& yearName) {
    const QString text = what + u' ' + yearName + QStringLiteral(" · Seite ");
    if (company.trimmed().isEmpty()) return text;
    return company + QStringLiteral(" · ") + text;
}

print::Page umsatzPage(const StatementsReport& r, const ReportPageInput& in) {
    const Builder b(in);
    print::Page page = b.start(QStringLiteral("Umsatz %1").arg(r.yearName),
                               reportFooter(in.company, QStringLiteral("Umsatz"), r.yearName));
    page.table(b.statementSumsTable(r, 10, true));
    page.text(br(6));
    page.table(b.balanceTable(r, 12));
    page.text(QStringLiteral("</font>"));
    return page;
}

print::Page monatePage(const StatementsReport& r, const ReportPageInput& in) {
    const Builder b(in);
    const QString what = QStringLiteral("Übersicht Abrechnungen");
    print::Page page =
        b.start(what + u' ' + r.yearName, reportFooter(in.company, what, r.yearName));
    // The head: every statement's four sums and the year's balance; the list
    // then shows each statement with its sums and items.
    page.table(b.statementSumsTable(r, 9, false));
    page.text(br(2) + separator());
    page.table(b.balanceTable(r, 11));
    page.text(QStringLiteral("</font>"));

    print::ListTable& list = page.list;
    b.itemColumns(list, true);
    list.heading = what + u' ' + r.yearName;
    list.breaksBefore = 4;
    const size_t n = list.columns.size();
    size_t rows = 0;
    for (const auto& s : r.statements) rows += s.items.size() + 4;
    list.rows.reserve(rows + 2);
    for (const StatementsReport::Statement& s : r.statements) {
        list.rows.push_back(Builder::sumRow(n, s.title, {}, {}, {}, true));
        list.rows.push_back(
            Builder::sumRow(n, QStringLiteral("Ausgaben"), QStringLiteral("ohne / mit Steuern"),
                            b.money(s.sums.expenseWithout), b.money(s.sums.expenseWith), false));
        list.rows.push_back(
            Builder::sumRow(n, QStringLiteral("Einnahmen"), QStringLiteral("ohne / mit Steuern"),
                            b.money(s.sums.incomeWithout), b.money(s.sums.incomeWith), false));
        for (const NumberedItem& item : s.items) list.rows.push_back(b.itemRow(item, true));
        list.rows.emplace_back(n);  // a blank row between statements
    }
    list.rows.push_back(Builder::sumRow(n, QStringLiteral("Saldo"),
                                        QStringLiteral("ohne / mit Steuern"),
                                        b.money(r.balanceWithout), b.money(r.balanceWith), true));
    return page;
}

print::Page steuernPage(const TaxReport& r, const ReportPageInput& in) {
    const Builder b(in);
    const QString what = QStringLiteral("Übersicht Steuern");
    print::Page page =
        b.start(what + u' ' + r.yearName, reportFooter(in.company, what, r.yearName));
    for (const TaxReport::Statement& s : r.statements) {
        page.text(QStringLiteral("<div style=\"text-align: left;\"><h4>") + pageText(s.title) +
                  QStringLiteral("</h4></div>"));
        if (s.returnCreated) {
            page.text(QStringLiteral("<small>Voranmeldung erstellt am: %1</small>")
                          .arg(pageText(mediumDateText(s.returnDate, in.locale))));
            page.table(b.returnTable(s.advanceReturn, 9, true));
            page.text(br(2));
        } else {
            page.text(QStringLiteral("<small>Voranmeldung noch nicht erstellt</small>") + br(2) +
                      br(2));
        }
        const std::pair<const char16_t*, const std::array<float, 3>*> rows[] = {
            {u"Einnahmen", &s.incomeTax}, {u"Ausgaben", &s.expenseTax}, {u"Saldo", &s.saldo}};
        for (const auto& [title, values] : rows) {
            print::Table t = b.table(475, 8);
            t.widths = {115, 120, 120, 120};  // the three tables in line
            t.rows.push_back(b.rateHead());
            t.rows.push_back(b.rateRow(QString::fromUtf16(title), *values, false));
            // The tax on the third rate goes into the form beside its revenue (Kz 35).
            if (values == &s.incomeTax)
                t.rows.back()[3].note = Builder::kennzahl(&StatementTotals::tax3Amount);
            page.table(std::move(t));
        }
        page.text(br(3));
    }
    page.text(separator());
    print::Table year = b.table(475, 10);
    year.widths = {160, 105, 105, 105};
    year.rows.push_back(b.rateHead());
    year.rows.push_back(
        b.rateRow(QStringLiteral("Saldo Steuersätze %1").arg(r.yearName), r.saldo, true));
    page.table(std::move(year));
    page.text(br(5) + QStringLiteral("<h3><b>Saldo Umsatzsteuer ") + pageText(r.yearName) +
              QStringLiteral("</b></h3>"));
    page.table(b.returnTable(r.advanceReturn, 12, false));
    page.text(QStringLiteral("<br><small>") + kennzahlenHintHtml(kSteuernKennzahlenHint) +
              QStringLiteral("</small></font>"));
    return page;
}

print::Page gewinnePage(const ProfitReport& r, const ReportPageInput& in) {
    const Builder b(in);
    const QString what = QStringLiteral("Grundlage Gewinnermittlung");
    print::Page page =
        b.start(what + u' ' + r.yearName, reportFooter(in.company, what, r.yearName));
    page.text(br(2));
    // The accounts' sums and the balance in the head; the list shows every
    // account's items with its sums.
    print::Table sums = b.table(475, 9);
    sums.widths = {180, 65, 115, 115};
    sums.rows.push_back({TableCell(QStringLiteral("Konto"), true),
                         TableCell(QStringLiteral("Nummer"), true),
                         TableCell(QStringLiteral("Summe mit Steuern"), true),
                         TableCell(QStringLiteral("Summe ohne Steuern"), true)});
    for (const ProfitReport::Account& a : r.accounts)
        sums.rows.push_back({TableCell(a.title), TableCell(a.number), TableCell(b.money(a.sumWith)),
                             TableCell(b.money(a.sumWithout), true)});
    page.table(std::move(sums));
    page.text(separator() + br(2));
    print::Table balance = b.table(274, 11);
    balance.border = false;
    balance.rows.push_back({Builder::head(QStringLiteral("Saldo mit Steuern:"), {}, false),
                            TableCell(b.money(r.balanceWith))});
    balance.rows.push_back({TableCell(QStringLiteral("Saldo ohne Steuern:"), true),
                            TableCell(b.money(r.balanceWithout), true)});
    page.table(std::move(balance));
    page.text(QStringLiteral("</font>"));

    print::ListTable& list = page.list;
    b.itemColumns(list, false);
    list.heading = what + u' ' + r.yearName;
    list.breaksBefore = 4;
    const size_t n = list.columns.size();
    for (const ProfitReport::Account& a : r.accounts) {
        list.rows.push_back(Builder::sumRow(n, a.title, a.number, {}, {}, true));
        for (const NumberedItem& item : a.items) list.rows.push_back(b.itemRow(item, false));
        list.rows.push_back(Builder::sumRow(n, QStringLiteral("Summe mit Steuern:"), {}, {},
                                            b.money(a.sumWith), false));
        list.rows.push_back(Builder::sumRow(n, QStringLiteral("Summe ohne Steuern:"), {}, {},
                                            b.money(a.sumWithout), true));
        list.rows.emplace_back(n);
    }
    list.rows.push_back(Builder::sumRow(n, QStringLiteral("Saldo mit Steuern:"), {}, {},
                                        b.money(r.balanceWith), false));
    list.rows.push_back(Builder::sumRow(n, QStringLiteral("Saldo ohne Steuern:"), {}, {},
                                        b.money(r.balanceWithout), true));
    return page;
}

}  // namespace quandor
