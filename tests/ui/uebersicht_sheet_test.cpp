// The year overview sheet: which month boxes show, and bars that stay empty
// when the year has no income or no expenses at all.

#include "ui/uebersicht_sheet.h"

#include "bookkeeping/item_calculation.h"
#include "bookkeeping/uebersicht_controller.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "support/books.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>

using namespace quandor;
using namespace quandor::ui;

TEST(UebersichtSheet, MonthsWithItemsShowAndBarsOfAYearWithoutExpensesStayEmpty) {
    test::OpenBooks b;
    QuandorAppDelegate& app = b.app;
    test::FakeUi& ui = b.ui;
    RecordPtr year = Record::create(RecordClass::Year, app.books().nowStamp());
    year->set(keys::dateValue, QStringLiteral("2024"));
    app.database().years.push_back(year);
    app.selection().setYearIndex(0);
    UebersichtController controller(app.books());
    UebersichtSheet sheet(controller, nullptr);

    // No statements: the alert, and the sheet stays closed.
    sheet.generateUebersicht();
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_EQ(ui.alerts[0].message, UebersichtController::kNoStatements);
    EXPECT_FALSE(sheet.isVisible());

    RecordPtr statement = Record::create(RecordClass::Thelist, app.books().nowStamp());
    year->thelists().push_back(statement);
    auto add = [&](const char* day, float amount) {
        RecordPtr item = Record::create(RecordClass::Item, app.books().nowStamp());
        item->set(keys::kind, kKindIncome);
        item->set(keys::amount, amount);
        const auto when = QDateTime::fromString(
            QString::fromLatin1(day) + QStringLiteral("T12:00:00Z"), Qt::ISODate);
        item->set(keys::date, Date::fromUnix(static_cast<double>(when.toSecsSinceEpoch())));
        applyCalculation(*item, TaxRates{});
        statement->items().push_back(item);
    };
    add("2024-01-10", 1000);
    add("2024-03-05", 3000);
    add("2024-06-01", 0);
    sheet.generateUebersicht();
    EXPECT_TRUE(controller.isOpen());
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(!sheet.monthBox(m)->isHidden(), m == 1 || m == 3 || m == 6) << m;
    EXPECT_EQ(sheet.incomeBar(1)->value(), 25);
    EXPECT_EQ(sheet.incomeBar(3)->value(), 75);
    EXPECT_EQ(sheet.incomeBar(6)->value(), 0);
    EXPECT_EQ(sheet.yearIncome()->text(), amountText(4000.0f));
    EXPECT_NE(sheet.chart(), nullptr);
    sheet.reject();
    EXPECT_FALSE(controller.isOpen());
}
