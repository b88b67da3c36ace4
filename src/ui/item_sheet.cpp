#include "ui/item_sheet.h"

#include "core/keys.h"
#include "core/number_texts.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "ui/main_window_rules.h"
#include "ui/placement.h"
#include "ui/split_sheet.h"

#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace quandor::ui {

namespace {

using Search = AddController::SearchKind;

QColor toColor(const Rgb& c) {
    return QColor::fromRgbF(float(c.red), float(c.green), float(c.blue));
}

QDate localDate(const Date& d) {
    return QDateTime::fromMSecsSinceEpoch(qint64(d.toUnix() * 1000.0)).date();
}

// The date picked in the sheet, at the time of day the item had (local time).
Date withDay(const Date& before, const QDate& day) {
    const QDateTime old = QDateTime::fromMSecsSinceEpoch(qint64(before.toUnix() * 1000.0));
    const QDateTime next(day, old.time());
    return Date::fromUnix(static_cast<double>(next.toMSecsSinceEpoch()) / 1000.0);
}

// The help drawer's text; what the keys do depends on the sheet's mode.
QString helpHtml(bool isNew, bool canCancel) {
    QString keys;
    if (!isNew)
        keys = QStringLiteral(
            "<p>Mit <b>Zurück</b> und <b>Weiter</b> übernimmst du deine Änderungen und gehst zum "
            "vorigen oder nächsten Posten der Liste. <b>OK</b> oder die Eingabetaste übernimmt sie "
            "und schließt das Fenster.</p>"
            "<p><b>Esc</b> verwirft deine Änderungen am angezeigten Posten: Er bekommt wieder die "
            "Angaben, die er hatte, als du zu ihm gekommen bist.</p>");
    else if (canCancel)
        keys = QStringLiteral(
            "<p><b>Neu</b> übernimmt den Posten und legt gleich den nächsten an, <b>OK</b> "
            "übernimmt ihn und schließt das Fenster. Eingabetaste bestätigt; Esc oder "
            "<b>Abbrechen</b> verwirft den neuen Posten.</p>");
    else
        keys = QStringLiteral(
            "<p><b>Neu</b> übernimmt den Posten und legt gleich den nächsten an, <b>OK</b> "
            "übernimmt ihn und schließt das Fenster; ebenso die Eingabetaste und Esc.</p>");
    return QStringLiteral(
               "<h3>Posten erfassen</h3>"
               "<p>Wähle zuerst, ob der Posten eine <b>Ausgabe</b> oder eine <b>Einnahme</b> ist. "
               "Danach kannst du die <b>Summe</b> eingeben – immer den Bruttobetrag, also mit "
               "Umsatzsteuer. Eine Gutschrift gibst du mit Minus ein.</p>"
               "<p>Ist Umsatzsteuer enthalten, setze den Haken bei <b>Umsatzsteuer</b> und wähle "
               "den Steuersatz. Quandor rechnet Steuer und Nettobetrag aus.</p>"
               "<p>Mit <b>Rechner</b> ersetzt du die Summe durch einen Anteil davon, etwa den "
               "betrieblichen Anteil einer gemischt genutzten Ausgabe, oder rechnest sie aus einem "
               "Nettobetrag aus.</p>"
               "<p>Das <b>Konto</b> kannst du über seine Nummer eintippen oder aus der Liste "
               "wählen. Mit „…“ suchst du Kategorien, Konten und Vorlagen.</p>") +
           keys;
}

// A search sheet over the item sheet: a search field and the matching rows.
class SearchDialog : public QDialog {
  public:
    SearchDialog(AddController& c, Search kind, QWidget* parent) : QDialog(parent), c_(c) {
        setWindowModality(Qt::WindowModal);
        const QString what = kind == Search::Group     ? QStringLiteral("Kategorie")
                             : kind == Search::Account ? QStringLiteral("Konto")
                                                       : QStringLiteral("Vorlage");
        setWindowTitle(QStringLiteral("%1 suchen").arg(what));
        setObjectName(QStringLiteral("searchSheet"));
        auto* layout = new QVBoxLayout(this);
        field_ = new QLineEdit(this);
        field_->setPlaceholderText(QStringLiteral("%1 suchen …").arg(what));
        field_->setClearButtonEnabled(true);
        layout->addWidget(field_);
        list_ = new QListWidget(this);
        list_->setMinimumSize(360, 260);
        layout->addWidget(list_);
        auto* buttons = new QDialogButtonBox(this);
        buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
        auto* choose =
            buttons->addButton(QStringLiteral("Auswählen"), QDialogButtonBox::AcceptRole);
        choose->setDefault(true);
        layout->addWidget(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
        connect(field_, &QLineEdit::textChanged, this, [this](const QString& t) {
            c_.setSearchText(t);
            fill();
        });
        connect(list_, &QListWidget::currentRowChanged, this,
                [this](int row) { c_.setSearchSelection(row); });
        fill();
        field_->setFocus();
    }

  private:
    void fill() {
        const AddController::SearchSheet& s = c_.searchSheet();
        const RecordList& records = c_.searchList();
        QSignalBlocker block(list_);
        list_->clear();
        for (uint32_t index : s.rows) {
            const Record& r = *records[index];
            QString text = r.text(keys::title);
            if (s.kind == Search::Account)
                text = r.text(keys::number) + QStringLiteral("  ") + text;
            if (s.kind == Search::Template && !r.text(keys::group).isEmpty())
                text += QStringLiteral("  (%1)").arg(r.text(keys::group));
            list_->addItem(text);
        }
        list_->setCurrentRow(s.selected);
    }
    AddController& c_;
    QLineEdit* field_ = nullptr;
    QListWidget* list_ = nullptr;
};

}  // namespace

ItemSheet::ItemSheet(AddController& controller, SplitController& split, QuandorAppDelegate& app,
                     QWidget* parent)
    : QDialog(parent), c_(controller), split_(split), app_(app) {
    setObjectName(QStringLiteral("itemSheet"));
    setWindowModality(Qt::WindowModal);
    build();
}

QLabel* ItemSheet::buddyLabel(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, this);
    label->setBuddy(buddy);
    return label;
}

