#include "ui/pdf_preview.h"

#include "print/print_pipeline.h"

#include <QFile>
#include <QGuiApplication>
#include <QKeySequence>
#include <QPdfDocument>
#include <QPdfView>
#include <QPrintDialog>
#include <QPointer>
#include <QPrinter>
#include <QScreen>
#include <QShortcut>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>
#include <map>

namespace quandor::ui {

QPdfView* makePdfView(QWidget* parent, QPdfDocument** document) {
    auto* doc = new QPdfDocument(parent);
    auto* view = new QPdfView(parent);
    view->setDocument(doc);
    view->setPageMode(QPdfView::PageMode::MultiPage);
    view->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    if (document) *document = doc;
    return view;
}

PdfPreviewWindow::PdfPreviewWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    view_ = makePdfView(this, &document_);
    layout->addWidget(view_);
    resize(640, 860);
    // Escape and the usual close key close the preview.
    auto* close = new QShortcut(QKeySequence::Close, this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

bool PdfPreviewWindow::load(const QString& path) {
    document_->close();
    return document_->load(path) == QPdfDocument::Error::None;
}

void showPdfPreview(const QString& pdfPath, const QString& title, QWidget* parent) {
    static std::map<QString, QPointer<PdfPreviewWindow>> windows;
    QPointer<PdfPreviewWindow>& window = windows[title];
    const bool fresh = window.isNull();
    if (fresh) {
        window = new PdfPreviewWindow(parent);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowTitle(title);
    }
    window->load(pdfPath);
    if (fresh) {
        const QRect area = parent ? parent->frameGeometry()
                                  : QGuiApplication::primaryScreen()->availableGeometry();
        const QRect screen = (parent && parent->screen() ? parent->screen()
                                                          : QGuiApplication::primaryScreen())
                                 ->availableGeometry();
        window->resize(window->size().boundedTo(screen.size()));
        QRect frame(QPoint(0, 0), window->size());
        frame.moveCenter(area.center());
        // Never off the screen: its top edge and title bar stay reachable.
        frame.moveTop(std::max(frame.top(), screen.top()));
        frame.moveLeft(std::max(frame.left(), screen.left()));
        window->move(frame.topLeft());
    }
    window->show();
    window->raise();
    window->activateWindow();
}

bool printWithDialog(QWidget* parent, const std::function<bool(QPagedPaintDevice&)>& paint) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Drucken"));
    if (dialog.exec() != QDialog::Accepted) return false;
    return paint(printer);
}

bool printHtmlFile(const QString& htmlPath, const QString& footer, QWidget* parent) {
    QFile file(htmlPath);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const std::unique_ptr<QTextDocument> document =
        print::parseHtml(QString::fromUtf8(file.readAll()));
    return printWithDialog(parent, [&](QPagedPaintDevice& printer) {
        return print::paintPages(*document, print::PageOptions::forPrinter(footer), printer) > 0;
    });
}

}  // namespace quandor::ui
