#include "ui/master_list_pages.h"

#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "ui/row_drag.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace quandor::ui {

// ---- the model ---------------------------------------------------------------------

struct MasterListModel::Column {
    enum class Kind { Text, Amount, Choice, Flag };
    Key key;
    QString header;
    Kind kind = Kind::Text;
    int width = 0;  // 0: stretches
};

namespace {

QString rateLabel(const Settings& settings, QStringView titleKey, QStringView rateKey,
                  const QString& fallback) {
    QString title = titleKey.isEmpty() ? QString() : settings.getText(titleKey);
    if (title.isEmpty()) title = fallback;
    return QStringLiteral("%1 (%2 %)")
        .arg(title, QLocale(QLocale::German).toString(double(settings.getFloat(rateKey)), 'g', 4));
}

}  // namespace

MasterListModel::MasterListModel(QuandorAppDelegate& app, ArrayController& controller, List list,
                                 QObject* parent)
    : QAbstractTableModel(parent), app_(app), controller_(controller), list_(list) {}

const std::vector<MasterListModel::Column>& MasterListModel::columns() const {
    using K = Column::Kind;
    static const std::vector<Column> groups = {
        {keys::title, QStringLiteral("Kategorie"), K::Text, 0}};
    static const std::vector<Column> accounts = {
        {keys::number, QStringLiteral("Nummer"), K::Text, 110},
        {keys::title, QStringLiteral("Bezeichnung"), K::Text, 0}};
    static const std::vector<Column> templates = {
        {keys::title, QStringLiteral("Bezeichnung"), K::Text, 0},
        {keys::kind, QStringLiteral("Art"), K::Choice, 90},
        {keys::group, QStringLiteral("Kategorie"), K::Text, 130},
        {keys::account, QStringLiteral("Kostenstelle"), K::Text, 130},
        {keys::accountNumber, QStringLiteral("Konto-Nr."), K::Text, 70},
        {keys::amount, QStringLiteral("Betrag"), K::Amount, 90},
        {keys::taxBool, QStringLiteral("USt."), K::Flag, 44},
        {keys::taxTag, QStringLiteral("Steuersatz"), K::Choice, 170}};
    switch (list_) {
        case List::Groups:
            return groups;
        case List::Accounts:
            return accounts;
        default:
            return templates;
    }
}

Record* MasterListModel::recordAt(int row) const {
    RecordList* records = controller_.recordsOf(list_);
    if (!records || row < 0 || row >= int(records->size())) return nullptr;
    return (*records)[size_t(row)].get();
}

int MasterListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : controller_.rowCount(list_);
}

int MasterListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns().size());
}

QStringList MasterListModel::choices(int column) const {
    if (column < 0 || column >= int(columns().size())) return {};
    const Column& c = columns()[size_t(column)];
    if (c.kind != Column::Kind::Choice) return {};
    if (c.key == keys::kind)
        return {QStringLiteral("–"), QStringLiteral("Ausgabe"), QStringLiteral("Einnahme")};
    const Settings& s = app_.settings();
    return {
        QStringLiteral("ohne Steuersatz"),
        rateLabel(s, prefs::prefs1RateTitle, prefs::prefs1Rate, QStringLiteral("Regelsteuersatz")),
        rateLabel(s, prefs::prefs2RateTitle, prefs::prefs2Rate,
                  QStringLiteral("Ermäßigter Steuersatz")),
        rateLabel(s, QStringView(), prefs::prefs3Rate, QStringLiteral("Dritter Steuersatz")),
        QStringLiteral("Steuerfreier Umsatz"),
        QStringLiteral("Nicht steuerbarer Umsatz")};
}

QVariant MasterListModel::data(const QModelIndex& index, int role) const {
    const Record* record = recordAt(index.row());
    if (!record || index.column() >= int(columns().size())) return {};
    const Column& c = columns()[size_t(index.column())];
    switch (c.kind) {
        case Column::Kind::Flag:
            if (role == Qt::CheckStateRole)
                return record->flag(c.key) ? Qt::Checked : Qt::Unchecked;
            return {};
        case Column::Kind::Choice: {
            const int64_t v = record->integer(c.key);
            if (role == Qt::EditRole) return qlonglong(v);
            if (role == Qt::DisplayRole) {
                const QStringList names = choices(index.column());
                return v >= 0 && v < names.size() ? names[int(v)] : QString();
            }
            return {};
        }
        case Column::Kind::Amount: {
            const Value v = record->value(c.key);
            const bool empty = v.type() == Value::Type::String && v.asString().trimmed().isEmpty();
            if (role == Qt::DisplayRole || role == Qt::EditRole)
                return empty ? QString() : Selection::defaultAmountText(v.toFloat());
            if (role == Qt::TextAlignmentRole) return int(Qt::AlignRight | Qt::AlignVCenter);
            return {};
        }
        case Column::Kind::Text:
            if (role == Qt::DisplayRole || role == Qt::EditRole) return record->text(c.key);
            return {};
    }
    return {};
}

