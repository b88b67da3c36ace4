#include "print/print_pipeline.h"

#include "core/atomic_file.h"
#include "print/printable_text.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

#include <algorithm>
#include <functional>

namespace quandor::print {

namespace {

constexpr double kPointsPerInch = 72.0;
constexpr double kLayoutDpi = 96.0;

// Pages are laid out on a device of the layout's own resolution, at which
// fixed lengths of the HTML are taken as they stand; one unit of that layout
// becomes one point on paper whatever the output device is.
QPaintDevice* layoutDevice() {
    static QImage* device = [] {
        auto* image = new QImage(1, 1, QImage::Format_ARGB32);
        const int dotsPerMeter = qRound(kLayoutDpi / 0.0254);
        image->setDotsPerMeterX(dotsPerMeter);
        image->setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

bool haveGui(QString* error) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return true;
    if (error)
        *error = QStringLiteral(
            "Seiten und PDF-Dateien können ohne grafische Umgebung nicht erstellt werden.");
    return false;
}

bool fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

QString cannotWrite(const QString& path, const QString& detail) {
    QString m = QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden.").arg(path);
    if (!detail.isEmpty()) m += QStringLiteral(" (%1)").arg(detail);
    return m;
}

QFont footerFont(double scaleToDevice) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    // The painter is scaled from points to device units; the font is sized
    // against the device, so it is given in points divided by that scale.
    font.setPointSizeF(8.0 / scaleToDevice);
    return font;
}

// Paints a ListTable row by row, starting new pages as the rows need them.
//
// Texts are wrapped by the widths of their characters, each measured once
// and remembered: the work grows with the length of a text, however long its
// words are. A row taller than a page is continued on the next page, below
// the repeated heading row.
class ListPainter {
  public:
    ListPainter(const ListTable& list, const QRectF& body, double toDevice)
        : list_(list), body_(body) {
        const QString family = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
        const int sizes[3] = {qRound(list.fontSize), qRound(list.fontSize) - 1,
                              qRound(list.fontSize) - 2};
        for (int s = 0; s < 3; ++s)
            for (int b = 0; b < 2; ++b) {
                QFont measure(family);
                measure.setPixelSize(std::max(3, sizes[s]));  // layout units are points
                measure.setBold(b == 1);
                QFont draw = measure;
                draw.setPointSizeF(std::max(3, sizes[s]) / toDevice);
                Face& f = faces_[s][b];
                f.draw = draw;
                f.metrics = std::make_unique<QFontMetricsF>(measure, layoutDevice());
            }
        double total = 0;
        for (const ListColumn& c : list.columns) total += c.width;
        const double scale = total > body.width() ? body.width() / total : 1.0;
        double x = body.left();
        for (const ListColumn& c : list.columns) {
            left_.push_back(x);
            x += c.width * scale;
            right_.push_back(x);
        }
    }

    // Paints the list; `newPage` ends the current page (footer) and starts
    // the next. Returns false when the device refused a new page.
    bool paint(QPainter& painter, const std::function<bool()>& newPage) {
        double y = body_.top();
        const Face& heading = faces_[0][1];
        if (!list_.heading.isEmpty()) {
            QFont big = heading.draw;
            big.setPointSizeF(heading.draw.pointSizeF() * 12.0 / list_.fontSize);
            QFont measure = big;
            measure.setPixelSize(12);
            const QFontMetricsF m(measure, layoutDevice());
            painter.setFont(big);
            // A heading wider than the page is shortened in its middle.
            const QString text =
                m.elidedText(printableText(list_.heading), Qt::ElideMiddle, body_.width());
            painter.drawText(QPointF(body_.left(), y + m.ascent()), text);
            y += m.height() + 4;
        }
        std::vector<ListCell> head;
        for (const ListColumn& c : list_.columns)
            head.push_back({c.title, c.below, true, ListCell::Size::Normal});
        const LaidRow headLaid = layRow(head);
        y = paintRow(painter, headLaid, y);
        bool rowsOnPage = false;
        for (const std::vector<ListCell>& row : list_.rows) {
            LaidRow laid = layRow(row);
            if (rowsOnPage && y + laid.height > body_.bottom()) {
                if (!newPage()) return false;
                y = paintRow(painter, headLaid, body_.top());
                rowsOnPage = false;
            }
            // A row taller than what is left of a fresh page goes on over the next pages.
            while (y + laid.height > body_.bottom()) {
                LaidRow rest = laid.split(body_.bottom() - y - rowExtra(), rowExtra());
                if (rest.empty()) break;  // not even one line fits: paint it whole
                paintRow(painter, laid, y);
                if (!newPage()) return false;
                y = paintRow(painter, headLaid, body_.top());
                laid = std::move(rest);
            }
            y = paintRow(painter, laid, y);
            rowsOnPage = true;
        }
        return true;
    }

