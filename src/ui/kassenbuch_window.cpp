#include "ui/kassenbuch_window.h"

#include "bookkeeping/print_files.h"
#include "cashbook/kassenbuch_page.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "ui/icons.h"
#include "ui/pdf_preview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quandor::ui {

namespace P = prefs;

namespace {

// A text field that writes each change into the setting `key`.
QLineEdit* settingField(Settings& settings, QStringView key, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    const QString k = key.toString();
    QObject::connect(edit, &QLineEdit::textChanged, parent,
                     [&settings, k](const QString& text) { settings.setText(k, text); });
    return edit;
}

}  // namespace

// ---- take-over sheet -----------------------------------------------------------------

TakeOverSheet::TakeOverSheet(KassenbuchController& controller, QuandorAppDelegate& app,
                             QWidget* parent)
    : QDialog(parent), c_(controller), app_(app) {
    setObjectName(QStringLiteral("takeOverSheet"));
    setWindowTitle(QStringLiteral("In das Kassenbuch übernehmen"));
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sheetHeading(QStringLiteral("Posten in das Kassenbuch übernehmen"), this));
    auto* form = new QFormLayout;
    Settings& s = app_.settings();
    description_ = settingField(s, P::prefsAddCashBookItemTitle, this);
    description_->setObjectName(QStringLiteral("takeOverDescription"));
    description_->setPlaceholderText(QStringLiteral("z. B. Büromaterial"));
    receipt_ = settingField(s, P::prefsAddCashBookItemBeleg, this);
    receipt_->setObjectName(QStringLiteral("takeOverReceipt"));
    account_ = new QLineEdit(this);
    account_->setObjectName(QStringLiteral("takeOverAccount"));
    form->addRow(QStringLiteral("&Geschäftsvorfall:"), description_);
    form->addRow(QStringLiteral("&Beleg:"), receipt_);
    form->addRow(QStringLiteral("&Konto:"), account_);
    layout->addLayout(form);
    addSheetButtons(this, layout, QStringLiteral("Übernehmen"));
    setMinimumWidth(380);
}

void TakeOverSheet::openForSelection() {
    if (!c_.openAddCashBookItem()) return;
    const Settings& s = app_.settings();
    description_->setText(s.getText(P::prefsAddCashBookItemTitle));
    receipt_->setText(s.getText(P::prefsAddCashBookItemBeleg));
    account_->clear();
    description_->selectAll();
    description_->setFocus();
    open();
}

void TakeOverSheet::accept() {
    if (c_.sheet() == KassenbuchController::Sheet::TakeOver && c_.addCashBookItem(account_->text()))
        emit takenOver();
    QDialog::accept();
}

void TakeOverSheet::reject() {
    if (c_.sheet() == KassenbuchController::Sheet::TakeOver) c_.cancelItemSheet();
    QDialog::reject();
}

// ---- cash book window ----------------------------------------------------------------

