#include "import/invoice_import.h"

#include "core/keys.h"

#include <QRegularExpression>

#include <cmath>

namespace quandor {

namespace {

const QRegularExpression& lineEnds() {
    static const QRegularExpression re(QStringLiteral("\r\n|\r|\n|\u2028|\u2029"));
    return re;
}

// No invoice reaches a trillion: a larger figure is damage, and its VAT would
// overflow the item's single-precision figures to infinity.
constexpr double kLargestAmount = 1e12;

// The amount of a position or invoice, or the reason it has none.
struct Amount {
    std::optional<float> value;
    QString reason;
};

Amount importedAmount(const std::optional<double>& amount) {
    if (!amount || !std::isfinite(*amount)) return {std::nullopt, QStringLiteral("kein Betrag")};
    if (std::fabs(*amount) > kLargestAmount)
        return {std::nullopt, QStringLiteral("Betrag zu groß")};
    return {static_cast<float>(*amount), {}};
}

}  // namespace

QString firstLine(const QString& text) {
    const QRegularExpressionMatch m = lineEnds().match(text);
    return m.hasMatch() ? text.left(m.capturedStart()) : text;
}

RecordList fennickPreview(const FennickInvoice& invoice, const TaxRates& rates, Date created,
                          const std::optional<QString>& account,
                          const std::optional<QString>& category, ImportSummary* summary) {
    summary->partSingular = QStringLiteral("Position");
    summary->partPlural = QStringLiteral("Positionen");
    const QString addressLine = firstLine(invoice.address);
    // The invoice's rates in percent, in single precision as every rate of the program.
    const std::array<float, 3> invoiceRates = {static_cast<float>(invoice.taxPercent[0]) * 100.0f,
                                               static_cast<float>(invoice.taxPercent[1]) * 100.0f,
                                               static_cast<float>(invoice.taxPercent[2]) * 100.0f};
    const std::array<float, 3> configured = {rates.rate1, rates.rate2, rates.rate3};

    RecordList items;
    int number = 0;
    for (const FennickPosition& position : invoice.positions) {
        ++number;
        if (!position.readable) {
            summary->skip(QStringLiteral("Position %1: keine lesbare Position").arg(number));
            continue;
        }
        const Amount imported = importedAmount(position.amount);
        if (!imported.value) {
            summary->skip(QStringLiteral("Position %1 („%2“): %3")
                              .arg(number)
                              .arg(quotedForSummary(position.title), imported.reason));
            continue;
        }
        const std::optional<float> amount = imported.value;
        RecordPtr item = Record::create(RecordClass::Item, created);
        item->set(keys::title,
                  QStringLiteral("%1 | %2 | %3").arg(invoice.title, addressLine, position.title));
        item->set(keys::number, invoice.number);
        item->set(keys::kind, int64_t{kKindIncome});
        item->set(keys::amount, *amount);
        if (account) item->set(keys::account, *account);
        if (category) item->set(keys::group, *category);

        bool taxed = false;
        int64_t tag = 0;
        float unknown = 0.0f;
        for (size_t i = 0; i < 3; ++i) {
            if (!position.taxApplied[i]) continue;
            taxed = true;
            if (invoiceRates[i] == configured[i]) {
                item->set(keys::taxPerecent, configured[i]);
                tag = static_cast<int64_t>(i + 1);
            } else {
                unknown = invoiceRates[i];
            }
        }
        if (taxed && tag == 0) {
            summary->unknownRate(unknown);
            taxed = false;
        }
        item->set(keys::taxBool, taxed);
        item->set(keys::taxTag, tag);
        items.push_back(std::move(item));
    }
    summary->items = static_cast<int64_t>(items.size());
    return items;
}

void calculateFennickItem(Record& item, const TaxRates& rates) {
    TaxRates own = rates;
    const float rate = item.real(keys::taxPerecent);
    switch (item.integer(keys::taxTag)) {
        case 1:
            own.rate1 = rate;
            break;
        case 2:
            own.rate2 = rate;
            break;
        case 3:
            own.rate3 = rate;
            break;
        default:
            break;
    }
    applyCalculation(item, own);
}

QString grandTotalTitle(const QString& formattedAddress) {
    QString address = formattedAddress.split(lineEnds(), Qt::SkipEmptyParts).join(QLatin1Char(' '));
    if (address.size() > 40) {
        address.truncate(40);
        if (address.back().isHighSurrogate()) address.chop(1);
    }
    return QStringLiteral("Rechnung ") + address;
}

RecordList grandTotalItems(const std::vector<GrandTotalInvoice>& invoices,
                           const GrandTotalChoices& choices, const TaxRates& rates, Date created,
                           ImportSummary* summary, std::vector<QString>* pdfs) {
    summary->partSingular = QStringLiteral("Rechnung");
    summary->partPlural = QStringLiteral("Rechnungen");
    const QString dateWord = choices.dateTag == 0   ? QStringLiteral("Fälligkeitsdatum")
                             : choices.dateTag == 1 ? QStringLiteral("Versanddatum")
                                                    : QStringLiteral("Zahlungsdatum");
    QStringList undated;
    RecordList items;
    int number = 0;
    for (const GrandTotalInvoice& invoice : invoices) {
        ++number;
        if (!invoice.readable) {
            summary->skip(QStringLiteral("Eintrag %1: keine Rechnung").arg(number));
            continue;
        }
        const QString label =
            invoice.name.isEmpty()
                ? QStringLiteral("Rechnung %1").arg(number)
                : QStringLiteral("Rechnung „%1“").arg(quotedForSummary(invoice.name));
        const Amount imported = importedAmount(invoice.gross);
        if (!imported.value) {
            summary->skip(label + QStringLiteral(": ") + imported.reason);
            continue;
        }
        const std::optional<float> gross = imported.value;
        RecordPtr item = Record::create(RecordClass::Item, created);
        item->set(keys::amount, *gross);
        item->set(keys::kind, choices.kind);
        if (choices.account) {
            item->set(keys::account, choices.account->text(keys::title));
            item->set(keys::accountNumber, choices.account->text(keys::number));
        }
        item->set(keys::group, choices.category);
        item->set(keys::taxBool, choices.tax);
        item->set(keys::taxTag, choices.rateTag);
        item->set(keys::number, invoice.name);
        item->set(keys::title, grandTotalTitle(invoice.formattedAddress));
        const std::optional<Date>& date = choices.dateTag == 0   ? invoice.dateDue
                                          : choices.dateTag == 1 ? invoice.dateSent
                                                                 : invoice.datePaid;
        // Without the chosen date the item keeps the day of the import: an
        // item without a date would show and count as 1 January 2001.
        if (date)
            item->set(keys::date, *date);
        else
            undated << (invoice.name.isEmpty() ? QString::number(number)
                                               : quotedForSummary(invoice.name));
        applyCalculation(*item, rates);
        items.push_back(std::move(item));
        pdfs->push_back(invoice.pdfPath);
    }
    if (!undated.isEmpty()) {
        const qsizetype n = undated.size();
        QStringList shown = undated.mid(0, 5);
        if (n > 5) shown << QStringLiteral("…");
        summary->notes << QStringLiteral("%1 %2 ohne %3 %4 das Datum des Imports: %5.")
                              .arg(n)
                              .arg(n == 1 ? QStringLiteral("Rechnung")
                                          : QStringLiteral("Rechnungen"),
                                   dateWord,
                                   n == 1 ? QStringLiteral("bekommt") : QStringLiteral("bekommen"),
                                   shown.join(QStringLiteral(", ")));
    }
    summary->items = static_cast<int64_t>(items.size());
    return items;
}

}  // namespace quandor
