#include "ui/general_page.h"

#include "core/number_texts.h"
#include "core/settings_keys.h"
#include "ui/preference_pages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace quandor::ui {

namespace {

QLocale germanLocale() {
    QLocale locale;
    return locale.language() == QLocale::C ? QLocale(QLocale::German, QLocale::Germany) : locale;
}

}  // namespace

GeneralPage::GeneralPage(Settings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings) {
    setObjectName(QStringLiteral("GeneralItemIdentifier"));

    auto text = [this](QStringView key, const QString& placeholder) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(key.toString());
        edit->setPlaceholderText(placeholder);
        const QString k = key.toString();
        connect(edit, &QLineEdit::textEdited, this,
                [this, k](const QString& value) { settings_.setText(k, value.trimmed()); });
        loaders_.push_back([this, edit, k] {
            if (!edit->hasFocus()) edit->setText(settings_.getText(k));
        });
        return edit;
    };
    auto check = [this](QStringView key, const QString& label) {
        auto* box = new QCheckBox(label, this);
        box->setObjectName(key.toString());
        const QString k = key.toString();
        connect(box, &QCheckBox::toggled, this, [this, k](bool on) { settings_.setBool(k, on); });
        loaders_.push_back([this, box, k] {
            const QSignalBlocker block(box);
            box->setChecked(settings_.getBool(k));
        });
        return box;
    };
    auto rate = [this](QStringView key) {
        auto* spin = new QDoubleSpinBox(this);
        spin->setObjectName(key.toString());
        spin->setLocale(germanLocale());
        spin->setRange(0.0, 100.0);
        spin->setDecimals(2);
        spin->setSingleStep(0.5);
        spin->setSuffix(QStringLiteral(" %"));
        spin->setKeyboardTracking(false);
        spin->setMaximumWidth(110);
        const QString k = key.toString();
        connect(spin, &QDoubleSpinBox::valueChanged, this,
                [this, k](double value) { settings_.setFloat(k, float(value)); });
        loaders_.push_back([this, spin, k] {
            const QSignalBlocker block(spin);
            spin->setValue(double(settings_.getFloat(k)));
        });
        return spin;
    };
    auto combo = [this](QStringView key, const std::vector<std::pair<int, QString>>& choices) {
        auto* box = new QComboBox(this);
        box->setObjectName(key.toString());
        for (const auto& [value, label] : choices) box->addItem(label, value);
        const QString k = key.toString();
        connect(box, &QComboBox::activated, this,
                [this, box, k](int index) { settings_.setInt(k, box->itemData(index).toInt()); });
        loaders_.push_back([this, box, k] {
            const QSignalBlocker block(box);
            const int index = box->findData(int(settings_.getInt(k)));
            box->setCurrentIndex(index >= 0 ? index : 0);
        });
        return box;
    };

    // ---- Firma -----------------------------------------------------------------
    auto* company = new QGroupBox(QStringLiteral("Firma"), this);
    auto* companyForm = new QFormLayout(company);
    QLineEdit* companyName = text(prefs::prefsCompany, QStringLiteral("z. B. Muster Design"));
    QLineEdit* taxNumber = text(prefs::prefsTaxID, QStringLiteral("z. B. 21/815/08150"));
    QLineEdit* elster = text(prefs::prefsELSTERID, QString());
    companyForm->addRow(QStringLiteral("Firmenname:"), companyName);
    companyForm->addRow(QStringLiteral("Steuernummer:"), taxNumber);
    companyForm->addRow(QStringLiteral("ELSTER-ID:"), elster);
    auto* userNote = new QLabel(
        QStringLiteral("Du arbeitest mit mehreren Benutzern: Firma, Steuernummer, ELSTER-ID und "
                       "Besteuerung gehören zum geöffneten Benutzer. Du änderst sie auf der Seite "
                       "<a href=\"users\">Benutzer</a>."),
        company);
    userNote->setObjectName(QStringLiteral("userOwnedNote"));
    userNote->setWordWrap(true);
    userNote->setTextFormat(Qt::RichText);
    userNote->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(userNote, &QLabel::linkActivated, this, &GeneralPage::showUsersPage);
    companyForm->addRow(userNote);
    userNote_ = userNote;

    // ---- Steuern ---------------------------------------------------------------
    auto* taxes = new QGroupBox(QStringLiteral("Steuern und Währung"), this);
    auto* taxForm = new QFormLayout(taxes);
    std::vector<std::pair<int, QString>> currencies;
    int i = 0;
    for (const CurrencyChoice& c : currencyChoices())
        currencies.emplace_back(i++, QString::fromUtf16(c.name));
    taxForm->addRow(QStringLiteral("Währung:"), combo(prefs::prefsCurrency, currencies));
    std::vector<std::pair<int, QString>> kinds;
    for (const TaxationChoice& c : taxationChoices())
        kinds.emplace_back(c.value, QString::fromUtf16(c.name));
    QComboBox* taxation = combo(prefs::prefsUseTaxesGlobal, kinds);
    taxForm->addRow(QStringLiteral("Besteuerung:"), taxation);
    userFields_ = {companyName, taxNumber, elster, taxation};
    auto rateRow = [&](QStringView rateKey, QStringView titleKey, const QString& placeholder) {
        auto* row = new QHBoxLayout;
        row->addWidget(rate(rateKey));
        if (!titleKey.isEmpty())
            row->addWidget(text(titleKey, placeholder), 1);
        else
            row->addStretch(1);
        return row;
    };
    taxForm->addRow(
        QStringLiteral("1. Steuersatz:"),
        rateRow(prefs::prefs1Rate, prefs::prefs1RateTitle, QStringLiteral("Regelsteuersatz")));
    taxForm->addRow(QStringLiteral("2. Steuersatz:"),
                    rateRow(prefs::prefs2Rate, prefs::prefs2RateTitle,
                            QStringLiteral("Ermäßigter Steuersatz")));
    taxForm->addRow(QStringLiteral("3. Steuersatz:"), rateRow(prefs::prefs3Rate, {}, {}));

    // ---- Posten erfassen --------------------------------------------------------
    auto* entry = new QGroupBox(QStringLiteral("Neue Posten"), this);
    auto* entryLayout = new QVBoxLayout(entry);
    entryLayout->addWidget(check(prefs::prefsAlwaysRememberLastSettings,
                                 QStringLiteral("Kategorie, Konto, Steuer und Art vom letzten "
                                                "Posten übernehmen")));
    entryLayout->addWidget(
        check(prefs::prefsRememberDate, QStringLiteral("Zuletzt eingegebenes Datum übernehmen")));
    entryLayout->addWidget(check(prefs::setUmsatzsteuerAutomatically,
                                 QStringLiteral("Umsatzsteuer automatisch einschalten")));
    entryLayout->addWidget(
        check(prefs::setTaxAutomatically, QStringLiteral("Automatisch den 1. Steuersatz wählen")));

    // ---- Drucken ---------------------------------------------------------------
    auto* print = new QGroupBox(QStringLiteral("Drucken und Exportieren"), this);
    auto* printLayout = new QVBoxLayout(print);
    printLayout->addWidget(
        check(prefs::prefsPrintBorder, QStringLiteral("Tabellen mit Rahmen drucken")));
    printLayout->addWidget(
        check(prefs::prefsPrintCurrency, QStringLiteral("Währung hinter Beträgen drucken")));
    printLayout->addWidget(check(prefs::prefsPrintUnshortened,
                                 QStringLiteral("Lange Texte vollständig drucken (nicht kürzen)")));
    printLayout->addWidget(check(prefs::prefsExportPrintWithList,
                                 QStringLiteral("Abrechnungen mit Postenliste drucken und "
                                                "exportieren")));
    printLayout->addWidget(
        check(prefs::loadInPreviewApp, QStringLiteral("PDF-Dateien im PDF-Betrachter öffnen")));
    auto* sortRow = new QHBoxLayout;
    sortRow->addWidget(new QLabel(QStringLiteral("Posten im Ausdruck:"), print));
    // 0 = by date, newest first; any other value = by receipt number.
    auto* sort = new QComboBox(print);
    sort->setObjectName(prefs::prefsTabSortOrder.toString());
    sort->addItem(QStringLiteral("nach Datum (neueste zuerst)"));
    sort->addItem(QStringLiteral("nach Belegnummer"));
    connect(sort, &QComboBox::activated, this,
            [this](int index) { settings_.setInt(prefs::prefsTabSortOrder, index); });
    loaders_.push_back([this, sort] {
        const QSignalBlocker block(sort);
        sort->setCurrentIndex(settings_.getInt(prefs::prefsTabSortOrder) == 0 ? 0 : 1);
    });
    sortRow->addWidget(sort, 1);
    printLayout->addLayout(sortRow);

    // ---- Hilfe -----------------------------------------------------------------
    auto* help = new QGroupBox(QStringLiteral("Hilfe anzeigen"), this);
    auto* helpLayout = new QGridLayout(help);
    const std::pair<QStringView, QString> drawers[] = {
        {prefs::prefsAlwaysShowItemHelpDawer, QStringLiteral("beim Posten")},
        {prefs::prefsAlwaysShowTabHelpDawer, QStringLiteral("bei der Abrechnung")},
        {prefs::prefsAlwaysShowYearHelpDawer, QStringLiteral("beim Jahr")},
        {prefs::prefsAlwaysShowVoranmeldungHelpDawer, QStringLiteral("bei der Voranmeldung")},
        {prefs::prefsAlwaysShowJournalHelpDawer, QStringLiteral("bei den Berichten")},
        {prefs::prefsAlwaysShowPrefsHelpDawer, QStringLiteral("bei den Einstellungen")},
    };
    int n = 0;
    for (const auto& [key, label] : drawers) {
        helpLayout->addWidget(check(key, label), n / 2, n % 2);
        ++n;
    }
    helpLayout->addWidget(
        check(prefs::prefsAlwaysShowDateDawer, QStringLiteral("Kalender beim Posten öffnen")),
        n / 2, n % 2);
    ++n;
    helpLayout->addWidget(check(prefs::prefsAlwaysShowWelcomeSheet,
                                QStringLiteral("Willkommenshinweis nicht mehr anzeigen")),
                          (n + 1) / 2, 0, 1, 2);
    // The reports' "Geduld!" notice tells the person it can be switched off here.
    helpLayout->addWidget(check(prefs::geduld, QStringLiteral("„Geduld!“ vor Berichten nicht mehr "
                                                              "anzeigen")),
                          (n + 1) / 2 + 1, 0, 1, 2);

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(company);
    left->addWidget(taxes);
    left->addWidget(entry);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(print);
    right->addWidget(help);
    right->addStretch();
    columns->addLayout(left, 1);
    columns->addSpacing(8);
    columns->addLayout(right, 1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 12, 16, 16);
    outer->addLayout(columns);

    reload();
}

void GeneralPage::reload() {
    for (const auto& load : loaders_) load();
    const bool owned = settings_.getBool(prefs::prefsUseMultipleAccounts);
    const QString why =
        owned ? QStringLiteral(
                    "Gehört zum geöffneten Benutzer; ändern kannst du es auf der Seite „Benutzer“.")
              : QString();
    for (QWidget* field : userFields_) {
        if (auto* edit = qobject_cast<QLineEdit*>(field)) {
            // Read-only (the text can still be copied), on the window's
            // background so it does not look like a field to type into.
            edit->setReadOnly(owned);
            QPalette look;  // nothing set: the page's colours
            if (owned) look.setColor(QPalette::Base, palette().color(QPalette::Window));
            edit->setPalette(look);
            edit->setFocusPolicy(owned ? Qt::ClickFocus : Qt::StrongFocus);
        } else {
            field->setEnabled(!owned);
        }
        field->setToolTip(why);
    }
    userNote_->setVisible(owned);
}

}  // namespace quandor::ui
