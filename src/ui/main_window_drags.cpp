#include "ui/main_window_drags.h"

#include "bookkeeping/array_controller.h"
#include "ui/main_window.h"
#include "ui/row_drag.h"

#include <QAbstractButton>
#include <QListView>
#include <QShortcut>
#include <QTableView>

namespace quandor::ui {

namespace {

RowDrag::Hooks reorderHooks(MainWindow& window, ArrayController& controller,
                            ArrayController::ListKind list) {
    RowDrag::Hooks hooks;
    hooks.moveType = ArrayController::moveDragType(list);
    hooks.writeRows = [&controller, list](const std::vector<int>& rows) {
        return controller.writeRows(list, rows);
    };
    hooks.dropBetween = [&controller, list](const QString& type, const QByteArray& data, int row) {
        return controller.acceptMoveDrop(list, type, data, row);
    };
    hooks.changed = [&window] { window.reloadAll(); };
    return hooks;
}

}  // namespace

void installListDrags(MainWindow& window, ArrayController& controller) {
    using List = ArrayController::ListKind;
    new RowDrag(window.yearView(), reorderHooks(window, controller, List::Years));

    RowDrag::Hooks statements = reorderHooks(window, controller, List::Statements);
    statements.onRowType = ArrayController::moveDragType(List::Items);
    statements.dropOnRow = [&controller](const QString& type, int row) {
        return controller.addDroppedItem(type, row);
    };
    new RowDrag(window.statementView(), std::move(statements));

    new RowDrag(window.itemView(), reorderHooks(window, controller, List::Items));

    auto deleteItem = [&window, &controller] {
        if (controller.remove(List::Items)) window.reloadAll();
    };
    if (QAbstractButton* button = window.button(ToolbarAction::DeleteItem)) {
        button->setEnabled(true);
        QObject::connect(button, &QAbstractButton::clicked, &window, deleteItem);
    }
    for (const QKeySequence& key :
         {QKeySequence(QKeySequence::Delete), QKeySequence(Qt::Key_Backspace)}) {
        auto* shortcut =
            new QShortcut(key, window.itemView(), nullptr, nullptr, Qt::WidgetShortcut);
        QObject::connect(shortcut, &QShortcut::activated, &window, deleteItem);
    }
}

}  // namespace quandor::ui