void ItemSheet::build() {
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(16, 14, 16, 12);

    dateDrawer_ = new QCalendarWidget(this);
    dateDrawer_->setObjectName(QStringLiteral("dateDrawer"));
    dateDrawer_->setGridVisible(false);
    dateDrawer_->setVisible(false);
    outer->addWidget(dateDrawer_, 0, Qt::AlignTop);

    auto* main = new QVBoxLayout;
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(7);

    // Kind first: the amount field opens once it is chosen.
    auto* kindRow = new QHBoxLayout;
    expense_ = new QRadioButton(QStringLiteral("&Ausgabe"), this);
    income_ = new QRadioButton(QStringLiteral("&Einnahme"), this);
    kinds_ = new QButtonGroup(this);
    kinds_->addButton(expense_, kKindExpense);
    kinds_->addButton(income_, kKindIncome);
    kindRow->addWidget(expense_);
    kindRow->addWidget(income_);
    kindRow->addStretch();
    form->addRow(buddyLabel(QStringLiteral("Art:"), expense_), kindRow);

    auto* dateRow = new QHBoxLayout;
    date_ = new QDateEdit(this);
    date_->setObjectName(QStringLiteral("dateField"));
    date_->setCalendarPopup(true);
    date_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    auto* today = new QPushButton(QStringLiteral("Heute"), this);
    today->setAutoDefault(false);
    dateButton_ = new QPushButton(QStringLiteral("Kalender"), this);
    dateButton_->setCheckable(true);
    dateButton_->setAutoDefault(false);
    dateRow->addWidget(date_);
    dateRow->addWidget(today);
    dateRow->addWidget(dateButton_);
    dateRow->addStretch();
    form->addRow(buddyLabel(QStringLiteral("&Datum:"), date_), dateRow);

    title_ = new QLineEdit(this);
    title_->setObjectName(QStringLiteral("titleField"));
    title_->setMinimumWidth(340);
    form->addRow(QStringLiteral("&Bezeichnung:"), title_);

    auto* amountRow = new QHBoxLayout;
    sign_ = new QLabel(this);
    sign_->setObjectName(QStringLiteral("signLabel"));
    sign_->setFixedWidth(14);
    QFont big = sign_->font();
    big.setBold(true);
    sign_->setFont(big);
    sign_->setAlignment(Qt::AlignCenter);
    amount_ = new QLineEdit(this);
    amount_->setObjectName(QStringLiteral("amountField"));
    amount_->setAlignment(Qt::AlignRight);
    amount_->setPlaceholderText(QStringLiteral("0,00"));
    amount_->setMinimumWidth(150);
    amount_->setMaximumWidth(170);
    QFont amountFont = amount_->font();
    amountFont.setBold(true);
    amount_->setFont(amountFont);
    amountRow->addWidget(sign_);
    amountRow->addWidget(amount_);
    amountRow->addWidget(new QLabel(QStringLiteral("brutto"), this));
    calculator_ = new QPushButton(QStringLiteral("Re&chner …"), this);
    calculator_->setObjectName(QStringLiteral("calculatorButton"));
    calculator_->setToolTip(
        QStringLiteral("Betrag aufteilen oder aus einem Nettobetrag berechnen"));
    calculator_->setAutoDefault(false);
    amountRow->addSpacing(8);
    amountRow->addWidget(calculator_);
    amountRow->addStretch();
    form->addRow(buddyLabel(QStringLiteral("&Summe:"), amount_), amountRow);

    auto* vatRow = new QHBoxLayout;
    vat_ = new QCheckBox(QStringLiteral("&Umsatzsteuer"), this);
    rate_ = new QComboBox(this);
    rate_->setObjectName(QStringLiteral("rateMenu"));
    vatRow->addWidget(vat_);
    vatRow->addWidget(rate_, 1);
    form->addRow(QString(), vatRow);

    auto* groupRow = new QHBoxLayout;
    group_ = new QComboBox(this);
    group_->setEditable(true);
    group_->setInsertPolicy(QComboBox::NoInsert);
    auto* groupSearch = new QPushButton(QStringLiteral("…"), this);
    groupSearch->setToolTip(QStringLiteral("Kategorie suchen"));
    groupSearch->setAutoDefault(false);
    groupSearch->setFixedWidth(32);
    groupRow->addWidget(group_, 1);
    groupRow->addWidget(groupSearch);
    form->addRow(buddyLabel(QStringLiteral("&Kategorie:"), group_), groupRow);

    auto* accountRow = new QHBoxLayout;
    accountNumber_ = new QLineEdit(this);
    accountNumber_->setObjectName(QStringLiteral("accountField"));
    accountNumber_->setPlaceholderText(QStringLiteral("Nummer"));
    accountNumber_->setMaximumWidth(80);
    account_ = new QComboBox(this);
    account_->setObjectName(QStringLiteral("accountMenu"));
    account_->setMinimumWidth(200);
    busy_ = new QLabel(QStringLiteral("…"), this);
    busy_->setVisible(false);
    auto* accountSearch = new QPushButton(QStringLiteral("…"), this);
    accountSearch->setToolTip(QStringLiteral("Konto suchen"));
    accountSearch->setAutoDefault(false);
    accountSearch->setFixedWidth(32);
    accountRow->addWidget(accountNumber_);
    accountRow->addWidget(account_, 1);
    accountRow->addWidget(busy_);
    accountRow->addWidget(accountSearch);
    form->addRow(buddyLabel(QStringLiteral("K&onto:"), accountNumber_), accountRow);

    number_ = new QLineEdit(this);
    number_->setObjectName(QStringLiteral("numberField"));
    form->addRow(QStringLiteral("&Rechnungsnummer:"), number_);
    receipt_ = new QLineEdit(this);
    receipt_->setObjectName(QStringLiteral("receiptField"));
    form->addRow(QStringLiteral("Be&legnummer:"), receipt_);
    comment_ = new QPlainTextEdit(this);
    comment_->setTabChangesFocus(true);
    comment_->setFixedHeight(60);
    form->addRow(QStringLiteral("Ko&mmentar:"), comment_);
    main->addLayout(form);

    auto* buttons = new QHBoxLayout;
    helpButton_ = new QPushButton(QStringLiteral("?"), this);
    helpButton_->setCheckable(true);
    helpButton_->setFixedWidth(32);
    helpButton_->setToolTip(QStringLiteral("Hilfe ein/aus"));
    helpButton_->setAutoDefault(false);
    buttons->addWidget(helpButton_);
    template_ = new QPushButton(QStringLiteral("&Vorlage …"), this);
    previous_ = new QPushButton(QStringLiteral("◀ &Zurück"), this);
    next_ = new QPushButton(QStringLiteral("&Weiter ▶"), this);
    buttons->addWidget(template_);
    buttons->addWidget(previous_);
    buttons->addWidget(next_);
    buttons->addStretch();
    cancel_ = new QPushButton(QStringLiteral("Abbrechen"), this);
    new_ = new QPushButton(QStringLiteral("&Neu"), this);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    for (QPushButton* b : {template_, previous_, next_, cancel_, new_}) b->setAutoDefault(false);
    ok_->setDefault(true);
    buttons->addWidget(cancel_);
    buttons->addWidget(new_);
    buttons->addWidget(ok_);
    main->addSpacing(6);
    main->addLayout(buttons);
    outer->addLayout(main, 1);

    auto* help = new QLabel(helpHtml(true, true), this);
    help->setWordWrap(true);
    help->setTextFormat(Qt::RichText);
    help->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    help->setFixedWidth(250);
    help->setStyleSheet(
        QStringLiteral("QLabel { background: palette(alternate-base); padding: 10px; "
                       "border: 1px solid palette(mid); border-radius: 4px; }"));
    helpDrawer_ = help;
    helpText_ = help;
    helpDrawer_->setObjectName(QStringLiteral("helpDrawer"));
    helpDrawer_->setVisible(false);
    outer->addWidget(helpDrawer_);

    // Tab order: the order a booking is read off a receipt.
    setTabOrder(expense_, income_);
    setTabOrder(income_, date_);
    setTabOrder(date_, title_);
    setTabOrder(title_, amount_);
    setTabOrder(amount_, calculator_);
    setTabOrder(calculator_, vat_);
    setTabOrder(vat_, rate_);
    setTabOrder(rate_, group_);
    setTabOrder(group_, accountNumber_);
    setTabOrder(accountNumber_, account_);
    setTabOrder(account_, number_);
    setTabOrder(number_, receipt_);
    setTabOrder(receipt_, comment_);
    setTabOrder(comment_, ok_);

    // Fields → item.
    connect(kinds_, &QButtonGroup::idClicked, this, [this](int id) {
        if (syncing_) return;
        commitEdits();
        id == kKindExpense ? c_.selectExpense() : c_.selectIncome();
        sync();
        if (amount_->isEnabled()) amount_->setFocus();
    });
    connect(date_, &QDateEdit::dateChanged, this, [this](const QDate& d) {
        if (syncing_ || !c_.sheetItem()) return;
        commitEdits();
        c_.setItemDate(withDay(c_.sheetItem()->date(keys::date), d));
        sync();
    });
    connect(dateDrawer_, &QCalendarWidget::clicked, this,
            [this](const QDate& d) { date_->setDate(d); });
    connect(today, &QPushButton::clicked, this, [this] {
        commitEdits();
        c_.setToday();
        sync();
    });
    auto bindText = [this](QLineEdit* field, Key key) {
        connect(field, &QLineEdit::textEdited, this,
                [this, key](const QString& t) { c_.setItemText(key, t); });
    };
    bindText(title_, keys::title);
    bindText(number_, keys::number);
    bindText(receipt_, keys::misc1);
    connect(group_, &QComboBox::currentTextChanged, this, [this](const QString& t) {
        if (!syncing_) c_.setItemText(keys::group, t);
    });
    connect(comment_, &QPlainTextEdit::textChanged, this, [this] {
        if (!syncing_) c_.setItemText(keys::comment, comment_->toPlainText());
    });
    connect(amount_, &QLineEdit::editingFinished, this, [this] {
        if (syncing_ || calculatorOpen_ || amount_->text() == c_.itemSheet().amountText) return;
        c_.setAmountText(amount_->text());
        sync();
    });
    connect(vat_, &QCheckBox::clicked, this, [this](bool on) {
        commitEdits();
        c_.setItemTaxBool(on);
        sync();
    });
    connect(rate_, &QComboBox::activated, this, [this](int index) {
        commitEdits();
        c_.setItemTaxTag(rate_->itemData(index).toLongLong());
        sync();
    });
    connect(accountNumber_, &QLineEdit::editingFinished, this, [this] {
        if (syncing_ || accountNumber_->text() == c_.itemSheet().accountText) return;
        c_.setAccountText(accountNumber_->text());
        if (c_.validateAccountNumber() && !accountNumber_->text().isEmpty()) number_->setFocus();
        sync();
    });
    connect(account_, &QComboBox::activated, this, [this](int index) {
        commitEdits();
        c_.validateAccountTitle(account_->itemText(index));
        sync();
        QTimer::singleShot(200, this, [this] { sync(); });
    });
    connect(groupSearch, &QPushButton::clicked, this, [this] { runSearch(Search::Group); });
    connect(accountSearch, &QPushButton::clicked, this, [this] { runSearch(Search::Account); });
    connect(template_, &QPushButton::clicked, this, [this] { runSearch(Search::Template); });
    connect(calculator_, &QPushButton::clicked, this, &ItemSheet::openCalculator);
    connect(helpButton_, &QPushButton::toggled, helpDrawer_, &QWidget::setVisible);
    connect(dateButton_, &QPushButton::toggled, dateDrawer_, &QWidget::setVisible);

    // Buttons → controller.
    connect(ok_, &QPushButton::clicked, this, &ItemSheet::confirm);
    connect(new_, &QPushButton::clicked, this, &ItemSheet::newItem);
    connect(cancel_, &QPushButton::clicked, this, &ItemSheet::cancel);
    connect(previous_, &QPushButton::clicked, this, [this] { step(-1); });
    connect(next_, &QPushButton::clicked, this, [this] { step(1); });
}

