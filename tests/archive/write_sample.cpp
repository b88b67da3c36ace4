// Writes the sample database through our writer for the independent
// cross-check: DIR/sample.archive and DIR/sample.json (our canonical dump of
// the tree that was written), and DIR/sample-unshared.archive, the same tree
// in the layout of a writer that merges nothing.

#include "archive_test_support.h"

#include "core/archive/archive.h"
#include "core/archive/canonical_json.h"

#include <QFile>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    using namespace quandor::archive;
    const quandor::Value sample = test::sampleDatabase();
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QFile archive(dir + QStringLiteral("/sample.archive"));
    QFile unshared(dir + QStringLiteral("/sample-unshared.archive"));
    QFile json(dir + QStringLiteral("/sample.json"));
    if (!archive.open(QIODevice::WriteOnly) || !unshared.open(QIODevice::WriteOnly) ||
        !json.open(QIODevice::WriteOnly))
        return 3;
    archive.write(write(sample));
    unshared.write(write(sample, Sharing::Unshared));
    json.write(canonicalJson(sample) + '\n');
    return 0;
}
