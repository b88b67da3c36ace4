#include "print/print_pipeline.h"
#include "print/printable_text.h"
#include "support/pdf_text.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>

using namespace quandor;

namespace {

QString longPage(int paragraphs) {
    QString html = QStringLiteral("<html><body><h2>Kopf</h2>");
    for (int i = 1; i <= paragraphs; ++i)
        html += QStringLiteral("<p>Absatz %1 mit Umlauten äöüß und etwas Text.</p>").arg(i);
    html += QStringLiteral("<table width=575 border=1><tr>");
    for (int c = 0; c < 10; ++c) html += QStringLiteral("<td width=57>Spalte%1</td>").arg(c);
    html += QStringLiteral("</tr></table></body></html>");
    return html;
}

QString lastLine(const QString& page) {
    QStringList lines = page.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty()) lines.removeLast();
    return lines.isEmpty() ? QString() : lines.last().trimmed();
}

// The pages' PDF in a file, for pdftotext (writing files is the print job's part).
bool renderTo(QTextDocument& document, const print::ListTable& list,
              const print::PageOptions& options, const QString& path, QString* error) {
    const QByteArray bytes = print::pdfBytes(document, list, options, error);
    QFile file(path);
    return !bytes.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool renderTo(const QString& html, const print::PageOptions& options, const QString& path,
              QString* error) {
    const std::unique_ptr<QTextDocument> document = print::parseHtml(html);
    return renderTo(*document, print::ListTable{}, options, path, error);
}

}  // namespace

TEST(PrintPipeline, EmptyPageStillCarriesTheFooter) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("leer.pdf"));
    print::PageOptions options;
    options.footer = QStringLiteral("Seite ");
    ASSERT_TRUE(renderTo(QString(), options, path, nullptr));
    const QStringList pages = test::pdfPages(path);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(lastLine(pages[0]), QStringLiteral("Seite 1"));
}

// ---- long texts, second lines, footers, characters without a glyph -----------------

namespace {

print::ListTable threeColumns() {
    print::ListTable list;
    list.heading = QStringLiteral("Liste");
    list.columns = {
        {QStringLiteral("Nr."), 20, Qt::AlignLeft, {}},
        {QStringLiteral("Bezeichnung"), 200, Qt::AlignLeft, QStringLiteral("Kategorie")},
        {QStringLiteral("Summe"), 60, Qt::AlignRight, {}}};
    return list;
}

// One row of `threeColumns`, every cell in the normal size.
std::vector<print::ListCell> row(const QString& nr, const QString& text, const QString& second,
                                 const QString& sum) {
    using Size = print::ListCell::Size;
    return {{nr, {}, true, Size::Normal},
            {text, second, false, Size::Normal},
            {sum, {}, false, Size::Normal}};
}

}  // namespace

TEST(PrintPipeline, LongWordsWrapInLinearTime) {
    // One word of 200,000 characters: wrapping it once grew with the cube of
    // its length (a 10,000-character word took 8 minutes).
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lang.pdf"));
    print::ListTable list = threeColumns();
    list.rows.push_back(row(u"1"_qs, QString(200000, u'Q'), u"Ende"_qs, u"9,99"_qs));
    list.rows.push_back(row(u"2"_qs, u"Danach"_qs, {}, u"1,00"_qs));
    auto doc = print::parseHtml(QStringLiteral("<h2>Kopf</h2>"));
    print::PageOptions options;
    options.footer = QStringLiteral("Muster · Seite ");
    QString error;
    ASSERT_TRUE(renderTo(*doc, list, options, path, &error)) << error.toStdString();
    const QStringList pages = test::pdfPages(path);
    ASSERT_GT(pages.size(), 10);
    const QString all = pages.join(QString());
    EXPECT_EQ(all.count(QLatin1Char('Q')), 200000);
    EXPECT_TRUE(pages.last().contains(QStringLiteral("Ende")));
    EXPECT_TRUE(pages.last().contains(QStringLiteral("Danach")));
    for (int i = 1; i < pages.size(); ++i) {
        EXPECT_TRUE(pages[i].contains(QStringLiteral("Bezeichnung"))) << "page " << i + 1;
        EXPECT_EQ(lastLine(pages[i]), QStringLiteral("Muster · Seite %1").arg(i + 1));
    }
    // Nothing is painted below the page's body into the footer's margin.
    for (const test::PdfWord& w : test::pdfWords(path)) {
        if (w.text.contains(QLatin1Char('Q'))) {
            EXPECT_LT(w.yMax, 842 - 60 + 1) << w.page;
        }
    }
}

