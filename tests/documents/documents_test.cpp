// Attached documents over the scripted UI: the copies in the documents folder
// (names, never replacing a file), the panel texts, and every refusal with its
// German alert leaving the records as they were.
#include "core/keys.h"
#include "core/settings_keys.h"
#include "documents/documents_controller.h"
#include "support/books.h"
#include "support/files.h"
#include "support/unprivileged.h"

#include <QDir>
#include <QFile>
#include <QLocale>

#include <gtest/gtest.h>

#include <unistd.h>

namespace quandor {
namespace {

using namespace Qt::StringLiterals;

using Panel = DocumentsController::Panel;

TEST(DocumentSizeText, DividesBy1024AndShowsOneDecimalOnlyWhenItSaysSomething) {
    const QLocale de(QLocale::German, QLocale::Germany);
    const std::vector<std::pair<qint64, QString>> cases = {
        {1023, u"1023 bytes"_s},         {1024, u"1 KB"_s},        {1100, u"1,1 KB"_s},
        {1024 * 1024, u"1 MB"_s},        {2047 * 1024, u"2 MB"_s}, {qint64(5) << 40, u"5 TB"_s},
        {qint64(1) << 60, u"1024 PB"_s},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(documentSizeText(bytes, de), text) << bytes;
}

struct Documents : ::testing::Test {
    Documents() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        folder = open.dir.filePath(QStringLiteral("Belege"));
        QDir().mkpath(folder);
        open.settings.setPath(prefs::prefsDocPath, folder + u'/');
        RecordPtr year = Record::create(RecordClass::Year, books().nowStamp());
        year->set(keys::dateValue, QStringLiteral("2024"));
        statement = Record::create(RecordClass::Thelist, books().nowStamp());
        statement->set(keys::title, QStringLiteral("Mai"));
        item = Record::create(RecordClass::Item, books().nowStamp());
        statement->items().push_back(item);
        year->thelists().push_back(statement);
        books().database().years.push_back(year);
        books().selection().setYearIndex(0);
        books().selection().setStatementIndex(0);
        books().selection().setSelectedItems({item});
    }
    Books& books() { return open.app.books(); }
    test::FakeUi& ui() { return open.ui; }
    QString source(const QString& name, const QByteArray& bytes = "Beleg") {
        test::writeAll(open.dir.filePath(name), bytes);
        return open.dir.filePath(name);
    }
    QStringList copies() const { return QDir(folder).entryList(QDir::Files | QDir::Hidden); }

    test::OpenBooks open;
    QString folder;
    RecordPtr statement, item;
    DocumentsController docs{open.app.books()};
};

TEST_F(Documents, ACopyNeverReplacesAFile) {
    // A file the person keeps there already under the first copy name.
    test::writeAll(folder + u"/1714564800_Beleg.pdf"_s, "alt");
    const QString src = source(u"Beleg.pdf"_s, "neu");
    ASSERT_TRUE(docs.attach(Panel::Item, src));
    const QString first = item->text(keys::filePath);
    EXPECT_EQ(first, folder + u"/1714564800_Beleg-2.pdf"_s);
    EXPECT_EQ(test::readAll(first), "neu");
    EXPECT_EQ(test::readAll(folder + u"/1714564800_Beleg.pdf"_s), "alt");
}

TEST_F(Documents, HostileNamesStayInTheDocumentsFolder) {
    const QString src = source(u"a\nb\u2028c .. .pdf"_s);
    ASSERT_TRUE(docs.attach(Panel::Item, src));
    EXPECT_EQ(item->text(keys::filePath), folder + u"/1714564800_a-b-c .. .pdf"_s);
    // A name of 250 bytes still gives a copy name the file system takes.
    const QString longName = QString(246, u'x') + u".pdf"_s;
    ASSERT_TRUE(docs.attach(Panel::Item, source(longName)));
    EXPECT_TRUE(QFile::exists(item->text(keys::filePath)));
    EXPECT_EQ(QFileInfo(item->text(keys::filePath)).absolutePath(), folder);
}

TEST_F(Documents, AFailedCopyIsToldAndTheRecordKeepsItsDocument) {
    ASSERT_TRUE(docs.attach(Panel::Item, source(u"alt.pdf"_s)));
    const QString before = item->text(keys::filePath);
    const uint64_t changes = books().changeCount();
    const QString gone = open.dir.filePath(u"weg.pdf"_s);
    EXPECT_FALSE(docs.attach(Panel::Item, gone));
    EXPECT_FALSE(docs.receiveDroppedFiles(Panel::Item, {gone}));
    ui().dialogs.push_back(gone);
    EXPECT_FALSE(docs.selectFile(Panel::Statement));
    EXPECT_FALSE(docs.attach(Panel::Item, open.dir.path()));  // a folder
    ASSERT_EQ(ui().alerts.size(), 4u);
    // Without a document before, the alert does not speak of one.
    EXPECT_EQ(ui().alerts[2].message,
              kDocCopyMessage.arg(u"Die Datei „weg.pdf“ gibt es nicht mehr."_s));
    EXPECT_EQ(item->text(keys::filePath), before);
    EXPECT_TRUE(statement->files().empty());
    EXPECT_EQ(books().changeCount(), changes);
    EXPECT_EQ(copies().size(), 1u);
}

TEST_F(Documents, UnreadableFileIsToldInGerman) {
    if (quandor::test::rerunUnprivileged()) return;  // root reads every file
    const QString src = source(u"geheim.pdf"_s);
    QFile::setPermissions(src, QFileDevice::Permissions{});
    EXPECT_FALSE(docs.attach(Panel::Item, src));
    ASSERT_EQ(ui().alerts.size(), 1u);
    EXPECT_EQ(ui().alerts[0].message,
              kDocCopyMessage.arg(
                  u"Die Datei „geheim.pdf“ lässt sich nicht lesen: dir fehlen die Leserechte."_s));
    EXPECT_TRUE(copies().isEmpty());
}

TEST_F(Documents, MissingOrUnusableFolderGivesTheAlertAndCopiesNothing) {
    const QString src = source(u"Beleg.pdf"_s);
    const QString file = source(u"keinOrdner"_s);
    for (const QString& where : {open.dir.filePath(u"fehlt/"_s), file}) {
        open.settings.setPath(prefs::prefsDocPath, where);
        ui().alerts.clear();
        EXPECT_FALSE(docs.selectFile(Panel::Item));
        EXPECT_FALSE(docs.receiveDroppedFiles(Panel::Item, {src}));
        EXPECT_FALSE(docs.attach(Panel::Year, src));
        ASSERT_EQ(ui().alerts.size(), 3u);
        for (const auto& a : ui().alerts) {
            EXPECT_EQ(a.title, kDocFolderTitle);
            EXPECT_EQ(a.message, kDocFolderMessage);
        }
    }
    EXPECT_TRUE(ui().dialogTitles.empty());  // the dialog never opened
    EXPECT_TRUE(item->text(keys::filePath).isEmpty());
    EXPECT_TRUE(books().database().years[0]->files().empty());
    EXPECT_EQ(books().changeCount(), 0u);
}

TEST_F(Documents, DropTakesOnlyTheFirstFileAndNeedsASelectedRecord) {
    const QStringList three = {source(u"eins.pdf"_s), source(u"zwei.pdf"_s), source(u"drei.pdf"_s)};
    EXPECT_FALSE(
        docs.receiveDroppedFiles(Panel::Statement, three));  // no row selected: no new row either
    EXPECT_TRUE(statement->files().empty());
    ASSERT_TRUE(docs.receiveDroppedFiles(Panel::Item, three));
    EXPECT_EQ(item->text(keys::filePath), folder + u"/1714564800_eins.pdf"_s);
    EXPECT_EQ(copies().size(), 1u);
    books().selection().setSelectedItems({});
    EXPECT_FALSE(docs.receiveDroppedFiles(Panel::Item, three));
    EXPECT_TRUE(ui().alerts.empty());
}

TEST_F(Documents, ListPanelAddsRowsThroughTheDialogAndShowsTheDocument) {
    ui().dialogs.push_back(source(u"Kontoauszug.pdf"_s, QByteArray(1536, 'x')));
    ASSERT_TRUE(docs.selectFile(Panel::Statement));
    ASSERT_EQ(statement->files().size(), 1u);
    EXPECT_EQ(docs.selectedRow(Panel::Statement), 0);
    const DocumentInfo info = docs.changeProperties(Panel::Statement);
    EXPECT_EQ(info.state, DocumentInfo::State::Present);
    EXPECT_EQ(info.title, u"1714564800_Kontoauszug"_s);
    EXPECT_EQ(statement->files()[0]->text(keys::fileTitle), info.title);
    EXPECT_EQ(info.size, u"1,5 KB"_s);
    EXPECT_FALSE(info.kind.isEmpty());
    EXPECT_FALSE(info.modified.isEmpty());

    // The copy deleted outside: the panel says so; the record stays.
    QFile::remove(statement->files()[0]->text(keys::filePath));
    const DocumentInfo gone = docs.changeProperties(Panel::Statement);
    EXPECT_EQ(gone.state, DocumentInfo::State::Missing);
    EXPECT_EQ(gone.iconName, u"No"_s);
    EXPECT_EQ(gone.title, u"Datei nicht mehr vorhanden"_s);
    EXPECT_TRUE(gone.size.isEmpty() && gone.kind.isEmpty());
    EXPECT_EQ(statement->files().size(), 1u);

    docs.setSelectedRow(Panel::Statement, 5);
    EXPECT_EQ(docs.changeProperties(Panel::Statement).iconName, u"dropIt"_s);
}

TEST_F(Documents, RevealAndOpenHandTheCopyOverOrSayWhyNot) {
    EXPECT_FALSE(docs.openFile(Panel::Item));  // nothing attached: a beep
    EXPECT_EQ(ui().beeps, 1);
    ASSERT_TRUE(docs.attach(Panel::Item, source(u"Beleg.pdf"_s)));
    EXPECT_TRUE(docs.revealFile(Panel::Item));
    EXPECT_TRUE(docs.openFile(Panel::Item));
    EXPECT_EQ(ui().opened,
              (std::vector<QString>{item->text(keys::filePath), item->text(keys::filePath)}));
    QFile::remove(item->text(keys::filePath));
    EXPECT_FALSE(docs.openFile(Panel::Item));
    ASSERT_EQ(ui().alerts.size(), 1u);
    EXPECT_EQ(ui().alerts[0].message, kDocMissingMessage.arg(item->text(keys::filePath)));
}

TEST_F(Documents, RemovingAsksAndKeepsTheFile) {
    ASSERT_TRUE(docs.attach(Panel::Year, source(u"Steuer.pdf"_s)));
    RecordList& files = books().database().years[0]->files();
    ui().answers = {1};  // Abbrechen
    EXPECT_FALSE(docs.removeDocument(Panel::Year));
    EXPECT_EQ(files.size(), 1u);
    const QString copy = files[0]->text(keys::filePath);
    EXPECT_TRUE(docs.removeDocument(Panel::Year));
    EXPECT_TRUE(files.empty());
    EXPECT_TRUE(QFile::exists(copy));
    EXPECT_EQ(ui().alerts.back().buttons, (QStringList{u"Löschen"_s, u"Abbrechen"_s}));

    ASSERT_TRUE(docs.attach(Panel::Item, source(u"Quittung.pdf"_s)));
    EXPECT_TRUE(docs.removeDocument(Panel::Item));
    EXPECT_TRUE(item->text(keys::filePath).isEmpty());
    EXPECT_FALSE(docs.removeDocument(Panel::Item));  // nothing left: a beep
}

}  // namespace
}  // namespace quandor
