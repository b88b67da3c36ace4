// Renders the German handbook (docs/handbuch/handbuch.html and its pictures)
// to a PDF at build time, through the same pipeline as every printed page:
// HTML → styled text → A4 pages with "Handbuch · Seite N" at the foot.
//
//   handbookgen HANDBUCH.html OUT.pdf

#include "core/atomic_file.h"
#include "print/print_pipeline.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTextDocument>
#include <QUrl>

#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "Aufruf: handbookgen HANDBUCH.html AUSGABE.pdf\n");
        return 2;
    }
    const QString in = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    QFile file(in);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s kann nicht gelesen werden.\n", qPrintable(in));
        return 3;
    }
    QString html = QString::fromUtf8(file.readAll());
    // Pictures beside the HTML file: their names made absolute, so the layout
    // finds them wherever the build runs.
    const QString folder = QFileInfo(in).absolutePath();
    static const QRegularExpression img(QStringLiteral("src=\"(?![a-z]+:)([^\"]+)\""));
    QString resolved;
    qsizetype done = 0;
    for (const QRegularExpressionMatch& m : img.globalMatch(html)) {
        resolved += html.mid(done, m.capturedStart() - done);
        const QString path = QDir(folder).absoluteFilePath(m.captured(1));
        if (!QFileInfo::exists(path)) {
            std::fprintf(stderr, "Bild fehlt: %s\n", qPrintable(path));
            return 3;
        }
        resolved += QStringLiteral("src=\"%1\"").arg(QUrl::fromLocalFile(path).toString());
        done = m.capturedEnd();
    }
    html = resolved + html.mid(done);

    auto document = quandor::print::parseHtml(html);
    document->setBaseUrl(QUrl::fromLocalFile(folder + QLatin1Char('/')));
    quandor::print::PageOptions options;
    options.footer = QStringLiteral("Quandor Handbuch · Seite ");
    QString error;
    const QByteArray pdf = quandor::print::pdfBytes(*document, {}, options, &error);
    if (pdf.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 3;
    }
    QString reason;
    if (!quandor::writeFileAtomically(out, pdf, &reason)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(out), qPrintable(reason));
        return 3;
    }
    return 0;
}
