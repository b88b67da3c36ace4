// allowance, inventory and export allowances|inventory: the depreciation and
// inventory windows without a window.
#include "assets/allowance_controller.h"
#include "assets/inventory_controller.h"
#include "assets/list_export.h"
#include "bookkeeping/add_controller.h"
#include "bookkeeping/open_sheet.h"
#include "cli/cli.h"
#include "cli/session.h"
#include "core/archive/canonical_json.h"
#include "core/edit_scope.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "core/settings_keys.h"

#include <QDate>
#include <QFileInfo>

namespace quandor::cli {

namespace {

const QString kAllowanceUsage = QStringLiteral(
    "Aufruf: quandor-cli allowance add --year JAHR --statement ABRECHNUNG --item N --years K "
    "[--comment TEXT] [--no-compensation] [--monthly] [--yes] · allowance book --allowance N "
    "--year JAHR --statement ABRECHNUNG [--yes] · allowance list · allowance delete N [--yes]");
const QString kInventoryUsage = QStringLiteral(
    "Aufruf: quandor-cli inventory add --year JAHR --statement ABRECHNUNG --item N [--category "
    "TEXT] [--comment TEXT] [--yes] · inventory add --title TITEL --brutto BETRAG --netto BETRAG "
    "[--date JJJJ-MM-TT] [--category TEXT] [--comment TEXT] · inventory list · inventory delete N "
    "[--yes]");

int usage(const Context& ctx, const QString& text) {
    ctx.error(text);
    return kUsage;
}

// A positive whole number, or 0.
int positive(const std::optional<QString>& text) {
    bool ok = false;
    const int n = text ? text->toInt(&ok) : 0;
    return ok && n > 0 ? n : 0;
}

// Selects --year and --statement; false after printing which is missing.
bool selectStatement(const Context& ctx, Session& session, const Args& args) {
    const auto yearName = args.option(QStringLiteral("--year"));
    const auto title = args.option(QStringLiteral("--statement"));
    const Database& db = session.database();
    Selection& selection = session.delegate().selection();
    for (size_t y = 0; y < db.years.size(); ++y) {
        if (db.years[y]->text(keys::dateValue) != *yearName) continue;
        selection.setYearIndex(int(y));
        const RecordList& lists = db.years[y]->thelists();
        for (size_t s = 0; s < lists.size(); ++s) {
            if (lists[s]->text(keys::title) != *title) continue;
            selection.setStatementIndex(int(s));
            selection.setFilterText(QString());
            return true;
        }
        ctx.error(QStringLiteral("Die Abrechnung „%1“ gibt es im Jahr „%2“ nicht.")
                      .arg(*title, *yearName));
        return false;
    }
    ctx.error(QStringLiteral("Das Jahr „%1“ gibt es nicht.").arg(*yearName));
    return false;
}

// Selects the N-th listed item (default sort, no filter); false after printing why.
bool selectItem(const Context& ctx, Session& session, const Args& args) {
    const int n = positive(args.option(QStringLiteral("--item")));
    Selection& selection = session.delegate().selection();
    const RecordPtr item = n > 0 ? selection.listedItem(size_t(n - 1)) : nullptr;
    if (!item) {
        ctx.error(QStringLiteral("Einen Posten „%1“ gibt es in dieser Abrechnung nicht.")
                      .arg(args.option(QStringLiteral("--item")).value_or(QString())));
        return false;
    }
    selection.setSelectedItems({item});
    return true;
}

QByteArray listJson(const RecordList& records) {
    QByteArray out = "[";
    for (size_t i = 0; i < records.size(); ++i) {
        if (i) out += ',';
        out += archive::canonicalJson(Value(records[i]));
    }
    return out + "]\n";
}

// Saves when something changed; kDone or the file error.
int saveIfChanged(Session& session, uint64_t before) {
    session.syncSettings();
    return session.delegate().changeCount() != before ? session.save() : kDone;
}

int allowanceAdd(const Context& ctx, const Args& args, Session& session) {
    if (!args.option(QStringLiteral("--year")) || !args.option(QStringLiteral("--statement")) ||
        !args.option(QStringLiteral("--years")))
        return usage(ctx, kAllowanceUsage);
    bool ok = false;
    const int years = args.option(QStringLiteral("--years"))->toInt(&ok);
    if (!ok) return usage(ctx, kAllowanceUsage);
    if (!selectStatement(ctx, session, args) || !selectItem(ctx, session, args)) return kUsage;
    QuandorAppDelegate& app = session.delegate();
    Books& books = app.books();
    const uint64_t before = app.changeCount();
    OpenSheet sheet;
    AddController items(books, sheet);
    AllowanceController controller(books, items);
    // A refusal leaves the books and the settings as they were.
    EditScope scope(books);
    scope.keep(books.database().accounts);
    scope.keepSettings({prefs::isFirstAllowanceSetupDone, prefs::selectedAFATag,
                        prefs::allowanceCommentField, prefs::allowanceCompensationBOOL});
    if (!controller.openAllowanceAddSheet()) return kRefused;
    controller.setDuration(years);
    if (const auto comment = args.option(QStringLiteral("--comment")))
        controller.setComment(*comment);
    if (args.flag(QStringLiteral("--no-compensation"))) controller.setCompensation(false);
    if (args.flag(QStringLiteral("--monthly"))) controller.setMonthly(true);
    if (!controller.addAllowanceItem()) return kRefused;
    session.ui().drain();
    scope.commit();
    const int code = saveIfChanged(session, before);
    if (code != kDone) return code;
    ctx.print(archive::canonicalJson(Value(books.database().allowances.back())) + '\n');
    return kDone;
}

int allowanceBook(const Context& ctx, const Args& args, Session& session) {
    const int n = positive(args.option(QStringLiteral("--allowance")));
    if (!args.option(QStringLiteral("--year")) || !args.option(QStringLiteral("--statement")) ||
        n == 0)
        return usage(ctx, kAllowanceUsage);
    if (!selectStatement(ctx, session, args)) return kUsage;
    QuandorAppDelegate& app = session.delegate();
    Books& books = app.books();
    if (size_t(n) > books.database().allowances.size()) {
        ctx.error(QStringLiteral("Eine Abschreibung %1 gibt es nicht.").arg(n));
        return kUsage;
    }
    const uint64_t before = app.changeCount();
    OpenSheet sheet;
    AddController items(books, sheet);
    AllowanceController controller(books, items);
    controller.setSelectedRow(n - 1);
    EditScope scope(books);
    scope.keep(books.selection().selectedStatement()->items());
    if (!controller.createNewItemFromAllowance()) return kRefused;
    const RecordPtr item = items.sheetItem();
    // The item sheet opened on it: confirm it as the person would.
    if (!item || !items.closeItemSheet()) return kRefused;
    session.ui().drain();
    scope.commit();
    const int code = saveIfChanged(session, before);
    if (code != kDone) return code;
    ctx.print(archive::canonicalJson(Value(item)) + '\n');
    return kDone;
}

// `list delete N`: asks, then removes; the controllers' delete.
template <typename Controller>
int deleteRow(const Context& ctx, const Args& args, Session& session, Controller& controller,
              const RecordList& list, const QString& usageText) {
    bool ok = false;
    const int n = args.words().size() == 2 ? args.words()[1].toInt(&ok) : 0;
    if (!ok || n <= 0) return usage(ctx, usageText);
    if (size_t(n) > list.size()) {
        ctx.error(QStringLiteral("Einen Eintrag %1 gibt es in der Liste nicht.").arg(n));
        return kUsage;
    }
    const uint64_t before = session.delegate().changeCount();
    controller.setSelectedRow(n - 1);
    if (!controller.deleteItemRow()) return kRefused;
    return saveIfChanged(session, before);
}

}  // namespace

int allowanceCommand(const Context& ctx, const Args& args) {
    const QStringList& w = args.words();
    if (w.isEmpty()) return usage(ctx, kAllowanceUsage);
    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    session->ui().setAnswerYes(args.flag(QStringLiteral("--yes")));
    if (w[0] == u"add" && w.size() == 1) return allowanceAdd(ctx, args, *session);
    if (w[0] == u"book" && w.size() == 1) return allowanceBook(ctx, args, *session);
    if (w[0] == u"list" && w.size() == 1) {
        ctx.print(listJson(session->database().allowances));
        return kDone;
    }
    if (w[0] == u"delete") {
        OpenSheet sheet;
        AddController items(session->delegate().books(), sheet);
        struct Deleter {
            AllowanceController c;
            void setSelectedRow(int r) { c.setSelectedRow(r); }
            bool deleteItemRow() { return c.deleteAllowanceItem(); }
        } deleter{AllowanceController(session->delegate().books(), items)};
        return deleteRow(ctx, args, *session, deleter, session->database().allowances,
                         kAllowanceUsage);
    }
    return usage(ctx, kAllowanceUsage);
}

int inventoryCommand(const Context& ctx, const Args& args) {
    const QStringList& w = args.words();
    if (w.isEmpty()) return usage(ctx, kInventoryUsage);
    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    session->ui().setAnswerYes(args.flag(QStringLiteral("--yes")));
    QuandorAppDelegate& app = session->delegate();
    Books& books = app.books();
    InventoryController controller(books);
    const uint64_t before = app.changeCount();
    if (w[0] == u"list" && w.size() == 1) {
        ctx.print(listJson(session->database().inventorys));
        return kDone;
    }
    if (w[0] == u"delete") {
        struct Deleter {
            InventoryController& c;
            void setSelectedRow(int r) { c.setSelectedRow(r); }
            bool deleteItemRow() { return c.deleteItem(); }
        } deleter{controller};
        return deleteRow(ctx, args, *session, deleter, session->database().inventorys,
                         kInventoryUsage);
    }
    if (w[0] != u"add" || w.size() != 1) return usage(ctx, kInventoryUsage);
    const bool fromItem = args.option(QStringLiteral("--item")).has_value();
    if (fromItem) {
        if (!args.option(QStringLiteral("--year")) || !args.option(QStringLiteral("--statement")))
            return usage(ctx, kInventoryUsage);
        if (!selectStatement(ctx, *session, args) || !selectItem(ctx, *session, args))
            return kUsage;
        if (!controller.openItemAddWindow()) return kRefused;
    } else {
        const auto title = args.option(QStringLiteral("--title"));
        const auto brutto = args.option(QStringLiteral("--brutto"));
        const auto netto = args.option(QStringLiteral("--netto"));
        if (!title || !brutto || !netto) return usage(ctx, kInventoryUsage);
        bool okB = false, okN = false;
        const float b = parseAmount(*brutto, &okB);
        const float n = parseAmount(*netto, &okN);
        if (!okB || !okN) {
            ctx.error(QStringLiteral("„%1“ ist kein Betrag.").arg(okB ? *netto : *brutto));
            return kUsage;
        }
        std::optional<QDate> date;
        if (const auto d = args.option(QStringLiteral("--date"))) {
            date = QDate::fromString(*d, Qt::ISODate);
            if (!date->isValid() || d->size() != 10) {
                ctx.error(QStringLiteral("„%1“ ist kein Datum (JJJJ-MM-TT).").arg(*d));
                return kUsage;
            }
        }
        controller.openDirectAddWindow();
        controller.setText(keys::title, *title);
        controller.setAmount(keys::brutto, b);
        controller.setAmount(keys::netto, n);
        if (date) controller.setDate(Date::fromUnix(double(date->startOfDay().toSecsSinceEpoch())));
    }
    if (const auto c = args.option(QStringLiteral("--category")))
        controller.setText(keys::category, *c);
    if (const auto c = args.option(QStringLiteral("--comment")))
        controller.setText(keys::comment, *c);
    const RecordPtr record = controller.sheetRecord();
    if (fromItem)
        controller.itemAddAction();
    else
        controller.directAddAction();
    code = saveIfChanged(*session, before);
    if (code != kDone) return code;
    ctx.print(archive::canonicalJson(Value(record)) + '\n');
    return kDone;
}

int assetsExportCommand(const Context& ctx, const Args& args) {
    const QString text = QStringLiteral(
        "Aufruf: quandor-cli export allowances|inventory --format csv|pdf --out DATEI");
    const QStringList& w = args.words();
    const auto format = args.option(QStringLiteral("--format"));
    const auto out = args.option(QStringLiteral("--out"));
    if (w.size() != 1 || !format || (*format != u"csv" && *format != u"pdf") || !out ||
        out->isEmpty())
        return usage(ctx, text);
    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    const ExportResult result = writeList(session->delegate().books(),
                                          *format == u"csv" ? ListFormat::Csv : ListFormat::Pdf,
                                          w[0] == u"inventory", QFileInfo(*out).absoluteFilePath());
    session->syncSettings();
    return result == ExportResult::Written ? kDone : kFileError;
}

}  // namespace quandor::cli
