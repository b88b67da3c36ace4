#include "ui/journal_window.h"

#include "core/settings.h"
#include "core/settings_keys.h"

#include "ui/pdf_preview.h"
#include "ui/placement.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace quandor::ui {

namespace {

const char16_t* const kReportTitles[] = {u"Umsatz", u"Übersicht Abrechnungen", u"Übersicht Steuern",
                                         u"Gewinnermittlung"};
const char16_t* const kReportHints[] = {
    u"Summen der Ausgaben und Einnahmen jeder Abrechnung, mit und ohne Steuern, und der Saldo des "
    u"Jahres",
    u"Alle Abrechnungen mit ihren Posten, über das Jahr durchnummeriert",
    u"Voranmeldungen und Umsatzsteuer je Steuersatz jeder Abrechnung und des Jahres",
    u"Alle Posten des Jahres nach Konten, mit den Summen je Konto und dem Saldo"};

// The report export's formats and their numbers in "prefsSelectedExportJournal".
const std::pair<const char16_t*, int> kExportFormats[] = {
    {u"PDF", 0},
    {u"RTF (Textverarbeitung)", 1},
    {u"CSV (Komma getrennt)", 2},
    {u"CSV (Semikolon getrennt, nummeriert)", 9},
    {u"XML", 3},
    {u"Quandor Jahr", 4},
};

const QString kHelpText = QStringLiteral(
    "<h3>Berichte</h3><p>Wähle einen der vier Berichte des im Hauptfenster gewählten Jahres. "
    "<b>Vorschau</b> zeigt ihn als PDF, <b>Drucken</b> öffnet den Druckdialog, <b>Exportieren</b> "
    "speichert den Bericht im Format, das du daneben wählst: PDF oder RTF; CSV und XML enthalten "
    "alle Posten des Jahres, „Quandor Jahr“ das ganze Jahr als Quandor-Datei. <b>Für den "
    "Steuerberater</b> legt auf deinem Schreibtisch den Ordner „Quandor Jahresberichte“ an: alle "
    "Posten als CSV und XML, die vier Berichte als PDF und im Unterordner „Dateien“ die "
    "angehängten Dokumente.</p><p><b>Umsatz</b>: die Summen jeder Abrechnung und der Saldo. "
    "<b>Übersicht Abrechnungen</b>: jede Abrechnung mit allen Posten. <b>Übersicht Steuern</b>: "
    "Voranmeldungen und Umsatzsteuer je Steuersatz. <b>Gewinnermittlung</b>: alle Posten nach "
    "Konten; Posten ohne passendes Konto stehen zuletzt unter „Ohne Konto“.</p><p>Lange Texte "
    "werden gekürzt, außer du druckst ungekürzt (Einstellungen).</p>");

}  // namespace

