#pragma once
// The calculator sheet over the item sheet: "Aufteilen" replaces the item's
// amount by a share of it (25 %, 50 % or an own percentage), "Netto zu Brutto"
// by a typed net amount plus VAT at the item's rate. The pages and the share
// are remembered in the settings; the work is the split controller's.
//
// Usage from the item sheet's button:
//     SplitSheet::run(controller, settings, item, this);   // true when the amount changed

#include "bookkeeping/split_controller.h"

#include <QDialog>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace quandor::ui {

class SplitSheet : public QDialog {
    Q_OBJECT
  public:
    SplitSheet(SplitController& controller, Settings& settings, QWidget* parent = nullptr);

    // Opens the sheet modally over `parent` on `item` (null: the item of the
    // item sheet the controller works over). True when the amount was changed; the
    // derived keys follow on the next turn of the event loop.
    static bool run(SplitController& controller, Settings& settings, RecordPtr item,
                    QWidget* parent);

    // Prepares the sheet for `item` without showing it; false (after a beep)
    // when there is no item.
    bool prepare(RecordPtr item);

    QTabWidget* pages() const { return pages_; }
    QLineEdit* netAmountField() const { return net_; }
    QLineEdit* customField() const { return custom_; }
    QRadioButton* shareButton(int index) const;

  public slots:
    void accept() override;  // "Übernehmen": splitAction; stays open on a refusal
    void reject() override;  // "Abbrechen"

  private:
    void loadFromSettings();

    SplitController& controller_;
    Settings& settings_;
    QTabWidget* pages_ = nullptr;
    QButtonGroup* shares_ = nullptr;
    QLineEdit* custom_ = nullptr;
    QLineEdit* net_ = nullptr;
    QLabel* amountLabel_ = nullptr;
    QLabel* splitSign_ = nullptr;
    QLabel* netSign_ = nullptr;
    QLabel* rateLabel_ = nullptr;
};

}  // namespace quandor::ui
