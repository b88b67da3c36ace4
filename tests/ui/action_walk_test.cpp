// Every action of the main window, walked the way a person would: each item
// the toolbar can hold and each entry of each menu of the menu bar (found by
// walking the menus, so a new entry is walked without touching this file), once
// with a year, a statement and an item selected and once with nothing
// selected. Each must reach what the table below names: a window or sheet of
// that class becomes visible, a modal dialog opens, a controller asks or
// reports through its alert or file dialog, or the entry is disabled.

#include "core/app_delegate.h"
#include "core/archive/archive.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "sample_database.h"
#include "support/fake_ui.h"
#include "ui/desktop_shell.h"
#include "ui/main_window.h"
#include "ui/qt_ui_port.h"
#include "ui/toolbar_controller.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <memory>
#include <set>
#include <utility>
#include <vector>

using namespace quandor;
using namespace quandor::ui;
namespace P = quandor::prefs;

namespace {

// What an action must reach, with and without a selection. Each text is the
// start of one outcome of the walk (see Walk::run):
//   "Class:Title"      a window of that class (and title) became visible
//   "alert:Title:Text" a controller's alert; "dialog:Title" its file dialog
//   "focus:name"       the keyboard focus moved to that widget
//   "rows:+N"          the item list gained N rows
//   "fullscreen", "saved", "backup", "calculator", "disabled"
// An empty second column means: the same as with a selection.
struct Expected {
    const char* text;
    const char* selected;
    const char* nothingSelected;
};

// clang-format off
const Expected kExpected[] = {
    // Toolbar (the twelve items; Drucken and Exportieren are not on the
    // default toolbar but can be reached through the same actions).
    {"Neue Abrechnung", "NameSheet:Neue Abrechnung", "alert:Fehler!:Du musst erst ein Jahr anlegen."},
    {"Neues Jahr", "NameSheet:Neues Jahr", ""},
    {"Neuer Posten", "ItemSheet:", "alert:Fehler!:Du musst erst eine Abrechnung anlegen."},
    {"Posten löschen", "alert:Posten löschen:", "beep"},
    {"Rechner", "calculator", ""},
    {"Drucken", "PrintSheet:", "alert:Fehler!:"},
    {"Exportieren", "ExportSheet:", "alert:Fehler!:"},
    {"Berichte", "JournalWindow:", "alert:Fehler!:"},
    {"Suche", "SearchSheet:", ""},
    {"Voranmeldung", "VoranmeldungWindow:", "alert:Fehler!:"},
    {"Kassenbuch", "KassenbuchWindow:", ""},
    {"Übersicht", "UebersichtSheet:", "alert:Fehler!:"},
    // Ablage
    {"Sichern", "saved", ""},
    {"Aus CSV-Datei …", "CsvImportSheet:", "alert:Fehler!:"},
    {"Aus Fennick-Rechnung …", "dialog:Aus Fennick importieren", "alert:Fehler!:"},
    {"Aus GrandTotal-Rechnungsliste …", "dialog:Aus GrandTotal importieren", "alert:Fehler!:"},
    {"Datenbank exportieren …", "dialog:Quandor Datenbank Exportieren", ""},
    {"Datenbank importieren …", "alert:Achtung!:Du bist dabei deine bestehende komplette", ""},
    {"Jahr exportieren …", "dialog:Quandor Jahr Exportieren", "alert:Hinweis!:Bitte wähle zuerst das Jahr"},
    {"Jahr importieren …", "dialog:Quandor Jahr Importieren", ""},
    {"Abrechnung exportieren …", "dialog:Quandor Abrechnung Exportieren", "alert:Hinweis!:Bitte wähle zuerst die Abrechnung"},
    {"Abrechnung importieren …", "dialog:Quandor Abrechnung Importieren", "alert:Hinweis!:Bitte wähle zuerst das Jahr"},
    {"Konten exportieren …", "dialog:Quandor Konten Exportieren", ""},
    {"Konten importieren …", "alert:Achtung!:Du bist dabei deine bestehenden Konten", ""},
    {"Konten als CSV exportieren …", "dialog:CSV Datei Exportieren", ""},
    {"Jetzt sichern", "backup", ""},
    {"Übersicht drucken …", "PrintSheet:", "alert:Fehler!:"},
    {"Übersicht exportieren …", "ExportSheet:", "alert:Fehler!:"},
    {"DATEV-Export des Jahres …", "alert:Achtung!:Diese Posten kann DATEV nicht", "alert:Fehler!:Wähle bitte zuerst ein Jahr aus."},
    {"DATEV-Export der Abrechnung …", "alert:Achtung!:Diese Posten kann DATEV nicht", "alert:Fehler!:Wähle bitte zuerst eine Abrechnung aus."},
    {"Einstellungen …", "PreferencePanel:", ""},
    {"Quandor beenden", "saved", ""},
    // Bearbeiten
    {"Posten suchen", "focus:searchField", ""},
    {"Posten bearbeiten", "ItemSheet:", "beep"},
    {"Posten duplizieren", "rows:+1", "beep"},
    {"Vorlage aus Posten erstellen", "PreferencePanel:Einstellungen - Vorlagen", "beep"},
    {"Jahr bearbeiten", "NameSheet:", "beep"},
    {"Jahr löschen …", "alert:Jahr löschen:", "beep"},
    {"Abrechnung bearbeiten", "NameSheet:", "beep"},
    {"Abrechnung löschen …", "alert:Abrechnung löschen:", "beep"},
    {"In das Kassenbuch übernehmen …", "TakeOverSheet:", "alert:"},
    {"Zu den Abschreibungen hinzufügen …", "AllowanceAddSheet:", "beep"},
    {"In die Inventarliste übernehmen …", "InventorySheet:", "beep"},
    {"Alle Posten durchsuchen …", "SearchSheet:", ""},
    // Darstellung
    {"Symbolleiste anpassen …", "ToolbarCustomizeDialog:", ""},
    {"Vollbild ein/aus", "fullscreen", ""},
    // Fenster
    {"Quandor", "MainWindow:", ""},
    {"Einstellungen", "PreferencePanel:", ""},
    {"Voranmeldung …", "VoranmeldungWindow:", "alert:Fehler!:"},
    {"Jahresübersicht …", "UebersichtSheet:", "alert:Fehler!:"},
    {"Berichte …", "JournalWindow:", "alert:Fehler!:"},
    {"Kassenbuch …", "KassenbuchWindow:", ""},
    {"Abschreibungen und GWGs …", "AbschreibungWindow:", ""},
    {"Inventar …", "InventarWindow:", ""},
    // Hilfe
    {"Willkommen …", "QDialog:Willkommen", ""},
    {"Einrichtungsassistent …", "QDialog:", ""},
    {"Hilfe ein/aus", "InfoWindow:Hilfe", ""},
    {"Dokumentation ein/aus", "InfoWindow:Dokumentation", ""},
    {"Handbuch", "HandbookWindow:", ""},
    {"Über Quandor", "AboutWindow:", ""},
};
// clang-format on

const Expected* expectedFor(const QString& text) {
    for (const Expected& e : kExpected)
        if (text == QString::fromUtf8(e.text)) return &e;
    return nullptr;
}

QString describe(const QWidget* w) {
    QString cls = QString::fromLatin1(w->metaObject()->className());
    cls = cls.mid(cls.lastIndexOf(u':') + 1);
    return cls + u':' + w->windowTitle();
}

// The fake port answers every question with "Abbrechen" where it is offered,
// so the walk deletes and overwrites nothing.
class CancellingUi : public test::FakeUi {
  public:
    int alert(AlertStyle style, const QString& title, const QString& message,
              const QStringList& buttons) override {
        const qsizetype cancel = buttons.indexOf(QStringLiteral("Abbrechen"));
        answers.push_front(cancel < 0 ? 0 : int(cancel));
        return FakeUi::alert(style, title, message, buttons);
    }
};

// Notes every window that is shown, also one whose modal loop ends at once.
class ShownWindows : public QObject {
  public:
    QStringList shown;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            if (w->isWindow() && !qobject_cast<QMenu*>(w)) shown << describe(w);
        }
        return false;
    }
};