void ItemSheet::fillChoices() {
    const Settings& s = app_.settings();
    const TaxRates rates = AddController::taxRates(s);
    auto titled = [&](QStringView key, const QString& fallback) {
        const QString t = s.getText(key);
        return t.isEmpty() ? fallback : t;
    };
    rate_->clear();
    rate_->addItem(QStringLiteral("Steuersatz wählen …"), 0);
    rate_->addItem(QStringLiteral("%1 (%2)").arg(
                       titled(prefs::prefs1RateTitle, QStringLiteral("Regelsteuersatz")),
                       rateText(rates.rate1)),
                   1);
    rate_->addItem(QStringLiteral("%1 (%2)").arg(
                       titled(prefs::prefs2RateTitle, QStringLiteral("Ermäßigter Steuersatz")),
                       rateText(rates.rate2)),
                   2);
    rate_->addItem(QStringLiteral("Steuersatz 3 (%1)").arg(rateText(rates.rate3)), 3);
    rate_->addItem(QStringLiteral("Steuerfreie Umsätze"), 4);
    rate_->addItem(QStringLiteral("Nicht steuerbare Umsätze"), 5);

    group_->clear();
    for (const RecordPtr& g : app_.groups()) group_->addItem(g->text(keys::title));
    account_->clear();
    account_->addItem(QString());
    for (const RecordPtr& a : app_.accounts()) account_->addItem(a->text(keys::title));
}

