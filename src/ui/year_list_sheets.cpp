#include "ui/year_list_sheets.h"

#include "core/keys.h"
#include "ui/main_window.h"
#include "ui/placement.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

namespace quandor::ui {

namespace {

QString helpText(NameSheet::Kind kind) {
    if (kind == NameSheet::Kind::Year)
        return QStringLiteral(
            "<p>Wähle das <b>Jahr</b> aus der Liste oder tippe es ein.</p>"
            "<p>Ein Jahr enthält deine Abrechnungen, zum Beispiel die Monate oder Quartale, für "
            "die du die Umsatzsteuer-Voranmeldung abgibst.</p>");
    return QStringLiteral(
        "<p>Wähle den <b>Zeitraum</b> aus der Liste – einen Monat, ein Kalendervierteljahr oder "
        "das ganze Jahr – oder tippe einen eigenen Namen ein.</p>"
        "<p>Die Namen der Liste erkennt die Umsatzsteuer-Voranmeldung als ihren Zeitraum.</p>");
}

}  // namespace

NameSheet::NameSheet(Kind kind, YearsController& controller, QuandorAppDelegate& app,
                     QWidget* parent)
    : QDialog(parent), kind_(kind), c_(controller), app_(app) {
    const bool year = kind == Kind::Year;
    setObjectName(year ? QStringLiteral("yearSheet") : QStringLiteral("statementSheet"));
    setWindowModality(Qt::WindowModal);

    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(18, 16, 18, 14);
    auto* main = new QVBoxLayout;

    heading_ = new QLabel(this);
    QFont headingFont = heading_->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.15);
    heading_->setFont(headingFont);
    main->addWidget(heading_);
    main->addSpacing(6);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setHorizontalSpacing(10);
    name_ = new QComboBox(this);
    name_->setObjectName(year ? QStringLiteral("yearName") : QStringLiteral("statementTitle"));
    name_->setEditable(true);
    name_->setInsertPolicy(QComboBox::NoInsert);
    name_->setMaxVisibleItems(17);
    name_->setMinimumWidth(year ? 160 : 240);
    if (year) {
        name_->addItems(YearsController::yearNames(app_.now().date().year()));
        name_->lineEdit()->setPlaceholderText(
            QStringLiteral("z. B. %1").arg(app_.now().date().year()));
    } else {
        name_->addItems(YearsController::periodNames());
        name_->lineEdit()->setPlaceholderText(QStringLiteral("z. B. Januar"));
    }
    name_->completer()->setCompletionMode(QCompleter::InlineCompletion);
    name_->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    // Return confirms at once, also while a completion is offered.
    // (The combo box takes the keys and hands them to its line edit directly.)
    name_->installEventFilter(this);
    name_->lineEdit()->installEventFilter(this);
    auto* label = new QLabel(year ? QStringLiteral("&Jahr:") : QStringLiteral("&Zeitraum:"), this);
    label->setBuddy(name_);
    form->addRow(label, name_);
    main->addLayout(form);
    main->addStretch();

    auto* buttons = new QHBoxLayout;
    helpButton_ = new QPushButton(QStringLiteral("?"), this);
    helpButton_->setCheckable(true);
    helpButton_->setFixedWidth(32);
    helpButton_->setToolTip(QStringLiteral("Hilfe ein/aus"));
    helpButton_->setAutoDefault(false);
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setAutoDefault(false);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    buttons->addWidget(helpButton_);
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    main->addSpacing(10);
    main->addLayout(buttons);
    outer->addLayout(main, 1);

    help_ = new QLabel(helpText(kind), this);
    help_->setObjectName(QStringLiteral("helpDrawer"));
    help_->setWordWrap(true);
    help_->setTextFormat(Qt::RichText);
    help_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    help_->setFixedWidth(230);
    help_->setStyleSheet(
        QStringLiteral("QLabel { background: palette(alternate-base); padding: 8px; "
                       "border: 1px solid palette(mid); border-radius: 4px; }"));
    help_->setVisible(false);
    outer->addWidget(help_);
    // Wide enough for the whole title in the window's title bar.
    setMinimumWidth(year ? 300 : 360);

    setTabOrder(name_, cancel);
    setTabOrder(cancel, ok);
    setTabOrder(ok, helpButton_);

    connect(name_, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (syncing_ || !sheetIsMine()) return;
        kind_ == Kind::Year ? c_.setYearName(text) : c_.setListTitle(text);
    });
    connect(ok, &QPushButton::clicked, this, &NameSheet::accept);
    connect(cancel, &QPushButton::clicked, this, &NameSheet::reject);
    connect(helpButton_, &QPushButton::toggled, this, [this](bool on) {
        help_->setVisible(on);
        adjustSize();
    });
}

YearsController::SheetKind NameSheet::controllerKind() const {
    return kind_ == Kind::Year ? YearsController::SheetKind::Year
                               : YearsController::SheetKind::Statement;
}

bool NameSheet::sheetIsMine() const {
    return c_.sheet().kind == controllerKind();
}

void NameSheet::addNew() {
    kind_ == Kind::Year ? c_.addYear() : c_.addList();
    emit listsChanged();
    if (sheetIsMine()) present();
}

void NameSheet::editSelected() {
    kind_ == Kind::Year ? c_.editYear() : c_.editList();
    if (sheetIsMine()) present();
}

