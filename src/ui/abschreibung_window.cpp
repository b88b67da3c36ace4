#include "ui/abschreibung_window.h"

#include "assets/allowance_figures.h"
#include "assets/asset_lists.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "ui/pdf_preview.h"
#include "ui/placement.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
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

#include <cmath>

namespace quandor::ui {

namespace {

// A working value while no duration is chosen is not finite: shown as a dash.
QString figureText(float value) {
    return std::isfinite(value) ? amountText(value) : QStringLiteral("–");
}

QLabel* valueLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

// ---- add sheet -------------------------------------------------------------------------

AllowanceAddSheet::AllowanceAddSheet(AllowanceController& controller, QuandorAppDelegate& app,
                                     QWidget* parent)
    : QDialog(parent), c_(controller), app_(app) {
    setObjectName(QStringLiteral("allowanceAddSheet"));
    setWindowTitle(QStringLiteral("Zu den Abschreibungen hinzufügen"));
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    auto* head = new QLabel(QStringLiteral("Posten abschreiben"), this);
    QFont f = head->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.15);
    head->setFont(f);
    layout->addWidget(head);

    auto* form = new QFormLayout;
    title_ = valueLabel(this);
    netto_ = valueLabel(this);
    tax_ = valueLabel(this);
    duration_ = new QComboBox(this);
    duration_->setObjectName(QStringLiteral("allowanceDuration"));
    duration_->addItem(QStringLiteral("Bitte wählen …"), 0);
    for (const auto& [years, text] : AllowanceController::durations())
        duration_->addItem(text, years);
    rate_ = valueLabel(this);
    rate_->setObjectName(QStringLiteral("allowanceRate"));
    compensationAmount_ = valueLabel(this);
    endDate_ = valueLabel(this);
    comment_ = new QLineEdit(this);
    comment_->setObjectName(QStringLiteral("allowanceComment"));
    compensation_ = new QCheckBox(
        QStringLiteral("Ausgleichsposten in der angezeigten Abrechnung &buchen"), this);
    monthly_ = new QCheckBox(QStringLiteral("&monatsgenau (pro rata temporis)"), this);
    monthly_->setObjectName(QStringLiteral("allowanceMonthly"));
    monthly_->setToolTip(
        QStringLiteral("Im Kaufjahr nur die Monate ab dem Kaufmonat abschreiben; das letzte Jahr "
                       "nimmt den Rest"));
    firstShare_ = valueLabel(this);
    form->addRow(QStringLiteral("Posten:"), title_);
    form->addRow(QStringLiteral("Netto:"), netto_);
    form->addRow(QStringLiteral("Umsatzsteuer:"), tax_);
    form->addRow(QStringLiteral("&Nutzungsdauer:"), duration_);
    form->addRow(QString(), monthly_);
    form->addRow(QStringLiteral("Pro Jahr:"), rate_);
    form->addRow(QStringLiteral("Abzug im Kaufjahr:"), firstShare_);
    form->addRow(QStringLiteral("Ausgleich im Kaufjahr:"), compensationAmount_);
    form->addRow(QStringLiteral("Ende der Abschreibung:"), endDate_);
    form->addRow(QStringLiteral("&Kommentar:"), comment_);
    form->addRow(QString(), compensation_);
    layout->addLayout(form);

    auto* box = new QDialogButtonBox(this);
    QPushButton* ok = box->addButton(QStringLiteral("Hinzufügen"), QDialogButtonBox::AcceptRole);
    box->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addSpacing(8);
    layout->addWidget(box);
    setMinimumWidth(420);

    connect(duration_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!c_.addSheet().open) return;
        c_.setDuration(duration_->itemData(index).toInt());
        showFigures();
    });
    connect(comment_, &QLineEdit::textChanged, this,
            [this](const QString& t) { c_.setComment(t); });
    connect(compensation_, &QCheckBox::toggled, this, [this](bool on) { c_.setCompensation(on); });
    connect(monthly_, &QCheckBox::toggled, this, [this](bool on) {
        c_.setMonthly(on);
        showFigures();
    });
}

