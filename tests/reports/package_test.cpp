// The reports window's export (formats, dialogs, the year's items in order and
// numbered through the year) and the tax-advisor package (documents, faults
// told at the end, the success alert and the mail hand-off).
#include "support/files.h"
#include "support/report_books.h"
#include "support/unprivileged.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>

namespace quandor {
namespace {

using J = JournalController;
namespace P = prefs;

struct PackageFixture : test::ReportBooks {
    PackageFixture() { settings().setBool(P::geduld, true); }
    QString path(const QString& name) { return open.dir.filePath(name); }

    RecordPtr item(const RecordPtr& list, const QString& title, int day,
                   const QString& document = {}) {
        RecordPtr r = Record::create(RecordClass::Item, Date{});
        r->set(keys::title, title);
        r->set(keys::date, Date{day * 86400.0});
        r->set(keys::finalAmount, 10.0f * float(day));
        r->set(keys::filePath, document);
        list->items().push_back(r);
        return r;
    }
    QString document(const QString& relative, const QByteArray& content) {
        test::writeAll(path(relative), content);
        return path(relative);
    }
    static QByteArray read(const QString& p) { return test::readAll(p); }
    // Builds the package into `folder` and runs the chain to its end.
    bool package(const QString& folder) {
        const bool started = journal.steuerberaterAction(folder);
        ui().runScheduled();
        return started;
    }
};

// ---- the report export --------------------------------------------------------------

TEST_F(PackageFixture, EachStoredFormatHasItsDialogAndFile) {
    RecordPtr jan = statement(QStringLiteral("Januar"));
    item(jan, QStringLiteral("Miete"), 3);
    year->set(keys::dateValue, QStringLiteral("2024/25"));
    struct Case {
        int stored;
        const char16_t* title;
        const char16_t* type;
        const char* start;
    };
    const Case cases[] = {
        {0, u"PDF Datei Exportieren", u"pdf", "%PDF"},
        {1, u"Text Datei Exportieren", u"rtf", "{\\rtf"},
        {2, u"CSV Datei Exportieren", u"csv", "\""},
        {3, u"XML Datei Exportieren", u"xml", "<?xml"},
        {4, u"Quandor Datei Exportieren", u"qndby", "bplist"},
        {9, u"CSV Datei Exportieren", u"csv", "\"1\";"},
        {7, u"CSV Datei Exportieren", u"csv", "\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        settings().setInt(P::prefsSelectedExportJournal, c.stored);
        const QString out = path(QStringLiteral("export-%1").arg(c.stored));
        ui().dialogs.push_back(out);
        journal.journalButtonTagAction(1);
        journal.exportJournal();
        ui().runScheduled();
        EXPECT_EQ(ui().dialogTitles.back(), QString::fromUtf16(c.title));
        // The year's name holds a "/": the proposal must stay one file name.
        EXPECT_EQ(ui().dialogProposals.back(),
                  QString::fromUtf16(c.type) + QStringLiteral(" 2024-25 | Umsatz"));
        EXPECT_TRUE(read(out).startsWith(c.start)) << read(out).left(20).toStdString();
        EXPECT_FALSE(journal.isGenerating());
        EXPECT_FALSE(settings().getBool(P::doExportJornalAction));
    }
    // 99: the notice, no dialog, nothing written.
    settings().setInt(P::prefsSelectedExportJournal, 99);
    const size_t dialogs = ui().dialogTitles.size();
    journal.exportJournal();
    ui().runScheduled();
    EXPECT_EQ(ui().dialogTitles.size(), dialogs);
    ASSERT_EQ(ui().alerts.size(), 1u);
    EXPECT_EQ(ui().alerts[0].title, QStringLiteral("Hinweis!"));
    EXPECT_EQ(ui().alerts[0].message, J::kDatevNotice);
    // A cancelled dialog writes nothing and ends the run.
    settings().setInt(P::prefsSelectedExportJournal, 2);
    ui().dialogs.push_back(std::nullopt);
    journal.exportJournal();
    ui().runScheduled();
    EXPECT_FALSE(journal.isGenerating());
}

TEST_F(PackageFixture, ItemsFollowTheStoredStatementsByDateNumberedThroughTheYear) {
    // Statements deliberately not in calendar order, items not in date order.
    RecordPtr b = statement(QStringLiteral("B"));
    RecordPtr a = statement(QStringLiteral("A"));
    item(b, QStringLiteral("b3"), 30);
    item(b, QStringLiteral("b1"), 10);
    item(b, QStringLiteral("b2"), 20);
    item(b, QStringLiteral("b1-gleich"), 10);  // same date: stays after b1
    item(a, QStringLiteral("a2"), 5);
    item(a, QStringLiteral("a1"), 1);
    const QStringList expected = {u"b1"_qs, u"b1-gleich"_qs, u"b2"_qs,
                                  u"b3"_qs, u"a1"_qs,        u"a2"_qs};

    QStringList xmlTitles, xmlNumbers;
    const QString xml = journal.xmlString();
    for (const auto& m : QRegularExpression(u"<col0>(\\d+)</col0>\\s*<col1>[^<]*</col1>\\s*"
                                            u"<col2>([^<]*)</col2>"_qs)
                             .globalMatch(xml)) {
        xmlNumbers << m.captured(1);
        xmlTitles << m.captured(2);
    }
    EXPECT_EQ(xmlTitles, expected);
    EXPECT_EQ(xmlNumbers, (QStringList{u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs, u"5"_qs, u"6"_qs}));

    const QStringList lines = journal.csvStringMac().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6);
    for (int i = 0; i < 6; ++i) {
        const QStringList f = lines[i].split(u';');
        EXPECT_EQ(f[0], QStringLiteral("\"%1\"").arg(i + 1));
        EXPECT_EQ(f[3], QStringLiteral("\"%1\"").arg(expected[i]));
    }
    const QStringList plain = journal.csvString().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(plain.size(), 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(plain[i].split(u',')[2], u'"' + expected[i] + u'"');
}

// ---- the package ----------------------------------------------------------------------

TEST_F(PackageFixture, RefusalsBuildNothing) {
    const QString folder = path(QStringLiteral("paket"));
    settings().setBool(P::firstStepsDone, false);
    EXPECT_FALSE(package(folder));
    settings().setBool(P::firstStepsDone, true);
    EXPECT_FALSE(package(folder));
    EXPECT_EQ(ui().titles(), (QStringList{u"Hinweis!"_qs, u"Fehler!"_qs}));
    EXPECT_EQ(ui().alerts[1].message, J::kNoItems);
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST_F(PackageFixture, EveryDocumentArrivesAndTheAlertComesLast) {
    RecordPtr jan = statement(QStringLiteral("Januar"));
    const QString first = document(u"x/Rechnung.pdf"_qs, "erste");
    const QString second = document(u"y/Rechnung.pdf"_qs, "zweite");
    const QString third = document(u"z/rechnung.pdf"_qs, "dritte");  // same name to the eye
    item(jan, u"eins"_qs, 1, first);
    item(jan, u"zwei"_qs, 2, second);
    item(jan, u"drei"_qs, 3, third);
    item(jan, u"nochmal eins"_qs, 4, first);  // the same document once
    item(jan, u"ohne"_qs, 5, u"abc"_qs);      // too short to be a path
    settings().setBool(P::geduld, false);     // the notice comes anyway
    std::vector<QString> steps;
    journal.hooks().packaging = [&](bool busy, const QString& step) {
        steps.push_back(busy ? step : u"fertig"_qs);
    };
    const QString folder = path(QStringLiteral("Schreibtisch/Quandor Jahresberichte"));
    ASSERT_TRUE(package(folder));
    EXPECT_EQ(ui().titles(), (QStringList{J::kPatienceTitle, J::kSuccessTitle}));
    EXPECT_EQ(ui().alerts[0].message, J::kPackagePatience);
    EXPECT_EQ(ui().alerts[1].message, J::kSuccess);
    EXPECT_EQ(ui().alerts[1].buttons,
              (QStringList{u"OK"_qs, u"Anzeigen"_qs, u"Als Mailanhang verschicken …"_qs}));
    EXPECT_EQ(read(folder + u"/Dateien/Rechnung.pdf"_qs), "erste");
    EXPECT_EQ(read(folder + u"/Dateien/Rechnung (2).pdf"_qs), "zweite");
    EXPECT_EQ(read(folder + u"/Dateien/rechnung (3).pdf"_qs), "dritte");
    EXPECT_EQ(QDir(folder + u"/Dateien"_qs).entryList(QDir::Files).size(), 3);
    for (const char* f : {"Umsatz.pdf", "Monate.pdf", "Steuern.pdf", "Gewinne.pdf"})
        EXPECT_TRUE(read(folder + u'/' + QLatin1String(f)).startsWith("%PDF")) << f;
    EXPECT_TRUE(journal.lastPackage().failed.isEmpty());
    EXPECT_FALSE(journal.isPackaging());
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.back(), u"fertig"_qs);
    for (int delay : ui().scheduledDelays) EXPECT_LT(delay, 100);  // no fixed waits
}

TEST_F(PackageFixture, FailedWritesAndVanishedDocumentsAreToldInsteadOfSuccess) {
    RecordPtr jan = statement(QStringLiteral("Januar"));
    item(jan, u"weg"_qs, 1, path(u"gibt-es-nicht.pdf"_qs));
    item(jan, u"da"_qs, 2, document(u"d/Beleg.pdf"_qs, "beleg"));
    const QString folder = path(QStringLiteral("paket"));
    // Where the XML and the report PDF should go, folders stand in the way.
    ASSERT_TRUE(QDir().mkpath(folder + u"/Jahresbericht.xml/x"_qs));
    ASSERT_TRUE(QDir().mkpath(folder + u"/Steuern.pdf/x"_qs));
    ui().answers = {0, 1};  // "Geduld!", then "Anzeigen"
    ASSERT_TRUE(package(folder));
    ASSERT_EQ(ui().alerts.size(), 2u);
    EXPECT_EQ(ui().alerts[1].title, u"Fehler!"_qs);
    const QString message = ui().alerts[1].message;
    EXPECT_TRUE(message.contains(u"gibt-es-nicht.pdf“"_qs)) << message.toStdString();
    EXPECT_TRUE(message.contains(u"„Jahresbericht.xml“ konnte nicht geschrieben werden"_qs));
    EXPECT_TRUE(message.contains(u"„Steuern.pdf“ konnte nicht geschrieben werden"_qs));
    EXPECT_EQ(ui().alerts[1].buttons, (QStringList{u"OK"_qs, u"Anzeigen"_qs}));
    EXPECT_EQ(ui().opened, std::vector<QString>{folder});
    EXPECT_EQ(read(folder + u"/Dateien/Beleg.pdf"_qs), "beleg");
    EXPECT_EQ(journal.lastPackage().failed.size(), 3);

    // "Dateien" a file: no document can be copied, and that is said.
    QDir(folder + u"/Dateien"_qs).removeRecursively();
    document(u"paket/Dateien"_qs, "datei");
    ASSERT_TRUE(package(folder));
    EXPECT_TRUE(journal.lastPackage().failed.join(u' ').contains(
        u"Der Ordner „Dateien“ konnte nicht angelegt werden"_qs));
}

TEST_F(PackageFixture, ReadOnlyDesktopIsToldAndNothingPassesAsSuccess) {
    if (test::rerunUnprivileged()) return;
    RecordPtr jan = statement(QStringLiteral("Januar"));
    item(jan, u"eins"_qs, 1);
    const QString desktop = path(QStringLiteral("Schreibtisch"));
    ASSERT_TRUE(QDir().mkpath(desktop + u"/alt"_qs));
    QFile::setPermissions(desktop, QFile::ReadOwner | QFile::ExeOwner);
    // The folder cannot be made: said at once, nothing started.
    EXPECT_FALSE(package(desktop + u"/Quandor Jahresberichte"_qs));
    EXPECT_EQ(ui().alerts.back().title, u"Fehler!"_qs);
    EXPECT_TRUE(ui().alerts.back().message.contains(u"konnte nicht angelegt werden"_qs));
    EXPECT_FALSE(journal.isPackaging());
    // The folder exists but is read-only: every file is named at the end.
    const QString folder = desktop + u"/alt"_qs;
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    ASSERT_TRUE(package(folder));
    EXPECT_EQ(ui().count(J::kSuccessTitle), 0);
    EXPECT_EQ(ui().alerts.back().title, u"Fehler!"_qs);
    EXPECT_TRUE(journal.lastPackage().written.isEmpty());
    EXPECT_EQ(journal.lastPackage().failed.size(), 7);  // CSV, 4 PDFs, "Dateien", XML
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(desktop, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(PackageFixture, MailHandsTheZippedFolderToXdgEmail) {
    RecordPtr jan = statement(QStringLiteral("Januar"));
    item(jan, u"eins"_qs, 1);
    const QString folder = path(QStringLiteral("paket"));
    ui().answers = {0, 2};
    ASSERT_TRUE(package(folder));
    ASSERT_EQ(ui().launches.size(), 1u);
    EXPECT_EQ(ui().launches[0].program, u"xdg-email"_qs);
    const QStringList args = ui().launches[0].arguments;
    ASSERT_EQ(args.size(), 4);
    EXPECT_EQ(args[0], u"--body"_qs);
    EXPECT_EQ(args[1], u"Pellmor Quandor Anhang "_qs);
    EXPECT_EQ(args[2], u"--attach"_qs);
    EXPECT_TRUE(read(args[3]).startsWith("PK"));

    // No mail program: said, with where the zip lies.
    ui().launchSucceeds = false;
    ui().answers = {0, 2};
    ASSERT_TRUE(package(folder));
    EXPECT_EQ(ui().alerts.back().title, u"Fehler!"_qs);
    EXPECT_TRUE(ui().alerts.back().message.startsWith(u"Das Mailprogramm konnte nicht"_qs));
}

}  // namespace
}  // namespace quandor
