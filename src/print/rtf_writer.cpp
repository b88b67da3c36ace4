#include "print/rtf_writer.h"

#include <QAbstractTextDocumentLayout>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <cmath>
#include <map>

namespace quandor::print {

namespace {

constexpr int kTwipsPerPoint = 20;

int twips(double points) {
    return static_cast<int>(std::lround(points * kTwipsPerPoint));
}

class RtfWriter {
  public:
    explicit RtfWriter(QTextDocument& document) : doc_(document) {}

    QByteArray write(const ListTable* list = nullptr, const QString& footer = QString()) {
        QAbstractTextDocumentLayout* layout = doc_.documentLayout();
        if (doc_.pageSize().width() <= 0) doc_.setPageSize(QSizeF(555, 742));
        (void)layout->documentSize();  // forces the layout
        writeFrame(doc_.rootFrame(), false);
        if ((list && !list->empty()) || !footer.isEmpty()) listFont_ = fontIndex(QTextCharFormat());
        if (list && !list->empty()) writeList(*list);

        QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
        for (size_t i = 0; i < fonts_.size(); ++i) {
            out += "{\\f" + QByteArray::number(int(i)) + "\\fnil ";
            out += escape(fonts_[i]) + ";}";
        }
        out += "}\n";
        // A4 with the margins of the printed page.
        out += "\\paperw11906\\paperh16838\\margl400\\margr400\\margt800\\margb1200\n";
        if (!footer.isEmpty()) {
            // The footer text and the page number at the foot of every page.
            out += "{\\footer\\pard\\qc{\\plain\\f" + QByteArray::number(listFont_) + "\\fs16 " +
                   escape(footer) + "\\chpgn}\\par}\n";
        }
        out += body_;
        out += "}\n";
        return out;
    }

  private:
    // A painted list (see list_table.h) as an RTF table: it starts on a new
    // page, its heading row repeats on every page, and the columns keep the
    // list's proportions across the printable width.
    void writeList(const ListTable& list) {
        const double printable = doc_.pageSize().width() > 0 ? doc_.pageSize().width() : 555;
        double total = 0;
        for (const ListColumn& c : list.columns) total += c.width;
        if (total <= 0) total = 1;
        std::vector<int> edges;
        double x = 0;
        for (const ListColumn& c : list.columns) {
            x += c.width * printable / total;
            edges.push_back(twips(x));
        }
        const QByteArray f = "\\f" + QByteArray::number(listFont_);
        const QByteArray gap = QByteArray::number(twips(list.padding));
        auto sizeOf = [&](ListCell::Size s) {
            const double pt = s == ListCell::Size::Tiny    ? list.fontSize - 2
                              : s == ListCell::Size::Small ? list.fontSize - 1
                                                           : list.fontSize;
            return QByteArray::number(std::max(2, int(std::lround(pt * 2))));
        };
        QByteArray rowHead = "\\trowd\\trgaph" + gap;
        QByteArray cellDefs;
        for (size_t c = 0; c < edges.size(); ++c) {
            if (list.border)
                cellDefs +=
                    "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10"
                    "\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10";
            cellDefs += "\\clvertalt\\cellx" + QByteArray::number(edges[c]);
        }
        auto align = [&](size_t c) -> QByteArray {
            const Qt::Alignment a = list.columns[c].align;
            return (a & Qt::AlignRight) ? "\\qr" : (a & Qt::AlignHCenter) ? "\\qc" : "\\ql";
        };
        QByteArray& out = body_;
        out.reserve(out.size() + qsizetype(list.rows.size()) * qsizetype(list.columns.size()) * 60);
        out += "\\pard\\pagebb\\ql {\\plain" + f + "\\fs" + sizeOf(ListCell::Size::Normal) +
               "\\b " + escape(list.heading) + "}\\par\n";
        // The heading row, repeated at the top of every page.
        out += rowHead + "\\trhdr" + cellDefs + '\n';
        for (size_t c = 0; c < list.columns.size(); ++c) {
            out += "\\pard\\intbl" + align(c) + " {\\plain" + f + "\\fs" +
                   sizeOf(ListCell::Size::Normal) + "\\b " + escape(list.columns[c].title) + '}';
            if (!list.columns[c].below.isEmpty())
                out += "{\\plain" + f + "\\fs" + sizeOf(ListCell::Size::Small) + "\\line " +
                       escape(list.columns[c].below) + '}';
            out += "\\cell\n";
        }
        out += "\\pard\\intbl\\row\n";
        for (const std::vector<ListCell>& row : list.rows) {
            out += rowHead + "\\trkeep" + cellDefs + '\n';
            for (size_t c = 0; c < list.columns.size(); ++c) {
                out += "\\pard\\intbl" + align(c) + ' ';
                if (c < row.size()) {
                    const ListCell& cell = row[c];
                    if (!cell.text.isEmpty())
                        out += "{\\plain" + f + "\\fs" + sizeOf(cell.size) +
                               (cell.bold ? "\\b " : " ") + escape(cell.text) + '}';
                    if (!cell.below.isEmpty())
                        out += "{\\plain" + f + "\\fs" + sizeOf(ListCell::Size::Small) + "\\line " +
                               escape(cell.below) + '}';
                }
                out += "\\cell\n";
            }
            out += "\\pard\\intbl\\row\n";
        }
        out += "\\pard\n";
    }