KassenbuchWindow::KassenbuchWindow(QuandorAppDelegate& app, KassenbuchController& controller,
                                   QWidget* parent)
    : ListWindow(QStringLiteral("kassenbuchWindow"), QStringLiteral("Kassenbuch"), parent),
      app_(app),
      c_(controller) {
    auto* layout = new QVBoxLayout(this);
    auto* split = new QSplitter(Qt::Horizontal, this);
    auto* left = new QWidget(split);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(new QLabel(QStringLiteral("Kassenbücher"), left));
    books_ = new QListWidget(left);
    books_->setObjectName(QStringLiteral("cashBookList"));
    leftLayout->addWidget(books_);
    auto* bookButtons = new QHBoxLayout;
    auto* add = new QPushButton(QStringLiteral("Neu …"), left);
    add->setToolTip(QStringLiteral("Neues Kassenbuch anlegen"));
    delete_ = new QPushButton(QStringLiteral("Löschen …"), left);
    delete_->setToolTip(QStringLiteral("Ausgewähltes Kassenbuch löschen (Entf)"));
    for (QPushButton* b : {add, delete_}) b->setAutoDefault(false);
    bookButtons->addWidget(add);
    bookButtons->addWidget(delete_);
    leftLayout->addLayout(bookButtons);

    entries_ = makeTable(QStringLiteral("cashBookEntries"),
                         {{QStringLiteral("Nr."), true},
                          {QStringLiteral("Datum")},
                          {QStringLiteral("Beleg")},
                          {QStringLiteral("Geschäftsvorfall")},
                          {QStringLiteral("Konto")},
                          {QStringLiteral("Einnahme"), true},
                          {QStringLiteral("Ausgabe"), true},
                          {QStringLiteral("USt."), true},
                          {QStringLiteral("USt.-Satz"), true},
                          {QStringLiteral("Kassenbestand"), true}},
                         3, split);
    split->addWidget(left);
    split->addWidget(entries_);
    split->setStretchFactor(1, 1);
    split->setSizes({180, 720});
    layout->addWidget(split, 1);

    deposit_ = new QPushButton(QStringLiteral("Bareinzahlung …"), this);
    storno_ = new QPushButton(QStringLiteral("Stornieren"), this);
    storno_->setToolTip(
        QStringLiteral("Bucht den ausgewählten Eintrag mit einem neuen Eintrag zurück"));
    addBottomBar(
        layout, {deposit_, storno_},
        {[this] { exportCsv(); }, [this] { exportPdf(); }, [this] { c_.printKassenbuch(); },
         QStringLiteral("Das ausgewählte Kassenbuch drucken (Strg+P)")});
    summary()->setObjectName(QStringLiteral("cashBookBalance"));
    resize(1000, 520);
    c_.printDialog = printDialogOver(this);

    connect(add, &QPushButton::clicked, this, &KassenbuchWindow::addCashBook);
    connect(delete_, &QPushButton::clicked, this, &KassenbuchWindow::deleteCashBook);
    connect(deposit_, &QPushButton::clicked, this, &KassenbuchWindow::openDeposit);
    connect(storno_, &QPushButton::clicked, this, &KassenbuchWindow::stornoSelected);
    connect(books_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!syncing_) app_.selection().setCashBookIndex(row);
    });
    connect(entries_, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
        if (!syncing_) app_.selection().setCashBookEntryIndex(row);
    });
    // The entry table follows the main selection, not a row of its own (the
    // selection listener below refreshes the window), and Delete acts on the
    // cash book list: it asks before removing the cash book.
    onDeleteKey(books_, [this] { deleteCashBook(); });

    buildAddSheet();
    buildDepositSheet();
    listenerId_ = app_.selection().addListener([this](Selection::Change c) {
        if ((c == Selection::Change::CashBook || c == Selection::Change::CashBookEntry) &&
            !syncing_)
            refresh();
    });
}

KassenbuchWindow::~KassenbuchWindow() {
    app_.selection().removeListener(listenerId_);
}

