// year add and statement add: the year and statement sheets of the main window,
// filled in and confirmed without a window.
#include "bookkeeping/years_controller.h"
#include "cli/cli.h"
#include "cli/session.h"
#include "core/archive/canonical_json.h"
#include "core/edit_scope.h"
#include "core/keys.h"

namespace quandor::cli {

namespace {

// Saves and prints the new record as canonical JSON.
int saveAndPrint(const Context& ctx, Session& session, const RecordPtr& record) {
    const int code = session.save();
    if (code != kDone) return code;
    ctx.print(archive::canonicalJson(Value(record)) + '\n');
    return kDone;
}

}  // namespace

int yearCommand(const Context& ctx, const Args& args) {
    const QStringList& w = args.words();
    if (w.size() != 2 || w[0] != QStringLiteral("add")) {
        ctx.error(QStringLiteral("Aufruf: quandor-cli year add NAME"));
        return kUsage;
    }
    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;

    // A refused year leaves nothing changed on disk: not the years, not the
    // first-steps flags opening the sheet sets.
    Books& books = session->delegate().books();
    EditScope scope(books);
    scope.keep(books.database().years);
    scope.keepSettings(YearsController::sheetSettings());
    OpenSheet sheet;
    YearsController controller(books, sheet);
    controller.addYear();
    const RecordPtr year = controller.sheet().record;
    controller.setYearName(w[1]);
    if (!controller.closeYear()) {
        controller.cancelYear();
        return kRefused;
    }
    scope.commit();
    return saveAndPrint(ctx, *session, year);
}

int statementCommand(const Context& ctx, const Args& args) {
    const QStringList& w = args.words();
    const auto yearName = args.option(QStringLiteral("--year"));
    if (w.size() != 2 || w[0] != QStringLiteral("add") || !yearName) {
        ctx.error(QStringLiteral("Aufruf: quandor-cli statement add --year JAHR TITEL"));
        return kUsage;
    }
    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;

    const int yearIndex = yearIndexNamed(session->database(), *yearName);
    if (yearIndex < 0) {
        ctx.error(QStringLiteral("Das Jahr „%1“ gibt es nicht.").arg(*yearName));
        return kUsage;
    }
    Selection& selection = session->delegate().selection();
    selection.setYearIndex(yearIndex);

    // A refused statement leaves nothing changed on disk (see yearCommand).
    Books& books = session->delegate().books();
    EditScope scope(books);
    scope.keep(books.database().years[static_cast<size_t>(yearIndex)]->thelists());
    scope.keepSettings(YearsController::sheetSettings());
    OpenSheet sheet;
    YearsController controller(books, sheet);
    controller.addList();
    const RecordPtr statement = controller.sheet().record;
    if (!statement) return kRefused;  // refused before the sheet opened
    controller.setListTitle(w[1]);
    if (!controller.closeList()) {
        controller.cancelList();
        return kRefused;
    }
    scope.commit();
    return saveAndPrint(ctx, *session, statement);
}

}  // namespace quandor::cli
