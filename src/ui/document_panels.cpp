#include "ui/document_panels.h"

#include "core/app_delegate.h"
#include "core/keys.h"
#include "ui/icons.h"
#include "ui/main_window.h"

#include <QAbstractTableModel>
#include <QDragEnterEvent>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace quandor::ui {

using Panel = DocumentsController::Panel;

namespace {

QStringList localFiles(const QMimeData* data) {
    QStringList files;
    if (!data) return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    return files;
}

// The rows of a statement's or year's document list: title and note (editable).
class FileListModel : public QAbstractTableModel {
  public:
    FileListModel(DocumentsController& documents, Panel panel, QObject* parent)
        : QAbstractTableModel(parent), documents_(documents), panel_(panel) {}

    void reload() {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        const RecordList* list = documents_.fileList(panel_);
        return parent.isValid() || !list ? 0 : int(list->size());
    }
    int columnCount(const QModelIndex& = {}) const override { return 2; }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
        return section == 0 ? QStringLiteral("Dokument") : QStringLiteral("Notiz");
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const RecordPtr r = record(index);
        if (!r || (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole))
            return {};
        if (role == Qt::ToolTipRole) return r->text(keys::filePath);
        return r->text(index.column() == 0 ? keys::fileTitle : keys::fileNote);
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags f = QAbstractTableModel::flags(index);
        return index.column() == 1 ? f | Qt::ItemIsEditable : f;
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        const RecordPtr r = record(index);
        if (!r || role != Qt::EditRole || index.column() != 1) return false;
        r->set(keys::fileNote, value.toString());
        emit dataChanged(index, index);
        onEdited();
        return true;
    }
    std::function<void()> onEdited = [] {};

  private:
    RecordPtr record(const QModelIndex& index) const {
        const RecordList* list = documents_.fileList(panel_);
        return list && index.isValid() && size_t(index.row()) < list->size()
                   ? (*list)[size_t(index.row())]
                   : nullptr;
    }
    DocumentsController& documents_;
    Panel panel_;
};

QLabel* valueLabel(QWidget* parent, const QString& name) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setWordWrap(true);
    return l;
}

}  // namespace

DocumentPanel::DocumentPanel(DocumentsController& documents, Panel panel, QWidget* parent)
    : QWidget(parent), documents_(documents), panel_(panel) {
    setAcceptDrops(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    icon_ = new QLabel(this);
    icon_->setObjectName(QStringLiteral("documentIcon"));
    icon_->setAlignment(Qt::AlignCenter);
    icon_->setFixedHeight(136);
    icon_->setToolTip(QStringLiteral("Zieh eine Datei hierher, um sie anzuhängen."));
    layout->addWidget(icon_);
    title_ = valueLabel(this, QStringLiteral("documentTitle"));
    title_->setAlignment(Qt::AlignCenter);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    layout->addWidget(title_);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    kind_ = valueLabel(this, QStringLiteral("documentKind"));
    size_ = valueLabel(this, QStringLiteral("documentSize"));
    created_ = valueLabel(this, QStringLiteral("documentCreated"));
    modified_ = valueLabel(this, QStringLiteral("documentModified"));
    form->addRow(QStringLiteral("Art:"), kind_);
    form->addRow(QStringLiteral("Größe:"), size_);
    form->addRow(QStringLiteral("Erstellt:"), created_);
    form->addRow(QStringLiteral("Geändert:"), modified_);
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout;
    auto* add = new QPushButton(QStringLiteral("Anhängen …"), this);
    add->setObjectName(QStringLiteral("documentAdd"));
    reveal_ = new QPushButton(QStringLiteral("Zeigen"), this);
    reveal_->setToolTip(QStringLiteral("Im Dateimanager zeigen"));
    open_ = new QPushButton(QStringLiteral("Öffnen"), this);
    remove_ = new QPushButton(QStringLiteral("Entfernen"), this);
    remove_->setToolTip(panel == Panel::Item ? QStringLiteral("Dokument vom Posten lösen")
                                             : QStringLiteral("Dokument aus der Liste löschen"));
    for (QAbstractButton* b : {static_cast<QAbstractButton*>(add), reveal_, open_, remove_}) {
        static_cast<QPushButton*>(b)->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    layout->addStretch();

    connect(add, &QAbstractButton::clicked, this, [this] {
        if (documents_.selectFile(panel_)) emit changed();
        refresh();
    });
    connect(reveal_, &QAbstractButton::clicked, this, [this] { documents_.revealFile(panel_); });
    connect(open_, &QAbstractButton::clicked, this, [this] { documents_.openFile(panel_); });
    connect(remove_, &QAbstractButton::clicked, this, [this] {
        if (documents_.removeDocument(panel_)) emit changed();
        refresh();
    });
    refresh();
}

void DocumentPanel::refresh() {
    const DocumentInfo info = documents_.changeProperties(panel_);
    QIcon icon =
        info.state == DocumentInfo::State::Present
            ? QIcon::fromTheme(info.iconName,
                               QIcon::fromTheme(QStringLiteral("text-x-generic"),
                                                namedIcon(QStringLiteral("documentTemplate"))))
            : namedIcon(info.iconName);
    icon_->setPixmap(icon.pixmap(128, 128));
    title_->setText(info.title);
    kind_->setText(info.kind);
    size_->setText(info.size);
    created_->setText(info.created);
    modified_->setText(info.modified);
    const bool present = info.state == DocumentInfo::State::Present;
    reveal_->setEnabled(present);
    open_->setEnabled(present);
    remove_->setEnabled(info.state != DocumentInfo::State::None ||
                        (panel_ != Panel::Item && documents_.selectedRecord(panel_)));
}

void DocumentPanel::dragEnterEvent(QDragEnterEvent* event) {
    if (localFiles(event->mimeData()).isEmpty() || !documents_.selectedRecord(panel_)) return;
    event->acceptProposedAction();
    dragging_ = true;
    update();
}

void DocumentPanel::dragLeaveEvent(QDragLeaveEvent*) {
    dragging_ = false;
    update();
}

void DocumentPanel::dropEvent(QDropEvent* event) {
    dragging_ = false;
    update();
    const QStringList files = localFiles(event->mimeData());
    event->acceptProposedAction();
    if (documents_.receiveDroppedFiles(panel_, files)) emit changed();
    refresh();
}

void DocumentPanel::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!dragging_) return;
    // The focus frame while files are dragged over the panel.
    QPainter p(this);
    QColor c = palette().color(QPalette::Highlight);
    c.setAlphaF(0.75f);
    p.setPen(QPen(c, 6));
    p.drawRect(rect().adjusted(3, 3, -3, -3));
}