void KassenbuchWindow::buildAddSheet() {
    addSheet_ = new QDialog(this);
    addSheet_->setObjectName(QStringLiteral("addCashBookSheet"));
    addSheet_->setWindowTitle(QStringLiteral("Neues Kassenbuch"));
    addSheet_->setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(addSheet_);
    layout->addWidget(sheetHeading(QStringLiteral("Neues Kassenbuch anlegen"), addSheet_));
    auto* form = new QFormLayout;
    years_ = new QComboBox(addSheet_);
    years_->setObjectName(QStringLiteral("cashBookYear"));
    years_->setEditable(true);
    years_->setInsertPolicy(QComboBox::NoInsert);
    form->addRow(QStringLiteral("&Jahr:"), years_);
    Settings& s = app_.settings();
    carry_ = new QCheckBox(QStringLiteral("Kassenbestand &übertragen"), addSheet_);
    carryAmount_ = settingField(s, P::prefsUebertragKassenbuchSumme, addSheet_);
    carryAmount_->setPlaceholderText(QStringLiteral("0,00"));
    carryText_ = settingField(s, P::prefsUebertragKassenbuchBezeichnung, addSheet_);
    carryText_->setPlaceholderText(QStringLiteral("z. B. Übertrag aus dem Vorjahr"));
    form->addRow(QString(), carry_);
    form->addRow(QStringLiteral("&Betrag:"), carryAmount_);
    form->addRow(QStringLiteral("Be&zeichnung:"), carryText_);
    layout->addLayout(form);
    addSheetButtons(addSheet_, layout, QStringLiteral("Anlegen"));
    addSheet_->setMinimumWidth(380);
    connect(carry_, &QCheckBox::toggled, addSheet_, [this, &s](bool on) {
        s.setBool(P::prefsUebertragKassenbuch, on);
        carryAmount_->setEnabled(on);
        carryText_->setEnabled(on);
    });
    // OK creates the cash book; a refused amount keeps the sheet open.
    connect(addSheet_, &QDialog::accepted, this, [this] {
        if (c_.sheet() != KassenbuchController::Sheet::AddCashBook) return;
        if (!c_.closeAddCashBook(years_->currentText().trimmed())) {
            addSheet_->open();
            carryAmount_->setFocus();
            carryAmount_->selectAll();
        }
        refresh();
    });
    connect(addSheet_, &QDialog::rejected, this, [this] {
        if (c_.sheet() == KassenbuchController::Sheet::AddCashBook) c_.cancelAddCashBook();
    });
}

void KassenbuchWindow::buildDepositSheet() {
    depositSheet_ = new QDialog(this);
    depositSheet_->setObjectName(QStringLiteral("depositSheet"));
    depositSheet_->setWindowTitle(QStringLiteral("Bareinzahlung"));
    depositSheet_->setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(depositSheet_);
    layout->addWidget(sheetHeading(QStringLiteral("Bareinzahlung in die Kasse"), depositSheet_));
    auto* form = new QFormLayout;
    Settings& s = app_.settings();
    depositText_ = settingField(s, P::prefsKasseneinlageBezeichnung, depositSheet_);
    depositText_->setPlaceholderText(QStringLiteral("z. B. Einlage vom Girokonto"));
    depositAmount_ = settingField(s, P::prefsKasseneinlageSumme, depositSheet_);
    depositAmount_->setPlaceholderText(QStringLiteral("0,00"));
    form->addRow(QStringLiteral("Be&zeichnung:"), depositText_);
    form->addRow(QStringLiteral("&Betrag:"), depositAmount_);
    layout->addLayout(form);
    addSheetButtons(depositSheet_, layout, QStringLiteral("Einzahlen"));
    depositSheet_->setMinimumWidth(360);
    connect(depositSheet_, &QDialog::accepted, this, [this] {
        if (c_.sheet() != KassenbuchController::Sheet::Deposit) return;
        if (!c_.addBareinzahlung()) {
            depositSheet_->open();
            depositAmount_->setFocus();
            depositAmount_->selectAll();
        }
        refresh();
    });
    connect(depositSheet_, &QDialog::rejected, this, [this] {
        if (c_.sheet() == KassenbuchController::Sheet::Deposit) c_.cancelBareinzahlung();
    });
}

void KassenbuchWindow::openKassenbuch() {
    refresh();
    bringToFront(nullptr);
}

void KassenbuchWindow::addCashBook() {
    c_.addCashBook();
    years_->clear();
    years_->addItems(c_.yearNames());
    // The newest year first in view: the one most likely wanted.
    if (years_->count() > 0) years_->setCurrentIndex(years_->count() - 1);
    const Settings& s = app_.settings();
    carry_->setChecked(s.getBool(P::prefsUebertragKassenbuch));
    carryAmount_->setText(s.getText(P::prefsUebertragKassenbuchSumme));
    carryText_->setText(s.getText(P::prefsUebertragKassenbuchBezeichnung));
    carryAmount_->setEnabled(carry_->isChecked());
    carryText_->setEnabled(carry_->isChecked());
    years_->setFocus();
    addSheet_->open();
}

