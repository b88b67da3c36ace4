#pragma once
// The print sheet and the export sheet of the selected statement, modal to
// the main window, and their wiring to the window's print and export buttons
// (which the toolbar's "Drucken" and "Exportieren" press).

#include "bookkeeping/add_controller.h"

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
    PrintSheet(AddController& controller, QWidget* parent);
    void setRendered(bool rendered);

  private:
    AddController& controller_;
    QProgressBar* progress_;
    QPushButton* preview_;
    QPushButton* print_;
};

// Export sheet: the format, the overview in a small PDF view, "Exportieren".
class ExportSheet : public QDialog {
    Q_OBJECT
  public:
    ExportSheet(AddController& controller, Settings& settings, QWidget* parent);
    void showPdf(const QString& path);
    void setRendered(bool rendered);

    // The formats offered, with their values of "prefsSelectedExportTab".
    static const std::vector<std::pair<int, QString>>& formats();

  private:
    AddController& controller_;
    Settings& settings_;
    QButtonGroup* choice_;
    QProgressBar* progress_;
    QPushButton* export_;
    QPdfDocument* document_ = nullptr;
};

// Binds the statement controller's print and export to these sheets and to
// the window's buttons.
class StatementPrinting : public QObject {
    Q_OBJECT
  public:
    StatementPrinting(QuandorAppDelegate& app, MainWindow& window, AddController& controller);
    ~StatementPrinting() override;
    void openPrintSheet();
    void openExportSheet();
    AddController& controller() { return controller_; }

  private:
    QuandorAppDelegate& app_;
    MainWindow& window_;
    AddController& controller_;
    QPointer<PrintSheet> printSheet_;
    QPointer<ExportSheet> exportSheet_;
};

}  // namespace quandor::ui
