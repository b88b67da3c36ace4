#include "ui/uebersicht_sheet.h"

#include "bookkeeping/uebersicht_controller.h"
#include "core/number_texts.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace quandor::ui {

namespace {

QLabel* figure(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QProgressBar* bar(const QString& colour, QWidget* parent) {
    auto* b = new QProgressBar(parent);
    b->setRange(0, 100);
    b->setTextVisible(false);
    b->setFixedHeight(8);
    b->setStyleSheet(
        QStringLiteral("QProgressBar { border: 1px solid palette(mid); border-radius: 3px; }"
                       "QProgressBar::chunk { background: %1; border-radius: 2px; }")
            .arg(colour));
    return b;
}

QString money(double value) {
    return amountText(static_cast<float>(value));
}

int barValue(double share) {
    if (!std::isfinite(share)) return 0;
    return static_cast<int>(std::lround(std::clamp(share, 0.0, 100.0)));
}

}  // namespace

OverviewChart::OverviewChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("uebersichtChart"));
    setMinimumHeight(180);
    setAccessibleName(QStringLiteral("Einnahmen, Ausgaben und Ergebnis der zwölf Monate"));
}

void OverviewChart::setOverview(const YearOverview& o) {
    for (size_t m = 0; m < 12; ++m) {
        income_[m] = o.months[m].income;
        expense_[m] = o.months[m].expense;
        result_[m] = o.months[m].result;
    }
    update();
}

void OverviewChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics fm(font());
    const double left = 8, right = width() - 8.0, top = 8, bottom = height() - fm.height() - 6.0;
    // One scale from the lowest result to the highest bar; expenses stand up by their amount.
    double high = 0, low = 0;
    for (size_t m = 0; m < 12; ++m) {
        for (double v : {income_[m], -expense_[m], result_[m]})
            if (std::isfinite(v)) high = std::max(high, v), low = std::min(low, v);
    }
    if (high - low <= 0) high = 1;
    const double span = high - low;
    auto y = [&](double v) { return bottom - (v - low) / span * (bottom - top); };
    const double zero = y(0);
    const double slot = (right - left) / 12.0;
    const double bar = std::max(2.0, slot / 4.0);
    const QLocale german(QLocale::German, QLocale::Germany);
    const QColor colours[] = {QColor(0x3b, 0x9c, 0x4a), QColor(0xc9, 0x4a, 0x3d),
                              QColor(0x2f, 0x6f, 0xb5)};
    p.setPen(palette().color(QPalette::Mid));
    p.drawLine(QPointF(left, zero), QPointF(right, zero));
    for (int m = 0; m < 12; ++m) {
        const double x0 = left + m * slot + (slot - 3 * bar) / 2;
        const double values[] = {income_[static_cast<size_t>(m)], -expense_[static_cast<size_t>(m)],
                                 result_[static_cast<size_t>(m)]};
        for (int k = 0; k < 3; ++k) {
            const double v = std::isfinite(values[k]) ? values[k] : 0.0;
            const double yv = y(v);
            p.fillRect(QRectF(x0 + k * bar, std::min(yv, zero), bar - 1, std::abs(zero - yv)),
                       colours[k]);
        }
        p.setPen(palette().color(QPalette::WindowText));
        const QString name = german.standaloneMonthName(m + 1, QLocale::ShortFormat);
        p.drawText(QRectF(left + m * slot, bottom + 4, slot, fm.height()), Qt::AlignHCenter, name);
    }
}

