#pragma once
// The desktop program over a temporary data folder: the controllers ask
// through the scripted port, the shell's own windows through Qt's.

#include "core/app_delegate.h"
#include "core/settings.h"
#include "sample_database.h"
#include "support/fake_ui.h"
#include "ui/desktop_shell.h"
#include "ui/main_window.h"
#include "ui/qt_ui_port.h"

#include <QAction>
#include <QTemporaryDir>

namespace quandor::test {

struct ShellDesk {
    QTemporaryDir dir;
    Settings settings{dir.filePath(QStringLiteral("Quandor.conf"))};
    FakeUi ui;
    ui::QtUiPort shellUi;
    QuandorAppDelegate app{settings, ui, Paths::under(dir.path())};
    ui::DesktopShell shell{app, shellUi};

    // The sample books with one statement of one year selected.
    void openSample(int year, int statement) {
        app.selection().refresh();
        app.selection().setYearIndex(year);
        app.selection().setStatementIndex(statement);
        shell.mainWindow().reloadAll();
    }
    RecordList& items() { return app.selection().selectedStatement()->items(); }
    QAction* action(const QString& name) { return shell.mainWindow().findChild<QAction*>(name); }
};

}  // namespace quandor::test
