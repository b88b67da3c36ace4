#include "ui/inventar_window.h"

#include "assets/asset_lists.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "ui/pdf_preview.h"
#include "ui/placement.h"

#include <QAction>
#include <QDateEdit>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quandor::ui {

// ---- add sheets ------------------------------------------------------------------------

InventorySheet::InventorySheet(InventoryController& controller, QuandorAppDelegate& app,
                               bool fromItem, QWidget* parent)
    : QDialog(parent), c_(controller), app_(app), fromItem_(fromItem) {
    setObjectName(fromItem ? QStringLiteral("inventoryItemSheet")
                           : QStringLiteral("inventoryDirectSheet"));
    setWindowTitle(fromItem ? QStringLiteral("In die Inventarliste übernehmen")
                            : QStringLiteral("Neuer Gegenstand"));
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    auto* head = new QLabel(fromItem ? QStringLiteral("Posten in die Inventarliste übernehmen")
                                     : QStringLiteral("Gegenstand in die Inventarliste aufnehmen"),
                            this);
    QFont f = head->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.15);
    head->setFont(f);
    layout->addWidget(head);

    auto* form = new QFormLayout;
    title_ = new QLineEdit(this);
    title_->setPlaceholderText(QStringLiteral("z. B. Schreibtisch"));
    date_ = new QDateEdit(this);
    date_->setCalendarPopup(true);
    date_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    brutto_ = new QLineEdit(this);
    brutto_->setPlaceholderText(QStringLiteral("0,00"));
    netto_ = new QLineEdit(this);
    netto_->setPlaceholderText(QStringLiteral("0,00"));
    category_ = new QLineEdit(this);
    category_->setPlaceholderText(QStringLiteral("z. B. Büroausstattung"));
    comment_ = new QLineEdit(this);
    form->addRow(QStringLiteral("&Gegenstand:"), title_);
    form->addRow(QStringLiteral("&Kaufdatum:"), date_);
    form->addRow(QStringLiteral("&Brutto:"), brutto_);
    form->addRow(QStringLiteral("&Netto:"), netto_);
    form->addRow(QStringLiteral("K&ategorie:"), category_);
    form->addRow(QStringLiteral("Ko&mmentar:"), comment_);
    layout->addLayout(form);

    auto* box = new QDialogButtonBox(this);
    QPushButton* ok =
        box->addButton(fromItem ? QStringLiteral("Übernehmen") : QStringLiteral("Hinzufügen"),
                       QDialogButtonBox::AcceptRole);
    box->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addSpacing(8);
    layout->addWidget(box);
    setMinimumWidth(400);
}

bool InventorySheet::mine() const {
    return c_.sheet() ==
           (fromItem_ ? InventoryController::Sheet::FromItem : InventoryController::Sheet::Direct);
}

void InventorySheet::openSheet() {
    if (!(fromItem_ ? c_.openItemAddWindow() : c_.openDirectAddWindow())) return;
    const Record& r = *c_.sheetRecord();
    title_->setText(r.text(keys::title));
    shownDate_ = localDay(r.date(keys::date));
    date_->setDate(shownDate_);
    const float brutto = r.real(keys::brutto), netto = r.real(keys::netto);
    brutto_->setText(brutto != 0 ? plainAmountText(brutto) : QString());
    netto_->setText(netto != 0 ? plainAmountText(netto) : QString());
    category_->clear();
    comment_->clear();
    title_->selectAll();
    title_->setFocus();
    open();
}

bool InventorySheet::commit() {
    float amounts[2] = {0, 0};
    QLineEdit* fields[2] = {brutto_, netto_};
    for (int i = 0; i < 2; ++i) {
        const QString text = fields[i]->text().trimmed();
        if (text.isEmpty()) continue;
        bool ok = false;
        amounts[i] = parseAmount(text, &ok);
        if (!ok) {
            app_.ui().beep();
            app_.ui().alert(
                AlertStyle::Warning, QStringLiteral("Fehler!"),
                QStringLiteral(
                    "„%1“ ist kein Betrag. Bitte gib den Preis als Zahl ein, z. B. 119,00.")
                    .arg(text),
                {QStringLiteral("OK")});
            fields[i]->setFocus();
            fields[i]->selectAll();
            return false;
        }
    }
    const Record& r = *c_.sheetRecord();
    // A taken-over amount that was not touched keeps its exact value.
    if (brutto_->text().trimmed() != plainAmountText(r.real(keys::brutto)))
        c_.setAmount(keys::brutto, amounts[0]);
    if (netto_->text().trimmed() != plainAmountText(r.real(keys::netto)))
        c_.setAmount(keys::netto, amounts[1]);
    c_.setText(keys::title, title_->text());
    c_.setText(keys::category, category_->text());
    c_.setText(keys::comment, comment_->text());
    if (date_->date() != shownDate_)
        c_.setDate(
            Date::fromUnix(double(QDateTime(date_->date(), QTime(12, 0)).toSecsSinceEpoch())));
    return true;
}

void InventorySheet::accept() {
    if (mine()) {
        if (!commit()) return;
        fromItem_ ? c_.itemAddAction() : c_.directAddAction();
        QDialog::accept();
        emit added();
        return;
    }
    QDialog::accept();
}

void InventorySheet::reject() {
    if (mine()) {
        fromItem_ ? c_.cancelItemAddWindow() : c_.cancelDirectAddWindow();
        emit added();  // the list drops the sheet's record again
    }
    QDialog::reject();
}

// ---- window ----------------------------------------------------------------------------

