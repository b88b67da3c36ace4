#pragma once
// The depreciation window ("Abschreibungen und GWGs"): the records, the yearly
// item of the selected record, deleting and the CSV and PDF export. Also the
// add sheet that the item list opens for its selected expense. A thin view of
// AllowanceController: the sheet shows the controller's working values and
// hands every choice straight back to it.

#include "assets/allowance_controller.h"
#include "core/app_delegate.h"
#include "ui/list_window.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace quandor::ui {

// The add sheet over the item list: duration, working values, comment and
// whether the compensation item is booked.
class AllowanceAddSheet : public QDialog {
    Q_OBJECT
  public:
    AllowanceAddSheet(AllowanceController& controller, QuandorAppDelegate& app, QWidget* parent);
    // Set-up, duplicate question and refusals for the item list's first
    // selected item, then the sheet.
    void openForSelection();
    QComboBox* durationList() const { return duration_; }
    QLineEdit* commentField() const { return comment_; }
    QCheckBox* compensationBox() const { return compensation_; }
    QCheckBox* monthlyBox() const { return monthly_; }
    QLabel* rateLabel() const { return rate_; }

  signals:
    void added();

  public slots:
    void accept() override;
    void reject() override;

  private:
    void showFigures();

    AllowanceController& c_;
    QuandorAppDelegate& app_;
    QLabel* title_ = nullptr;
    QLabel* netto_ = nullptr;
    QLabel* tax_ = nullptr;
    QComboBox* duration_ = nullptr;
    QLabel* rate_ = nullptr;
    QLabel* compensationAmount_ = nullptr;
    QLabel* endDate_ = nullptr;
    QLineEdit* comment_ = nullptr;
    QCheckBox* compensation_ = nullptr;
    QCheckBox* monthly_ = nullptr;
    QLabel* firstShare_ = nullptr;
};

class AbschreibungWindow : public ListWindow {
    Q_OBJECT
  public:
    AbschreibungWindow(QuandorAppDelegate& app, AllowanceController& controller,
                       QWidget* parent = nullptr);

    // Shows the window centred the first time and brings it to the front.
    void openAllowanceWindow();
    void refresh();

    void bookYearlyItem();  // the selected record's item in the shown statement
    void deleteSelected();  // asks first
    void exportCsv();
    void exportPdf();

    QTableWidget* recordTable() const { return table_; }

  signals:
    // A yearly item was created and waits in the item sheet.
    void yearlyItemOpened();

  private:
    void updateButtons();

    QuandorAppDelegate& app_;
    AllowanceController& c_;
    QTableWidget* table_ = nullptr;
    QPushButton* book_ = nullptr;
    QPushButton* delete_ = nullptr;
};

}  // namespace quandor::ui
