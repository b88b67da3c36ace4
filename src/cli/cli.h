#pragma once
// quandor-cli: the program's work without a window. Commands run the same
// controllers as the desktop program; alerts go to stderr as "Titel: Text".

#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace quandor {
enum class ExportResult;
struct Database;
class Record;
using RecordPtr = std::shared_ptr<Record>;
}  // namespace quandor

namespace quandor::cli {

enum ExitCode : int { kDone = 0, kRefused = 1, kUsage = 2, kFileError = 3 };

// The exit code of a command that wrote a file: done, a failed write, or refused.
int exitCodeOf(ExportResult result);

struct GlobalOptions {
    QString settingsPath;
    QString dbPath;
    QString locale;
    QString user;
    QString now;  // ISO-8601
};

// Arguments of one command: positional words and --name [value] options.
class Args {
  public:
    Args(QStringList words, std::map<QString, QString> options, QStringList flags)
        : words_(std::move(words)), options_(std::move(options)), flags_(std::move(flags)) {}
    const QStringList& words() const { return words_; }
    std::optional<QString> option(const QString& name) const;
    bool flag(const QString& name) const { return flags_.contains(name); }

  private:
    QStringList words_;
    std::map<QString, QString> options_;
    QStringList flags_;
};

struct Context {
    GlobalOptions global;
    FILE* out = stdout;
    FILE* err = stderr;

    void print(const QByteArray& bytes) const;  // to stdout, as is
    void printLine(const QString& text) const;  // to stdout + "\n"
    void error(const QString& text) const;      // to stderr + "\n"
};

struct Command {
    QString name;
    QString usage;    // German, one line: "dump DATEI"
    QString summary;  // German, what it does
    // Options that take a value; all other --words are flags.
    QStringList valueOptions;
    std::function<int(const Context&, const Args&)> run;
    // The flags (options without a value) it knows; any other --word is a usage error.
    QStringList flags = {};
};

const std::vector<Command>& commands();
int run(const QStringList& arguments, FILE* out = stdout, FILE* err = stderr);

// A command's loaded books are left to the operating system when the process
// ends: freeing a large database value by value takes longer than the rest of
// a check. quandor-cli's main() turns this on; a caller that runs commands in
// its own process (the tests) keeps it off, and the books are freed at once,
// as are those of commands run inside another (batch lines).
void keepBooksUntilExit(bool on);
void releaseAtExit(std::shared_ptr<const void> books);

// Commands, one file each.
int dumpCommand(const Context& ctx, const Args& args);
int batchCommand(const Context& ctx, const Args& args);
int checkCommand(const Context& ctx, const Args& args);
int generateCommand(const Context& ctx, const Args& args);
int rewriteCommand(const Context& ctx, const Args& args);
int settingsCommand(const Context& ctx, const Args& args);
int yearCommand(const Context& ctx, const Args& args);
int statementCommand(const Context& ctx, const Args& args);
int accountsCommand(const Context& ctx, const Args& args);
// items
int itemCommand(const Context& ctx, const Args& args);

// transfer files, backups, users
int backupCommand(const Context& ctx, const Args& args);
int exportCommand(const Context& ctx, const Args& args);
int importCommand(const Context& ctx, const Args& args);
int itemImportCommand(const Context& ctx, const Args& args);  // import csv|invoice|invoices
int usersCommand(const Context& ctx, const Args& args);

// totals, VAT return, statement exports
int totalsCommand(const Context& ctx, const Args& args);
int voranmeldungCommand(const Context& ctx, const Args& args);
int overviewCommand(const Context& ctx, const Args& args);
int statementExportCommand(const Context& ctx, const Args& args);
int datevExportCommand(const Context& ctx, const Args& args);

// cash books
int cashbookCommand(const Context& ctx, const Args& args);
int cashbookExportCommand(const Context& ctx, const Args& args);  // export cashbook
// depreciation and inventory
int allowanceCommand(const Context& ctx, const Args& args);
int inventoryCommand(const Context& ctx, const Args& args);
int assetsExportCommand(const Context& ctx, const Args& args);  // export allowances|inventory
// annual reports
int reportCommand(const Context& ctx, const Args& args);
int packageCommand(const Context& ctx, const Args& args);
int reportDataCommand(const Context& ctx, const Args& args);
// attached documents and the search over all items
int searchCommand(const Context& ctx, const Args& args);
int attachCommand(const Context& ctx, const Args& args);
int detachCommand(const Context& ctx, const Args& args);

class Session;
// Selects the year and statement named by --year and --statement (first match
// in list order). False after printing which one is missing.
bool selectStatement(const Context& ctx, Session& session, const QString& yearName,
                     const QString& title);

// The first year named `name` (list order): its index or -1, the year or null.
int yearIndexNamed(const Database& db, const QString& name);
RecordPtr yearNamed(const Database& db, const QString& name);
// The first statement of `year` titled `title`, or null.
RecordPtr statementTitled(const RecordPtr& year, const QString& title);

// The database file the program would open (resolves the data folder).
QString openDatabasePath(const Context& ctx);

}  // namespace quandor::cli
