#pragma once
// The VAT return window: the statement's totals, its payment block, the check
// box that marks the return as created (and books it), the note of the return,
// and the hand-over to the ELSTER client. A thin view of VoranmeldungController.

#include "bookkeeping/voranmeldung_controller.h"
#include "core/app_delegate.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace quandor::ui {

class VoranmeldungWindow : public QDialog {
    Q_OBJECT
  public:
    // `controller` is the program's VAT return controller.
    VoranmeldungWindow(QuandorAppDelegate& app, VoranmeldungController& controller,
                       QWidget* parent = nullptr);
    ~VoranmeldungWindow() override;

    VoranmeldungController& controller() { return controller_; }

    // The toolbar's "Voranmeldung": checks, then shows the window for the selected statement.
    void openForSelection();
    // Rereads everything shown from the controller and the statement.
    void refresh();

    QLineEdit* totalField(int index) const { return totals_[static_cast<size_t>(index)]; }
    QCheckBox* createdBox() const { return created_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void build();
    QLineEdit* paymentEdit(Key key);
    void paymentEdited(QLineEdit* edit, Key key);
    void runBusy(const std::function<void()>& work);
    // The main window chose another statement or lists other items: the
    // figures follow, once per burst of changes.
    void scheduleRecompute();

    QuandorAppDelegate& app_;
    VoranmeldungController& controller_;
    bool updating_ = false;
    bool recomputePending_ = false;
    int listenerId_ = 0;

    QLabel* filterNote_ = nullptr;  // shown while the search filter hides items
    QLabel* heading_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    std::array<QLineEdit*, 11> totals_{};  // in the order of totalFields()
    std::array<QLabel*, 3> rateLabels_{};
    QLineEdit* payment_ = nullptr;
    QLineEdit* additionalPayment_ = nullptr;
    QLineEdit* rePayment_ = nullptr;
    QLineEdit* balance_ = nullptr;
    QCheckBox* created_ = nullptr;
    QLabel* createdDate_ = nullptr;
    QLineEdit* bookedRefund_ = nullptr;
    QLineEdit* bookedPayment_ = nullptr;
    QLineEdit* bookedBalance_ = nullptr;
    QPlainTextEdit* comment_ = nullptr;
    QLabel* help_ = nullptr;
    QPushButton* helpButton_ = nullptr;
    QPushButton* print_ = nullptr;
    QPushButton* preview_ = nullptr;
};

}  // namespace quandor::ui