namespace {

// A document list with its panel below (statement and year).
QWidget* listPane(DocumentsController& documents, Panel panel, QuandorAppDelegate& delegate,
                  std::vector<std::function<void()>>& reloads, QWidget* parent) {
    auto* pane = new QWidget(parent);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* model = new FileListModel(documents, panel, pane);
    auto* view = new QTableView(pane);
    view->setObjectName(panel == Panel::Statement ? QStringLiteral("statementDocuments")
                                                  : QStringLiteral("yearDocuments"));
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    view->verticalHeader()->setVisible(false);
    view->horizontalHeader()->setStretchLastSection(true);
    view->setColumnWidth(0, 170);
    layout->addWidget(view, 1);
    auto* info = new DocumentPanel(documents, panel, pane);
    layout->addWidget(info);
    model->onEdited = [&delegate] { delegate.books().noteChanged(); };

    auto reload = [=, &documents] {
        model->reload();
        const int row = documents.selectedRow(panel);
        if (row >= 0) view->selectRow(row);
        info->refresh();
    };
    reloads.push_back(reload);
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, info,
                     [=, &documents](const QModelIndex& current) {
                         documents.setSelectedRow(panel, current.isValid() ? current.row() : -1);
                         info->refresh();
                     });
    QObject::connect(info, &DocumentPanel::changed, view, [=, &documents] {
        const int before = documents.selectedRow(panel);
        reload();
        // A new row: its note is edited at once.
        if (before >= 0 && before == model->rowCount() - 1) view->edit(model->index(before, 1));
    });
    return pane;
}

}  // namespace

void installDocumentPanels(MainWindow& main, QuandorAppDelegate& delegate) {
    auto* tabs = new QTabWidget(&main);
    tabs->setObjectName(QStringLiteral("documentPanels"));
    auto* documents = new DocumentsController(delegate.books());
    QObject::connect(tabs, &QObject::destroyed, [documents] { delete documents; });
    auto* reloads = new std::vector<std::function<void()>>;
    QObject::connect(tabs, &QObject::destroyed, [reloads] { delete reloads; });

    auto* itemPanel = new DocumentPanel(*documents, Panel::Item, tabs);
    tabs->addTab(itemPanel, QStringLiteral("Beleg"));
    tabs->addTab(listPane(*documents, Panel::Statement, delegate, *reloads, tabs),
                 QStringLiteral("Abrechnung"));
    tabs->addTab(listPane(*documents, Panel::Year, delegate, *reloads, tabs),
                 QStringLiteral("Jahr"));
    tabs->setTabToolTip(0, QStringLiteral("Das Dokument des ausgewählten Postens"));
    tabs->setTabToolTip(1, QStringLiteral("Dokumente der ausgewählten Abrechnung"));
    tabs->setTabToolTip(2, QStringLiteral("Dokumente des ausgewählten Jahres"));
    main.addSidePanel(tabs);

    const int id = delegate.selection().addListener([=](Selection::Change change) {
        switch (change) {
            case Selection::Change::Year:
                documents->setSelectedRow(Panel::Year, -1);
                documents->setSelectedRow(Panel::Statement, -1);
                for (auto& r : *reloads) r();
                break;
            case Selection::Change::Statement:
                documents->setSelectedRow(Panel::Statement, -1);
                (*reloads)[0]();
                itemPanel->refresh();
                break;
            case Selection::Change::Items:
            case Selection::Change::Listed:
                itemPanel->refresh();
                break;
            default:
                break;
        }
    });
    Selection* selection = &delegate.selection();
    QObject::connect(tabs, &QObject::destroyed, [selection, id] { selection->removeListener(id); });
    // Files changed outside (a copy deleted): the panels look again when the window comes back.
    QObject::connect(static_cast<QGuiApplication*>(QGuiApplication::instance()),
                     &QGuiApplication::applicationStateChanged, tabs, [=](Qt::ApplicationState s) {
                         if (s != Qt::ApplicationActive) return;
                         itemPanel->refresh();
                         for (auto& r : *reloads) r();
                     });
}

}  // namespace quandor::ui
