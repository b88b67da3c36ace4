// kmdbgen LIST OUTPUT: turns a readable account list into a "kmdb" file.
// Run by the build; a malformed list stops the build with the line at fault.

#include "core/archive/archive.h"
#include "core/datev_list.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Aufruf: kmdbgen LISTE AUSGABE.kmdb\n");
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    QFile in(input);
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: Datei kann nicht gelesen werden.\n", qPrintable(input));
        return 1;
    }
    const quandor::datev::ListResult list = quandor::datev::parseAccountList(in.readAll());
    if (!list.ok) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(input), qPrintable(list.error));
        return 1;
    }
    QSaveFile out(output);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(quandor::archive::write(quandor::datev::accountListRoot(list.accounts))) < 0 ||
        !out.commit()) {
        std::fprintf(stderr, "%s: Datei kann nicht geschrieben werden.\n", qPrintable(output));
        return 1;
    }
    return 0;
}
