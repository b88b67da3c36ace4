#include "core/accounts_csv.h"

#include "core/keys.h"
#include "core/record.h"
#include "core/text_cleaning.h"

namespace quandor {

namespace {

void appendQuoted(QString& out, const QString& value) {
    out += u'"';
    for (const QChar c : value) {
        if (c == u'"') out += u'"';
        out += c;
    }
    out += u'"';
}

}  // namespace

QByteArray exportAccountsCSV(const RecordList& accounts) {
    QString text;
    for (const RecordPtr& account : accounts) {
        if (!account) continue;
        appendQuoted(text, account->text(keys::number));
        text += u',';
        appendQuoted(text, account->text(keys::title));
        text += u'\n';
    }
    return zapGremlinsInString(text).toUtf8();
}

}  // namespace quandor
