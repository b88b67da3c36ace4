#pragma once
// A year "2013" with one statement, selected, in a fresh settings store, for
// the totals and VAT return tests. Items are added with their derived keys
// written out by hand, so the expected figures do not come from the code under test.
#include "bookkeeping/bookkeeping_controllers.h"
#include "bookkeeping/item_calculation.h"
#include "core/app_delegate.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "support/fake_ui.h"

#include <QLocale>
#include <QTemporaryDir>

#include <cstring>
#include <initializer_list>
#include <utility>

namespace quandor::test {

struct TotalsBooks {
    QTemporaryDir dir;
    Settings settings{dir.filePath(QStringLiteral("Quandor.conf"))};
    FakeUi ui;
    QuandorAppDelegate app{
        settings, ui, Paths::under(dir.path()),
        [] { return QDateTime::fromString(QStringLiteral("2013-04-05T09:30:00Z"), Qt::ISODate); }};
    BookkeepingControllers controllers{app.books()};
    VoranmeldungController& controller = controllers.vat;
    TotalsController& totals = controllers.totals;
    RecordPtr year;
    RecordPtr statement;

    explicit TotalsBooks(const QString& title = QStringLiteral("März")) {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        settings.setFloat(prefs::prefs1Rate, 19.0f);
        settings.setFloat(prefs::prefs2Rate, 7.0f);
        settings.setBool(prefs::firstStepsDone, true);
        year = Record::create(RecordClass::Year, Date{});
        year->set(keys::dateValue, QStringLiteral("2013"));
        statement = Record::create(RecordClass::Thelist, Date{});
        statement->set(keys::title, title);
        year->thelists().push_back(statement);
        app.database().years.push_back(year);
        app.selection().setYearIndex(0);
        app.selection().setStatementIndex(0);
    }

    // An item with the given derived keys; `day` orders the item list.
    RecordPtr add(int kind, bool vat, int tag, std::initializer_list<std::pair<Key, float>> figures,
                  int day = 1, const QString& title = QStringLiteral("Posten")) {
        RecordPtr item = Record::create(RecordClass::Item, Date{});
        item->set(keys::kind, kind);
        item->set(keys::taxBool, vat);
        item->set(keys::taxTag, tag);
        item->set(keys::title, title);
        item->set(keys::date, Date{1000000.0 + day * 86400.0});
        for (const auto& [key, value] : figures) item->set(key, value);
        statement->items().push_back(item);
        app.selection().refresh();
        return item;
    }
    static float rate(int tag) { return tag == 1 ? 19.0f : tag == 2 ? 7.0f : 0.0f; }
    // An income with VAT: gross a, contained VAT t.
    RecordPtr income(float a, float t, int tag, int day = 1, bool vat = true) {
        return add(2, vat, tag,
                   {{keys::incomeWith, a},
                    {keys::incomeWithout, a - t},
                    {keys::taxFeePay, t},
                    {keys::finalAmount, a},
                    {keys::finalAmountWithout, a - t},
                    {keys::taxPerecent, rate(tag)}},
                   day);
    }
    // An expense with VAT: gross a (positive as entered), contained VAT t.
    RecordPtr expense(float a, float t, int tag, int day = 1, bool vat = true) {
        return add(1, vat, tag,
                   {{keys::expenseWith, -a},
                    {keys::expenseWithout, -a + t},
                    {keys::taxFeeGet, t},
                    {keys::finalAmount, -a},
                    {keys::finalAmountWithout, -a + t},
                    {keys::taxPerecent, rate(tag)}},
                   day);
    }
};

inline bool sameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace quandor::test
