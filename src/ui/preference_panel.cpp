#include "ui/preference_panel.h"

#include "ui/general_page.h"
#include "ui/icons.h"
#include "ui/placement.h"
#include "ui/preference_pages.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QStackedWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace quandor::ui {

namespace {

QWidget* placeholderPage(const PreferencePageSpec& spec, QWidget* parent) {
    auto* page = new QWidget(parent);
    page->setObjectName(QString::fromUtf16(spec.identifier));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(24, 24, 24, 24);
    auto* title = new QLabel(QString::fromUtf16(spec.label), page);
    QFont f = title->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    title->setFont(f);
    auto* note = new QLabel(
        QStringLiteral("Diese Seite steht in einer der nächsten Versionen von Quandor bereit."),
        page);
    note->setWordWrap(true);
    layout->addWidget(title);
    layout->addWidget(note);
    layout->addStretch();
    page->setMinimumSize(560, 220);
    return page;
}

}  // namespace

PreferencePanel::PreferencePanel(Settings& settings, QWidget* parent)
    : QMainWindow(parent), settings_(settings) {
    setObjectName(QStringLiteral("preferencePanel"));
    toolbar_ = new QToolBar(QStringLiteral("Einstellungen"), this);
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(QSize(32, 32));
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar_->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, toolbar_);
    group_ = new QActionGroup(this);
    group_->setExclusive(true);
    stack_ = new QStackedWidget(this);
    setCentralWidget(stack_);

    for (const PreferencePageSpec& spec : preferencePages()) {
        const QString id = QString::fromUtf16(spec.identifier);
        auto* action = toolbar_->addAction(namedIcon(QString::fromUtf16(spec.iconName)),
                                           QString::fromUtf16(spec.label));
        action->setObjectName(id);
        action->setToolTip(QString::fromUtf16(spec.toolTip));
        action->setCheckable(true);
        group_->addAction(action);
        connect(action, &QAction::triggered, this, [this, id] { selectPage(id); });
        if (id == u"GeneralItemIdentifier") {
            general_ = new GeneralPage(settings_, stack_);
            connect(general_, &GeneralPage::showUsersPage, this,
                    [this] { selectPage(QStringLiteral("AccountItemIdentifier")); });
            stack_->addWidget(general_);
        } else {
            stack_->addWidget(placeholderPage(spec, stack_));
        }
    }
    selectPage(QStringLiteral("GeneralItemIdentifier"));
}

bool PreferencePanel::selectPage(const QString& identifier) {
    const int index = preferencePageIndex(identifier);
    if (index < 0) return false;
    const PreferencePageSpec& spec = preferencePages()[size_t(index)];
    // Only the shown page takes part in the window's size, so it fits the page.
    for (int i = 0; i < stack_->count(); ++i)
        stack_->widget(i)->setSizePolicy(
            i == index ? QSizePolicy::Preferred : QSizePolicy::Ignored,
            i == index ? QSizePolicy::Preferred : QSizePolicy::Ignored);
    stack_->setCurrentIndex(index);
    group_->actions().at(index)->setChecked(true);
    setWindowTitle(QString::fromUtf16(spec.windowTitle));
    if (index == 0 && general_) general_->reload();
    adjustSize();
    return true;
}

QString PreferencePanel::currentIdentifier() const {
    const int index = stack_->currentIndex();
    return index >= 0 ? QString::fromUtf16(preferencePages()[size_t(index)].identifier) : QString();
}

QWidget* PreferencePanel::page(const QString& identifier) const {
    const int index = preferencePageIndex(identifier);
    return index >= 0 ? stack_->widget(index) : nullptr;
}

void PreferencePanel::setPage(const QString& identifier, QWidget* page) {
    const int index = preferencePageIndex(identifier);
    if (index <= 0 || !page) return;  // Allgemein is built here
    QWidget* old = stack_->widget(index);
    stack_->insertWidget(index, page);
    stack_->removeWidget(old);
    old->deleteLater();
}

void PreferencePanel::showCentred(int pageIndex) {
    selectPage(QString::fromUtf16(preferencePages()[size_t(pageIndex)].identifier));
    if (!isVisible()) centreOver(this);
    show();
    raise();
    activateWindow();
}

void PreferencePanel::showPrefs() {
    showCentred(stack_->currentIndex() < 0 ? 0 : stack_->currentIndex());
}
void PreferencePanel::selectTab1() {
    showCentred(0);
}
void PreferencePanel::selectTab2() {
    showCentred(1);
}
void PreferencePanel::selectTab3() {
    showCentred(2);
}
void PreferencePanel::selectTab4() {
    showCentred(3);
}

void PreferencePanel::showEvent(QShowEvent* event) {
    if (general_) general_->reload();
    QMainWindow::showEvent(event);
}

void PreferencePanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void PreferencePanel::closeEvent(QCloseEvent* event) {
    settings_.sync();
    event->accept();
    emit closed();
}

}  // namespace quandor::ui
