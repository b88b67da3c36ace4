#include "print/print_pipeline.h"
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

}  // namespace

TEST(PrintPipeline, EveryPageEndsWithFooterAndItsNumber) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("seite.pdf"));
    print::PageOptions options;
    options.footer = QStringLiteral("Muster GmbH · Übersicht März 2024 · Seite ");
    QString error;
    ASSERT_TRUE(print::writePdf(longPage(150), options, path, &error)) << error.toStdString();

    const QStringList pages = test::pdfPages(path);
    ASSERT_GE(pages.size(), 3);
    for (int i = 0; i < pages.size(); ++i)
        EXPECT_EQ(lastLine(pages[i]), options.footer.trimmed() + QStringLiteral(" %1").arg(i + 1))
            << "page " << i + 1;
    EXPECT_TRUE(pages.first().contains(QStringLiteral("Absatz 1 mit Umlauten äöüß")));
    // The table wider than the printable width is scaled, not cut: its last column is there.
    EXPECT_TRUE(pages.last().contains(QStringLiteral("Spalte9")));
}

TEST(PrintPipeline, EmptyPageStillCarriesTheFooter) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("leer.pdf"));
    print::PageOptions options;
    options.footer = QStringLiteral("Seite ");
    ASSERT_TRUE(print::writePdf(QString(), options, path, nullptr));
    const QStringList pages = test::pdfPages(path);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(lastLine(pages[0]), QStringLiteral("Seite 1"));
}

TEST(PrintPipeline, UnwritablePathIsReportedAndLeavesNothing) {
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("datei"));
    QFile f(blocker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString path = blocker + QStringLiteral("/seite.pdf");
    QString error;
    EXPECT_FALSE(print::writePdf(longPage(3), {}, path, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Die Datei „"))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

TEST(PrintPipeline, ReplacesTheOldFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PDFPreviewTab.pdf"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(200000, 'x'));
    old.close();
    ASSERT_TRUE(print::writePdf(longPage(2), {}, path, nullptr));
    QFile now(path);
    ASSERT_TRUE(now.open(QIODevice::ReadOnly));
    EXPECT_TRUE(now.readAll().startsWith("%PDF-"));
}

TEST(PrintPipeline, TemporaryHtmlIsUtf8AndParsedBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PDFPreviewTab.html"));
    QString error;
    auto doc = print::writeAndParseHtml(QStringLiteral("<p>Übersicht &Uuml;ber €</p>"), path, &error);
    ASSERT_TRUE(doc) << error.toStdString();
    EXPECT_EQ(doc->toPlainText(), QStringLiteral("Übersicht Über €"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("\xc3\x9c" "bersicht"));

    EXPECT_FALSE(print::writeAndParseHtml(QStringLiteral("x"), dir.filePath(QStringLiteral("fehlt/a.html")),
                                          &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(PrintPipeline, ListFollowsOnItsOwnPagesWithHeadingRowAndFooter) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("liste.pdf"));
    print::ListTable list;
    list.heading = QStringLiteral("Muster · Übersicht März 2024");
    list.columns = {{QStringLiteral("Nr."), 20, Qt::AlignLeft},
                    {QStringLiteral("Bezeichnung"), 200, Qt::AlignLeft},
                    {QStringLiteral("Summe"), 60, Qt::AlignRight}};
    for (int i = 1; i <= 300; ++i)
        list.rows.push_back({{QString::number(i), {}, true, print::ListCell::Size::Small},
                             {i == 7 ? QStringLiteral("ein sehr langer Titel, der in seiner Spalte "
                                                      "umbrechen muss und doch ganz gedruckt wird Ende")
                                     : QStringLiteral("Posten %1").arg(i),
                              QStringLiteral("B%1").arg(i)},
                             {QStringLiteral("1.234,%1").arg(i % 100, 2, 10, QLatin1Char('0'))}});
    auto doc = print::parseHtml(QStringLiteral("<h2>Kopf</h2>"));
    print::PageOptions options;
    options.footer = QStringLiteral("Muster · Seite ");
    QString error;
    ASSERT_TRUE(print::writePdf(*doc, list, options, path, &error)) << error.toStdString();

    const QStringList pages = test::pdfPages(path);
    ASSERT_GE(pages.size(), 4);
    EXPECT_FALSE(pages[0].contains(QStringLiteral("Posten 1")));  // the list starts on a new page
    EXPECT_TRUE(pages[1].contains(list.heading));
    for (int i = 1; i < pages.size(); ++i) {
        EXPECT_TRUE(pages[i].contains(QStringLiteral("Bezeichnung"))) << "page " << i + 1;
        EXPECT_EQ(lastLine(pages[i]), QStringLiteral("Muster · Seite %1").arg(i + 1));
    }
    const QString all = pages.join(QString());
    EXPECT_TRUE(all.contains(QStringLiteral("Posten 300")));
    EXPECT_TRUE(all.contains(QStringLiteral("Ende")));
    EXPECT_TRUE(all.contains(QStringLiteral("1.234,99")));
}
