#include "bookkeeping/datev_export.h"

#include "bookkeeping/alert_words.h"
#include "core/books.h"
#include "core/datev_charts.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "core/settings.h"
#include "core/settings_keys.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringEncoder>

#include <cmath>

namespace quandor {

namespace {

// The booking batch's columns, in the order of DATEV's format description
// (format version 13 of data category 21).
const char* const kColumns[] = {
    "Umsatz (ohne Soll/Haben-Kz)", "Soll/Haben-Kennzeichen", "WKZ Umsatz", "Kurs", "Basis-Umsatz",
    "WKZ Basis-Umsatz", "Konto", "Gegenkonto (ohne BU-Schlüssel)", "BU-Schlüssel", "Belegdatum",
    "Belegfeld 1", "Belegfeld 2", "Skonto", "Buchungstext", "Postensperre", "Diverse Adressnummer",
    "Geschäftspartnerbank", "Sachverhalt", "Zinssperre", "Beleglink", "Beleginfo - Art 1",
    "Beleginfo - Inhalt 1", "Beleginfo - Art 2", "Beleginfo - Inhalt 2", "Beleginfo - Art 3",
    "Beleginfo - Inhalt 3", "Beleginfo - Art 4", "Beleginfo - Inhalt 4", "Beleginfo - Art 5",
    "Beleginfo - Inhalt 5", "Beleginfo - Art 6", "Beleginfo - Inhalt 6", "Beleginfo - Art 7",
    "Beleginfo - Inhalt 7", "Beleginfo - Art 8", "Beleginfo - Inhalt 8", "KOST1 - Kostenstelle",
    "KOST2 - Kostenstelle", "Kost-Menge", "EU-Land u. UStID (Bestimmung)",
    "EU-Steuersatz (Bestimmung)", "Abw. Versteuerungsart", "Sachverhalt L+L",
    "Funktionsergänzung L+L", "BU 49 Hauptfunktionstyp", "BU 49 Hauptfunktionsnummer",
    "BU 49 Funktionsergänzung",
    // Zusatzinformation - Art/Inhalt 1 … 20 follow here (see columnNames()).
    "Stück", "Gewicht", "Zahlweise", "Forderungsart", "Veranlagungsjahr", "Zugeordnete Fälligkeit",
    "Skontotyp", "Auftragsnummer", "Buchungstyp", "USt-Schlüssel (Anzahlungen)",
    "EU-Land (Anzahlungen)", "Sachverhalt L+L (Anzahlungen)", "EU-Steuersatz (Anzahlungen)",
    "Erlöskonto (Anzahlungen)", "Herkunft-Kz", "Buchungs GUID", "KOST-Datum",
    "SEPA-Mandatsreferenz", "Skontosperre", "Gesellschaftername", "Beteiligtennummer",
    "Identifikationsnummer", "Zeichnernummer", "Postensperre bis", "Bezeichnung SoBil-Sachverhalt",
    "Kennzeichen SoBil-Buchung", "Festschreibung", "Leistungsdatum", "Datum Zuord. Steuerperiode",
    "Fälligkeit", "Generalumkehr (GU)", "Steuersatz", "Land", "Abrechnungsreferenz", "BVV-Position",
    "EU-Land u. UStID (Ursprung)", "EU-Steuersatz (Ursprung)", "Abw. Skontokonto"};
constexpr int kZusatzAfter = 47;  // the first 47 names come before the 40 Zusatzinformation columns

QStringList columnNames() {
    QStringList names;
    int i = 0;
    for (const char* name : kColumns) {
        if (i++ == kZusatzAfter) {
            for (int n = 1; n <= 20; ++n) {
                names << QStringLiteral("Zusatzinformation - Art %1").arg(n)
                      << QStringLiteral("Zusatzinformation - Inhalt %1").arg(n);
            }
        }
        names << QString::fromUtf8(name);
    }
    return names;
}

// Columns of a booking line (0-based).
enum Column {
    cUmsatz = 0,
    cSollHaben = 1,
    cWkz = 2,
    cKonto = 6,
    cGegenkonto = 7,
    cBu = 8,
    cBelegdatum = 9,
    cBelegfeld1 = 10,
    cBuchungstext = 13,
    cBeleglink = 19
};

QString oneLine(QString text) {
    for (QChar& c : text)
        if (c.unicode() < 0x20 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    return text.simplified();
}

// Control characters become blanks, characters Windows-1252 does not hold "?".
QString windows1252Text(const QString& text) {
    QStringEncoder probe("windows-1252", QStringConverter::Flag::ConvertInvalidToNull);
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            out += u'?';
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            out += u' ';
        } else if (c.unicode() >= 0x80) {
            const QByteArray b = probe.encode(QStringView(&c, 1));
            out += (b.size() != 1 || b[0] == '\0') ? QChar(u'?') : c;
        } else {
            out += c;
        }
    }
    return out;
}

// A text field: quoted, inner quotes doubled.
QString textField(const QString& text) {
    QString quoted = windows1252Text(text);
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

// A text field of at most `n` characters, on one line.
QString shortField(const QString& text, qsizetype n) {
    return textField(windows1252Text(oneLine(text)).left(n));
}

QString amountField(float v) {
    QString s = QString::number(std::fabs(static_cast<double>(v)), 'f', 2);
    s.replace(u'.', u',');
    return s;
}

// At most `n` characters, never half of a surrogate pair.
QString cut(const QString& text, qsizetype n) {
    if (text.size() <= n) return text;
    if (text.at(n - 1).isHighSurrogate()) --n;
    return text.left(n);
}

bool isAccountNumber(const QString& s) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    return digits.match(s).hasMatch();
}

bool validNumber(const QString& s, qint64 low, qint64 high) {
    bool ok = false;
    const qint64 n = s.trimmed().toLongLong(&ok);
    return ok && isAccountNumber(s.trimmed()) && n >= low && n <= high;
}

}  // namespace

