// The VAT return window's checks, booking, the return file for the ELSTER
// client (exact bytes), the clipboard text and the once-only notice.
#include "bookkeeping/voranmeldung.h"
#include "bookkeeping/totals_fixture.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace quandor;
using namespace Qt::StringLiterals;
using test::sameBits;
namespace P = quandor::prefs;

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QByteArray expectedFile(const char* id, const char* year, const char* period, const char* kz81,
                        const char* kz86, const char* kz35, const char* kz45, const char* kz66,
                        const char* kz83, const char* kz48) {
    return QByteArray(
               "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\n<WinstonAusgang>\n"
               "\t<Formular Typ=\"UST\"></Formular>\n\t<Ordnungsnummer>") +
           id + "</Ordnungsnummer>\n\t<AnmeldeJahr>" + year +
           "</AnmeldeJahr>\n\t<AnmeldeZeitraum>" + period +
           "</AnmeldeZeitraum>\n\t<Kennzahl nr=\"Kz81\">" + kz81 +
           "</Kennzahl>\n\t<Kennzahl nr=\"Kz86\">" + kz86 +
           "</Kennzahl>\n\t<Kennzahl nr=\"Kz35\">" + kz35 +
           "</Kennzahl>\n\t<Kennzahl nr=\"Kz45\">" + kz45 +
           "</Kennzahl>\n\t<Kennzahl nr=\"Kz66\">" + kz66 +
           "</Kennzahl>\n\t<Kennzahl nr=\"Kz83\">" + kz83 +
           "</Kennzahl>\n\t<Kennzahl nr=\"Kz48\">" + kz48 + "</Kennzahl>\n</WinstonAusgang>";
}

struct Outbox : test::TotalsBooks {
    explicit Outbox(const QString& title = u"März"_s) : TotalsBooks(title) {
        QDir().mkpath(app.paths().elsterOutbox);
        settings.setText(P::prefsELSTERID, u"9198011310010"_s);
        settings.setText(P::prefsCompany, u"Studio Lindner"_s);
        settings.setText(P::prefsTaxID, u"21/815/08150"_s);
    }
    QString file(const QString& name) const { return app.paths().elsterOutbox + name; }
};

}  // namespace

TEST(VoranmeldungWindow, ChecksBeforeOpening) {
    test::TotalsBooks b;
    b.settings.setBool(P::firstStepsDone, false);
    EXPECT_FALSE(b.controller.openVoranmeldungsWindow());
    EXPECT_EQ(b.ui.count(u"Hinweis!"_s), 1);

    b.settings.setBool(P::firstStepsDone, true);
    b.year->thelists().clear();
    b.app.selection().refresh();
    EXPECT_FALSE(b.controller.openVoranmeldungsWindow());
    EXPECT_EQ(b.ui.alerts.back().title, u"Fehler!"_s);

    // An empty statement: "Abbrechen" is the default and stops.
    b.year->thelists().push_back(b.statement);
    b.app.selection().setStatementIndex(0);
    EXPECT_FALSE(b.controller.openVoranmeldungsWindow());
    EXPECT_EQ(b.ui.alerts.back().buttons, (QStringList{u"Abbrechen"_s, u"Fortfahren"_s}));
    EXPECT_FALSE(b.controller.returnWindow().open);

    b.ui.answers = {1};
    b.settings.setInt(P::selectedVoranmeldungTabIndex, 3);
    b.settings.setBool(P::prefsAlwaysShowVoranmeldungHelpDawer, true);
    EXPECT_TRUE(b.controller.openVoranmeldungsWindow());
    EXPECT_TRUE(b.controller.returnWindow().open);
    EXPECT_TRUE(b.controller.returnWindow().helpDrawer);
    EXPECT_FALSE(b.controller.returnWindow().busy);
    EXPECT_EQ(b.settings.getInt(P::selectedVoranmeldungTabIndex), 0);
    EXPECT_TRUE(b.controller.totals().has_value());
}

