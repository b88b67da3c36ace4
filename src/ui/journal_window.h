#pragma once
// The reports window ("Berichte"): four report buttons, preview, print and
// export, a progress bar while a report is made and the help panel. A thin
// view of JournalController: the buttons call its actions, its hooks show
// the progress, the preview and the print dialog.

#include "core/app_delegate.h"
#include "reports/journal_controller.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTextBrowser;

namespace quandor::ui {

class JournalWindow : public QDialog {
    Q_OBJECT
  public:
    JournalWindow(QuandorAppDelegate& app, JournalController& controller,
                  QWidget* parent = nullptr);

    // The toolbar's "Berichte": checks, then shows the window in front.
    void openJournalWindow();

    QPushButton* reportButton(int tag) const { return reports_.at(static_cast<size_t>(tag - 1)); }
    QPushButton* previewButton() const { return preview_; }
    QPushButton* printButton() const { return print_; }
    QPushButton* exportButton() const { return export_; }
    QPushButton* packageButton() const { return package_; }
    // The export format ("prefsSelectedExportJournal"), kept for the next export.
    QComboBox* formatChooser() const { return format_; }
    QProgressBar* progress() const { return progress_; }
    QTextBrowser* helpPanel() const { return help_; }

  private:
    void refreshButtons();
    void setBusy(bool busy);
    void setPackaging(bool busy, const QString& step);

    QuandorAppDelegate& app_;
    JournalController& c_;
    std::array<QPushButton*, 4> reports_{};
    QPushButton* preview_ = nullptr;
    QPushButton* print_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* package_ = nullptr;
    QPushButton* helpButton_ = nullptr;
    QComboBox* format_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QTextBrowser* help_ = nullptr;
};

}  // namespace quandor::ui
