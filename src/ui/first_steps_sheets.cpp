#include "ui/first_steps_sheets.h"

#include "bookkeeping/years_controller.h"
#include "core/settings_keys.h"
#include "ui/panels.h"
#include "ui/placement.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quandor::ui {

namespace {

using Chart = FirstStepsController::ChartChoice;

QDialog* newSheet(const QString& objectName, const QString& title, QWidget* window) {
    auto* sheet = new QDialog(window);
    sheet->setObjectName(objectName);
    sheet->setWindowTitle(title);
    sheet->setWindowModality(Qt::WindowModal);
    return sheet;
}

// The head of a sheet: the emblem, a headline and a line of text under it.
QHBoxLayout* sheetHead(QWidget* sheet, const QString& step, const QString& headline,
                       const QString& text) {
    auto* head = new QHBoxLayout;
    head->setContentsMargins(0, 0, 0, 10);
    auto* picture = new QLabel(sheet);
    picture->setPixmap(emblem(56));
    head->addWidget(picture, 0, Qt::AlignTop);
    head->addSpacing(8);
    auto* words = new QLabel(sheet);
    words->setWordWrap(true);
    // As wide as the sheet leaves it, so the sheet's height fits the wrapped text.
    words->setMinimumWidth(420);
    words->setText(
        (step.isEmpty() ? QString() : QStringLiteral("<p style='color:#5a6a7a'>%1</p>").arg(step)) +
        QStringLiteral("<h2 style='margin-top:0'>%1</h2><p>%2</p>").arg(headline, text));
    head->addWidget(words, 1);
    return head;
}

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> left,
                       std::initializer_list<QPushButton*> right) {
    auto* row = new QHBoxLayout;
    for (QPushButton* b : left) row->addWidget(b);
    row->addStretch();
    for (QPushButton* b : right) row->addWidget(b);
    return row;
}

QDoubleSpinBox* rateBox(QWidget* parent, const QString& name) {
    auto* spin = new QDoubleSpinBox(parent);
    spin->setObjectName(name);
    spin->setLocale(QLocale(QLocale::German, QLocale::Germany));
    spin->setRange(0.0, 100.0);
    spin->setDecimals(2);
    spin->setSingleStep(0.5);
    spin->setSuffix(QStringLiteral(" %"));
    spin->setMaximumWidth(120);
    return spin;
}

}  // namespace

FirstStepsSheets::FirstStepsSheets(FirstStepsController& controller, Settings& settings,
                                   QWidget* window)
    : QObject(window), c_(controller), settings_(settings), window_(window) {
    buildFirst();
    buildAssi();
    buildAccount();
    buildEntry();
}

// ---- welcome ----------------------------------------------------------------------------

void FirstStepsSheets::buildFirst() {
    first_ =
        newSheet(QStringLiteral("welcomeSheet"), QStringLiteral("Willkommen bei Quandor"), window_);
    auto* layout = new QVBoxLayout(first_);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->addLayout(sheetHead(
        first_, {}, QStringLiteral("Willkommen bei Quandor!"),
        QStringLiteral("Schön, dass du da bist. Der Einrichtungsassistent fragt dich nach deiner "
                       "Firma, deinen Steuersätzen und deinen Konten und legt deine erste "
                       "Abrechnung an – danach erfasst du gleich deinen ersten Posten.")));
    auto* steps = new QLabel(
        QStringLiteral("<p>Ohne Assistent geht es so: <b>Neues Jahr</b>, dann <b>Neue "
                       "Abrechnung</b> (zum Beispiel „Januar“), dann <b>Neuer Posten</b>. Deine "
                       "Daten werden alle 30 Sekunden und beim Beenden gesichert.</p>"),
        first_);
    steps->setWordWrap(true);
    layout->addWidget(steps);
    dontShow_ =
        new QCheckBox(QStringLiteral("Diesen Hinweis beim Start nicht mehr anzeigen"), first_);
    dontShow_->setObjectName(QStringLiteral("prefsAlwaysShowWelcomeSheet"));
    connect(dontShow_, &QCheckBox::toggled, this, [this](bool on) {
        settings_.setBool(prefs::prefsAlwaysShowWelcomeSheet, on);
        settings_.sync();
    });
    layout->addSpacing(6);
    layout->addWidget(dontShow_);
    startSetup_ = new QPushButton(QStringLiteral("&Einrichtung starten"), first_);
    startSetup_->setObjectName(QStringLiteral("startSetup"));
    letsGo_ = new QPushButton(QStringLiteral("&Los geht's"), first_);
    letsGo_->setObjectName(QStringLiteral("letsGo"));
    auto* prefsButton = new QPushButton(QStringLiteral("Einstellungen …"), first_);
    layout->addSpacing(8);
    layout->addLayout(buttonRow({prefsButton}, {letsGo_, startSetup_}));
    connect(startSetup_, &QPushButton::clicked, this, [this] {
        c_.closeSheetFirst();
        present();
    });
    connect(letsGo_, &QPushButton::clicked, first_, &QDialog::reject);
    connect(prefsButton, &QPushButton::clicked, this, [this] {
        first_->reject();
        emit openPreferences();
    });
    connect(first_, &QDialog::rejected, this, [this] {
        c_.cancelSheetFirst();
        present();
    });
    first_->setFixedWidth(540);
}

