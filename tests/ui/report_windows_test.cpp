// The report windows: the reports window's status line, export format and
// keys; the year overview sheet's month boxes, and bars that stay empty when
// the year has no income or no expenses at all.

#include "bookkeeping/item_calculation.h"
#include "bookkeeping/uebersicht_controller.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "core/settings_keys.h"
#include "reports/journal_controller.h"
#include "support/books.h"
#include "ui/journal_window.h"
#include "ui/uebersicht_sheet.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

using namespace quandor;
using namespace quandor::ui;

namespace {

RecordPtr addYear(QuandorAppDelegate& app) {
    RecordPtr year = Record::create(RecordClass::Year, app.books().nowStamp());
    year->set(keys::dateValue, QStringLiteral("2024"));
    app.database().years.push_back(year);
    return year;
}

}  // namespace

TEST(JournalWindow, StatusNamesTheChosenReportInsteadOfAskingForOne) {
    test::OpenBooks b;
    QuandorAppDelegate& app = b.app;
    b.settings.setBool(prefs::firstStepsDone, true);
    RecordPtr year = addYear(app);
    RecordPtr statement = Record::create(RecordClass::Thelist, app.books().nowStamp());
    statement->set(keys::title, QStringLiteral("Januar"));
    year->thelists().push_back(statement);
    app.selection().setYearIndex(0);
    JournalController journal(app.books());
    JournalWindow window(app, journal);

    auto statusTexts = [&window] {
        QStringList texts;
        for (const QLabel* label : window.findChildren<QLabel*>()) texts << label->text();
        return texts.join(u'\n');
    };
    EXPECT_TRUE(statusTexts().contains(QStringLiteral("Wähle einen Bericht.")));
    window.reportButton(2)->click();
    EXPECT_FALSE(statusTexts().contains(QStringLiteral("Wähle einen Bericht.")));
    EXPECT_TRUE(statusTexts().contains(QStringLiteral("„Übersicht Abrechnungen“")));
    EXPECT_TRUE(window.previewButton()->isEnabled());
}

// "Exportieren …" writes the format chosen beside it, and the choice stays.
TEST(JournalWindow, ExportFormatIsChosenInTheWindowAndKept) {
    test::OpenBooks b;
    Settings& settings = b.settings;
    settings.setInt(prefs::prefsSelectedExportJournal, 2);
    JournalController journal(b.app.books());
    {
        JournalWindow window(b.app, journal);
        QComboBox* format = window.formatChooser();
        ASSERT_NE(format, nullptr);
        EXPECT_EQ(format->currentText(), QStringLiteral("CSV (Komma getrennt)"));
        format->setCurrentIndex(format->findText(QStringLiteral("Quandor Jahr")));
        EXPECT_EQ(settings.getInt(prefs::prefsSelectedExportJournal), 4);
        format->setCurrentIndex(
            format->findText(QStringLiteral("CSV (Semikolon getrennt, nummeriert)")));
        EXPECT_EQ(settings.getInt(prefs::prefsSelectedExportJournal), 9);
    }
    JournalWindow again(b.app, journal);
    EXPECT_EQ(again.formatChooser()->currentText(),
              QStringLiteral("CSV (Semikolon getrennt, nummeriert)"));
}

// The four reports have keys of their own that no other window uses (Ctrl+1
// is the main window's, application-wide).
TEST(JournalWindow, ReportKeysDoNotClashWithTheMainWindowKey) {
    test::OpenBooks b;
    JournalController journal(b.app.books());
    JournalWindow window(b.app, journal);
    for (int tag = 1; tag <= 4; ++tag) {
        EXPECT_EQ(window.reportButton(tag)->shortcut(),
                  QKeySequence(QStringLiteral("Alt+%1").arg(tag)));
        EXPECT_NE(window.reportButton(tag)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_1));
    }
}

TEST(UebersichtSheet, MonthsWithItemsShowAndBarsOfAYearWithoutExpensesStayEmpty) {
    test::OpenBooks b;
    QuandorAppDelegate& app = b.app;
    test::FakeUi& ui = b.ui;
    RecordPtr year = addYear(app);
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