TEST(VoranmeldungBooking, TakeBooksThePaymentBlock) {
    test::TotalsBooks b;
    b.settings.setFloat(P::prefs3Rate, 10.0f);
    b.income(119.0f, 19.0f, 1);
    b.income(107.0f, 7.0f, 2);
    b.expense(110.0f, 10.0f, 3);
    b.statement->set(keys::additionalPayment, 4.0f);
    ASSERT_TRUE(b.controller.openVoranmeldungsWindow());
    b.controller.setReturnCreated(true);  // the check box; answers "Übernehmen"

    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_EQ(b.ui.alerts[0].buttons, (QStringList{u"Übernehmen"_s, u"Eigene"_s}));
    EXPECT_TRUE(b.statement->flag(keys::taxBool));
    EXPECT_TRUE(sameBits(b.statement->real(keys::payment), 26.0f));
    EXPECT_TRUE(sameBits(b.statement->real(keys::rePayment), 10.0f));
    EXPECT_TRUE(sameBits(b.statement->real(keys::balance), 16.0f));
    EXPECT_TRUE(sameBits(b.statement->real(keys::additionalPayment), 4.0f));
    EXPECT_EQ(b.statement->date(keys::date), b.app.nowStamp());
    EXPECT_TRUE(sameBits(b.controller.returnWindow().bookedPayment, 26.0f));
    EXPECT_TRUE(b.totals.summaryPage().html.contains(u"Voranmeldung erstellt am: 05.04.2013"_s));
    EXPECT_TRUE(b.ui.pending.empty());  // no not-taxable revenue, no reminder
}

TEST(VoranmeldungBooking, OwnFiguresLeaveThePaymentBlockAndNotTaxableRevenueReminds) {
    test::TotalsBooks b;
    b.income(119.0f, 19.0f, 1);
    b.income(0.01f, 0.0f, 5);
    b.statement->set(keys::payment, 1.0f);
    b.statement->set(keys::rePayment, 2.0f);
    b.statement->set(keys::balance, 3.0f);
    b.ui.answers = {1};  // "Eigene"
    b.controller.meldungBuchen();
    EXPECT_TRUE(sameBits(b.statement->real(keys::payment), 1.0f));
    EXPECT_TRUE(sameBits(b.statement->real(keys::rePayment), 2.0f));
    EXPECT_TRUE(sameBits(b.statement->real(keys::balance), 3.0f));
    EXPECT_EQ(b.statement->date(keys::date), b.app.nowStamp());
    EXPECT_TRUE(sameBits(b.controller.returnWindow().bookedBalance, 0.0f));
    EXPECT_FALSE(b.statement->flag(keys::taxBool));  // booking alone does not mark it

    ASSERT_EQ(b.ui.pending.size(), 1u);
    EXPECT_EQ(b.ui.scheduledDelays.back(), 600);
    EXPECT_EQ(b.ui.alerts.size(), 1u);
    b.ui.runScheduled();
    EXPECT_EQ(b.ui.count(u"Hinweis!"_s), 1);
}

TEST(ReturnFile, MonthFileClipboardNoticeOnceAndLaunch) {
    Outbox b;
    b.income(1190.0f, 190.0f, 1);
    b.income(107.0f, 7.0f, 2);
    b.income(500.0f, 0.0f, 4);
    b.income(250.0f, 0.0f, 5);
    b.expense(59.5f, 59.5f - 5950.0f / 107.0f, 2);
    b.controller.doTheWinston();

    EXPECT_EQ(readFile(b.file(u"Quandor_03_2013.xml"_s)),
              expectedFile("9198011310010", "2013", "03", "1000,00", "100,00", "0,00", "250,00",
                           "3,89", "193,11", "500,00"));
    EXPECT_EQ(b.ui.clipboard.size(), 1u);
    EXPECT_EQ(b.ui.count(u"Hinweis!"_s), 1);
    EXPECT_TRUE(b.settings.getBool(P::winstonHintShown));
    ASSERT_EQ(b.ui.launches.size(), 1u);
    EXPECT_EQ(b.ui.launches[0].program, u"winston"_s);

    // Again: the file is replaced, the notice is not shown twice; a failed start is told.
    b.ui.launchSucceeds = false;
    b.controller.doTheWinston();
    ASSERT_EQ(b.ui.alerts.size(), 2u);
    EXPECT_EQ(b.ui.alerts[1].title, u"Fehler!"_s);
    EXPECT_EQ(
        b.ui.alerts[1].message,
        u"Winston konnte nicht erfolgreich geöffnet werden. Bitte sicherstellen, dass Winston "
        "ordentlich auf deinem Mac installiert und eingerichtet ist."_s);
    EXPECT_EQ(QDir(b.app.paths().elsterOutbox).entryList(QDir::Files).size(), 1);
}

