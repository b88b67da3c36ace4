#include "bookkeeping/alert_words.h"

namespace quandor {

const QString AlertWords::kErrorTitle = QStringLiteral("Fehler!");
const QString AlertWords::kNoticeTitle = QStringLiteral("Hinweis!");
const QString AlertWords::kAttentionTitle = QStringLiteral("Achtung!");
const QString AlertWords::kOkButton = QStringLiteral("OK");
const QString AlertWords::kCancelButton = QStringLiteral("Abbrechen");
const QString AlertWords::kDeleteButton = QStringLiteral("Löschen");

}  // namespace quandor