    void writeFrame(QTextFrame* frame, bool inTable) {
        for (QTextFrame::iterator it = frame->begin(); !it.atEnd(); ++it) {
            if (QTextFrame* child = it.currentFrame()) {
                if (auto* table = qobject_cast<QTextTable*>(child); table && !inTable)
                    writeTable(table);
                else
                    writeFrame(child, inTable);  // nested tables become plain paragraphs
            } else {
                writeBlock(it.currentBlock(), inTable, false);
            }
        }
    }

    // A paragraph; inside a table cell the last one ends with \cell instead of \par.
    void writeBlock(const QTextBlock& block, bool inTable, bool lastInCell) {
        const QTextBlockFormat bf = block.blockFormat();
        body_ += "\\pard";
        if (inTable) body_ += "\\intbl";
        switch (bf.alignment() &
                (Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter | Qt::AlignJustify)) {
            case Qt::AlignRight:
                body_ += "\\qr";
                break;
            case Qt::AlignHCenter:
                body_ += "\\qc";
                break;
            case Qt::AlignJustify:
                body_ += "\\qj";
                break;
            default:
                body_ += "\\ql";
                break;
        }
        if (bf.topMargin() > 0) body_ += "\\sb" + QByteArray::number(twips(bf.topMargin()));
        if (bf.bottomMargin() > 0) body_ += "\\sa" + QByteArray::number(twips(bf.bottomMargin()));
        body_ += ' ';
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid()) writeFragment(fragment);
        }
        if (lastInCell)
            body_ += "\\cell\n";
        else
            body_ += "\\par\n";
    }

    void writeFragment(const QTextFragment& fragment) {
        const QTextCharFormat cf = fragment.charFormat();
        body_ += "{\\plain\\f" + QByteArray::number(fontIndex(cf));
        body_ += "\\fs" + QByteArray::number(halfPoints(fragment));
        if (cf.fontWeight() >= QFont::DemiBold) body_ += "\\b";
        if (cf.fontItalic()) body_ += "\\i";
        if (cf.fontUnderline()) body_ += "\\ul";
        if (cf.verticalAlignment() == QTextCharFormat::AlignSuperScript) body_ += "\\super";
        if (cf.verticalAlignment() == QTextCharFormat::AlignSubScript) body_ += "\\sub";
        body_ += ' ';
        body_ += escape(fragment.text());
        body_ += '}';
    }

    // The size the layout gave the text; sizes given only relative to the
    // document's font ("<small>", headings) are thereby resolved as printed.
    int halfPoints(const QTextFragment& fragment) const {
        const QList<QGlyphRun> runs = fragment.glyphRuns();
        double size = 0;
        if (!runs.isEmpty()) size = runs.first().rawFont().pixelSize();
        if (size <= 0) {
            const QFont f = fragment.charFormat().font();
            size = f.pointSizeF() > 0 ? f.pointSizeF() : doc_.defaultFont().pointSizeF();
        }
        return std::max(2, static_cast<int>(std::lround(size * 2)));
    }

    int fontIndex(const QTextCharFormat& cf) {
        const QStringList families = cf.fontFamilies().toStringList();
        QString family = families.isEmpty() ? QString() : families.first();
        if (family.isEmpty()) family = doc_.defaultFont().family();
        auto it = fontIndexes_.find(family);
        if (it != fontIndexes_.end()) return it->second;
        const int index = static_cast<int>(fonts_.size());
        fonts_.push_back(family);
        fontIndexes_[family] = index;
        return index;
    }

