// Transfer files: what the program writes is what an independent reader reads,
// imports append or replace as the file menu promises, and a file of the wrong
// kind or a damaged one changes nothing.

#include "core/app_delegate.h"
#include "core/archive/archive.h"
#include "core/archive/canonical_json.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/transfer.h"
#include "support/fake_ui.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/files.h"

#include <gtest/gtest.h>

using namespace quandor;
using test::readAll;
using namespace Qt::StringLiterals;

namespace {

const Date kNow = Date::fromUnix(1714564800);

RecordPtr item(const QString& title, float amount, const QString& statement) {
    RecordPtr i = Record::create(RecordClass::Item, kNow);
    i->set(keys::title, title);
    i->set(Key(u"amount"), amount);
    i->set(keys::parentTab, statement);
    i->set(keys::UUID, u"uuid-"_s + title);
    return i;
}

RecordPtr statement(const QString& title, int items) {
    RecordPtr s = Record::create(RecordClass::Thelist, kNow);
    s->set(keys::title, title);
    for (int n = 0; n < items; ++n)
        s->items().push_back(item(u"Posten %1"_s.arg(n), 10.5f + n, title));
    return s;
}

RecordPtr year(const QString& name) {
    RecordPtr y = Record::create(RecordClass::Year, kNow);
    y->set(keys::dateValue, name);
    y->thelists() = {statement(u"Januar"_s, 3), statement(u"Februar – „Ümlaut“"_s, 2)};
    return y;
}

RecordPtr account(const QString& number, const QString& title) {
    RecordPtr a = Record::create(RecordClass::Account, kNow);
    a->set(keys::number, number);
    a->set(keys::title, title);
    return a;
}

struct TransferHome {
    QTemporaryDir dir;
    Settings settings{dir.filePath(u"q.conf"_s)};
    test::FakeUi ui;
    QuandorAppDelegate app{settings, ui, Paths::under(dir.path())};
    TransferController transfer{app};

