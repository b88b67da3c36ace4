#pragma once
// Reading the documents of the two invoicing programs whose invoices become
// booking items.
//
// Fennick writes one invoice per document: a keyed archive (the form of the
// database file) whose root dictionary holds the invoice under "fennickDic":
//
//   fennickDic: title, number, address (several lines), tax1Percent …
//               tax3Percent (fractions: 0.19), due, sent, paid (dates),
//               status (3: paid), items: [{title, amount (gross),
//               isTax1Applied … isTax3Applied}]
//
// GrandTotal exports a list of invoices for this program: a property list
// (binary or XML) whose root is an array of dictionaries with dateSent,
// dateDue, datePaid, PDFPath, name, formattedAddress, gross (and taxClass,
// taxClass3, which the import does not read: the tax is chosen on the sheet).
//
// Both readers accept what they can and never crash or hang on damaged
// input: a document that is no such document gives ok = false and a German
// reason; single positions or invoices that are no dictionaries, or whose
// amount is no number, come back marked so the import can name them.

#include "core/value.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace quandor {

struct FennickPosition {
    bool readable = false;  // a dictionary
    QString title;
    std::optional<double> amount;  // nothing: no number
    std::array<bool, 3> taxApplied{};
};

struct FennickInvoice {
    QString title;
    QString number;
    QString address;
    std::array<double, 3> taxPercent{};  // fractions of the invoice: 0.19 for 19 %
    std::optional<Date> due, sent, paid;
    int64_t status = 0;  // 3: paid
    std::vector<FennickPosition> positions;
};

struct FennickRead {
    bool ok = false;
    FennickInvoice invoice;
    QString error;  // German, when !ok
};

FennickRead readFennickDocument(const QByteArray& bytes);
FennickRead readFennickFile(const QString& path);

struct GrandTotalInvoice {
    bool readable = false;  // a dictionary
    QString name;
    QString formattedAddress;
    QString pdfPath;
    std::optional<double> gross;
    std::optional<Date> dateSent, dateDue, datePaid;
};

struct GrandTotalRead {
    bool ok = false;
    std::vector<GrandTotalInvoice> invoices;
    QString error;  // German, when !ok
};

GrandTotalRead readGrandTotalExport(const QByteArray& bytes);
GrandTotalRead readGrandTotalFile(const QString& path);

// Files larger than this are no invoice documents; they are refused unread.
inline constexpr qint64 kMaxInvoiceFileBytes = qint64{64} << 20;

}  // namespace quandor