bool MasterListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const int row = index.row();
    if (!recordAt(row) || index.column() >= int(columns().size())) return false;
    const Column& c = columns()[size_t(index.column())];
    refusal_.clear();
    switch (c.kind) {
        case Column::Kind::Flag:
            if (role != Qt::CheckStateRole) return false;
            controller_.setMasterFlag(list_, row, c.key, value.toInt() == Qt::Checked);
            break;
        case Column::Kind::Choice: {
            if (role != Qt::EditRole) return false;
            bool ok = false;
            const int v = value.toInt(&ok);
            if (!ok || v < 0 || v >= choices(index.column()).size()) return false;
            controller_.setMasterChoice(list_, row, c.key, int64_t{v});
            break;
        }
        case Column::Kind::Amount:
            if (role != Qt::EditRole) return false;
            if (!controller_.setMasterAmount(list_, row, c.key, value.toString(), &refusal_)) {
                emit refused(refusal_);
                return false;
            }
            break;
        case Column::Kind::Text:
            if (role != Qt::EditRole) return false;
            if (recordAt(row)->text(c.key) == value.toString()) return true;
            controller_.setMasterText(list_, row, c.key, value.toString());
            break;
    }
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags MasterListModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || index.column() >= int(columns().size())) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (columns()[size_t(index.column())].kind == Column::Kind::Flag)
        f |= Qt::ItemIsUserCheckable;
    else
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant MasterListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= int(columns().size())) return {};
    if (role == Qt::DisplayRole) return columns()[size_t(section)].header;
    return {};
}

void MasterListModel::reload() {
    beginResetModel();
    endResetModel();
}

// ---- pop-up columns ---------------------------------------------------------------------

namespace {

class ChoiceDelegate : public QStyledItemDelegate {
  public:
    ChoiceDelegate(MasterListModel* model, QObject* parent)
        : QStyledItemDelegate(parent), model_(model) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        const QStringList names = model_->choices(index.column());
        if (names.isEmpty()) return QStyledItemDelegate::createEditor(parent, option, index);
        auto* box = new QComboBox(parent);
        box->addItems(names);
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (auto* box = qobject_cast<QComboBox*>(editor))
            box->setCurrentIndex(index.data(Qt::EditRole).toInt());
        else
            QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        if (auto* box = qobject_cast<QComboBox*>(editor))
            model->setData(index, box->currentIndex(), Qt::EditRole);
        else
            QStyledItemDelegate::setModelData(editor, model, index);
    }

  private:
    MasterListModel* model_;
};

struct PageText {
    QString title;
    QString explanation;
    QString addTip;
    QString removeTip;
};

PageText pageText(ArrayController::ListKind list) {
    switch (list) {
        case ArrayController::ListKind::Groups:
            return {QStringLiteral("Kategorien"),
                    QStringLiteral(
                        "Die Kategorien, die du deinen Posten zuordnen kannst. Ziehe eine Zeile, "
                        "um die Reihenfolge zu ändern; ein Doppelklick bearbeitet sie."),
                    QStringLiteral("Neue Kategorie anlegen"),
                    QStringLiteral("Ausgewählte Kategorie löschen")};
        case ArrayController::ListKind::Accounts:
            return {QStringLiteral("Konten"),
                    QStringLiteral(
                        "Die Konten (Kostenstellen) mit Nummer und Bezeichnung. Ziehe eine Zeile, "
                        "um die Reihenfolge zu ändern; ein Doppelklick bearbeitet sie."),
                    QStringLiteral("Neues Konto anlegen"),
                    QStringLiteral("Ausgewähltes Konto löschen")};
        default:
            return {QStringLiteral("Vorlagen"),
                    QStringLiteral("Vorlagen füllen einen neuen Posten mit immer wiederkehrenden "
                                   "Angaben. Ziehe eine Zeile, um die Reihenfolge zu ändern."),
                    QStringLiteral("Neue Vorlage anlegen"),
                    QStringLiteral("Ausgewählte Vorlage löschen")};
    }
}

}  // namespace

// ---- the page -------------------------------------------------------------------------------

