#include "ui/voranmeldung_window.h"

#include "bookkeeping/alert_words.h"
#include "bookkeeping/voranmeldung.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "ui/placement.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace quandor::ui {

namespace {

// Indexes into totalFields().
enum TotalIndex {
    kSteuerfrei,
    kTax1Sum,
    kTax2Sum,
    kTax3Sum,
    kTax1Amount,
    kTax2Amount,
    kTax3Amount,
    kNichtSteuerbar,
    kAbziehbar,
    kVorsteuer,
    kSaldo
};

QLineEdit* figureField(QWidget* parent, bool editable = false) {
    auto* e = new QLineEdit(parent);
    e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    e->setReadOnly(!editable);
    e->setMinimumWidth(120);
    if (!editable) {
        e->setFocusPolicy(Qt::ClickFocus);  // selectable for copying, skipped by Tab
        QPalette p = e->palette();
        p.setColor(QPalette::Base, p.color(QPalette::Window));
        e->setPalette(p);
    }
    return e;
}

QLabel* rightLabel(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

const QString kHelpText = QStringLiteral(
    "<p><b>Umsätze</b> zeigt die Summen der Posten, die in der Liste der Abrechnung stehen (ein "
    "Suchfilter wirkt mit). Grundlage sind die Beträge der Posten mit Umsatzsteuer.</p>"
    "<p><b>Zahlungen</b>: Trage ein, was du ans Finanzamt gezahlt oder von ihm erstattet bekommen "
    "hast. Der Saldo ergibt sich aus Zahlung + Nachzahlung − Erstattung.</p>"
    "<p>Mit <b>Voranmeldung erstellt</b> markierst du die Abrechnung als abgeschlossen und buchst "
    "die errechneten oder eigene Zahlen.</p>"
    "<p><b>An Winston übergeben</b> legt die Zahlen im Ausgangskorb von Winston ab, kopiert sie in "
    "die Zwischenablage und öffnet Winston.</p>");

}  // namespace

VoranmeldungWindow::VoranmeldungWindow(QuandorAppDelegate& app, VoranmeldungController& controller,
                                       QWidget* parent)
    : QDialog(parent), app_(app), controller_(controller) {
    setObjectName(QStringLiteral("voranmeldungWindow"));
    setWindowTitle(QStringLiteral("Umsatzsteuer-Voranmeldung"));
    setWindowFlag(Qt::Window);
    setModal(false);
    build();
    listenerId_ = app_.selection().addListener([this](Selection::Change c) {
        if (c == Selection::Change::Statement || c == Selection::Change::Listed)
            scheduleRecompute();
    });
}

VoranmeldungWindow::~VoranmeldungWindow() {
    app_.selection().removeListener(listenerId_);
}

void VoranmeldungWindow::scheduleRecompute() {
    if (!isVisible() || recomputePending_) return;
    recomputePending_ = true;
    QTimer::singleShot(0, this, [this] {
        recomputePending_ = false;
        if (!isVisible()) return;
        if (app_.selection().selectedStatement()) {
            controller_.calculateTabVoid();
            controller_.statementTotals().infoWindowVoid();
        }
        refresh();
    });
}

void VoranmeldungWindow::build() {
    auto* outer = new QHBoxLayout(this);
    auto* main = new QVBoxLayout;
    outer->addLayout(main, 1);

    heading_ = new QLabel(this);
    QFont hf = heading_->font();
    hf.setBold(true);
    hf.setPointSizeF(hf.pointSizeF() * 1.25);
    heading_->setFont(hf);
    main->addWidget(heading_);
    filterNote_ = new QLabel(this);
    filterNote_->setWordWrap(true);
    filterNote_->setStyleSheet(
        QStringLiteral("QLabel { background: #fff3cd; color: #7a4b00; border: 1px solid #e0b84c;"
                       " border-radius: 4px; padding: 6px; font-weight: bold; }"));
    filterNote_->setVisible(false);
    main->addWidget(filterNote_);

    tabs_ = new QTabWidget(this);
    main->addWidget(tabs_, 1);

    // ---- Umsätze
    auto* sums = new QWidget(tabs_);
    auto* grid = new QGridLayout(sums);
    grid->setColumnStretch(0, 1);
    for (size_t i = 0; i < totals_.size(); ++i) totals_[i] = figureField(sums);
    auto* base = new QLabel(QStringLiteral("<b>Bemessungsgrundlage</b>"), sums);
    auto* tax = new QLabel(QStringLiteral("<b>Steuer</b>"), sums);
    base->setAlignment(Qt::AlignRight);
    tax->setAlignment(Qt::AlignRight);
    // Every figure carries the Kennzahl of the official form on its left.
    auto kz = [sums](const char16_t* nr) {
        auto* l = new QLabel(kennzahlLabel(QStringView(nr)), sums);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setObjectName(QStringLiteral("kz") + QString::fromUtf16(nr));
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, p.color(QPalette::PlaceholderText));
        l->setPalette(p);
        return l;
    };
    grid->addWidget(base, 0, 2);
    grid->addWidget(tax, 0, 4);
    int row = 1;
    const char16_t* baseKz[] = {u"81", u"86", u"35"};
    for (int r = 0; r < 3; ++r) {
        rateLabels_[static_cast<size_t>(r)] = rightLabel(QString(), sums);
        grid->addWidget(rateLabels_[static_cast<size_t>(r)], row, 0);
        grid->addWidget(kz(baseKz[r]), row, 1);
        grid->addWidget(totals_[static_cast<size_t>(kTax1Sum + r)], row, 2);
        if (r == 2) grid->addWidget(kz(u"36"), row, 3);
        grid->addWidget(totals_[static_cast<size_t>(kTax1Amount + r)], row, 4);
        ++row;
    }
    grid->addWidget(rightLabel(QStringLiteral("Steuerfreie Umsätze:"), sums), row, 0);
    grid->addWidget(kz(u"48"), row, 1);
    grid->addWidget(totals_[kSteuerfrei], row++, 2);
    grid->addWidget(rightLabel(QStringLiteral("Nicht steuerbare Umsätze:"), sums), row, 0);
    grid->addWidget(kz(u"45"), row, 1);
    grid->addWidget(totals_[kNichtSteuerbar], row++, 2);
    grid->setRowMinimumHeight(row++, 8);
    grid->addWidget(rightLabel(QStringLiteral("Abziehbare Beträge (brutto) und Vorsteuer:"), sums),
                    row, 0);
    grid->addWidget(totals_[kAbziehbar], row, 2);
    grid->addWidget(kz(u"66"), row, 3);
    grid->addWidget(totals_[kVorsteuer], row++, 4);
    grid->setRowMinimumHeight(row++, 8);
    auto* saldoLabel =
        rightLabel(QStringLiteral("<b>Saldo</b> (Vorauszahlung; negativ: Erstattung):"), sums);
    grid->addWidget(saldoLabel, row, 0);
    QFont bold = totals_[kSaldo]->font();
    bold.setBold(true);
    totals_[kSaldo]->setFont(bold);
    grid->addWidget(kz(u"83"), row, 3);
    grid->addWidget(totals_[kSaldo], row++, 4);
    grid->setRowMinimumHeight(row++, 8);
    auto* hint = new QLabel(kKennzahlenHint, sums);
    hint->setObjectName(QStringLiteral("kennzahlenHint"));
    hint->setWordWrap(true);
    QFont small = hint->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    hint->setFont(small);
    grid->addWidget(hint, row++, 0, 1, 5);
    grid->setRowStretch(row, 1);
    tabs_->addTab(sums, QStringLiteral("Umsätze"));

