// cashbook add|take|deposit|storno|list|delete and export cashbook: the cash
// book window and its sheets, filled in and confirmed without a window.
#include "bookkeeping/print_files.h"
#include "cashbook/kassenbuch_controller.h"
#include "cli/cli.h"
#include "cli/session.h"
#include "core/archive/canonical_json.h"
#include "core/edit_scope.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"

#include <QFileInfo>

namespace quandor::cli {

namespace {

namespace P = prefs;

const QString kUsageText = QStringLiteral(
    "Aufruf: quandor-cli cashbook add --year JAHR [--carry BETRAG --text TEXT] · cashbook take "
    "--cashbook KASSENBUCH --year JAHR --statement ABRECHNUNG --item N [--text TEXT] [--receipt "
    "BELEG] [--account KONTO] [--yes] · cashbook deposit --cashbook KASSENBUCH --amount BETRAG "
    "--text TEXT · cashbook storno --cashbook KASSENBUCH --entry N · cashbook list [--cashbook "
    "KASSENBUCH] · cashbook delete KASSENBUCH --yes");
const QString kExportUsage = QStringLiteral(
    "Aufruf: quandor-cli export cashbook --cashbook KASSENBUCH --format csv|pdf --out DATEI");

int usage(const Context& ctx, const QString& text = kUsageText) {
    ctx.error(text);
    return kUsage;
}

// Selects the first cash book titled `title`; false after saying it is missing.
bool selectCashBook(const Context& ctx, Books& books, const QString& title) {
    const RecordList& list = books.database().cashbooks;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i]->text(keys::title) != title) continue;
        books.selection().setCashBookIndex(static_cast<int>(i));
        return true;
    }
    ctx.error(QStringLiteral("Das Kassenbuch „%1“ gibt es nicht.").arg(title));
    return false;
}

// Selects the statement and its N-th listed item (date order, no filter).
bool selectItem(const Context& ctx, Books& books, const QString& yearName, const QString& title,
                const QString& itemText) {
    const RecordList& years = books.database().years;
    int year = -1, statement = -1;
    for (size_t y = 0; y < years.size() && year < 0; ++y) {
        if (years[y]->text(keys::dateValue) != yearName) continue;
        year = static_cast<int>(y);
        const RecordList& lists = years[y]->thelists();
        for (size_t s = 0; s < lists.size() && statement < 0; ++s)
            if (lists[s]->text(keys::title) == title) statement = static_cast<int>(s);
    }
    if (year < 0) {
        ctx.error(QStringLiteral("Das Jahr „%1“ gibt es nicht.").arg(yearName));
        return false;
    }
    if (statement < 0) {
        ctx.error(
            QStringLiteral("Die Abrechnung „%1“ gibt es im Jahr %2 nicht.").arg(title, yearName));
        return false;
    }
    Selection& sel = books.selection();
    sel.setYearIndex(year);
    sel.setStatementIndex(statement);
    sel.setFilterText(QString());
    sel.refresh();
    bool ok = false;
    const int n = itemText.toInt(&ok);
    const RecordPtr item = ok && n >= 1 ? sel.listedItem(static_cast<size_t>(n - 1)) : nullptr;
    if (!item) {
        ctx.error(QStringLiteral("Die Abrechnung „%1“ hat keinen Posten Nr. %2 (sie hat %3).")
                      .arg(title, itemText)
                      .arg(sel.listedCount()));
        return false;
    }
    sel.setSelectedItems({item});
    return true;
}

int saveAndPrint(const Context& ctx, Session& session, const Value& value) {
    const int code = session.save();
    if (code != kDone) return code;
    ctx.print(archive::canonicalJson(value) + '\n');
    return kDone;
}

// The newest entry of the selected cash book.
Value newestEntry(Books& books) {
    return Value(books.selection().selectedCashBook()->items().back());
}

}  // namespace

