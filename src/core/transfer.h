#pragma once
// Transfer files: the whole database ("qndb"), one year ("qndby"), one
// statement ("qndbt") and the account list ("kmdb"), written and read as keyed
// archives; and the file-menu operations that move them in and out.
//
// Reading checks the kind before anything changes: a file of another kind, a
// damaged file or one that does not hold what its kind promises is refused with
// a German message and leaves the lists as they were. Writing is atomic and a
// failed write is told, not passed over.

#include "core/database.h"
#include "core/value.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace quandor {

class QuandorAppDelegate;

enum class TransferKind { Database, Year, Statement, Accounts };

// "qndb", "qndby", "qndbt", "kmdb"
QString transferExtension(TransferKind kind);

// ---- files ----------------------------------------------------------------------

// Each writes one transfer file atomically; false with a German reason in `error`.
bool writeDatabaseFile(const Database& db, const QString& path, QString* error);
bool writeYearFile(const RecordPtr& year, const QString& path, QString* error);
bool writeStatementFile(const RecordPtr& statement, const QString& path, QString* error);
bool writeAccountsFile(const RecordList& accounts, const QString& path, QString* error);

// Each reads one transfer file of its kind; nothing with a German reason when
// the file cannot be read or is of another kind. The records are fresh: the
// caller may keep and change them freely.
std::optional<Database> readDatabaseFile(const QString& path, QString* error);
std::optional<RecordPtr> readYearFile(const QString& path, QString* error);
std::optional<RecordPtr> readStatementFile(const QString& path, QString* error);
std::optional<RecordList> readAccountsFile(const QString& path, QString* error);

// ---- operations of the file menu -------------------------------------------------
//
// The dialog-driven forms ask, open the file dialog and then call the "To" /
// "From" form with the chosen path. Every form returns true when it wrote or
// changed something; a refusal has been told through the UI port.

class TransferController {
  public:
    explicit TransferController(QuandorAppDelegate& delegate) : d_(delegate) {}

    bool exportDatabase();
    bool importDatabase();
    bool exportYear();
    bool importYear();
    bool exportTab();
    bool importTab();
    bool exportAccounts();
    bool importAccounts();
    bool exportAccountsCSV();

    bool exportDatabaseTo(const QString& path);
    bool exportYearTo(const RecordPtr& year, const QString& path);
    bool exportTabTo(const RecordPtr& statement, const QString& path);
    bool exportAccountsTo(const QString& path);
    bool exportAccountsCSVTo(const QString& path);

    // Without the question (it has been answered before).
    bool importDatabaseFrom(const QString& path);
    bool importYearFrom(const QString& path);
    bool importTabFrom(const QString& path);  // into the selected year
    bool importAccountsFrom(const QString& path);

    // The questions; true when the person chose "Importieren …".
    bool askImportDatabase();
    bool askImportAccounts();

  private:
    bool writeReported(const QString& path, bool ok, const QString& error);
    void refuseImport(const QString& path, const QString& error);
    QuandorAppDelegate& d_;
};

}  // namespace quandor