TEST(ReturnFile, QuarterYearAndRefund) {
    {
        Outbox b(u"2. Kalendervierteljahr"_s);
        b.expense(297.5f, 47.5f, 1);
        b.expense(300.0f, 202.5f, 1);  // input VAT 250 in all: a refund
        b.controller.doTheWinston();
        EXPECT_EQ(readFile(b.file(u"Quandor_42_2013.xml"_s)),
                  expectedFile("9198011310010", "2013", "42", "0,00", "0,00", "0,00", "0,00",
                               "250,00", "-250,00", "0,00"));
    }
    {
        Outbox b(u"Jahr"_s);
        b.settings.setText(P::prefsELSTERID, QString());
        b.income(123456.78f, 0.0f, 4);
        b.controller.doTheWinston();
        // An empty ELSTER number leaves the element empty; Kennzahlen are never grouped.
        EXPECT_EQ(readFile(b.file(u"Quandor_19_2013.xml"_s)),
                  expectedFile("", "2013", "19", "0,00", "0,00", "0,00", "0,00", "0,00", "0,00",
                               "123456,78"));
    }
}

// Month, quarter and year codes are proven by the files above; a title is
// matched exactly or not at all.
TEST(ReturnFile, PeriodCodesNeedTheExactTitle) {
    EXPECT_EQ(periodCode(u"Dezember"_s), u"12"_s);
    for (const QString& t : {u"märz"_s, u"Maerz"_s, u"Jahr "_s})
        EXPECT_EQ(periodCode(t), QString()) << t.toStdString();
}

TEST(ReturnFile, TextIsEscapedSoTheFileStaysWellFormed) {
    Outbox b;
    b.settings.setText(P::prefsELSTERID, u"12&3<4>\"5\""_s);
    b.year->set(keys::dateValue, u"2013 € Ω"_s);
    b.settings.setBool(P::winstonHintShown, true);
    b.controller.doTheWinston();
    const QByteArray bytes = readFile(b.file(u"Quandor_03_2013 € Ω.xml"_s));
    EXPECT_TRUE(bytes.contains("<Ordnungsnummer>12&amp;3&lt;4&gt;&quot;5&quot;</Ordnungsnummer>"));
    // Outside Latin-1 as character references: the declared encoding holds.
    EXPECT_TRUE(bytes.contains("<AnmeldeJahr>2013 &#8364; &#937;</AnmeldeJahr>"));
    EXPECT_EQ(escapeXmlText(u"ä"_s).toLatin1(), QByteArray("\xE4"));
}

TEST(ReturnFile, MissingOrUnwritableOutboxIsToldAndLeavesNothing) {
    test::TotalsBooks b;
    b.settings.setBool(P::winstonHintShown, true);
    b.income(119.0f, 19.0f, 1);
    b.controller.doTheWinston();
    ASSERT_EQ(b.ui.alerts.size(), 1u);  // its text is the golden case's
    EXPECT_EQ(b.ui.alerts[0].title, u"Fehler!"_s);
    EXPECT_EQ(b.ui.clipboard.size(), 1u);  // the figures can still be typed in
    // One alert for one click: no notice, no start of a client that has no file to read.
    b.settings.setBool(P::winstonHintShown, false);
    b.controller.doTheWinston();
    EXPECT_EQ(b.ui.alerts.size(), 2u);
    EXPECT_EQ(b.ui.launches.size(), 0u);

    // The file cannot be put in place (a folder holds its name): no file, no temporary left.
    const QString outbox = b.dir.filePath(u"ausgang"_s);
    QDir().mkpath(outbox + u"/Quandor_03_2013.xml"_s);
    const auto result = b.controller.writeReturnFile(outbox);
    EXPECT_FALSE(result.written);
    EXPECT_TRUE(
        result.error.startsWith(u"Die Datei für Winston konnte nicht geschrieben werden: "_s));
    EXPECT_EQ(b.ui.alerts.back().message, result.error);
    EXPECT_EQ(QDir(outbox).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{u"Quandor_03_2013.xml"_s});
}