TEST(PrintPipeline, WordsWrapAtBlanksAndLongOnesWhereTheyMust) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("umbruch.pdf"));
    print::ListTable list = threeColumns();
    const QString text = QStringLiteral("Anfang ") + QString(120, QLatin1Char('x')) +
                         QStringLiteral(" Mitte   mehrere    Blanks Schluss");
    list.rows.push_back(row(u"1"_qs, text, {}, u"9,99"_qs));
    auto doc = print::parseHtml(QString());
    QString error;
    ASSERT_TRUE(renderTo(*doc, list, print::PageOptions{}, path, &error)) << error.toStdString();
    const std::vector<test::PdfWord> words = test::pdfWords(path);
    const test::PdfWord* start = test::findWord(words, QStringLiteral("Anfang"));
    const test::PdfWord* end = test::findWord(words, QStringLiteral("Schluss"));
    ASSERT_TRUE(start && end);
    int xWords = 0, xs = 0;
    for (const test::PdfWord& w : words)
        if (!w.text.isEmpty() && w.text.count(QLatin1Char('x')) == w.text.size()) {
            ++xWords;
            xs += int(w.text.size());
            // the broken word starts its own lines, within the column
            EXPECT_NEAR(w.xMin, start->xMin, 0.5);
            EXPECT_GT(w.yMin, start->yMin);
        }
    EXPECT_EQ(xs, 120);
    EXPECT_GE(xWords, 2);
    EXPECT_GT(end->yMin, start->yMin);
}

TEST(PrintPipeline, SecondTextsKeepTheirLowerLine) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zeilen.pdf"));
    print::ListTable list = threeColumns();
    list.rows.push_back(row(u"1"_qs, QString(), u"Unten"_qs, u"1,00"_qs));
    list.rows.push_back(row(u"2"_qs, u"Oben"_qs, u"Drunter"_qs, u"2,00"_qs));
    auto doc = print::parseHtml(QString());
    QString error;
    ASSERT_TRUE(renderTo(*doc, list, print::PageOptions{}, path, &error)) << error.toStdString();
    const std::vector<test::PdfWord> words = test::pdfWords(path);
    const test::PdfWord* one = test::findWord(words, QStringLiteral("1,00"));
    const test::PdfWord* below = test::findWord(words, QStringLiteral("Unten"));
    const test::PdfWord* two = test::findWord(words, QStringLiteral("2,00"));
    const test::PdfWord* under = test::findWord(words, QStringLiteral("Drunter"));
    const test::PdfWord* head = test::findWord(words, QStringLiteral("Bezeichnung"));
    const test::PdfWord* headBelow = test::findWord(words, QStringLiteral("Kategorie"));
    ASSERT_TRUE(one && below && two && under && head && headBelow);
    EXPECT_NEAR(below->yMin - one->yMin, under->yMin - two->yMin, 0.5);
    EXPECT_GT(below->yMin, one->yMax - 1);
    // The column's second title stands under its first.
    EXPECT_NEAR(head->xMin, headBelow->xMin, 0.5);
    EXPECT_GT(headBelow->yMin, head->yMax - 1);
}

TEST(PrintPipeline, LongFooterKeepsItsStartAndThePageNumber) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuss.pdf"));
    print::PageOptions options;
    options.footer = QStringLiteral("Firma · Übersicht ") + QString(5000, QLatin1Char('T')) +
                     QStringLiteral(" 2024 · Seite ");
    QString error;
    ASSERT_TRUE(renderTo(longPage(80), options, path, &error)) << error.toStdString();
    const QStringList pages = test::pdfPages(path);
    ASSERT_GE(pages.size(), 2);
    for (int i = 0; i < pages.size(); ++i) {
        const QString last = lastLine(pages[i]);
        EXPECT_TRUE(last.startsWith(QStringLiteral("Firma · Übersicht TTT"))) << last.toStdString();
        EXPECT_TRUE(last.endsWith(QStringLiteral("2024 · Seite %1").arg(i + 1)))
            << last.toStdString();
        EXPECT_LT(last.size(), 400);
    }
    EXPECT_TRUE(pages.first().contains(QStringLiteral("Absatz 1 mit Umlauten äöüß")));
    // The table wider than the printable width is scaled, not cut: its last column is there.
    EXPECT_TRUE(pages.last().contains(QStringLiteral("Spalte9")));
}

TEST(PrintableText, ControlCharactersAndMissingGlyphs) {
    EXPECT_EQ(print::printableText(QStringLiteral("Müller & Söhne")),
              QStringLiteral("Müller & Söhne"));
    EXPECT_EQ(print::printableText(QString::fromUtf16(u"a\u0000b\nc\td\u2028e\u0007f", 11)),
              QStringLiteral("ab c d ef"));
    // Unassigned, a non-character and an unpaired surrogate: the placeholder.
    EXPECT_EQ(print::printableText(QStringLiteral("a\u0378b\uFFFEc") + QChar(0xDC00)),
              QStringLiteral("a\uFFFDb\uFFFDc\uFFFD"));
    // Accents and joined emoji are one character each.
    EXPECT_EQ(print::printableText(QStringLiteral("Mu\u0308ller")), QStringLiteral("Mu\u0308ller"));
    EXPECT_EQ(print::singleLine(QString::fromUtf16(u"a\u0000b\r\nc", 6)), QStringLiteral("ab  c"));
}