// ---- the file ----------------------------------------------------------------------

DatevSettings DatevSettings::read(const Settings& s) {
    DatevSettings d;
    d.beraterNummer = s.getText(prefs::prefsDatevBeraterNummer).trimmed();
    d.mandantenNummer = s.getText(prefs::prefsDatevMandantenNummer).trimmed();
    const QString bank = s.getText(prefs::prefsDatevKontoBank).trimmed();
    const QString kasse = s.getText(prefs::prefsDatevKontoKasse).trimmed();
    if (!bank.isEmpty()) d.kontoBank = bank;
    if (!kasse.isEmpty()) d.kontoKasse = kasse;
    return d;
}

QByteArray datevBatchBytes(const DatevBatch& b) {
    const QString crlf = QStringLiteral("\r\n");
    auto day = [](const QDate& d) { return d.toString(QStringLiteral("yyyyMMdd")); };
    // The length of the general-ledger accounts: that of the bank and cash
    // accounts, at least 4 (SKR 04). Longer numbers on items are personal
    // accounts, which DATEV tells by their extra digit.
    qsizetype length =
        std::max({qsizetype(4), b.settings.kontoBank.size(), b.settings.kontoKasse.size()});
    length = std::min<qsizetype>(length, 8);

    // The header's 31 fields, in the order of the format description.
    const QString none;
    const std::pair<const char*, QString> header[] = {
        {"Kennzeichen", textField(QStringLiteral("EXTF"))},
        {"Versionsnummer", QStringLiteral("700")},
        {"Formatkategorie", QStringLiteral("21")},
        {"Formatname", textField(QStringLiteral("Buchungsstapel"))},
        {"Formatversion", QStringLiteral("13")},
        {"Erzeugt am", b.created.toString(QStringLiteral("yyyyMMddHHmmsszzz"))},
        {"Importiert", none},
        {"Herkunft", textField(QStringLiteral("RE"))},
        {"Exportiert von", textField(none)},
        {"Importiert von", textField(none)},
        {"Beraternummer", b.settings.beraterNummer},
        {"Mandantennummer", b.settings.mandantenNummer},
        {"WJ-Beginn",
         QStringLiteral("%1").arg(b.fiscalYear, 4, 10, QLatin1Char('0')) + QStringLiteral("0101")},
        {"Sachkontenlänge", QString::number(length)},
        {"Datum vom", day(b.from)},
        {"Datum bis", day(b.to)},
        {"Bezeichnung", shortField(b.label, 30)},
        {"Diktatkürzel", textField(none)},
        {"Buchungstyp", QStringLiteral("1")},            // Finanzbuchführung
        {"Rechnungslegungszweck", QStringLiteral("0")},  // none given
        {"Festschreibung", QStringLiteral("0")},         // none: the advisor checks first
        {"WKZ", textField(QStringLiteral("EUR"))},
        {"reserviert", none},
        {"Derivatskennzeichen", textField(none)},
        {"reserviert", none},
        {"reserviert", none},
        {"Sachkontenrahmen", textField(QStringLiteral("04"))},
        {"ID der Branchenlösung", none},
        {"reserviert", none},
        {"reserviert", textField(none)},
        {"Anwendungsinformation", textField(none)},
    };
    static_assert(sizeof(header) / sizeof(header[0]) == 31);
    QStringList head;
    for (const auto& [name, field] : header) head << field;

    QStringList headings;
    for (const QString& name : columnNames()) headings << textField(name);
    const qsizetype columns = headings.size();

    QString text = head.join(u';') + crlf + headings.join(u';') + crlf;
    for (const DatevBooking& k : b.bookings) {
        QStringList f(columns);
        f[cUmsatz] = amountField(k.amount);
        f[cSollHaben] = textField(k.soll ? QStringLiteral("S") : QStringLiteral("H"));
        f[cWkz] = textField(QStringLiteral("EUR"));
        f[cKonto] = k.konto;
        f[cGegenkonto] = k.gegenkonto;
        f[cBu] = k.buKey.isEmpty() ? QString() : textField(k.buKey);
        f[cBelegdatum] = k.belegdatum.toString(QStringLiteral("ddMM"));
        f[cBelegfeld1] = textField(k.belegfeld1);
        f[cBuchungstext] = shortField(k.buchungstext, 60);
        if (!k.beleglink.isEmpty()) f[cBeleglink] = shortField(k.beleglink, 210);
        text += f.join(u';') + crlf;
    }
    QStringEncoder cp1252("windows-1252");
    return cp1252.encode(text);
}

