#include "cli/cli.h"

#include "bookkeeping/print_files.h"

#include <QScopeGuard>

namespace quandor::cli {

namespace {

const QStringList kGlobalValueOptions = {"--settings", "--db", "--locale", "--user", "--now"};

void printUsage(const Context& ctx, FILE* to) {
    QString text = QStringLiteral(
        "Aufruf: quandor-cli [--settings DATEI] [--db DATEI] [--locale NAME] [--user ID] [--now "
        "ZEIT] BEFEHL …\n\n"
        "Befehle:\n");
    for (const Command& c : commands())
        text += QStringLiteral("  %1\n      %2\n").arg(c.usage, c.summary);
    text += QStringLiteral("\n„quandor-cli help BEFEHL“ zeigt die Hilfe zu einem Befehl.\n");
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), to);
    (void)ctx;
}

const Command* findCommand(const QString& name) {
    for (const Command& c : commands())
        if (c.name == name) return &c;
    return nullptr;
}

}  // namespace

int exitCodeOf(ExportResult result) {
    switch (result) {
        case ExportResult::Written:
            return kDone;
        case ExportResult::Failed:
            return kFileError;
        default:
            return kRefused;
    }
}

std::optional<QString> Args::option(const QString& name) const {
    auto it = options_.find(name);
    if (it == options_.end()) return std::nullopt;
    return it->second;
}

void Context::print(const QByteArray& bytes) const {
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), out);
}

void Context::printLine(const QString& text) const {
    print(text.toUtf8() + '\n');
}

void Context::error(const QString& text) const {
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), err);
}

