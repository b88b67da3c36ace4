#pragma once
// Drag and drop in the main window: years, statements and items are reordered
// by drag within their tables, and an item dragged onto a statement row is
// copied into that statement. Also deleting the selected item ("Posten
// löschen", the delete key in the item table) after the question.

namespace quandor {
class ArrayController;
}

namespace quandor::ui {

class MainWindow;

void installListDrags(MainWindow& window, ArrayController& controller);

}  // namespace quandor::ui