int cashbookCommand(const Context& ctx, const Args& args) {
    const QStringList& w = args.words();
    if (w.isEmpty()) return usage(ctx);
    const QString what = w[0];
    const auto opt = [&args](const char* name) { return args.option(QString::fromLatin1(name)); };
    const auto cashbookTitle = opt("--cashbook");
    // Check the words before anything is opened.
    if (what == u"add") {
        if (w.size() != 1 || !opt("--year") || (opt("--text") && !opt("--carry")))
            return usage(ctx);
    } else if (what == u"take") {
        if (w.size() != 1 || !cashbookTitle || !opt("--year") || !opt("--statement") ||
            !opt("--item"))
            return usage(ctx);
    } else if (what == u"deposit") {
        if (w.size() != 1 || !cashbookTitle || !opt("--amount") || !opt("--text"))
            return usage(ctx);
    } else if (what == u"storno") {
        if (w.size() != 1 || !cashbookTitle || !opt("--entry")) return usage(ctx);
    } else if (what == u"list") {
        if (w.size() != 1) return usage(ctx);
    } else if (what == u"delete") {
        if (w.size() != 2) return usage(ctx);
    } else {
        return usage(ctx);
    }

    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    Books& books = session->delegate().books();
    Settings& settings = books.settings();
    KassenbuchController cash(books);
    session->ui().setAnswerYes(args.flag(QStringLiteral("--yes")));

    if (what == u"list") {
        if (!cashbookTitle) {
            ValueList all;
            for (const RecordPtr& c : books.database().cashbooks) all.push_back(Value(c));
            ctx.print(archive::canonicalJson(Value::list(std::move(all))) + '\n');
            return kDone;
        }
        if (!selectCashBook(ctx, books, *cashbookTitle)) return kUsage;
        ctx.print(archive::canonicalJson(Value(books.selection().selectedCashBook())) + '\n');
        return kDone;
    }
    if (what == u"delete") {
        if (!selectCashBook(ctx, books, w[1])) return kUsage;
        const size_t before = books.database().cashbooks.size();
        cash.deleteCashBook();
        if (books.database().cashbooks.size() == before) return kRefused;
        return session->save();
    }

    // The sheets remember their texts in the settings; a refusal puts them back.
    EditScope scope(books);
    scope.keepSettings({P::prefsUebertragKassenbuch, P::prefsUebertragKassenbuchSumme,
                        P::prefsUebertragKassenbuchBezeichnung, P::prefsAddCashBookItemTitle,
                        P::prefsAddCashBookItemBeleg, P::prefsKasseneinlageSumme,
                        P::prefsKasseneinlageBezeichnung});
    if (what == u"add") {
        cash.addCashBook();
        if (const auto carry = opt("--carry")) {
            settings.setBool(P::prefsUebertragKassenbuch, true);
            settings.setText(P::prefsUebertragKassenbuchSumme, *carry);
            settings.setText(P::prefsUebertragKassenbuchBezeichnung,
                             opt("--text").value_or(QString()));
        }
        if (!cash.closeAddCashBook(*opt("--year"))) return kRefused;
        scope.commit();
        return saveAndPrint(ctx, *session, Value(books.selection().selectedCashBook()));
    }
    // Without any cash book the sheets refuse with their own alert.
    if (!books.database().cashbooks.empty() && !selectCashBook(ctx, books, *cashbookTitle))
        return kUsage;
    if (what == u"take") {
        if (!selectItem(ctx, books, *opt("--year"), *opt("--statement"), *opt("--item")))
            return kUsage;
        if (!cash.openAddCashBookItem()) return kRefused;
        if (const auto text = opt("--text")) settings.setText(P::prefsAddCashBookItemTitle, *text);
        if (const auto receipt = opt("--receipt"))
            settings.setText(P::prefsAddCashBookItemBeleg, *receipt);
        if (!cash.addCashBookItem(opt("--account").value_or(QString()))) return kRefused;
    } else if (what == u"deposit") {
        if (!cash.openBareinzahlung()) return kRefused;
        settings.setText(P::prefsKasseneinlageBezeichnung, *opt("--text"));
        settings.setText(P::prefsKasseneinlageSumme, *opt("--amount"));
        if (!cash.addBareinzahlung()) return kRefused;
    } else {
        bool ok = false;
        const qint64 n = opt("--entry")->toLongLong(&ok);
        if (!ok) return usage(ctx);
        if (!cash.stornoEntry(n)) return kRefused;
    }
    scope.commit();
    return saveAndPrint(ctx, *session, newestEntry(books));
}

int cashbookExportCommand(const Context& ctx, const Args& args) {
    const auto title = args.option(QStringLiteral("--cashbook"));
    const auto format = args.option(QStringLiteral("--format"));
    const auto out = args.option(QStringLiteral("--out"));
    if (args.words().size() != 1 || !title || !format || !out || out->isEmpty())
        return usage(ctx, kExportUsage);
    if (*format != u"csv" && *format != u"pdf") {
        ctx.error(QStringLiteral("Unbekanntes Exportformat „%1“ (csv, pdf).").arg(*format));
        return kUsage;
    }
    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    Books& books = session->delegate().books();
    if (!selectCashBook(ctx, books, *title)) return kUsage;
    KassenbuchController cash(books);
    const QString path = QFileInfo(*out).absoluteFilePath();
    const ExportResult result =
        *format == u"csv" ? cash.exportKassenbuchTo(path) : cash.printKassenbuchTo(path);
    return exitCodeOf(result);
}

}  // namespace quandor::cli
