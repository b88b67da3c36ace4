#include "ui/split_sheet.h"

#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "ui/placement.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace quandor::ui {

namespace {

constexpr int kSplitPage = 0;
constexpr int kGrossUpPage = 1;

QLabel* signLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    QFont f = label->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.4);
    label->setFont(f);
    label->setFixedWidth(16);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

void showSign(QLabel* label, const SplitController::SplitWindow& w) {
    label->setText(w.sign);
    label->setStyleSheet(w.expense  ? QStringLiteral("color: #c00000;")
                         : w.income ? QStringLiteral("color: #006400;")
                                    : QString());
}

}  // namespace

SplitSheet::SplitSheet(SplitController& controller, Settings& settings, QWidget* parent)
    : QDialog(parent), controller_(controller), settings_(settings) {
    setObjectName(QStringLiteral("splitSheet"));
    setWindowTitle(QStringLiteral("Betrag berechnen"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    pages_ = new QTabWidget(this);
    layout->addWidget(pages_);

    // Page 1: a share of the amount.
    auto* split = new QWidget(pages_);
    auto* splitLayout = new QGridLayout(split);
    splitLayout->setContentsMargins(14, 14, 14, 14);
    splitLayout->setVerticalSpacing(8);
    auto* intro = new QLabel(
        QStringLiteral("Ersetzt den Betrag des Postens durch einen Anteil davon, zum Beispiel "
                       "den betrieblichen Anteil einer gemischt genutzten Ausgabe."),
        split);
    intro->setWordWrap(true);
    splitLayout->addWidget(intro, 0, 0, 1, 4);
    splitSign_ = signLabel(split);
    amountLabel_ = new QLabel(split);
    splitLayout->addWidget(new QLabel(QStringLiteral("Betrag jetzt:"), split), 1, 0);
    splitLayout->addWidget(splitSign_, 1, 1);
    splitLayout->addWidget(amountLabel_, 1, 2, 1, 2);
    shares_ = new QButtonGroup(this);
    const QString shareNames[] = {QStringLiteral("25 %"), QStringLiteral("50 %"),
                                  QStringLiteral("eigener Anteil:")};
    for (int i = 0; i < 3; ++i) {
        auto* button = new QRadioButton(shareNames[i], split);
        shares_->addButton(button, i);
        splitLayout->addWidget(button, 2 + i, 0, 1, 2);
    }
    custom_ = new QLineEdit(split);
    custom_->setObjectName(QStringLiteral("customSplitValue"));
    custom_->setPlaceholderText(QStringLiteral("z. B. 30"));
    custom_->setAlignment(Qt::AlignRight);
    custom_->setMaximumWidth(90);
    splitLayout->addWidget(custom_, 4, 2);
    splitLayout->addWidget(new QLabel(QStringLiteral("%"), split), 4, 3);
    splitLayout->setColumnStretch(3, 1);
    splitLayout->setRowStretch(5, 1);
    pages_->addTab(split, QStringLiteral("Aufteilen"));

    // Page 2: net amount plus VAT.
    auto* gross = new QWidget(pages_);
    auto* grossLayout = new QGridLayout(gross);
    grossLayout->setContentsMargins(14, 14, 14, 14);
    grossLayout->setVerticalSpacing(8);
    auto* grossIntro = new QLabel(
        QStringLiteral("Gib den Nettobetrag ein: Der Betrag des Postens wird der Nettobetrag "
                       "zuzüglich der Umsatzsteuer zum Steuersatz des Postens."),
        gross);
    grossIntro->setWordWrap(true);
    grossLayout->addWidget(grossIntro, 0, 0, 1, 3);
    netSign_ = signLabel(gross);
    net_ = new QLineEdit(gross);
    net_->setObjectName(QStringLiteral("netAmount"));
    net_->setPlaceholderText(QStringLiteral("0,00"));
    net_->setAlignment(Qt::AlignRight);
    net_->setMaximumWidth(140);
    grossLayout->addWidget(new QLabel(QStringLiteral("Nettobetrag:"), gross), 1, 0);
    grossLayout->addWidget(netSign_, 1, 1);
    grossLayout->addWidget(net_, 1, 2, Qt::AlignLeft);
    rateLabel_ = new QLabel(gross);
    rateLabel_->setWordWrap(true);
    grossLayout->addWidget(rateLabel_, 2, 0, 1, 3);
    grossLayout->setColumnStretch(2, 1);
    grossLayout->setRowStretch(3, 1);
    pages_->addTab(gross, QStringLiteral("Netto zu Brutto"));

    // The same order as the item sheet's buttons: cancelling left, the action right.
    auto* box = new QHBoxLayout;
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setAutoDefault(false);
    auto* ok = new QPushButton(QStringLiteral("Übernehmen"), this);
    ok->setDefault(true);
    box->addStretch();
    box->addWidget(cancel);
    box->addWidget(ok);
    layout->addLayout(box);
    connect(ok, &QPushButton::clicked, this, &SplitSheet::accept);
    connect(cancel, &QPushButton::clicked, this, &SplitSheet::reject);

    connect(pages_, &QTabWidget::currentChanged, this, [this](int page) {
        controller_.setCalculatorPage(page);
        (page == kSplitPage ? static_cast<QWidget*>(shares_->checkedButton()) : net_)->setFocus();
    });
    connect(shares_, &QButtonGroup::idClicked, this, [this](int id) {
        controller_.setSplitShare(id);
        if (id == 2) custom_->setFocus();
    });
    connect(custom_, &QLineEdit::textEdited, this, [this](const QString& text) {
        controller_.setCustomSplitValue(text);
        shares_->button(2)->setChecked(true);
        controller_.setSplitShare(2);
    });
    connect(net_, &QLineEdit::textEdited, this,
            [this](const QString& text) { controller_.setSplitNetAmount(text); });
    setMinimumWidth(420);
}

QRadioButton* SplitSheet::shareButton(int index) const {
    return qobject_cast<QRadioButton*>(shares_->button(index));
}

void SplitSheet::loadFromSettings() {
    const int64_t page = settings_.getInt(prefs::calculatorHelpIndex);
    int64_t share = settings_.getInt(prefs::selectedSplitIndex);
    if (share < 0 || share > 2) share = 0;  // read as 25 %
    custom_->setText(settings_.getText(prefs::customSplitValue));
    shares_->button(int(share))->setChecked(true);
    const QSignalBlocker block(pages_);
    pages_->setCurrentIndex(page == kSplitPage ? kSplitPage : kGrossUpPage);
}

bool SplitSheet::prepare(RecordPtr item) {
    if (!controller_.openSplitWindow(std::move(item))) return false;
    const SplitController::SplitWindow& w = controller_.splitWindow();
    net_->clear();
    showSign(splitSign_, w);
    showSign(netSign_, w);
    const Value amount = w.item->value(keys::amount);
    amountLabel_->setText(Selection::defaultAmountText(amount.toFloat()));
    amountLabel_->setStyleSheet(splitSign_->styleSheet());

    const int64_t tag = w.item->integer(keys::taxTag);
    if (!w.item->flag(keys::taxBool) || tag == 0) {
        rateLabel_->setText(QStringLiteral("Für diesen Posten ist noch kein Steuersatz gewählt."));
    } else if (tag >= 1 && tag <= 3) {
        const float rate = controller_.taxRates().forTag(tag);
        rateLabel_->setText(QStringLiteral("zuzüglich %1 % Umsatzsteuer")
                                .arg(QLocale(QLocale::German).toString(double(rate), 'g', 4)));
    } else {
        rateLabel_->setText(QStringLiteral("Bei diesem Steuersatz fällt keine Umsatzsteuer an."));
    }
    loadFromSettings();
    // The focus starts in the split page's first field.
    if (pages_->currentIndex() == kSplitPage)
        shares_->checkedButton()->setFocus();
    else
        net_->setFocus();
    return true;
}

bool SplitSheet::run(SplitController& controller, Settings& settings, RecordPtr item,
                     QWidget* parent) {
    SplitSheet sheet(controller, settings, parent);
    if (!sheet.prepare(std::move(item))) return false;
    // Over the middle of the sheet it belongs to.
    sheet.adjustSize();
    if (parent) centreOver(&sheet, parent);
    return sheet.exec() == QDialog::Accepted;
}

void SplitSheet::accept() {
    controller_.setCalculatorPage(pages_->currentIndex());
    controller_.setSplitShare(shares_->checkedId());
    controller_.setCustomSplitValue(custom_->text());
    controller_.setSplitNetAmount(net_->text());
    if (controller_.splitAction()) QDialog::accept();
}

void SplitSheet::reject() {
    controller_.cancelSplitWindow();
    QDialog::reject();
}

}  // namespace quandor::ui