TEST(ReturnFile, FiguresFollowTheStatementWritten) {
    Outbox b;
    b.settings.setBool(P::winstonHintShown, true);
    b.income(119.0f, 19.0f, 1);
    b.totals.infoWindowVoid();
    // Another statement selected since: its own figures, never the last window's.
    RecordPtr april = Record::create(RecordClass::Thelist, Date{});
    april->set(keys::title, u"April"_s);
    b.year->thelists().push_back(april);
    b.app.selection().setStatementIndex(1);
    const auto result = b.controller.writeReturnFile();
    ASSERT_TRUE(result.written);
    EXPECT_TRUE(readFile(result.path).contains("<Kennzahl nr=\"Kz81\">0,00</Kennzahl>"));
    EXPECT_TRUE(result.path.endsWith(u"Quandor_04_2013.xml"_s));
}

TEST(VoranmeldungWindow, FilteredReturnIsShownAndAskedBeforeBookingOrHandingOver) {
    Outbox b;
    b.settings.setBool(P::winstonHintShown, true);
    b.income(119.0f, 19.0f, 1)->set(keys::title, u"Müller GmbH"_s);
    b.income(238.0f, 38.0f, 1)->set(keys::title, u"Schmidt"_s);
    b.app.selection().refresh();
    EXPECT_EQ(b.controller.filteredReturnNote(), QString());
    b.app.selection().setFilterText(u"Müller"_s);
    ASSERT_TRUE(b.controller.openVoranmeldungsWindow());
    EXPECT_EQ(b.controller.filteredReturnNote(),
              u"Nur gefilterte Posten: 1 von 2 (Suche „Müller“)"_s);

    b.ui.alerts.clear();
    b.controller.setReturnCreated(true);  // the default answer: Abbrechen
    ASSERT_EQ(b.ui.alerts.size(), 1u);
    EXPECT_TRUE(
        b.ui.alerts[0].message.contains(u"Nur gefilterte Posten: 1 von 2 (Suche „Müller“)"_s));
    EXPECT_EQ(b.ui.alerts[0].buttons, (QStringList{u"Abbrechen"_s, u"Trotzdem buchen"_s}));
    EXPECT_FALSE(b.statement->flag(keys::taxBool));
    EXPECT_EQ(b.statement->real(keys::payment), 0.0f);

    b.controller.doTheWinston();
    EXPECT_EQ(b.ui.alerts.back().buttons, (QStringList{u"Abbrechen"_s, u"Trotzdem übergeben"_s}));
    EXPECT_TRUE(QDir(b.app.paths().elsterOutbox).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(b.ui.launches.empty());

    // Asked and confirmed: booked with the filtered figures, as the person chose.
    b.ui.answers = {1, 0};  // "Trotzdem buchen", then "Übernehmen"
    b.controller.setReturnCreated(true);
    EXPECT_TRUE(b.statement->flag(keys::taxBool));
    EXPECT_TRUE(sameBits(b.statement->real(keys::payment), 19.0f));

    // Without a filter nothing is asked.
    b.app.selection().setFilterText(QString());
    const size_t before = b.ui.alerts.size();
    b.controller.doTheWinston();
    EXPECT_EQ(b.ui.alerts.size(), before);
    EXPECT_EQ(b.ui.launches.size(), 1u);
}
