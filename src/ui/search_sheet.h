#pragma once
// The search sheet over every item of every year (the toolbar's "Suche"):
// a search field filtering as the person types, the list of hits by date,
// the detail sheet on double click and the item's document.

#include "documents/search_controller.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QTableView;

namespace quandor {
class QuandorAppDelegate;
}

namespace quandor::ui {

class MainWindow;
class SearchRowsModel;

class SearchSheet : public QDialog {
    Q_OBJECT
  public:
    SearchSheet(SearchController& search, QWidget* parent);
    // Collects the items and shows the sheet with the search field focused.
    void openSearchSheet();
    void openDetailSheet();

    QLineEdit* searchField() const { return field_; }
    QTableView* list() const { return list_; }

  protected:
    void done(int result) override;

  private:
    void filter(const QString& text);

    SearchController& search_;
    SearchRowsModel* model_ = nullptr;
    QLineEdit* field_ = nullptr;
    QTableView* list_ = nullptr;
    QLabel* count_ = nullptr;
};

// The sheet behind the toolbar's "Suche" and the menu entry "Alle Posten durchsuchen …".
void installSearchSheet(MainWindow& main, QuandorAppDelegate& delegate);

}  // namespace quandor::ui
