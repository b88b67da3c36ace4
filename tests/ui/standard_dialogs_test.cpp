// Qt's own dialogs and menus: German once the program installed Qt's German
// texts, and the save dialog opening in a folder that exists.

#include "ui/qt_ui_port.h"
#include "ui/translations.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include <memory>

using namespace quandor::ui;

namespace {

// Installs the German texts for one test and takes them away again, so the
// other window tests see the texts they set themselves.
struct GermanQt {
    QTranslator* translator = installGermanQtTranslations(*qApp);
    ~GermanQt() {
        if (translator) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
};

QStringList texts(const QList<QAction*>& actions) {
    QStringList list;
    for (QAction* a : actions)
        if (!a->isSeparator())
            list << a->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
    return list;
}

template <typename W>
QStringList childTexts(const QWidget& parent) {
    QStringList list;
    for (W* w : parent.findChildren<W*>()) list << w->text().remove(QLatin1Char('&'));
    return list;
}

}  // namespace

TEST(GermanQtTexts, DialogButtonsAndTheTextFieldMenu) {
    GermanQt german;
    ASSERT_NE(german.translator, nullptr)
        << "qtbase_de.qm fehlt in " << qtTranslationsFolder().toStdString();

    QDialogButtonBox buttons(QDialogButtonBox::Save | QDialogButtonBox::Cancel |
                             QDialogButtonBox::Close);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Save)->text().remove('&'), "Speichern");
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text().remove('&'), "Abbrechen");
    EXPECT_EQ(buttons.button(QDialogButtonBox::Close)->text().remove('&'), "Schließen");

    QLineEdit field(QStringLiteral("Druckerpapier"));
    const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    const QStringList entries = texts(menu->actions());
    for (const char* entry :
         {"Rückgängig", "Ausschneiden", "Kopieren", "Einfügen", "Alles auswählen"})
        EXPECT_TRUE(entries.contains(QString::fromUtf8(entry)))
            << entry << " fehlt in " << entries.join(", ").toStdString();
}

TEST(GermanQtTexts, FileAndPrintDialogs) {
    GermanQt german;
    ASSERT_NE(german.translator, nullptr);

    QFileDialog save(nullptr, QStringLiteral("CSV Datei Exportieren"));
    save.setOption(QFileDialog::DontUseNativeDialog);
    save.setAcceptMode(QFileDialog::AcceptSave);
    const QStringList saveButtons = childTexts<QPushButton>(save);
    EXPECT_TRUE(saveButtons.contains("Speichern")) << saveButtons.join(", ").toStdString();
    EXPECT_TRUE(saveButtons.contains("Abbrechen"));
    const QStringList saveLabels = childTexts<QLabel>(save);
    EXPECT_TRUE(saveLabels.contains("Dateiname:")) << saveLabels.join(", ").toStdString();

    QPrinter printer;
    QPrintDialog print(&printer);
    QStringList printTexts = childTexts<QLabel>(print) + childTexts<QPushButton>(print);
    for (QGroupBox* box : print.findChildren<QGroupBox*>()) printTexts << box->title();
    EXPECT_TRUE(printTexts.contains("Drucker")) << printTexts.join(", ").toStdString();
    EXPECT_TRUE(printTexts.contains("Abbrechen"));
}

TEST(SaveDialog, OpensInAFolderThatExistsWithOnlyTheProposedName) {
    // A new account: no documents folder yet.
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral(".config")).toUtf8());
    QString folder, name;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        folder = dialog->directory().absolutePath();
        if (auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name = field->text();
        dialog->reject();
    });
    QtUiPort port;
    const auto chosen = port.saveDialog(QStringLiteral("CSV Datei Exportieren"),
                                        QStringLiteral("csv"), QStringLiteral("Januar 2026.csv"));
    qputenv("HOME", oldHome);
    oldConfig.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", oldConfig);

    EXPECT_FALSE(chosen);
    EXPECT_EQ(folder, QDir(home.path()).absolutePath());
    EXPECT_EQ(name, QStringLiteral("Januar 2026.csv"));
}
