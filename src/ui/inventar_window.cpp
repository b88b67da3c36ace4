#include "ui/inventar_window.h"

#include "assets/asset_lists.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "ui/pdf_preview.h"

#include <QDateEdit>
#include <QDateTime>
#include <QFormLayout>
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
    layout->addWidget(
        sheetHeading(fromItem ? QStringLiteral("Posten in die Inventarliste übernehmen")
                              : QStringLiteral("Gegenstand in die Inventarliste aufnehmen"),
                     this));

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

    addSheetButtons(this, layout,
                    fromItem ? QStringLiteral("Übernehmen") : QStringLiteral("Hinzufügen"));
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
    : ListWindow(QStringLiteral("inventarWindow"), QStringLiteral("Inventar"), parent),
      app_(app),
      c_(controller) {
    auto* layout = new QVBoxLayout(this);
    table_ = makeTable(QStringLiteral("inventoryTable"),
                       {{QStringLiteral("Kaufdatum")},
                        {QStringLiteral("Alter")},
                        {QStringLiteral("Gegenstand")},
                        {QStringLiteral("Brutto"), true},
                        {QStringLiteral("Netto"), true},
                        {QStringLiteral("Kategorie")},
                        {QStringLiteral("Kommentar")}},
                       2, this);
    layout->addWidget(table_, 1);

    auto* add = new QPushButton(QStringLiteral("Neu …"), this);
    add->setToolTip(QStringLiteral("Gegenstand direkt in die Inventarliste aufnehmen"));
    delete_ = new QPushButton(QStringLiteral("Löschen …"), this);
    delete_->setToolTip(QStringLiteral("Ausgewählten Gegenstand löschen (Entf)"));
    addBottomBar(layout, {add, delete_},
                 {[this] { exportCsv(); }, [this] { exportPdf(); }, [this] { c_.printInventory(); },
                  QStringLiteral("Die Inventarliste drucken (Strg+P)")});
    resize(960, 440);
    c_.printDialog = printDialogOver(this);

    sheet_ = new InventorySheet(c_, app_, false, this);
    connect(sheet_, &InventorySheet::added, this, &InventarWindow::refresh);
    connect(add, &QPushButton::clicked, this, &InventarWindow::addDirect);
    connect(delete_, &QPushButton::clicked, this, &InventarWindow::deleteSelected);
    followCurrentRow(
        table_, [this](int row) { c_.setSelectedRow(row); }, [this] { updateButtons(); });
    onDeleteKey(table_, [this] { deleteSelected(); });
}

void InventarWindow::showInventoryWindow() {
    refresh();
    bringToFront(table_);
}

void InventarWindow::refresh() {
    syncing_ = true;
    const RecordList& records = app_.inventorys();
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    table_->setRowCount(static_cast<int>(records.size()));
    int row = 0;
    for (const RecordPtr& r : records)
        setRow(table_, row++,
               {mediumDateText(r->date(keys::date), locale), ageText(r->date(keys::date), now),
                r->text(keys::title), listAmountText(r->real(keys::brutto), false, locale),
                listAmountText(r->real(keys::netto), false, locale), r->text(keys::category),
                r->text(keys::comment)});
    fitColumns(table_);
    showSelected(table_, c_.selectedRow());
    summary()->setText(
        records.empty()       ? QStringLiteral("Noch keine Gegenstände in der Inventarliste")
        : records.size() == 1 ? QStringLiteral("1 Gegenstand")
                              : QStringLiteral("%1 Gegenstände").arg(records.size()));
    syncing_ = false;
    updateButtons();
}

void InventarWindow::updateButtons() {
    const bool has = c_.selectedRow() >= 0 && c_.selectedRow() < table_->rowCount();
    delete_->setEnabled(has);
    enableOutputs(table_->rowCount() > 0);
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
