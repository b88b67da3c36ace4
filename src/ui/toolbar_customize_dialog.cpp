#include "ui/toolbar_customize_dialog.h"

#include "ui/icons.h"
#include "ui/toolbar_items.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace quandor::ui {

QString toolbarEntryLabel(const QString& identifier) {
    if (const ToolbarItemSpec* spec = findToolbarItem(identifier))
        return QString::fromUtf16(spec->label);
    if (identifier == QStringView(kSeparatorIdentifier)) return QStringLiteral("Trennlinie");
    if (identifier == QStringView(kSpaceIdentifier)) return QStringLiteral("Abstand");
    if (identifier == QStringView(kFlexibleSpaceIdentifier))
        return QStringLiteral("Flexibler Abstand");
    return identifier;
}

ToolbarCustomizeDialog::ToolbarCustomizeDialog(const QStringList& current, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Symbolleiste anpassen"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral("Wähle links ein Symbol und klicke auf „Hinzufügen“ oder doppelklicke es. "
                       "Die Reihenfolge änderst du durch Ziehen oder mit „Nach oben“ und „Nach "
                       "unten“; ein Doppelklick rechts nimmt ein Symbol wieder heraus."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Verfügbare Symbole"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Deine Symbolleiste (von links nach rechts)"), this),
                    0, 2);
    palette_ = new QListWidget(this);
    palette_->setObjectName(QStringLiteral("paletteList"));
    palette_->setIconSize(QSize(24, 24));
    for (const QString& id : paletteIdentifiers()) palette_->addItem(makeItem(id));
    toolbar_ = new QListWidget(this);
    toolbar_->setObjectName(QStringLiteral("toolbarList"));
    toolbar_->setIconSize(QSize(24, 24));
    toolbar_->setDragDropMode(QAbstractItemView::InternalMove);
    toolbar_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->addWidget(palette_, 1, 0);
    grid->addWidget(toolbar_, 1, 2);

    auto* middle = new QVBoxLayout;
    add_ = new QPushButton(QStringLiteral("Hinzufügen →"), this);
    remove_ = new QPushButton(QStringLiteral("← Entfernen"), this);
    up_ = new QPushButton(QStringLiteral("Nach oben"), this);
    down_ = new QPushButton(QStringLiteral("Nach unten"), this);
    auto* defaults = new QPushButton(QStringLiteral("Standardsatz"), this);
    defaults->setToolTip(
        QStringLiteral("Stellt die Symbolleiste einer neuen Installation wieder her"));
    middle->addStretch();
    for (auto* b : {add_, remove_, up_, down_}) middle->addWidget(b);
    middle->addSpacing(12);
    middle->addWidget(defaults);
    middle->addStretch();
    grid->addLayout(middle, 1, 1);
    layout->addLayout(grid, 1);

    auto* box = new QDialogButtonBox(this);
    box->addButton(QStringLiteral("Fertig"), QDialogButtonBox::AcceptRole)->setDefault(true);
    box->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    layout->addWidget(box);

    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(add_, &QPushButton::clicked, this, &ToolbarCustomizeDialog::addSelected);
    connect(remove_, &QPushButton::clicked, this, &ToolbarCustomizeDialog::removeSelected);
    connect(up_, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(down_, &QPushButton::clicked, this, [this] { moveSelected(1); });
    connect(defaults, &QPushButton::clicked, this, &ToolbarCustomizeDialog::restoreDefaults);
    connect(palette_, &QListWidget::itemDoubleClicked, this, &ToolbarCustomizeDialog::addSelected);
    connect(toolbar_, &QListWidget::itemDoubleClicked, this,
            &ToolbarCustomizeDialog::removeSelected);
    connect(palette_, &QListWidget::itemSelectionChanged, this,
            &ToolbarCustomizeDialog::updateButtons);
    connect(toolbar_, &QListWidget::itemSelectionChanged, this,
            &ToolbarCustomizeDialog::updateButtons);

    fillToolbar(current);
    resize(640, 580);
}

QListWidgetItem* ToolbarCustomizeDialog::makeItem(const QString& identifier) const {
    auto* item = new QListWidgetItem(toolbarEntryLabel(identifier));
    item->setData(Qt::UserRole, identifier);
    if (const ToolbarItemSpec* spec = findToolbarItem(identifier)) {
        item->setIcon(namedIcon(QString::fromUtf16(spec->iconName)));
        item->setToolTip(QString::fromUtf16(spec->toolTip));
    } else {
        item->setIcon(namedIcon(identifier));
    }
    return item;
}

void ToolbarCustomizeDialog::fillToolbar(const QStringList& ids) {
    toolbar_->clear();
    for (const QString& id : ids) toolbar_->addItem(makeItem(id));
    updateButtons();
}

QStringList ToolbarCustomizeDialog::chosen() const {
    QStringList ids;
    for (int i = 0; i < toolbar_->count(); ++i)
        ids << toolbar_->item(i)->data(Qt::UserRole).toString();
    return ids;
}

void ToolbarCustomizeDialog::addSelected() {
    QListWidgetItem* source = palette_->currentItem();
    if (!source || !source->flags().testFlag(Qt::ItemIsEnabled)) return;
    const QString id = source->data(Qt::UserRole).toString();
    const int at = toolbar_->currentRow() >= 0 ? toolbar_->currentRow() + 1 : toolbar_->count();
    toolbar_->insertItem(at, makeItem(id));
    toolbar_->setCurrentRow(at);
    updateButtons();
}

void ToolbarCustomizeDialog::removeSelected() {
    const int row = toolbar_->currentRow();
    if (row < 0) return;
    delete toolbar_->takeItem(row);
    updateButtons();
}

void ToolbarCustomizeDialog::moveSelected(int step) {
    const int row = toolbar_->currentRow();
    const int to = row + step;
    if (row < 0 || to < 0 || to >= toolbar_->count()) return;
    QListWidgetItem* item = toolbar_->takeItem(row);
    toolbar_->insertItem(to, item);
    toolbar_->setCurrentRow(to);
}

void ToolbarCustomizeDialog::restoreDefaults() {
    fillToolbar(defaultToolbarIdentifiers());
}

void ToolbarCustomizeDialog::updateButtons() {
    // A program item stands at most once on the toolbar; layout entries as often as wanted.
    const QStringList used = chosen();
    for (int i = 0; i < palette_->count(); ++i) {
        QListWidgetItem* item = palette_->item(i);
        const QString id = item->data(Qt::UserRole).toString();
        const bool available = isLayoutIdentifier(id) || !used.contains(id);
        item->setFlags(available ? (Qt::ItemIsEnabled | Qt::ItemIsSelectable) : Qt::NoItemFlags);
    }
    QListWidgetItem* current = palette_->currentItem();
    add_->setEnabled(current && current->flags().testFlag(Qt::ItemIsEnabled));
    remove_->setEnabled(toolbar_->currentRow() >= 0);
    up_->setEnabled(toolbar_->currentRow() > 0);
    down_->setEnabled(toolbar_->currentRow() >= 0 &&
                      toolbar_->currentRow() + 1 < toolbar_->count());
}

}  // namespace quandor::ui
