#include "ui/list_window.h"

#include "ui/placement.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quandor::ui {

QLabel* sheetHeading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.15);
    label->setFont(f);
    return label;
}

void addSheetButtons(QDialog* sheet, QVBoxLayout* layout, const QString& okText) {
    auto* box = new QDialogButtonBox(sheet);
    QPushButton* ok = box->addButton(okText, QDialogButtonBox::AcceptRole);
    box->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    QObject::connect(box, &QDialogButtonBox::accepted, sheet, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, sheet, &QDialog::reject);
    layout->addSpacing(8);
    layout->addWidget(box);
}

ListWindow::ListWindow(const QString& objectName, const QString& title, QWidget* parent)
    : QDialog(parent) {
    setObjectName(objectName);
    setWindowTitle(title);
    setWindowFlag(Qt::Window);
    setModal(false);
}

QTableWidget* ListWindow::makeTable(const QString& objectName, std::vector<ListColumn> columns,
                                    int stretch, QWidget* parent) {
    columns_ = std::move(columns);
    stretch_ = stretch;
    auto* table = new QTableWidget(parent);
    table->setObjectName(objectName);
    table->setColumnCount(static_cast<int>(columns_.size()));
    QStringList titles;
    for (const ListColumn& c : columns_) titles << c.title;
    table->setHorizontalHeaderLabels(titles);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(stretch_, QHeaderView::Stretch);
    table->setAlternatingRowColors(true);
    return table;
}

void ListWindow::setRow(QTableWidget* table, int row, const QStringList& texts) const {
    for (int col = 0; col < texts.size() && col < static_cast<int>(columns_.size()); ++col) {
        auto* cell = new QTableWidgetItem(texts[col]);
        if (columns_[static_cast<size_t>(col)].right)
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, col, cell);
    }
}

void ListWindow::fitColumns(QTableWidget* table) const {
    table->resizeColumnsToContents();
    table->horizontalHeader()->setSectionResizeMode(stretch_, QHeaderView::Stretch);
}

void ListWindow::showSelected(QTableWidget* table, int row) {
    if (row >= 0 && row < table->rowCount())
        table->selectRow(row);
    else
        table->clearSelection();
}

void ListWindow::addBottomBar(QVBoxLayout* layout, std::initializer_list<QPushButton*> left,
                              const Outputs& outputs) {
    auto* bottom = new QHBoxLayout;
    summary_ = new QLabel(this);
    csv_ = new QPushButton(QStringLiteral("CSV exportieren …"), this);
    pdf_ = new QPushButton(QStringLiteral("PDF exportieren …"), this);
    print_ = new QPushButton(QStringLiteral("Drucken …"), this);
    print_->setToolTip(outputs.printToolTip);
    for (QPushButton* b : left) {
        b->setAutoDefault(false);
        bottom->addWidget(b);
    }
    bottom->addStretch();
    bottom->addWidget(summary_);
    bottom->addStretch();
    for (QPushButton* b : {csv_, pdf_, print_}) {
        b->setAutoDefault(false);
        bottom->addWidget(b);
    }
    layout->addLayout(bottom);

    auto* printAction = new QAction(this);
    printAction->setShortcut(QKeySequence::Print);
    connect(printAction, &QAction::triggered, print_, &QPushButton::click);
    addAction(printAction);
    connect(csv_, &QPushButton::clicked, this, outputs.csv);
    connect(pdf_, &QPushButton::clicked, this, outputs.pdf);
    connect(print_, &QPushButton::clicked, this, outputs.print);
}

void ListWindow::onDeleteKey(QWidget* list, const std::function<void()>& remove) {
    auto* del = new QAction(list);
    del->setShortcuts({QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_Backspace)});
    del->setShortcutContext(Qt::WidgetShortcut);
    connect(del, &QAction::triggered, this, remove);
    list->addAction(del);
}

void ListWindow::followCurrentRow(QTableWidget* table, const std::function<void(int)>& select,
                                  const std::function<void()>& changed) {
    connect(table, &QTableWidget::currentCellChanged, this,
            [this, table, select, changed](int row, int, int, int) {
                if (syncing_) return;
                select(row);
                if (row >= 0 && !table->selectionModel()->isRowSelected(row, {})) {
                    syncing_ = true;
                    table->selectRow(row);
                    syncing_ = false;
                }
                changed();
            });
}

void ListWindow::bringToFront(QWidget* focus) {
    if (!isVisible()) centreOver(this);
    show();
    raise();
    activateWindow();
    if (focus) focus->setFocus();
}

void ListWindow::enableOutputs(bool on) {
    for (QPushButton* b : {csv_, pdf_, print_}) b->setEnabled(on);
}

}  // namespace quandor::ui
