#include "cli/cli.h"
#include "core/heap_tuning.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstring>
#include <memory>

namespace {

// Whether the command renders pages (and needs the GUI layer): the export
// sheet's formats ("export … --format …", which render the overview first),
// the summary page ("export summary"), the annual reports ("report") and the
// year overview's page ("overview --out"). The transfer exports and every
// other command run on the core alone, without a display.
bool rendersPages(int argc, char** argv) {
    int i = 1;
    while (i < argc && std::strncmp(argv[i], "--", 2) == 0) i += 2;   // global options take a value
    if (i < argc && std::strcmp(argv[i], "batch") == 0) return true;  // any command may follow
    if (i < argc && std::strcmp(argv[i], "overview") == 0) {
        for (int j = i + 1; j < argc; ++j)
            if (std::strcmp(argv[j], "--out") == 0) return true;
        return false;
    }
    if (i < argc && std::strcmp(argv[i], "report") == 0) return true;   // the annual report pages
    if (i < argc && std::strcmp(argv[i], "package") == 0) return true;  // the package's report PDFs
    if (i >= argc || std::strcmp(argv[i], "export") != 0) return false;
    for (int j = i + 1; j < argc; ++j)
        if (std::strcmp(argv[j], "--format") == 0 || std::strcmp(argv[j], "summary") == 0)
            return true;
    return false;
}

QtMessageHandler defaultHandler = nullptr;

// The GUI layer notes a missing runtime folder on every start; a command's
// stderr carries only the program's own messages.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
    if (defaultHandler) defaultHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    quandor::preferHugePages();
    // Pages and PDF files need the GUI layer; the command line runs it headless.
    std::unique_ptr<QCoreApplication> app;
    if (rendersPages(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        defaultHandler = qInstallMessageHandler(quietHandler);
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setOrganizationName(QStringLiteral("Quandor"));
    QCoreApplication::setApplicationName(QStringLiteral("Quandor"));
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    quandor::cli::keepBooksUntilExit(true);
    return quandor::cli::run(arguments);
}
