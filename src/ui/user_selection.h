#pragma once
// The window at start when several users are in use: the users list with the
// row of "multipleAccountsControllerIndex" selected; "Öffnen" (Enter or a
// double click) opens that user's database, "Quandor beenden" ends the program
// without reading anything.

#include <QDialog>

class QTableWidget;

namespace quandor {
class UsersController;
}

namespace quandor::ui {

class UserSelectionWindow : public QDialog {
    Q_OBJECT
  public:
    UserSelectionWindow(UsersController& users, QWidget* parent = nullptr);
    // Fills the table again from the users list and selects the stored row.
    void reload();

  signals:
    void chosen(int row);
    void quitRequested();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void confirm();
    UsersController& users_;
    QTableWidget* table_ = nullptr;
};

}  // namespace quandor::ui