void ItemSheet::sync() {
    const RecordPtr item = c_.sheetItem();
    if (!item) {
        if (isVisible()) QDialog::accept();
        return;
    }
    syncing_ = true;
    const AddController::ItemSheet& s = c_.itemSheet();
    const bool isNew = c_.sheet().isNew;
    setWindowTitle(isNew ? QStringLiteral("Neuer Posten") : QStringLiteral("Posten bearbeiten"));

    date_->setDate(localDate(item->date(keys::date)));
    dateDrawer_->setSelectedDate(date_->date());
    if (title_->text() != item->text(keys::title)) title_->setText(item->text(keys::title));
    if (number_->text() != item->text(keys::number)) number_->setText(item->text(keys::number));
    if (receipt_->text() != item->text(keys::misc1)) receipt_->setText(item->text(keys::misc1));
    if (group_->currentText() != item->text(keys::group))
        group_->setEditText(item->text(keys::group));
    if (comment_->toPlainText() != item->text(keys::comment))
        comment_->setPlainText(item->text(keys::comment));
    accountNumber_->setText(s.accountText);
    const int accountIndex = account_->findText(item->text(keys::account));
    account_->setCurrentIndex(accountIndex >= 0 ? accountIndex : 0);
    busy_->setVisible(s.busy);

    const int64_t kind = item->integer(keys::kind);
    kinds_->setExclusive(false);
    expense_->setChecked(kind == kKindExpense);
    income_->setChecked(kind == kKindIncome);
    kinds_->setExclusive(true);

    // Every action hands the typed amount over first, so the field shows the item's.
    if (amount_->text() != s.amountText) amount_->setText(s.amountText);
    amount_->setEnabled(s.amountEnabled);
    calculator_->setEnabled(s.amountEnabled);
    amount_->setPlaceholderText(s.amountEnabled ? QStringLiteral("0,00")
                                                : QStringLiteral("erst Art wählen"));
    sign_->setText(s.sign);
    QPalette signPalette = palette();
    QPalette amountPalette = amount_->palette();
    if (s.signColor != AddController::SignColor::None) {
        const QColor color = toColor(
            s.signColor == AddController::SignColor::Expense ? kExpenseColor : kIncomeColor);
        signPalette.setColor(QPalette::WindowText, color);
        amountPalette.setColor(QPalette::Text, color);
    } else {
        amountPalette.setColor(QPalette::Text, palette().color(QPalette::Text));
    }
    sign_->setPalette(signPalette);
    amount_->setPalette(amountPalette);

    vat_->setChecked(item->flag(keys::taxBool));
    const int rateIndex =
        rate_->findData(QVariant::fromValue<qlonglong>(item->integer(keys::taxTag)));
    rate_->setCurrentIndex(rateIndex >= 0 ? rateIndex : 0);
    rate_->setEnabled(item->flag(keys::taxBool));

    const QString help = helpHtml(isNew, s.showCancel);
    if (helpText_->text() != help) helpText_->setText(help);
    cancel_->setVisible(isNew && s.showCancel);
    new_->setVisible(isNew && s.showNew);
    template_->setVisible(isNew && s.showTemplate);
    previous_->setVisible(!isNew && s.showSteps);
    next_->setVisible(!isNew && s.showSteps);
    if (s.accountRejected) {
        accountNumber_->setFocus();
        accountNumber_->selectAll();
    }
    syncing_ = false;
    // The row behind the sheet shows the figures as they are now.
    emit itemsChanged();
}

