#include "cashbook/kassenbuch_page.h"

#include "bookkeeping/summary_page.h"
#include "cashbook/kassenbuch_controller.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "print/printable_text.h"

#include <cmath>

namespace quandor {

namespace {

using print::pageText;

const QString kPrologue = QStringLiteral(
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
    "<title>Kassenbuch</title>"
    "<style type=\"text/css\">table.s7 td { font-size: 7px; } span.k { font-size: 6px; }</style>"
    "</head><body><font face=\"Lucida Grande\" size=\"2\">");

}  // namespace

CashBookCells cashBookCells(const Record& e) {
    return CashBookCellTexts()(e);
}

CashBookCells CashBookCellTexts::operator()(const Record& e) {
    CashBookCells c;
    c.number = QString::number(e.integer(keys::nummer));
    const Date date = e.date(keys::date);
    const qint64 ms = qint64(std::floor(date.toUnix() * 1000.0));
    if (ms < dayStart_ || ms >= dayEnd_) {
        const QDate day = QDateTime::fromMSecsSinceEpoch(ms).toLocalTime().date();
        dayText_ = shortDateText(date, locale_);
        dayStart_ = QDateTime(day, QTime(0, 0)).toMSecsSinceEpoch();
        dayEnd_ = QDateTime(day.addDays(1), QTime(0, 0)).toMSecsSinceEpoch();
        // A day the clock cannot bound (a gap at midnight) is not kept.
        if (!(dayStart_ <= ms && ms < dayEnd_)) dayStart_ = 1, dayEnd_ = 0;
    }
    c.date = dayText_;
    c.receipt = e.text(keys::beleg);
    c.description = e.text(keys::vorfall);
    c.account = e.text(keys::konto);
    const auto positive = [this](float value) {
        return value > 0 ? amountText(value, locale_) : QString();
    };
    c.receiptAmount = positive(e.real(keys::sumEinnahme));
    c.paymentAmount = positive(e.real(keys::sumAusgabe));
    c.taxAmount = positive(e.real(keys::taxAmount));
    const float rate = e.real(keys::taxRate);
    c.taxRate = rate > 0 ? rateText(rate, locale_) : QString();
    c.balance = amountText(e.real(keys::kassenbestand), locale_);
    return c;
}

print::Page buildKassenbuchPage(const KassenbuchPageInput& in) {
    print::Page page;
    const RecordPtr placeholder =
        in.cashbook ? nullptr : Record::create(RecordClass::Cashbook, Date{});
    const Record& cashbook = in.cashbook ? *in.cashbook : *placeholder;
    const QString title = cashbook.text(keys::title);
    const QString company = in.company.trimmed();
    page.footer = (company.isEmpty() ? QString() : in.company + QStringLiteral(" · ")) +
                  QStringLiteral("Kassenbuch ") + title + QStringLiteral(" · Seite ");
    page.prologue = kPrologue;
    const QString today =
        mediumDateText(Date::fromUnix(static_cast<double>(in.today.toSecsSinceEpoch())));
    QString balance = amountText(cashbook.real(keys::kassenbestand));
    if (!in.currencyText.isEmpty()) balance += u' ' + in.currencyText;
    page.text(QStringLiteral("<h2>") + pageText(in.company) +
              QStringLiteral("</h2><h3><small>Steuernummer: ") + pageText(in.taxId) +
              QStringLiteral("</small></h3><small>Datum: ") + pageText(today) +
              QStringLiteral("</small><br><br><br><br><h3><b>Kassenbuch ") + pageText(title) +
              QStringLiteral("</b></h3><h4><b>Kassenbestand: ") + pageText(balance) +
              QStringLiteral(
                  "</b></h4><br><br></font><font face=\"Lucida Grande\" size=\"4\" class=\"f2\">"));

    using print::ListCell;
    print::ListTable& t = page.list;
    t.border = in.printBorder;
    t.fontSize = 7;
    t.padding = 2;
    t.width = 475;
    t.breaksBefore = 4;
    // A short date needs a little more than its share; the description gives it.
    const double widths[] = {26, 44, 54, 186, 54, 66, 66, 66, 82};
    const char16_t* heads[] = {u"Nr.",      u"Datum",   u"Beleg",   u"Geschäftsvorfall", u"Konto",
                               u"Einnahme", u"Ausgabe", u"Steuern", u"Kassenbestand"};
    for (int c = 0; c < 9; ++c)
        t.columns.push_back({QString::fromUtf16(heads[c]), widths[c],
                             c >= 5 ? Qt::AlignRight : Qt::AlignLeft,
                             c == 7 ? QStringLiteral("Satz") : QString()});
    const auto entries = KassenbuchController::sortedEntries(cashbook);
    t.rows.reserve(entries.size());
    CashBookCellTexts texts;
    for (const Record* e : entries) {
        const CashBookCells c = texts(*e);
        QString description = print::singleLine(c.description);
        if (!in.unshortened) description = shortenedText(description, 21, 20);
        auto cell = [](const QString& text, const QString& below = {}) {
            return ListCell{print::singleLine(text), below, false, ListCell::Size::Normal};
        };
        t.rows.push_back({cell(c.number), cell(c.date), cell(c.receipt), cell(description),
                          cell(c.account), cell(c.receiptAmount), cell(c.paymentAmount),
                          cell(c.taxAmount, c.taxRate), cell(c.balance)});
    }
    return page;
}

}  // namespace quandor
