// Quandor, the desktop program.

#include "core/app_delegate.h"
#include "core/heap_tuning.h"
#include "core/settings.h"
#include "ui/desktop_shell.h"
#include "ui/qt_ui_port.h"
#include "ui/quit_signals.h"
#include "ui/single_instance.h"
#include "ui/translations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <QLocale>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[]) {
    quandor::preferHugePages();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quandor"));
    QApplication::setApplicationName(QStringLiteral("Quandor"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quandor"));
    QApplication::setApplicationVersion(QStringLiteral(QUANDOR_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("quandor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quandor.svg")));
    // Closing the main window leaves the program running; "Quandor beenden" ends it.
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's own dialogs and menus (file, print, text fields) in German, too.
    if (!quandor::ui::installGermanQtTranslations(app))
        std::fprintf(stderr,
                     "Hinweis: Die deutschen Qt-Texte (qtbase_de.qm) fehlen in %s; Datei- und "
                     "Druckdialoge erscheinen auf Englisch.\n",
                     qPrintable(quandor::ui::qtTranslationsFolder()));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Quandor – Buchhaltung für Selbstständige"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption settingsOption(
        QStringLiteral("settings"),
        QStringLiteral("Diese Einstellungsdatei (INI) statt deiner eigenen verwenden."),
        QStringLiteral("DATEI"));
    const QCommandLineOption dbOption(
        QStringLiteral("db"),
        QStringLiteral("Diese Datenbankdatei öffnen und beim Sichern dorthin schreiben."),
        QStringLiteral("DATEI"));
    const QCommandLineOption localeOption(
        QStringLiteral("locale"), QStringLiteral("Sprache der Zahlen und Daten, z. B. de_DE."),
        QStringLiteral("NAME"));
    parser.addOptions({settingsOption, dbOption, localeOption});
    parser.addPositionalArgument(QStringLiteral("DATEIEN"),
                                 QStringLiteral("Dateien, die der Dateimanager Quandor übergibt."));
    parser.process(app);
    QStringList handedOver;
    for (const QString& file : parser.positionalArguments())
        handedOver << QFileInfo(file).absoluteFilePath();

    QLocale locale = parser.isSet(localeOption) ? QLocale(parser.value(localeOption)) : QLocale();
    if (locale.language() == QLocale::C) locale = QLocale(QLocale::German, QLocale::Germany);
    QLocale::setDefault(locale);

    std::unique_ptr<quandor::Settings> settings =
        parser.isSet(settingsOption)
            ? std::make_unique<quandor::Settings>(
                  QFileInfo(parser.value(settingsOption)).absoluteFilePath())
            : std::make_unique<quandor::Settings>();

    quandor::ui::QtUiPort ui;
    quandor::QuandorAppDelegate delegate(*settings, ui);
    if (parser.isSet(dbOption))
        delegate.setDatabaseFileOverride(QFileInfo(parser.value(dbOption)).absoluteFilePath());
    // A restart starts the program again with the same files and locale.
    QStringList restartArguments;
    for (const QCommandLineOption* option : {&settingsOption, &dbOption, &localeOption}) {
        if (!parser.isSet(*option)) continue;
        const QString value = parser.value(*option);
        restartArguments << QStringLiteral("--") + option->names().first()
                         << (option == &localeOption ? value : QFileInfo(value).absoluteFilePath());
    }
    delegate.setRestartArguments(restartArguments);

    // The data folder's lock decides before any window or setting is touched:
    // a second start on the same books brings the running program to the front.
    delegate.hooks().activateRunningProgram = [&handedOver](const QString& folder) {
        return quandor::ui::SingleInstance::activate(folder, handedOver);
    };
    if (!delegate.claimDataFolder()) return 0;

    quandor::ui::DesktopShell shell(delegate, ui);
    quandor::ui::SingleInstance instance;
    if (!delegate.lockedFolder().isEmpty())
        instance.listen(delegate.lockedFolder(), [&shell, &delegate](const QStringList& files) {
            shell.showMainWindow();
            for (const QString& file : files) delegate.openFile(file);
        });
    shell.start();
    // Declining the disclaimer ends the program before anything was read.
    if (ui.quitRequested()) return 0;
    quandor::ui::quitOnSignals(app);
    // Files handed over by the file manager are never opened; the person is told how to import.
    for (const QString& file : handedOver)
        QTimer::singleShot(0, &app, [&delegate, file] { delegate.openFile(file); });
    return app.exec();
}
