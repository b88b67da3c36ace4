#include "cli/generator.h"

#include "bookkeeping/item_calculation.h"
#include "core/keys.h"

#include <QDate>
#include <QDateTime>
#include <QTimeZone>

#include <cmath>

#include <array>

namespace quandor {

namespace {

// SplitMix64: small, fast and the same on every platform.
class Random {
  public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }

  private:
    uint64_t state_;
};

const std::array<const char16_t*, 12> kMonths = {
    u"Januar", u"Februar", u"März",      u"April",   u"Mai",      u"Juni",
    u"Juli",   u"August",  u"September", u"Oktober", u"November", u"Dezember"};

struct Template {
    const char16_t* title;
    const char16_t* group;
    const char16_t* account;
    const char16_t* accountNumber;
    int kind;
    int tag;  // 0 = no VAT
    int minCents;
    int maxCents;
};

const std::array<Template, 16> kTemplates = {{
    {u"Büromaterial Schreibwaren Müller", u"Bürobedarf", u"Bürobedarf", u"6815", 1, 1, 299, 8990},
    {u"Druckerpatronen", u"Bürobedarf", u"Bürobedarf", u"6815", 1, 1, 1999, 12900},
    {u"Bahnfahrt Hamburg – München", u"Reisekosten", u"Reisekosten Arbeitnehmer", u"6650", 1, 1,
     2990, 24900},
    {u"Hotelübernachtung", u"Reisekosten", u"Übernachtungsaufwand", u"6680", 1, 2, 6900, 18900},
    {u"Fachbuch Steuerrecht", u"Fachliteratur", u"Zeitschriften, Bücher", u"6820", 1, 2, 1990,
     8900},
    {u"Telefon und Internet", u"Kommunikation", u"Telefon", u"6805", 1, 1, 2999, 7999},
    {u"Miete Büroräume", u"Raumkosten", u"Miete", u"6310", 1, 0, 45000, 120000},
    {u"Kontoführungsgebühren", u"Bank", u"Nebenkosten des Geldverkehrs", u"6855", 1, 0, 500, 2500},
    {u"Software-Abonnement", u"EDV", u"EDV-Kosten", u"6835", 1, 1, 999, 5999},
    {u"Porto und Versand", u"Bürobedarf", u"Porto", u"6800", 1, 0, 85, 1550},
    {u"Beratungshonorar", u"Erlöse", u"Erlöse 19 % USt", u"4400", 2, 1, 25000, 480000},
    {u"Webdesign Auftrag", u"Erlöse", u"Erlöse 19 % USt", u"4400", 2, 1, 50000, 350000},
    {u"Lektorat Fachbuch", u"Erlöse", u"Erlöse 7 % USt", u"4300", 2, 2, 12000, 90000},
    {u"Vortrag Volkshochschule", u"Erlöse", u"Steuerfreie Umsätze", u"4185", 2, 4, 8000, 40000},
    {u"Leistung an Kunden in der Schweiz", u"Erlöse", u"Nicht steuerbare Umsätze", u"4338", 2, 5,
     30000, 200000},
    {u"Gutschrift Lieferant", u"Bürobedarf", u"Bürobedarf", u"6815", 1, 1, -4990, -500},
}};

const std::array<const char16_t*, 6> kComments = {
    u"", u"", u"bar bezahlt", u"per Überweisung", u"Rechnung folgt", u"siehe Beleg"};

Date dateOf(int year, int month, int day) {
    const QDateTime dt(QDate(year, month, day), QTime(12, 0), QTimeZone::utc());
    return Date::fromUnix(static_cast<double>(dt.toSecsSinceEpoch()));
}

}  // namespace

