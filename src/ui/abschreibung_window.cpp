#include "ui/abschreibung_window.h"

#include "assets/allowance_figures.h"
#include "assets/asset_lists.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "ui/pdf_preview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
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
    layout->addWidget(sheetHeading(QStringLiteral("Posten abschreiben"), this));

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

    addSheetButtons(this, layout, QStringLiteral("Hinzufügen"));
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
    : ListWindow(QStringLiteral("abschreibungWindow"), QStringLiteral("Abschreibungen und GWGs"),
                 parent),
      app_(app),
      c_(controller) {
    auto* layout = new QVBoxLayout(this);
    table_ = makeTable(QStringLiteral("allowanceTable"),
                       {{QStringLiteral("Datum")},
                        {QStringLiteral("Posten")},
                        {QStringLiteral("Summe"), true},
                        {QStringLiteral("Steuern"), true},
                        {QStringLiteral("Dauer")},
                        {QStringLiteral("Beginn")},
                        {QStringLiteral("Ende")},
                        {QStringLiteral("pro Jahr"), true},
                        {QStringLiteral("Kommentar")}},
                       1, this);
    layout->addWidget(table_, 1);

    book_ = new QPushButton(QStringLiteral("Jahresposten buchen …"), this);
    book_->setToolTip(
        QStringLiteral("Bucht den Jahresbetrag der ausgewählten Abschreibung in die angezeigte "
                       "Abrechnung und öffnet den Posten"));
    delete_ = new QPushButton(QStringLiteral("Löschen …"), this);
    delete_->setToolTip(QStringLiteral("Ausgewählte Abschreibung löschen (Entf)"));
    addBottomBar(
        layout, {book_, delete_},
        {[this] { exportCsv(); }, [this] { exportPdf(); }, [this] { c_.printAllowances(); },
         QStringLiteral("Die Abschreibungen drucken (Strg+P)")});
    resize(1040, 460);
    c_.printDialog = printDialogOver(this);

    connect(book_, &QPushButton::clicked, this, &AbschreibungWindow::bookYearlyItem);
    connect(delete_, &QPushButton::clicked, this, &AbschreibungWindow::deleteSelected);
    followCurrentRow(
        table_, [this](int row) { c_.setSelectedRow(row); }, [this] { updateButtons(); });
    onDeleteKey(table_, [this] { deleteSelected(); });
}

void AbschreibungWindow::openAllowanceWindow() {
    refresh();
    bringToFront(table_);
}

void AbschreibungWindow::refresh() {
    syncing_ = true;
    const RecordList& records = app_.allowances();
    const QLocale locale;
    table_->setRowCount(static_cast<int>(records.size()));
    int row = 0;
    for (const RecordPtr& r : records) {
        const float tax = r->real(keys::taxAmount);
        setRow(table_, row++,
               {mediumDateText(r->date(keys::date), locale), r->text(keys::titel),
                listAmountText(r->real(keys::sumComplete), false, locale),
                tax > 0 ? listAmountText(tax, true, locale) : QString(),
                allowanceRule(*r) == AllowanceRule::Monthly
                    ? QStringLiteral("%1, monatsgenau").arg(r->text(keys::duePeriod))
                    : r->text(keys::duePeriod),
                r->text(keys::creationYear), r->text(keys::dueYear),
                listAmountText(r->real(keys::sumPerYear), false, locale), r->text(keys::comment)});
    }
    fitColumns(table_);
    showSelected(table_, c_.selectedRow());
    summary()->setText(
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
    enableOutputs(table_->rowCount() > 0);
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
