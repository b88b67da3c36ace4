#include "import/invoice_readers.h"

#include "core/archive/archive.h"
#include "core/archive/bplist_reader.h"
#include "core/archive/xml_plist.h"

#include <QFile>

#include <cstring>

namespace quandor {

namespace {

namespace bp = archive::bplist;

// The whole file, or a German reason.
bool readWhole(const QString& path, QByteArray* bytes, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.exists() ? QStringLiteral("Die Datei lässt sich nicht öffnen.")
                               : QStringLiteral("Die Datei ist nicht vorhanden.");
        return false;
    }
    if (file.size() > kMaxInvoiceFileBytes) {
        *error = QStringLiteral("Die Datei ist für ein Rechnungsdokument viel zu groß.");
        return false;
    }
    *bytes = file.read(kMaxInvoiceFileBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes->size() > kMaxInvoiceFileBytes) {
        *error = QStringLiteral("Die Datei lässt sich nicht lesen.");
        return false;
    }
    return true;
}

// The detail in the last parentheses of a reader's message ("… (die Datei ist leer)").
QString detailOf(const QString& message) {
    const qsizetype open = message.lastIndexOf(u'(');
    if (open < 0 || !message.endsWith(u')')) return message;
    return message.mid(open + 1, message.size() - open - 2);
}

std::optional<double> numberOf(const Value& v) {
    switch (v.type()) {
        case Value::Type::Int:
        case Value::Type::Real:
            return v.toDouble();
        case Value::Type::String: {
            bool ok = false;
            const double d = v.asString().trimmed().toDouble(&ok);
            if (ok) return d;
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

std::optional<Date> dateOf(const Value* v) {
    if (v && v->type() == Value::Type::Date) return v->asDate();
    return std::nullopt;
}

QString textOf(const Value* v) {
    if (!v) return QString();
    if (v->type() == Value::Type::String) return v->asString();
    if (v->type() == Value::Type::Int) return QString::number(v->asInt());
    return QString();
}

const Dict* dictOf(const Value* v) {
    if (v && v->type() == Value::Type::Dict && v->asDict()) return v->asDict().get();
    return nullptr;
}

// ---- a property list walked in place ----------------------------------------------------

QString plistText(const bp::Object& s) {
    const auto n = static_cast<qsizetype>(s.count);
    switch (s.kind) {
        case bp::Kind::Ascii:
            return QString::fromLatin1(reinterpret_cast<const char*>(s.payload), n);
        case bp::Kind::Utf8:
            return QString::fromUtf8(reinterpret_cast<const char*>(s.payload), n);
        case bp::Kind::Utf16: {
            QString out(n, Qt::Uninitialized);
            auto* d = reinterpret_cast<char16_t*>(out.data());
            for (qsizetype i = 0; i < n; ++i)
                d[i] = static_cast<char16_t>((s.payload[2 * i] << 8) | s.payload[2 * i + 1]);
            return out;
        }
        default:
            return QString();
    }
}

std::optional<double> plistNumber(const bp::Object& o) {
    switch (o.kind) {
        case bp::Kind::Int:
            return static_cast<double>(o.integer);
        case bp::Kind::Real32:
        case bp::Kind::Real64:
            return o.real;
        case bp::Kind::Ascii:
        case bp::Kind::Utf8:
        case bp::Kind::Utf16: {
            bool ok = false;
            const double d = plistText(o).trimmed().toDouble(&ok);
            if (ok) return d;
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

GrandTotalInvoice plistInvoice(const bp::Reader& reader, const bp::Object& dict) {
    GrandTotalInvoice invoice;
    invoice.readable = true;
    for (uint64_t i = 0; i < dict.count; ++i) {
        bp::Object key, value;
        if (reader.object(reader.reference(dict, i), &key) != archive::Damage::None ||
            !key.isString())
            continue;
        if (reader.object(reader.reference(dict, dict.count + i), &value) != archive::Damage::None)
            continue;
        const QString name = plistText(key);
        auto text = [&] {
            if (value.isString()) return plistText(value);
            if (value.kind == bp::Kind::Int) return QString::number(value.integer);
            return QString();
        };
        auto date = [&]() -> std::optional<Date> {
            if (value.kind == bp::Kind::Date) return Date{value.real};
            return std::nullopt;
        };
        if (name == u"name")
            invoice.name = text();
        else if (name == u"formattedAddress")
            invoice.formattedAddress = text();
        else if (name == u"PDFPath")
            invoice.pdfPath = text();
        else if (name == u"gross")
            invoice.gross = plistNumber(value);
        else if (name == u"dateSent")
            invoice.dateSent = date();
        else if (name == u"dateDue")
            invoice.dateDue = date();
        else if (name == u"datePaid")
            invoice.datePaid = date();
    }
    return invoice;
}

GrandTotalRead walkGrandTotal(const QByteArray& binary) {
    GrandTotalRead r;
    bp::Reader reader;
    const auto* data = reinterpret_cast<const uint8_t*>(binary.constData());
    archive::Damage d = reader.open(data, static_cast<size_t>(binary.size()));
    bp::Object top;
    if (d == archive::Damage::None) d = reader.object(reader.topObject(), &top);
    if (d != archive::Damage::None) {
        r.error =
            QStringLiteral("Die Rechnungsliste ist beschädigt (%1).").arg(archive::damageDetail(d));
        return r;
    }
    if (top.kind != bp::Kind::Array) {
        r.error = QStringLiteral("Die Datei enthält keine Liste von Rechnungen.");
        return r;
    }
    r.invoices.reserve(static_cast<size_t>(top.count));
    for (uint64_t i = 0; i < top.count; ++i) {
        bp::Object entry;
        if (reader.object(reader.reference(top, i), &entry) == archive::Damage::None &&
            entry.kind == bp::Kind::Dict)
            r.invoices.push_back(plistInvoice(reader, entry));
        else
            r.invoices.push_back(GrandTotalInvoice{});
    }
    r.ok = true;
    return r;
}

}  // namespace

// ---- Fennick ------------------------------------------------------------------------------

FennickRead readFennickDocument(const QByteArray& bytes) {
    FennickRead r;
    const archive::ReadResult read = archive::read(bytes);
    if (!read.ok) {
        r.error = QStringLiteral("Das Dokument ist beschädigt (%1).").arg(detailOf(read.error));
        return r;
    }
    static const Key fennickDic(u"fennickDic");
    const Dict* root = dictOf(&read.root);
    const Dict* invoice = root ? dictOf(root->find(fennickDic)) : nullptr;
    if (!invoice) {
        r.error = QStringLiteral("Das Dokument enthält keine Rechnung.");
        return r;
    }
    static const Key title(u"title"), number(u"number"), address(u"address"), due(u"due"),
        sent(u"sent"), paid(u"paid"), status(u"status"), items(u"items"), amount(u"amount");
    static const std::array<Key, 3> percent = {Key(u"tax1Percent"), Key(u"tax2Percent"),
                                               Key(u"tax3Percent")};
    static const std::array<Key, 3> applied = {Key(u"isTax1Applied"), Key(u"isTax2Applied"),
                                               Key(u"isTax3Applied")};
    FennickInvoice& in = r.invoice;
    in.title = textOf(invoice->find(title));
    in.number = textOf(invoice->find(number));
    in.address = textOf(invoice->find(address));
    for (size_t i = 0; i < 3; ++i)
        if (const Value* v = invoice->find(percent[i]))
            in.taxPercent[i] = numberOf(*v).value_or(0.0);
    in.due = dateOf(invoice->find(due));
    in.sent = dateOf(invoice->find(sent));
    in.paid = dateOf(invoice->find(paid));
    if (const Value* v = invoice->find(status)) in.status = v->toInt();
    const Value* list = invoice->find(items);
    if (list && list->type() == Value::Type::List && list->asList()) {
        for (const Value& entry : *list->asList()) {
            FennickPosition p;
            if (const Dict* pos = dictOf(&entry)) {
                p.readable = true;
                p.title = textOf(pos->find(title));
                if (const Value* a = pos->find(amount)) p.amount = numberOf(*a);
                for (size_t i = 0; i < 3; ++i)
                    if (const Value* v = pos->find(applied[i])) p.taxApplied[i] = v->toBool();
            }
            in.positions.push_back(std::move(p));
        }
    }
    r.ok = true;
    return r;
}

FennickRead readFennickFile(const QString& path) {
    FennickRead r;
    QByteArray bytes;
    if (!readWhole(path, &bytes, &r.error)) return r;
    return readFennickDocument(bytes);
}

// ---- GrandTotal ---------------------------------------------------------------------------

GrandTotalRead readGrandTotalExport(const QByteArray& bytes) {
    if (bytes.startsWith("bplist0")) return walkGrandTotal(bytes);
    // The XML form, through libplist into the binary form.
    const QByteArray head = bytes.left(256).trimmed();
    if (head.startsWith("<?xml") || head.startsWith("<plist") || head.startsWith("\xEF\xBB\xBF<") ||
        head.startsWith("<!DOCTYPE")) {
        QByteArray binary;
        const archive::Damage d = archive::xmlToBinary(bytes, &binary);
        if (d == archive::Damage::None) return walkGrandTotal(binary);
        GrandTotalRead r;
        r.error =
            QStringLiteral("Die Rechnungsliste ist beschädigt (%1).").arg(archive::damageDetail(d));
        return r;
    }
    GrandTotalRead r;
    r.error = bytes.isEmpty()
                  ? QStringLiteral("Die Datei ist leer.")
                  : QStringLiteral("Die Datei ist keine Rechnungsliste (keine Property-List).");
    return r;
}

GrandTotalRead readGrandTotalFile(const QString& path) {
    GrandTotalRead r;
    QByteArray bytes;
    if (!readWhole(path, &bytes, &r.error)) return r;
    return readGrandTotalExport(bytes);
}

}  // namespace quandor