UebersichtSheet::UebersichtSheet(UebersichtController& controller, QWidget* parent)
    : QDialog(parent), c_(controller) {
    setObjectName(QStringLiteral("uebersichtSheet"));
    setWindowTitle(QStringLiteral("Übersicht"));
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    title_ = new QLabel(this);
    QFont f = title_->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.2);
    title_->setFont(f);
    layout->addWidget(title_);
    auto* note = new QLabel(
        QStringLiteral("Alle Beträge ohne Umsatzsteuer. Die Balken zeigen den Anteil des Monats "
                       "an den Einnahmen (grün) und Ausgaben (rot) des Jahres."),
        this);
    note->setWordWrap(true);
    layout->addWidget(note);

    chart_ = new OverviewChart(this);
    layout->addWidget(chart_);
    auto* legend =
        new QLabel(QStringLiteral("<span style=\"color:#3b9c4a\">■</span> Einnahmen &nbsp; "
                                  "<span style=\"color:#c94a3d\">■</span> Ausgaben &nbsp; <span "
                                  "style=\"color:#2f6fb5\">■</span> Ergebnis"),
                   this);
    layout->addWidget(legend);

    auto* grid = new QGridLayout;
    const QLocale german(QLocale::German, QLocale::Germany);
    for (int m = 0; m < 12; ++m) {
        MonthBox& box = months_[static_cast<size_t>(m)];
        box.box = new QGroupBox(german.standaloneMonthName(m + 1), this);
        auto* form = new QGridLayout(box.box);
        box.income = figure(box.box);
        box.expense = figure(box.box);
        box.result = figure(box.box);
        box.incomeBar = bar(QStringLiteral("#3b9c4a"), box.box);
        box.expenseBar = bar(QStringLiteral("#c94a3d"), box.box);
        form->addWidget(new QLabel(QStringLiteral("Einnahmen"), box.box), 0, 0);
        form->addWidget(box.income, 0, 1);
        form->addWidget(box.incomeBar, 1, 0, 1, 2);
        form->addWidget(new QLabel(QStringLiteral("Ausgaben"), box.box), 2, 0);
        form->addWidget(box.expense, 2, 1);
        form->addWidget(box.expenseBar, 3, 0, 1, 2);
        form->addWidget(new QLabel(QStringLiteral("Ergebnis"), box.box), 4, 0);
        form->addWidget(box.result, 4, 1);
        box.box->setMinimumWidth(170);
        grid->addWidget(box.box, m / 4, m % 4);
    }
    layout->addLayout(grid);

    auto* yearBox = new QGroupBox(QStringLiteral("Jahr"), this);
    auto* yearLine = new QHBoxLayout(yearBox);
    yearIncome_ = figure(yearBox);
    yearExpense_ = figure(yearBox);
    yearResult_ = figure(yearBox);
    yearLine->addWidget(new QLabel(QStringLiteral("Einnahmen:"), yearBox));
    yearLine->addWidget(yearIncome_);
    yearLine->addSpacing(16);
    yearLine->addWidget(new QLabel(QStringLiteral("Ausgaben:"), yearBox));
    yearLine->addWidget(yearExpense_);
    yearLine->addSpacing(16);
    yearLine->addWidget(new QLabel(QStringLiteral("Ergebnis:"), yearBox));
    yearLine->addWidget(yearResult_);
    layout->addWidget(yearBox);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* print =
        buttons->addButton(QStringLiteral("Als PDF sichern …"), QDialogButtonBox::ActionRole);
    print->setObjectName(QStringLiteral("uebersichtPrint"));
    QPushButton* close =
        buttons->addButton(QStringLiteral("Schließen"), QDialogButtonBox::RejectRole);
    close->setDefault(true);
    connect(print, &QPushButton::clicked, this, [this] { c_.printUebersicht(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void UebersichtSheet::generateUebersicht() {
    if (!c_.generateUebersicht()) return;
    showFigures();
    open();
}

void UebersichtSheet::showFigures() {
    const YearOverview& o = c_.overview();
    title_->setText(QStringLiteral("Jahresübersicht %1").arg(o.yearName));
    for (size_t m = 0; m < 12; ++m) {
        const OverviewMonth& figures = o.months[m];
        MonthBox& box = months_[m];
        box.income->setText(money(figures.income));
        box.expense->setText(money(figures.expense));
        box.result->setText(money(figures.result));
        box.incomeBar->setValue(barValue(figures.incomeShare));
        box.expenseBar->setValue(barValue(figures.expenseShare));
        box.box->setVisible(figures.items > 0);
    }
    yearIncome_->setText(money(o.year.income));
    yearExpense_->setText(money(o.year.expense));
    yearResult_->setText(money(o.year.result));
    chart_->setOverview(o);
    adjustSize();
}

void UebersichtSheet::reject() {
    c_.closeUebersicht();
    QDialog::reject();
}

}  // namespace quandor::ui
