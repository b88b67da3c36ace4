#include "import/csv_import.h"

#include "core/keys.h"
#include "core/number_texts.h"

#include <QRegularExpression>

#include <tuple>
#include <unordered_map>

namespace quandor {

namespace {

enum Field {
    kDatum,
    kBeleg,
    kBezeichnung,
    kRechnung,
    kKategorie,
    kKonto,
    kKontobezeichnung,
    kSteuersatz,
    kSumme
};

// Text of the file as it goes into a record: no NUL characters (a binary file
// read as text must not put them into titles).
QString cleanText(QString text) {
    if (text.contains(QChar(0))) text.remove(QChar(0));
    return text;
}

QString line(int64_t number) {
    return QStringLiteral("Zeile %1: ").arg(number);
}

// A number field: the locale's decimal comma or a plain point, thousands
// separators, blanks and "%" allowed. Nothing when it is no number; `empty`
// tells whether there was nothing to read.
std::optional<float> numberField(const QString& field, const QLocale& locale, bool* empty) {
    const QString text = strippedIllegalString(field).trimmed();
    *empty = text.isEmpty();
    if (*empty) return std::nullopt;
    bool ok = false;
    const float value = parseAmount(text, &ok, locale);
    if (!ok) return std::nullopt;
    return value;
}

}  // namespace

std::optional<QDate> parseImportDate(const QString& text, const QDate& today) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d{1,2})\\.(\\d{1,2})\\.(\\d{2}|\\d{4})\\s*$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch()) return std::nullopt;
    const int day = m.captured(1).toInt();
    const int month = m.captured(2).toInt();
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2) {
        // The hundred years that begin 80 years before today, as date
        // formatters place a two-digit year.
        const QDate start = today.addYears(-80);
        year += start.year() - start.year() % 100;
        if (std::make_tuple(year, month, day) <
            std::make_tuple(start.year(), start.month(), start.day()))
            year += 100;
    }
    const QDate date(year, month, day);
    if (!date.isValid()) return std::nullopt;
    return date;
}

