#pragma once
// The print sheet and the export sheet of the selected statement, modal to
// the main window, and their wiring to the window's print and export buttons
// (which the toolbar's "Drucken" and "Exportieren" press).

#include "bookkeeping/statement_print_controller.h"
#include "core/app_delegate.h"

#include <QDialog>
#include <QPointer>

class QButtonGroup;
class QLabel;
class QPdfDocument;
class QProgressBar;
class QPushButton;

namespace quandor::ui {

class MainWindow;

// Print sheet: the overview is rendered while it shows its progress; then
// "Vorschau" and "Drucken".
class PrintSheet : public QDialog {
    Q_OBJECT
  public:
    PrintSheet(StatementPrintController& controller, QWidget* parent);
    void setRendered(bool rendered);

  private:
    StatementPrintController& controller_;
    QProgressBar* progress_;
    QPushButton* preview_;
    QPushButton* print_;
};

// Export sheet: the format, the overview in a small PDF view, "Exportieren".
class ExportSheet : public QDialog {
    Q_OBJECT
  public:
    ExportSheet(StatementPrintController& controller, Settings& settings, QWidget* parent);
    void showPdf(const QString& path);
    void setRendered(bool rendered);

    // The formats offered, in the sheet's order.
    static const std::vector<std::pair<ExportFormat, QString>>& formats();

  private:
    StatementPrintController& controller_;
    Settings& settings_;
    QButtonGroup* choice_;
    QProgressBar* progress_;
    QPushButton* export_;
    QPdfDocument* document_ = nullptr;
};

// Binds the statement print controller to these sheets and to
// the window's buttons.
class StatementPrinting : public QObject {
    Q_OBJECT
  public:
    StatementPrinting(QuandorAppDelegate& app, MainWindow& window,
                      StatementPrintController& controller);
    ~StatementPrinting() override;
    void openPrintSheet();
    void openExportSheet();
    StatementPrintController& controller() { return controller_; }

  private:
    QuandorAppDelegate& app_;
    MainWindow& window_;
    StatementPrintController& controller_;
    QPointer<PrintSheet> printSheet_;
    QPointer<ExportSheet> exportSheet_;
};

}  // namespace quandor::ui
