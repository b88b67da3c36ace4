// item add and item list: the item sheet filled in and confirmed without a
// window, and the item list of the main window.
#include "bookkeeping/add_controller.h"
#include "cli/cli.h"
#include "cli/session.h"
#include "core/archive/canonical_json.h"
#include "core/edit_scope.h"
#include "core/keys.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>

#include <optional>

namespace quandor::cli {

namespace {

const QString kUsageText = QStringLiteral(
    "Aufruf: quandor-cli item add --year JAHR --statement ABRECHNUNG --kind expense|income "
    "--amount BETRAG --title TITEL [--vat --rate 0-5] [--date JJJJ-MM-TT] [--group KATEGORIE] "
    "[--account-number NUMMER] [--number NUMMER] [--receipt BELEG] [--comment KOMMENTAR] · "
    "quandor-cli item list --year JAHR --statement ABRECHNUNG [--filter TEXT]");

int itemList(const Context& ctx, const Args& args) {
    const auto year = args.option(QStringLiteral("--year"));
    const auto statement = args.option(QStringLiteral("--statement"));
    if (!year || !statement) {
        ctx.error(kUsageText);
        return kUsage;
    }
    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    if (!selectStatement(ctx, *session, *year, *statement)) return kUsage;
    Selection& selection = session->delegate().selection();
    if (const auto filter = args.option(QStringLiteral("--filter")))
        selection.setFilterText(*filter);

    QByteArray out = "[";
    bool first = true;
    for (size_t row = 0; row < selection.listedCount(); ++row) {
        if (!first) out += ',';
        first = false;
        out += archive::canonicalJson(Value(selection.listedItem(row)));
    }
    out += "]\n";
    ctx.print(out);
    return kDone;
}

int itemAdd(const Context& ctx, const Args& args) {
    const auto year = args.option(QStringLiteral("--year"));
    const auto statement = args.option(QStringLiteral("--statement"));
    const auto kind = args.option(QStringLiteral("--kind"));
    if (!year || !statement || !kind ||
        (*kind != QStringLiteral("expense") && *kind != QStringLiteral("income"))) {
        ctx.error(kUsageText);
        return kUsage;
    }
    std::optional<int64_t> rate;
    if (const auto r = args.option(QStringLiteral("--rate"))) {
        bool ok = false;
        const int value = r->toInt(&ok);
        if (!ok || value < 0 || value > 5) {
            ctx.error(QStringLiteral("„%1“ ist kein Steuersatz: --rate nimmt 0 bis 5.").arg(*r));
            return kUsage;
        }
        rate = value;
    }
    std::optional<QDate> date;
    if (const auto d = args.option(QStringLiteral("--date"))) {
        date = QDate::fromString(*d, Qt::ISODate);
        if (!date->isValid() || d->size() != 10) {
            ctx.error(QStringLiteral("„%1“ ist kein Datum (JJJJ-MM-TT).").arg(*d));
            return kUsage;
        }
    }

    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    if (!selectStatement(ctx, *session, *year, *statement)) return kUsage;

    // A refused item leaves nothing changed on disk: not the statement's
    // items, not the settings the item sheet writes while it works.
    Books& books = session->delegate().books();
    EditScope scope(books);
    scope.keep(books.selection().selectedStatement()->items());
    scope.keepSettings(AddController::sheetSettings());
    OpenSheet sheet;
    AddController controller(books, sheet);
    auto refuse = [&] {
        controller.cancelItemSheet();
        session->ui().discardPending();
        return kRefused;
    };

    controller.addItem();
    const RecordPtr item = controller.sheetItem();
    if (!item) return kRefused;
    if (*kind == QStringLiteral("expense"))
        controller.selectExpense();
    else
        controller.selectIncome();
    if (args.flag(QStringLiteral("--vat"))) controller.setItemTaxBool(true);
    if (rate) controller.setItemTaxTag(*rate);
    if (date)
        controller.setItemDate(
            Date::fromUnix(static_cast<double>(date->startOfDay().toSecsSinceEpoch())));
    const struct {
        const char* option;
        Key key;
    } texts[] = {{"--title", keys::title},
                 {"--group", keys::group},
                 {"--number", keys::number},
                 {"--receipt", keys::misc1},
                 {"--comment", keys::comment}};
    for (const auto& t : texts)
        if (const auto v = args.option(QString::fromLatin1(t.option)))
            controller.setItemText(t.key, *v);
    if (const auto n = args.option(QStringLiteral("--account-number"))) {
        controller.setAccountText(*n);
        if (!controller.validateAccountNumber()) return refuse();
    }
    controller.setAmountText(args.option(QStringLiteral("--amount")).value_or(QString()));
    if (!controller.closeItemSheet()) return refuse();
    scope.commit();
    session->ui().drain();

    code = session->save();
    if (code != kDone) return code;
    ctx.print(archive::canonicalJson(Value(item)) + '\n');
    return kDone;
}

}  // namespace

int yearIndexNamed(const Database& db, const QString& name) {
    for (size_t i = 0; i < db.years.size(); ++i)
        if (db.years[i] && db.years[i]->text(keys::dateValue) == name) return static_cast<int>(i);
    return -1;
}

RecordPtr yearNamed(const Database& db, const QString& name) {
    const int i = yearIndexNamed(db, name);
    return i < 0 ? nullptr : db.years[size_t(i)];
}

RecordPtr statementTitled(const RecordPtr& year, const QString& title) {
    for (const RecordPtr& s : year->thelists())
        if (s && s->text(keys::title) == title) return s;
    return nullptr;
}

// Selects the year and statement named by --year and --statement (first match
// in list order). False after printing which one is missing.
bool selectStatement(const Context& ctx, Session& session, const QString& yearName,
                     const QString& title) {
    const Database& db = session.database();
    Selection& selection = session.delegate().selection();
    for (size_t y = 0; y < db.years.size(); ++y) {
        if (db.years[y]->text(keys::dateValue) != yearName) continue;
        selection.setYearIndex(static_cast<int>(y));
        const RecordList& lists = db.years[y]->thelists();
        for (size_t s = 0; s < lists.size(); ++s) {
            if (lists[s]->text(keys::title) != title) continue;
            selection.setStatementIndex(static_cast<int>(s));
            return true;
        }
        ctx.error(
            QStringLiteral("Die Abrechnung „%1“ gibt es im Jahr „%2“ nicht.").arg(title, yearName));
        return false;
    }
    ctx.error(QStringLiteral("Das Jahr „%1“ gibt es nicht.").arg(yearName));
    return false;
}

int itemCommand(const Context& ctx, const Args& args) {
    const QStringList& w = args.words();
    if (w.size() == 1 && w[0] == QStringLiteral("add")) return itemAdd(ctx, args);
    if (w.size() == 1 && w[0] == QStringLiteral("list")) return itemList(ctx, args);
    ctx.error(kUsageText);
    return kUsage;
}

}  // namespace quandor::cli
