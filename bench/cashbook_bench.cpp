// Speed of a large cash book.
//
//   cashbook_bench [ENTRIES]   (default: 20000)
//
// Fills a cash book with ENTRIES entries (a carried-over balance, then
// deposits and take-overs in turn), then times a take-over (open the sheet,
// take the item over) and a deposit (open, amount, confirm) on it, the CSV
// export and the printed page as PDF, each written to a file. Prints the
// median (wall clock and processor time) and the slowest of each in
// milliseconds and the limit it should stay
// under: take-over and deposit 5 ms, CSV 200 ms, PDF 3 s.

#include "bookkeeping/print_files.h"
#include "cashbook/kassenbuch_controller.h"
#include "cashbook/kassenbuch_page.h"
#include "core/app_delegate.h"
#include "core/keys.h"
#include "core/paths.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "silent_ui.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QLocale>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

using namespace quandor;

namespace {

using Clock = std::chrono::steady_clock;

struct Timing {
    double median = 0, slowest = 0, cpu = 0;  // cpu: median processor time of this process
};

// `prepare` runs before each run, outside the time taken.
Timing measure(int runs, const std::function<void(int)>& action,
               const std::function<void()>& prepare = {}) {
    std::vector<double> ms, cpu;
    for (int i = 0; i < runs; ++i) {
        if (prepare) prepare();
        const auto a = Clock::now();
        const std::clock_t c = std::clock();
        action(i);
        cpu.push_back(1000.0 * double(std::clock() - c) / CLOCKS_PER_SEC);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - a).count());
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    return {ms[ms.size() / 2], ms.back(), cpu[cpu.size() / 2]};
}

void report(const char* what, const Timing& t, double limit) {
    std::printf(
        "%-40s median %9.3f ms (processor %9.3f ms)   slowest %9.3f ms   (limit %.0f ms)%s\n", what,
        t.median, t.cpu, t.slowest, limit, t.median < limit ? "" : "   OVER THE LIMIT");
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication qtApp(argc, argv);
    const int entries = argc > 1 ? std::atoi(argv[1]) : 20000;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("bench.conf")));
    bench::SilentUi ui;
    const QDateTime now =
        QDateTime::fromString(QStringLiteral("2026-05-01T12:00:00Z"), Qt::ISODate);
    QuandorAppDelegate app(settings, ui, Paths::under(dir.path()), [now] { return now; });
    Books& books = app.books();

    RecordPtr year = Record::create(RecordClass::Year, books.nowStamp());
    year->set(keys::dateValue, QStringLiteral("2026"));
    RecordPtr statement = Record::create(RecordClass::Thelist, books.nowStamp());
    statement->set(keys::title, QStringLiteral("Mai"));
    year->thelists().push_back(statement);
    app.database().years.push_back(year);
    Selection& selection = app.selection();
    selection.setYearIndex(0);
    selection.setStatementIndex(0);

    // A statement of 500 items to take over, payments and receipts in turn; an
    // item comes round again with its cash book marker cleared.
    std::vector<RecordPtr> items;
    for (int i = 0; i < 500; ++i) {
        RecordPtr item = Record::create(RecordClass::Item, books.nowStamp());
        item->set(keys::kind, int64_t(i % 2 == 0 ? 1 : 2));
        item->set(keys::amount, 10.0f + float(i % 97) * 1.37f);
        item->set(keys::taxPerecent, 19.0f);
        item->set(keys::taxFee, 1.9f);
        item->set(keys::title, QStringLiteral("Posten %1").arg(i));
        statement->items().push_back(item);
        items.push_back(item);
    }
    selection.refresh();

    KassenbuchController cash(books);
    settings.setBool(prefs::prefsUebertragKassenbuch, true);
    settings.setText(prefs::prefsUebertragKassenbuchSumme, QStringLiteral("1000000"));
    settings.setText(prefs::prefsUebertragKassenbuchBezeichnung, QStringLiteral("Übertrag"));
    cash.addCashBook();
    cash.closeAddCashBook(QStringLiteral("2026"));
    settings.setText(prefs::prefsAddCashBookItemTitle,
                     QStringLiteral("Bürobedarf, Porto und Kleinkram"));
    settings.setText(prefs::prefsAddCashBookItemBeleg, QStringLiteral("B-4711"));
    settings.setText(prefs::prefsKasseneinlageBezeichnung,
                     QStringLiteral("Bareinzahlung aus der Tageskasse"));

    size_t next = 0;
    auto chooseItem = [&] {
        const RecordPtr& item = items[next++ % items.size()];
        item->set(keys::misc9, QString());
        selection.setSelectedItems({item});
    };
    auto takeOver = [&] {
        cash.openAddCashBookItem();
        cash.addCashBookItem(QStringLiteral("4930"));
    };
    auto deposit = [&](int i) {
        cash.openBareinzahlung();
        settings.setText(prefs::prefsKasseneinlageSumme, QStringLiteral("%1,25").arg(i % 500));
        cash.addBareinzahlung();
    };
    const Record& cashbook = *app.database().cashbooks.at(0);
    for (int i = 0; cashbook.items().size() < size_t(entries); ++i) {
        if (i % 2) {
            deposit(i);
        } else {
            chooseItem();
            takeOver();
        }
    }
    std::printf("cash book of %zu entries\n", cashbook.items().size());

    report("take over an item (open, take over)",
           measure(
               200, [&](int) { takeOver(); }, chooseItem),
           5);
    report("deposit (open, amount, confirm)", measure(200, deposit), 5);
    report("CSV text (without writing)", measure(11, [&](int) { (void)cash.csvText(); }), 200);
    const QString csv = dir.filePath(QStringLiteral("Kassenbuch.csv"));
    report("CSV export to a file", measure(11, [&](int) { cash.exportKassenbuchTo(csv); }), 200);
    report("the page (cells of every entry)",
           measure(5,
                   [&](int) {
                       KassenbuchPageInput in;
                       in.cashbook = &cashbook;
                       (void)buildKassenbuchPage(in);
                   }),
           3000);
    const QString pdf = dir.filePath(QStringLiteral("Kassenbuch.pdf"));
    report("printed page as PDF to a file", measure(5, [&](int) { cash.printKassenbuchTo(pdf); }),
           3000);
    std::printf("%zu entries at the end\n", cashbook.items().size());
    return 0;
}
