#include "ui/user_selection.h"

#include "core/users.h"
#include "ui/preference_pages.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quandor::ui {

namespace {

QString taxationName(int64_t art) {
    for (const TaxationChoice& c : taxationChoices())
        if (c.value == art) return QString::fromUtf16(c.name);
    return QString::number(art);
}

}  // namespace

UserSelectionWindow::UserSelectionWindow(UsersController& users, QWidget* parent)
    : QDialog(parent), users_(users) {
    setObjectName(QStringLiteral("userSelectionWindow"));
    setWindowTitle(QStringLiteral("Quandor – Benutzer wählen"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("Mit welchem Benutzer möchtest du arbeiten?"), this);
    QFont f = title->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.2);
    title->setFont(f);
    auto* note = new QLabel(
        QStringLiteral("Jeder Benutzer (jede Firma) hat eine eigene Datenbank. Bis zum nächsten "
                       "Start arbeitet Quandor mit der Datenbank des gewählten Benutzers."),
        this);
    note->setWordWrap(true);

    table_ = new QTableWidget(0, 4, this);
    table_->setObjectName(QStringLiteral("usersTable"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Firma"), QStringLiteral("Steuernummer"),
                                       QStringLiteral("Besteuerung"), QStringLiteral("ID")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(3, QHeaderView::ResizeToContents);
    table_->setAlternatingRowColors(true);
    table_->setWordWrap(false);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int, int) { confirm(); });

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* open = buttons->addButton(QStringLiteral("Öffnen"), QDialogButtonBox::AcceptRole);
    open->setObjectName(QStringLiteral("openUser"));
    open->setDefault(true);
    QPushButton* quit =
        buttons->addButton(QStringLiteral("Quandor beenden"), QDialogButtonBox::RejectRole);
    quit->setObjectName(QStringLiteral("quitInstead"));
    connect(open, &QPushButton::clicked, this, &UserSelectionWindow::confirm);
    connect(quit, &QPushButton::clicked, this, &UserSelectionWindow::quitRequested);

    layout->addWidget(title);
    layout->addWidget(note);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);
    resize(760, 360);
    reload();
}

void UserSelectionWindow::reload() {
    const auto& users = users_.data();
    table_->setRowCount(static_cast<int>(users.size()));
    for (int row = 0; row < static_cast<int>(users.size()); ++row) {
        const Dict& u = users[static_cast<size_t>(row)];
        const QString firma = u.text(userkeys::firma);
        table_->setItem(
            row, 0, new QTableWidgetItem(firma.isEmpty() ? QStringLiteral("(ohne Namen)") : firma));
        table_->setItem(row, 1, new QTableWidgetItem(u.text(userkeys::steuernummer)));
        table_->setItem(row, 2, new QTableWidgetItem(taxationName(u.integer(userkeys::art))));
        table_->setItem(row, 3, new QTableWidgetItem(u.text(userkeys::pfad)));
    }
    if (users_.selectedRow() >= 0) table_->selectRow(users_.selectedRow());
    table_->setFocus();
}

void UserSelectionWindow::confirm() {
    const int row = table_->currentRow();
    if (row < 0) return;
    emit chosen(row);
}

void UserSelectionWindow::keyPressEvent(QKeyEvent* event) {
    // Escape does not close the window: a user must be chosen or the program ended.
    if (event->key() == Qt::Key_Escape) return;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        confirm();
        return;
    }
    QDialog::keyPressEvent(event);
}

void UserSelectionWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    emit quitRequested();
}

}  // namespace quandor::ui
