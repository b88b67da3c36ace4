#include "print/rtf_writer.h"
#include "print/print_pipeline.h"

#include <gtest/gtest.h>

#include <QTextDocument>

using namespace quandor;

namespace {

QByteArray rtf(const QString& html) {
    auto doc = print::parseHtml(html);
    return print::rtfFromDocument(*doc);
}

int count(const QByteArray& hay, const QByteArray& needle) {
    return int(hay.count(needle));
}

}  // namespace

TEST(RtfWriter, IsPlainAsciiWithUmlautsEscaped) {
    const QByteArray out = rtf(QStringLiteral("<p>Übersicht Größe € \\ {x} – ✓</p>"));
    EXPECT_TRUE(out.startsWith("{\\rtf1\\ansi\\ansicpg1252"));
    EXPECT_TRUE(out.endsWith("}\n"));
    for (char c : out) ASSERT_LT(static_cast<unsigned char>(c), 0x80);
    EXPECT_TRUE(
        out.contains("\\'dcbersicht Gr\\'f6\\'dfe \\u8364? \\\\ \\{x\\} \\u8211? \\u10003?"))
        << out.toStdString();
    // Braces balance, so the file parses.
    EXPECT_EQ(count(out, "{") - count(out, "\\{"), count(out, "}") - count(out, "\\}"));
}

TEST(RtfWriter, BoldAndSizesFollowTheLayout) {
    const QByteArray out =
        rtf(QStringLiteral("<p><span style=\"font-size:20px\">Groß</span> <b>fett</b> "
                           "<span style=\"font-size:7px\">klein</span></p>"));
    EXPECT_TRUE(out.contains("\\fs40 Gro\\'df}")) << out.toStdString();
    EXPECT_TRUE(out.contains("\\b fett}"));
    EXPECT_TRUE(out.contains("\\fs14 klein}"));
}

TEST(RtfWriter, TablesKeepRowsCellsAndWidths) {
    const QByteArray out =
        rtf(QStringLiteral("<table width=300 border=1 cellpadding=2>"
                           "<tr><td width=100><b>Zahlung</b></td><td width=200>Saldo</td></tr>"
                           "<tr><td>1.000,00</td><td align=right><b>-1500,00</b></td></tr>"
                           "<tr><td colspan=2>ganze Zeile</td></tr></table>"));
    EXPECT_EQ(count(out, "\\trowd"), 3);
    EXPECT_EQ(count(out, "\\row"), 3);
    EXPECT_EQ(count(out, "\\cell\n"), 5) << out.toStdString();
    EXPECT_TRUE(out.contains("\\intbl\\qr")) << out.toStdString();
    EXPECT_TRUE(out.contains("\\b Zahlung}"));
    EXPECT_TRUE(out.contains("\\clbrdrt"));
    // Column edges: about 100 and 300 points (2000 and 6000 twips).
    const int first = out.indexOf("\\cellx");
    const int second = out.indexOf("\\cellx", first + 1);
    ASSERT_GE(first, 0);
    EXPECT_NEAR(out.mid(first + 6, 4).toInt(), 2000, 200);
    EXPECT_NEAR(out.mid(second + 6, 4).toInt(), 6000, 400);  // with the border
    EXPECT_TRUE(out.contains("ganze Zeile"));
}

TEST(RtfWriter, ListIsWrittenRowByRowAfterThePage) {
    auto head = print::parseHtml(QStringLiteral("<h3>Übersicht</h3><p>Kopf</p>"));
    print::ListTable list;
    list.heading = QStringLiteral("Firma · Liste");
    list.columns = {{QStringLiteral("Nr."), 30, Qt::AlignLeft, {}},
                    {QStringLiteral("Bezeichnung"), 240, Qt::AlignLeft, {}},
                    {QStringLiteral("Summe"), 60, Qt::AlignRight, {}}};
    for (int i = 1; i <= 3; ++i)
        list.rows.push_back(
            {{QString::number(i), {}, true},
             {QStringLiteral("Büro {%1} \\ A & <B>").arg(i), QStringLiteral("Kategorie")},
             {QStringLiteral("-1.000,00"), {}, false, print::ListCell::Size::Small}});
    const QByteArray out =
        print::rtfFromDocument(*head, list, QStringLiteral("Firma · Übersicht · Seite "));
    for (char c : out) ASSERT_LT(static_cast<unsigned char>(c), 0x80);
    EXPECT_EQ(count(out, "{") - count(out, "\\{"), count(out, "}") - count(out, "\\}"));
    // The page first, then the list on a new page with its heading row marked
    // to repeat, one row per item that is never split.
    EXPECT_LT(out.indexOf("Kopf"), out.indexOf("\\pagebb"));
    EXPECT_EQ(count(out, "\\trhdr"), 1);
    EXPECT_EQ(count(out, "\\trkeep"), 3);
    EXPECT_EQ(count(out, "\\row\n"), 4);  // the heading row and three items
    EXPECT_TRUE(out.contains("B\\'fcro \\{2\\} \\\\ A & <B>}{\\plain\\f0\\fs12\\line Kategorie}"))
        << out.toStdString();
    EXPECT_TRUE(out.contains("\\qr {\\plain\\f0\\fs12 -1.000,00}"));
    // The columns keep their proportions across the printable width (555 pt).
    EXPECT_TRUE(out.contains("\\cellx1009\\")) << out.toStdString();
    EXPECT_TRUE(out.contains("\\cellx11100\n"));
    // Footer and page number on every page.
    EXPECT_TRUE(
        out.contains("{\\footer\\pard\\qc{\\plain\\f0\\fs16 Firma \\'b7 \\'dcbersicht \\'b7 Seite "
                     "\\chpgn}\\par}"));

    // Without a list and a footer the page alone, as before.
    auto again = print::parseHtml(QStringLiteral("<h3>Übersicht</h3><p>Kopf</p>"));
    EXPECT_EQ(
        print::rtfFromDocument(*again, print::ListTable{}, QString()),
        print::rtfFromDocument(*print::parseHtml(QStringLiteral("<h3>Übersicht</h3><p>Kopf</p>"))));
}