void NameSheet::deleteSelected() {
    kind_ == Kind::Year ? c_.deleteYear() : c_.deleteList();
    emit listsChanged();
}

void NameSheet::present() {
    const YearsController::Sheet& sheet = c_.sheet();
    const bool year = kind_ == Kind::Year;
    setWindowTitle(
        year ? (sheet.isNew ? QStringLiteral("Neues Jahr") : QStringLiteral("Jahr bearbeiten"))
             : (sheet.isNew ? QStringLiteral("Neue Abrechnung")
                            : QStringLiteral("Abrechnung bearbeiten")));
    heading_->setText(windowTitle());
    syncing_ = true;
    const QString name = sheet.record->text(year ? keys::dateValue : keys::title);
    const int index = name_->findText(name);
    name_->setCurrentIndex(index);
    name_->setEditText(name);
    syncing_ = false;
    helpButton_->setChecked(sheet.helpDrawer);
    help_->setVisible(sheet.helpDrawer);

    presentSheet(this, [this] {
        name_->setFocus(Qt::OtherFocusReason);
        name_->lineEdit()->selectAll();
    });
}

bool NameSheet::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == name_ || watched == name_->lineEdit()) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void NameSheet::accept() {
    if (!sheetIsMine()) {
        QDialog::accept();
        return;
    }
    // Text typed but not yet handed over (a completion just accepted) counts.
    if (name_->currentText() !=
        c_.sheet().record->text(kind_ == Kind::Year ? keys::dateValue : keys::title))
        kind_ == Kind::Year ? c_.setYearName(name_->currentText())
                            : c_.setListTitle(name_->currentText());
    const bool closed = kind_ == Kind::Year ? c_.closeYear() : c_.closeList();
    if (!closed) {
        // The alert told why; the sheet stays for a name.
        name_->setFocus(Qt::OtherFocusReason);
        name_->lineEdit()->selectAll();
        return;
    }
    QDialog::accept();
    emit listsChanged();
}

void NameSheet::reject() {
    if (sheetIsMine()) kind_ == Kind::Year ? c_.cancelYear() : c_.cancelList();
    QDialog::reject();
    emit listsChanged();
}

// ---- the main window's side ---------------------------------------------------------

namespace {

void bindList(QListView* view, NameSheet* sheet) {
    QObject::connect(view, &QAbstractItemView::doubleClicked, sheet, &NameSheet::editSelected);
    for (const QKeySequence& key :
         {QKeySequence(QKeySequence::Delete), QKeySequence(Qt::Key_Backspace)}) {
        auto* shortcut = new QShortcut(key, view, nullptr, nullptr, Qt::WidgetShortcut);
        QObject::connect(shortcut, &QShortcut::activated, sheet, &NameSheet::deleteSelected);
    }
    // Return on a row opens it, as in the item list.
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(key, view, nullptr, nullptr, Qt::WidgetShortcut);
        QObject::connect(shortcut, &QShortcut::activated, sheet, &NameSheet::editSelected);
    }
}

}  // namespace

YearListSheets installYearListSheets(MainWindow& window, YearsController& controller,
                                     QuandorAppDelegate& app) {
    YearListSheets sheets;
    sheets.year = new NameSheet(NameSheet::Kind::Year, controller, app, &window);
    sheets.statement = new NameSheet(NameSheet::Kind::Statement, controller, app, &window);
    for (NameSheet* sheet : {sheets.year, sheets.statement})
        QObject::connect(sheet, &NameSheet::listsChanged, &window, &MainWindow::reloadAll);

    // The buttons beside the lists; the toolbar items press them.
    if (QAbstractButton* b = window.button(ToolbarAction::Year)) {
        b->setEnabled(true);
        QObject::connect(b, &QAbstractButton::clicked, sheets.year, &NameSheet::addNew);
    }
    if (QAbstractButton* b = window.button(ToolbarAction::List)) {
        b->setEnabled(true);
        QObject::connect(b, &QAbstractButton::clicked, sheets.statement, &NameSheet::addNew);
    }
    bindList(window.yearView(), sheets.year);
    bindList(window.statementView(), sheets.statement);

    QMenu* edit = nullptr;
    for (QAction* a : window.menuBar()->actions())
        if (a->text() == QStringLiteral("&Bearbeiten")) edit = a->menu();
    if (edit) {
        edit->addSeparator();
        edit->addAction(QStringLiteral("Neues Jahr"), window.button(ToolbarAction::Year),
                        &QAbstractButton::click);
        edit->addAction(QStringLiteral("Jahr bearbeiten"), sheets.year, &NameSheet::editSelected);
        edit->addAction(QStringLiteral("Jahr löschen …"), sheets.year, &NameSheet::deleteSelected);
        edit->addSeparator();
        QAction* newList =
            edit->addAction(QStringLiteral("Neue Abrechnung"), window.button(ToolbarAction::List),
                            &QAbstractButton::click);
        newList->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
        edit->addAction(QStringLiteral("Abrechnung bearbeiten"), sheets.statement,
                        &NameSheet::editSelected);
        edit->addAction(QStringLiteral("Abrechnung löschen …"), sheets.statement,
                        &NameSheet::deleteSelected);
    }
    return sheets;
}

}  // namespace quandor::ui
