// The item sheet window typed into like a person does: kind, amount, title,
// Return; a refusal keeps it open; Escape on a fresh item discards it, on an
// edited one gives back its values.

#include "ui/item_sheet.h"
#include "core/keys.h"
#include "core/settings_keys.h"
#include "support/books.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace quandor;
using namespace quandor::ui;

namespace {

struct SheetFixture : test::OpenBooks {
    AddController& c = controllers.items;
    QWidget parent;
    ItemSheet sheet{c, controllers.split, app, &parent};

    SheetFixture() {
        settings.setBool(prefs::firstStepsDone, true);
        controllers.years.addYear();
        controllers.years.setYearName(QStringLiteral("2024"));
        controllers.years.closeYear();
        controllers.years.addList();
        controllers.years.setListTitle(QStringLiteral("Juni"));
        controllers.years.closeList();
    }
    RecordList& items() { return app.selection().selectedStatement()->items(); }
    template <typename Button>
    Button* button(const QString& text) {
        for (Button* b : sheet.findChildren<Button*>())
            if (b->text().remove(QLatin1Char('&')) == text) return b;
        return nullptr;
    }
    QRadioButton* radio(const QString& text) { return button<QRadioButton>(text); }
};

}  // namespace

TEST(ItemSheetWindow, TypingAndReturnStoresTheCalculatedItem) {
    SheetFixture f;
    f.sheet.addItem();
    ASSERT_TRUE(f.sheet.isVisible());
    EXPECT_FALSE(f.sheet.amountField()->isEnabled());  // the kind comes first
    f.radio(QStringLiteral("Einnahme"))->click();
    EXPECT_TRUE(f.sheet.amountField()->isEnabled());
    QTest::keyClicks(f.sheet.amountField(), QStringLiteral("1.190,00"));
    QTest::keyClicks(f.sheet.titleField(), QStringLiteral("Beratung"));
    f.c.setItemTaxBool(true);
    f.c.setItemTaxTag(1);
    QTest::keyClick(f.sheet.titleField(), Qt::Key_Return);

    EXPECT_FALSE(f.sheet.isVisible());
    ASSERT_EQ(f.items().size(), 1u);
    const RecordPtr item = f.items()[0];
    EXPECT_EQ(item->text(keys::title), QStringLiteral("Beratung"));
    EXPECT_EQ(item->real(keys::finalAmount), 1190.0f);
    EXPECT_EQ(item->real(keys::taxFeePay), 190.0f);
    EXPECT_TRUE(f.ui.alerts.empty());
}

TEST(ItemSheetWindow, ARefusalKeepsTheSheetAndEscapeDiscardsTheFreshItem) {
    SheetFixture f;
    f.sheet.addItem();
    f.radio(QStringLiteral("Ausgabe"))->click();
    QTest::keyClick(f.sheet.titleField(), Qt::Key_Return);  // no amount yet
    ASSERT_EQ(f.ui.alerts.size(), 1u);
    EXPECT_EQ(f.ui.alerts[0].message, AddController::kNoAmount);
    EXPECT_TRUE(f.sheet.isVisible());
    QTest::keyClick(&f.sheet, Qt::Key_Escape);
    EXPECT_FALSE(f.sheet.isVisible());
    EXPECT_TRUE(f.items().empty());
}

TEST(ItemSheetWindow, EditModeShowsStepsInsteadOfNewAndCancel) {
    SheetFixture f;
    f.sheet.addItem();
    f.radio(QStringLiteral("Ausgabe"))->click();
    QTest::keyClicks(f.sheet.amountField(), QStringLiteral("12,5"));
    QTest::keyClicks(f.sheet.titleField(), QStringLiteral("Porto"));
    QTest::keyClick(f.sheet.titleField(), Qt::Key_Return);
    ASSERT_FALSE(f.sheet.isVisible());

    f.sheet.editItem();
    ASSERT_TRUE(f.sheet.isVisible());
    EXPECT_EQ(f.sheet.amountField()->text(), QStringLiteral("12,50"));
    auto button = [&](const QString& text) { return f.button<QPushButton>(text); };
    EXPECT_TRUE(button(QStringLiteral("Weiter ▶"))->isVisibleTo(&f.sheet));
    EXPECT_FALSE(button(QStringLiteral("Neu"))->isVisibleTo(&f.sheet));
    EXPECT_FALSE(button(QStringLiteral("Abbrechen"))->isVisibleTo(&f.sheet));

    // Escape gives the item back what it had; OK keeps the changes.
    f.sheet.titleField()->clear();
    QTest::keyClicks(f.sheet.titleField(), QStringLiteral("Briefmarken"));
    f.sheet.amountField()->clear();
    QTest::keyClicks(f.sheet.amountField(), QStringLiteral("99"));
    QTest::keyClick(&f.sheet, Qt::Key_Escape);
    EXPECT_FALSE(f.sheet.isVisible());
    ASSERT_EQ(f.items().size(), 1u);
    EXPECT_EQ(f.items()[0]->text(keys::title), QStringLiteral("Porto"));
    EXPECT_EQ(f.items()[0]->real(keys::finalAmount), -12.5f);
    EXPECT_TRUE(f.ui.alerts.empty());

    f.sheet.editItem();
    f.sheet.titleField()->clear();
    QTest::keyClicks(f.sheet.titleField(), QStringLiteral("Briefmarken"));
    QTest::keyClick(f.sheet.titleField(), Qt::Key_Return);
    EXPECT_FALSE(f.sheet.isVisible());
    EXPECT_EQ(f.items()[0]->text(keys::title), QStringLiteral("Briefmarken"));
}

TEST(ItemSheetWindow, NewShowsAnEmptyAmountAndAnUnknownAccountKeepsTheSheetOpen) {
    SheetFixture f;
    f.sheet.addItem();
    f.radio(QStringLiteral("Ausgabe"))->click();
    QTest::keyClicks(f.sheet.amountField(), QStringLiteral("7,50"));
    QTest::keyClicks(f.sheet.titleField(), QStringLiteral("Kaffee"));
    QPushButton* neu = f.button<QPushButton>(QStringLiteral("Neu"));
    ASSERT_TRUE(neu);
    neu->click();
    ASSERT_EQ(f.items().size(), 2u);
    EXPECT_EQ(f.items()[0]->real(keys::finalAmount), -7.5f);
    EXPECT_TRUE(f.sheet.amountField()->text().isEmpty());

    f.radio(QStringLiteral("Einnahme"))->click();
    QTest::keyClicks(f.sheet.amountField(), QStringLiteral("20"));
    QTest::keyClicks(f.sheet.titleField(), QStringLiteral("Trinkgeld"));
    auto* account = f.sheet.findChild<QLineEdit*>(QStringLiteral("accountField"));
    QTest::keyClicks(account, QStringLiteral("4711"));
    QTest::keyClick(f.sheet.titleField(), Qt::Key_Return);
    ASSERT_EQ(f.ui.alerts.size(), 1u);
    EXPECT_EQ(f.ui.alerts[0].message, AddController::kUnknownAccount);
    EXPECT_TRUE(f.sheet.isVisible());
    account->clear();
    QTest::keyClick(f.sheet.titleField(), Qt::Key_Return);
    EXPECT_FALSE(f.sheet.isVisible());
    EXPECT_EQ(f.items()[1]->real(keys::finalAmount), 20.0f);
}
