// The VAT return window over a statement: its fields, a typed payment, a
// payment that is no amount, and the check box that books the return.

#include "ui/voranmeldung_window.h"
#include "bookkeeping/totals_fixture.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace quandor;
using namespace Qt::StringLiterals;

namespace {

void typeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    edit->setText(text);
    emit edit->editingFinished();
}

}  // namespace

TEST(VoranmeldungWindowUi, ShowsTotalsAndBooks) {
    test::TotalsBooks b;
    b.income(1190.0f, 190.0f, 1);
    b.expense(107.0f, 7.0f, 2);
    ui::VoranmeldungWindow window(b.app, b.controller);
    window.openForSelection();
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.totalField(1)->text(), u"1.000,00"_s);  // net at rate 1
    EXPECT_EQ(window.totalField(4)->text(), u"190,00"_s);
    EXPECT_EQ(window.totalField(9)->text(), u"7,00"_s);     // input VAT
    EXPECT_EQ(window.totalField(10)->text(), u"183,00"_s);  // balance
    EXPECT_TRUE(window.totalField(10)->isReadOnly());
    // Every figure carries its Kennzahl; the tax on the third rate is Kz 36.
    for (const char* nr : {"81", "86", "35", "36", "48", "45", "66", "83"}) {
        auto* kz = window.findChild<QLabel*>(u"kz"_s + QLatin1String(nr));
        ASSERT_TRUE(kz) << nr;
        EXPECT_EQ(kz->text(), u"Kz "_s + QLatin1String(nr));
    }
    EXPECT_TRUE(window.findChild<QLabel*>(u"kennzahlenHint"_s)->text().contains(u"Kz 36"_s));

    auto* payment = window.findChildren<QLineEdit*>().at(0);
    for (QLineEdit* e : window.findChildren<QLineEdit*>())
        if (!e->isReadOnly()) {
            payment = e;
            break;
        }
    typeInto(payment, u"1.250,5"_s);
    EXPECT_EQ(b.statement->real(keys::payment), 1250.5f);
    EXPECT_EQ(b.statement->real(keys::balance), 1250.5f);

    typeInto(payment, u"zwölf"_s);
    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_EQ(b.ui.alerts[0].message, u"„zwölf“ ist kein Betrag. Gib ihn bitte so ein: 1234,56"_s);
    EXPECT_EQ(b.statement->real(keys::payment), 1250.5f);
    EXPECT_EQ(payment->text(), u"1.250,50"_s);

    window.createdBox()->setChecked(true);  // answers "Übernehmen"
    EXPECT_EQ(b.ui.alerts.back().title, u"Voranmeldung als erstellt markieren"_s);
    EXPECT_TRUE(b.statement->flag(keys::taxBool));
    EXPECT_EQ(b.statement->real(keys::payment), 190.0f);
    EXPECT_EQ(b.statement->real(keys::balance), 183.0f);
}

TEST(VoranmeldungWindowUi, FiguresFollowTheMainWindowsStatementAndFilter) {
    test::TotalsBooks b;
    b.income(119.0f, 19.0f, 1);
    RecordPtr april = Record::create(RecordClass::Thelist, Date{});
    april->set(keys::title, u"April"_s);
    b.year->thelists().push_back(april);
    ui::VoranmeldungWindow window(b.app, b.controller);
    window.openForSelection();
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.totalField(1)->text(), u"100,00"_s);

    b.app.selection().setStatementIndex(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.totalField(1)->text(), u"0,00"_s);
    EXPECT_EQ(b.settings.getFloat(prefs::tabTax1SumField), 0.0f);

    b.app.selection().setStatementIndex(0);
    b.app.selection().setFilterText(u"nichts"_s);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.totalField(1)->text(), u"0,00"_s);
    b.app.selection().setFilterText(QString());
    QCoreApplication::processEvents();
    EXPECT_EQ(window.totalField(1)->text(), u"100,00"_s);
}

TEST(VoranmeldungWindowUi, StaysClosedWhenRefused) {
    test::TotalsBooks b;
    ui::VoranmeldungWindow window(b.app, b.controller);
    window.openForSelection();  // empty statement: "Abbrechen"
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(b.ui.alerts.back().message, u"Diese Abrechnung enthält keinerlei Posten."_s);
}
