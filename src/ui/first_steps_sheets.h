#pragma once
// The four sheets of the first-steps assistant over the main window: welcome,
// assistant (company and rates), account setup and first entry. They only
// show the controller's state and call its operations; which sheet is up is
// the controller's sheet().

#include "bookkeeping/first_steps_controller.h"
#include "core/settings.h"

#include <QObject>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDialog;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace quandor::ui {

class FirstStepsSheets : public QObject {
    Q_OBJECT
  public:
    FirstStepsSheets(FirstStepsController& controller, Settings& settings, QWidget* window);

    // The welcome sheet ("Hilfe" → "Willkommen …", and at start unless switched off).
    void showWelcome();
    // The assistant straight away ("Hilfe" → "Einrichtungsassistent …").
    void selectAssi();

    QDialog* welcomeSheet() const { return first_; }
    QDialog* assistantSheet() const { return assi_; }
    QDialog* accountSheet() const { return account_; }
    QDialog* entrySheet() const { return entry_; }
    // The sheet the controller has open, or null.
    QDialog* shownSheet() const;

  signals:
    void openPreferences();
    // The assistant ended on a selected statement: open the new item sheet.
    void firstItemWanted();
    // Accounts, year or statement changed: the main window reloads.
    void booksChanged();

  private:
    void buildFirst();
    void buildAssi();
    void buildAccount();
    void buildEntry();
    // Shows the controller's sheet, hides the others.
    void present();
    void loadAssi();
    void loadAccount();
    void loadEntry();

    FirstStepsController& c_;
    Settings& settings_;
    QWidget* window_;
    QDialog* first_ = nullptr;
    QDialog* assi_ = nullptr;
    QDialog* account_ = nullptr;
    QDialog* entry_ = nullptr;
    QCheckBox* dontShow_ = nullptr;
    QPushButton* startSetup_ = nullptr;
    QPushButton* letsGo_ = nullptr;
    QLineEdit* company_ = nullptr;
    QLineEdit* taxID_ = nullptr;
    QDoubleSpinBox* rate1_ = nullptr;
    QDoubleSpinBox* rate2_ = nullptr;
    QCheckBox* backup_ = nullptr;
    QButtonGroup* charts_ = nullptr;
    QLabel* keepLabel_ = nullptr;
    QComboBox* year_ = nullptr;
    QComboBox* period_ = nullptr;
};

}  // namespace quandor::ui
