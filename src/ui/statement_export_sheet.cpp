#include "ui/statement_export_sheet.h"

#include "bookkeeping/datev_export.h"

#include "core/settings.h"
#include "core/settings_keys.h"
#include "ui/main_window.h"
#include "ui/pdf_preview.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPdfDocument>
#include <QPdfView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quandor::ui {

namespace {

QProgressBar* busyBar(QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setRange(0, 0);  // busy until the overview is rendered
    bar->setTextVisible(false);
    bar->setMaximumHeight(10);
    return bar;
}

}  // namespace

// ---- print sheet ------------------------------------------------------------------

PrintSheet::PrintSheet(StatementPrintController& controller, QWidget* parent)
    : QDialog(parent), controller_(controller) {
    setWindowTitle(QStringLiteral("Übersicht drucken"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(
        QStringLiteral("<b>Übersicht Abrechnungszeitraum</b><br>Die Übersicht der ausgewählten "
                       "Abrechnung mit allen Umsatzsteuersätzen wird erstellt. Du kannst sie dir "
                       "vorher ansehen oder gleich drucken."),
        this);
    text->setWordWrap(true);
    layout->addWidget(text);
    progress_ = busyBar(this);
    layout->addWidget(progress_);
    auto* buttons = new QDialogButtonBox(this);
    preview_ = buttons->addButton(QStringLiteral("Vorschau"), QDialogButtonBox::ActionRole);
    print_ = buttons->addButton(QStringLiteral("Drucken …"), QDialogButtonBox::AcceptRole);
    QPushButton* close =
        buttons->addButton(QStringLiteral("Schließen"), QDialogButtonBox::RejectRole);
    preview_->setEnabled(false);
    print_->setEnabled(false);
    print_->setDefault(true);
    layout->addWidget(buttons);
    connect(preview_, &QPushButton::clicked, this, [this] { controller_.previewJournal(); });
    connect(print_, &QPushButton::clicked, this, [this] { controller_.printJournal(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::finished, this, [this] { controller_.closeTabJournalPrint(); });
    resize(420, sizeHint().height());
}

void PrintSheet::setRendered(bool rendered) {
    progress_->setRange(0, 1);
    progress_->setValue(1);
    progress_->setVisible(false);
    preview_->setEnabled(rendered);
    print_->setEnabled(rendered);
}

// ---- export sheet ---------------------------------------------------------------------

const std::vector<std::pair<ExportFormat, QString>>& ExportSheet::formats() {
    static const std::vector<std::pair<ExportFormat, QString>> all = {
        {ExportFormat::Pdf, QStringLiteral("PDF")},
        {ExportFormat::Rtf, QStringLiteral("RTF (Textverarbeitung)")},
        {ExportFormat::Csv, QStringLiteral("CSV (Komma getrennt)")},
        {ExportFormat::CsvSemicolon, QStringLiteral("CSV (Semikolon getrennt, nummeriert)")},
        {ExportFormat::Xml, QStringLiteral("XML")},
        {ExportFormat::StatementFile, QStringLiteral("Quandor Abrechnung")},
        {ExportFormat::Tarnwick, QStringLiteral("Tarnwick")},
        {ExportFormat::Datev, QStringLiteral("DATEV")},
    };
    return all;
}

ExportSheet::ExportSheet(StatementPrintController& controller, Settings& settings, QWidget* parent)
    : QDialog(parent), controller_(controller), settings_(settings) {
    setWindowTitle(QStringLiteral("Übersicht exportieren"));
    auto* outer = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("<b>Format</b>"), this));
    choice_ = new QButtonGroup(this);
    // Any other stored number exports CSV.
    const ExportFormat chosen =
        StatementPrintController::exportFormatOf(settings_.getInt(prefs::prefsSelectedExportTab));
    for (const auto& [format, name] : formats()) {
        auto* radio = new QRadioButton(name, this);
        choice_->addButton(radio, int(format));  // the stored number
        left->addWidget(radio);
        if (format == chosen) radio->setChecked(true);
    }
    left->addStretch(1);
    connect(choice_, &QButtonGroup::idClicked, this,
            [this](int tab) { settings_.setInt(prefs::prefsSelectedExportTab, tab); });
    row->addLayout(left);

    auto* right = new QVBoxLayout;
    QPdfView* view = makePdfView(this, &document_);
    view->setMinimumSize(300, 400);
    right->addWidget(view, 1);
    progress_ = busyBar(this);
    right->addWidget(progress_);
    row->addLayout(right, 1);
    outer->addLayout(row, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    export_ = buttons->addButton(QStringLiteral("Exportieren …"), QDialogButtonBox::AcceptRole);
    export_->setEnabled(false);  // until the overview is there
    export_->setDefault(true);
    outer->addWidget(buttons);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(export_, &QPushButton::clicked, this, &QDialog::accept);
    resize(640, 520);
}

void ExportSheet::setRendered(bool rendered) {
    if (!rendered) {
        progress_->setVisible(false);
        return;
    }
}

void ExportSheet::showPdf(const QString& path) {
    document_->close();
    document_->load(path);
    progress_->setVisible(false);
    export_->setEnabled(controller_.exportButtonEnabled());
}

// ---- wiring -------------------------------------------------------------------------------

StatementPrinting::StatementPrinting(QuandorAppDelegate& app, MainWindow& window,
                                     StatementPrintController& controller)
    : QObject(&window), app_(app), window_(window), controller_(controller) {
    StatementPrintController::PrintHooks& hooks = controller_.printHooks();
    hooks.showPreview = [this](const QString& pdf, const QString& title) {
        showPdfPreview(pdf, title, &window_);
    };
    hooks.print = [this](const std::function<bool(QPagedPaintDevice&)>& paint) {
        QWidget* parent = printSheet_ ? static_cast<QWidget*>(printSheet_.data()) : &window_;
        return printWithDialog(parent, paint);
    };
    hooks.overviewRendered = [this](bool rendered) {
        if (printSheet_) printSheet_->setRendered(rendered);
        if (exportSheet_) exportSheet_->setRendered(rendered);
    };
    hooks.showExportPdf = [this](const QString& pdf) {
        if (exportSheet_) exportSheet_->showPdf(pdf);
    };
    for (ToolbarAction action : {ToolbarAction::Print, ToolbarAction::Export}) {
        QAbstractButton* b = window_.button(action);
        if (!b) continue;
        b->setEnabled(true);
        connect(b, &QAbstractButton::clicked, this,
                action == ToolbarAction::Print ? &StatementPrinting::openPrintSheet
                                               : &StatementPrinting::openExportSheet);
    }
}

StatementPrinting::~StatementPrinting() = default;

void StatementPrinting::openPrintSheet() {
    if (printSheet_ || exportSheet_) return;
    controller_.openTabJournalPrint();
    if (controller_.printSheet() != StatementPrintController::PrintSheet::Print) return;
    auto* sheet = new PrintSheet(controller_, &window_);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(Qt::WindowModal);
    printSheet_ = sheet;
    sheet->open();
}

void StatementPrinting::openExportSheet() {
    if (printSheet_ || exportSheet_) return;
    controller_.openTabJournalExport();
    if (controller_.printSheet() != StatementPrintController::PrintSheet::Export) return;
    auto* sheet = new ExportSheet(controller_, app_.settings(), &window_);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(Qt::WindowModal);
    exportSheet_ = sheet;
    connect(sheet, &QDialog::accepted, this, [this] {
        // After the sheet has gone: the save dialog belongs to the main window.
        app_.ui().schedule(0, [this] {
            // The DATEV choice writes the statement's booking batch (the
            // controller's own DATEV entry still only shows its notice).
            if (StatementPrintController::exportFormatOf(
                    app_.settings().getInt(prefs::prefsSelectedExportTab)) == ExportFormat::Datev) {
                controller_.cancelTabJournalExport();
                const RecordPtr year = app_.selection().selectedYear();
                const RecordPtr statement = app_.selection().selectedStatement();
                if (year && statement)
                    DatevExportController(app_.books()).exportBookings(*year, statement.get());
                return;
            }
            controller_.closeTabJournalExport();
        });
    });
    connect(sheet, &QDialog::rejected, this, [this] { controller_.cancelTabJournalExport(); });
    sheet->open();
}

}  // namespace quandor::ui