const std::vector<Command>& commands() {
    static const std::vector<Command> all = {
        {"batch",
         "batch DATEI|-",
         "führt viele Befehle in einem Programmlauf aus: jede Zeile eine JSON-Liste der Argumente "
         "eines Befehls; hält beim ersten Fehler an",
         {},
         batchCommand},
        {"dump",
         "dump DATEI",
         "gibt eine Quandor-Datei (Datenbank, Jahr, Abrechnung, Konten) als JSON aus",
         {},
         dumpCommand},
        {"check",
         "check [DATEI]",
         "lädt die Datenbank vollständig und zählt ihre Einträge",
         {},
         checkCommand},
        {"rewrite",
         "rewrite",
         "lädt die Datenbank und speichert sie neu (bringt alte Dateien in die aktuelle Form)",
         {},
         rewriteCommand},
        {"settings",
         "settings get SCHLÜSSEL · settings set SCHLÜSSEL WERT [--type bool|int|float|text|date] · "
         "settings list",
         "liest und schreibt die Einstellungen",
         {"--type"},
         settingsCommand},
        {"generate",
         "generate --items N [--seed S] [--unshared] [--journal DATEI] [--documents ORDNER "
         "[--document-every N]] --out DATEI",
         "schreibt eine reproduzierbare Beispiel-Datenbank mit N Posten (für Messungen); "
         "--unshared ohne gemeinsame gleiche Werte, wie andere Programme schreiben; --journal "
         "dieselben Posten als Journal für ledger",
         {"--items", "--seed", "--out", "--journal", "--documents", "--document-every"},
         generateCommand,
         {"--unshared"}},
        {"year",
         "year add NAME",
         "legt ein Jahr an, wie es das Jahresfenster tut, und bestätigt es",
         {},
         yearCommand},
        {"statement",
         "statement add --year JAHR TITEL",
         "legt im Jahr JAHR eine Abrechnung an, wie es das Abrechnungsfenster tut, und bestätigt "
         "sie",
         {"--year"},
         statementCommand},
        {"accounts",
         "accounts load complete|standard|minimal [--yes]",
         "ersetzt die Konten durch einen mitgelieferten Kontenrahmen (komplett, Standard oder "
         "minimal)",
         {},
         accountsCommand,
         {"--yes"}},
        // items
        {"item",
         "item add --year JAHR --statement ABRECHNUNG --kind expense|income --amount BETRAG "
         "--title TITEL [--vat --rate 0-5] [--date JJJJ-MM-TT] [--group KATEGORIE] "
         "[--account-number NUMMER] [--number NUMMER] [--receipt BELEG] [--comment KOMMENTAR] · "
         "item list --year JAHR --statement ABRECHNUNG [--filter TEXT]",
         "legt einen Posten an, wie es das Postenfenster tut, oder listet die Posten einer "
         "Abrechnung",
         {"--year", "--statement", "--kind", "--amount", "--title", "--rate", "--date", "--group",
          "--account-number", "--number", "--receipt", "--comment", "--filter"},
         itemCommand,
         {"--vat"}},

        // transfer files, backups, users
        {"backup",
         "backup",
         "legt die nächste Sicherung (Quandor_Backup_1.zip … _6.zip) an und gibt ihren Pfad aus",
         {},
         backupCommand},
        {"export",
         "export database|year|statement|accounts|accounts-csv --out DATEI [--year JAHR] "
         "[--statement ABRECHNUNG] · export statement --year JAHR --statement ABRECHNUNG --format "
         "pdf|rtf|csv|csv-semicolon|xml|qndbt --out DATEI · export summary --year JAHR --statement "
         "ABRECHNUNG --out DATEI.pdf · export cashbook --cashbook KASSENBUCH --format csv|pdf "
         "--out DATEI · export allowances|inventory --format csv|pdf --out DATEI · export datev "
         "--year JAHR [--statement ABRECHNUNG] --out DATEI [--yes]",
         "exportiert die Datenbank, ein Jahr, eine Abrechnung oder die Konten, eine Abrechnung in "
         "einem Format des Export-Fensters oder ihre Abrechnungsseite als PDF, ein Jahr oder eine "
         "Abrechnung als DATEV-Buchungsstapel (Posten ohne Kontonummer lässt erst --yes weg)",
         {"--out", "--year", "--statement", "--format", "--cashbook"},
         exportCommand,
         {"--yes"}},
        {"import",
         "import database|year|statement|accounts DATEI [--year JAHR] [--yes] · import "
         "csv|invoice|invoices --year JAHR --statement ABRECHNUNG DATEI [--kind expense|income] "
         "[--vat --rate 1-3] [--date due|paid|sent] [--account TITEL] [--category KATEGORIE] "
         "[--yes]",
         "importiert eine Datenbank oder Konten (ersetzt) oder ein Jahr oder eine Abrechnung "
         "(hängt an); Posten aus einer CSV-Datei, einer Fennick-Rechnung oder einer "
         "GrandTotal-Rechnungsliste in eine Abrechnung (zeigt vorher, was importiert wird; erst "
         "--yes importiert)",
         {"--year", "--statement", "--kind", "--rate", "--date", "--account", "--category"},
         importCommand,
         {"--yes", "--vat"}},
        {"allowance",
         "allowance add --year JAHR --statement ABRECHNUNG --item N --years K [--comment TEXT] "
         "[--no-compensation] [--monthly] [--yes] · allowance book --allowance N --year JAHR "
         "--statement ABRECHNUNG [--yes] · allowance list · allowance delete N [--yes]",
         "macht aus einem Ausgabeposten eine Abschreibung (mit Ausgleichsposten; --monthly: "
         "monatsgenau), bucht den Abschreibungsposten eines Jahres, zeigt und löscht "
         "Abschreibungen",
         {"--year", "--statement", "--item", "--years", "--comment", "--allowance"},
         allowanceCommand,
         {"--no-compensation", "--monthly", "--yes"}},
        {"inventory",
         "inventory add --year JAHR --statement ABRECHNUNG --item N [--category TEXT] [--comment "
         "TEXT] [--yes] · inventory add --title TITEL --brutto BETRAG --netto BETRAG [--date "
         "JJJJ-MM-TT] [--category TEXT] [--comment TEXT] · inventory list · inventory delete N "
         "[--yes]",
         "übernimmt einen Ausgabeposten in die Inventarliste oder legt einen Gegenstand direkt an, "
         "zeigt und löscht Gegenstände",
         {"--year", "--statement", "--item", "--title", "--brutto", "--netto", "--date",
          "--category", "--comment"},
         inventoryCommand,
         {"--yes"}},
        {"users",
         "users list · users add · users delete ID [--yes]",
         "zeigt, legt an und löscht die Benutzer (mehrere Firmen)",
         {},
         usersCommand,
         {"--yes"}},

        // totals, VAT return, statement exports
        {"overview",
         "overview --year JAHR [--out DATEI.pdf]",
         "die Jahresübersicht: Einnahmen, Ausgaben und Ergebnis ohne Umsatzsteuer je Monat und für "
         "das Jahr (JSON), oder ihre Seite als PDF",
         {"--year", "--out"},
         overviewCommand},
        {"totals",
         "totals --year JAHR --statement ABRECHNUNG [--filter TEXT]",
         "berechnet die elf Summen der Umsatzsteuer-Voranmeldung über die gelisteten Posten (JSON)",
         {"--year", "--statement", "--filter"},
         totalsCommand},
        {"voranmeldung",
         "voranmeldung --year JAHR --statement ABRECHNUNG [--book take|own] [--outbox ORDNER] "
         "[--yes]",
         "schreibt die Voranmeldung für Winston in den Ausgangskorb und gibt den Text der "
         "Zwischenablage aus; --book markiert sie als erstellt und bucht die errechneten (take) "
         "oder eigene (own) Zahlen, --yes fährt auch bei einer Abrechnung ohne Posten fort",
         {"--year", "--statement", "--book", "--outbox"},
         voranmeldungCommand,
         {"--yes"}},

        // cash books
        {"cashbook",
         "cashbook add --year JAHR [--carry BETRAG --text TEXT] · cashbook take --cashbook "
         "KASSENBUCH --year JAHR --statement ABRECHNUNG --item N [--text TEXT] [--receipt BELEG] "
         "[--account KONTO] [--yes] · cashbook deposit --cashbook KASSENBUCH --amount BETRAG "
         "--text TEXT · cashbook storno --cashbook KASSENBUCH --entry N · cashbook list "
         "[--cashbook KASSENBUCH] · cashbook delete KASSENBUCH --yes",
         "legt Kassenbücher an, übernimmt Posten, bucht Bareinzahlungen und Stornos, zeigt und "
         "löscht Kassenbücher (JSON)",
         {"--year", "--carry", "--text", "--cashbook", "--statement", "--item", "--receipt",
          "--account", "--amount", "--entry"},
         cashbookCommand,
         {"--yes"}},

        // annual reports
        {"report",
         "report --year JAHR --kind umsatz|monate|steuern|gewinne --format "
         "html|pdf|rtf|csv|csv-semicolon|xml|qndby --out DATEI",
         "schreibt einen Jahresbericht (Umsatz, Übersicht Abrechnungen, Übersicht Steuern, "
         "Grundlage Gewinnermittlung) als HTML-, PDF- oder RTF-Datei, wie ihn das Berichte-Fenster "
         "zeigt, oder exportiert die Posten des Jahres (CSV, XML) oder das Jahr (qndby)",
         {"--year", "--kind", "--format", "--out"},
         reportCommand},
        {"package",
         "package --year JAHR [--out ORDNER]",
         "legt den Ordner für den Steuerberater an (CSV, XML, die vier Berichte als PDF, die "
         "angehängten Dokumente) und listet, was geschrieben wurde und was nicht",
         {"--year", "--out"},
         packageCommand},
        {"report-data",
         "report-data --year JAHR --kind umsatz|monate|steuern|gewinne",
         "gibt die Zahlen eines Jahresberichts als JSON aus (Summen und Salden als gespeicherte "
         "Zahlen)",
         {"--year", "--kind"},
         reportDataCommand},
        // attached documents, search
        {"search",
         "search TEXT",
         "sucht in allen Posten aller Jahre (Bezeichnung, Nummer, Beleg, Kategorie, Konto, Betrag) "
         "und gibt die Treffer nach Datum aus (JSON)",
         {},
         searchCommand},
        {"attach",
         "attach --year JAHR --statement ABRECHNUNG --item N DATEI · attach --year JAHR "
         "[--statement ABRECHNUNG] DATEI",
         "kopiert die Datei in den Ordner für Dateien und hängt sie an den N-ten Posten oder an "
         "die Dokumente der Abrechnung oder des Jahres (JSON)",
         {"--year", "--statement", "--item"},
         attachCommand},
        {"detach",
         "detach --year JAHR --statement ABRECHNUNG --item N · detach --year JAHR [--statement "
         "ABRECHNUNG] --file N",
         "löst das Dokument vom Posten oder löscht das N-te Dokument aus der Liste; die Datei "
         "bleibt im Ordner für Dateien (JSON)",
         {"--year", "--statement", "--item", "--file"},
         detachCommand},

    };
    return all;
}

