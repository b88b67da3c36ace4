#include "print/page.h"

#include "print/printable_text.h"
#include "print/rtf_writer.h"

#include <QTextDocument>

namespace quandor::print {

namespace {

QString nonBreaking(QString html) {
    return html.replace(u' ', QStringLiteral("&nbsp;"));
}

QString tableOpen(int width, int fontSize, int padding, int spacing, bool border) {
    // The cells' type size goes by a class of the page's style sheet as
    // well: table cells do not take the size of their table.
    if (fontSize > 0)
        return QStringLiteral(
                   "<table class=\"s%4\" width=\"%1\" border=\"%2\" cellpadding=\"%5\" "
                   "cellspacing=\"%3\" style=\"font-size: %4px\">")
            .arg(width)
            .arg(border ? 1 : 0)
            .arg(spacing)
            .arg(fontSize)
            .arg(padding);
    return QStringLiteral(
               "<table width=\"%1\" border=\"%2\" cellpadding=\"%3\" cellspacing=\"%4\">")
        .arg(width)
        .arg(border ? 1 : 0)
        .arg(padding)
        .arg(spacing);
}

void appendTable(QString& h, const Table& t) {
    h += tableOpen(t.width, t.fontSize, t.padding, t.spacing, t.border);
    bool first = true;
    for (const std::vector<TableCell>& row : t.rows) {
        h += QStringLiteral("<tr>");
        const bool widths = first && !t.widths.empty();
        first = false;
        for (size_t i = 0; i < row.size(); ++i) {
            const TableCell& c = row[i];
            QString content = pageText(c.text);
            if (c.keepTogether) content = nonBreaking(content);
            if (c.bold) content = QStringLiteral("<b>") + content + QStringLiteral("</b>");
            if (!c.note.isEmpty()) {
                const QString note =
                    c.keepTogether ? nonBreaking(pageText(c.note)) : pageText(c.note);
                content += QStringLiteral(" <small>") + note + QStringLiteral("</small>");
            }
            h += QStringLiteral("<td");
            if (widths && i < t.widths.size())
                h += QStringLiteral(" width=\"%1\"").arg(t.widths[i]);
            h += (c.align & Qt::AlignRight) ? QStringLiteral(" align=\"right\">")
                                            : QStringLiteral(">");
            h += content;
            h += QStringLiteral("</td>");
        }
        h += QStringLiteral("</tr>");
    }
    h += QStringLiteral("</table>");
}

// Appends `text` as pageText gives it, without building the escaped copy.
void appendPageText(QString& h, const QString& text) {
    const QString printable = printableText(text);
    qsizetype from = 0;
    const qsizetype n = printable.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = printable.at(i).unicode();
        const char16_t* entity = nullptr;
        switch (u) {
            case u'<':
                entity = u"&lt;";
                break;
            case u'>':
                entity = u"&gt;";
                break;
            case u'&':
                entity = u"&amp;";
                break;
            case u'"':
                entity = u"&quot;";
                break;
            default:
                continue;
        }
        h.append(QStringView(printable).mid(from, i - from));
        h.append(QStringView(entity));
        from = i + 1;
    }
    h.append(QStringView(printable).mid(from));
}

// A list cell's text in small and very small type by the classes of the
// page's style sheet.
void appendSized(QString& h, ListCell::Size size, const QString& text) {
    switch (size) {
        case ListCell::Size::Normal:
            appendPageText(h, text);
            return;
        case ListCell::Size::Small:
            h += u"<span class=\"k\">";
            break;
        case ListCell::Size::Tiny:
            h += u"<span class=\"kk\">";
            break;
    }
    appendPageText(h, text);
    h += u"</span>";
}

// The list as one HTML table: the header row carries the columns' widths and
// alignment, each row its cells; a column whose cells have second texts shows
// the second line in every row.
void appendList(QString& h, const ListTable& list) {
    h += QStringLiteral("<br>").repeated(list.breaksBefore);
    // The heading's middle dots and capital umlauts as the page heads write them.
    QString heading = pageText(list.heading);
    heading.replace(u'·', QStringLiteral("&middot;")).replace(u'Ü', QStringLiteral("&Uuml;"));
    h += QStringLiteral("<h4>") + heading + QStringLiteral("</h4>");
    h += tableOpen(list.width, qRound(list.fontSize), qRound(list.padding), 1, list.border);
    const size_t n = list.columns.size();
    std::vector<bool> twoLines(n, false);
    for (size_t c = 0; c < n; ++c) twoLines[c] = !list.columns[c].below.isEmpty();
    for (const std::vector<ListCell>& row : list.rows)
        for (size_t c = 0; c < n && c < row.size(); ++c)
            if (!row[c].below.isEmpty()) twoLines[c] = true;

    h += QStringLiteral("<tr>");
    for (const ListColumn& c : list.columns) {
        h += QStringLiteral("<td width=\"%1\"%2>")
                 .arg(qRound(c.width))
                 .arg((c.align & Qt::AlignRight) ? QStringLiteral(" align=\"right\"") : QString());
        if (!c.title.isEmpty())
            h += QStringLiteral("<b>") + pageText(c.title) + QStringLiteral("</b>");
        if (!c.below.isEmpty())
            h += QStringLiteral("<br><b>") + pageText(c.below) + QStringLiteral("</b>");
        h += QStringLiteral("</td>");
    }
    h += QStringLiteral("</tr>");
    for (const std::vector<ListCell>& row : list.rows) {
        h += u"<tr valign=\"top\">";
        for (size_t c = 0; c < n; ++c) {
            h += u"<td>";
            if (c < row.size()) {
                const ListCell& cell = row[c];
                if (cell.bold) h += u"<b>";
                appendSized(h, cell.size, cell.text);
                if (cell.bold) h += u"</b>";
                if (twoLines[c]) {
                    h += u"<br>";
                    appendSized(h, ListCell::Size::Small, cell.below);
                }
            }
            h += u"</td>";
        }
        h += u"</tr>";
    }
    h += QStringLiteral("</table>");
}

QString headHtml(const Page& page, qsizetype reserve) {
    QString h;
    h.reserve(reserve);
    h += page.prologue;
    for (const Block& block : page.head) {
        if (const auto* text = std::get_if<HtmlText>(&block))
            h += text->html;
        else
            appendTable(h, std::get<Table>(block));
    }
    return h;
}

PageOptions optionsFor(const Page& page, Output output) {
    if (output == Output::Printer) return PageOptions::forPrinter(page.footer);
    PageOptions o;
    o.footer = page.footer;
    return o;
}

}  // namespace

QString pageText(const QString& text) {
    return printableText(text).toHtmlEscaped();
}

QString pageHtml(const Page& page) {
    QString h = headHtml(page, 4096 + qsizetype(page.list.rows.size()) * 400);
    if (!page.list.empty()) appendList(h, page.list);
    h += QStringLiteral("</body></html>");
    return h;
}

std::unique_ptr<QTextDocument> headDocument(const Page& page) {
    return parseHtml(headHtml(page, 4096) + QStringLiteral("</body></html>"));
}

int paintPages(const Page& page, Output output, QPagedPaintDevice& device) {
    const std::unique_ptr<QTextDocument> head = headDocument(page);
    return paintPages(*head, page.list, optionsFor(page, output), device);
}

QByteArray pdfBytes(const Page& page, QString* error) {
    const std::unique_ptr<QTextDocument> head = headDocument(page);
    return pdfBytes(*head, page.list, optionsFor(page, Output::Pdf), error);
}

QByteArray rtfBytes(const Page& page) {
    const std::unique_ptr<QTextDocument> head = headDocument(page);
    return rtfFromDocument(*head, page.list, page.footer);
}

}  // namespace quandor::print