Database generateDatabase(const GeneratorOptions& options) {
    Database db;
    Random rnd(options.seed);
    const TaxRates rates;
    // At most 25 years: large databases get fuller months rather than centuries.
    const int perMonth =
        options.itemsPerStatement > 0
            ? options.itemsPerStatement
            : static_cast<int>(std::max<int64_t>(400, (options.items + 299) / 300));
    const int64_t perYear = int64_t{perMonth} * 12;
    const int64_t yearCount = options.items <= 0 ? 1 : (options.items + perYear - 1) / perYear;
    const int firstYear = 2026 - static_cast<int>(std::min<int64_t>(yearCount, 1000)) + 1;

    for (const char16_t* g : {u"Bürobedarf", u"Reisekosten", u"Fachliteratur", u"Kommunikation",
                              u"Raumkosten", u"Bank", u"EDV", u"Erlöse"}) {
        auto group = Record::create(RecordClass::Group, dateOf(2020, 1, 1));
        group->set(keys::title, QString::fromUtf16(g));
        db.groups.push_back(group);
    }
    for (const Template& t : kTemplates) {
        bool seen = false;
        for (const RecordPtr& a : db.accounts)
            seen = seen || a->text(keys::number) == QString::fromUtf16(t.accountNumber);
        if (seen) continue;
        auto account = Record::create(RecordClass::Account, dateOf(2020, 1, 1));
        account->set(keys::number, QString::fromUtf16(t.accountNumber));
        account->set(keys::title, QString::fromUtf16(t.account));
        db.accounts.push_back(account);
    }

    int64_t remaining = options.items;
    int64_t itemNumber = 0;
    for (int64_t y = 0; y < yearCount; ++y) {
        const int yearNumber = firstYear + static_cast<int>(y);
        auto year = Record::create(RecordClass::Year, dateOf(yearNumber, 1, 1));
        const QString yearName = QString::number(yearNumber);
        year->set(keys::dateValue, yearName);
        for (int month = 1; month <= 12 && remaining > 0; ++month) {
            auto statement = Record::create(RecordClass::Thelist, dateOf(yearNumber, month, 1));
            const QString title = QString::fromUtf16(kMonths[month - 1]);
            statement->set(keys::title, title);
            const int64_t count = std::min<int64_t>(perMonth, remaining);
            remaining -= count;
            RecordList& items = statement->items();
            items.reserve(static_cast<size_t>(count));
            const int days = QDate(yearNumber, month, 1).daysInMonth();
            for (int64_t i = 0; i < count; ++i) {
                const Template& t = kTemplates[rnd.below(static_cast<int>(kTemplates.size()))];
                const Date created = dateOf(yearNumber, month, 1 + rnd.below(days));
                auto item = Record::create(RecordClass::Item, created);
                const int cents = t.minCents + rnd.below(t.maxCents - t.minCents + 1);
                item->set(keys::kind, t.kind);
                item->set(keys::UUID, QString::number(static_cast<int64_t>(created.toUnix())));
                item->set(keys::parentTab, title);
                item->set(keys::parentYear, yearName);
                item->set(keys::group, QString::fromUtf16(t.group));
                item->set(keys::account, QString::fromUtf16(t.account));
                item->set(keys::accountNumber, QString::fromUtf16(t.accountNumber));
                item->set(keys::title, QString::fromUtf16(t.title));
                item->set(
                    keys::number,
                    QStringLiteral("RE-%1-%2").arg(yearNumber).arg(i + 1, 4, 10, QLatin1Char('0')));
                // The entered amount is stored as the number the sheet read from the typed text.
                item->set(keys::amount, static_cast<float>(cents) / 100.0f);
                item->set(keys::taxBool, t.tag != 0);
                item->set(keys::taxTag, t.tag);
                item->set(
                    keys::comment,
                    QString::fromUtf16(kComments[rnd.below(static_cast<int>(kComments.size()))]));
                item->set(keys::misc1, QStringLiteral("B%1").arg(i + 1));
                if (options.documentEvery > 0 && itemNumber % options.documentEvery == 0) {
                    const int64_t k = itemNumber / options.documentEvery;
                    item->set(keys::filePath,
                              QStringLiteral("%1/%2/Beleg-%3.pdf")
                                  .arg(options.documentsFolder,
                                       k % 2 ? QStringLiteral("b") : QStringLiteral("a"))
                                  .arg(k / 2 + 1));
                }
                ++itemNumber;
                applyCalculation(*item, rates);
                items.push_back(std::move(item));
            }
            year->thelists().push_back(std::move(statement));
        }
        db.years.push_back(std::move(year));
    }

    for (const Template& t : {kTemplates[6], kTemplates[10]}) {
        auto templ = Record::create(RecordClass::Item, dateOf(2020, 1, 1));
        templ->set(keys::kind, t.kind);
        templ->set(keys::title, QString::fromUtf16(t.title));
        templ->set(keys::group, QString::fromUtf16(t.group));
        templ->set(keys::account, QString::fromUtf16(t.account));
        templ->set(keys::accountNumber, QString::fromUtf16(t.accountNumber));
        templ->set(keys::taxBool, t.tag != 0);
        templ->set(keys::taxTag, t.tag);
        templ->set(keys::UUID, QStringLiteral("1577836800"));
        db.items.push_back(templ);
    }
    return db;
}

