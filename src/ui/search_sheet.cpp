#include "ui/search_sheet.h"

#include "core/app_delegate.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "ui/main_window.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace quandor::ui {

// The hits as rows; reads the controller's rows, never copies a record.
class SearchRowsModel : public QAbstractTableModel {
  public:
    enum Column { Date, Title, Group, Account, Number, Amount, Statement, ColumnCount };
    SearchRowsModel(SearchController& search, QObject* parent)
        : QAbstractTableModel(parent), search_(search) {}
    void reload() {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(search_.count());
    }
    int columnCount(const QModelIndex& = {}) const override { return ColumnCount; }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
        static const char16_t* names[] = {u"Datum",          u"Bezeichnung", u"Kategorie", u"Konto",
                                          u"Nummer / Beleg", u"Betrag",      u"Abrechnung"};
        return QString::fromUtf16(names[section]);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || size_t(index.row()) >= search_.count()) return {};
        const SearchController::Row& row = search_.row(size_t(index.row()));
        const Record& item = *row.item;
        if (role == Qt::TextAlignmentRole && index.column() == Amount)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole) return {};
        switch (index.column()) {
            case Date:
                return shortDateText(item.date(keys::date));
            case Title:
                return item.text(keys::title);
            case Group:
                return item.text(keys::group);
            case Account: {
                const QString number = item.text(keys::accountNumber);
                return number.isEmpty() ? item.text(keys::account)
                                        : number + u' ' + item.text(keys::account);
            }
            case Number: {
                const QString receipt = item.text(keys::misc1);
                return receipt.isEmpty()
                           ? item.text(keys::number)
                           : item.text(keys::number) + QStringLiteral(" / ") + receipt;
            }
            case Amount:
                return amountText(item.real(keys::finalAmount));
            case Statement:
                return row.statement + u' ' + row.year;
        }
        return {};
    }

  private:
    SearchController& search_;
};

SearchSheet::SearchSheet(SearchController& search, QWidget* parent)
    : QDialog(parent), search_(search) {
    setObjectName(QStringLiteral("searchSheet"));
    setWindowTitle(QStringLiteral("Alle Posten durchsuchen"));
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("searchAllField"));
    field_->setPlaceholderText(
        QStringLiteral("Bezeichnung, Nummer, Beleg, Kategorie, Konto oder Betrag …"));
    field_->setClearButtonEnabled(true);
    layout->addWidget(field_);
    model_ = new SearchRowsModel(search_, this);
    list_ = new QTableView(this);
    list_->setObjectName(QStringLiteral("searchAllList"));
    list_->setModel(model_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setAlternatingRowColors(true);
    list_->setShowGrid(false);
    list_->setWordWrap(false);
    list_->verticalHeader()->setVisible(false);
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    list_->horizontalHeader()->setSectionResizeMode(SearchRowsModel::Title, QHeaderView::Stretch);
    list_->setColumnWidth(SearchRowsModel::Date, 90);
    list_->setColumnWidth(SearchRowsModel::Group, 140);
    list_->setColumnWidth(SearchRowsModel::Account, 150);
    list_->setColumnWidth(SearchRowsModel::Number, 120);
    list_->setColumnWidth(SearchRowsModel::Amount, 100);
    list_->setColumnWidth(SearchRowsModel::Statement, 120);
    layout->addWidget(list_, 1);

    auto* bottom = new QHBoxLayout;
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("searchAllCount"));
    bottom->addWidget(count_);
    bottom->addStretch();
    auto* details = new QPushButton(QStringLiteral("Details …"), this);
    auto* reveal = new QPushButton(QStringLiteral("Dokument zeigen"), this);
    auto* open = new QPushButton(QStringLiteral("Dokument öffnen"), this);
    auto* close = new QPushButton(QStringLiteral("Schließen"), this);
    for (QPushButton* b : {details, reveal, open, close}) {
        b->setAutoDefault(false);
        bottom->addWidget(b);
    }
    layout->addLayout(bottom);
    resize(980, 560);

    connect(field_, &QLineEdit::textChanged, this, &SearchSheet::filter);
    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                search_.setSelectedRow(current.isValid() ? current.row() : -1);
            });
    connect(list_, &QAbstractItemView::doubleClicked, this, &SearchSheet::openDetailSheet);
    connect(details, &QAbstractButton::clicked, this, &SearchSheet::openDetailSheet);
    connect(reveal, &QAbstractButton::clicked, this, [this] { search_.revealFile(); });
    connect(open, &QAbstractButton::clicked, this, [this] { search_.openFile(); });
    connect(close, &QAbstractButton::clicked, this, &QDialog::reject);
    // Down from the field goes to the list; Return there opens the details.
    auto* toList = new QAction(field_);
    toList->setShortcut(QKeySequence(Qt::Key_Down));
    toList->setShortcutContext(Qt::WidgetShortcut);
    field_->addAction(toList);
    connect(toList, &QAction::triggered, this, [this] {
        list_->setFocus();
        if (model_->rowCount() > 0 && !list_->currentIndex().isValid()) list_->selectRow(0);
    });
    connect(field_, &QLineEdit::returnPressed, this, [this] {
        if (model_->rowCount() > 0) list_->selectRow(0), list_->setFocus();
    });
    auto* enter = new QAction(list_);
    enter->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    enter->setShortcutContext(Qt::WidgetShortcut);
    list_->addAction(enter);
    connect(enter, &QAction::triggered, this, &SearchSheet::openDetailSheet);
}

