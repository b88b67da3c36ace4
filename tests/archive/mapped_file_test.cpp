// Files read through a mapping: the same tree as from the bytes in memory,
// and no crash when another program shortens the file while it is read.

#include "core/archive/mapped_file.h"
#include "core/archive/archive.h"
#include "core/archive/canonical_json.h"
#include "core/keys.h"
#include "core/record.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace quandor;
using namespace quandor::archive;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

TEST(MappedFile, AFileShortenedWhileMappedReadsAsZerosAndIsReported) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kurz.mdb"));
    writeFile(path, QByteArray(5 * 4096, 'x'));

    MappedFile mapped;
    ASSERT_TRUE(mapped.open(path));
    ASSERT_EQ(mapped.size(), size_t{5 * 4096});
    EXPECT_EQ(mapped.data()[4 * 4096], 'x');
    EXPECT_FALSE(mapped.changed());

    QFile(path).resize(4096);
    EXPECT_EQ(mapped.data()[0], 'x');
    EXPECT_EQ(mapped.data()[3 * 4096 + 7], 0);  // would be SIGBUS without the guard
    EXPECT_EQ(mapped.data()[5 * 4096 - 1], 0);
    EXPECT_TRUE(mapped.changed());
}

TEST(MappedFile, FilesThatCannotBeMappedAreNotOpened) {
    QTemporaryDir dir;
    MappedFile missing, empty, folder;
    EXPECT_FALSE(missing.open(dir.filePath(QStringLiteral("fehlt.mdb"))));
    writeFile(dir.filePath(QStringLiteral("leer.mdb")), QByteArray());
    EXPECT_FALSE(empty.open(dir.filePath(QStringLiteral("leer.mdb"))));
    EXPECT_FALSE(folder.open(dir.path()));
    // readFile then reads them the ordinary way and says what is wrong.
    EXPECT_FALSE(readFile(dir.filePath(QStringLiteral("leer.mdb"))).ok);
    EXPECT_TRUE(readFile(dir.filePath(QStringLiteral("fehlt.mdb")))
                    .error.contains(QStringLiteral("nicht gefunden")));
}

TEST(MappedFile, ReadFileGivesWhatReadGives) {
    // Both layouts, enough records for the file to span many pages.
    auto statement = Record::create(RecordClass::Thelist, Date{700000000.0});
    for (int i = 0; i < 3000; ++i) {
        auto item = Record::create(RecordClass::Item, Date{700000000.0 + i});
        item->set(keys::title, QStringLiteral("Posten %1").arg(i % 700));
        item->set(keys::amount, static_cast<float>(i) / 4);
        statement->items().push_back(item);
    }
    const Value tree(statement);
    QTemporaryDir dir;
    for (const Sharing sharing : {Sharing::Shared, Sharing::Unshared}) {
        const QByteArray bytes = write(tree, sharing);
        const QString path = dir.filePath(QStringLiteral("gross.mdb"));
        writeFile(path, bytes);
        const ReadResult fromFile = readFile(path);
        ASSERT_TRUE(fromFile.ok) << fromFile.error.toStdString();
        EXPECT_TRUE(fromFile.root == tree);
        EXPECT_EQ(canonicalJson(fromFile.root), canonicalJson(read(bytes).root));
    }
}

}  // namespace