    // ---- Zahlungen
    auto* pay = new QWidget(tabs_);
    auto* payLayout = new QVBoxLayout(pay);
    auto* block = new QGroupBox(QStringLiteral("Zahlungen dieser Abrechnung"), pay);
    auto* form = new QFormLayout(block);
    form->setLabelAlignment(Qt::AlignRight);
    payment_ = paymentEdit(keys::payment);
    additionalPayment_ = paymentEdit(keys::additionalPayment);
    rePayment_ = paymentEdit(keys::rePayment);
    balance_ = figureField(block);
    balance_->setFont(bold);
    form->addRow(QStringLiteral("Zahlung:"), payment_);
    form->addRow(QStringLiteral("Nachzahlung:"), additionalPayment_);
    form->addRow(QStringLiteral("Erstattung:"), rePayment_);
    auto* balanceRow = new QHBoxLayout;
    balanceRow->addWidget(balance_, 1);
    auto* calc = new QPushButton(QStringLiteral("Saldo berechnen"), block);
    connect(calc, &QPushButton::clicked, this, [this] {
        controller_.calculateTab();
        refresh();
    });
    balanceRow->addWidget(calc);
    form->addRow(QStringLiteral("Saldo:"), balanceRow);
    payLayout->addWidget(block);

    auto* booking = new QGroupBox(QStringLiteral("Voranmeldung"), pay);
    auto* bookForm = new QFormLayout(booking);
    bookForm->setLabelAlignment(Qt::AlignRight);
    created_ = new QCheckBox(QStringLiteral("Voranmeldung erstellt"), booking);
    created_->setToolTip(QStringLiteral(
        "Markiert die Voranmeldung dieser Abrechnung als erstellt und bucht die Zahlen."));
    connect(created_, &QCheckBox::toggled, this, [this](bool on) {
        if (updating_) return;
        runBusy([this, on] { controller_.setReturnCreated(on); });
    });
    createdDate_ = new QLabel(booking);
    auto* createdRow = new QHBoxLayout;
    createdRow->addWidget(created_);
    createdRow->addStretch();
    createdRow->addWidget(createdDate_);
    bookForm->addRow(createdRow);
    bookedRefund_ = figureField(booking);
    bookedPayment_ = figureField(booking);
    bookedBalance_ = figureField(booking);
    bookForm->addRow(QStringLiteral("Gebuchte Erstattung:"), bookedRefund_);
    bookForm->addRow(QStringLiteral("Gebuchte Zahlung:"), bookedPayment_);
    bookForm->addRow(QStringLiteral("Gebuchter Saldo:"), bookedBalance_);
    payLayout->addWidget(booking);
    payLayout->addStretch();
    tabs_->addTab(pay, QStringLiteral("Zahlungen"));

