#pragma once
// The main window: years, the statements of the selected year, the listed items
// of the selected statement with their sum, the first-steps guide, and the
// buttons the toolbar presses.

#include "core/database.h"
#include "core/selection.h"
#include "core/settings.h"
#include "ui/toolbar_items.h"

#include <QMainWindow>

#include <map>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QListView;
class QSplitter;
class QTableView;

namespace quandor::ui {

class YearListModel;
class StatementListModel;
class ItemTableModel;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow(Database& db, Selection& selection, Settings& settings, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The button an action presses; nullptr for the calculator (no button).
    QAbstractButton* button(ToolbarAction action) const;

    // The whole database changed (loaded, user switched): reread every list.
    void reloadAll();
    // The guide picture and the sum colour, as after every change.
    void updateWindow();
    // The search button: focus the search field.
    void focusSearch();
    // A column of its own right of the item list (the document panels).
    void addSidePanel(QWidget* panel);

    QListView* yearView() const { return yearView_; }
    QListView* statementView() const { return statementView_; }
    QTableView* itemView() const { return itemView_; }
    QLineEdit* searchField() const { return searchField_; }
    QLabel* sumField() const { return sumField_; }
    QLabel* guidePicture() const { return guide_; }
    // The guide picture's name shown now ("ja1" … "ja4"), empty when none.
    QString guideName() const { return guideName_; }

  signals:
    // The main window was closed by the person (the program keeps running).
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void buildButtons();
    void buildLayout();
    void onSelectionChanged(Selection::Change change);
    void syncYearView();
    void syncStatementView();
    void syncItemView();
    void updateSum();

    Database& db_;
    Selection& selection_;
    Settings& settings_;
    int listenerId_ = 0;
    bool syncing_ = false;

    YearListModel* yearModel_ = nullptr;
    StatementListModel* statementModel_ = nullptr;
    ItemTableModel* itemModel_ = nullptr;
    QListView* yearView_ = nullptr;
    QListView* statementView_ = nullptr;
    QTableView* itemView_ = nullptr;
    QLineEdit* searchField_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QLabel* sumField_ = nullptr;
    QLabel* guide_ = nullptr;
    QString guideName_;
    std::map<ToolbarAction, QAbstractButton*> buttons_;
};

}  // namespace quandor::ui