bool ItemSheet::commitEdits() {
    if (!c_.sheetItem()) return true;
    if (amount_->isEnabled() && amount_->text() != c_.itemSheet().amountText)
        c_.setAmountText(amount_->text());
    // An account number that was not taken keeps the sheet open until it is
    // corrected or cleared (the alert has told why).
    if (accountNumber_->text() != c_.itemSheet().accountText) {
        c_.setAccountText(accountNumber_->text());
        c_.validateAccountNumber();
    }
    return !c_.itemSheet().accountRejected;
}

void ItemSheet::afterAction() {
    sync();
    emit itemsChanged();
}

void ItemSheet::addItem() {
    fillChoices();
    c_.addItem();
    if (!c_.sheetItem()) return;
    helpButton_->setChecked(c_.sheet().helpDrawer);
    dateButton_->setChecked(c_.sheet().dateDrawer);
    sync();
    present(c_.sheetItem()->integer(keys::kind) != 0 ? static_cast<QWidget*>(amount_) : expense_);
}

void ItemSheet::editItem() {
    fillChoices();
    c_.editItem();
    if (!c_.sheetItem()) return;
    helpButton_->setChecked(c_.sheet().helpDrawer);
    dateButton_->setChecked(c_.sheet().dateDrawer);
    sync();
    present(title_);
}