namespace {
bool keepBooks = false;
int runDepth = 0;  // commands running now: batch runs each of its lines inside itself
// Reachable until exit, so a leak checker does not count it.
std::shared_ptr<const void>* keptBooks = nullptr;
}  // namespace

void keepBooksUntilExit(bool on) {
    keepBooks = on;
}

void releaseAtExit(std::shared_ptr<const void> books) {
    // A batch line's books are freed as the line ends: each line loads them anew.
    if (!keepBooks || runDepth > 1) return;
    if (!keptBooks) keptBooks = new std::shared_ptr<const void>;
    *keptBooks = std::move(books);
}

int run(const QStringList& arguments, FILE* out, FILE* err) {
    ++runDepth;
    const auto leave = qScopeGuard([] { --runDepth; });
    Context ctx;
    ctx.out = out;
    ctx.err = err;
    int i = 0;
    while (i < arguments.size() && arguments[i].startsWith("--")) {
        const QString name = arguments[i];
        if (!kGlobalValueOptions.contains(name)) {
            ctx.error(QStringLiteral("Unbekannte Option: %1").arg(name));
            return kUsage;
        }
        if (i + 1 >= arguments.size()) {
            ctx.error(QStringLiteral("Der Option %1 fehlt ein Wert.").arg(name));
            return kUsage;
        }
        const QString value = arguments[i + 1];
        if (name == "--settings")
            ctx.global.settingsPath = value;
        else if (name == "--db")
            ctx.global.dbPath = value;
        else if (name == "--locale")
            ctx.global.locale = value;
        else if (name == "--user")
            ctx.global.user = value;
        else if (name == "--now")
            ctx.global.now = value;
        i += 2;
    }
    if (i >= arguments.size()) {
        printUsage(ctx, err);
        return kUsage;
    }
    const QString name = arguments[i++];
    if (name == "help" || name == "--help" || name == "-h") {
        if (i < arguments.size()) {
            if (const Command* c = findCommand(arguments[i])) {
                ctx.printLine(
                    QStringLiteral("Aufruf: quandor-cli %1\n%2").arg(c->usage, c->summary));
                return kDone;
            }
            ctx.error(QStringLiteral("Unbekannter Befehl: %1").arg(arguments[i]));
            return kUsage;
        }
        printUsage(ctx, out);
        return kDone;
    }
    const Command* command = findCommand(name);
    if (!command) {
        ctx.error(QStringLiteral("Unbekannter Befehl: %1 („quandor-cli help“ listet alle Befehle)")
                      .arg(name));
        return kUsage;
    }
    QStringList words;
    std::map<QString, QString> options;
    QStringList flags;
    for (; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a.startsWith("--") && a.size() > 2) {
            if (command->valueOptions.contains(a)) {
                if (i + 1 >= arguments.size()) {
                    ctx.error(QStringLiteral("Der Option %1 fehlt ein Wert.").arg(a));
                    return kUsage;
                }
                options[a] = arguments[++i];
            } else if (kGlobalValueOptions.contains(a)) {
                ctx.error(QStringLiteral("Die Option %1 gehört vor den Befehl.").arg(a));
                return kUsage;
            } else if (command->flags.contains(a)) {
                flags << a;
            } else {
                ctx.error(
                    QStringLiteral(
                        "Unbekannte Option für „%1“: %2 („quandor-cli help %1“ zeigt den Aufruf)")
                        .arg(command->name, a));
                return kUsage;
            }
        } else {
            words << a;
        }
    }
    return command->run(ctx, Args(words, options, flags));
}

}  // namespace quandor::cli