    // ---- Notiz
    comment_ = new QPlainTextEdit(tabs_);
    comment_->setPlaceholderText(
        QStringLiteral("Notiz zu dieser Voranmeldung, z. B. Übertragungsprotokoll oder Fristen …"));
    comment_->setTabChangesFocus(true);
    connect(comment_, &QPlainTextEdit::textChanged, this, [this] {
        if (!updating_) controller_.setVoranmeldungComment(comment_->toPlainText());
    });
    tabs_->addTab(comment_, QStringLiteral("Notiz"));
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        app_.settings().setInt(prefs::selectedVoranmeldungTabIndex, index);
    });

    // ---- buttons
    auto* links = new QHBoxLayout;
    auto* web = new QPushButton(QStringLiteral("Winston-Webseite"), this);
    connect(web, &QPushButton::clicked, this, [this] { controller_.winstonWebseite(); });
    auto* number = new QPushButton(QStringLiteral("Was ist die Steuernummer?"), this);
    connect(number, &QPushButton::clicked, this, [this] { controller_.elsterNummer(); });
    helpButton_ = new QPushButton(QStringLiteral("Hilfe"), this);
    helpButton_->setCheckable(true);
    connect(helpButton_, &QPushButton::toggled, this, [this](bool on) { help_->setVisible(on); });
    links->addWidget(helpButton_);
    links->addWidget(web);
    links->addWidget(number);
    links->addStretch();
    main->addLayout(links);

    auto* buttons = new QDialogButtonBox(this);
    auto* update =
        buttons->addButton(QStringLiteral("Aktualisieren"), QDialogButtonBox::ActionRole);
    update->setToolTip(QStringLiteral("Saldo und Summen neu berechnen"));
    connect(update, &QPushButton::clicked, this,
            [this] { runBusy([this] { controller_.changeAlLCalculates(); }); });
    preview_ =
        buttons->addButton(QStringLiteral("Abrechnung ansehen …"), QDialogButtonBox::ActionRole);
    connect(preview_, &QPushButton::clicked, this,
            [this] { runBusy([this] { controller_.previewAbrechnung(); }); });
    print_ =
        buttons->addButton(QStringLiteral("Abrechnung drucken …"), QDialogButtonBox::ActionRole);
    connect(print_, &QPushButton::clicked, this,
            [this] { runBusy([this] { controller_.printAbrechnung(); }); });
    auto* winston =
        buttons->addButton(QStringLiteral("An Winston übergeben"), QDialogButtonBox::AcceptRole);
    winston->setDefault(true);
    connect(winston, &QPushButton::clicked, this, [this] { controller_.doTheWinston(); });
    auto* close = buttons->addButton(QStringLiteral("Schließen"), QDialogButtonBox::RejectRole);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    main->addWidget(buttons);

    help_ = new QLabel(kHelpText, this);
    help_->setWordWrap(true);
    help_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    help_->setFixedWidth(240);
    help_->setFrameShape(QFrame::StyledPanel);
    help_->setMargin(8);
    help_->setVisible(false);
    outer->addWidget(help_);
}