void SearchSheet::openSearchSheet() {
    show();
    raise();
    field_->blockSignals(true);
    field_->clear();
    field_->blockSignals(false);
    field_->setFocus(Qt::OtherFocusReason);
    count_->setText(QStringLiteral("Suche läuft …"));
    QApplication::setOverrideCursor(Qt::BusyCursor);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    search_.openSearchSheet();
    QApplication::restoreOverrideCursor();
    filter(QString());
}

void SearchSheet::filter(const QString& text) {
    search_.setSearchText(text);
    model_->reload();
    count_->setText(search_.count() == 1 ? QStringLiteral("1 Posten")
                                         : QStringLiteral("%1 Posten").arg(search_.count()));
}

void SearchSheet::openDetailSheet() {
    if (!search_.openDetailSheet()) return;
    QDialog sheet(this);
    sheet.setObjectName(QStringLiteral("searchDetailSheet"));
    sheet.setWindowTitle(QStringLiteral("Posten"));
    auto* form = new QFormLayout(&sheet);
    form->setLabelAlignment(Qt::AlignRight);
    for (const auto& [label, value] : search_.detailFields()) {
        auto* l = new QLabel(value, &sheet);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        l->setWordWrap(true);
        l->setMinimumWidth(320);
        form->addRow(label + u':', l);
    }
    auto* box = new QDialogButtonBox(QDialogButtonBox::Close, &sheet);
    connect(box, &QDialogButtonBox::rejected, &sheet, &QDialog::reject);
    form->addRow(box);
    sheet.exec();
    search_.closeDetailSheet();
}

void SearchSheet::done(int result) {
    search_.closeSearchSheet();
    model_->reload();
    QDialog::done(result);
}

void installSearchSheet(MainWindow& main, QuandorAppDelegate& delegate) {
    auto* search = new SearchController(delegate.books());
    auto* sheet = new SearchSheet(*search, &main);
    QObject::connect(sheet, &QObject::destroyed, [search] { delete search; });
    QAbstractButton* button = main.button(ToolbarAction::Search);
    QObject::disconnect(button, &QAbstractButton::clicked, &main, &MainWindow::focusSearch);
    button->setEnabled(true);
    QObject::connect(button, &QAbstractButton::clicked, sheet, &SearchSheet::openSearchSheet);
    auto* action = new QAction(QStringLiteral("Alle Posten durchsuchen …"), &main);
    action->setObjectName(QStringLiteral("searchAllAction"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    QObject::connect(action, &QAction::triggered, sheet, &SearchSheet::openSearchSheet);
    main.addAction(action);
    for (QAction* menu : main.menuBar()->actions())
        if (menu->menu() && menu->text() == QStringLiteral("&Bearbeiten"))
            menu->menu()->addAction(action);
}

}  // namespace quandor::ui
