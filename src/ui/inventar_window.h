#pragma once
// The inventory window ("Inventar"): the objects with their age, the direct add
// sheet, deleting and the CSV and PDF export; and the sheet that takes the item
// list's selected expense over. A thin view of InventoryController: the sheets
// edit the record the controller created for them.

#include "assets/inventory_controller.h"
#include "core/app_delegate.h"
#include "ui/list_window.h"

#include <QDialog>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace quandor::ui {

// One sheet for both ways in: over the item list (taken over from an item) or
// over the inventory window (direct).
class InventorySheet : public QDialog {
    Q_OBJECT
  public:
    InventorySheet(InventoryController& controller, QuandorAppDelegate& app, bool fromItem,
                   QWidget* parent);
    // Runs the controller's opening (checks, new record) and shows the sheet.
    void openSheet();
    QLineEdit* titleField() const { return title_; }
    QLineEdit* bruttoField() const { return brutto_; }
    QLineEdit* nettoField() const { return netto_; }
    QLineEdit* categoryField() const { return category_; }
    QLineEdit* commentField() const { return comment_; }
    QDateEdit* dateField() const { return date_; }

  signals:
    void added();

  public slots:
    void accept() override;
    void reject() override;

  private:
    bool mine() const;
    // Hands the fields to the record; false (with the German alert) for an amount it cannot read.
    bool commit();

    InventoryController& c_;
    QuandorAppDelegate& app_;
    const bool fromItem_;
    QLineEdit* title_ = nullptr;
    QDateEdit* date_ = nullptr;
    QLineEdit* brutto_ = nullptr;
    QLineEdit* netto_ = nullptr;
    QLineEdit* category_ = nullptr;
    QLineEdit* comment_ = nullptr;
    QDate shownDate_;
};

class InventarWindow : public ListWindow {
    Q_OBJECT
  public:
    InventarWindow(QuandorAppDelegate& app, InventoryController& controller,
                   QWidget* parent = nullptr);

    // Shows the window centred the first time and brings it to the front.
    void showInventoryWindow();
    void refresh();

    void addDirect();       // the direct add sheet
    void deleteSelected();  // asks first
    void exportCsv();
    void exportPdf();

    QTableWidget* objectTable() const { return table_; }
    InventorySheet* directSheet() const { return sheet_; }

  private:
    void updateButtons();

    QuandorAppDelegate& app_;
    InventoryController& c_;
    QTableWidget* table_ = nullptr;
    QPushButton* delete_ = nullptr;
    InventorySheet* sheet_ = nullptr;
};

}  // namespace quandor::ui
