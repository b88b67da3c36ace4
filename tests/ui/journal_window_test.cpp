// The reports window: what its status line says once a report is chosen.

#include "ui/journal_window.h"

#include "core/keys.h"
#include "core/settings_keys.h"
#include "reports/journal_controller.h"
#include "support/books.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

using namespace quandor;
using namespace quandor::ui;

TEST(JournalWindow, StatusNamesTheChosenReportInsteadOfAskingForOne) {
    test::OpenBooks b;
    QuandorAppDelegate& app = b.app;
    b.settings.setBool(prefs::firstStepsDone, true);
    RecordPtr year = Record::create(RecordClass::Year, app.books().nowStamp());
    year->set(keys::dateValue, QStringLiteral("2024"));
    RecordPtr statement = Record::create(RecordClass::Thelist, app.books().nowStamp());
    statement->set(keys::title, QStringLiteral("Januar"));
    year->thelists().push_back(statement);
    app.database().years.push_back(year);
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
        QStringList offered;
        for (int i = 0; i < format->count(); ++i) offered << format->itemText(i);
        EXPECT_EQ(offered,
                  (QStringList{"PDF", "RTF (Textverarbeitung)", "CSV (Komma getrennt)",
                               "CSV (Semikolon getrennt, nummeriert)", "XML", "Quandor Jahr"}));
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
