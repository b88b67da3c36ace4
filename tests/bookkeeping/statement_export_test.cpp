// Printing and exporting a statement: the export texts byte for byte, the
// export sheet's dialogs and refusals, and the overview page.
#include "bookkeeping/item_calculation.h"
#include "bookkeeping/statement_exports.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "print/printable_text.h"
#include "support/books.h"
#include "support/pdf_text.h"

#include <QFile>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quandor;
using namespace Qt::StringLiterals;
namespace P = quandor::prefs;
using Result = StatementPrintController::ExportResult;

namespace {

QDateTime fixedNow() {
    return QDateTime::fromString(u"2024-04-02T12:00:00Z"_s, Qt::ISODate);
}

Date day(const char* iso) {
    return Date::fromUnix(
        double(QDateTime::fromString(QString::fromLatin1(iso) + u"T12:00:00Z"_s, Qt::ISODate)
                   .toSecsSinceEpoch()));
}

struct Desk : test::OpenBooks {
    StatementPrintController& controller = controllers.print;
    RecordPtr year, statement;

    Desk() : OpenBooks(fixedNow) {
        ui.runScheduledAtOnce = true;
        settings.setBool(P::firstStepsDone, true);
        settings.setText(P::prefsCompany, u"Muster & Söhne"_s);
        settings.setText(P::prefsTaxID, u"12/345/67890"_s);
        settings.setFloat(P::prefs1Rate, 19);
        settings.setFloat(P::prefs2Rate, 7);
        settings.setBool(P::prefsExportPrintWithList, true);
        year = Record::create(RecordClass::Year, app.nowStamp());
        year->set(keys::dateValue, u"2024"_s);
        statement = Record::create(RecordClass::Thelist, app.nowStamp());
        statement->set(keys::title, u"März"_s);
        year->thelists().push_back(statement);
        app.database().years.push_back(year);
        app.selection().setYearIndex(0);
        app.selection().setStatementIndex(0);
    }

    RecordPtr add(int kind, float amount, bool vat, int tag, const char* date,
                  const QString& title) {
        RecordPtr item = Record::create(RecordClass::Item, app.nowStamp());
        item->set(keys::kind, kind);
        item->set(keys::amount, amount);
        item->set(keys::taxBool, vat);
        item->set(keys::taxTag, tag);
        item->set(keys::date, day(date));
        item->set(keys::title, title);
        applyCalculation(*item, TaxRates{});
        statement->items().push_back(item);
        app.selection().refresh();
        return item;
    }

    // Three items: an expense with VAT and awkward texts, an income with VAT, one without.
    void fill() {
        RecordPtr a =
            add(kKindExpense, 119, true, 1, "2024-03-05", u"Büro, \"Bedarf\"\nzweite Zeile"_s);
        a->set(keys::group, u"Büro‚material"_s);
        a->set(keys::account, u"Bank, Giro"_s);
        a->set(keys::accountNumber, u"1800"_s);
        a->set(keys::number, u"R-1"_s);
        a->set(keys::misc1, u"B2"_s);
        RecordPtr b = add(kKindIncome, 1190, true, 1, "2024-03-10", u"Beratung & <Co>"_s);
        b->set(keys::group, u"Erlöse"_s);
        add(kKindIncome, 500, false, 0, "2024-03-01", u"Zuschuss"_s);
    }

