#pragma once
// The VAT advance return handed to the ELSTER client: the period code of a
// statement title, the return file (XML for the client's outbox) and the
// plain-text block for the clipboard.

#include "bookkeeping/statement_totals.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <span>

namespace quandor {

// The return period of a statement title ("01" … "12", "41" … "44", "19");
// empty when the title names no period (compared exactly, case-sensitively).
QString periodCode(const QString& title);

// "Quandor_<code>_<year>.xml"
QString returnFileName(const QString& code, const QString& yearName);

// Escapes text for XML content and attributes ("&", "<", ">", quotes).
// Characters outside Latin-1 become character references, so the text can be
// stored in the file's declared ISO-8859-1 encoding without loss.
QString escapeXmlText(const QString& text);

struct ReturnFileContent {
    QString elsterId;  // "prefsELSTERID", the Ordnungsnummer
    QString yearName;  // the year's "dateValue"
    QString period;    // periodCode() of the statement title
    // Kz81, Kz86, Kz35, Kz45, Kz66, Kz83, Kz48
    float kz81 = 0, kz86 = 0, kz35 = 0, kz45 = 0, kz66 = 0, kz83 = 0, kz48 = 0;
    // The tax on the third rate; written right after Kz35, and only when it is not 0.
    float kz36 = 0;

    static ReturnFileContent fromTotals(const QString& elsterId, const QString& yearName,
                                        const QString& title, const StatementTotals& t);
};

// A figure of the official form: its Kennzahl and the total that fills it.
struct Kennzahl {
    QStringView nr;  // "81"
    float StatementTotals::*member;
};
// 81, 86, 35, 36, 48, 45, 66, 83: the figures the return window and the pages label.
std::span<const Kennzahl> kennzahlen();
// "Kz 81"
QString kennzahlLabel(QStringView nr);
// The Kennzahl that the total `member` fills ("36" for `tax3Amount`); empty
// when it fills none.
QStringView kennzahlOf(float StatementTotals::*member);
// The line under the figures: which of them go into the official form when
// the person files without the ELSTER client.
extern const QString kKennzahlenHint;
// Such a line as page text: a Kennzahl never breaks away from its number.
QString kennzahlenHintHtml(const QString& hint);

// The return file's bytes, ISO-8859-1 as its declaration says (for ASCII
// text the same bytes as UTF-8).
QByteArray returnFileBytes(const ReturnFileContent& content);

// The clipboard block. `fields` are the window's texts of the net revenue at
// rates 1, 2 and 3, the not-taxable revenue, the deductible input VAT and the balance.
QString returnClipboardText(const QString& company, const QString& taxId, const QString& yearName,
                            const QString& title, const std::array<QString, 6>& fields);

}  // namespace quandor
