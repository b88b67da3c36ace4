#include "ui/pdf_preview.h"

#include "ui/placement.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPdfDocument>
#include <QPdfView>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

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
    setObjectName(QStringLiteral("pdfPreview"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    view_ = makePdfView(this, &document_);
    layout->addWidget(view_, 1);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(12, 8, 12, 8);
    pages_ = new QLabel(this);
    pages_->setObjectName(QStringLiteral("pageCount"));
    close_ = new QPushButton(QStringLiteral("Schließen"), this);
    close_->setObjectName(QStringLiteral("closeButton"));
    bar->addWidget(pages_, 1);
    bar->addWidget(close_);
    layout->addLayout(bar);
    connect(close_, &QPushButton::clicked, this, &QWidget::close);

    resize(preferredSize());
    // Escape and the usual close key close the preview.
    auto* close = new QShortcut(QKeySequence::Close, this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

QSize PdfPreviewWindow::preferredSize() {
    return {680, 900};
}

bool PdfPreviewWindow::load(const QString& path) {
    document_->close();
    const bool ok = document_->load(path) == QPdfDocument::Error::None;
    const int count = ok ? document_->pageCount() : 0;
    pages_->setText(!ok          ? QStringLiteral("Die Vorschau konnte nicht gelesen werden.")
                    : count == 1 ? QStringLiteral("1 Seite")
                                 : QStringLiteral("%1 Seiten").arg(count));
    return ok;
}

PdfPreviewWindow* showPdfPreview(const QString& pdfPath, const QString& title, QWidget* over) {
    static std::map<QString, QPointer<PdfPreviewWindow>> windows;
    QPointer<PdfPreviewWindow>& window = windows[title];
    const bool fresh = window.isNull();
    if (fresh) {
        // Without a parent: a sheet that is modal over `over` would block a
        // child window of it, and the person could neither scroll nor close it.
        window = new PdfPreviewWindow;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowTitle(title);
        if (over) window->setWindowIcon(over->window()->windowIcon());
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, window, &QObject::deleteLater);
    }
    window->load(pdfPath);
    if (fresh)
        placeOnScreen(window, PdfPreviewWindow::preferredSize(), over ? over->window() : nullptr);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

print::PrintDialog printDialogOver(QWidget* parent) {
    return [parent](const print::PrintJob& job) {
        return printWithDialog(parent,
                               [&job](QPagedPaintDevice& printer) { return job.print(printer); });
    };
}

bool printWithDialog(QWidget* parent, const std::function<bool(QPagedPaintDevice&)>& paint) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Drucken"));
    if (dialog.exec() != QDialog::Accepted) return false;
    return paint(printer);
}

}  // namespace quandor::ui