    QByteArray read(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

// A title of `n` characters without a blank.
QString longWord(int n, QChar c = u'Q') {
    return QString(n, c);
}

}  // namespace

TEST(StatementExportTexts, CsvIsWindows1252WithCleanedFields) {
    Desk b;
    b.fill();
    const QByteArray csv = windows1252(b.controller.csvString());
    EXPECT_EQ(csv, QByteArray("\"01.03.24\",\"\",\"Zuschuss\",\"\",\"\",\"\",\"\",\"\",\"500,00\"\n"
                              "\"05.03.24\",\"B2\",\"B\xfcro |   Bedarf  zweite "
                              "Zeile\",\"R-1\",\"B\xfcro | material\","
                              "\"1800\",\"Bank |  Giro\",\"19,00 %\",\"-119,00\"\n"
                              "\"10.03.24\",\"\",\"Beratung & "
                              "<Co>\",\"\",\"Erl\xf6se\",\"\",\"\",\"19,00 %\",\"1.190,00\"\n"));
}

TEST(StatementExportTexts, StoredNumbersCannotBreakTheLines) {
    Desk b;
    RecordPtr a = b.add(kKindIncome, 10, false, 0, "2024-03-05", u"X"_s);
    a->set(keys::misc1, u"B\"7"_s);
    a->set(keys::number, u"R\n1"_s);
    a->set(keys::accountNumber, u"18,00"_s);
    EXPECT_EQ(b.controller.csvString(),
              u"\"05.03.24\",\"B 7\",\"X\",\"R 1\",\"\",\"18,00\",\"\",\"\",\"10,00\"\n"_s);
}

// Only the PDF renders a page, and it is rendered when written: once the
// overview was rendered before every export, and a long title took minutes.
TEST(StatementExport, SheetWritesTheChosenFormatThroughTheDialog) {
    Desk b;
    b.fill();
    b.add(kKindExpense, 5, false, 0, "2024-03-07", longWord(10000));
    struct Case {
        int tab;
        QString title, type;
        QByteArray start;
    };
    const std::vector<Case> cases = {
        {2, u"CSV Datei Exportieren"_s, u"csv"_s, "\"01.03.24\","},
        {9, u"CSV Datei Exportieren"_s, u"csv"_s, "\"1\";"},
        {7, u"CSV Datei Exportieren"_s, u"csv"_s, "\"01.03.24\","},
        {3, u"XML Datei Exportieren"_s, u"xml"_s, "<?xml"},
        {1, u"Text Datei Exportieren"_s, u"rtf"_s, "{\\rtf1"},
        {0, u"PDF Datei Exportieren"_s, u"pdf"_s, "%PDF-"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tab);
        b.settings.setInt(P::prefsSelectedExportTab, c.tab);
        const QString out = b.dir.filePath(u"Abrechnung%1.%2"_s.arg(c.tab).arg(c.type));
        b.ui.dialogs.push_back(out);
        b.controller.openTabJournalExport();
        EXPECT_TRUE(b.controller.exportButtonEnabled());
        EXPECT_FALSE(QFile::exists(b.controller.previewPdfPath()));
        EXPECT_EQ(b.controller.closeTabJournalExport(), Result::Written);
        EXPECT_EQ(b.ui.dialogTitles.back(), c.title);
        EXPECT_TRUE(b.read(out).startsWith(c.start));
        EXPECT_EQ(b.controller.printSheet(), StatementPrintController::PrintSheet::None);
        if (c.tab == 0) {
            EXPECT_EQ(b.read(out), b.read(b.controller.previewPdfPath()));
        } else {
            EXPECT_TRUE(b.read(out).contains(longWord(10000).toLatin1()));
        }
    }
    EXPECT_TRUE(b.ui.alerts.empty());
    // Without a window to show it, the sheet's small view is not rendered.
    EXPECT_FALSE(QFile::exists(b.controller.exportPdfPath()));
    EXPECT_EQ(b.settings.getText(P::printFooter),
              u"Muster & Söhne · Übersicht März 2024 · Seite "_s);
}

TEST(StatementExport, UnwritablePathIsToldAndLeavesTheOldFile) {
    Desk b;
    b.fill();
    const QString blocker = b.dir.filePath(u"keinOrdner"_s);
    QFile f(blocker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("alt");
    f.close();
    EXPECT_EQ(b.controller.exportStatementTo(ExportFormat::Xml, blocker + u"/Abrechnung.xml"_s),
              Result::Failed);
    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_EQ(b.ui.alerts[0].title, u"Fehler!"_s);
    EXPECT_TRUE(b.ui.alerts[0].message.startsWith(u"Die Datei „"_s));
    EXPECT_EQ(b.read(blocker), QByteArray("alt"));
}

TEST(StatementExport, RefusalsAndNotices) {
    Desk b;
    // No items listed: the sheet does not open.
    b.controller.openTabJournalExport();
    EXPECT_EQ(b.controller.printSheet(), StatementPrintController::PrintSheet::None);
    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_EQ(b.ui.alerts[0].title, u"Fehler!"_s);
    EXPECT_EQ(b.ui.alerts[0].message, TotalsController::kNoStatements);

    b.settings.setBool(P::firstStepsDone, false);
    b.controller.openTabJournalPrint();
    EXPECT_EQ(b.ui.alerts.back().title, u"Hinweis!"_s);
    EXPECT_EQ(b.ui.alerts.back().message, StatementPrintController::kNoFirstItemYet);
    EXPECT_EQ(b.controller.printSheet(), StatementPrintController::PrintSheet::None);

    b.settings.setBool(P::firstStepsDone, true);
    b.fill();
    b.settings.setInt(P::prefsSelectedExportTab, 99);
    b.controller.openTabJournalExport();
    EXPECT_EQ(b.controller.closeTabJournalExport(), Result::NothingWritten);
    EXPECT_EQ(b.ui.alerts.back().message, StatementPrintController::kDatevNotice);
    EXPECT_EQ(b.ui.dialogTitles.size(), 0u);

    b.settings.setInt(P::prefsSelectedExportTab, 2);  // a cancelled dialog writes nothing
    b.controller.openTabJournalExport();
    b.ui.dialogs.push_back(std::nullopt);
    const size_t alerts = b.ui.alerts.size();
    EXPECT_EQ(b.controller.closeTabJournalExport(), Result::Cancelled);
    EXPECT_EQ(QDir(b.dir.path()).entryList({u"*.csv"_s}).size(), 0);
    EXPECT_EQ(b.ui.alerts.size(), alerts);

    b.settings.setInt(P::prefsSelectedExportTab, 5);
    b.controller.openTabJournalExport();
    b.ui.dialogs.push_back(b.dir.filePath(u"a.trwk"_s));
    EXPECT_EQ(b.controller.closeTabJournalExport(), Result::NothingWritten);
    EXPECT_EQ(b.ui.dialogTitles.back(), u"Tarnwick Datei Exportieren"_s);
    EXPECT_FALSE(QFile::exists(b.dir.filePath(u"a.trwk"_s)));
}

// Layout, numbering and escaping of the XML are proven by the golden exports;
// here an empty statement and a control character, which no XML file may hold.
TEST(StatementExport, EmptyStatementStillExportsEmptyTextsAndXmlDropsControls) {
    Desk b;
    EXPECT_EQ(xmlEscaped(u"a\u0001<b>&"_s), u"a&lt;b&gt;&amp;"_s);
    EXPECT_EQ(b.controller.csvString(), QString());
    EXPECT_EQ(b.controller.xmlString(),
              u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<document>\n</document>"_s);
}

TEST(StatementOverview, PageCarriesBlocksListAndFooter) {
    Desk b;
    b.fill();
    b.statement->set(keys::taxBool, true);
    b.statement->set(keys::payment, 1234.5f);
    b.statement->set(keys::balance, -1500.0f);
    b.statement->set(keys::date, day("2024-04-01"));
    ASSERT_TRUE(b.controller.generatePDFTab());
    // Footers and the head are proven by the golden export.
    const QStringList pages = test::pdfPages(b.controller.previewPdfPath());
    ASSERT_GE(pages.size(), 1);
    const QString all = pages.join(u"\n"_s);
    for (const QString& s :
         {u"Steuernummer: 12/345/67890"_s, u"Voranmeldung erstellt am: 01.04.2024"_s, u"-1500,00"_s,
          u"Steuersatz 1"_s, u"(19,00 %)"_s, u"ohne Steuern"_s, u"Beratung & <Co>"_s,
          u"Kostenstelle"_s})
        EXPECT_TRUE(all.contains(s)) << s.toStdString();

    // Printing paints the same page onto the printer the dialog gave.
    const QString printed = b.dir.filePath(u"gedruckt.pdf"_s);
    b.controller.printHooks().print = [&](const std::function<bool(QPagedPaintDevice&)>& paint) {
        QPdfWriter printer(printed);
        printer.setResolution(600);
        return paint(printer);
    };
    b.controller.printJournal();
    const QStringList printedPages = test::pdfPages(printed);
    ASSERT_EQ(printedPages.size(), pages.size());
    EXPECT_TRUE(printedPages.last().contains(u"Beratung & <Co>"_s));
    EXPECT_TRUE(printedPages.last().contains(u"Seite %1"_s.arg(pages.size())));

    // Newest first in the list; without the list setting no list.
    const QString html = b.controller.exportString();
    EXPECT_LT(html.indexOf(u"Beratung"_s), html.indexOf(u"Zuschuss"_s));
    b.settings.setBool(P::prefsExportPrintWithList, false);
    EXPECT_FALSE(b.controller.exportString().contains(u"Kostenstelle"_s));
}

TEST(StatementOverview, FiguresAreTheStatementTotalsOfThisMoment) {
    Desk b;
    b.fill();
    b.add(kKindExpense, 10.7f, true, 2, "2024-03-12", u"Fachbuch"_s);
    // Stale totals of another moment are replaced when the page is built.
    b.settings.setFloat(P::tabTax1SumField, 12345.0f);
    b.app.selection().setFilterText(u"Beratung"_s);
    ASSERT_EQ(b.app.selection().listedCount(), 1u);
    const QString html = b.controller.exportString();
    EXPECT_FLOAT_EQ(b.settings.getFloat(P::tabTax1SumField), 1000.0f);
    ASSERT_TRUE(b.controllers.totals.totals().has_value());
    EXPECT_FLOAT_EQ(b.controllers.totals.totals()->incomeTax[1], 190.0f);

    // Per-rate VAT of the listed items only (the filter leaves the income of
    // 1190): 190 at rate 1, nothing at rate 2. The summary table covers the
    // whole statement: incomes 1190 + 500, expenses 119 + 10.70.
    const QStringList pages =
        test::pdfPages((b.controller.generatePDFTab(), b.controller.previewPdfPath()));
    ASSERT_FALSE(pages.isEmpty());
    const QString page = pages.first().simplified();
    EXPECT_TRUE(page.contains(u"Einnahmen 190,00 0,00 0,00"_s)) << page.toStdString();
    EXPECT_TRUE(page.contains(u"Ausgaben 0,00 0,00 0,00"_s)) << page.toStdString();
    EXPECT_TRUE(page.contains(u"Einnahmen 1.500,00 1.690,00 190,00"_s)) << page.toStdString();
    EXPECT_TRUE(page.contains(u"Ausgaben -110,00 -129,70 -19,70"_s)) << page.toStdString();
    EXPECT_TRUE(html.contains(u"1.690,00"_s));
}

// Footer, pages and page files are proven by the golden summary export; here
// the single rendering, the replaced file and the refusals.
TEST(SummaryPage, ExportRendersOnceAndToldFailures) {
    Desk b;
    b.fill();
    int rendered = 0;
    b.controllers.totals.setSummaryRenderer([&](const SummaryPage&) { ++rendered; });
    const QString out = b.dir.filePath(u"Abrechnung.pdf"_s);
    ASSERT_EQ(b.controllers.totals.exportSummaryTo(out), Result::Written);
    EXPECT_EQ(rendered, 0);  // rendered once, by the export itself
    EXPECT_TRUE(b.read(out).startsWith("%PDF-"));

    // An existing file is replaced whole; a missing folder is told and leaves nothing.
    EXPECT_EQ(b.controllers.totals.exportSummaryTo(out), Result::Written);
    b.ui.alerts.clear();
    EXPECT_EQ(b.controllers.totals.exportSummaryTo(b.dir.filePath(u"fehlt/a.pdf"_s)),
              Result::Failed);
    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_FALSE(QFile::exists(b.dir.filePath(u"fehlt/a.pdf"_s)));

    // Without statements the export is refused with the program's message.
    b.year->thelists().clear();
    b.app.selection().refresh();
    b.ui.alerts.clear();
    EXPECT_EQ(b.controllers.totals.exportSummaryTo(out), Result::Refused);
    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_EQ(b.ui.alerts[0].message,
              u"Du musst erst eine Abrechnung und zugehörige Posten anlegen."_s);
}

TEST(SummaryPage, PreviewShowsTheRenderedPageInTheProgramOrTheViewer) {
    Desk b;
    b.fill();
    b.controllers.totals.setSummaryRenderer(
        [&](const SummaryPage&) { b.controllers.totals.renderSummaryPdf(); });
    QString shown, title;
    b.controller.printHooks().showPreview = [&](const QString& pdf, const QString& t) {
        shown = pdf;
        title = t;
    };
    b.controllers.vat.previewAbrechnung();
    EXPECT_EQ(shown, b.controller.previewPdfPath());
    EXPECT_EQ(title, u"Vorschau - Abrechnung"_s);
    const QStringList pages = test::pdfPages(shown);
    ASSERT_FALSE(pages.isEmpty());
    EXPECT_TRUE(pages.first().contains(u"Muster & Söhne · Abrechnung März 2024 · Seite 1"_s));

    b.settings.setBool(P::loadInPreviewApp, true);
    b.controllers.vat.previewAbrechnung();
    ASSERT_EQ(b.ui.opened.size(), 1u);
    EXPECT_EQ(b.ui.opened[0], b.controller.previewPdfPath());
}

// ---- what a person sees: encodings, long texts, second lines, fonts -----------------

TEST(StatementExportTexts, EveryFieldKeepsWhatWindows1252Holds) {
    Desk b;
    RecordPtr a = b.add(kKindExpense, 119, true, 1, "2024-03-05", u"Müller, Łódź ☕"_s);
    a->set(keys::group, u"Bürobedarf – Ø"_s);
    a->set(keys::account, u"Gebühren ﬂ"_s);
    a->set(keys::misc1, u"B-Ärger"_s);
    a->set(keys::number, u"Nr. Ž/ő"_s);
    a->set(keys::accountNumber, u"1800 Ö"_s);
    const QString out = b.dir.filePath(u"a.csv"_s);
    ASSERT_EQ(b.controller.exportStatementTo(ExportFormat::Csv, out), Result::Written);
    const QByteArray line =
        "\"B-\xc4rger\",\"M\xfcller |  L\xf3"
        "dz ?\",\"Nr. \x8e/o\",\"B\xfcrobedarf \x96 \xd8\","
        "\"1800 \xd6\",\"Geb\xfchren fl\",\"19,00 %\",\"-119,00\"\n";
    EXPECT_EQ(b.read(out), "\"05.03.24\"," + line);
    EXPECT_FALSE(b.read(out).contains('\x1a'));
    const QString mac = b.dir.filePath(u"b.csv"_s);
    ASSERT_EQ(b.controller.exportStatementTo(ExportFormat::CsvSemicolon, mac), Result::Written);
    QByteArray semicolons = line;
    semicolons.replace("\",\"", "\";\"");
    semicolons.replace("\"\n", "\";\n");
    EXPECT_EQ(b.read(mac), "\"1\";\"05.03.24\";" + semicolons);
}

TEST(StatementExportTexts, ControlCharactersNeverReachTheFile) {
    Desk b;
    const char16_t hostile[] = u"A\u0000B\u001B[31mC\u007FD\u0085E\nF\u009BG\u202EH";
    RecordPtr a = b.add(kKindExpense, 10, false, 0, "2024-03-05",
                        QString::fromUtf16(hostile, std::size(hostile) - 1));
    a->set(keys::misc1, QString::fromUtf16(u"B\u00007\t1", 5));
    a->set(keys::number, u"R\r\n1"_s);
    a->set(keys::group, u"x\u0001y"_s);
    b.add(kKindIncome, 20, false, 0, "2024-03-06", u"Zweiter"_s);
    for (const int tab : {2, 9}) {
        SCOPED_TRACE(tab);
        const QString out = b.dir.filePath(u"c%1.csv"_s.arg(tab));
        ASSERT_EQ(
            b.controller.exportStatementTo(StatementPrintController::exportFormatOf(tab), out),
            Result::Written);
        const QByteArray bytes = b.read(out);
        EXPECT_EQ(bytes.count('\n'), 2);  // one line per item
        for (const char c : bytes) {
            const auto u = static_cast<unsigned char>(c);
            EXPECT_TRUE(u == '\n' || (u >= 0x20 && u != 0x7F)) << int(u);
        }
        EXPECT_TRUE(bytes.contains("\"AB[31mCD E FGH\"")) << bytes.constData();
        EXPECT_TRUE(bytes.contains("\"B7 1\"")) << bytes.constData();
        EXPECT_TRUE(bytes.contains("\"R  1\"")) << bytes.constData();
        EXPECT_TRUE(bytes.contains("\"xy\"")) << bytes.constData();
    }
}

TEST(StatementExportTexts, NoCellBecomesASpreadsheetFormula) {
    Desk b;
    RecordPtr a = b.add(kKindExpense, 119, true, 1, "2024-03-05",
                        u"=HYPERLINK(\"http://x.example\";\"Klick\")"_s);
    a->set(keys::group, u"@SUM(A1:A9)"_s);
    a->set(keys::account, u"+cmd|' /C calc'!A0"_s);
    a->set(keys::misc1, u"-2+3"_s);
    a->set(keys::number, u"  =1+1"_s);
    a->set(keys::accountNumber, u"-100"_s);  // a number: stays as it is
    EXPECT_EQ(b.controller.csvString(),
              u"\"05.03.24\",\"'-2+3\",\"'=HYPERLINK( http://x.example ; Klick )\",\"'  =1+1\","
              "\"'@SUM(A1:A9)\",\"-100\",\"'+cmd|' /C calc'!A0\",\"19,00 %\",\"-119,00\"\n"_s);
    EXPECT_TRUE(
        b.controller.csvStringMac().startsWith(u"\"1\";\"05.03.24\";\"'-2+3\";\"'=HYPERLINK("_s));
}

TEST(StatementExport, TheSheetsSmallViewIsRenderedOnlyForAWindow) {
    Desk b;
    b.fill();
    QString shown;
    b.controller.printHooks().showExportPdf = [&](const QString& path) { shown = path; };
    b.controller.openTabJournalExport();
    EXPECT_EQ(shown, b.controller.exportPdfPath());
    EXPECT_TRUE(b.controller.exportButtonEnabled());
    const QStringList pages = test::pdfPages(shown);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0].trimmed(), u"Muster & Söhne · Übersicht März 2024 · Seite 1"_s);
    EXPECT_FALSE(QFile::exists(b.controller.previewPdfPath()));
    b.controller.cancelTabJournalExport();
}

TEST(StatementOverview, LongWordsWrapAndTheirRowGoesOnOverThePages) {
    Desk b;
    b.fill();
    b.add(kKindExpense, 5, false, 0, "2024-03-07", longWord(20000, u'Q'));
    b.add(kKindExpense, 6, false, 0, "2024-03-08", u"Danach"_s + longWord(20000, u'W'));
    ASSERT_TRUE(b.controller.generatePDFTab());
    const QStringList pages = test::pdfPages(b.controller.previewPdfPath());
    ASSERT_GE(pages.size(), 4);
    const QString all = pages.join(QString());
    // Every character printed, none lost at a page's end.
    EXPECT_EQ(all.count(u'Q'), 20000);
    EXPECT_EQ(all.count(u'W'), 20000);
    for (int i = 0; i < pages.size(); ++i) {
        EXPECT_TRUE(
            pages[i].contains(u"Muster & Söhne · Übersicht März 2024 · Seite %1"_s.arg(i + 1)));
        if (i > 0) {
            EXPECT_TRUE(pages[i].contains(u"Bezeichnung"_s)) << "page " << i + 1;
        }
    }
    // Nothing is painted into the footer's margin.
    for (const test::PdfWord& w : test::pdfWords(b.controller.previewPdfPath())) {
        if (w.text.contains(u'Q') || w.text.contains(u'W')) {
            EXPECT_LT(w.yMax, 842 - 60 + 1) << w.page;
        }
    }
}

// The receipt number and the account stand in the lower line of their row, in
// both rows, on the overview and on the summary page.
TEST(StatementPages, SecondLinesStayInTheirRowsUnderStackedHeaders) {
    Desk b;
    RecordPtr a = b.add(kKindExpense, 10, false, 0, "2024-03-05", u"Erster"_s);
    a->set(keys::account, u"Kasse"_s);  // no account number above it
    a->set(keys::misc1, u"B7"_s);       // no number above it
    RecordPtr c = b.add(kKindExpense, 20, false, 0, "2024-03-06", u"Zweiter"_s);
    c->set(keys::number, u"R-9"_s);
    c->set(keys::misc1, u"B8"_s);
    c->set(keys::accountNumber, u"1800"_s);
    c->set(keys::account, u"Bank"_s);
    ASSERT_TRUE(b.controller.generatePDFTab());
    const QString out = b.dir.filePath(u"Abrechnung.pdf"_s);
    ASSERT_EQ(b.controllers.totals.exportSummaryTo(out), Result::Written);
    for (const QString& pdf : {b.controller.previewPdfPath(), out}) {
        SCOPED_TRACE(pdf.toStdString());
        const std::vector<test::PdfWord> words = test::pdfWords(pdf);
        const test::PdfWord* first = test::findWord(words, u"Erster"_s);
        const test::PdfWord* b7 = test::findWord(words, u"B7"_s);
        const test::PdfWord* second = test::findWord(words, u"Zweiter"_s);
        ASSERT_TRUE(first && b7 && second);
        EXPECT_GT(b7->yMin, first->yMax - 1);
        if (pdf != out) {
            const test::PdfWord* b8 = test::findWord(words, u"B8"_s);
            ASSERT_TRUE(b8);
            EXPECT_NEAR(b7->yMin - first->yMin, b8->yMin - second->yMin, 0.5);
            continue;
        }
        const test::PdfWord* kasse = test::findWord(words, u"Kasse"_s);
        const test::PdfWord* bank = test::findWord(words, u"Bank"_s);
        ASSERT_TRUE(kasse && bank);
        EXPECT_GT(kasse->yMin, first->yMax - 1);
        EXPECT_NEAR(kasse->yMin - first->yMin, bank->yMin - second->yMin, 0.5);
        // "Bezeichnung" over "Kategorie", "Nummer" over "Beleg", as on the page's HTML.
        for (const auto& [upper, lower] :
             {std::pair{u"Bezeichnung"_s, u"Kategorie"_s}, {u"Nummer"_s, u"Beleg"_s}}) {
            const test::PdfWord* top = test::findWord(words, upper);
            const test::PdfWord* below = test::findWord(words, lower);
            ASSERT_TRUE(top && below) << upper.toStdString();
            EXPECT_EQ(top->page, below->page);
            EXPECT_NEAR(top->xMin, below->xMin, 0.5) << upper.toStdString();
            EXPECT_GT(below->yMin, top->yMax - 1) << upper.toStdString();
        }
        EXPECT_EQ(test::findWord(words, u"/"_s), nullptr);
    }
}

TEST(StatementOverview, WithoutACompanyHeadingsAndFootersStartWithTheirOwnWords) {
    for (const QString& company : {QString(), u"   "_s}) {
        Desk b;
        b.fill();
        b.settings.setText(P::prefsCompany, company);
        ASSERT_TRUE(b.controller.generatePDFTab());
        EXPECT_EQ(b.settings.getText(P::printFooter), u"Übersicht März 2024 · Seite "_s);
        QStringList pages = test::pdfPages(b.controller.previewPdfPath());
        ASSERT_GE(pages.size(), 2);
        for (int i = 0; i < pages.size(); ++i) {
            QStringList lines = pages[i].split(u'\n', Qt::SkipEmptyParts);
            while (!lines.isEmpty() && lines.last().trimmed().isEmpty()) lines.removeLast();
            ASSERT_FALSE(lines.isEmpty());
            EXPECT_EQ(lines.last().trimmed(), u"Übersicht März 2024 · Seite %1"_s.arg(i + 1));
        }
        // The list's heading.
        EXPECT_TRUE(pages[1].trimmed().startsWith(u"Übersicht März 2024"_s))
            << pages[1].toStdString();
        EXPECT_FALSE(b.controller.exportString().contains(u"<h4> &middot;"_s));
        EXPECT_FALSE(b.controller.exportString().contains(u"<h4>   &middot;"_s));

        const QString out = b.dir.filePath(u"Abrechnung.pdf"_s);
        ASSERT_EQ(b.controllers.totals.exportSummaryTo(out), Result::Written);
        EXPECT_EQ(b.settings.getText(P::printFooter), u"Abrechnung März 2024 · Seite "_s);
        pages = test::pdfPages(out);
        ASSERT_GE(pages.size(), 2);
        EXPECT_TRUE(
            pages.last().contains(u"\nAbrechnung März 2024 · Seite %1"_s.arg(pages.size())) ||
            pages.last().trimmed().endsWith(
                u"Abrechnung März 2024 · Seite %1"_s.arg(pages.size())));
        EXPECT_TRUE(pages[1].trimmed().startsWith(u"Übersicht aller Posten · März 2024"_s))
            << pages[1].toStdString();
        for (const QString& page : pages) EXPECT_FALSE(page.contains(u" · Abrechnung"_s));
    }
}

TEST(StatementOverview, CharactersWithoutAGlyphFallBackOrShowAPlaceholder) {
    Desk b;
    // An emoji the page font lacks (drawn from Symbola, which scripts/setup
    // installs), one that only a font of coloured bitmaps has or none at all
    // (U+1F9FE, newer than Symbola), a code point no font has (unassigned)
    // and a control character.
    const QString title = u"Tee ☕ 👍 x🧾y v\u0378w z\u0007u"_s;
    b.add(kKindExpense, 10, false, 0, "2024-03-05", title);
    EXPECT_EQ(print::printableText(title), u"Tee ☕ 👍 x\uFFFDy v\uFFFDw zu"_s);
    ASSERT_TRUE(b.controller.generatePDFTab());
    const QString all = test::pdfPages(b.controller.previewPdfPath()).join(QString());
    EXPECT_TRUE(all.contains(u"Tee ☕"_s)) << all.toStdString();
    EXPECT_TRUE(all.contains(u"x\uFFFDy v\uFFFDw zu"_s)) << all.toStdString();
    // The emoji came from a font that has it, embedded in the file.
    QProcess fonts;
    fonts.start(u"pdffonts"_s, {b.controller.previewPdfPath()});
    ASSERT_TRUE(fonts.waitForFinished(30000));
    EXPECT_TRUE(QString::fromUtf8(fonts.readAllStandardOutput()).contains(u"Symbola"_s));
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TZ", "Europe/Berlin");
    QGuiApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
