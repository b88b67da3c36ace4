#include "import/import_summary.h"

#include "core/number_texts.h"

namespace quandor {

void ImportSummary::skip(const QString& reason) {
    ++skippedCount;
    if (skipped.size() < kReasonsShown) skipped << reason;
}

int64_t ImportSummary::unknownRateCount() const {
    int64_t n = 0;
    for (const auto& [rate, count] : unknownRates) n += count;
    return n;
}

QString ImportSummary::headline() const {
    QString text = QStringLiteral("%1 Posten importieren").arg(items);
    if (skippedCount > 0)
        text += QStringLiteral(", %1 %2 übersprungen")
                    .arg(skippedCount)
                    .arg(skippedCount == 1 ? partSingular : partPlural);
    return text;
}

QString ImportSummary::text() const {
    QStringList paragraphs{headline()};
    if (!skipped.isEmpty()) {
        QString reasons = skipped.join(QLatin1Char('\n'));
        if (skippedCount > skipped.size())
            reasons += QStringLiteral("\n… und %1 weitere").arg(skippedCount - skipped.size());
        paragraphs << reasons;
    }
    if (const int64_t n = unknownRateCount(); n > 0) {
        QStringList rates;
        for (const auto& [rate, count] : unknownRates) rates << rateText(rate);
        paragraphs << QStringLiteral(
                          "%1 %2 mit einem Steuersatz, den die Einstellungen nicht kennen (%3), %4 "
                          "ohne Umsatzsteuer importiert.")
                          .arg(n)
                          .arg(n == 1 ? partSingular : partPlural, rates.join(QStringLiteral(", ")),
                               n == 1 ? QStringLiteral("wird") : QStringLiteral("werden"));
    }
    paragraphs << notes;
    return paragraphs.join(QStringLiteral("\n\n"));
}

QString quotedForSummary(const QString& text) {
    QString shown = text.size() > 40 ? text.left(39) + QStringLiteral("…") : text;
    for (QChar& c : shown)
        if (c.category() == QChar::Other_Control || c.isSurrogate()) c = u'?';
    return shown;
}

}  // namespace quandor