  private:
    struct Face {
        QFont draw;
        std::unique_ptr<QFontMetricsF> metrics;
        // Advances of single UTF-16 characters, measured when first needed.
        mutable std::vector<float> advances;
        mutable QHash<QString, double> clusterAdvances;

        double advance(QStringView unit) const {
            if (unit.size() == 1) {
                if (advances.empty()) advances.assign(0x10000, -1.0f);
                float& a = advances[unit.at(0).unicode()];
                if (a < 0) a = float(metrics->horizontalAdvance(unit.toString()));
                return a;
            }
            const QString key = unit.toString();
            const auto it = clusterAdvances.constFind(key);
            if (it != clusterAdvances.constEnd()) return *it;
            const double a = metrics->horizontalAdvance(key);
            if (clusterAdvances.size() < 100000) clusterAdvances.insert(key, a);
            return a;
        }
    };
    const Face& face(ListCell::Size size, bool bold) const {
        return faces_[int(size)][bold ? 1 : 0];
    }

    double columnWidth(size_t c) const { return right_[c] - left_[c] - 2 * list_.padding; }
    double rowExtra() const { return 2 * list_.padding + 1; }

    // Where the character starting at `i` ends: surrogate pairs, accents,
    // joiners and variation selectors stay with the character before them.
    static qsizetype unitEnd(const QString& s, qsizetype i) {
        auto codePoint = [&s](qsizetype at, qsizetype* n) -> char32_t {
            const char16_t u = s.at(at).unicode();
            if (QChar::isHighSurrogate(u) && at + 1 < s.size() &&
                QChar::isLowSurrogate(s.at(at + 1).unicode())) {
                *n = 2;
                return QChar::surrogateToUcs4(u, s.at(at + 1).unicode());
            }
            *n = 1;
            return u;
        };
        qsizetype n = 0;
        const char32_t c = codePoint(i, &n);
        qsizetype end = i + n;
        bool joined = c == 0x200D;
        while (end < s.size()) {
            const char16_t u = s.at(end).unicode();
            // the common case: a character of its own
            if (u < 0x300 && !joined) break;
            qsizetype m = 0;
            const char32_t d = codePoint(end, &m);
            const QChar::Category k = QChar::category(d);
            const bool extends = joined || d == 0x200D || d == 0x200C ||
                                 (d >= 0xFE00 && d <= 0xFE0F) || (d >= 0x1F3FB && d <= 0x1F3FF) ||
                                 (d >= 0xE0020 && d <= 0xE01EF) || k == QChar::Mark_NonSpacing ||
                                 k == QChar::Mark_SpacingCombining || k == QChar::Mark_Enclosing;
            if (!extends) break;
            joined = d == 0x200D;
            end += m;
        }
        return end;
    }
    // The lines of `text` within `width`: wrapped at blanks, and a word wider
    // than the column broken after its last character that fits. Each
    // character is measured once, so the work grows linearly with the text.
    static QStringList wrap(const QString& text, const Face& f, double width) {
        QStringList lines;
        if (text.isEmpty()) return lines;
        qsizetype start = 0;    // where the current line begins
        double used = 0;        // width of text[start, i)
        qsizetype blank = -1;   // the last blank of the current line after some text
        double afterBlank = 0;  // width of the text after that blank
        auto push = [&lines](const QString& s) {
            qsizetype n = s.size();
            while (n > 0 && s.at(n - 1) == QLatin1Char(' ')) --n;
            if (n > 0) lines << s.left(n);
        };
        qsizetype i = 0;
        while (i < text.size()) {
            const qsizetype end = unitEnd(text, i);
            const double w = f.advance(QStringView(text).mid(i, end - i));
            if (text.at(i) == QLatin1Char(' ')) {
                if (i == start) {
                    // no blanks at the start of a line
                    start = end;
                } else {
                    blank = i;
                    afterBlank = 0;
                    used += w;
                }
                i = end;
                continue;
            }
            if (used + w > width && i > start) {
                if (blank > start) {
                    // break at the last blank
                    push(text.mid(start, blank - start));
                    start = blank + 1;
                    while (start < i && text.at(start) == QLatin1Char(' ')) ++start;
                    used = afterBlank;
                    blank = -1;
                }
                if (used + w > width && i > start) {
                    // the word alone is wider than the column
                    push(text.mid(start, i - start));
                    start = i;
                    used = 0;
                    blank = -1;
                }
            }
            used += w;
            afterBlank += w;
            i = end;
        }
        if (start < text.size()) push(text.mid(start));
        return lines;
    }

