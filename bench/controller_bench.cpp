// Speed of the item sheet's actions on large statements.
//
//   controller_bench [ITEMS_PER_STATEMENT] [DATABASE_ITEMS]   (default: 5000 100000)
//
// Adds, edits and deletes items in a statement of ITEMS_PER_STATEMENT items
// (each action as the person does it: open the sheet, choose the kind, type
// amount and title, confirm; or open, change the amount, confirm; or delete
// after the question), and switches between the statements of a database of
// DATABASE_ITEMS items, without and with a search text. Prints the median and
// the slowest of each action in milliseconds; every action should stay below 50 ms.

#include "bookkeeping/add_controller.h"
#include "bookkeeping/array_controller.h"
#include "cli/generator.h"
#include "core/app_delegate.h"
#include "core/keys.h"
#include "core/settings.h"

#include <QDateTime>
#include <QTemporaryDir>

#include "silent_ui.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

using namespace quandor;

namespace {

using Clock = std::chrono::steady_clock;

struct Timing {
    double median = 0, slowest = 0;
};

Timing measure(int runs, const std::function<void(int)>& action) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto a = Clock::now();
        action(i);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - a).count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

void report(const char* what, const Timing& t) {
    std::printf("%-58s median %8.3f ms   slowest %8.3f ms%s\n", what, t.median, t.slowest,
                t.median < 50.0 ? "" : "   (over 50 ms)");
}

}  // namespace

int main(int argc, char** argv) {
    const int perStatement = argc > 1 ? std::atoi(argv[1]) : 5000;
    const int total = argc > 2 ? std::atoi(argv[2]) : 100000;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("bench.conf")));
    bench::SilentUi ui;
    const QDateTime now =
        QDateTime::fromString(QStringLiteral("2026-05-01T12:00:00Z"), Qt::ISODate);

    {
        QuandorAppDelegate app(settings, ui, Paths::under(dir.path()), [now] { return now; });
        GeneratorOptions options;
        options.items = perStatement;
        options.itemsPerStatement = perStatement;
        app.database() = generateDatabase(options);
        Selection& selection = app.selection();
        selection.setYearIndex(static_cast<int>(app.database().years.size()) - 1);
        selection.setStatementIndex(0);
        selection.refresh();
        OpenSheet sheet;
        AddController c(app.books(), sheet);
        ArrayController lists(app.books());
        std::printf("statement of %zu items\n", selection.listedCount());

        report("add an item (open, kind, amount, title, confirm)", measure(200, [&](int i) {
                   c.addItem();
                   c.selectExpense();
                   c.setItemTaxBool(true);
                   c.setItemTaxTag(1);
                   c.setItemText(keys::title, QStringLiteral("Messung %1").arg(i));
                   c.setAmountText(QStringLiteral("1.234,56"));
                   c.closeItemSheet();
               }));
        report(
            "edit an item (open, amount, confirm)", measure(200, [&](int i) {
                selection.setSelectedRows({(i * 37) % static_cast<int>(selection.listedCount())});
                c.editItem();
                c.setAmountText(QStringLiteral("%1,99").arg(i));
                c.closeItemSheet();
            }));
        report("step to the next item in the sheet", measure(200, [&](int i) {
                   if (i == 0) {
                       selection.setSelectedRows({0});
                       c.editItem();
                   }
                   c.selectNext();
               }));
        c.closeItemSheet();
        report(
            "duplicate an item", measure(100, [&](int i) {
                selection.setSelectedRows({(i * 53) % static_cast<int>(selection.listedCount())});
                c.duplicateItem();
            }));
        report(
            "delete an item (after the question)", measure(200, [&](int i) {
                selection.setSelectedRows({(i * 41) % static_cast<int>(selection.listedCount())});
                lists.remove(ArrayController::ListKind::Items);
            }));
        selection.setFilterText(QStringLiteral("büro"));
        std::printf("with the search text \"büro\": %zu items listed\n", selection.listedCount());
        report("add an item while a search text is set", measure(100, [&](int i) {
                   c.addItem();
                   c.selectIncome();
                   c.setItemText(keys::title, QStringLiteral("Bürobedarf %1").arg(i));
                   c.setAmountText(QStringLiteral("19,99"));
                   c.closeItemSheet();
               }));
    }
    {
        QuandorAppDelegate app(settings, ui, Paths::under(dir.path()), [now] { return now; });
        GeneratorOptions options;
        options.items = total;
        app.database() = generateDatabase(options);
        Selection& selection = app.selection();
        const int years = static_cast<int>(app.database().years.size());
        std::printf("database of %zu items in %d years\n", app.database().itemCount(), years);
        selection.setYearIndex(0);
        report("switch statements (select another month)", measure(200, [&](int i) {
                   selection.setYearIndex(i % years);
                   selection.setStatementIndex((i * 5) % 12);
               }));
        selection.setFilterText(QStringLiteral("reise"));
        report("switch statements with a search text", measure(200, [&](int i) {
                   selection.setYearIndex(i % years);
                   selection.setStatementIndex((i * 7) % 12);
               }));
    }
    return 0;
}
