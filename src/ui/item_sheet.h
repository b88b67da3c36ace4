#pragma once
// The item sheet: a modal sheet over the main window bound to the statement
// controller's item entry. Every field writes straight into the item through
// the controller; after each action the sheet shows the controller's state
// again (sign label, enabled amount field, buttons of the mode). The sheet
// hides itself when the controller has closed it.

#include "bookkeeping/add_controller.h"
#include "bookkeeping/split_controller.h"
#include "core/app_delegate.h"

#include <QDialog>

class QButtonGroup;
class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace quandor::ui {

class ItemSheet : public QDialog {
    Q_OBJECT
  public:
    // `split` works the calculator sheet over this sheet.
    ItemSheet(AddController& controller, SplitController& split, QuandorAppDelegate& app,
              QWidget* parent);

    // The window's actions: each runs the controller's operation and shows the result.
    void addItem();
    void editItem();
    // Shows the sheet another window's action has already opened in the controller.
    void showOpenedItem();

    // Shows the controller's state: fields, sign, buttons, drawers.
    void sync();

    QLineEdit* titleField() const { return title_; }
    QLabel* helpDrawer() const { return helpText_; }
    QLineEdit* amountField() const { return amount_; }
    QPushButton* calculatorButton() const { return calculator_; }

  signals:
    // The item list changed (an item confirmed, stepped, cancelled).
    void itemsChanged();

  protected:
    void reject() override;

  private:
    void build();
    QLabel* buddyLabel(const QString& text, QWidget* buddy);
    void present(QWidget* focus);
    // Hands what is typed but not yet handed over (amount and account fields) to
    // the controller; false while the account field holds an unknown number.
    bool commitEdits();
    void confirm();
    void newItem();
    void cancel();
    void step(int delta);
    void afterAction();
    void runSearch(AddController::SearchKind kind);
    // The calculator sheet over this sheet's item (split or gross-up).
    void openCalculator();
    void fillChoices();

    AddController& c_;
    SplitController& split_;
    QuandorAppDelegate& app_;
    bool syncing_ = false;
    bool calculatorOpen_ = false;  // the amount field holds the amount from before the calculator

    QDateEdit* date_ = nullptr;
    QLineEdit* title_ = nullptr;
    QLineEdit* number_ = nullptr;
    QLineEdit* receipt_ = nullptr;
    QComboBox* group_ = nullptr;
    QLineEdit* accountNumber_ = nullptr;
    QComboBox* account_ = nullptr;
    QLabel* busy_ = nullptr;
    QRadioButton* expense_ = nullptr;
    QRadioButton* income_ = nullptr;
    QButtonGroup* kinds_ = nullptr;
    QLabel* sign_ = nullptr;
    QLineEdit* amount_ = nullptr;
    QCheckBox* vat_ = nullptr;
    QComboBox* rate_ = nullptr;
    QPlainTextEdit* comment_ = nullptr;
    QPushButton* calculator_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* template_ = nullptr;
    QPushButton* new_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* helpButton_ = nullptr;
    QPushButton* dateButton_ = nullptr;
    QWidget* helpDrawer_ = nullptr;
    QLabel* helpText_ = nullptr;
    QCalendarWidget* dateDrawer_ = nullptr;
};

}  // namespace quandor::ui