InventarWindow::InventarWindow(QuandorAppDelegate& app, InventoryController& controller,
                               QWidget* parent)
    : QDialog(parent), app_(app), c_(controller) {
    setObjectName(QStringLiteral("inventarWindow"));
    setWindowTitle(QStringLiteral("Inventar"));
    setWindowFlag(Qt::Window);
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("inventoryTable"));
    table_->setColumnCount(7);
    table_->setHorizontalHeaderLabels({QStringLiteral("Kaufdatum"), QStringLiteral("Alter"),
                                       QStringLiteral("Gegenstand"), QStringLiteral("Brutto"),
                                       QStringLiteral("Netto"), QStringLiteral("Kategorie"),
                                       QStringLiteral("Kommentar")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->setAlternatingRowColors(true);
    layout->addWidget(table_, 1);

    auto* bottom = new QHBoxLayout;
    auto* add = new QPushButton(QStringLiteral("Neu …"), this);
    add->setToolTip(QStringLiteral("Gegenstand direkt in die Inventarliste aufnehmen"));
    delete_ = new QPushButton(QStringLiteral("Löschen …"), this);
    delete_->setToolTip(QStringLiteral("Ausgewählten Gegenstand löschen (Entf)"));
    summary_ = new QLabel(this);
    csv_ = new QPushButton(QStringLiteral("CSV exportieren …"), this);
    pdf_ = new QPushButton(QStringLiteral("PDF exportieren …"), this);
    print_ = new QPushButton(QStringLiteral("Drucken …"), this);
    print_->setToolTip(QStringLiteral("Die Inventarliste drucken (Strg+P)"));
    for (QPushButton* b : {add, delete_, csv_, pdf_, print_}) b->setAutoDefault(false);
    bottom->addWidget(add);
    bottom->addWidget(delete_);
    bottom->addStretch();
    bottom->addWidget(summary_);
    bottom->addStretch();
    bottom->addWidget(csv_);
    bottom->addWidget(pdf_);
    bottom->addWidget(print_);
    layout->addLayout(bottom);
    resize(960, 440);
    c_.printDialog = printDialogOver(this);
    auto* printAction = new QAction(this);
    printAction->setShortcut(QKeySequence::Print);
    connect(printAction, &QAction::triggered, print_, &QPushButton::click);
    addAction(printAction);

    sheet_ = new InventorySheet(c_, app_, false, this);
    connect(sheet_, &InventorySheet::added, this, &InventarWindow::refresh);
    connect(add, &QPushButton::clicked, this, &InventarWindow::addDirect);
    connect(delete_, &QPushButton::clicked, this, &InventarWindow::deleteSelected);
    connect(csv_, &QPushButton::clicked, this, &InventarWindow::exportCsv);
    connect(pdf_, &QPushButton::clicked, this, &InventarWindow::exportPdf);
    connect(print_, &QPushButton::clicked, this, [this] { c_.printInventory(); });
    connect(table_, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
        if (syncing_) return;
        c_.setSelectedRow(row);
        // The current row is the one the buttons act on: show it selected.
        if (row >= 0 && !table_->selectionModel()->isRowSelected(row, {})) {
            syncing_ = true;
            table_->selectRow(row);
            syncing_ = false;
        }
        updateButtons();
    });
    auto* del = new QAction(table_);
    del->setShortcuts({QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_Backspace)});
    del->setShortcutContext(Qt::WidgetShortcut);
    connect(del, &QAction::triggered, this, &InventarWindow::deleteSelected);
    table_->addAction(del);
}

void InventarWindow::showInventoryWindow() {
    refresh();
    if (!isVisible()) centreOver(this);
    show();
    raise();
    activateWindow();
    table_->setFocus();
}

void InventarWindow::refresh() {
    syncing_ = true;
    const RecordList& records = app_.inventorys();
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    table_->setRowCount(static_cast<int>(records.size()));
    int row = 0;
    for (const RecordPtr& r : records) {
        const QString texts[] = {mediumDateText(r->date(keys::date), locale),
                                 ageText(r->date(keys::date), now),
                                 r->text(keys::title),
                                 listAmountText(r->real(keys::brutto), false, locale),
                                 listAmountText(r->real(keys::netto), false, locale),
                                 r->text(keys::category),
                                 r->text(keys::comment)};
        for (int col = 0; col < 7; ++col) {
            auto* cell = new QTableWidgetItem(texts[col]);
            if (col == 3 || col == 4) cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, col, cell);
        }
        ++row;
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    const int selected = c_.selectedRow();
    if (selected >= 0 && selected < table_->rowCount())
        table_->selectRow(selected);
    else
        table_->clearSelection();
    summary_->setText(records.empty()
                          ? QStringLiteral("Noch keine Gegenstände in der Inventarliste")
                      : records.size() == 1 ? QStringLiteral("1 Gegenstand")
                                            : QStringLiteral("%1 Gegenstände").arg(records.size()));
    syncing_ = false;
    updateButtons();
}

void InventarWindow::updateButtons() {
    const bool has = c_.selectedRow() >= 0 && c_.selectedRow() < table_->rowCount();
    delete_->setEnabled(has);
    csv_->setEnabled(table_->rowCount() > 0);
    pdf_->setEnabled(table_->rowCount() > 0);
    print_->setEnabled(table_->rowCount() > 0);
}

void InventarWindow::addDirect() {
    sheet_->openSheet();
    refresh();
}

void InventarWindow::deleteSelected() {
    c_.deleteItem();
    refresh();
}

void InventarWindow::exportCsv() {
    c_.exportInventory();
}

void InventarWindow::exportPdf() {
    c_.exportInventoryPdf();
}

}  // namespace quandor::ui
