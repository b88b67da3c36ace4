// The preference window: its pages and the "Allgemein" page writing the settings.

#include "core/settings.h"
#include "core/settings_keys.h"
#include "ui/preference_pages.h"
#include "ui/preference_panel.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

using namespace quandor;
using namespace quandor::ui;

class PreferenceWindow : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    Settings settings{dir.filePath("Quandor.conf")};
};

TEST_F(PreferenceWindow, OpensOnAllgemeinAndSwapsPagesFromTheToolbar) {
    PreferencePanel panel(settings);
    EXPECT_EQ(panel.currentIdentifier(), "GeneralItemIdentifier");
    EXPECT_EQ(panel.windowTitle(), "Einstellungen - Allgemein");

    // The seven pages, then (apart, at the far end) the help panel's switch.
    QList<QAction*> actions = panel.pageToolbar()->actions();
    ASSERT_EQ(actions.size(), 9);
    EXPECT_EQ(actions.last(), panel.helpAction());
    actions = actions.mid(0, 7);
    for (int i = 0; i < actions.size(); ++i) {
        const PreferencePageSpec& spec = preferencePages()[size_t(i)];
        EXPECT_EQ(actions[i]->objectName(), QString::fromUtf16(spec.identifier));
        actions[i]->trigger();
        EXPECT_EQ(panel.currentIdentifier(), QString::fromUtf16(spec.identifier));
        EXPECT_EQ(panel.windowTitle(), QString::fromUtf16(spec.windowTitle));
        EXPECT_TRUE(actions[i]->isChecked());
        EXPECT_EQ(preferencePageIndex(spec.identifier), i);
    }
    EXPECT_EQ(preferencePageIndex(u"Unbekannt"), -1);
    EXPECT_FALSE(panel.selectPage("Unbekannt"));
    EXPECT_EQ(panel.currentIdentifier(), "DatevItemIdentifier");
}

TEST_F(PreferenceWindow, AllgemeinShowsAndWritesTheSettings) {
    settings.setText(prefs::prefsCompany, "Muster Design");
    settings.setFloat(prefs::prefs1Rate, 19.0f);
    settings.setBool(prefs::prefsPrintBorder, true);
    settings.setInt(prefs::prefsUseTaxesGlobal, 2);
    PreferencePanel panel(settings);
    QWidget* page = panel.page("GeneralItemIdentifier");
    ASSERT_NE(page, nullptr);

    auto* company = page->findChild<QLineEdit*>("prefsCompany");
    ASSERT_NE(company, nullptr);
    EXPECT_EQ(company->text(), "Muster Design");
    company->clear();
    QTest::keyClicks(company, "Neue Firma GmbH");
    EXPECT_EQ(settings.getText(prefs::prefsCompany), "Neue Firma GmbH");

    auto* border = page->findChild<QCheckBox*>("prefsPrintBorder");
    ASSERT_NE(border, nullptr);
    EXPECT_TRUE(border->isChecked());
    border->click();
    EXPECT_FALSE(settings.getBool(prefs::prefsPrintBorder));

    auto* welcome = page->findChild<QCheckBox*>("prefsAlwaysShowWelcomeSheet");
    ASSERT_NE(welcome, nullptr);
    welcome->click();
    EXPECT_TRUE(settings.getBool(prefs::prefsAlwaysShowWelcomeSheet));

    auto* rate = page->findChild<QDoubleSpinBox*>("prefs2Rate");
    ASSERT_NE(rate, nullptr);
    rate->setValue(5.5);
    EXPECT_EQ(settings.getFloat(prefs::prefs2Rate), 5.5f);
    // Out-of-range values cannot be entered.
    rate->setValue(250.0);
    EXPECT_EQ(settings.getFloat(prefs::prefs2Rate), 100.0f);

    auto* taxation = page->findChild<QComboBox*>("prefsUseTaxesGlobal");
    ASSERT_NE(taxation, nullptr);
    EXPECT_EQ(taxation->currentData().toInt(), 2);
    taxation->activated(0);  // as a choice by the person
    EXPECT_EQ(settings.getInt(prefs::prefsUseTaxesGlobal), taxation->itemData(0).toInt());

    // The reports' "Geduld!" notice says it can be switched off here: it can.
    auto* patience = page->findChild<QCheckBox*>("geduld");
    ASSERT_NE(patience, nullptr);
    EXPECT_FALSE(patience->isChecked());
    patience->click();
    EXPECT_TRUE(settings.getBool(prefs::geduld));
}

TEST_F(PreferenceWindow, EscapeClosesTheWindowAlsoFromAField) {
    PreferencePanel panel(settings);
    panel.showPrefs();
    ASSERT_TRUE(panel.isVisible());
    QTest::keyClick(&panel, Qt::Key_Escape);
    EXPECT_FALSE(panel.isVisible());

    panel.showPrefs();
    auto* company = panel.page("GeneralItemIdentifier")->findChild<QLineEdit*>("prefsCompany");
    QTest::keyClicks(company, "Muster");
    QTest::keyClick(company, Qt::Key_Escape);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(settings.getText(prefs::prefsCompany), "Muster");  // typed text is kept
}

TEST_F(PreferenceWindow, WithSeveralUsersTheUsersOwnFieldsAreReadOnlyAndPointToBenutzer) {
    settings.setText(prefs::prefsCompany, "Muster Design");
    settings.setInt(prefs::prefsUseTaxesGlobal, 1);
    settings.setBool(prefs::prefsUseMultipleAccounts, true);
    PreferencePanel panel(settings);
    panel.showPrefs();
    QWidget* page = panel.page("GeneralItemIdentifier");
    auto* note = page->findChild<QLabel*>("userOwnedNote");
    ASSERT_TRUE(note);
    EXPECT_TRUE(note->isVisible());
    for (const char* key : {"prefsCompany", "prefsTaxID", "prefsELSTERID"}) {
        auto* field = page->findChild<QLineEdit*>(key);
        ASSERT_TRUE(field) << key;
        EXPECT_TRUE(field->isReadOnly()) << key;
    }
    auto* company = page->findChild<QLineEdit*>("prefsCompany");
    QTest::keyClicks(company, " GmbH");
    EXPECT_EQ(settings.getText(prefs::prefsCompany), "Muster Design");
    auto* taxation = page->findChild<QComboBox*>("prefsUseTaxesGlobal");
    EXPECT_FALSE(taxation->isEnabled());
    // The rest of the page stays editable.
    EXPECT_FALSE(page->findChild<QLineEdit*>("prefs1RateTitle")->isReadOnly());

    emit note->linkActivated("users");
    EXPECT_EQ(panel.currentIdentifier(), "AccountItemIdentifier");

    // One user again: the fields are the person's to edit, the note goes.
    settings.setBool(prefs::prefsUseMultipleAccounts, false);
    panel.selectTab1();
    EXPECT_FALSE(note->isVisible());
    EXPECT_FALSE(company->isReadOnly());
    EXPECT_TRUE(taxation->isEnabled());
    QTest::keyClicks(company, " GmbH");
    EXPECT_EQ(settings.getText(prefs::prefsCompany), "Muster Design GmbH");
}