struct Walk {
    QTemporaryDir dir;
    Settings settings{dir.filePath(QStringLiteral("Quandor.conf"))};
    CancellingUi ui;
    QtUiPort shellUi;
    std::unique_ptr<QuandorAppDelegate> app;
    std::unique_ptr<DesktopShell> shell;
    QString dbPath = dir.filePath(QStringLiteral("Quandor.db"));
    QString calculatorMark = dir.filePath(QStringLiteral("rechner-lief"));
    QStringList modals;  // modal widgets the closer met (and closed)
    QTimer closer;
    ShownWindows shownWindows;

    Walk() {
        settings.setBool(P::veryFirstAlertDone, true);
        settings.setBool(P::prefsAlwaysShowWelcomeSheet, true);
        settings.setBool(P::firstStepsDone, true);
        settings.setBool(P::isSetupDone, true);
        ui.runScheduledAtOnce = true;
        app = std::make_unique<QuandorAppDelegate>(settings, ui, Paths::under(dir.path()));
        QString reason;
        settings.setPath(P::prefsBackupPath, dir.filePath(QStringLiteral("Sicherungen/")));
        QDir().mkpath(dir.filePath(QStringLiteral("Sicherungen")));
        settings.setText(P::prefsDatevBeraterNummer, QStringLiteral("1001"));
        settings.setText(P::prefsDatevMandantenNummer, QStringLiteral("1"));
        // The sample books, with what the hand-overs need: an account (the
        // depreciation's chart) and a cash book of the year.
        Database sample = test::sampleDatabase();
        RecordPtr account = Record::create(RecordClass::Account, test::dayStamp(2024, 1, 1));
        account->set(keys::number, QStringLiteral("4980"));
        account->set(keys::title, QStringLiteral("Bürobedarf"));
        sample.accounts.push_back(account);
        RecordPtr cashbook = Record::create(RecordClass::Cashbook, test::dayStamp(2024, 1, 1));
        cashbook->set(keys::title, QStringLiteral("2024"));
        sample.cashbooks.push_back(cashbook);
        EXPECT_TRUE(QuandorAppDelegate::writeFileAtomically(dbPath, archive::write(sample.toRoot()),
                                                            &reason))
            << reason.toStdString();
        app->setDatabaseFileOverride(dbPath);
        app->openDatabase();
        shell = std::make_unique<DesktopShell>(*app, shellUi);
        // The calculator: a small program that leaves a mark.
        const QString calculator = dir.filePath(QStringLiteral("rechner"));
        QFile script(calculator);
        EXPECT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\ntouch '" + calculatorMark.toUtf8() + "'\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        shell->toolbar().setExecutableFinder([calculator](const QString&) { return calculator; });

        // Modal dialogs (the port's message boxes and file dialogs, sheets run
        // with exec) are noted and closed, so no action blocks the walk.
        closer.setInterval(20);
        QObject::connect(&closer, &QTimer::timeout, [this] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w) return;
            modals << describe(w);
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                QTest::keyClick(box, Qt::Key_Escape);
                if (box->isVisible() && !box->buttons().isEmpty()) box->buttons().last()->click();
            } else if (auto* d = qobject_cast<QDialog*>(w)) {
                d->reject();
            } else {
                w->close();
            }
        });
        closer.start();
        qApp->installEventFilter(&shownWindows);
        main().show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&main()));
    }

    ~Walk() {
        closer.stop();
        qApp->removeEventFilter(&shownWindows);
        closeAllBut({});
        shell.reset();
    }

    MainWindow& main() { return shell->mainWindow(); }

    void select(bool something) {
        Selection& s = app->selection();
        if (!something) {
            s.setYearIndex(-1);
            return;
        }
        s.setYearIndex(1);
        s.setStatementIndex(0);
        s.setSelectedItems({s.selectedStatement()->items().front()});
    }

    static std::set<QWidget*> visibleWindows() {
        std::set<QWidget*> shown;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && !qobject_cast<QMenu*>(w)) shown.insert(w);
        return shown;
    }

    void closeAllBut(const std::set<QWidget*>& keep) {
        for (int round = 0; round < 5; ++round) {
            bool closed = false;
            for (QWidget* w : visibleWindows()) {
                if (keep.count(w) || w == &main()) continue;
                closed = true;
                if (auto* d = qobject_cast<QDialog*>(w))
                    d->reject();
                else
                    w->close();
            }
            QTest::qWait(closed ? 30 : 0);
            if (!closed) break;
        }
    }

    // Triggers `action` and says what it reached.
    QStringList run(QAction* action, bool hideMainFirst) {
        QStringList outcomes;
        if (!action->isEnabled()) return {QStringLiteral("disabled")};
        modals.clear();
        shownWindows.shown.clear();
        ui.alerts.clear();
        ui.dialogTitles.clear();
        ui.beeps = 0;
        if (hideMainFirst) main().hide();
        const std::set<QWidget*> before = visibleWindows();
        const QDateTime old = QDateTime::currentDateTime().addDays(-2);
        QFile db(dbPath);
        if (db.open(QIODevice::ReadWrite)) {
            db.setFileTime(old, QFileDevice::FileModificationTime);
            db.close();
        }
        QFile::remove(calculatorMark);
        QPointer<QWidget> focusBefore = QApplication::focusWidget();
        const Qt::WindowStates stateBefore = main().windowState();
        const int rowsBefore = main().itemView()->model()->rowCount();
        const QDir backups(settings.getPath(P::prefsBackupPath));
        const qsizetype backupsBefore = backups.entryList(QDir::Files).size();
        auto backedUp = [&] { return backups.entryList(QDir::Files).size() > backupsBefore; };

        action->trigger();
        for (int i = 0; i < 5; ++i) {
            QTest::qWait(20);
            ui.runScheduled();
        }
        // The calculator and the backup run beside the program: wait for them.
        if (action->text() == QStringLiteral("Rechner"))
            (void)QTest::qWaitFor([&] { return QFileInfo::exists(calculatorMark); }, 3000);
        if (action->text() == QStringLiteral("Jetzt sichern"))
            (void)QTest::qWaitFor(backedUp, 3000);

        for (QWidget* w : visibleWindows())
            if (!before.count(w)) outcomes << describe(w);
        outcomes << modals << shownWindows.shown;
        for (const auto& a : ui.alerts)
            outcomes << QStringLiteral("alert:") + a.title + u':' + a.message;
        for (const QString& t : ui.dialogTitles) outcomes << QStringLiteral("dialog:") + t;
        QWidget* focus = QApplication::focusWidget();
        if (focus && focus != focusBefore && main().isAncestorOf(focus))
            outcomes << QStringLiteral("focus:") + focus->objectName();
        if (const int rows = main().itemView()->model()->rowCount(); rows != rowsBefore)
            outcomes << QStringLiteral("rows:%1%2")
                            .arg(rows > rowsBefore ? "+" : "")
                            .arg(rows - rowsBefore);
        const std::pair<bool, const char*> marks[] = {
            {ui.beeps > 0, "beep"},
            {main().windowState() != stateBefore, "fullscreen"},
            {QFileInfo(dbPath).lastModified() > old.addSecs(60), "saved"},
            {QFileInfo::exists(calculatorMark), "calculator"},
            {backedUp(), "backup"}};
        for (const auto& [reached, mark] : marks)
            if (reached) outcomes << QString::fromLatin1(mark);

        closeAllBut(before);
        if (main().windowState() != stateBefore) main().setWindowState(stateBefore);
        if (!main().isVisible()) main().show();
        QApplication::processEvents();
        return outcomes;
    }
};

