#include "print/print_pipeline.h"

#include "core/atomic_file.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
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
            painter.drawText(QPointF(body_.left(), y + m.ascent()), list_.heading);
            y += m.height() + 4;
        }
        std::vector<ListCell> head;
        for (const ListColumn& c : list_.columns) head.push_back({c.title, {}, true, ListCell::Size::Normal});
        const LaidRow headLaid = layRow(head);
        y = paintRow(painter, head, headLaid, y);
        for (const std::vector<ListCell>& row : list_.rows) {
            const LaidRow laid = layRow(row);
            if (y + laid.height > body_.bottom() && y > body_.top()) {
                if (!newPage()) return false;
                y = paintRow(painter, head, headLaid, body_.top());
            }
            y = paintRow(painter, row, laid, y);
        }
        return true;
    }

  private:
    struct Face {
        QFont draw;
        std::unique_ptr<QFontMetricsF> metrics;
    };
    const Face& face(ListCell::Size size, bool bold) const { return faces_[int(size)][bold ? 1 : 0]; }

    double columnWidth(size_t c) const { return right_[c] - left_[c] - 2 * list_.padding; }

    // The lines of `text` within `width`, wrapped at blanks (a word wider
    // than the column is broken where it must).
    static QStringList wrap(const QString& text, const QFontMetricsF& m, double width) {
        if (text.isEmpty()) return {};
        if (m.horizontalAdvance(text) <= width) return {text};
        QStringList lines;
        QString line;
        for (const QString& word : text.split(QLatin1Char(' '))) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (m.horizontalAdvance(candidate) <= width) {
                line = candidate;
                continue;
            }
            if (!line.isEmpty()) lines << line;
            line = word;
            while (line.size() > 1 && m.horizontalAdvance(line) > width) {
                qsizetype cut = line.size() - 1;
                while (cut > 1 && m.horizontalAdvance(line.left(cut)) > width) --cut;
                lines << line.left(cut);
                line = line.mid(cut);
            }
        }
        if (!line.isEmpty()) lines << line;
        return lines;
    }

    // A row's cells broken into lines, and its height.
    struct LaidRow {
        std::vector<QStringList> lines, below;
        double height = 0;
    };

    LaidRow layRow(const std::vector<ListCell>& row) const {
        LaidRow laid;
        const Face& small = face(ListCell::Size::Small, false);
        double h = faces_[0][0].metrics->height();
        const size_t n = std::min(row.size(), left_.size());
        laid.lines.resize(n);
        laid.below.resize(n);
        for (size_t c = 0; c < n; ++c) {
            const Face& f = face(row[c].size, row[c].bold);
            const double w = columnWidth(c);
            laid.lines[c] = wrap(row[c].text, *f.metrics, w);
            laid.below[c] = wrap(row[c].below, *small.metrics, w);
            h = std::max(h, laid.lines[c].size() * f.metrics->height() +
                                laid.below[c].size() * small.metrics->height());
        }
        laid.height = h + 2 * list_.padding + 1;
        return laid;
    }

    double paintRow(QPainter& painter, const std::vector<ListCell>& row, const LaidRow& laid,
                    double top) {
        for (size_t c = 0; c < laid.lines.size(); ++c) {
            const bool right = list_.columns[c].align & Qt::AlignRight;
            double y = top + list_.padding;
            auto lines = [&](const QStringList& text, const Face& f) {
                if (text.isEmpty()) return;
                if (painter.font() != f.draw) painter.setFont(f.draw);
                for (const QString& line : text) {
                    const double x = right ? right_[c] - list_.padding - f.metrics->horizontalAdvance(line)
                                           : left_[c] + list_.padding;
                    painter.drawText(QPointF(x, y + f.metrics->ascent()), line);
                    y += f.metrics->height();
                }
            };
            lines(laid.lines[c], face(row[c].size, row[c].bold));
            lines(laid.below[c], face(ListCell::Size::Small, false));
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

std::unique_ptr<QTextDocument> writeAndParseHtml(const QString& html, const QString& htmlPath,
                                                 QString* error) {
    if (!writeHtmlFile(html, htmlPath, error)) return nullptr;
    QFile back(htmlPath);
    if (!back.open(QIODevice::ReadOnly)) {
        fail(error, QStringLiteral("Die Datei „%1“ konnte nicht gelesen werden.").arg(htmlPath));
        return nullptr;
    }
    return parseHtml(QString::fromUtf8(back.readAll()));
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
    auto footer = [&] {
        ++painted;
        painter.setFont(font);
        painter.setPen(Qt::black);
        const QString text = options.footer + QString::number(painted);
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

bool writePdf(QTextDocument& document, const PageOptions& options, const QString& path,
              QString* error) {
    return writePdf(document, ListTable{}, options, path, error);
}

bool writePdf(QTextDocument& document, const ListTable& list, const PageOptions& options,
              const QString& path, QString* error) {
    if (!haveGui(error)) return false;
    const QFileInfo info(path);
    if (info.isDir())
        return fail(error, cannotWrite(path, QStringLiteral("dort liegt ein Ordner")));
    if (!info.absoluteDir().exists())
        return fail(error, cannotWrite(path, QStringLiteral("der Ordner fehlt")));
    QFile::remove(path);
    AtomicFile file(path);
    QString reason;
    if (!file.open(&reason)) return fail(error, cannotWrite(path, reason));
    {
        QPdfWriter writer(&file.device());
        writer.setResolution(static_cast<int>(kPointsPerInch));
        writer.setCreator(QStringLiteral("Quandor"));
        writer.setTitle(options.footer.trimmed());
        if (paintAll(document, &list, options, writer) == 0) {
            file.cancel();
            return fail(error, cannotWrite(path, {}));
        }
    }
    if (!file.commit(&reason)) return fail(error, cannotWrite(path, reason));
    return true;
}

bool writePdf(const QString& html, const PageOptions& options, const QString& path,
              QString* error) {
    if (!haveGui(error)) return false;
    const std::unique_ptr<QTextDocument> document = parseHtml(html);
    return writePdf(*document, options, path, error);
}

}  // namespace quandor::print