MasterListPage::MasterListPage(QuandorAppDelegate& app, ArrayController& controller, List list,
                               QWidget* parent)
    : QWidget(parent), app_(app), controller_(controller), list_(list) {
    const PageText text = pageText(list);
    setObjectName(list == List::Groups     ? QStringLiteral("CategoriesItemIdentifier")
                  : list == List::Accounts ? QStringLiteral("AccountsItemIdentifier")
                                           : QStringLiteral("TemplatesItemIdentifier"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(8);
    auto* explanation = new QLabel(text.explanation, this);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);

    model_ = new MasterListModel(app, controller, list, this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("masterTable"));
    table_->setModel(model_);
    table_->setItemDelegate(new ChoiceDelegate(model_, table_));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::SelectedClicked);
    table_->setAlternatingRowColors(true);
    table_->setShowGrid(false);
    table_->setWordWrap(false);
    table_->verticalHeader()->setVisible(false);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    QHeaderView* header = table_->horizontalHeader();
    header->setHighlightSections(false);
    for (int c = 0; c < model_->columnCount(); ++c) {
        header->setSectionResizeMode(c, QHeaderView::Interactive);
    }
    // The widths of the columns; the first without a width stretches.
    {
        const QStringList headers = [this] {
            QStringList h;
            for (int c = 0; c < model_->columnCount(); ++c)
                h << model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
            return h;
        }();
        for (int c = 0; c < headers.size(); ++c) {
            const bool stretch = (list == List::Groups) || (list == List::Accounts && c == 1) ||
                                 (list == List::Templates && c == 0);
            if (stretch) {
                header->setSectionResizeMode(c, QHeaderView::Stretch);
            } else {
                static const int templateWidths[] = {0, 90, 130, 130, 70, 90, 44, 170};
                table_->setColumnWidth(c, list == List::Accounts ? 110 : templateWidths[c]);
            }
        }
    }
    table_->setMinimumSize(list == List::Templates ? 900 : 520, 320);
    layout->addWidget(table_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    add_ = new QPushButton(QStringLiteral("+"), this);
    add_->setObjectName(QStringLiteral("addRow"));
    add_->setToolTip(text.addTip);
    add_->setFixedWidth(34);
    remove_ = new QPushButton(QStringLiteral("−"), this);
    remove_->setObjectName(QStringLiteral("removeRow"));
    remove_->setToolTip(text.removeTip);
    remove_->setFixedWidth(34);
    message_ = new QLabel(this);
    message_->setStyleSheet(QStringLiteral("color: #b00000;"));
    buttons->addWidget(add_);
    buttons->addWidget(remove_);
    buttons->addSpacing(12);
    buttons->addWidget(message_, 1);
    layout->addLayout(buttons);

    connect(add_, &QPushButton::clicked, this, &MasterListPage::addRow);
    connect(remove_, &QPushButton::clicked, this, &MasterListPage::removeRow);
    auto* del = new QShortcut(QKeySequence::Delete, table_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(del, &QShortcut::activated, this, &MasterListPage::removeRow);
    auto* backspace = new QShortcut(QKeySequence(Qt::Key_Backspace), table_, nullptr, nullptr,
                                    Qt::WidgetShortcut);
    connect(backspace, &QShortcut::activated, this, &MasterListPage::removeRow);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                controller_.setMasterRow(list_, current.isValid() ? current.row() : -1);
            });
    connect(model_, &MasterListModel::refused, message_, &QLabel::setText);
    connect(model_, &MasterListModel::dataChanged, message_, [this] { message_->clear(); });

    RowDrag::Hooks hooks;
    hooks.moveType = ArrayController::moveDragType(list);
    hooks.writeRows = [this](const std::vector<int>& rows) {
        return controller_.writeRows(list_, rows);
    };
    hooks.dropBetween = [this](const QString& type, const QByteArray& data, int row) {
        return controller_.acceptMoveDrop(list_, type, data, row);
    };
    hooks.changed = [this] {
        const int row = controller_.masterRow(list_);
        model_->reload();
        selectRow(row);
    };
    new RowDrag(table_, std::move(hooks));
}

void MasterListPage::selectRow(int row) {
    if (row < 0 || row >= model_->rowCount()) {
        table_->selectionModel()->clear();
        controller_.setMasterRow(list_, -1);
        return;
    }
    table_->setCurrentIndex(model_->index(row, 0));
    table_->selectRow(row);
    table_->scrollTo(model_->index(row, 0));
    controller_.setMasterRow(list_, row);
}

void MasterListPage::addRow() {
    table_->setFocus();
    int row = -1;
    switch (list_) {
        case List::Groups:
            row = controller_.addGroup();
            break;
        case List::Accounts:
            row = controller_.addAccount();
            break;
        default:
            row = controller_.addTemplateRow();
            break;
    }
    model_->reload();
    selectRow(row);
    table_->edit(model_->index(row, 0));
}

void MasterListPage::removeRow() {
    controller_.setMasterRow(
        list_, table_->currentIndex().isValid() && table_->selectionModel()->hasSelection()
                   ? table_->currentIndex().row()
                   : -1);
    if (!controller_.remove(list_)) return;
    const int row = controller_.masterRow(list_);
    model_->reload();
    selectRow(row);
}

void MasterListPage::reload() {
    const int row = table_->currentIndex().row();
    model_->reload();
    selectRow(std::min(row, model_->rowCount() - 1));
}

void MasterListPage::showEvent(QShowEvent* event) {
    reload();
    QWidget::showEvent(event);
}

}  // namespace quandor::ui
