#include "ui/main_window.h"

#include "core/settings_keys.h"
#include "ui/icons.h"
#include "ui/list_models.h"
#include "ui/main_window_rules.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace quandor::ui {

namespace {

QLabel* sectionLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

}  // namespace

MainWindow::MainWindow(Database& db, Selection& selection, Settings& settings, QWidget* parent)
    : QMainWindow(parent), db_(db), selection_(selection), settings_(settings) {
    setWindowTitle(QStringLiteral("Quandor"));
    setObjectName(QStringLiteral("mainWindow"));
    yearModel_ = new YearListModel(db_, this);
    statementModel_ = new StatementListModel(selection_, this);
    itemModel_ = new ItemTableModel(selection_, this);
    buildButtons();
    buildLayout();
    listenerId_ = selection_.addListener([this](Selection::Change c) { onSelectionChanged(c); });
    reloadAll();
    resize(1100, 680);
}

MainWindow::~MainWindow() {
    selection_.removeListener(listenerId_);
}

QAbstractButton* MainWindow::button(ToolbarAction action) const {
    const auto it = buttons_.find(action);
    return it == buttons_.end() ? nullptr : it->second;
}

void MainWindow::buildButtons() {
    for (const ToolbarItemSpec& spec : toolbarItems()) {
        if (spec.action == ToolbarAction::Calculator) continue;
        auto* b = new QPushButton(this);
        b->setObjectName(QString::fromUtf16(spec.identifier)
                             .replace(QStringLiteral("ItemIdentifier"), QStringLiteral("Button")));
        b->setToolTip(QString::fromUtf16(spec.toolTip));
        b->setIcon(namedIcon(QString::fromUtf16(spec.iconName)));
        b->setAccessibleName(QString::fromUtf16(spec.label));
        // The operations behind these buttons come with their windows; until
        // then the buttons (and with them the toolbar items) are disabled.
        b->setEnabled(spec.action == ToolbarAction::Search);
        b->setVisible(false);
        buttons_[spec.action] = b;
    }
    connect(button(ToolbarAction::Search), &QAbstractButton::clicked, this,
            &MainWindow::focusSearch);
}

