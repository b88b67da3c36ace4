#pragma once
// The year overview over the main window: a box per month with its income,
// expenses and result without VAT and two bars for its share of the year's
// income and expenses; the year's figures below. Months without items keep
// their box hidden.

#include <QDialog>

#include <array>

class QLabel;
class QProgressBar;
class QGroupBox;

namespace quandor {
class UebersichtController;
struct YearOverview;
}  // namespace quandor

namespace quandor::ui {

// The twelve months as bars: income (green), expenses (red, drawn upwards by
// their amount) and the result (blue) side by side, on one scale.
class OverviewChart : public QWidget {
    Q_OBJECT
  public:
    explicit OverviewChart(QWidget* parent = nullptr);
    void setOverview(const YearOverview& overview);
    QSize sizeHint() const override { return {720, 220}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::array<double, 12> income_{}, expense_{}, result_{};
};

class UebersichtSheet : public QDialog {
    Q_OBJECT
  public:
    UebersichtSheet(UebersichtController& controller, QWidget* parent);

    // generateUebersicht: opens the sheet on the selected year (or alerts).
    void generateUebersicht();
    // Shows the controller's figures.
    void showFigures();

    QGroupBox* monthBox(int month) const { return months_[static_cast<size_t>(month - 1)].box; }
    QProgressBar* incomeBar(int month) const {
        return months_[static_cast<size_t>(month - 1)].incomeBar;
    }
    QLabel* yearIncome() const { return yearIncome_; }
    OverviewChart* chart() const { return chart_; }

  public slots:
    void reject() override;

  private:
    struct MonthBox {
        QGroupBox* box = nullptr;
        QLabel *income = nullptr, *expense = nullptr, *result = nullptr;
        QProgressBar *incomeBar = nullptr, *expenseBar = nullptr;
    };
    UebersichtController& c_;
    std::array<MonthBox, 12> months_{};
    QLabel* title_ = nullptr;
    OverviewChart* chart_ = nullptr;
    QLabel *yearIncome_ = nullptr, *yearExpense_ = nullptr, *yearResult_ = nullptr;
};

}  // namespace quandor::ui
