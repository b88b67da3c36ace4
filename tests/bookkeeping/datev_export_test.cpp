// The DATEV controller's choices that the command line cannot reach: cash-book
// items, attached documents, automatic VAT accounts, the question before items
// are left out; and the return file's Kz36.
#include "bookkeeping/datev_export.h"
#include "bookkeeping/voranmeldung.h"
#include "core/keys.h"
#include "core/settings_keys.h"
#include "support/books.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QLocale>

using namespace quandor;
namespace P = quandor::prefs;

namespace {

struct DatevBooks : test::OpenBooks {
    RecordPtr year = Record::create(RecordClass::Year, Date{});
    RecordPtr statement = Record::create(RecordClass::Thelist, Date{});
    DatevExportController controller{app.books()};

    DatevBooks() {
        year->set(keys::dateValue, QStringLiteral("2024"));
        statement->set(keys::title, QStringLiteral("Mai"));
        year->thelists().push_back(statement);
        settings.setText(P::prefsDatevBeraterNummer, QStringLiteral("1001"));
        settings.setText(P::prefsDatevMandantenNummer, QStringLiteral("1"));
    }
    Record& item(int kind, float gross, const QString& account, const QString& accountTitle = {}) {
        RecordPtr r = Record::create(RecordClass::Item, Date{});
        r->set(keys::kind, kind);
        r->set(keys::finalAmount, gross);
        r->set(keys::accountNumber, account);
        r->set(keys::account, accountTitle);
        r->set(keys::taxBool, true);
        r->set(keys::taxTag, 1);
        r->set(keys::taxPerecent, 19.0f);
        r->set(keys::title, QStringLiteral("Posten"));
        r->set(keys::date, Date::fromUnix(1715000000));  // 6 May 2024
        statement->items().push_back(r);
        return *r;
    }
};

}  // namespace

TEST(DatevExport, CashBookDocumentsAndAutomaticAccounts) {
    DatevBooks b;
    b.item(1, -119.0f, QStringLiteral("6815")).set(keys::misc9, QStringLiteral("isKassenbuch"));
    b.item(0, 238.0f, QStringLiteral("4400"), QStringLiteral("Erlöse 19 % USt"))
        .set(keys::filePath, QStringLiteral("/home/anna/Belege/Rechnung 7.pdf"));
    b.item(0, 238.0f, QStringLiteral("4400"));  // known as automatic from the shipped chart
    const auto c = b.controller.collect(*b.year, b.statement.get());
    ASSERT_EQ(c.batch.bookings.size(), 3u);
    EXPECT_EQ(c.batch.bookings[0].gegenkonto, "1600");
    EXPECT_EQ(c.batch.bookings[0].buKey, "9");
    EXPECT_TRUE(c.batch.bookings[0].soll);
    EXPECT_EQ(c.batch.bookings[1].gegenkonto, "1800");
    EXPECT_EQ(c.batch.bookings[1].buKey, "");
    EXPECT_EQ(c.batch.bookings[1].beleglink, "Rechnung 7.pdf");
    EXPECT_FALSE(c.batch.bookings[1].soll);
    EXPECT_EQ(c.batch.bookings[2].buKey, "");
    EXPECT_EQ(c.batch.from, QDate(2024, 5, 6));
}

TEST(DatevExport, LeftOutItemsAreAskedAboutFirst) {
    DatevBooks b;
    b.item(1, -10.0f, QStringLiteral("6815"));
    b.item(1, -20.0f, QString()).set(keys::title, QStringLiteral("ohne\nKonto"));
    b.item(1, -30.0f, QStringLiteral("68a5"));
    b.item(1, -40.0f, QStringLiteral("6815")).set(keys::date, Date::fromUnix(1680000000));  // 2023
    const QString path = b.dir.filePath(QStringLiteral("extf.csv"));
    EXPECT_EQ(b.controller.exportBookings(*b.year, nullptr, path), ExportResult::Cancelled);
    EXPECT_FALSE(QFile::exists(path));
    ASSERT_EQ(b.ui.alerts.size(), 1u);
    const QString& m = b.ui.alerts[0].message;
    EXPECT_TRUE(m.contains(QStringLiteral("• ohne Konto (")) &&
                m.contains(QStringLiteral("keine Kontonummer")));
    EXPECT_TRUE(m.contains(QStringLiteral("„68a5“ ist keine DATEV-Kontonummer")));
    EXPECT_TRUE(m.contains(QStringLiteral("nicht im Wirtschaftsjahr 2024")));

    b.ui.answers.push_back(1);
    EXPECT_EQ(b.controller.exportBookings(*b.year, nullptr, path), ExportResult::Written);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().count("\r\n"), 3);  // header, headings, one booking
}

TEST(DatevExport, FieldsAreCleanedAndCut) {
    EXPECT_EQ(datevBelegfeld(QStringLiteral("RE 2024/ÄÖ-ß_#1")), "RE2024/AeOe-ss1");
    EXPECT_EQ(datevBelegfeld(QString(50, u'9')).size(), 36);
    EXPECT_EQ(datevBuKey(false, 7.0f), "2");
    EXPECT_EQ(datevBuKey(true, 7.0f), "8");
    EXPECT_EQ(datevBuKey(true, 10.7f), "");
    DatevBatch batch;
    batch.fiscalYear = 2024;
    batch.created = QDateTime(QDate(2024, 6, 1), QTime(8, 0));
    DatevBooking k;
    k.amount = -1234.5f;
    k.konto = QStringLiteral("6815");
    k.gegenkonto = QStringLiteral("1800");
    k.belegdatum = QDate(2024, 5, 6);
    k.buchungstext = QStringLiteral("\"A\";\u0001B\u2603") + QString(100, u'x');
    batch.bookings.push_back(k);
    const QByteArray bytes = datevBatchBytes(batch);
    const QByteArray line = bytes.split('\n').at(2);
    EXPECT_TRUE(
        line.startsWith("1234,50;\"H\";\"EUR\";;;;6815;1800;;0605;\"\";;;\"\"\"A\"\"; B?xxx"));
    // 60 characters of text: the doubled quotes do not count.
    const int start = line.indexOf("\"\"\"A");
    EXPECT_EQ(line.indexOf("\";", start + 1 + 2 + 60), start + 1 + 2 + 60);
}

TEST(ReturnFile, Kz36OnlyWithTaxOnTheThirdRate) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ReturnFileContent c;
    c.kz35 = 100.0f;
    EXPECT_FALSE(returnFileBytes(c).contains("Kz36"));
    c.kz36 = 10.7f;
    EXPECT_TRUE(returnFileBytes(c).contains(
        "<Kennzahl nr=\"Kz35\">100,00</Kennzahl>\n\t<Kennzahl nr=\"Kz36\">"
        "10,70</Kennzahl>\n\t<Kennzahl nr=\"Kz45\">"));
    QLocale::setDefault(before);
}