namespace {

int64_t cents(float amount) {
    return std::llround(static_cast<double>(amount) * 100.0);
}

QByteArray money(int64_t c) {
    QByteArray out = c < 0 ? "-" : "";
    const int64_t a = c < 0 ? -c : c;
    out += QByteArray::number(a / 100) + '.';
    out += QByteArray::number(a % 100).rightJustified(2, '0');
    return out + " EUR";
}

// Ledger takes two spaces or a tab as the end of an account name.
void posting(QByteArray& out, const QString& account, int64_t c, bool withAmount = true) {
    out += "    ";
    out += account.toUtf8();
    if (withAmount) {
        out += "  ";
        out += money(c);
    }
    out += '\n';
}

}  // namespace

QByteArray ledgerJournal(const Database& db) {
    QByteArray out;
    out.reserve(static_cast<qsizetype>(db.itemCount()) * 160);
    for (const RecordPtr& year : db.years) {
        for (const RecordPtr& statement : year->thelists()) {
            for (const RecordPtr& item : statement->items()) {
                if (!item) continue;
                const QDate day =
                    QDateTime::fromSecsSinceEpoch(std::llround(item->date(keys::date).toUnix()),
                                                  QTimeZone::utc())
                        .date();
                const int64_t gross = cents(item->real(keys::amount));
                const int64_t tax = cents(item->real(keys::taxFee));
                const int64_t net = gross - tax;
                const QString rate =
                    QString::number(item->real(keys::taxPerecent), 'g', 6) + QStringLiteral(" %");
                const QString account =
                    item->text(keys::accountNumber) + u' ' + item->text(keys::account);
                out += day.toString(QStringLiteral("yyyy/MM/dd")).toUtf8();
                out += " (" + item->text(keys::number).toUtf8() + ") ";
                out += item->text(keys::title).toUtf8() + '\n';
                if (const QString comment = item->text(keys::comment); !comment.isEmpty())
                    out += "    ; " + comment.toUtf8() + '\n';
                if (item->integer(keys::kind) == kKindIncome) {
                    posting(out, QStringLiteral("Aktiva:Bank"), gross);
                    if (tax) posting(out, QStringLiteral("Passiva:Umsatzsteuer:") + rate, -tax);
                    posting(out, QStringLiteral("Erträge:") + account, -net, false);
                } else {
                    posting(out, QStringLiteral("Aufwand:") + account, net);
                    if (tax) posting(out, QStringLiteral("Aktiva:Vorsteuer:") + rate, tax);
                    posting(out, QStringLiteral("Aktiva:Bank"), 0, false);
                }
                out += '\n';
            }
        }
    }
    return out;
}

}  // namespace quandor
