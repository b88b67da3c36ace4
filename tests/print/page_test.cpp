// The page model: one page's data as HTML, PDF and printer pages, and
// the print job that writes its temporary files.
#include "print/page.h"
#include "print/print_job.h"
#include "support/files.h"
#include "support/pdf_text.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPdfWriter>
#include <QTemporaryDir>

using namespace quandor;
using namespace Qt::StringLiterals;

namespace {

// A head with a text and a table, and a list of `rows` rows whose middle
// column carries a second text in one row only.
print::Page samplePage(int rows) {
    print::Page page;
    page.prologue =
        u"<html><head><style type=\"text/css\">table.s7 td { font-size: 7px; }</style></head>"
        "<body><font size=\"2\">"_s;
    page.footer = u"Muster & Co · Übersicht · Seite "_s;
    page.text(u"<h2>Muster &amp; Co</h2>"_s);
    print::Table t;
    t.width = 400;
    print::TableCell rate(u"Steuersatz 1"_s, true);
    rate.note = u"(19,00 %)"_s;
    rate.keepTogether = true;
    t.rows.push_back({{}, rate});
    t.rows.push_back({{u"Umsätze <netto>:"_s, false, Qt::AlignRight}, {u"1.000,00 €"_s}});
    page.table(t);
    page.text(u"</font>"_s);
    page.list.heading = u"Muster & Co · Übersicht März"_s;
    page.list.breaksBefore = 3;
    page.list.columns = {{u"Nr."_s, 30, Qt::AlignLeft, {}},
                         {u"Bezeichnung"_s, 300, Qt::AlignLeft, {}},
                         {u"Summe"_s, 80, Qt::AlignRight, {}}};
    for (int i = 1; i <= rows; ++i)
        page.list.rows.push_back({{QString::number(i), {}, true, print::ListCell::Size::Small},
                                  {u"Posten %1 & <Co>"_s.arg(i), i == 2 ? u"Beleg B2"_s : QString(),
                                   false, print::ListCell::Size::Normal},
                                  {u"%1,00"_s.arg(i), {}, false, print::ListCell::Size::Normal}});
    return page;
}

}  // namespace

TEST(PageModel, HtmlWritesTablesCellsAndTheListFromTheSameData) {
    const QString html = print::pageHtml(samplePage(3));
    EXPECT_TRUE(html.startsWith(u"<html><head>"_s));
    EXPECT_TRUE(html.endsWith(u"</table></body></html>"_s));
    EXPECT_TRUE(html.contains(
        u"<table width=\"400\" border=\"0\" cellpadding=\"2\" cellspacing=\"2\">"
        "<tr><td></td><td><b>Steuersatz&nbsp;1</b> <small>(19,00&nbsp;%)</small></td></tr>"
        "<tr><td align=\"right\">Umsätze &lt;netto&gt;:</td><td>1.000,00 €</td></tr></table>"_s))
        << html.toStdString();
    // The list: heading after its line breaks, widths and alignment in the
    // header row, every text escaped.
    EXPECT_TRUE(
        html.contains(u"</font><br><br><br><h4>Muster &amp; Co &middot; &Uuml;bersicht März</h4>"
                      "<table class=\"s7\" width=\"575\""_s));
    EXPECT_TRUE(html.contains(u"<td width=\"80\" align=\"right\"><b>Summe</b></td>"_s));
    EXPECT_TRUE(html.contains(u"<td><b><span class=\"k\">1</span></b></td>"_s));
    // One row's second text gives the column a second line in every row.
    EXPECT_TRUE(
        html.contains(u"<td>Posten 1 &amp; &lt;Co&gt;<br><span class=\"k\"></span></td>"_s));
    EXPECT_TRUE(html.contains(
        u"<td>Posten 2 &amp; &lt;Co&gt;<br><span class=\"k\">Beleg B2</span></td>"_s));

    // Without a list the page ends after its head.
    print::Page head = samplePage(0);
    head.list = {};
    EXPECT_FALSE(print::pageHtml(head).contains(u"<h4>"_s));
}

TEST(PageModel, PdfAndPrinterShowTheHeadThenTheListWithFooters) {
    QTemporaryDir dir;
    const print::Page page = samplePage(150);
    QString error;
    const QByteArray pdf = print::pdfBytes(page, &error);
    ASSERT_TRUE(pdf.startsWith("%PDF-")) << error.toStdString();
    const QString path = dir.filePath(u"a.pdf"_s);
    test::writeAll(path, pdf);
    const QStringList pages = test::pdfPages(path);
    ASSERT_GE(pages.size(), 3);
    EXPECT_TRUE(pages[0].contains(u"Steuersatz 1 (19,00 %)"_s)) << pages[0].toStdString();
    EXPECT_FALSE(pages[0].contains(u"Posten 1 "_s));  // the list starts on a page of its own
    EXPECT_TRUE(pages[1].contains(u"Muster & Co · Übersicht März"_s));
    EXPECT_TRUE(pages[1].contains(u"Posten 1 & <Co>"_s));
    for (int i = 0; i < pages.size(); ++i)
        EXPECT_TRUE(pages[i].contains(u"Muster & Co · Übersicht · Seite %1"_s.arg(i + 1)));

    // A printer gets the same pages, the footer in a bottom margin of 20 points.
    const QString printed = dir.filePath(u"gedruckt.pdf"_s);
    {
        QPdfWriter printer(printed);
        printer.setResolution(300);
        ASSERT_EQ(print::paintPages(page, print::Output::Printer, printer), int(pages.size()));
    }
    auto footerTop = [](const QString& file) {
        for (const test::PdfWord& w : test::pdfWords(file))
            if (w.text == u"Seite"_s) return w.yMin;
        return 0.0;
    };
    EXPECT_GT(footerTop(path), 842 - 60);
    EXPECT_LT(footerTop(path), 842 - 20);
    EXPECT_GT(footerTop(printed), 842 - 20);
}

TEST(PrintJob, ReplacesTheTemporaryFilesAndKeepsThePdfForACopy) {
    QTemporaryDir dir;
    const QString html = dir.filePath(u"PDFPreviewTab.html"_s);
    const QString pdf = dir.filePath(u"PDFPreviewTab.pdf"_s);
    for (const QString& path : {html, pdf}) test::writeAll(path, "alt");
    const print::Page page = samplePage(5);
    print::PrintJob job(page, html, pdf);
    QString error;
    ASSERT_TRUE(job.render(&error)) << error.toStdString();
    EXPECT_EQ(test::readAll(html), print::pageHtml(page).toUtf8());  // UTF-8, the whole page
    EXPECT_TRUE(test::readAll(html).contains("M\xc3\xa4rz"));
    EXPECT_EQ(test::readAll(pdf), job.pdf());
    EXPECT_TRUE(job.pdf().startsWith("%PDF-"));

    // The HTML cannot be written: told, and no PDF of an older page stays behind.
    const QString blocked = dir.filePath(u"ordner"_s);
    ASSERT_TRUE(QDir().mkpath(blocked + u"/PDFPreviewTab.html"_s));
    print::PrintJob failing(page, blocked + u"/PDFPreviewTab.html"_s, pdf);
    EXPECT_FALSE(failing.render(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(failing.pdf().isEmpty());
}