void ItemSheet::showOpenedItem() {
    if (!c_.sheetItem()) return;
    fillChoices();
    helpButton_->setChecked(c_.sheet().helpDrawer);
    dateButton_->setChecked(c_.sheet().dateDrawer);
    sync();
    present(title_);
}

void ItemSheet::present(QWidget* focus) {
    presentSheet(this, [focus] { focus->setFocus(Qt::OtherFocusReason); });
    emit itemsChanged();
}

void ItemSheet::confirm() {
    if (!commitEdits()) {
        sync();
        return;
    }
    if (c_.closeItemSheet()) {
        QDialog::accept();
        emit itemsChanged();
        return;
    }
    sync();
}

void ItemSheet::newItem() {
    if (!commitEdits()) {
        sync();
        return;
    }
    c_.addItem();
    afterAction();
    expense_->setFocus();
    if (c_.sheetItem() && c_.sheetItem()->integer(keys::kind) != 0) amount_->setFocus();
}

void ItemSheet::cancel() {
    c_.cancelItemSheet();
    QDialog::reject();
    emit itemsChanged();
}

void ItemSheet::step(int delta) {
    commitEdits();
    delta > 0 ? c_.selectNext() : c_.selectPrevious();
    afterAction();
}

void ItemSheet::reject() {
    // Escape (and the window's close button): a fresh item is discarded when
    // cancelling is offered, else the sheet closes as with OK, after its
    // checks; an edited item gets back the values it had when the sheet came
    // to it.
    if (!c_.sheet().isNew) {
        c_.revertItemSheet();
        QDialog::reject();
        emit itemsChanged();
    } else if (c_.itemSheet().showCancel) {
        cancel();
    } else {
        confirm();
    }
}

