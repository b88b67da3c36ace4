#pragma once
// Qt's own texts in German: the buttons, labels and context menus that the
// file, print and message dialogs and the text fields bring along
// ("Speichern", "Abbrechen", "Drucker", "Kopieren" …). The program speaks
// German whatever the system's language is, so these do too.

#include <QString>

class QCoreApplication;
class QTranslator;

namespace quandor::ui {

// Installs Qt's German translations (qtbase_de.qm from the Qt translations
// folder) into `app` and returns the translator, which `app` owns. Null when
// the file is missing or unreadable; Qt's English texts stay then, and
// nothing else changes.
QTranslator* installGermanQtTranslations(QCoreApplication& app);

// Where installGermanQtTranslations looks for qtbase_de.qm.
QString qtTranslationsFolder();

}  // namespace quandor::ui