void AllowanceAddSheet::openForSelection() {
    if (!c_.openAllowanceAddSheet()) return;
    // The controller has reset the choices; the fields follow.
    const QSignalBlocker b1(duration_), b2(comment_), b3(compensation_), b4(monthly_);
    duration_->setCurrentIndex(0);
    comment_->clear();
    compensation_->setChecked(true);
    monthly_->setChecked(false);
    showFigures();
    duration_->setFocus();
    open();
}

void AllowanceAddSheet::showFigures() {
    const AllowanceController::AddSheet& s = c_.addSheet();
    const AllowanceFigures& f = s.figures;
    title_->setText(f.title);
    netto_->setText(figureText(f.netto));
    tax_->setText(figureText(f.tax));
    const bool chosen = s.years > 0;
    rate_->setText(chosen ? figureText(f.rate) : QStringLiteral("–"));
    firstShare_->setText(chosen ? figureText(f.firstShare) : QStringLiteral("–"));
    compensationAmount_->setText(chosen ? figureText(f.compensationAmount) : QStringLiteral("–"));
    endDate_->setText(chosen ? mediumDateText(f.endDate) : QStringLiteral("–"));
}

void AllowanceAddSheet::accept() {
    if (!c_.addSheet().open) {
        QDialog::accept();
        return;
    }
    // A missing or too short duration is refused; the sheet stays open.
    if (!c_.addAllowanceItem()) {
        duration_->setFocus();
        return;
    }
    QDialog::accept();
    emit added();
}

void AllowanceAddSheet::reject() {
    if (c_.addSheet().open) c_.cancelAllowanceAddSheet();
    QDialog::reject();
}

// ---- window ----------------------------------------------------------------------------

AbschreibungWindow::AbschreibungWindow(QuandorAppDelegate& app, AllowanceController& controller,
                                       QWidget* parent)
    : QDialog(parent), app_(app), c_(controller) {
    setObjectName(QStringLiteral("abschreibungWindow"));
    setWindowTitle(QStringLiteral("Abschreibungen und GWGs"));
    setWindowFlag(Qt::Window);
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("allowanceTable"));
    table_->setColumnCount(9);
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Datum"), QStringLiteral("Posten"), QStringLiteral("Summe"),
         QStringLiteral("Steuern"), QStringLiteral("Dauer"), QStringLiteral("Beginn"),
         QStringLiteral("Ende"), QStringLiteral("pro Jahr"), QStringLiteral("Kommentar")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->setAlternatingRowColors(true);
    layout->addWidget(table_, 1);

    auto* bottom = new QHBoxLayout;
    book_ = new QPushButton(QStringLiteral("Jahresposten buchen …"), this);
    book_->setToolTip(
        QStringLiteral("Bucht den Jahresbetrag der ausgewählten Abschreibung in die angezeigte "
                       "Abrechnung und öffnet den Posten"));
    delete_ = new QPushButton(QStringLiteral("Löschen …"), this);
    delete_->setToolTip(QStringLiteral("Ausgewählte Abschreibung löschen (Entf)"));
    summary_ = new QLabel(this);
    csv_ = new QPushButton(QStringLiteral("CSV exportieren …"), this);
    pdf_ = new QPushButton(QStringLiteral("PDF exportieren …"), this);
    print_ = new QPushButton(QStringLiteral("Drucken …"), this);
    print_->setToolTip(QStringLiteral("Die Abschreibungen drucken (Strg+P)"));
    for (QPushButton* b : {book_, delete_, csv_, pdf_, print_}) b->setAutoDefault(false);
    bottom->addWidget(book_);
    bottom->addWidget(delete_);
    bottom->addStretch();
    bottom->addWidget(summary_);
    bottom->addStretch();
    bottom->addWidget(csv_);
    bottom->addWidget(pdf_);
    bottom->addWidget(print_);
    layout->addLayout(bottom);
    resize(1040, 460);
    c_.printDialog = printDialogOver(this);
    auto* printAction = new QAction(this);
    printAction->setShortcut(QKeySequence::Print);
    connect(printAction, &QAction::triggered, print_, &QPushButton::click);
    addAction(printAction);

    connect(book_, &QPushButton::clicked, this, &AbschreibungWindow::bookYearlyItem);
    connect(delete_, &QPushButton::clicked, this, &AbschreibungWindow::deleteSelected);
    connect(csv_, &QPushButton::clicked, this, &AbschreibungWindow::exportCsv);
    connect(pdf_, &QPushButton::clicked, this, &AbschreibungWindow::exportPdf);
    connect(print_, &QPushButton::clicked, this, [this] { c_.printAllowances(); });
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
    connect(del, &QAction::triggered, this, &AbschreibungWindow::deleteSelected);
    table_->addAction(del);
}

