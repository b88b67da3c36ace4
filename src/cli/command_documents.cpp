// search, attach and detach: the search sheet over all items and the three
// document panels without a window.
#include "cli/cli.h"
#include "cli/session.h"
#include "core/archive/canonical_json.h"
#include "core/keys.h"
#include "documents/documents_controller.h"
#include "documents/search_controller.h"

namespace quandor::cli {

namespace {

using Panel = DocumentsController::Panel;

const QString kAttachUsage = QStringLiteral(
    "Aufruf: quandor-cli attach --year JAHR --statement ABRECHNUNG --item N DATEI · attach --year "
    "JAHR [--statement ABRECHNUNG] DATEI");
const QString kDetachUsage = QStringLiteral(
    "Aufruf: quandor-cli detach --year JAHR --statement ABRECHNUNG --item N · detach --year JAHR "
    "[--statement ABRECHNUNG] --file N");

QByteArray jsonText(const QString& text) {
    return archive::canonicalJson(Value(text));
}

// A positive whole number, or 0.
int positive(const std::optional<QString>& text) {
    bool ok = false;
    const int n = text ? text->toInt(&ok) : 0;
    return ok && n > 0 ? n : 0;
}

// Selects the year (and statement) the options name; which panel they mean.
// Nothing after printing why.
std::optional<Panel> selectPanel(const Context& ctx, Session& session, const Args& args) {
    const auto year = args.option(QStringLiteral("--year"));
    const auto statement = args.option(QStringLiteral("--statement"));
    const auto item = args.option(QStringLiteral("--item"));
    Selection& selection = session.delegate().selection();
    if (statement) {
        if (!selectStatement(ctx, session, *year, *statement)) return std::nullopt;
        selection.setFilterText(QString());
        if (!item) return Panel::Statement;
        const int n = positive(item);
        const RecordPtr record = n > 0 ? selection.listedItem(size_t(n - 1)) : nullptr;
        if (!record) {
            ctx.error(
                QStringLiteral("Einen Posten „%1“ gibt es in dieser Abrechnung nicht.").arg(*item));
            return std::nullopt;
        }
        selection.setSelectedItems({record});
        return Panel::Item;
    }
    const Database& db = session.database();
    for (size_t y = 0; y < db.years.size(); ++y) {
        if (db.years[y]->text(keys::dateValue) != *year) continue;
        selection.setYearIndex(int(y));
        return Panel::Year;
    }
    ctx.error(QStringLiteral("Das Jahr „%1“ gibt es nicht.").arg(*year));
    return std::nullopt;
}

int finish(Session& session, uint64_t before) {
    session.syncSettings();
    return session.delegate().changeCount() != before ? session.save() : kDone;
}

}  // namespace

int searchCommand(const Context& ctx, const Args& args) {
    if (args.words().size() != 1) {
        ctx.error(QStringLiteral("Aufruf: quandor-cli search TEXT"));
        return kUsage;
    }
    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    SearchController search(session->delegate().books());
    search.openSearchSheet();
    search.setSearchText(args.words().front());
    // One match a line inside one JSON list: the place of the item (as
    // attach --item counts) and the item itself.
    QByteArray out = "[";
    for (size_t i = 0; i < search.count(); ++i) {
        const SearchController::Row& row = search.row(i);
        out += i ? ",\n" : "\n";
        out += "{\"item\":" + QByteArray::number(row.position) +
               ",\"record\":" + archive::canonicalJson(Value(row.item)) +
               ",\"statement\":" + jsonText(row.statement) + ",\"year\":" + jsonText(row.year) +
               "}";
    }
    out += search.count() ? "\n]\n" : "]\n";
    ctx.print(out);
    return kDone;
}

int attachCommand(const Context& ctx, const Args& args) {
    if (args.words().size() != 1 || !args.option(QStringLiteral("--year")) ||
        (args.option(QStringLiteral("--item")) && !args.option(QStringLiteral("--statement")))) {
        ctx.error(kAttachUsage);
        return kUsage;
    }
    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    const std::optional<Panel> panel = selectPanel(ctx, *session, args);
    if (!panel) return kUsage;
    const uint64_t before = session->delegate().changeCount();
    DocumentsController documents(session->delegate().books());
    if (!documents.attach(*panel, args.words().front())) {
        session->syncSettings();
        return kRefused;
    }
    ctx.print(archive::canonicalJson(Value(documents.selectedRecord(*panel))) + "\n");
    return finish(*session, before);
}

int detachCommand(const Context& ctx, const Args& args) {
    const bool item = args.option(QStringLiteral("--item")).has_value();
    const bool file = args.option(QStringLiteral("--file")).has_value();
    if (!args.words().isEmpty() || !args.option(QStringLiteral("--year")) || item == file ||
        (item && !args.option(QStringLiteral("--statement")))) {
        ctx.error(kDetachUsage);
        return kUsage;
    }
    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    const std::optional<Panel> panel = selectPanel(ctx, *session, args);
    if (!panel) return kUsage;
    DocumentsController documents(session->delegate().books());
    if (file) {
        const int n = positive(args.option(QStringLiteral("--file")));
        const RecordList* list = documents.fileList(*panel);
        if (n < 1 || !list || size_t(n) > list->size()) {
            ctx.error(QStringLiteral("Ein Dokument „%1“ gibt es in dieser Liste nicht.")
                          .arg(*args.option(QStringLiteral("--file"))));
            return kUsage;
        }
        documents.setSelectedRow(*panel, n - 1);
    }
    const RecordPtr record = documents.selectedRecord(*panel);
    const uint64_t before = session->delegate().changeCount();
    if (!documents.removeDocument(*panel)) {
        if (*panel == Panel::Item)
            ctx.error(QStringLiteral("An diesem Posten hängt kein Dokument."));
        session->syncSettings();
        return kRefused;
    }
    ctx.print(archive::canonicalJson(Value(record)) + "\n");
    return finish(*session, before);
}

}  // namespace quandor::cli
