#include "core/datev_list.h"

#include "core/keys.h"
#include "core/record.h"

#include <QSet>
#include <QStringDecoder>

namespace quandor::datev {

Date chartDate() {
    return Date::fromUnix(1356998400.0);
}

ListResult parseAccountList(const QByteArray& bytes) {
    ListResult result;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        result.error = QStringLiteral("Die Liste ist kein gültiger UTF-8-Text.");
        return result;
    }
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    QSet<QString> seen;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString where = QStringLiteral("Zeile %1: ").arg(i + 1);
        QString line = lines[i];
        if (line.endsWith(u'\r')) line.chop(1);
        const qsizetype tab = line.indexOf(u'\t');
        if (tab < 0) {
            result.error =
                where + QStringLiteral(
                            "Nummer und Bezeichnung müssen durch einen Tabulator getrennt sein.");
            return result;
        }
        const QString number = line.left(tab);
        const QString title = line.mid(tab + 1).trimmed();
        bool digits = number.size() == 4;
        for (const QChar c : number) digits = digits && c >= u'0' && c <= u'9';
        if (!digits) {
            result.error =
                where + QStringLiteral("Die Kontonummer „%1“ ist nicht vierstellig.").arg(number);
            return result;
        }
        if (title.isEmpty() || title.contains(u'\t')) {
            result.error =
                where + QStringLiteral("Konto %1 braucht genau eine Bezeichnung.").arg(number);
            return result;
        }
        if (seen.contains(number)) {
            result.error =
                where +
                QStringLiteral("Die Kontonummer %1 steht doppelt in der Liste.").arg(number);
            return result;
        }
        seen.insert(number);
        RecordPtr account = Record::create(RecordClass::Account, chartDate());
        account->set(keys::number, number);
        account->set(keys::title, title);
        result.accounts.push_back(std::move(account));
    }
    if (result.accounts.empty()) {
        result.error = QStringLiteral("Die Liste enthält kein Konto.");
        return result;
    }
    result.ok = true;
    return result;
}

Value accountListRoot(const RecordList& accounts) {
    ValueList list;
    list.reserve(accounts.size());
    for (const RecordPtr& a : accounts) list.emplace_back(a);
    auto root = std::make_shared<Dict>();
    root->set(keys::accounts, Value::list(std::move(list)));
    return Value(root);
}

bool accountsFromRoot(const Value& root, RecordList& accounts) {
    if (root.type() != Value::Type::Dict) return false;
    const Value list = root.asDict()->value(keys::accounts);
    if (list.type() != Value::Type::List) return false;
    RecordList out;
    for (const Value& v : *list.asList()) {
        if (v.type() != Value::Type::Record || !v.asRecord() ||
            v.asRecord()->recordClass() != RecordClass::Account)
            return false;
        out.push_back(v.asRecord());
    }
    accounts = std::move(out);
    return true;
}

}  // namespace quandor::datev