void ItemSheet::openCalculator() {
    // The calculator works on the amount as typed so far.
    if (!commitEdits()) {
        sync();
        return;
    }
    const RecordPtr item = c_.sheetItem();
    if (!item) return;
    // While the calculator is open and until the sheet shows the new amount,
    // the amount field must not hand its old text back (it may lose the focus
    // meanwhile).
    calculatorOpen_ = true;
    const bool changed = SplitSheet::run(split_, app_.settings(), item, this);
    calculatorOpen_ = false;
    if (changed) {
        // The item calculation runs on the next turn of the event loop; the
        // amount field and the sign follow it then.
        sync();
        QTimer::singleShot(0, this, [this] { sync(); });
    }
    // The keys come back to this sheet (not every desktop hands them back).
    activateWindow();
    amount_->setFocus(Qt::OtherFocusReason);
}

void ItemSheet::runSearch(Search kind) {
    commitEdits();
    switch (kind) {
        case Search::Group:
            c_.openGroupSearchSheet();
            break;
        case Search::Account:
            c_.openAccountSearchSheet();
            break;
        case Search::Template:
            c_.openTemplateSearchSheet();
            break;
        case Search::None:
            return;
    }
    SearchDialog dialog(c_, kind, this);
    const bool chosen = dialog.exec() == QDialog::Accepted;
    switch (kind) {
        case Search::Group:
            chosen ? c_.selectGroupSearchSheet() : c_.cancelGroupSearchSheet();
            break;
        case Search::Account:
            chosen ? c_.selectAccountSearchSheet() : c_.cancelAccountSearchSheet();
            break;
        case Search::Template:
            chosen ? c_.selectTemplateSearchSheet() : c_.cancelTemplateSearchSheet();
            break;
        case Search::None:
            break;
    }
    sync();
    // A template looks its account up after two short delays.
    if (kind == Search::Template) QTimer::singleShot(300, this, [this] { sync(); });
}

}  // namespace quandor::ui
