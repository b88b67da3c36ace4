#include "print/print_pipeline.h"

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
#include <QSaveFile>
#include <QTextDocument>

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

std::unique_ptr<QTextDocument> writeAndParseHtml(const QString& html, const QString& htmlPath,
                                                 QString* error) {
    QFile::remove(htmlPath);
    QSaveFile file(htmlPath);
    const QByteArray bytes = html.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        fail(error, cannotWrite(htmlPath, file.errorString()));
        return nullptr;
    }
    QFile back(htmlPath);
    if (!back.open(QIODevice::ReadOnly)) {
        fail(error, QStringLiteral("Die Datei „%1“ konnte nicht gelesen werden.").arg(htmlPath));
        return nullptr;
    }
    return parseHtml(QString::fromUtf8(back.readAll()));
}

int paintPages(QTextDocument& document, const PageOptions& options, QPagedPaintDevice& device) {
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

        painter.setFont(font);
        painter.setPen(Qt::black);
        const QString text = options.footer + QString::number(page + 1);
        const QRectF line(0, footerTop, sheet.width(), metrics.height());
        painter.drawText(line, Qt::AlignHCenter | Qt::AlignTop, text);
    }
    painter.end();
    return pages;
}

bool writePdf(QTextDocument& document, const PageOptions& options, const QString& path,
              QString* error) {
    if (!haveGui(error)) return false;
    const QFileInfo info(path);
    if (info.isDir())
        return fail(error, cannotWrite(path, QStringLiteral("dort liegt ein Ordner")));
    if (!info.absoluteDir().exists())
        return fail(error, cannotWrite(path, QStringLiteral("der Ordner fehlt")));
    QFile::remove(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fail(error, cannotWrite(path, file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setResolution(static_cast<int>(kPointsPerInch));
        writer.setCreator(QStringLiteral("Quandor"));
        writer.setTitle(options.footer.trimmed());
        if (paintPages(document, options, writer) == 0) {
            file.cancelWriting();
            return fail(error, cannotWrite(path, {}));
        }
    }
    if (!file.commit()) return fail(error, cannotWrite(path, file.errorString()));
    return true;
}

bool writePdf(const QString& html, const PageOptions& options, const QString& path,
              QString* error) {
    if (!haveGui(error)) return false;
    const std::unique_ptr<QTextDocument> document = parseHtml(html);
    return writePdf(*document, options, path, error);
}

}  // namespace quandor::print
