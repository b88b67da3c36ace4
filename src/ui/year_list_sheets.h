#pragma once
// The year sheet and the statement sheet: modal sheets over the main window
// bound to the years controller's sheet state. The name field writes
// straight into the year ("dateValue") or statement ("title"); OK runs
// closeYear / closeList (a refusal keeps the sheet open after the alert),
// Cancel and Escape run cancelYear / cancelList, which removes a new record
// again or restores an edited one.
//
//   auto sheets = installYearListSheets(mainWindow, controller, delegate);
//   // wires the new-year and new-statement buttons (and with them the toolbar),
//   // the menu entries, double clicks and the Delete key on both lists.

#include "bookkeeping/years_controller.h"
#include "core/app_delegate.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace quandor::ui {

class MainWindow;

class NameSheet : public QDialog {
    Q_OBJECT
  public:
    enum class Kind { Year, Statement };

    NameSheet(Kind kind, YearsController& controller, QuandorAppDelegate& app, QWidget* parent);

    Kind kind() const { return kind_; }
    // New year / new statement: the controller appends the record and the
    // sheet opens on it (unless the controller refused, e.g. no year yet).
    void addNew();
    // Opens the sheet on the selected year / statement; beeps without one.
    void editSelected();
    // Deletes the selected year / statement after the question.
    void deleteSelected();

    QComboBox* nameBox() const { return name_; }

  signals:
    // The years or statements changed (added, renamed, removed, restored).
    void listsChanged();

  public slots:
    void accept() override;  // OK and Return: closeYear / closeList
    void reject() override;  // Abbrechen and Escape: cancelYear / cancelList

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    YearsController::SheetKind controllerKind() const;
    bool sheetIsMine() const;
    void present();

    Kind kind_;
    YearsController& c_;
    QuandorAppDelegate& app_;
    bool syncing_ = false;
    QComboBox* name_ = nullptr;
    QLabel* heading_ = nullptr;
    QLabel* help_ = nullptr;
    QPushButton* helpButton_ = nullptr;
};

struct YearListSheets {
    NameSheet* year = nullptr;
    NameSheet* statement = nullptr;
};

// Builds both sheets over `window` and wires the window to them.
YearListSheets installYearListSheets(MainWindow& window, YearsController& controller,
                                     QuandorAppDelegate& app);

}  // namespace quandor::ui