    void writeTable(QTextTable* table) {
        const int rows = table->rows();
        const int columns = table->columns();
        if (rows == 0 || columns == 0) return;
        const std::vector<int> edges = columnEdges(table);
        const QTextTableFormat tf = table->format();
        const QByteArray gap = QByteArray::number(twips(tf.cellPadding()));
        const bool border = tf.border() > 0;

        for (int r = 0; r < rows; ++r) {
            QByteArray row = "\\trowd\\trgaph" + gap;
            if (tf.alignment() & Qt::AlignHCenter) row += "\\trqc";
            // Cell definitions first, then their contents.
            QByteArray cells;
            for (int c = 0; c < columns;) {
                const QTextTableCell cell = table->cellAt(r, c);
                const int span = std::max(1, cell.columnSpan());
                if (border)
                    row +=
                        "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10"
                        "\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10";
                const auto va = cell.format().verticalAlignment();
                row += va == QTextCharFormat::AlignMiddle   ? "\\clvertalc"
                       : va == QTextCharFormat::AlignBottom ? "\\clvertalb"
                                                            : "\\clvertalt";
                if (cell.row() != r) {
                    row += "\\clvmrg";  // covered by a cell spanning rows from above
                } else if (cell.rowSpan() > 1) {
                    row += "\\clvmgf";
                }
                const int last = std::min(columns, c + span);
                row += "\\cellx" + QByteArray::number(edges[size_t(last)]);
                std::swap(body_, cells);
                if (cell.row() != r)
                    body_ += "\\pard\\intbl \\cell\n";
                else
                    writeCell(cell);
                std::swap(body_, cells);
                c = last;
            }
            body_ += row + '\n' + cells + "\\pard\\intbl\\row\n";
        }
        body_ += "\\pard\n";
    }

    void writeCell(const QTextTableCell& cell) {
        std::vector<QTextBlock> blocks;
        for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
            if (QTextFrame* nested = it.currentFrame()) {
                // A table inside a cell: its text as paragraphs of this cell.
                for (QTextBlock b = nested->firstCursorPosition().block();
                     b.isValid() && b.position() < nested->lastPosition(); b = b.next())
                    blocks.push_back(b);
            } else {
                blocks.push_back(it.currentBlock());
            }
        }
        if (blocks.empty()) {
            body_ += "\\pard\\intbl \\cell\n";
            return;
        }
        for (size_t i = 0; i < blocks.size(); ++i)
            writeBlock(blocks[i], true, i + 1 == blocks.size());
    }

    // Right edges of the columns in twips, from where the layout put the
    // cells (index 0 is the table's left edge).
    std::vector<int> columnEdges(QTextTable* table) const {
        const int columns = table->columns();
        QAbstractTextDocumentLayout* layout = doc_.documentLayout();
        const QRectF frame = layout->frameBoundingRect(table);
        std::vector<double> left(size_t(columns) + 1, -1);
        for (int r = 0; r < table->rows(); ++r)
            for (int c = 0; c < columns; ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                if (cell.column() != c || left[size_t(c)] >= 0) continue;
                const QRectF rect = layout->blockBoundingRect(cell.firstCursorPosition().block());
                if (rect.isValid()) left[size_t(c)] = rect.left() - table->format().cellPadding();
            }
        left[size_t(columns)] = frame.right();
        left[0] = frame.left();
        // Columns the layout did not place share the remaining width evenly.
        for (int c = 1; c < columns; ++c)
            if (left[size_t(c)] <= left[size_t(c - 1)])
                left[size_t(c)] =
                    left[size_t(c - 1)] + (frame.right() - left[size_t(c - 1)]) / (columns - c + 1);
        std::vector<int> edges(size_t(columns) + 1);
        for (int c = 0; c <= columns; ++c) edges[size_t(c)] = twips(left[size_t(c)] - frame.left());
        for (int c = 1; c <= columns; ++c)
            edges[size_t(c)] = std::max(edges[size_t(c)], edges[size_t(c - 1)] + 20);
        return edges;
    }

    static QByteArray escape(const QString& text) {
        QByteArray out;
        out.reserve(text.size());
        for (const QChar ch : text) {
            const char16_t u = ch.unicode();
            if (u == '\\' || u == '{' || u == '}') {
                out += '\\';
                out += char(u);
            } else if (u == '\t') {
                out += "\\tab ";
            } else if (u == QChar::LineSeparator || u == '\n') {
                out += "\\line ";
            } else if (u == QChar::Nbsp) {
                out += "\\~";
            } else if (u == QChar::ParagraphSeparator || u == QChar::ObjectReplacementCharacter) {
                // paragraph ends and images are written by the structure around the text
            } else if (u < 0x20) {
                // control characters have no place in the text
            } else if (u < 0x80) {
                out += char(u);
            } else if (u >= 0xA0 && u <= 0xFF) {
                // Latin-1 letters are the same code in Windows-1252.
                static const char hex[] = "0123456789abcdef";
                out += "\\'";
                out += hex[u >> 4];
                out += hex[u & 0xF];
            } else {
                out += "\\u" + QByteArray::number(int(int16_t(u))) + '?';
            }
        }
        return out;
    }

    QTextDocument& doc_;
    QByteArray body_;
    std::vector<QString> fonts_;
    std::map<QString, int> fontIndexes_;
    int listFont_ = 0;  // the document's own font, for the list and the footer
};

}  // namespace

QByteArray rtfFromDocument(QTextDocument& document) {
    return RtfWriter(document).write();
}

QByteArray rtfFromDocument(QTextDocument& document, const ListTable& list, const QString& footer) {
    return RtfWriter(document).write(&list, footer);
}

}  // namespace quandor::print