void AbschreibungWindow::openAllowanceWindow() {
    refresh();
    if (!isVisible()) centreOver(this);
    show();
    raise();
    activateWindow();
    table_->setFocus();
}

void AbschreibungWindow::refresh() {
    syncing_ = true;
    const RecordList& records = app_.allowances();
    const QLocale locale;
    table_->setRowCount(static_cast<int>(records.size()));
    int row = 0;
    for (const RecordPtr& r : records) {
        const float tax = r->real(keys::taxAmount);
        const QString texts[] = {
            mediumDateText(r->date(keys::date), locale),
            r->text(keys::titel),
            listAmountText(r->real(keys::sumComplete), false, locale),
            tax > 0 ? listAmountText(tax, true, locale) : QString(),
            allowanceRule(*r) == AllowanceRule::Monthly
                ? QStringLiteral("%1, monatsgenau").arg(r->text(keys::duePeriod))
                : r->text(keys::duePeriod),
            r->text(keys::creationYear),
            r->text(keys::dueYear),
            listAmountText(r->real(keys::sumPerYear), false, locale),
            r->text(keys::comment)};
        for (int col = 0; col < 9; ++col) {
            auto* cell = new QTableWidgetItem(texts[col]);
            if (col == 2 || col == 3 || col == 7)
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, col, cell);
        }
        ++row;
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    const int selected = c_.selectedRow();
    if (selected >= 0 && selected < table_->rowCount())
        table_->selectRow(selected);
    else
        table_->clearSelection();
    summary_->setText(
        records.empty() ? QStringLiteral("Noch keine Abschreibungen. Wähle in der Postenliste eine "
                                         "Ausgabe und „Zu den Abschreibungen hinzufügen …“.")
        : records.size() == 1 ? QStringLiteral("1 Abschreibung")
                              : QStringLiteral("%1 Abschreibungen").arg(records.size()));
    syncing_ = false;
    updateButtons();
}

void AbschreibungWindow::updateButtons() {
    const bool has = c_.selectedRow() >= 0 && c_.selectedRow() < table_->rowCount();
    book_->setEnabled(has);
    delete_->setEnabled(has);
    csv_->setEnabled(table_->rowCount() > 0);
    pdf_->setEnabled(table_->rowCount() > 0);
    print_->setEnabled(table_->rowCount() > 0);
}

void AbschreibungWindow::bookYearlyItem() {
    if (c_.createNewItemFromAllowance()) emit yearlyItemOpened();
}

void AbschreibungWindow::deleteSelected() {
    c_.deleteAllowanceItem();
    refresh();
}

void AbschreibungWindow::exportCsv() {
    c_.exportAllowances();
}

void AbschreibungWindow::exportPdf() {
    c_.exportAllowancesPdf();
}

}  // namespace quandor::ui