void KassenbuchWindow::openDeposit() {
    if (!c_.openBareinzahlung()) return;
    const Settings& s = app_.settings();
    depositText_->setText(s.getText(P::prefsKasseneinlageBezeichnung));
    depositAmount_->setText(s.getText(P::prefsKasseneinlageSumme));
    depositAmount_->setFocus();
    depositSheet_->open();
}

void KassenbuchWindow::deleteCashBook() {
    c_.deleteCashBook();
    refresh();
}

void KassenbuchWindow::stornoSelected() {
    const RecordPtr entry = app_.selection().selectedCashBookEntry();
    if (!entry) {
        app_.ui().beep();
        return;
    }
    if (c_.confirmStorno(entry->integer(keys::nummer)))
        c_.stornoEntry(entry->integer(keys::nummer));
    refresh();
}

void KassenbuchWindow::exportCsv() {
    c_.exportKassenbuch();
}

void KassenbuchWindow::exportPdf() {
    const RecordPtr cashbook = app_.selection().selectedCashBook();
    if (!cashbook) {
        app_.ui().beep();
        return;
    }
    const auto path =
        app_.ui().saveDialog(QStringLiteral("PDF Datei Exportieren"), QStringLiteral("pdf"),
                             QStringLiteral("Kassenbuch %1").arg(cashbook->text(keys::title)));
    if (path) c_.printKassenbuchTo(*path);
}

void KassenbuchWindow::refresh() {
    syncing_ = true;
    const RecordList& list = app_.cashbooks();
    books_->clear();
    for (const RecordPtr& b : list) {
        auto* row = new QListWidgetItem(namedIcon(QStringLiteral("miniTabTemplate")),
                                        b->text(keys::title), books_);
        row->setToolTip(
            QStringLiteral("Kassenbestand: %1").arg(amountText(b->real(keys::kassenbestand))));
    }
    books_->setCurrentRow(app_.selection().cashBookIndex());
    syncing_ = false;
    fillEntries();
}

void KassenbuchWindow::fillEntries() {
    syncing_ = true;
    const RecordPtr cashbook = app_.selection().selectedCashBook();
    entries_->setRowCount(0);
    if (cashbook) {
        const auto sorted = KassenbuchController::sortedEntries(*cashbook);
        entries_->setRowCount(static_cast<int>(sorted.size()));
        int row = 0;
        for (const Record* e : sorted) {
            const CashBookCells c = cashBookCells(*e);
            setRow(entries_, row,
                   {c.number, c.date, c.receipt, c.description, c.account, c.receiptAmount,
                    c.paymentAmount, c.taxAmount, c.taxRate, c.balance});
            entries_->item(row, 0)->setIcon(namedIcon(e->text(keys::image)));
            ++row;
        }
        fitColumns(entries_);
        showSelected(entries_, app_.selection().cashBookEntryIndex());
        summary()->setText(QStringLiteral("Kassenbestand: %1")
                               .arg(amountText(cashbook->real(keys::kassenbestand))));
    } else {
        summary()->setText(app_.cashbooks().empty()
                               ? QStringLiteral("Noch kein Kassenbuch angelegt")
                               : QStringLiteral("Kein Kassenbuch ausgewählt"));
    }
    const bool has = cashbook != nullptr;
    for (QPushButton* b : {delete_, deposit_}) b->setEnabled(has);
    enableOutputs(has);
    storno_->setEnabled(has && entries_->rowCount() > 0);
    syncing_ = false;
}

}  // namespace quandor::ui