QLineEdit* VoranmeldungWindow::paymentEdit(Key key) {
    QLineEdit* e = figureField(this, true);
    connect(e, &QLineEdit::editingFinished, this, [this, e, key] { paymentEdited(e, key); });
    return e;
}

void VoranmeldungWindow::paymentEdited(QLineEdit* edit, Key key) {
    if (updating_) return;
    const QString text = edit->text().trimmed();
    bool ok = true;
    const float value = text.isEmpty() ? 0.0f : parseAmount(text, &ok);
    if (!ok) {
        app_.ui().beep();
        app_.ui().alert(
            AlertStyle::Warning, AlertWords::kNoticeTitle,
            QStringLiteral("„%1“ ist kein Betrag. Gib ihn bitte so ein: 1234,56").arg(text),
            {QStringLiteral("OK")});
        refresh();
        return;
    }
    controller_.setPaymentField(key, value);
    controller_.calculateTabVoid();
    refresh();
}

void VoranmeldungWindow::runBusy(const std::function<void()>& work) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    work();
    QApplication::restoreOverrideCursor();
    refresh();
}

void VoranmeldungWindow::openForSelection() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool opened = controller_.openVoranmeldungsWindow();
    QApplication::restoreOverrideCursor();
    if (!opened) return;
    tabs_->setCurrentIndex(0);
    helpButton_->setChecked(controller_.returnWindow().helpDrawer);
    refresh();
    if (!isVisible()) {
        adjustSize();
        centreOver(this);
    }
    show();
    raise();
    activateWindow();
}

void VoranmeldungWindow::refresh() {
    updating_ = true;
    print_->setVisible(controller_.canPrintSummary());  // once the print pipeline is attached
    preview_->setVisible(controller_.canPrintSummary());
    const RecordPtr statement = app_.selection().selectedStatement();
    const RecordPtr year = app_.selection().selectedYear();
    heading_->setText(statement && year
                          ? QStringLiteral("Voranmeldung %1 %2")
                                .arg(statement->text(keys::title), year->text(keys::dateValue))
                          : QStringLiteral("Keine Abrechnung ausgewählt"));
    const QString note = controller_.filteredReturnNote();
    filterNote_->setText(note.isEmpty() ? QString()
                                        : note + QStringLiteral(" – die übrigen Posten fehlen in "
                                                                "den Zahlen."));
    filterNote_->setVisible(!note.isEmpty());
    const auto& totals = statement ? controller_.totals() : std::nullopt;
    const auto fields = totalFields();
    for (size_t i = 0; i < totals_.size(); ++i)
        totals_[i]->setText(totals ? amountText((*totals).*(fields[i].member)) : QString());
    Settings& settings = app_.settings();
    const QStringView rateKeys[] = {prefs::prefs1Rate, prefs::prefs2Rate, prefs::prefs3Rate};
    for (size_t r = 0; r < 3; ++r) {
        const QString rate = settings.contains(rateKeys[r])
                                 ? rateText(settings.getFloat(rateKeys[r]))
                                 : QStringLiteral("–");
        rateLabels_[r]->setText(QStringLiteral("Steuerpflichtige Umsätze (%1):").arg(rate));
    }
    if (statement) {
        payment_->setText(amountText(statement->real(keys::payment)));
        additionalPayment_->setText(amountText(statement->real(keys::additionalPayment)));
        rePayment_->setText(amountText(statement->real(keys::rePayment)));
        balance_->setText(amountText(statement->real(keys::balance)));
        const bool created = statement->flag(keys::taxBool);
        created_->setChecked(created);
        createdDate_->setText(
            created ? QStringLiteral("am %1").arg(mediumDateText(statement->date(keys::date)))
                    : QString());
        if (comment_->toPlainText() != statement->text(keys::voranmeldungComment))
            comment_->setPlainText(statement->text(keys::voranmeldungComment));
    }
    const VoranmeldungController::ReturnWindow& w = controller_.returnWindow();
    bookedRefund_->setText(amountText(w.bookedRefund));
    bookedPayment_->setText(amountText(w.bookedPayment));
    bookedBalance_->setText(amountText(w.bookedBalance));
    updating_ = false;
}

void VoranmeldungWindow::closeEvent(QCloseEvent* event) {
    controller_.closeVoranmeldungsWindow();
    QDialog::closeEvent(event);
}

}  // namespace quandor::ui