QString datevBelegfeld(const QString& number) {
    // Umlauts and ß are written out; anything else outside the field's set is left out.
    static const QHash<char16_t, QString> spelled = {
        {u'ä', QStringLiteral("ae")}, {u'ö', QStringLiteral("oe")}, {u'ü', QStringLiteral("ue")},
        {u'Ä', QStringLiteral("Ae")}, {u'Ö', QStringLiteral("Oe")}, {u'Ü', QStringLiteral("Ue")},
        {u'ß', QStringLiteral("ss")}};
    static const QString allowedSigns = QStringLiteral("$&%*+-/");
    QString out;
    for (const QChar c : number) {
        if (const auto it = spelled.constFind(c.unicode()); it != spelled.constEnd())
            out += *it;
        else if ((c.isLetterOrNumber() && c.unicode() < 128) || allowedSigns.contains(c))
            out += c;
    }
    return out.left(36);
}

bool isAutomaticVatAccount(const QString& title) {
    static const QRegularExpression automatic(
        QStringLiteral("\\d+(,\\d+)?\\s*%\\s*(USt|Vorsteuer)\\b"));
    return automatic.match(title).hasMatch();
}

QString datevBuKey(bool expense, float rate) {
    const auto is = [rate](float r) { return std::fabs(rate - r) < 0.001f; };
    if (is(19) || is(16)) return expense ? QStringLiteral("9") : QStringLiteral("3");
    if (is(7) || is(5)) return expense ? QStringLiteral("8") : QStringLiteral("2");
    return {};
}

