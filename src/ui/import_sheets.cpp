#include "ui/import_sheets.h"

#include "bookkeeping/add_controller.h"
#include "core/app_delegate.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "import/invoice_import.h"
#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace quandor::ui {

namespace {

QLabel* wrapped(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

// A choice list of titles with "—" (none) first; selects `current` when it is there.
QComboBox* titleChoice(const QStringList& titles, const QString& current, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->addItem(QStringLiteral("—"), QString());
    for (const QString& t : titles) box->addItem(t, t);
    const int at = current.isEmpty() ? 0 : box->findData(current);
    box->setCurrentIndex(at < 0 ? 0 : at);
    box->setMinimumContentsLength(24);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return box;
}

// Local paths of the files a drag carries; empty when it carries anything else.
QStringList droppedFiles(const QMimeData* mime) {
    QStringList paths;
    if (!mime || !mime->hasUrls()) return paths;
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile()) return {};
        paths << url.toLocalFile();
    }
    return paths;
}

}  // namespace

// ---- CSV sheet ---------------------------------------------------------------------------

CsvImportSheet::CsvImportSheet(ItemImportController& controller, const QString& statement,
                               QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("csvImportSheet"));
    setWindowTitle(QStringLiteral("Posten aus CSV-Datei importieren"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 12);
    layout->addWidget(
        wrapped(QStringLiteral("<b>Posten importieren in „%1“</b><br>Jede Zeile der Datei wird ein "
                               "Posten dieser Abrechnung. Bevor etwas hinzugefügt wird, siehst du, "
                               "wie viele Posten es werden und welche Zeilen übersprungen werden.")
                    .arg(statement.toHtmlEscaped()),
                this));
    layout->addSpacing(6);
    layout->addWidget(new QLabel(QStringLiteral("Bitte prüfe deine Datei:"), this));
    const QString rules[] = {
        QStringLiteral("Keine Kopfzeile – schon die erste Zeile ist ein Posten"),
        QStringLiteral("Neun Felder je Zeile, in der Reihenfolge des Beispiels"),
        QStringLiteral("Das Datum als TT.MM.JJ, zum Beispiel 05.03.24"),
        QStringLiteral("Ausgaben mit negativer Summe, zum Beispiel -119,00"),
    };
    for (int i = 0; i < 4; ++i) {
        auto* box = new QCheckBox(rules[i], this);
        box->setObjectName(QStringLiteral("csv%1Check").arg(i + 1));
        box->setChecked(controller.csvCheck(i + 1));
        connect(box, &QCheckBox::toggled, this,
                [&controller, i](bool on) { controller.setCsvCheck(i + 1, on); });
        layout->addWidget(box);
    }
    layout->addSpacing(8);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* example =
        buttons->addButton(QStringLiteral("Beispiel …"), QDialogButtonBox::HelpRole);
    QPushButton* help = buttons->addButton(QStringLiteral("Hilfe"), QDialogButtonBox::HelpRole);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    QPushButton* choose =
        buttons->addButton(QStringLiteral("Datei auswählen …"), QDialogButtonBox::AcceptRole);
    choose->setObjectName(QStringLiteral("chooseCsvFile"));
    choose->setDefault(true);
    layout->addWidget(buttons);
    connect(example, &QPushButton::clicked, this, [&controller] { controller.openExample(); });
    connect(help, &QPushButton::clicked, this, [&controller] { controller.openManual(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(choose, &QPushButton::clicked, this, [&controller] { controller.loadCSV(); });
    connect(this, &QDialog::rejected, this, [&controller] { controller.cancelCSVImport(); });
    setMinimumWidth(480);
}

// ---- example window ----------------------------------------------------------------------

CsvExampleWindow::CsvExampleWindow(ItemImportController& controller, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("csvExampleWindow"));
    setWindowTitle(QStringLiteral("Beispiel für den CSV-Import"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->addWidget(wrapped(
        QStringLiteral("So sieht eine Datei aus, die Quandor importiert: neun Felder je Zeile, "
                       "getrennt durch Semikolon, Komma oder Tabulator, ohne Kopfzeile. Die "
                       "Überschriften unten stehen nicht in der Datei."),
        this));
    const QStringList& header = csvExampleHeader();
    const auto& rows = csvExampleRows();
    auto* table = new QTableWidget(int(rows.size()), int(header.size()), this);
    table->setHorizontalHeaderLabels(header);
    table->verticalHeader()->setVisible(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < int(header.size()); ++c) {
            auto* cell = new QTableWidgetItem(rows[size_t(r)][c]);
            if (c >= 7) cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(r, c, cell);
        }
    table->resizeColumnsToContents();
    table->setMinimumHeight(table->horizontalHeader()->height() + 3 * table->rowHeight(0) + 6);
    layout->addWidget(table);
    auto* line = new QLabel(this);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    line->setText(QStringLiteral("<tt>%1</tt>").arg(rows.front().join(u';').toHtmlEscaped()));
    layout->addWidget(wrapped(QStringLiteral("Die erste Zeile als Text:"), this));
    layout->addWidget(line);
    layout->addWidget(wrapped(
        QStringLiteral("Summen sind brutto, Ausgaben mit Minus. Der Steuersatz wird mit deinen "
                       "drei Steuersätzen aus den Einstellungen verglichen; 0 oder leer heißt ohne "
                       "Umsatzsteuer. Kategorie und Konto werden als Text übernommen."),
        this));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* save =
        buttons->addButton(QStringLiteral("Als Datei sichern …"), QDialogButtonBox::ActionRole);
    QPushButton* close =
        buttons->addButton(QStringLiteral("Schließen"), QDialogButtonBox::RejectRole);
    close->setDefault(true);
    layout->addWidget(buttons);
    connect(save, &QPushButton::clicked, this, [&controller] { controller.saveExample(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::finished, this, [&controller] { controller.closeExample(); });
    resize(860, sizeHint().height());
}

// ---- Fennick sheet -------------------------------------------------------------------------

FennickImportSheet::FennickImportSheet(ItemImportController& controller, QWidget* parent)
    : QDialog(parent), controller_(controller) {
    setObjectName(QStringLiteral("fennickImportSheet"));
    setWindowTitle(QStringLiteral("Aus Fennick importieren"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    const FennickInvoice& invoice = controller.fennickDictionary();
    layout->addWidget(wrapped(
        QStringLiteral("<b>Rechnung %1</b> – %2")
            .arg(invoice.number.toHtmlEscaped(), firstLine(invoice.address).toHtmlEscaped()),
        this));
    summary_ = new QLabel(this);
    layout->addWidget(summary_);
    table_ = new QTableWidget(0, 4, this);
    table_->setObjectName(QStringLiteral("importArray"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Bezeichnung"), QStringLiteral("Datum"),
                                       QStringLiteral("Steuersatz"), QStringLiteral("Betrag")});
    table_->verticalHeader()->setVisible(false);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table_->setMinimumHeight(160);
    layout->addWidget(table_, 1);

    auto* form = new QFormLayout;
    date_ = new QComboBox(this);
    date_->setObjectName(QStringLiteral("fennickDate"));
    date_->addItems({QStringLiteral("Kein Datum (Tag des Imports)"),
                     QStringLiteral("Fälligkeitsdatum"), QStringLiteral("Zahlungseingang"),
                     QStringLiteral("Versanddatum")});
    form->addRow(QStringLiteral("Datum:"), date_);
    auto* account = titleChoice(controller.accountTitles(), QString(), this);
    account->setObjectName(QStringLiteral("fennickAccount"));
    form->addRow(QStringLiteral("Konto:"), account);
    auto* category = titleChoice(controller.categoryTitles(), QString(), this);
    category->setObjectName(QStringLiteral("fennickCategory"));
    form->addRow(QStringLiteral("Kategorie:"), category);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    import_ = buttons->addButton(QStringLiteral("Importieren …"), QDialogButtonBox::AcceptRole);
    import_->setDefault(true);
    layout->addWidget(buttons);

    connect(date_, &QComboBox::activated, this,
            [this](int index) { controller_.applyFennickDateAll(index); });
    connect(account, &QComboBox::activated, this, [this, account](int index) {
        controller_.applyFennickAccountAll(account->itemData(index).toString());
    });
    connect(category, &QComboBox::activated, this, [this, category](int index) {
        controller_.applyFennickCategoryAll(category->itemData(index).toString());
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(import_, &QPushButton::clicked, this, [this] { controller_.doTheFennickImport(); });
    connect(this, &QDialog::rejected, this, [this] { controller_.cancelFennickSheet(); });
    refresh();
    resize(640, 460);
}

void FennickImportSheet::refresh() {
    summary_->setText(controller_.sheetSummary());
    const RecordList& items = controller_.importArray();
    table_->setRowCount(int(items.size()));
    for (int r = 0; r < int(items.size()); ++r) {
        const Record& item = *items[size_t(r)];
        const bool taxed = item.flag(keys::taxBool);
        const QString cells[] = {
            item.text(keys::title), shortDateText(item.date(keys::date)),
            taxed ? rateText(item.real(keys::taxPerecent)) : QStringLiteral("ohne"),
            amountText(item.real(keys::amount))};
        for (int c = 0; c < 4; ++c) {
            auto* cell = new QTableWidgetItem(cells[c]);
            if (c >= 2) cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(r, c, cell);
        }
    }
    table_->resizeColumnToContents(1);
    date_->setCurrentIndex(std::clamp(controller_.fennickDateTag(), 0, 3));
    import_->setEnabled(controller_.importButtonEnabled());
}

// ---- GrandTotal sheet ----------------------------------------------------------------------

GrandTotalImportSheet::GrandTotalImportSheet(ItemImportController& controller, Settings& settings,
                                             QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("grandTotalImportSheet"));
    setWindowTitle(QStringLiteral("Aus GrandTotal importieren"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->addWidget(
        wrapped(QStringLiteral("<b>%1</b><br>Jede Rechnung wird ein Posten; ihre PDF-Datei wird "
                               "als Beleg angehängt. Die Angaben unten gelten für alle Rechnungen.")
                    .arg(controller.sheetSummary().toHtmlEscaped()),
                this));
    auto* form = new QFormLayout;
    auto* kinds = new QButtonGroup(this);
    auto* kindRow = new QHBoxLayout;
    auto* income = new QRadioButton(QStringLiteral("Einnahmen"), this);
    auto* expense = new QRadioButton(QStringLiteral("Ausgaben"), this);
    kinds->addButton(expense, kKindExpense);
    kinds->addButton(income, kKindIncome);
    kindRow->addWidget(income);
    kindRow->addWidget(expense);
    kindRow->addStretch(1);
    if (QAbstractButton* chosen = kinds->button(int(settings.getInt(prefs::selectedImportKindTag))))
        chosen->setChecked(true);
    form->addRow(QStringLiteral("Art:"), kindRow);

    auto* taxRow = new QHBoxLayout;
    auto* tax = new QCheckBox(QStringLiteral("mit Umsatzsteuer"), this);
    tax->setChecked(settings.getBool(prefs::importTaxBool));
    auto* rate = new QComboBox(this);
    const TaxRates rates = AddController::taxRates(settings);
    const QString titles[] = {settings.getText(prefs::prefs1RateTitle),
                              settings.getText(prefs::prefs2RateTitle),
                              QStringLiteral("Steuersatz 3")};
    for (int tag = 1; tag <= 3; ++tag) {
        const QString title =
            titles[tag - 1].isEmpty() ? QStringLiteral("Steuersatz %1").arg(tag) : titles[tag - 1];
        rate->addItem(QStringLiteral("%1 (%2)").arg(title, rateText(rates.forTag(tag))), tag);
    }
    const int chosenRate = int(settings.getInt(prefs::selectedTagImportTax));
    rate->setCurrentIndex(chosenRate >= 1 && chosenRate <= 3 ? chosenRate - 1 : 0);
    rate->setEnabled(tax->isChecked());
    taxRow->addWidget(tax);
    taxRow->addWidget(rate, 1);
    form->addRow(QStringLiteral("Steuer:"), taxRow);

    auto* date = new QComboBox(this);
    date->addItems({QStringLiteral("Fälligkeitsdatum"), QStringLiteral("Versanddatum"),
                    QStringLiteral("Zahlungsdatum")});
    date->setCurrentIndex(std::clamp(int(settings.getInt(prefs::selectedImportDateTag)), 0, 2));
    form->addRow(QStringLiteral("Datum:"), date);
    auto* account = titleChoice(controller.accountTitles(), controller.importAccount(), this);
    form->addRow(QStringLiteral("Konto:"), account);
    auto* category = titleChoice(controller.categoryTitles(), controller.importCategory(), this);
    form->addRow(QStringLiteral("Kategorie:"), category);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    QPushButton* import =
        buttons->addButton(QStringLiteral("Importieren …"), QDialogButtonBox::AcceptRole);
    import->setDefault(true);
    layout->addWidget(buttons);

    // The choices as they stand now count, also those never touched.
    auto apply = [&controller, kinds, tax, rate, date, account, category] {
        controller.setImportKind(kinds->checkedId() < 0 ? 0 : kinds->checkedId());
        controller.setImportTax(tax->isChecked());
        controller.setImportRateTag(tax->isChecked() ? rate->currentData().toInt() : 0);
        controller.setImportDateTag(date->currentIndex());
        controller.setImportAccount(account->currentData().toString());
        controller.setImportCategory(category->currentData().toString());
    };
    connect(tax, &QCheckBox::toggled, rate, &QWidget::setEnabled);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(import, &QPushButton::clicked, this, [&controller, apply] {
        apply();
        controller.doTheImport();
    });
    connect(this, &QDialog::rejected, this, [&controller] { controller.cancelSheet(); });
    setMinimumWidth(500);
}

// ---- wiring ------------------------------------------------------------------------------

ImportSheets::ImportSheets(QuandorAppDelegate& app, MainWindow& window)
    : QObject(&window),
      app_(app),
      window_(window),
      controller_(std::make_unique<ItemImportController>(app.books())) {
    controller_->sheetChanged = [this] { sync(); };
    controller_->progress = [this](int64_t done, int64_t total) {
        if (total < (int64_t{4} << 20)) return;  // small files are read at once
        if (!progress_) {
            progress_ = new QProgressDialog(QStringLiteral("Die Datei wird gelesen …"), QString(),
                                            0, 1000, &window_);
            progress_->setWindowTitle(QStringLiteral("Posten importieren"));
            progress_->setWindowModality(Qt::WindowModal);
            progress_->setMinimumDuration(400);
            progress_->setAutoClose(true);
        }
        progress_->setValue(
            int(std::min<int64_t>(1000, done * 1000 / std::max<int64_t>(total, 1))));
    };
    addMenu();
    window_.itemView()->viewport()->installEventFilter(this);
}

ImportSheets::~ImportSheets() = default;

void ImportSheets::addMenu() {
    QMenu* file = nullptr;
    for (QAction* a : window_.menuBar()->actions())
        if (a->menu() && a->text().remove(QLatin1Char('&')) == QStringLiteral("Ablage"))
            file = a->menu();
    if (!file) return;
    auto* menu = new QMenu(QStringLiteral("Posten importieren"), file);
    menu->setObjectName(QStringLiteral("importItemsMenu"));
    QAction* csv = menu->addAction(QStringLiteral("Aus CSV-Datei …"), this,
                                   [this] { controller_->openCSVImport(); });
    csv->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    menu->addAction(QStringLiteral("Aus Fennick-Rechnung …"), this,
                    [this] { controller_->openFennickImportSheetAction(); });
    menu->addAction(QStringLiteral("Aus GrandTotal-Rechnungsliste …"), this,
                    [this] { controller_->importFile(); });
    // After "Sichern", before the rest of the file menu.
    const QList<QAction*> actions = file->actions();
    QAction* before = actions.size() > 1 ? actions[1] : nullptr;
    file->insertMenu(before, menu);
}

void ImportSheets::sync() {
    using Sheet = ItemImportController::Sheet;
    const Sheet wanted = controller_->sheet();
    if (wanted != shown_ && sheet_) {
        // The sheet's own close signals must not cancel the import that replaced it.
        QDialog* old = sheet_;
        sheet_ = nullptr;
        old->blockSignals(true);
        old->hide();
        old->deleteLater();
    }
    if (wanted != shown_) {
        shown_ = wanted;
        QDialog* dialog = nullptr;
        const RecordPtr statement = app_.selection().selectedStatement();
        switch (wanted) {
            case Sheet::Csv:
                dialog = new CsvImportSheet(
                    *controller_, statement ? statement->text(keys::title) : QString(), &window_);
                break;
            case Sheet::Fennick:
                dialog = new FennickImportSheet(*controller_, &window_);
                break;
            case Sheet::GrandTotal:
                dialog = new GrandTotalImportSheet(*controller_, app_.settings(), &window_);
                break;
            case Sheet::None:
                break;
        }
        if (dialog) {
            dialog->setWindowModality(Qt::WindowModal);
            sheet_ = dialog;
            dialog->open();
        }
        window_.updateWindow();
    } else if (auto* fennick = qobject_cast<FennickImportSheet*>(sheet_.data())) {
        fennick->refresh();
    }

    if (controller_->exampleOpen() && !example_) {
        example_ = new CsvExampleWindow(*controller_,
                                        sheet_ ? static_cast<QWidget*>(sheet_.data()) : &window_);
        example_->setAttribute(Qt::WA_DeleteOnClose);
        example_->open();
    } else if (!controller_->exampleOpen() && example_) {
        example_->close();
    }
}

bool ImportSheets::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (droppedFiles(drag->mimeData()).isEmpty())
                return false;  // rows: the list's own drag
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList files = droppedFiles(drop->mimeData());
            if (files.isEmpty()) return false;
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            // After the drop has ended: the import may ask and open sheets.
            QTimer::singleShot(0, this, [this, files] { controller_->importDroppedFiles(files); });
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}

ImportSheets* installImportSheets(QuandorAppDelegate& app, MainWindow& window) {
    return new ImportSheets(app, window);
}

}  // namespace quandor::ui
