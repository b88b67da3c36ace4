#include "bookkeeping/voranmeldung.h"

#include "core/number_texts.h"
#include "core/paths.h"
#include "print/page.h"

#include <QStringEncoder>

#include <utility>

namespace quandor {

QString periodCode(const QString& title) {
    static const std::pair<const char16_t*, const char16_t*> codes[] = {
        {u"Jahr", u"19"},
        {u"1. Kalendervierteljahr", u"41"},
        {u"2. Kalendervierteljahr", u"42"},
        {u"3. Kalendervierteljahr", u"43"},
        {u"4. Kalendervierteljahr", u"44"},
        {u"Januar", u"01"},
        {u"Februar", u"02"},
        {u"März", u"03"},
        {u"April", u"04"},
        {u"Mai", u"05"},
        {u"Juni", u"06"},
        {u"Juli", u"07"},
        {u"August", u"08"},
        {u"September", u"09"},
        {u"Oktober", u"10"},
        {u"November", u"11"},
        {u"Dezember", u"12"},
    };
    for (const auto& [name, code] : codes)
        if (title == QStringView(name)) return QString::fromUtf16(code);
    return {};
}

QString returnFileName(const QString& code, const QString& yearName) {
    // The year's name is the person's text: it must not steer the path.
    return Paths::safeFileName(QStringLiteral("Quandor_%1_%2.xml").arg(code, yearName));
}

QString escapeXmlText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
            case u'&':
                out += u"&amp;";
                continue;
            case u'<':
                out += u"&lt;";
                continue;
            case u'>':
                out += u"&gt;";
                continue;
            case u'"':
                out += u"&quot;";
                continue;
            case u'\'':
                out += u"&apos;";
                continue;
            default:
                break;
        }
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            continue;  // not allowed in XML
        if (c.unicode() <= 0xFF) {
            out += c;
            continue;
        }
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, text[i + 1]);
            ++i;
        } else if (c.isSurrogate()) {
            continue;  // a lone half of a pair is no character
        }
        out += QStringLiteral("&#%1;").arg(static_cast<uint>(code));
    }
    return out;
}

ReturnFileContent ReturnFileContent::fromTotals(const QString& elsterId, const QString& yearName,
                                                const QString& title, const StatementTotals& t) {
    ReturnFileContent c;
    c.elsterId = elsterId;
    c.yearName = yearName;
    c.period = periodCode(title);
    c.kz81 = t.tax1Sum;
    c.kz86 = t.tax2Sum;
    c.kz35 = t.tax3Sum;
    c.kz45 = t.nichtSteuerbar;
    c.kz66 = t.abziehbareBetraegeSteuer;
    c.kz83 = t.saldo;
    c.kz48 = t.steuerfreieUmsaetze;
    c.kz36 = t.tax3Amount;
    return c;
}

std::span<const Kennzahl> kennzahlen() {
    static const Kennzahl all[] = {
        {u"81", &StatementTotals::tax1Sum},
        {u"86", &StatementTotals::tax2Sum},
        {u"35", &StatementTotals::tax3Sum},
        {u"36", &StatementTotals::tax3Amount},
        {u"48", &StatementTotals::steuerfreieUmsaetze},
        {u"45", &StatementTotals::nichtSteuerbar},
        {u"66", &StatementTotals::abziehbareBetraegeSteuer},
        {u"83", &StatementTotals::saldo},
    };
    return all;
}

QString kennzahlLabel(QStringView nr) {
    return QStringLiteral("Kz ") + nr.toString();
}

QString kennzahlenHintHtml(const QString& hint) {
    return print::pageText(hint).replace(QStringLiteral("Kz "), QStringLiteral("Kz&nbsp;"));
}

QStringView kennzahlOf(float StatementTotals::*member) {
    for (const Kennzahl& k : kennzahlen())
        if (k.member == member) return k.nr;
    return {};
}

const QString kKennzahlenHint = QStringLiteral(
    "Ohne Winston trägst du diese Zahlen selbst ins amtliche Formular ein: die Umsätze in Kz 81, "
    "86, 35, 48 und 45 (in vollen Euro), die Steuer zu Kz 35 in Kz 36, die Vorsteuer in Kz 66 und "
    "den Saldo in Kz 83 (negativ: Erstattung).");

QByteArray returnFileBytes(const ReturnFileContent& c) {
    // Built by concatenation: a value holding "%1" must never be taken for a slot.
    auto kz = [](const char* nr, float v) {
        return QStringLiteral("\t<Kennzahl nr=\"") + QLatin1String(nr) + QStringLiteral("\">") +
               plainAmountText(v) + QStringLiteral("</Kennzahl>\n");
    };
    const QString text =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\n<WinstonAusgang>\n"
            "\t<Formular Typ=\"UST\"></Formular>\n\t<Ordnungsnummer>") +
        escapeXmlText(c.elsterId) + QStringLiteral("</Ordnungsnummer>\n\t<AnmeldeJahr>") +
        escapeXmlText(c.yearName) + QStringLiteral("</AnmeldeJahr>\n\t<AnmeldeZeitraum>") +
        escapeXmlText(c.period) + QStringLiteral("</AnmeldeZeitraum>\n") + kz("Kz81", c.kz81) +
        kz("Kz86", c.kz86) + kz("Kz35", c.kz35) +
        (c.kz36 != 0.0f ? kz("Kz36", c.kz36) : QString()) + kz("Kz45", c.kz45) +
        kz("Kz66", c.kz66) + kz("Kz83", c.kz83) + kz("Kz48", c.kz48) +
        QStringLiteral("</WinstonAusgang>");
    QStringEncoder latin1("ISO-8859-1");
    return latin1.encode(text);
}

QString returnClipboardText(const QString& company, const QString& taxId, const QString& yearName,
                            const QString& title, const std::array<QString, 6>& f) {
    QString text = company + QStringLiteral(" - 1/") + taxId + u'/' + yearName +
                   QStringLiteral(" / - [Umsatzsteuer-Voranmeldung ") + title + u' ' + yearName +
                   QStringLiteral("]\n");
    static const char* const numbers[] = {"81", "86", "35", "45", "66", "83"};
    for (size_t i = 0; i < f.size(); ++i)
        text += QStringLiteral("\t\t") + QLatin1String(numbers[i]) + u'\t' + f[i] + u'\n';
    return text;
}

}  // namespace quandor