JournalWindow::JournalWindow(QuandorAppDelegate& app, JournalController& controller,
                             QWidget* parent)
    : QDialog(parent), app_(app), c_(controller) {
    setWindowTitle(QStringLiteral("Berichte"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    for (int tag = 1; tag <= 4; ++tag) {
        auto* b = new QPushButton(QString::fromUtf16(kReportTitles[tag - 1]), this);
        b->setCheckable(true);
        b->setToolTip(QString::fromUtf16(kReportHints[tag - 1]));
        // Alt, not Ctrl: Ctrl+1 brings the main window back from every window.
        b->setShortcut(QKeySequence(QStringLiteral("Alt+%1").arg(tag)));
        b->setMinimumHeight(48);
        group->addButton(b, tag);
        row->addWidget(b, 1);
        reports_[static_cast<size_t>(tag - 1)] = b;
    }
    // The four buttons as wide as each other, however long their titles.
    int widest = 0;
    for (QPushButton* b : reports_) widest = std::max(widest, b->sizeHint().width());
    for (QPushButton* b : reports_) b->setMinimumWidth(widest);
    connect(group, &QButtonGroup::idClicked, this, [this](int tag) {
        c_.journalButtonTagAction(tag);
        setBusy(c_.isGenerating());
    });
    layout->addLayout(row);

    status_ = new QLabel(QStringLiteral("Wähle einen Bericht."), this);
    layout->addWidget(status_);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 0);  // busy
    progress_->setTextVisible(false);
    progress_->hide();
    layout->addWidget(progress_);

    help_ = new QTextBrowser(this);
    help_->setHtml(kHelpText);
    help_->setMinimumHeight(150);
    help_->hide();
    layout->addWidget(help_);

    auto* actions = new QHBoxLayout;
    helpButton_ = new QPushButton(QStringLiteral("Hilfe"), this);
    helpButton_->setCheckable(true);
    connect(helpButton_, &QPushButton::toggled, help_, &QWidget::setVisible);
    actions->addWidget(helpButton_);
    package_ = new QPushButton(QStringLiteral("Für den Steuerberater …"), this);
    package_->setToolTip(
        QStringLiteral("Legt den Ordner „Quandor Jahresberichte“ mit allen Berichten, Posten und "
                       "Dokumenten des Jahres auf deinem Schreibtisch an"));
    actions->addWidget(package_);
    connect(package_, &QPushButton::clicked, this, [this] { c_.steuerberaterAction(); });
    actions->addStretch();
    // What "Exportieren …" writes; the choice stays for the next time.
    format_ = new QComboBox(this);
    format_->setObjectName(QStringLiteral("journalExportFormat"));
    for (const auto& [text, value] : kExportFormats)
        format_->addItem(QString::fromUtf16(text), value);
    const int stored =
        format_->findData(int(app_.settings().getInt(prefs::prefsSelectedExportJournal)));
    format_->setCurrentIndex(stored >= 0 ? stored : format_->findData(2));
    connect(format_, &QComboBox::currentIndexChanged, this, [this](int index) {
        app_.settings().setInt(prefs::prefsSelectedExportJournal, format_->itemData(index).toInt());
    });
    auto* formatLabel = new QLabel(QStringLiteral("&Format:"), this);
    formatLabel->setBuddy(format_);
    actions->addWidget(formatLabel);
    actions->addWidget(format_);
    preview_ = new QPushButton(QStringLiteral("Vorschau"), this);
    print_ = new QPushButton(QStringLiteral("Drucken …"), this);
    export_ = new QPushButton(QStringLiteral("Exportieren …"), this);
    preview_->setDefault(true);
    print_->setShortcut(QKeySequence::Print);
    for (QPushButton* b : {preview_, print_, export_}) actions->addWidget(b);
    layout->addLayout(actions);
    connect(preview_, &QPushButton::clicked, this, [this] { c_.previewJournal(); });
    connect(print_, &QPushButton::clicked, this, [this] { c_.printJournal(); });
    connect(export_, &QPushButton::clicked, this, [this] { c_.exportJournal(); });
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), this, [this] { close(); });

    JournalController::Hooks& hooks = c_.hooks();
    hooks.generating = [this](bool busy) { setBusy(busy); };
    hooks.showPreview = [this](const QString& pdf, const QString& title) {
        showPdfPreview(pdf, title, this);
    };
    hooks.print = [this](const std::function<bool(QPagedPaintDevice&)>& paint) {
        return printWithDialog(this, paint);
    };
    hooks.showHelp = [this] { helpButton_->setChecked(true); };
    hooks.packaging = [this](bool busy, const QString& step) { setPackaging(busy, step); };
    refreshButtons();
}

void JournalWindow::openJournalWindow() {
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    if (!c_.openJournalWindow()) return;
    for (QPushButton* b : reports_) {
        b->setAutoExclusive(false);
        b->setChecked(false);
    }
    setBusy(false);
    refreshButtons();
    resize(sizeHint().expandedTo(QSize(640, 200)));
    centreOver(this, parentWidget());
    show();
    raise();
    activateWindow();
}

void JournalWindow::refreshButtons() {
    const bool enabled = c_.actionsEnabled();
    for (QPushButton* b : {preview_, print_, export_}) b->setEnabled(enabled);
    for (QPushButton* b : reports_) b->setEnabled(!c_.isGenerating());
    package_->setEnabled(!c_.isGenerating() && !c_.isPackaging());
}

void JournalWindow::setPackaging(bool busy, const QString& step) {
    // The package button makes way for the progress while the folder is built.
    package_->setVisible(!busy);
    progress_->setVisible(busy || c_.isGenerating());
    status_->setText(busy ? QStringLiteral("Ordner für den Steuerberater: %1").arg(step)
                          : QString());
    refreshButtons();
}

void JournalWindow::setBusy(bool busy) {
    progress_->setVisible(busy);
    const auto report = c_.selectedReport();
    if (busy)
        status_->setText(QStringLiteral("„%1“ wird erstellt …")
                             .arg(QString::fromUtf16(kReportTitles[static_cast<int>(report) - 1])));
    else
        status_->setText(
            report == JournalController::Report::None
                ? QStringLiteral("Wähle einen Bericht.")
                : QStringLiteral("„%1“: Vorschau, Drucken oder Exportieren.")
                      .arg(QString::fromUtf16(kReportTitles[static_cast<int>(report) - 1])));
    refreshButtons();
}

}  // namespace quandor::ui
