#include "ui/handbook_window.h"

#include "ui/pdf_preview.h"

#include <QHBoxLayout>
#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfSelection>
#include <QPdfView>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QVBoxLayout>

namespace quandor::ui {

namespace {

constexpr int kThumbWidth = 96;

}  // namespace

HandbookWindow::HandbookWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("handbookWindow"));
    setWindowTitle(QStringLiteral("Quandor Handbuch"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* top = new QHBoxLayout;
    top->setContentsMargins(10, 8, 10, 8);
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("handbookSearch"));
    search_->setPlaceholderText(QStringLiteral("Im Handbuch suchen …"));
    search_->setClearButtonEnabled(true);
    auto* next = new QPushButton(QStringLiteral("&Weitersuchen"), this);
    next->setAutoDefault(false);
    top->addWidget(search_, 1);
    top->addWidget(next);
    layout->addLayout(top);

    auto* split = new QSplitter(Qt::Horizontal, this);
    pages_ = new QListWidget(split);
    pages_->setObjectName(QStringLiteral("handbookPages"));
    pages_->setViewMode(QListView::IconMode);
    pages_->setFlow(QListView::TopToBottom);
    pages_->setWrapping(false);
    pages_->setMovement(QListView::Static);
    pages_->setIconSize(QSize(kThumbWidth, kThumbWidth * 297 / 210));
    pages_->setSpacing(6);
    pages_->setFixedWidth(kThumbWidth + 40);
    view_ = makePdfView(split, &document_);
    split->addWidget(pages_);
    split->addWidget(view_);
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(12, 8, 12, 8);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("handbookStatus"));
    auto* close = new QPushButton(QStringLiteral("Schließen"), this);
    close->setAutoDefault(false);
    bar->addWidget(status_, 1);
    bar->addWidget(close);
    layout->addLayout(bar);

    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(search_, &QLineEdit::returnPressed, this, [this] { findNext(search_->text()); });
    connect(next, &QPushButton::clicked, this, [this] { findNext(search_->text()); });
    connect(pages_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row != page_) showPage(row);
    });
    connect(view_->pageNavigator(), &QPdfPageNavigator::currentPageChanged, this, [this](int page) {
        page_ = page;
        const QSignalBlocker block(pages_);
        pages_->setCurrentRow(page);
    });
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        search_->setFocus(Qt::ShortcutFocusReason);
        search_->selectAll();
    });
    auto* closeKey = new QShortcut(QKeySequence::Close, this);
    connect(closeKey, &QShortcut::activated, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    resize(PdfPreviewWindow::preferredSize() + QSize(kThumbWidth + 40, 0));
}

bool HandbookWindow::load(const QString& path) {
    document_->close();
    pages_->clear();
    lastSearch_.clear();
    lastHit_ = -1;
    const bool ok = document_->load(path) == QPdfDocument::Error::None;
    const int count = ok ? document_->pageCount() : 0;
    for (int page = 0; page < count; ++page) {
        const QSizeF points = document_->pagePointSize(page);
        const QSize size(kThumbWidth, points.width() > 0
                                          ? int(kThumbWidth * points.height() / points.width())
                                          : kThumbWidth * 297 / 210);
        auto* entry = new QListWidgetItem(QIcon(QPixmap::fromImage(document_->render(page, size))),
                                          QStringLiteral("Seite %1").arg(page + 1), pages_);
        entry->setTextAlignment(Qt::AlignHCenter);
    }
    status_->setText(ok ? QStringLiteral("%1 Seiten").arg(count)
                        : QStringLiteral("Das Handbuch konnte nicht gelesen werden."));
    page_ = 0;
    if (count > 0) pages_->setCurrentRow(0);
    return ok;
}

void HandbookWindow::showPage(int page) {
    if (page < 0 || page >= document_->pageCount()) return;
    page_ = page;
    view_->pageNavigator()->jump(page, QPointF(0, 0), view_->zoomFactor());
    const QSignalBlocker block(pages_);
    pages_->setCurrentRow(page);
}

int HandbookWindow::findNext(const QString& text) {
    const QString wanted = text.simplified();
    const int count = document_->pageCount();
    if (wanted.isEmpty() || count <= 0) {
        status_->clear();
        return -1;
    }
    std::vector<int> hits;
    for (int page = 0; page < count; ++page)
        if (document_->getAllText(page).text().simplified().contains(wanted, Qt::CaseInsensitive))
            hits.push_back(page);
    if (hits.empty()) {
        status_->setText(QStringLiteral("„%1“ kommt im Handbuch nicht vor.").arg(wanted));
        lastSearch_.clear();
        return -1;
    }
    // The next page with a hit after the last one shown, from the start again after the last.
    const int from = wanted.compare(lastSearch_, Qt::CaseInsensitive) == 0 ? lastHit_ : page_ - 1;
    size_t index = 0;
    while (index < hits.size() && hits[index] <= from) ++index;
    if (index == hits.size()) index = 0;
    lastSearch_ = wanted;
    lastHit_ = hits[index];
    showPage(lastHit_);
    status_->setText(QStringLiteral("„%1“: Seite %2 (%3 von %4 Seiten mit Treffern)")
                         .arg(wanted)
                         .arg(lastHit_ + 1)
                         .arg(index + 1)
                         .arg(hits.size()));
    return lastHit_;
}

}  // namespace quandor::ui
