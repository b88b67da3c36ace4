#include "ui/toolbar_controller.h"

#include "ui/icons.h"
#include "ui/main_window.h"
#include "ui/toolbar_customize_dialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QStandardPaths>
#include <QToolBar>

namespace quandor::ui {

ToolbarController::ToolbarController(MainWindow& window, Settings& settings, UiPort& ui)
    : QObject(&window), window_(window), settings_(settings), ui_(ui) {
    findExecutable_ = [](const QString& name) { return QStandardPaths::findExecutable(name); };

    toolbar_ = new QToolBar(QStringLiteral("Symbolleiste"), &window);
    toolbar_->setObjectName(QStringLiteral("mainToolbar"));
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(QSize(32, 32));
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar_->setContextMenuPolicy(Qt::CustomContextMenu);
    window.addToolBar(Qt::TopToolBarArea, toolbar_);
    window.setUnifiedTitleAndToolBarOnMac(true);
    // The window's own pop-up (toolbar on/off) would bypass the palette.
    window.setContextMenuPolicy(Qt::NoContextMenu);

    connect(toolbar_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(toolbar_);
        menu.addAction(QStringLiteral("Symbolleiste anpassen …"), this,
                       &ToolbarController::runCustomizePalette);
        menu.exec(toolbar_->mapToGlobal(at));
    });

    for (const ToolbarItemSpec& spec : toolbarItems()) {
        const QString id = QString::fromUtf16(spec.identifier);
        auto* action = new QAction(namedIcon(QString::fromUtf16(spec.iconName)),
                                   QString::fromUtf16(spec.label), this);
        action->setObjectName(id);
        action->setToolTip(QString::fromUtf16(spec.toolTip));
        const ToolbarAction what = spec.action;
        connect(action, &QAction::triggered, this, [this, what] { perform(what); });
        actions_[id] = action;
        if (QAbstractButton* b = window_.button(what)) b->installEventFilter(this);
    }
    syncEnabled();

    const bool stored = settings_.contains(kToolbarSettingsKey);
    identifiers_ = sanitizedToolbarIdentifiers(
        splitToolbarIdentifiers(settings_.getText(kToolbarSettingsKey)), stored);
    rebuild();
}

QAction* ToolbarController::action(const QString& identifier) const {
    const auto it = actions_.find(identifier);
    return it == actions_.end() ? nullptr : it->second;
}

void ToolbarController::setIdentifiers(const QStringList& identifiers) {
    identifiers_ = sanitizedToolbarIdentifiers(identifiers, true);
    settings_.setText(kToolbarSettingsKey, joinToolbarIdentifiers(identifiers_));
    settings_.sync();
    rebuild();
}

void ToolbarController::rebuild() {
    toolbar_->clear();
    for (const QString& id : identifiers_) {
        if (id == QStringView(kSeparatorIdentifier)) {
            toolbar_->addSeparator();
        } else if (id == QStringView(kSpaceIdentifier)) {
            auto* space = new QWidget(toolbar_);
            space->setFixedWidth(18);
            space->setAttribute(Qt::WA_TransparentForMouseEvents);
            toolbar_->addWidget(space);
        } else if (id == QStringView(kFlexibleSpaceIdentifier)) {
            auto* space = new QWidget(toolbar_);
            space->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
            space->setMinimumWidth(8);
            space->setAttribute(Qt::WA_TransparentForMouseEvents);
            toolbar_->addWidget(space);
        } else if (QAction* a = action(id)) {
            toolbar_->addAction(a);
        }
    }
}

void ToolbarController::perform(ToolbarAction what) {
    if (what == ToolbarAction::Calculator) {
        calculatorButtonAction();
        return;
    }
    // The same operation and the same enabling rules as the window's button.
    QAbstractButton* b = window_.button(what);
    if (b && b->isEnabled()) b->click();
}

void ToolbarController::calculatorButtonAction() {
    const QString program = firstCalculator(findExecutable_);
    if (program.isEmpty()) {
        ui_.beep();
        ui_.alert(AlertStyle::Informational, QStringLiteral("Hinweis!"),
                  QStringLiteral(
                      "Es ist kein Taschenrechner installiert. Installiere bitte eines dieser "
                      "Programme: gnome-calculator, kcalc, galculator, qalculate-gtk oder xcalc."),
                  {QStringLiteral("OK")});
        return;
    }
    if (!ui_.launchApplication(program, {})) {
        ui_.alert(
            AlertStyle::Warning, QStringLiteral("Fehler!"),
            QStringLiteral("Der Taschenrechner „%1“ konnte nicht gestartet werden.").arg(program),
            {QStringLiteral("OK")});
    }
}

void ToolbarController::runCustomizePalette() {
    ToolbarCustomizeDialog dialog(identifiers_, &window_);
    if (dialog.exec() == QDialog::Accepted) setIdentifiers(dialog.chosen());
}

bool ToolbarController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::EnabledChange) syncEnabled();
    return QObject::eventFilter(watched, event);
}

void ToolbarController::syncEnabled() {
    for (const ToolbarItemSpec& spec : toolbarItems()) {
        QAction* a = action(QString::fromUtf16(spec.identifier));
        if (!a) continue;
        if (spec.action == ToolbarAction::Calculator) {
            a->setEnabled(true);
            continue;
        }
        QAbstractButton* b = window_.button(spec.action);
        a->setEnabled(b && b->isEnabled());
    }
}

}  // namespace quandor::ui
