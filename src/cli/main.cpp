#include "cli/cli.h"
#include "core/heap_tuning.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    quandor::preferHugePages(argv);
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quandor"));
    QCoreApplication::setApplicationName(QStringLiteral("Quandor"));
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return quandor::cli::run(arguments);
}