CsvImportPlan planCsvImport(const CsvTable& table, const TaxRates& rates, const QDateTime& now,
                            const QLocale& locale) {
    CsvImportPlan plan;
    plan.summary.partSingular = QStringLiteral("Zeile");
    plan.summary.partPlural = QStringLiteral("Zeilen");
    plan.items.reserve(table.rows.size());
    const Date created = Date::fromUnix(static_cast<double>(now.toMSecsSinceEpoch()) / 1000.0);
    const QDate today = now.toLocalTime().date();
    // Local midnight of each day met: finding it asks the time zone, which
    // costs a file lookup each time, and a file holds few distinct days.
    std::unordered_map<qint64, Date> midnights;
    auto midnight = [&midnights](const QDate& day) {
        auto [it, added] = midnights.try_emplace(day.toJulianDay());
        if (added)
            it->second = Date::fromUnix(static_cast<double>(day.startOfDay().toSecsSinceEpoch()));
        return it->second;
    };

    for (const CsvRow& row : table.rows) {
        if (row.fields.size() < 9) {
            plan.summary.skip(line(row.line) +
                              QStringLiteral("nur %1 von 9 Feldern").arg(row.fields.size()));
            continue;
        }
        std::array<QString, 9> f;
        for (size_t i = 0; i < f.size(); ++i) f[i] = strippedCSVString(row.fields[qsizetype(i)]);

        const std::optional<QDate> day = parseImportDate(f[kDatum], today);
        if (!day) {
            plan.summary.skip(
                line(row.line) +
                QStringLiteral("Datum „%1“ nicht lesbar").arg(quotedForSummary(f[kDatum])));
            continue;
        }
        bool emptyRate = false, emptySum = false;
        const std::optional<float> readRate = numberField(f[kSteuersatz], locale, &emptyRate);
        if (!readRate && !emptyRate) {
            plan.summary.skip(line(row.line) + QStringLiteral("Steuersatz „%1“ nicht lesbar")
                                                   .arg(quotedForSummary(f[kSteuersatz])));
            continue;
        }
        const std::optional<float> readSum = numberField(f[kSumme], locale, &emptySum);
        if (!readSum) {
            plan.summary.skip(
                line(row.line) +
                (emptySum
                     ? QStringLiteral("keine Summe")
                     : QStringLiteral("Summe „%1“ nicht lesbar").arg(quotedForSummary(f[kSumme]))));
            continue;
        }
        const float rate = readRate.value_or(0.0f);  // P: empty means no rate
        const float sum = *readSum;                  // S: negative for an expense

        // The rate decides the tax: a positive rate is one of the configured
        // rates (the first equal one), or unknown, which books the row untaxed.
        int64_t tag = 0;
        if (rate > 0.0f) {
            if (rate == rates.rate1)
                tag = 1;
            else if (rate == rates.rate2)
                tag = 2;
            else if (rate == rates.rate3)
                tag = 3;
            else
                plan.summary.unknownRate(rate);
        }
        const bool expense = sum < 0.0f;

        RecordPtr item = Record::create(RecordClass::Item, created);
        item->set(keys::kind, expense ? int64_t{kKindExpense} : int64_t{kKindIncome});
        item->set(keys::amount,
                  expense ? -sum : sum);  // the gross amount as entered: positive for an expense
        item->set(keys::taxBool, tag != 0);
        item->set(keys::taxTag, tag);
        applyCalculation(*item, rates);
        item->set(keys::taxPerecent, rate);
        item->set(keys::title, cleanText(f[kBezeichnung]));
        item->set(keys::misc1, cleanText(f[kBeleg]));
        item->set(keys::group, cleanText(f[kKategorie]));
        item->set(keys::accountNumber, cleanText(f[kKonto]));
        item->set(keys::account, cleanText(f[kKontobezeichnung]));
        item->set(keys::number, cleanText(f[kRechnung]));
        item->set(keys::date, midnight(*day));
        plan.items.push_back(std::move(item));
    }
    if (table.unclosedQuoteLine)
        plan.summary.skip(
            line(*table.unclosedQuoteLine) +
            QStringLiteral("Anführungszeichen nicht geschlossen, der Rest der Datei ab hier "
                           "bleibt draußen"));
    plan.summary.items = static_cast<int64_t>(plan.items.size());
    return plan;
}

const QStringList& csvExampleHeader() {
    static const QStringList header = {QStringLiteral("Datum"),
                                       QStringLiteral("Belegnummer"),
                                       QStringLiteral("Bezeichnung"),
                                       QStringLiteral("Rechnungsnummer"),
                                       QStringLiteral("Kategorie"),
                                       QStringLiteral("Konto"),
                                       QStringLiteral("Kontobezeichnung"),
                                       QStringLiteral("Steuersatz"),
                                       QStringLiteral("Summe")};
    return header;
}

const std::vector<QStringList>& csvExampleRows() {
    static const std::vector<QStringList> rows = {
        {QStringLiteral("05.03.24"), QStringLiteral("B-17"), QStringLiteral("Druckerpapier"),
         QStringLiteral("R-2024-311"), QStringLiteral("Büro"), QStringLiteral("6815"),
         QStringLiteral("Bürobedarf"), QStringLiteral("19"), QStringLiteral("-119,00")},
        {QStringLiteral("12.03.24"), QStringLiteral("B-18"), QStringLiteral("Fachbuch"),
         QStringLiteral("2024-0042"), QStringLiteral("Fortbildung"), QStringLiteral("6820"),
         QStringLiteral("Zeitschriften, Bücher"), QStringLiteral("7"), QStringLiteral("-21,40")},
        {QStringLiteral("28.03.24"), QStringLiteral("A-3"), QStringLiteral("Beratung März"),
         QStringLiteral("RE-2024-7"), QStringLiteral("Honorare"), QStringLiteral("4400"),
         QStringLiteral("Erlöse 19 % USt"), QStringLiteral("19"), QStringLiteral("1.190,00")},
    };
    return rows;
}

}  // namespace quandor