void FirstStepsSheets::showWelcome() {
    c_.openSheetFirst();
    present();
}

// ---- assistant ----------------------------------------------------------------------------

void FirstStepsSheets::buildAssi() {
    assi_ = newSheet(QStringLiteral("assistantSheet"), QStringLiteral("Einrichtung"), window_);
    auto* layout = new QVBoxLayout(assi_);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->addLayout(sheetHead(
        assi_, QStringLiteral("Schritt 1 von 3"), QStringLiteral("Deine Firma"),
        QStringLiteral("Firma und Steuernummer stehen auf deinen Ausdrucken und in der "
                       "Voranmeldung. Du kannst alles später in den Einstellungen ändern.")));
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    company_ = new QLineEdit(assi_);
    company_->setObjectName(QStringLiteral("prefsCompany"));
    company_->setPlaceholderText(QStringLiteral("z. B. Muster Design"));
    taxID_ = new QLineEdit(assi_);
    taxID_->setObjectName(QStringLiteral("prefsTaxID"));
    taxID_->setPlaceholderText(QStringLiteral("z. B. 21/815/08150"));
    rate1_ = rateBox(assi_, QStringLiteral("prefs1Rate"));
    rate2_ = rateBox(assi_, QStringLiteral("prefs2Rate"));
    backup_ = new QCheckBox(QStringLiteral("Nach jedem Start eine Sicherung anlegen"), assi_);
    backup_->setObjectName(QStringLiteral("prefsMakeBackup"));
    form->addRow(QStringLiteral("&Firma:"), company_);
    form->addRow(QStringLiteral("&Steuernummer:"), taxID_);
    form->addRow(QStringLiteral("&Regelsteuersatz:"), rate1_);
    form->addRow(QStringLiteral("E&rmäßigter Steuersatz:"), rate2_);
    form->addRow(QString(), backup_);
    layout->addLayout(form);
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), assi_);
    cancel->setAutoDefault(false);
    auto* next = new QPushButton(QStringLiteral("&Weiter"), assi_);
    next->setObjectName(QStringLiteral("next"));
    next->setDefault(true);
    layout->addSpacing(8);
    layout->addLayout(buttonRow({}, {cancel, next}));
    connect(cancel, &QPushButton::clicked, assi_, &QDialog::reject);
    connect(assi_, &QDialog::rejected, this, [this] {
        c_.cancelSheetAssi();
        present();
    });
    connect(next, &QPushButton::clicked, this, [this] {
        FirstStepsController::Setup& s = c_.setup();
        s.company = company_->text();
        s.taxID = taxID_->text();
        s.rate1 = float(rate1_->value());
        s.rate2 = float(rate2_->value());
        s.makeBackup = backup_->isChecked();
        if (c_.closeSheetAssi()) present();
    });
    assi_->setFixedWidth(540);
}

