#include "print/print_pipeline.h"
#include "print/rtf_writer.h"

#include <gtest/gtest.h>

#include <QTextDocument>

using namespace quandor;

namespace {

QByteArray rtf(const QString& html) {
    auto doc = print::parseHtml(html);
    return print::rtfFromDocument(*doc);
}

int count(const QByteArray& hay, const QByteArray& needle) { return int(hay.count(needle)); }

}  // namespace

TEST(RtfWriter, IsPlainAsciiWithUmlautsEscaped) {
    const QByteArray out = rtf(QStringLiteral("<p>Übersicht Größe € \\ {x} – ✓</p>"));
    EXPECT_TRUE(out.startsWith("{\\rtf1\\ansi\\ansicpg1252"));
    EXPECT_TRUE(out.endsWith("}\n"));
    for (char c : out) EXPECT_GE(static_cast<unsigned char>(c), 0) << "non-ASCII byte";
    for (char c : out) ASSERT_LT(static_cast<unsigned char>(c), 0x80);
    EXPECT_TRUE(out.contains("\\'dcbersicht Gr\\'f6\\'dfe \\u8364? \\\\ \\{x\\} \\u8211? \\u10003?"))
        << out.toStdString();
    // Braces balance, so the file parses.
    EXPECT_EQ(count(out, "{") - count(out, "\\{"), count(out, "}") - count(out, "\\}"));
}

TEST(RtfWriter, BoldAndSizesFollowTheLayout) {
    const QByteArray out = rtf(QStringLiteral(
        "<p><span style=\"font-size:20px\">Groß</span> <b>fett</b> "
        "<span style=\"font-size:7px\">klein</span></p>"));
    EXPECT_TRUE(out.contains("\\fs40 Gro\\'df}")) << out.toStdString();
    EXPECT_TRUE(out.contains("\\b fett}"));
    EXPECT_TRUE(out.contains("\\fs14 klein}"));
}

TEST(RtfWriter, TablesKeepRowsCellsAndWidths) {
    const QByteArray out = rtf(QStringLiteral(
        "<table width=300 border=1 cellpadding=2>"
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