    // The width of a line as its characters' advances add up (the list's
    // wrapping measures them so): right-aligned texts are not shaped twice.
    static double lineWidth(const QString& text, const Face& f) {
        double w = 0;
        for (qsizetype i = 0; i < text.size();) {
            const qsizetype end = unitEnd(text, i);
            w += f.advance(QStringView(text).mid(i, end - i));
            i = end;
        }
        return w;
    }

    // One line of a cell, in its face.
    struct Line {
        QString text;
        const Face* face;
    };
    // A row's cells broken into lines, and its height.
    struct LaidRow {
        std::vector<std::vector<Line>> cells;
        double height = 0;

        bool empty() const {
            for (const auto& c : cells)
                if (!c.empty()) return false;
            return true;
        }
        static double heightOf(const std::vector<Line>& lines) {
            double h = 0;
            for (const Line& l : lines) h += l.face->metrics->height();
            return h;
        }
        // Keeps the lines that fit into `room` and returns the others as the
        // rest of the row (empty when everything fits or nothing does).
        LaidRow split(double room, double extra) {
            LaidRow rest;
            rest.cells.resize(cells.size());
            bool any = false, kept = false;
            for (size_t c = 0; c < cells.size(); ++c) {
                double h = 0;
                size_t n = 0;
                while (n < cells[c].size() && h + cells[c][n].face->metrics->height() <= room) {
                    h += cells[c][n].face->metrics->height();
                    ++n;
                }
                kept = kept || n > 0;
                if (n < cells[c].size()) {
                    rest.cells[c].assign(cells[c].begin() + qsizetype(n), cells[c].end());
                    cells[c].resize(n);
                    any = true;
                }
            }
            if (!any) return {};
            if (!kept) {
                // nothing fits: undo, the caller paints the row whole
                for (size_t c = 0; c < cells.size(); ++c)
                    cells[c].insert(cells[c].end(), rest.cells[c].begin(), rest.cells[c].end());
                return {};
            }
            double h = 0, hr = 0;
            for (size_t c = 0; c < cells.size(); ++c) {
                h = std::max(h, heightOf(cells[c]));
                hr = std::max(hr, heightOf(rest.cells[c]));
            }
            height = h + extra;
            rest.height = hr + extra;
            return rest;
        }
    };

    LaidRow layRow(const std::vector<ListCell>& row) const {
        LaidRow laid;
        const Face& small = face(ListCell::Size::Small, false);
        double h = faces_[0][0].metrics->height();
        const size_t n = std::min(row.size(), left_.size());
        laid.cells.resize(n);
        for (size_t c = 0; c < n; ++c) {
            const Face& f = face(row[c].size, row[c].bold);
            const double w = columnWidth(c);
            std::vector<Line>& lines = laid.cells[c];
            for (const QString& l : wrap(printableText(row[c].text), f, w))
                lines.push_back({l, &f});
            const QStringList below = wrap(printableText(row[c].below), small, w);
            // The text below keeps its place in the lower line, also when the
            // text above it is empty.
            if (lines.empty() && !below.isEmpty()) lines.push_back({QString(), &f});
            for (const QString& l : below) lines.push_back({l, &small});
            h = std::max(h, LaidRow::heightOf(lines));
        }
        laid.height = h + rowExtra();
        return laid;
    }

    double paintRow(QPainter& painter, const LaidRow& laid, double top) {
        for (size_t c = 0; c < laid.cells.size(); ++c) {
            const bool right = list_.columns[c].align & Qt::AlignRight;
            double y = top + list_.padding;
            for (const Line& line : laid.cells[c]) {
                const Face& f = *line.face;
                if (!line.text.isEmpty()) {
                    if (painter.font() != f.draw) painter.setFont(f.draw);
                    const double x = right ? right_[c] - list_.padding - lineWidth(line.text, f)
                                           : left_[c] + list_.padding;
                    painter.drawText(QPointF(x, y + f.metrics->ascent()), line.text);
                }
                y += f.metrics->height();
            }
            if (list_.border) {
                painter.save();
                painter.setPen(QPen(Qt::black, 0.5));
                painter.drawRect(QRectF(left_[c], top, right_[c] - left_[c], laid.height));
                painter.restore();
            }
        }
        return top + laid.height;
    }