void FirstStepsSheets::loadAssi() {
    const FirstStepsController::Setup& s = c_.setup();
    company_->setText(s.company);
    taxID_->setText(s.taxID);
    rate1_->setValue(double(s.rate1));
    rate2_->setValue(double(s.rate2));
    backup_->setChecked(s.makeBackup);
}

void FirstStepsSheets::selectAssi() {
    c_.selectAssi();
    present();
}

// ---- account setup --------------------------------------------------------------------------

void FirstStepsSheets::buildAccount() {
    account_ = newSheet(QStringLiteral("accountSheet"), QStringLiteral("Einrichtung"), window_);
    auto* layout = new QVBoxLayout(account_);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->addLayout(sheetHead(
        account_, QStringLiteral("Schritt 2 von 3"), QStringLiteral("Deine Konten"),
        QStringLiteral("Jeder Posten gehört zu einem Konto. Wähle einen Kontenrahmen; eigene "
                       "Konten legst du später in den Einstellungen unter „Konten“ an.")));
    charts_ = new QButtonGroup(account_);
    auto addChoice = [&](Chart chart, const QString& name, const QString& label,
                         const QString& note) {
        auto* radio = new QRadioButton(label, account_);
        radio->setObjectName(name);
        charts_->addButton(radio, int(chart));
        layout->addWidget(radio);
        auto* hint = new QLabel(note, account_);
        hint->setWordWrap(true);
        hint->setContentsMargins(24, 0, 0, 6);
        hint->setStyleSheet(QStringLiteral("color: palette(placeholder-text);"));
        layout->addWidget(hint);
        return hint;
    };
    addChoice(Chart::Standard, QStringLiteral("chartStandard"),
              QStringLiteral("&Standard (empfohlen)"),
              QStringLiteral("Die gebräuchlichen Konten nach dem DATEV-Kontenrahmen SK04."));
    addChoice(Chart::Complete, QStringLiteral("chartComplete"), QStringLiteral("&Komplett"),
              QStringLiteral("Der vollständige DATEV-Kontenrahmen SK04 mit allen Konten."));
    addChoice(Chart::Minimal, QStringLiteral("chartMinimal"), QStringLiteral("&Minimal"),
              QStringLiteral("Nur wenige Konten, für den einfachen Anfang."));
    keepLabel_ = addChoice(Chart::Keep, QStringLiteral("chartKeep"),
                           QStringLiteral("&Bisherige Konten behalten"), QString());
    connect(charts_, &QButtonGroup::idClicked, this, [this](int id) { c_.setChart(Chart(id)); });
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), account_);
    cancel->setAutoDefault(false);
    auto* next = new QPushButton(QStringLiteral("&Weiter"), account_);
    next->setObjectName(QStringLiteral("next"));
    next->setDefault(true);
    layout->addSpacing(8);
    layout->addLayout(buttonRow({}, {cancel, next}));
    connect(cancel, &QPushButton::clicked, account_, &QDialog::reject);
    connect(account_, &QDialog::rejected, this, [this] {
        c_.cancelSheetAccount();
        present();
    });
    connect(next, &QPushButton::clicked, this, [this] {
        if (c_.closeSheetAccount()) {
            emit booksChanged();
            present();
        }
    });
    account_->setFixedWidth(540);
}

void FirstStepsSheets::loadAccount() {
    const int count = c_.accountCount();
    keepLabel_->setText(
        count == 0
            ? QStringLiteral("Noch keine Konten: du legst sie selbst an.")
            : QStringLiteral("Deine %1 vorhandenen Konten bleiben, wie sie sind.").arg(count));
    if (QAbstractButton* b = charts_->button(int(c_.chart()))) b->setChecked(true);
}

// ---- first entry ------------------------------------------------------------------------------