    TransferHome() {
        app.setYears({year(u"2023"_s), year(u"2024"_s)});
        app.setAccounts({account(u"4400"_s, u"Erlöse"_s), account(u"6815"_s, u"Bürobedarf"_s)});
        app.setGroups({Record::create(RecordClass::Group, kNow)});
        app.selection().setYearIndex(1);
        app.selection().setStatementIndex(0);
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString dumpOf(const Database& db) const {
        return QString::fromUtf8(archive::canonicalJson(db.toRoot()));
    }
};

// What a file holds, in the canonical form the dump prints.
QByteArray contentOf(const QString& path) {
    const archive::ReadResult read = archive::readFile(path);
    return read.ok ? archive::canonicalJson(read.root) : QByteArray("<nicht lesbar>");
}

}  // namespace

// That an independent reader reads every transfer file as the program does is
// proven by the golden transfer case; here the menu exports the selection.
TEST(TransferFiles, YearAndStatementExportsWriteTheSelection) {
    TransferHome home;
    home.ui.dialogs = {home.path(u"Jahr.qndby"_s), home.path(u"Abrechnung.qndbt"_s)};
    ASSERT_TRUE(home.transfer.exportYear());
    ASSERT_TRUE(home.transfer.exportTab());
    EXPECT_EQ(home.ui.dialogTitles, (std::vector<QString>{u"Quandor Jahr Exportieren"_s,
                                                          u"Quandor Abrechnung Exportieren"_s}));
    const RecordPtr y = home.app.years()[1];
    EXPECT_EQ(contentOf(home.path(u"Jahr.qndby"_s)), archive::canonicalJson(Value(y)));
    EXPECT_EQ(contentOf(home.path(u"Abrechnung.qndbt"_s)),
              archive::canonicalJson(Value(y->thelists()[0])));
}

// That both equal the exported year is proven by the golden transfer case.
TEST(TransferFiles, ImportingAYearTwiceGivesTwoIndependentYears) {
    TransferHome home;
    const QString file = home.path(u"y.qndby"_s);
    ASSERT_TRUE(home.transfer.exportYearTo(home.app.years()[0], file));
    ASSERT_TRUE(home.transfer.importYearFrom(file));
    ASSERT_TRUE(home.transfer.importYearFrom(file));
    ASSERT_EQ(home.app.years().size(), 4u);
    const RecordPtr a = home.app.years()[2];
    const RecordPtr b = home.app.years()[3];
    EXPECT_EQ(home.app.selection().yearIndex(), 3);
    a->thelists()[0]->items()[0]->set(keys::title, u"geändert"_s);
    EXPECT_EQ(b->thelists()[0]->items()[0]->text(keys::title), u"Posten 0"_s);
}

TEST(TransferFiles, StatementIsAppendedToTheSelectedYearKeepingItsItemsStamps) {
    TransferHome home;
    const QString file = home.path(u"s.qndbt"_s);
    const RecordPtr source = home.app.years()[0]->thelists()[1];
    ASSERT_TRUE(writeStatementFile(source, file, nullptr));
    home.ui.dialogs = {file};
    ASSERT_TRUE(home.transfer.importTab());
    EXPECT_EQ(home.ui.dialogTitles.back(), u"Quandor Abrechnung Importieren"_s);
    const RecordPtr target = home.app.years()[1];
    ASSERT_EQ(target->thelists().size(), 3u);
    EXPECT_TRUE(*target->thelists()[2] == *source);
    EXPECT_EQ(target->thelists()[2]->items()[1]->text(keys::UUID), u"uuid-Posten 1"_s);
    EXPECT_EQ(home.app.selection().statementIndex(), 2);
}

TEST(TransferFiles, DatabaseAndAccountsReplaceOnlyAfterTheQuestion) {
    TransferHome home;
    TransferHome other;
    other.app.setYears({year(u"1999"_s)});
    other.app.setGroups({});
    other.app.setAccounts({account(u"1000"_s, u"Kasse"_s)});
    const QString db = home.path(u"d.qndb"_s);
    const QString accounts = home.path(u"k.kmdb"_s);
    ASSERT_TRUE(other.transfer.exportDatabaseTo(db));
    ASSERT_TRUE(other.transfer.exportAccountsTo(accounts));

    const QString before = home.dumpOf(home.app.database());
    home.ui.answers = {1, 1};  // "Abbrechen"
    EXPECT_FALSE(home.transfer.importDatabase());
    EXPECT_FALSE(home.transfer.importAccounts());
    EXPECT_TRUE(home.ui.dialogTitles.empty());
    EXPECT_EQ(home.dumpOf(home.app.database()), before);

    home.ui.dialogs = {accounts};
    ASSERT_TRUE(home.transfer.importAccounts());
    ASSERT_EQ(home.app.accounts().size(), 1u);
    EXPECT_EQ(home.app.years().size(), 2u);

    home.ui.dialogs = {db};
    ASSERT_TRUE(home.transfer.importDatabase());
    EXPECT_EQ(home.ui.alerts.back().buttons, (QStringList{u"Importieren …"_s, u"Abbrechen"_s}));
    EXPECT_EQ(home.dumpOf(home.app.database()), other.dumpOf(other.app.database()));
    EXPECT_TRUE(home.app.groups().empty());
}

TEST(TransferFiles, WrongKindOrDamagedFilesAreRefusedAndChangeNothing) {
    TransferHome home;
    const QString y = home.path(u"y.qndby"_s), s = home.path(u"s.qndbt"_s);
    const QString d = home.path(u"d.qndb"_s), k = home.path(u"k.kmdb"_s);
    ASSERT_TRUE(home.transfer.exportYearTo(home.app.years()[0], y));
    ASSERT_TRUE(writeStatementFile(home.app.years()[0]->thelists()[0], s, nullptr));
    ASSERT_TRUE(home.transfer.exportDatabaseTo(d));
    ASSERT_TRUE(home.transfer.exportAccountsTo(k));
    QByteArray damaged = readAll(y);
    damaged.truncate(damaged.size() / 2);
    const QString broken = home.path(u"kaputt.qndby"_s);
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(damaged);
    f.close();
    const QString text = home.path(u"text.qndb"_s);
    QFile t(text);
    ASSERT_TRUE(t.open(QIODevice::WriteOnly));
    t.write("\"4400\",\"Erlöse\"\n");
    t.close();

    const QString before = home.dumpOf(home.app.database());
    const uint64_t changes = home.app.changeCount();
    struct Case {
        bool (TransferController::*import)(const QString&);
        QStringList refused;
    };
    const Case cases[] = {
        {&TransferController::importDatabaseFrom,
         {y, s, k, broken, text, home.path(u"fehlt.qndb"_s)}},
        {&TransferController::importYearFrom, {s, d, k, broken, text}},
        {&TransferController::importTabFrom, {y, d, k, broken, text}},
        {&TransferController::importAccountsFrom, {y, s, d, broken, text}},
    };
    size_t alerts = 0;
    for (const Case& c : cases)
        for (const QString& file : c.refused) {
            EXPECT_FALSE((home.transfer.*c.import)(file)) << file.toStdString();
            ASSERT_EQ(home.ui.alerts.size(), ++alerts);
            EXPECT_EQ(home.ui.alerts.back().title, u"Fehler!"_s);
            EXPECT_TRUE(home.ui.alerts.back().message.endsWith(u"Es wurde nichts verändert."_s));
        }
    EXPECT_EQ(home.dumpOf(home.app.database()), before);
    EXPECT_EQ(home.app.changeCount(), changes);
}

TEST(TransferFiles, FailedExportIsToldAndNothingSelectedDoesNothing) {
    TransferHome home;
    EXPECT_FALSE(home.transfer.exportDatabaseTo(home.path(u"fehlt/d.qndb"_s)));
    ASSERT_EQ(home.ui.alerts.size(), 1u);
    EXPECT_EQ(home.ui.alerts[0].title, u"Fehler!"_s);

    // Nothing selected: no dialog and no file, but the person is told why.
    home.app.setYears({});
    EXPECT_FALSE(home.transfer.exportYear());
    EXPECT_FALSE(home.transfer.exportTab());
    EXPECT_TRUE(home.ui.dialogTitles.empty());
    ASSERT_EQ(home.ui.alerts.size(), 3u);
    EXPECT_EQ(home.ui.alerts[1].title, u"Hinweis!"_s);
    EXPECT_EQ(home.ui.alerts[1].message,
              u"Bitte wähle zuerst das Jahr aus, das du exportieren möchtest."_s);
    EXPECT_EQ(home.ui.alerts[2].message,
              u"Bitte wähle zuerst die Abrechnung aus, die du exportieren möchtest."_s);
}

TEST(TransferFiles, AccountsCsvGoesThroughItsDialog) {
    TransferHome home;
    home.settings.setText(u"prefsCompany", u"Muster GmbH"_s);
    home.ui.dialogs = {home.path(u"k.csv"_s)};
    ASSERT_TRUE(home.transfer.exportAccountsCSV());
    EXPECT_EQ(home.ui.dialogTitles, (std::vector<QString>{u"CSV Datei Exportieren"_s}));
    EXPECT_EQ(readAll(home.path(u"k.csv"_s)), "\"4400\",\"Erlöse\"\n\"6815\",\"Bürobedarf\"\n");
}