    const ListTable& list_;
    QRectF body_;
    Face faces_[3][2];
    std::vector<double> left_, right_;
};

}  // namespace

std::unique_ptr<QTextDocument> parseHtml(const QString& html) {
    auto document = std::make_unique<QTextDocument>();
    document->documentLayout()->setPaintDevice(layoutDevice());
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(12);  // 12 points on paper; relative sizes derive from it
    document->setDefaultFont(font);
    document->setHtml(html);
    return document;
}

bool writeHtmlFile(const QString& html, const QString& htmlPath, QString* error) {
    QFile::remove(htmlPath);
    QString reason;
    if (!writeFileAtomically(htmlPath, html.toUtf8(), &reason))
        return fail(error, cannotWrite(htmlPath, reason));
    return true;
}

namespace {

int paintAll(QTextDocument& document, const ListTable* list, const PageOptions& options,
             QPagedPaintDevice& device) {
    const QPageSize a4(QPageSize::A4);
    // The margins are applied here, so the device paints the whole sheet.
    QPageLayout layout(a4, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    layout.setMode(QPageLayout::FullPageMode);
    device.setPageLayout(layout);

    const QSizeF sheet = a4.size(QPageSize::Point);
    const QMarginsF& m = options.margins;
    const QRectF body(m.left(), m.top(), sheet.width() - m.left() - m.right(),
                      sheet.height() - m.top() - m.bottom());

    QAbstractTextDocumentLayout* docLayout = document.documentLayout();
    docLayout->setPaintDevice(layoutDevice());
    document.setPageSize(body.size());
    // A table of fixed width may be wider than the paper: lay the page out as
    // wide as it needs and scale it down to the printable width.
    double fit = 1.0;
    const double needed = docLayout->documentSize().width();
    if (needed > body.width() + 0.5) {
        fit = body.width() / needed;
        document.setPageSize(QSizeF(needed, body.height() / fit));
    }
    const QSizeF docPage = document.pageSize();
    const int pages = std::max(1, document.pageCount());

    QPainter painter;
    if (!painter.begin(&device)) return 0;
    const double toDevice = device.logicalDpiY() / kPointsPerInch;
    painter.scale(toDevice, toDevice);  // from here on: points

    const QFont font = footerFont(toDevice);
    QFont unscaled = footerFont(1.0);
    unscaled.setPixelSize(8);  // layout units are points
    const QFontMetricsF metrics(unscaled, layoutDevice());
    const double footerTop = sheet.height() - (m.bottom() + metrics.height()) / 2.0;

    int painted = 0;
    // A footer wider than the page is shortened in its middle, so that its
    // start and the page number stay on the paper.
    const QString footerText = metrics.elidedText(
        printableText(options.footer), Qt::ElideMiddle,
        sheet.width() - m.left() - m.right() - metrics.horizontalAdvance(QStringLiteral("00000")));
    auto footer = [&] {
        ++painted;
        painter.setFont(font);
        painter.setPen(Qt::black);
        const QString text = footerText + QString::number(painted);
        const QRectF line(0, footerTop, sheet.width(), metrics.height());
        painter.drawText(line, Qt::AlignHCenter | Qt::AlignTop, text);
    };
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !device.newPage()) break;
        painter.save();
        painter.translate(body.topLeft());
        painter.scale(fit, fit);
        const QRectF view(0, page * docPage.height(), docPage.width(), docPage.height());
        painter.translate(0, -view.top());
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = view;
        docLayout->draw(&painter, context);
        painter.restore();
        footer();
    }
    if (list && !list->empty() && device.newPage()) {
        ListPainter lister(*list, body, toDevice);
        lister.paint(painter, [&] {
            footer();
            return device.newPage();
        });
        footer();
    }
    painter.end();
    return painted;
}

}  // namespace

int paintPages(QTextDocument& document, const PageOptions& options, QPagedPaintDevice& device) {
    return paintAll(document, nullptr, options, device);
}

int paintPages(QTextDocument& document, const ListTable& list, const PageOptions& options,
               QPagedPaintDevice& device) {
    return paintAll(document, &list, options, device);
}

QByteArray pdfBytes(QTextDocument& document, const ListTable& list, const PageOptions& options,
                    QString* error) {
    if (!haveGui(error)) return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(static_cast<int>(kPointsPerInch));
        writer.setCreator(QStringLiteral("Quandor"));
        writer.setTitle(options.footer.trimmed());
        if (paintAll(document, &list, options, writer) == 0) {
            fail(error, QStringLiteral("Die Seiten konnten nicht gezeichnet werden."));
            return {};
        }
    }
    buffer.close();
    return bytes;
}

}  // namespace quandor::print