void MainWindow::buildLayout() {
    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(10, 8, 10, 8);

    auto* splitter = new QSplitter(Qt::Horizontal, central);
    splitter_ = splitter;
    splitter->setChildrenCollapsible(false);

    // Left column: years above statements, each with its add button.
    auto* left = new QWidget(splitter);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 6, 0);
    auto smallButton = [](QAbstractButton* b, const QString& text) {
        b->setText(text);
        b->setVisible(true);
    };

    auto* yearHeader = new QHBoxLayout;
    yearHeader->addWidget(sectionLabel(QStringLiteral("Jahre"), left));
    yearHeader->addStretch();
    smallButton(button(ToolbarAction::Year), QString());
    button(ToolbarAction::Year)->setAccessibleName(QStringLiteral("Neues Jahr"));
    yearHeader->addWidget(button(ToolbarAction::Year));
    leftLayout->addLayout(yearHeader);
    yearView_ = new QListView(left);
    yearView_->setObjectName(QStringLiteral("yearList"));
    yearView_->setModel(yearModel_);
    yearView_->setSelectionMode(QAbstractItemView::SingleSelection);
    yearView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    yearView_->setUniformItemSizes(true);
    yearView_->setStyleSheet(QStringLiteral("QListView::item { padding: 3px 4px; }"));
    leftLayout->addWidget(yearView_, 1);

    auto* statementHeader = new QHBoxLayout;
    statementHeader->addWidget(sectionLabel(QStringLiteral("Abrechnungen"), left));
    statementHeader->addStretch();
    smallButton(button(ToolbarAction::List), QString());
    statementHeader->addWidget(button(ToolbarAction::List));
    leftLayout->addSpacing(6);
    leftLayout->addLayout(statementHeader);
    statementView_ = new QListView(left);
    statementView_->setObjectName(QStringLiteral("statementList"));
    statementView_->setModel(statementModel_);
    statementView_->setSelectionMode(QAbstractItemView::SingleSelection);
    statementView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    statementView_->setUniformItemSizes(true);
    statementView_->setStyleSheet(QStringLiteral("QListView::item { padding: 3px 4px; }"));
    leftLayout->addWidget(statementView_, 2);

    // Right column: guide, search, items, buttons and sum.
    auto* right = new QWidget(splitter);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(6, 0, 0, 0);
    guide_ = new QLabel(right);
    guide_->setObjectName(QStringLiteral("firstStepsGuide"));
    guide_->setVisible(false);
    rightLayout->addWidget(guide_);

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(sectionLabel(QStringLiteral("Posten"), right));
    searchRow->addStretch();
    searchField_ = new QLineEdit(right);
    searchField_->setObjectName(QStringLiteral("searchField"));
    searchField_->setPlaceholderText(QStringLiteral("Posten suchen …"));
    searchField_->setClearButtonEnabled(true);
    searchField_->setMinimumWidth(240);
    searchField_->addAction(namedIcon(QStringLiteral("showTemplate")), QLineEdit::LeadingPosition);
    searchRow->addWidget(searchField_);
    rightLayout->addLayout(searchRow);

    itemView_ = new QTableView(right);
    itemView_->setObjectName(QStringLiteral("itemList"));
    itemView_->setModel(itemModel_);
    itemView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    itemView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    itemView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    itemView_->setAlternatingRowColors(true);
    itemView_->setShowGrid(false);
    itemView_->setWordWrap(false);
    itemView_->setTextElideMode(Qt::ElideRight);
    itemView_->verticalHeader()->setVisible(false);
    // Fixed row heights: the view never measures rows, so 100,000 items scroll at once.
    itemView_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    itemView_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    auto* header = itemView_->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionResizeMode(ItemTableModel::Title, QHeaderView::Stretch);
    header->setHighlightSections(false);
    // Narrow enough that the title keeps room beside the document panels.
    itemView_->setColumnWidth(ItemTableModel::Date, 92);
    itemView_->setColumnWidth(ItemTableModel::Group, 130);
    itemView_->setColumnWidth(ItemTableModel::Account, 150);
    itemView_->setColumnWidth(ItemTableModel::Amount, 100);
    itemView_->setColumnWidth(ItemTableModel::Tax, 80);
    rightLayout->addWidget(itemView_, 1);

    auto* bottom = new QHBoxLayout;
    smallButton(button(ToolbarAction::AddItem), QString());
    smallButton(button(ToolbarAction::DeleteItem), QString());
    smallButton(button(ToolbarAction::Print), QStringLiteral("Drucken"));
    smallButton(button(ToolbarAction::Export), QStringLiteral("Exportieren"));
    bottom->addWidget(button(ToolbarAction::AddItem));
    bottom->addWidget(button(ToolbarAction::DeleteItem));
    bottom->addSpacing(12);
    bottom->addWidget(button(ToolbarAction::Print));
    bottom->addWidget(button(ToolbarAction::Export));
    bottom->addStretch();
    bottom->addWidget(new QLabel(QStringLiteral("Summe:"), right));
    sumField_ = new QLabel(right);
    sumField_->setObjectName(QStringLiteral("sumField"));
    sumField_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    sumField_->setMinimumWidth(120);
    sumField_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont sumFont = sumField_->font();
    sumFont.setBold(true);
    sumFont.setPointSizeF(sumFont.pointSizeF() * 1.2);
    sumField_->setFont(sumFont);
    bottom->addWidget(sumField_);
    rightLayout->addLayout(bottom);

    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 860});
    outer->addWidget(splitter, 1);
    setCentralWidget(central);

    // View → selection.
    connect(yearView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!syncing_) selection_.setYearIndex(current.isValid() ? current.row() : -1);
            });
    connect(statementView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!syncing_) selection_.setStatementIndex(current.isValid() ? current.row() : -1);
            });
    connect(itemView_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (syncing_) return;
        std::vector<int> rows;
        for (const QModelIndex& index : itemView_->selectionModel()->selectedRows())
            rows.push_back(index.row());
        std::sort(rows.begin(), rows.end());
        syncing_ = true;
        selection_.setSelectedRows(rows);
        syncing_ = false;
    });
    connect(searchField_, &QLineEdit::textChanged, this,
            [this](const QString& text) { selection_.setFilterText(text); });
}

