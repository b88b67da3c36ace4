// export statement through the command's function: files, exit codes and the
// German messages on stderr.
#include "cli/cli.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

using namespace quandor::cli;
using namespace Qt::StringLiterals;

namespace {

struct Outcome {
    int code = -1;
    QString err;
};

class StatementExportCommand : public ::testing::Test {
  protected:
    static QTemporaryDir* home;
    QString db, settings;

    static void SetUpTestSuite() {
        home = new QTemporaryDir;
        qputenv("XDG_DATA_HOME", home->filePath(u"share"_s).toUtf8());
        QDir().mkpath(home->filePath(u"share"_s));
    }
    static void TearDownTestSuite() { delete home; }

    void SetUp() override {
        db = home->filePath(u"books.mdb"_s);
        settings = home->filePath(u"s.conf"_s);
        if (!QFile::exists(db)) {
            ASSERT_EQ(runCli({"generate", "--items", "5", "--out", db}).code, 0);
        }
        ASSERT_EQ(runCli({"--settings", settings, "settings", "set", "firstStepsDone", "true", "--type", "bool"}).code, 0);
    }

    Outcome runCli(const QStringList& arguments) {
        FILE* out = std::tmpfile();
        FILE* err = std::tmpfile();
        Outcome r;
        r.code = run(arguments, out, err);
        std::rewind(err);
        char buf[4096];
        const size_t n = std::fread(buf, 1, sizeof buf, err);
        r.err = QString::fromUtf8(buf, qsizetype(n));
        std::fclose(out);
        std::fclose(err);
        return r;
    }

    Outcome exportStatement(const QStringList& options) {
        // Global options, then the command's own as the command table passes them.
        Context ctx;
        ctx.global.settingsPath = settings;
        ctx.global.dbPath = db;
        ctx.global.now = u"2026-02-01T09:00:00Z"_s;
        FILE* err = std::tmpfile();
        ctx.err = err;
        QStringList words;
        std::map<QString, QString> values;
        for (int i = 0; i < options.size(); ++i) {
            if (options[i].startsWith(u"--"_s) && i + 1 < options.size())
                values[options[i]] = options[i + 1], ++i;
            else
                words << options[i];
        }
        Outcome r;
        r.code = statementExportCommand(ctx, Args(words, values, {}));
        std::rewind(err);
        char buf[4096];
        r.err = QString::fromUtf8(buf, qsizetype(std::fread(buf, 1, sizeof buf, err)));
        std::fclose(err);
        return r;
    }

    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};
QTemporaryDir* StatementExportCommand::home = nullptr;

}  // namespace

TEST_F(StatementExportCommand, WritesEveryFormat) {
    const std::vector<std::pair<QString, QByteArray>> formats = {
        {u"csv"_s, "\""}, {u"csv-semicolon"_s, "\"1\";\""}, {u"xml"_s, "<?xml version=\"1.0\""},
        {u"rtf"_s, "{\\rtf1"}, {u"pdf"_s, "%PDF-"}};
    for (const auto& [format, start] : formats) {
        const QString out = home->filePath(u"out."_s + format);
        const Outcome r = exportStatement({"statement", "--year", "2026", "--statement", "Januar", "--format",
                                       format, "--out", out});
        EXPECT_EQ(r.code, kDone) << format.toStdString() << r.err.toStdString();
        EXPECT_TRUE(read(out).startsWith(start)) << format.toStdString();
    }
    EXPECT_EQ(read(home->filePath(u"out.csv"_s)).count('\n'), 5);

    // The statement file is the transfer export's, byte for byte.
    const QString sheetFile = home->filePath(u"sheet.qndbt"_s);
    const QString transferFile = home->filePath(u"transfer.qndbt"_s);
    ASSERT_EQ(exportStatement({"statement", "--year", "2026", "--statement", "Januar", "--format", "qndbt",
                               "--out", sheetFile}).code, kDone);
    ASSERT_EQ(runCli({"--settings", settings, "--db", db, "export", "statement", "--year", "2026", "--statement",
                      "Januar", "--out", transferFile}).code, kDone);
    EXPECT_FALSE(read(sheetFile).isEmpty());
    EXPECT_EQ(read(sheetFile), read(transferFile));

    // The summary page, and the page files it leaves in the data folder.
    const QString summary = home->filePath(u"summary.pdf"_s);
    const Outcome r = exportStatement({"summary", "--year", "2026", "--statement", "Januar", "--out", summary});
    EXPECT_EQ(r.code, kDone) << r.err.toStdString();
    EXPECT_TRUE(read(summary).startsWith("%PDF-"));
    EXPECT_EQ(read(summary), read(home->filePath(u"share/Quandor/PDFPreviewTab.pdf"_s)));
    EXPECT_TRUE(read(home->filePath(u"share/Quandor/PDFPreviewTab.html"_s)).contains("Abrechnung Januar 2026"));
    EXPECT_TRUE(QFile::exists(home->filePath(u"share/Quandor/PDFPreviewTab.pdf"_s)));
}

TEST_F(StatementExportCommand, UsageErrorsAndRefusals) {
    const QString out = home->filePath(u"x.csv"_s);
    Outcome r = exportStatement({"statement", "--year", "1999", "--statement", "Januar", "--format", "csv", "--out", out});
    EXPECT_EQ(r.code, kUsage);
    EXPECT_EQ(r.err, u"Das Jahr „1999“ gibt es nicht.\n"_s);
    r = exportStatement({"statement", "--year", "2026", "--statement", "Mai", "--format", "csv", "--out", out});
    EXPECT_EQ(r.code, kUsage);
    EXPECT_EQ(r.err, u"Die Abrechnung „Mai“ gibt es im Jahr 2026 nicht.\n"_s);
    r = exportStatement({"statement", "--year", "2026", "--statement", "Januar", "--format", "ods", "--out", out});
    EXPECT_EQ(r.code, kUsage);
    // The summary page takes no format.
    r = exportStatement({"summary", "--year", "2026", "--statement", "Januar", "--format", "pdf", "--out", out});
    EXPECT_EQ(r.code, kUsage);
    EXPECT_FALSE(QFile::exists(out));

    // A statement without items is refused as the export sheet refuses it.
    ASSERT_EQ(runCli({"--settings", settings, "--db", db, "statement", "add", "--year", "2026", "Februar"}).code, 0);
    r = exportStatement({"statement", "--year", "2026", "--statement", "Februar", "--format", "csv", "--out", out});
    EXPECT_EQ(r.code, kRefused);
    EXPECT_EQ(r.err, u"Fehler!: Du musst erst eine Abrechnung und zugehörige Posten anlegen.\n"_s);
    EXPECT_FALSE(QFile::exists(out));

    // A folder that is not there: the file error exit code.
    r = exportStatement({"statement", "--year", "2026", "--statement", "Januar", "--format", "xml", "--out",
                         home->filePath(u"fehlt/x.xml"_s)});
    EXPECT_EQ(r.code, kFileError);
    EXPECT_TRUE(r.err.startsWith(u"Fehler!: Die Datei „"_s)) << r.err.toStdString();
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
