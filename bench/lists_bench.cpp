// Reordering, deleting and dropping in long lists: a statement of 5,000 items
// and a category list of 5,000 rows, through the statement controller as the
// windows call it. Prints the median of 51 runs of each operation.
//
//   lists_bench [N]   (default: 5000)

#include "bookkeeping/array_controller.h"
#include "core/app_delegate.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"

#include <QCoreApplication>
#include <QDir>
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

double medianMs(int runs, const std::function<void(int)>& setup,
                const std::function<void(int)>& op) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        setup(i);
        const auto t0 = std::chrono::steady_clock::now();
        op(i);
        const auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::max(10, std::atoi(argv[1])) : 5000;
    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("Quandor.conf")));
    settings.setBool(prefs::firstDropBOOL, true);
    bench::SilentUi ui;
    QuandorAppDelegate delegate(settings, ui, Paths::under(dir.path()));
    QDir().mkpath(delegate.paths().dataFolder);
    ArrayController controller(delegate.books());
    using List = ArrayController::ListKind;

    Database& db = delegate.database();
    RecordPtr year = Record::create(RecordClass::Year, Date{});
    RecordPtr statement = Record::create(RecordClass::Thelist, Date{});
    RecordPtr other = Record::create(RecordClass::Thelist, Date{});
    year->thelists() = {statement, other};
    auto item = [](int i) {
        RecordPtr r = Record::create(RecordClass::Item, Date{double(i % 365) * 86400.0});
        r->set(keys::title, QStringLiteral("Posten %1").arg(i));
        r->set(keys::amount, float(i) * 1.19f);
        return r;
    };
    for (int i = 0; i < n; ++i) {
        statement->items().push_back(item(i));
        other->items().push_back(item(n + i));
        RecordPtr g = Record::create(RecordClass::Group, Date{});
        g->set(keys::title, QStringLiteral("Kategorie %1").arg(i));
        db.groups.push_back(g);
    }
    db.years.push_back(year);
    Selection& sel = delegate.selection();
    sel.setYearIndex(0);
    sel.setStatementIndex(0);
    sel.refresh();

    const int runs = 51;
    const double moveItem = medianMs(
        runs, [](int) {},
        [&](int i) {
            const QByteArray data = controller.writeRows(List::Items, {n - 1 - i});
            controller.acceptMoveDrop(List::Items, ArrayController::moveDragType(List::Items), data,
                                      i);
        });
    const double removeItem = medianMs(
        runs, [&](int i) { sel.setSelectedRows({n / 2 - i}); },
        [&](int) { controller.remove(List::Items); });
    const double moveGroup = medianMs(
        runs, [](int) {},
        [&](int i) {
            const QByteArray data = controller.writeRows(List::Groups, {i, n - 2 - i});
            controller.acceptMoveDrop(List::Groups, ArrayController::moveDragType(List::Groups),
                                      data, n / 2);
        });
    const double removeGroup = medianMs(
        runs, [&](int i) { controller.setMasterRow(List::Groups, i * 7); },
        [&](int) { controller.remove(List::Groups); });
    const double drop = medianMs(
        runs,
        [&](int i) {
            sel.setStatementIndex(0);
            sel.refresh();
            controller.writeRows(List::Items, {i * 3});
        },
        [&](int) { controller.addDroppedItem(ArrayController::moveDragType(List::Items), 1); });

    std::printf("lists_bench: %d items / %d categories, median of %d runs\n", n, n, runs);
    std::printf("  reorder item (drag data + drop)   %8.3f ms\n", moveItem);
    std::printf("  delete item                       %8.3f ms\n", removeItem);
    std::printf("  reorder two categories            %8.3f ms\n", moveGroup);
    std::printf("  delete category                   %8.3f ms\n", removeGroup);
    std::printf("  drop item on other statement      %8.3f ms\n", drop);
    return 0;
}
