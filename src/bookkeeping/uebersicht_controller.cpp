#include "bookkeeping/uebersicht_controller.h"

#include "bookkeeping/alert_words.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "print/print_job.h"

#include <QLocale>

#include <cmath>

namespace quandor {

namespace P = prefs;

const QString UebersichtController::kNoStatements =
    QStringLiteral("Du hast keinerlei Abrechnungen angelegt.");

namespace {

// The calendar month of a date; 0 for a date no calendar holds.
int localMonth(const Date& date) {
    if (!std::isfinite(date.toUnix())) return 0;
    return localDay(date).month();
}

// A month's share in percent; a month without any (and a year of 0) has none.
double share(double part, double whole) {
    return part != 0 && whole != 0 ? part / whole * 100.0 : 0.0;
}

}  // namespace

YearOverview computeYearOverview(const Record& year) {
    YearOverview o;
    o.yearName = year.text(keys::dateValue);
    for (const RecordPtr& statement : year.thelists()) {
        for (const RecordPtr& item : statement->items()) {
            const double income = item->real(keys::incomeWithout);
            const double expense = item->real(keys::expenseWithout);
            o.year.income += income;
            o.year.expense += expense;
            const int month = localMonth(item->date(keys::date));
            if (month < 1 || month > 12) continue;
            OverviewMonth& m = o.months[static_cast<size_t>(month - 1)];
            m.income += income;
            m.expense += expense;
            ++m.items;
        }
    }
    o.year.result = o.year.income + o.year.expense;
    for (OverviewMonth& m : o.months) {
        m.result = m.income + m.expense;
        m.incomeShare = share(m.income, o.year.income);
        m.expenseShare = share(m.expense, o.year.expense);
    }
    return o;
}

print::Page buildUebersichtPage(const YearOverview& o, const UebersichtPageInput& in) {
    using print::pageText;
    using print::TableCell;
    print::Page page;
    const QString company = in.company.trimmed();
    page.footer = (company.isEmpty() ? QString() : in.company + QStringLiteral(" · ")) +
                  QStringLiteral("Übersicht ") + o.yearName + QStringLiteral(" · Seite ");
    page.prologue = QStringLiteral(
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
        "<title>Übersicht</title></head><body><font face=\"Lucida Grande\" size=\"2\">");
    const QString today =
        mediumDateText(Date::fromUnix(static_cast<double>(in.today.toSecsSinceEpoch())));
    page.text(QStringLiteral("<h2>") + pageText(in.company) +
              QStringLiteral("</h2><h3><small>Steuernummer: ") + pageText(in.taxId) +
              QStringLiteral("</small></h3><small>Datum: ") + pageText(today) +
              QStringLiteral("</small><br><br><br><h3><b>Jahresübersicht ") + pageText(o.yearName) +
              QStringLiteral("</b></h3><small>Alle Beträge ohne Umsatzsteuer.</small><br><br>"));

    auto money = [&](double v) {
        QString text = amountText(static_cast<float>(v));
        if (!in.currencyText.isEmpty()) text += u' ' + in.currencyText;
        return TableCell(text, false, Qt::AlignRight);
    };
    auto percent = [](double v) {
        return TableCell(QLocale().toString(v, 'f', 1) + QStringLiteral(" %"), false,
                         Qt::AlignRight);
    };
    print::Table t;
    t.width = 475;
    t.fontSize = 9;
    t.border = in.printBorder;
    t.rows.push_back({TableCell(QStringLiteral("Monat"), true),
                      TableCell(QStringLiteral("Einnahmen"), true, Qt::AlignRight),
                      TableCell(QStringLiteral("Ausgaben"), true, Qt::AlignRight),
                      TableCell(QStringLiteral("Ergebnis"), true, Qt::AlignRight),
                      TableCell(QStringLiteral("Anteil Einnahmen"), true, Qt::AlignRight),
                      TableCell(QStringLiteral("Anteil Ausgaben"), true, Qt::AlignRight)});
    const QLocale german(QLocale::German, QLocale::Germany);
    for (int i = 0; i < 12; ++i) {
        const OverviewMonth& m = o.months[static_cast<size_t>(i)];
        t.rows.push_back({TableCell(german.standaloneMonthName(i + 1)), money(m.income),
                          money(m.expense), money(m.result), percent(m.incomeShare),
                          percent(m.expenseShare)});
    }
    t.rows.push_back({TableCell(QStringLiteral("Jahr ") + o.yearName, true), money(o.year.income),
                      money(o.year.expense), money(o.year.result), TableCell(), TableCell()});
    for (TableCell& c : t.rows.back()) c.bold = true;
    page.table(std::move(t));
    return page;
}

UebersichtController::UebersichtController(Books& books) : books_(books) {}

bool UebersichtController::generateUebersicht() {
    const RecordPtr year = books_.selection().selectedYear();
    if (!year || year->thelists().empty()) {
        books_.ui().alert(AlertStyle::Warning, AlertWords::kErrorTitle, kNoStatements,
                          {AlertWords::kOkButton});
        return false;
    }
    overview_ = YearOverview{};
    open_ = true;
    generate();
    return true;
}

void UebersichtController::generate() {
    const RecordPtr year = books_.selection().selectedYear();
    overview_ = year ? computeYearOverview(*year) : YearOverview{};
}

void UebersichtController::closeUebersicht() {
    open_ = false;
}

ExportResult UebersichtController::printUebersicht() {
    const auto path =
        books_.ui().saveDialog(QStringLiteral("PDF Datei Exportieren"), QStringLiteral("pdf"),
                               QStringLiteral("Übersicht %1").arg(overview_.yearName));
    if (!path) return ExportResult::Cancelled;
    return printUebersichtTo(*path);
}

ExportResult UebersichtController::printUebersichtTo(const QString& path) {
    Settings& s = books_.settings();
    UebersichtPageInput in;
    in.company = s.getText(P::prefsCompany);
    in.taxId = s.getText(P::prefsTaxID);
    in.today = books_.now();
    in.currencyText = currencyText(s);
    in.printBorder = s.getBool(P::prefsPrintBorder);
    const print::Page page = buildUebersichtPage(overview_, in);
    s.setText(P::printFooter, page.footer);
    const QString folder = books_.paths().dataFolder;
    print::PrintJob job(page, Paths::join(folder, QStringLiteral("Uebersicht.html")),
                        Paths::join(folder, QStringLiteral("Uebersicht.pdf")));
    QString reason;
    if (!job.render(&reason)) {
        books_.ui().beep();
        books_.ui().alert(
            AlertStyle::Critical, AlertWords::kErrorTitle,
            QStringLiteral("Die Übersicht konnte nicht gedruckt werden: %1").arg(reason),
            {AlertWords::kOkButton});
        return ExportResult::Failed;
    }
    return writeExportFile(books_.ui(), path, job.pdf()) ? ExportResult::Written
                                                         : ExportResult::Failed;
}

}  // namespace quandor
