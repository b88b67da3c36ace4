#pragma once
// The import windows of the item list: the CSV import sheet with its example
// window, the Fennick preview sheet and the GrandTotal import sheet, the menu
// entries "Ablage ▸ Posten importieren", and files dropped on the item table.
// They show what the import controller holds and call its operations; the
// controller decides everything else.

#include "import/import_controller.h"

#include <QDialog>
#include <QPointer>

#include <memory>

class QComboBox;
class QLabel;
class QProgressDialog;
class QPushButton;
class QTableWidget;

namespace quandor {
class QuandorAppDelegate;
}

namespace quandor::ui {

class MainWindow;

// The CSV import sheet: what the file must look like, four check boxes to
// go through it, the example, the help page and the file choice.
class CsvImportSheet : public QDialog {
    Q_OBJECT
  public:
    CsvImportSheet(ItemImportController& controller, const QString& statement, QWidget* parent);
};

// An example of the expected layout, which can be saved as a file to start from.
class CsvExampleWindow : public QDialog {
    Q_OBJECT
  public:
    CsvExampleWindow(ItemImportController& controller, QWidget* parent);
};

// The positions of a Fennick invoice and the choices of date, account and category.
class FennickImportSheet : public QDialog {
    Q_OBJECT
  public:
    FennickImportSheet(ItemImportController& controller, QWidget* parent);
    // Shows the previewed items and the choices as the controller holds them.
    void refresh();

  private:
    ItemImportController& controller_;
    QLabel* summary_;
    QTableWidget* table_;
    QComboBox* date_;
    QPushButton* import_;
};

// Kind, tax, rate, date, account and category for all invoices of a GrandTotal list.
class GrandTotalImportSheet : public QDialog {
    Q_OBJECT
  public:
    GrandTotalImportSheet(ItemImportController& controller, Settings& settings, QWidget* parent);
};

class ImportSheets : public QObject {
    Q_OBJECT
  public:
    ImportSheets(QuandorAppDelegate& app, MainWindow& window);
    ~ImportSheets() override;
    ItemImportController& controller() { return *controller_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void sync();
    void addMenu();

    QuandorAppDelegate& app_;
    MainWindow& window_;
    std::unique_ptr<ItemImportController> controller_;
    QPointer<QDialog> sheet_;
    ItemImportController::Sheet shown_ = ItemImportController::Sheet::None;
    QPointer<CsvExampleWindow> example_;
    QPointer<QProgressDialog> progress_;
};

// Creates the import windows for the main window (owned by it).
ImportSheets* installImportSheets(QuandorAppDelegate& app, MainWindow& window);

}  // namespace quandor::ui
