#include "core/transfer.h"

#include "core/accounts_csv.h"
#include "core/app_delegate.h"
#include "core/archive/archive.h"
#include "core/atomic_file.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"

#include <QFileInfo>

namespace quandor {

namespace {

const QString kOK = QStringLiteral("OK");
const QString kNoYearToExport =
    QStringLiteral("Bitte wähle zuerst das Jahr aus, das du exportieren möchtest.");
const QString kNoStatementToExport =
    QStringLiteral("Bitte wähle zuerst die Abrechnung aus, die du exportieren möchtest.");
const QString kImport = QStringLiteral("Importieren …");
const QString kCancel = QStringLiteral("Abbrechen");

const QString kImportDatabaseQuestion = QStringLiteral(
    "Du bist dabei deine bestehende komplette Datenbank mit der zu importierenden zu ersetzen. "
    "Alle bestehenden Daten gehen dabei unwiederbringlich verloren. Möchtest du die Datenbank "
    "wirklich importieren?");

const QString kImportAccountsQuestion = QStringLiteral(
    "Du bist dabei deine bestehenden Konten mit den zu importierenden zu ersetzen. Alle "
    "bestehenden Konten gehen dabei unwiederbringlich verloren. Etwaige bestehende Zuordnungen in "
    "vorhandenen Abrechnungen bleiben davon unberührt. Bitte denke daran, dass diese Aktion "
    "auswirkung auf die Berichte (Gewinnermittlung) hat und deswegen nur erfolgen sollte, wenn "
    "alle benötigten Berichte mit dem alten Kontenrahmen bereits erstellt wurden. Möchtest du die "
    "Konten wirklich importieren?");

QString kindName(TransferKind kind) {
    switch (kind) {
        case TransferKind::Database:
            return QStringLiteral("keine Quandor Datenbank");
        case TransferKind::Year:
            return QStringLiteral("kein Quandor Jahr");
        case TransferKind::Statement:
            return QStringLiteral("keine Quandor Abrechnung");
        case TransferKind::Accounts:
            return QStringLiteral("keine Quandor Kontenliste");
    }
    return {};
}

bool writeRoot(const Value& root, const QString& path, QString* error) {
    const QByteArray bytes = archive::write(root);
    if (bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("Die Daten konnten nicht für die Datei aufbereitet werden.");
        return false;
    }
    return writeFileAtomically(path, bytes, error);
}

std::optional<Value> readRoot(const QString& path, QString* error) {
    if (!QFileInfo(path).isFile()) {
        if (error) *error = QStringLiteral("Die Datei ist nicht vorhanden.");
        return std::nullopt;
    }
    archive::ReadResult read = archive::readFile(path);
    if (!read.ok) {
        if (error) *error = read.error;
        return std::nullopt;
    }
    return std::move(read.root);
}

bool allOfClass(const RecordList& list, RecordClass c) {
    for (const RecordPtr& r : list)
        if (!r || r->recordClass() != c) return false;
    return true;
}

// A statement holds items and files only.
bool soundStatement(const RecordPtr& s) {
    return s && s->recordClass() == RecordClass::Thelist &&
           allOfClass(s->items(), RecordClass::Item) && allOfClass(s->files(), RecordClass::File);
}

bool soundYear(const RecordPtr& y) {
    if (!y || y->recordClass() != RecordClass::Year) return false;
    for (const RecordPtr& s : y->thelists())
        if (!soundStatement(s)) return false;
    return allOfClass(y->files(), RecordClass::File) && allOfClass(y->items(), RecordClass::Item);
}

// The root entry `key` when it is a list of records of class `c` (or absent).
bool listOfClass(const Dict& root, Key key, RecordClass c) {
    const Value* v = root.find(key);
    if (!v || v->isNull()) return true;
    if (v->type() != Value::Type::List) return false;
    for (const Value& e : *v->asList())
        if (e.type() != Value::Type::Record || !e.asRecord() || e.asRecord()->recordClass() != c)
            return false;
    return true;
}

std::optional<RecordPtr> readRecordFile(const QString& path, QString* error, TransferKind kind) {
    auto root = readRoot(path, error);
    if (!root) return std::nullopt;
    const bool sound = root->type() == Value::Type::Record &&
                       (kind == TransferKind::Year ? soundYear(root->asRecord())
                                                   : soundStatement(root->asRecord()));
    if (!sound) {
        if (error) *error = QStringLiteral("Die Datei enthält %1.").arg(kindName(kind));
        return std::nullopt;
    }
    return root->asRecord();
}

}  // namespace

QString transferExtension(TransferKind kind) {
    switch (kind) {
        case TransferKind::Database:
            return QStringLiteral("qndb");
        case TransferKind::Year:
            return QStringLiteral("qndby");
        case TransferKind::Statement:
            return QStringLiteral("qndbt");
        case TransferKind::Accounts:
            return QStringLiteral("kmdb");
    }
    return {};
}

// ---- files ------------------------------------------------------------------------------

bool writeDatabaseFile(const Database& db, const QString& path, QString* error) {
    return writeRoot(db.toRoot(), path, error);
}

bool writeYearFile(const RecordPtr& year, const QString& path, QString* error) {
    return writeRoot(Value(year), path, error);
}

bool writeStatementFile(const RecordPtr& statement, const QString& path, QString* error) {
    if (!statement || statement->recordClass() != RecordClass::Thelist) {
        if (error) *error = QStringLiteral("Es ist keine Abrechnung ausgewählt.");
        return false;
    }
    return writeRoot(Value(statement), path, error);
}

bool writeAccountsFile(const RecordList& accounts, const QString& path, QString* error) {
    ValueList values;
    values.reserve(accounts.size());
    for (const RecordPtr& a : accounts) values.emplace_back(a);
    auto root = std::make_shared<Dict>();
    root->append(keys::accounts, Value::list(std::move(values)));
    return writeRoot(Value(root), path, error);
}

std::optional<Database> readDatabaseFile(const QString& path, QString* error) {
    if (!QFileInfo(path).isFile()) {
        if (error) *error = QStringLiteral("Die Datei ist nicht vorhanden.");
        return std::nullopt;
    }
    // The same rules as loading the database at start.
    return Database::fromFile(archive::readFile(path), error);
}

std::optional<RecordPtr> readYearFile(const QString& path, QString* error) {
    return readRecordFile(path, error, TransferKind::Year);
}

std::optional<RecordPtr> readStatementFile(const QString& path, QString* error) {
    return readRecordFile(path, error, TransferKind::Statement);
}

std::optional<RecordList> readAccountsFile(const QString& path, QString* error) {
    auto root = readRoot(path, error);
    if (!root) return std::nullopt;
    const bool sound = root->type() == Value::Type::Dict && root->asDict() &&
                       root->asDict()->find(keys::accounts) &&
                       root->asDict()->find(keys::accounts)->type() == Value::Type::List &&
                       listOfClass(*root->asDict(), keys::accounts, RecordClass::Account) &&
                       !root->asDict()->contains(keys::years);
    if (!sound) {
        if (error)
            *error = QStringLiteral("Die Datei enthält %1.").arg(kindName(TransferKind::Accounts));
        return std::nullopt;
    }
    RecordList accounts;
    for (const Value& v : *root->asDict()->find(keys::accounts)->asList())
        accounts.push_back(v.asRecord());
    return accounts;
}

// ---- operations ---------------------------------------------------------------------------

bool TransferController::writeReported(const QString& path, bool ok, const QString& error) {
    if (!ok)
        d_.ui().alert(
            AlertStyle::Critical, QStringLiteral("Fehler!"),
            QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden: %2").arg(path, error),
            {kOK});
    return ok;
}

void TransferController::refuseImport(const QString& path, const QString& error) {
    d_.ui().beep();
    d_.ui().alert(
        AlertStyle::Critical, QStringLiteral("Fehler!"),
        QStringLiteral("Die Datei „%1“ kann nicht importiert werden: %2\n\nEs wurde nichts "
                       "verändert.")
            .arg(path, error),
        {kOK});
}

bool TransferController::exportDatabase() {
    const auto path = d_.ui().saveDialog(QStringLiteral("Quandor Datenbank Exportieren"),
                                         transferExtension(TransferKind::Database),
                                         QStringLiteral("Quandor Datenbank"));
    return path && exportDatabaseTo(*path);
}

bool TransferController::exportDatabaseTo(const QString& path) {
    QString error;
    return writeReported(path, writeDatabaseFile(d_.database(), path, &error), error);
}

bool TransferController::askImportDatabase() {
    return d_.ui().alert(AlertStyle::Warning, QStringLiteral("Achtung!"), kImportDatabaseQuestion,
                         {kImport, kCancel}) == 0;
}

bool TransferController::importDatabase() {
    if (!askImportDatabase()) return false;
    const auto path = d_.ui().openDialog(QStringLiteral("Quandor Datenbank Importieren"),
                                         {transferExtension(TransferKind::Database)});
    return path && importDatabaseFrom(*path);
}

bool TransferController::importDatabaseFrom(const QString& path) {
    QString error;
    auto db = readDatabaseFile(path, &error);
    if (!db) {
        refuseImport(path, error);
        return false;
    }
    d_.replaceDatabase(std::move(*db));
    return true;
}

bool TransferController::exportYear() {
    const RecordPtr year = d_.selection().selectedYear();
    if (!year) {
        // Nothing is written; the person learns why the menu did nothing.
        d_.ui().alert(AlertStyle::Informational, QStringLiteral("Hinweis!"), kNoYearToExport,
                      {kOK});
        return false;
    }
    const auto path =
        d_.ui().saveDialog(QStringLiteral("Quandor Jahr Exportieren"),
                           transferExtension(TransferKind::Year), QStringLiteral("Quandor Jahr"));
    return path && exportYearTo(year, *path);
}

bool TransferController::exportYearTo(const RecordPtr& year, const QString& path) {
    if (!year) return false;
    QString error;
    return writeReported(path, writeYearFile(year, path, &error), error);
}

bool TransferController::importYear() {
    const auto path = d_.ui().openDialog(QStringLiteral("Quandor Jahr Importieren"),
                                         {transferExtension(TransferKind::Year)});
    return path && importYearFrom(*path);
}

bool TransferController::importYearFrom(const QString& path) {
    QString error;
    auto year = readYearFile(path, &error);
    if (!year) {
        refuseImport(path, error);
        return false;
    }
    RecordList years = d_.years();
    years.push_back(*year);
    d_.setYears(years);
    d_.selection().setYearIndex(static_cast<int>(years.size()) - 1);
    return true;
}

bool TransferController::exportTab() {
    const RecordPtr statement = d_.selection().selectedStatement();
    if (!statement) {
        d_.ui().alert(AlertStyle::Informational, QStringLiteral("Hinweis!"), kNoStatementToExport,
                      {kOK});
        return false;
    }
    const auto path = d_.ui().saveDialog(QStringLiteral("Quandor Abrechnung Exportieren"),
                                         transferExtension(TransferKind::Statement),
                                         QStringLiteral("Quandor Abrechnung"));
    return path && exportTabTo(statement, *path);
}

bool TransferController::exportTabTo(const RecordPtr& statement, const QString& path) {
    if (!statement) return false;
    QString error;
    return writeReported(path, writeStatementFile(statement, path, &error), error);
}

bool TransferController::importTab() {
    if (!d_.selection().selectedYear()) {
        d_.ui().alert(AlertStyle::Informational, QStringLiteral("Hinweis!"),
                      QStringLiteral("Bitte wähle zuerst das Jahr aus, in das die Abrechnung "
                                     "importiert werden soll."),
                      {kOK});
        return false;
    }
    const auto path = d_.ui().openDialog(QStringLiteral("Quandor Abrechnung Importieren"),
                                         {transferExtension(TransferKind::Statement)});
    return path && importTabFrom(*path);
}

bool TransferController::importTabFrom(const QString& path) {
    const RecordPtr year = d_.selection().selectedYear();
    if (!year) return false;
    QString error;
    auto statement = readStatementFile(path, &error);
    if (!statement) {
        refuseImport(path, error);
        return false;
    }
    // A year read from a file may have had no statement list at all.
    year->setChildState(ChildList::Thelists, EntryState::Present);
    year->thelists().push_back(*statement);
    d_.noteChanged();
    d_.selection().refresh();
    d_.selection().setStatementIndex(static_cast<int>(year->thelists().size()) - 1);
    return true;
}

bool TransferController::exportAccounts() {
    const auto path = d_.ui().saveDialog(QStringLiteral("Quandor Konten Exportieren"),
                                         transferExtension(TransferKind::Accounts),
                                         QStringLiteral("Quandor Konten"));
    return path && exportAccountsTo(*path);
}

bool TransferController::exportAccountsTo(const QString& path) {
    QString error;
    return writeReported(path, writeAccountsFile(d_.accounts(), path, &error), error);
}

bool TransferController::askImportAccounts() {
    return d_.ui().alert(AlertStyle::Warning, QStringLiteral("Achtung!"), kImportAccountsQuestion,
                         {kImport, kCancel}) == 0;
}

bool TransferController::importAccounts() {
    if (!askImportAccounts()) return false;
    const auto path = d_.ui().openDialog(QStringLiteral("Quandor Konten Importieren"),
                                         {transferExtension(TransferKind::Accounts)});
    return path && importAccountsFrom(*path);
}

bool TransferController::importAccountsFrom(const QString& path) {
    QString error;
    auto accounts = readAccountsFile(path, &error);
    if (!accounts) {
        refuseImport(path, error);
        return false;
    }
    d_.setAccounts(*accounts);
    return true;
}

bool TransferController::exportAccountsCSV() {
    const auto path = d_.ui().saveDialog(
        QStringLiteral("CSV Datei Exportieren"), QStringLiteral("csv"),
        QStringLiteral("Kontenrahmen %1").arg(d_.settings().getText(prefs::prefsCompany)));
    return path && exportAccountsCSVTo(*path);
}

bool TransferController::exportAccountsCSVTo(const QString& path) {
    QString error;
    const bool ok = writeFileAtomically(path, ::quandor::exportAccountsCSV(d_.accounts()), &error);
    return writeReported(path, ok, error);
}

}  // namespace quandor