// ---- the controller ----------------------------------------------------------------

const QString DatevExportController::kDialogTitle = QStringLiteral("DATEV Datei Exportieren");
const QString DatevExportController::kNumbersMissing = QStringLiteral(
    "Für den DATEV-Export brauchst du deine Beraternummer (1001 bis 9999999) und deine "
    "Mandantennummer (1 bis 99999). Trage sie bitte in den Einstellungen auf der Seite „Datev“ "
    "ein.");
const QString DatevExportController::kSkippedQuestion = QStringLiteral(
    "Diese Posten kann DATEV nicht übernehmen:\n\n%1\n\nMöchtest du ohne diese Posten exportieren? "
    "Sonst ergänze sie zuerst und exportiere dann erneut.");
const QString DatevExportController::kSkipButton = QStringLiteral("Ohne diese Posten exportieren");
const QString DatevExportController::kNothingToExport =
    QStringLiteral("Es gibt keine Posten, die in die DATEV-Datei geschrieben werden können.");

DatevExportController::DatevExportController(Books& books) : books_(books) {}

DatevExportController::Collected DatevExportController::collect(const Record& year,
                                                                const Record* statement) const {
    Collected out;
    DatevBatch& b = out.batch;
    b.settings = DatevSettings::read(books_.settings());
    b.created = books_.now().toLocalTime();

    std::vector<const Record*> items;
    auto take = [&items](const Record& list) {
        for (const RecordPtr& item : list.items())
            if (item) items.push_back(item.get());
    };
    if (statement) {
        take(*statement);
    } else {
        for (const RecordPtr& list : year.thelists())
            if (list) take(*list);
    }

    // The fiscal year: the year's name when it begins with one, else the year
    // of the first item's date.
    const QString yearName = year.text(keys::dateValue).trimmed();
    static const QRegularExpression leadingYear(QStringLiteral("^(\\d{4})(\\D|$)"));
    const QRegularExpressionMatch m = leadingYear.match(yearName);
    if (m.hasMatch()) {
        b.fiscalYear = m.captured(1).toInt();
    } else if (!items.empty()) {
        b.fiscalYear = localDay(items.front()->date(keys::date)).year();
    } else {
        b.fiscalYear = books_.now().toLocalTime().date().year();
    }
    b.label = statement
                  ? QStringLiteral("Quandor %1 %2").arg(statement->text(keys::title), yearName)
                  : QStringLiteral("Quandor %1").arg(yearName);

    // Account titles of the shipped chart, to know the automatic accounts.
    QHash<QString, QString> chartTitles;
    for (const RecordPtr& a : datev::loadShippedChart(datev::Chart::Complete))
        if (a) chartTitles.insert(a->text(keys::number), a->text(keys::title));

    for (const Record* item : items) {
        const QDate day = localDay(item->date(keys::date));
        const QString number = item->text(keys::accountNumber).trimmed();
        const float gross = item->real(keys::finalAmount);
        QString reason;
        if (number.isEmpty())
            reason = QStringLiteral("keine Kontonummer");
        else if (!isAccountNumber(number))
            reason =
                QStringLiteral("„%1“ ist keine DATEV-Kontonummer").arg(cut(oneLine(number), 20));
        else if (day.year() != b.fiscalYear)
            reason =
                QStringLiteral("das Datum liegt nicht im Wirtschaftsjahr %1").arg(b.fiscalYear);
        else if (gross == 0.0f || !std::isfinite(gross))
            reason = QStringLiteral("der Betrag ist 0");
        if (!reason.isEmpty()) {
            QString title = cut(oneLine(item->text(keys::title)), 60);
            if (title.isEmpty()) title = QStringLiteral("(ohne Bezeichnung)");
            QString where = day.toString(QStringLiteral("dd.MM.yyyy"));
            const QString beleg = cut(oneLine(item->text(keys::number)), 36);
            if (!beleg.isEmpty()) where += QStringLiteral(", Beleg ") + beleg;
            out.skipped << QStringLiteral("• %1 (%2): %3").arg(title, where, reason);
            continue;
        }
        DatevBooking k;
        k.amount = gross;
        k.soll = gross < 0;  // money went out: the account is debited
        k.konto = number;
        k.gegenkonto = item->text(keys::misc9) == u"isKassenbuch" ? b.settings.kontoKasse
                                                                  : b.settings.kontoBank;
        const bool expense = item->integer(keys::kind) == 1;
        const int64_t tag = item->integer(keys::taxTag);
        const bool automatic = isAutomaticVatAccount(item->text(keys::account)) ||
                               isAutomaticVatAccount(chartTitles.value(number));
        if (item->flag(keys::taxBool) && tag >= 1 && tag <= 3 && !automatic)
            k.buKey = datevBuKey(expense, item->real(keys::taxPerecent));
        k.belegdatum = day;
        k.belegfeld1 = datevBelegfeld(item->text(keys::number));
        k.buchungstext = item->text(keys::title);
        const QString file = item->text(keys::filePath);
        if (!file.isEmpty()) k.beleglink = QFileInfo(file).fileName();
        if (!b.from.isValid() || day < b.from) b.from = day;
        if (!b.to.isValid() || day > b.to) b.to = day;
        b.bookings.push_back(std::move(k));
    }
    if (!statement || !b.from.isValid()) {
        b.from = QDate(b.fiscalYear, 1, 1);
        b.to = QDate(b.fiscalYear, 12, 31);
    }
    return out;
}

