#pragma once
// The cash book window: the list of cash books, the entries of the selected one
// (by number), and the buttons for a new cash book, a deposit, a reversal,
// deleting and the CSV and PDF export. Also the take-over sheet that the item
// list opens for its selected item. A thin view of KassenbuchController: the
// sheets follow the controller's sheet state, their texts go straight into
// the settings the controller reads.

#include "cashbook/kassenbuch_controller.h"
#include "core/app_delegate.h"
#include "ui/list_window.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace quandor::ui {

// The take-over sheet over the item list: description, receipt and account.
class TakeOverSheet : public QDialog {
    Q_OBJECT
  public:
    TakeOverSheet(KassenbuchController& controller, QuandorAppDelegate& app, QWidget* parent);
    // Checks the item list's first selected item and opens the sheet.
    void openForSelection();
    QLineEdit* descriptionField() const { return description_; }
    QLineEdit* receiptField() const { return receipt_; }
    QLineEdit* accountField() const { return account_; }

  signals:
    void takenOver();

  public slots:
    void accept() override;
    void reject() override;

  private:
    KassenbuchController& c_;
    QuandorAppDelegate& app_;
    QLineEdit* description_ = nullptr;
    QLineEdit* receipt_ = nullptr;
    QLineEdit* account_ = nullptr;
};

class KassenbuchWindow : public ListWindow {
    Q_OBJECT
  public:
    KassenbuchWindow(QuandorAppDelegate& app, KassenbuchController& controller,
                     QWidget* parent = nullptr);
    ~KassenbuchWindow() override;

    // The toolbar's "Kassenbuch": shows the window and brings it to the front.
    void openKassenbuch();
    // Rereads both lists from the data and the selection.
    void refresh();

    void addCashBook();     // the new-cash-book sheet
    void openDeposit();     // the deposit sheet
    void deleteCashBook();  // asks first
    void stornoSelected();  // reverses the selected entry
    void exportCsv();
    void exportPdf();

    QListWidget* cashBookList() const { return books_; }
    QTableWidget* entryTable() const { return entries_; }
    QDialog* addSheet() const { return addSheet_; }
    QComboBox* addSheetYears() const { return years_; }
    QDialog* depositSheet() const { return depositSheet_; }

  private:
    void buildAddSheet();
    void buildDepositSheet();
    void fillEntries();

    QuandorAppDelegate& app_;
    KassenbuchController& c_;
    int listenerId_ = 0;

    QListWidget* books_ = nullptr;
    QTableWidget* entries_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* deposit_ = nullptr;
    QPushButton* storno_ = nullptr;

    QDialog* addSheet_ = nullptr;
    QComboBox* years_ = nullptr;
    QCheckBox* carry_ = nullptr;
    QLineEdit* carryAmount_ = nullptr;
    QLineEdit* carryText_ = nullptr;

    QDialog* depositSheet_ = nullptr;
    QLineEdit* depositText_ = nullptr;
    QLineEdit* depositAmount_ = nullptr;
};

}  // namespace quandor::ui