// Every entry of `menu` and its submenus, with the path for messages.
void collect(QMenu* menu, const QString& path, std::vector<std::pair<QString, QAction*>>& into) {
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) continue;
        const QString name = path + QStringLiteral(" → ") + a->text().remove(u'&');
        if (a->menu())
            collect(a->menu(), name, into);
        else
            into.emplace_back(name, a);
    }
}

}  // namespace

TEST(ActionWalk, EveryToolbarItemAndMenuEntryReachesItsOperation) {
    Walk walk;
    std::vector<std::pair<QString, QAction*>> actions;
    for (const ToolbarItemSpec& spec : toolbarItems()) {
        QAction* a = walk.shell->toolbar().action(QString::fromUtf16(spec.identifier));
        ASSERT_TRUE(a) << QString::fromUtf16(spec.identifier).toStdString();
        actions.emplace_back(QStringLiteral("Symbolleiste → ") + a->text(), a);
    }
    for (QAction* top : walk.main().menuBar()->actions())
        if (top->menu()) collect(top->menu(), top->text().remove(u'&'), actions);
    // Quitting last: it ends the session's saving.
    std::stable_partition(actions.begin(), actions.end(), [](const auto& entry) {
        return entry.second->text() != QStringLiteral("Quandor beenden");
    });

    std::set<QString> walked;
    for (bool selected : {false, true}) {
        for (const auto& [name, action] : actions) {
            const QString text = action->text().remove(u'&');
            const Expected* expected = expectedFor(text);
            ASSERT_TRUE(expected) << "Ohne Erwartung: " << name.toStdString();
            walked.insert(text);
            if (!selected && text == QStringLiteral("Quandor beenden")) continue;
            QString want = QString::fromUtf8(selected || !*expected->nothingSelected
                                                 ? expected->selected
                                                 : expected->nothingSelected);
            walk.select(selected);
            const QStringList outcomes = walk.run(action, want.startsWith(u"MainWindow:"));
            const bool reached = std::any_of(outcomes.begin(), outcomes.end(),
                                             [&](const QString& o) { return o.startsWith(want); });
            EXPECT_TRUE(reached) << name.toStdString()
                                 << (selected ? " (Auswahl)" : " (nichts ausgewählt)")
                                 << "\n  erwartet: " << want.toStdString()
                                 << "\n  erreicht: " << outcomes.join(" | ").toStdString();
        }
    }
    for (const Expected& e : kExpected)
        EXPECT_TRUE(walked.count(QString::fromUtf8(e.text))) << "Nicht mehr vorhanden: " << e.text;
}
