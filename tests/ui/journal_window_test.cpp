// The reports window: what its status line says once a report is chosen.

#include "ui/journal_window.h"

#include "core/app_delegate.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "reports/journal_controller.h"
#include "support/fake_ui.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

using namespace quandor;
using namespace quandor::ui;

TEST(JournalWindow, StatusNamesTheChosenReportInsteadOfAskingForOne) {
    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("Quandor.conf")));
    settings.setBool(prefs::firstStepsDone, true);
    test::FakeUi ui;
    QuandorAppDelegate app(settings, ui, Paths::under(dir.path()));
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