ExportResult DatevExportController::exportBookings(const Record& year, const Record* statement,
                                                   std::optional<QString> path) {
    UiPort& ui = books_.ui();
    const DatevSettings settings = DatevSettings::read(books_.settings());
    if (!validNumber(settings.beraterNummer, 1001, 9999999) ||
        !validNumber(settings.mandantenNummer, 1, 99999) || !isAccountNumber(settings.kontoBank) ||
        !isAccountNumber(settings.kontoKasse)) {
        ui.alert(AlertStyle::Warning, AlertWords::kNoticeTitle, kNumbersMissing,
                 {AlertWords::kOkButton});
        return ExportResult::Refused;
    }
    Collected c = collect(year, statement);
    if (!c.skipped.isEmpty()) {
        QStringList shown = c.skipped.mid(0, 20);
        if (c.skipped.size() > 20)
            shown << QStringLiteral("… und %1 weitere").arg(c.skipped.size() - 20);
        const int answer = ui.alert(AlertStyle::Warning, AlertWords::kAttentionTitle,
                                    kSkippedQuestion.arg(shown.join(u'\n')),
                                    {AlertWords::kCancelButton, kSkipButton});
        if (answer != 1) return ExportResult::Cancelled;
    }
    if (c.batch.bookings.empty()) {
        ui.alert(AlertStyle::Informational, AlertWords::kNoticeTitle, kNothingToExport,
                 {AlertWords::kOkButton});
        return ExportResult::NothingWritten;
    }
    if (!path) {
        path = ui.saveDialog(kDialogTitle, QStringLiteral("csv"),
                             QStringLiteral("EXTF_Buchungsstapel_%1").arg(c.batch.fiscalYear));
        if (!path || path->isEmpty()) return ExportResult::Cancelled;
    }
    return writeExportFile(ui, *path, datevBatchBytes(c.batch)) ? ExportResult::Written
                                                                : ExportResult::Failed;
}

}  // namespace quandor