void MainWindow::onSelectionChanged(Selection::Change change) {
    switch (change) {
        case Selection::Change::Year:
            statementModel_->reload();
            syncYearView();
            syncStatementView();
            break;
        case Selection::Change::Statement:
            syncStatementView();
            break;
        case Selection::Change::Listed:
            itemModel_->reload();
            syncItemView();
            updateSum();
            break;
        case Selection::Change::Items:
            if (!syncing_) syncItemView();
            break;
        case Selection::Change::Filter:
            if (searchField_->text() != selection_.filterText())
                searchField_->setText(selection_.filterText());
            break;
        case Selection::Change::CashBook:
        case Selection::Change::CashBookEntry:
            break;
    }
}

void MainWindow::syncYearView() {
    syncing_ = true;
    const int row = selection_.yearIndex();
    if (row >= 0)
        yearView_->setCurrentIndex(yearModel_->index(row));
    else
        yearView_->selectionModel()->clear();
    syncing_ = false;
}

void MainWindow::syncStatementView() {
    syncing_ = true;
    const int row = selection_.statementIndex();
    if (row >= 0 && row < statementModel_->rowCount())
        statementView_->setCurrentIndex(statementModel_->index(row));
    else
        statementView_->selectionModel()->clear();
    syncing_ = false;
}

void MainWindow::syncItemView() {
    syncing_ = true;
    QItemSelection rows;
    for (const RecordPtr& item : selection_.selectedItems()) {
        const int row = selection_.rowOf(item.get());
        if (row < 0) continue;
        rows.select(itemModel_->index(row, 0),
                    itemModel_->index(row, ItemTableModel::ColumnCount - 1));
    }
    itemView_->selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
    syncing_ = false;
}

void MainWindow::updateSum() {
    const RecordPtr statement = selection_.selectedStatement();
    const float sum =
        statement ? finalAmountSum(statement->items(), &selection_.listedIndexes()) : 0.0f;
    sumField_->setText(moneyText(sum));
    const Rgb c = sumColor(sum);
    QPalette palette = sumField_->palette();
    palette.setColor(QPalette::WindowText,
                     QColor::fromRgbF(float(c.red), float(c.green), float(c.blue)));
    sumField_->setPalette(palette);
}

void MainWindow::reloadAll() {
    yearModel_->reload();
    selection_.refresh();
    statementModel_->reload();
    itemModel_->reload();
    syncYearView();
    syncStatementView();
    syncItemView();
    updateWindow();
}

void MainWindow::updateWindow() {
    const QString name =
        guideImageName(settings_.getBool(prefs::firstStepsDone), settings_.getInt(prefs::jaImage));
    if (name != guideName_) {
        guideName_ = name;
        if (name.isEmpty()) {
            guide_->clear();
        } else {
            guide_->setPixmap(QPixmap::fromImage(guideImage(name, devicePixelRatioF())));
        }
    }
    guide_->setVisible(!guideName_.isEmpty());
    updateSum();
}

void MainWindow::addSidePanel(QWidget* panel) {
    splitter_->addWidget(panel);
    splitter_->setStretchFactor(splitter_->count() - 1, 0);
    QList<int> sizes = splitter_->sizes();
    if (sizes.size() == 3) {
        sizes = {200, 800, 260};
        resize(std::max(width(), 1300), height());
    }
    splitter_->setSizes(sizes);
}

void MainWindow::focusSearch() {
    if (!isVisible()) show();
    activateWindow();
    searchField_->setFocus(Qt::ShortcutFocusReason);
    searchField_->selectAll();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing the window never quits; "Fenster" in the menu brings it back.
    event->accept();
    emit closed();
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) updateWindow();
    QMainWindow::changeEvent(event);
}

}  // namespace quandor::ui