void FirstStepsSheets::buildEntry() {
    entry_ = newSheet(QStringLiteral("entrySheet"), QStringLiteral("Einrichtung"), window_);
    auto* layout = new QVBoxLayout(entry_);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->addLayout(sheetHead(
        entry_, QStringLiteral("Schritt 3 von 3"), QStringLiteral("Deine erste Abrechnung"),
        QStringLiteral("Posten sammelst du in Abrechnungen – meist ein Monat oder ein "
                       "Kalendervierteljahr, so wie du die Voranmeldung abgibst. Quandor legt das "
                       "Jahr und die Abrechnung an und öffnet deinen ersten Posten.")));
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    year_ = new QComboBox(entry_);
    year_->setObjectName(QStringLiteral("yearName"));
    year_->setEditable(true);
    year_->setInsertPolicy(QComboBox::NoInsert);
    period_ = new QComboBox(entry_);
    period_->setObjectName(QStringLiteral("periodName"));
    period_->setEditable(true);
    period_->setInsertPolicy(QComboBox::NoInsert);
    period_->addItems(YearsController::periodNames());
    period_->setMaxVisibleItems(17);
    period_->setMinimumWidth(240);
    form->addRow(QStringLiteral("&Jahr:"), year_);
    form->addRow(QStringLiteral("&Zeitraum:"), period_);
    layout->addLayout(form);
    auto* later = new QPushButton(QStringLiteral("Später"), entry_);
    later->setAutoDefault(false);
    auto* go = new QPushButton(QStringLiteral("&Ersten Posten erfassen"), entry_);
    go->setObjectName(QStringLiteral("firstItem"));
    go->setDefault(true);
    layout->addSpacing(8);
    layout->addLayout(buttonRow({}, {later, go}));
    connect(later, &QPushButton::clicked, entry_, &QDialog::reject);
    connect(entry_, &QDialog::rejected, this, [this] {
        c_.cancelSheetEntry();
        present();
        emit booksChanged();
    });
    connect(go, &QPushButton::clicked, this, [this] {
        c_.entry().yearName = year_->currentText();
        c_.entry().periodName = period_->currentText();
        const bool done = c_.closeSheetEntry();
        present();
        emit booksChanged();
        if (done) emit firstItemWanted();
    });
    entry_->setFixedWidth(540);
}

void FirstStepsSheets::loadEntry() {
    const int year = c_.entry().yearName.toInt();
    year_->clear();
    year_->addItems(YearsController::yearNames(year > 0 ? year : QDate::currentDate().year()));
    year_->setCurrentText(c_.entry().yearName);
    period_->setCurrentText(c_.entry().periodName);
}

// ---- which sheet ---------------------------------------------------------------------------

QDialog* FirstStepsSheets::shownSheet() const {
    switch (c_.sheet()) {
        case FirstStepsController::Sheet::First:
            return first_;
        case FirstStepsController::Sheet::Assi:
            return assi_;
        case FirstStepsController::Sheet::Account:
            return account_;
        case FirstStepsController::Sheet::Entry:
            return entry_;
        case FirstStepsController::Sheet::None:
            break;
    }
    return nullptr;
}

void FirstStepsSheets::present() {
    QDialog* wanted = shownSheet();
    for (QDialog* sheet : {first_, assi_, account_, entry_})
        if (sheet != wanted && sheet->isVisible()) sheet->hide();
    if (!wanted) return;
    QWidget* focus = nullptr;
    if (wanted == first_) {
        const QSignalBlocker block(dontShow_);
        dontShow_->setChecked(settings_.getBool(prefs::prefsAlwaysShowWelcomeSheet));
        // Until the setup has run, the assistant is what Return starts.
        startSetup_->setDefault(!c_.setupDone());
        letsGo_->setDefault(c_.setupDone());
        focus = c_.setupDone() ? letsGo_ : startSetup_;
    } else if (wanted == assi_) {
        loadAssi();
        focus = company_;
    } else if (wanted == account_) {
        loadAccount();
        focus = charts_->checkedButton();
    } else {
        loadEntry();
        focus = period_;
    }
    if (wanted->isVisible()) return;
    presentSheet(wanted, [focus] {
        if (focus) focus->setFocus(Qt::OtherFocusReason);
    });
}

}  // namespace quandor::ui
