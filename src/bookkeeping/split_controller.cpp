// The calculator sheet over the item sheet: a share of the amount, or a net
// amount grossed up by the item's rate.
#include "bookkeeping/split_controller.h"

#include "bookkeeping/alert_words.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "core/settings.h"
#include "core/settings_keys.h"

#include <QLocale>

#include <cmath>

namespace quandor {

const QString SplitController::kSplitPointless =
    QStringLiteral("Bei dem ausgewählten Steuersatz ist die Aktion überflüssig.");
const QString SplitController::kSplitBadNetAmount =
    QStringLiteral("Bitte gib einen Nettobetrag als Zahl ein, zum Beispiel 100,00.");
const QString SplitController::kSplitBadPercentage =
    QStringLiteral("Bitte gib den eigenen Anteil als Zahl in Prozent ein, zum Beispiel 30.");

namespace {

constexpr int kSplitPage = 0;
constexpr int kShare50 = 1;
constexpr int kShareCustom = 2;

}  // namespace

std::optional<float> SplitController::parseNumber(const QString& input) {
    QString text = input;
    text.remove(QChar(u'%'));
    bool ok = false;
    const float value = parseAmount(text, &ok, QLocale(QLocale::German, QLocale::Germany));
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

SplitController::SplitController(Books& books, AddController& items)
    : books_(books), items_(items) {}

TaxRates SplitController::taxRates() const {
    return AddController::taxRates(books_.settings());
}

SplitController::SplitOutcome SplitController::splitItem(Record& item, int page, int shareIndex,
                                                         const QString& customValue,
                                                         const QString& netAmount,
                                                         const TaxRates& rates) {
    if (page == kSplitPage) {
        float share = 25.0f;
        if (shareIndex == kShare50) {
            share = 50.0f;
        } else if (shareIndex == kShareCustom) {
            const std::optional<float> custom = parseNumber(customValue);
            if (!custom) return SplitOutcome::BadNumber;
            share = *custom;
        }
        const float amount = itemAmount(item);
        const float part = amount / 100.0f;
        const float result = part * share;
        item.set(keys::amount, result);
        return SplitOutcome::Done;
    }

    const int64_t tag = item.integer(keys::taxTag);
    if (!item.flag(keys::taxBool) || tag == 0) return SplitOutcome::MissingRate;
    if (tag < 1 || tag > 3) return SplitOutcome::Pointless;
    const std::optional<float> net = parseNumber(netAmount);
    if (!net) return SplitOutcome::BadNumber;
    const float n = *net;
    const float part = n / 100.0f;
    const float tax = part * rates.forTag(tag);
    const float result = n + tax;
    item.set(keys::amount, result);
    return SplitOutcome::Done;
}

bool SplitController::openSplitWindow(RecordPtr item) {
    if (!item) item = items_.sheetItem();
    if (!item || item->recordClass() != RecordClass::Item) {
        books_.ui().beep();
        return false;
    }
    const int64_t kind = item->integer(keys::kind);
    split_ = SplitWindow{};
    split_.open = true;
    split_.item = std::move(item);
    split_.expense = kind == kKindExpense;
    split_.income = kind == kKindIncome;
    split_.sign = split_.expense  ? QStringLiteral("-")
                  : split_.income ? QStringLiteral("+")
                                  : QString();
    return true;
}

void SplitController::setCalculatorPage(int page) {
    books_.settings().setInt(prefs::calculatorHelpIndex, page);
}

void SplitController::setSplitShare(int index) {
    books_.settings().setInt(prefs::selectedSplitIndex, index);
}

void SplitController::setCustomSplitValue(const QString& text) {
    books_.settings().setText(prefs::customSplitValue, text);
}

void SplitController::setSplitNetAmount(const QString& text) {
    split_.netAmount = text;
}

bool SplitController::splitAction() {
    if (!split_.open || !split_.item) {
        books_.ui().beep();
        return false;
    }
    const Settings& settings = books_.settings();
    const int page = static_cast<int>(settings.getInt(prefs::calculatorHelpIndex));
    const TaxRates rates = taxRates();
    const SplitOutcome outcome =
        splitItem(*split_.item, page, static_cast<int>(settings.getInt(prefs::selectedSplitIndex)),
                  settings.getText(prefs::customSplitValue), split_.netAmount, rates);
    switch (outcome) {
        case SplitOutcome::MissingRate:
            fail(AddController::kNoRate);
            return false;
        case SplitOutcome::Pointless:
            fail(kSplitPointless);
            return false;
        case SplitOutcome::BadNumber:
            fail(page == kSplitPage ? kSplitBadPercentage : kSplitBadNetAmount);
            return false;
        case SplitOutcome::Done:
            break;
    }
    books_.noteChanged();
    RecordPtr item = split_.item;
    split_ = SplitWindow{};
    books_.ui().schedule(0, [this, item] {
        // The item of the item sheet (or the selected one) goes through the
        // item calculation, so the sheet's amount field and sign follow; an
        // item handed over otherwise still gets its figures.
        const RecordPtr calculated =
            items_.sheetItem() ? items_.sheetItem() : books_.selection().firstSelectedItem();
        if (item == calculated)
            items_.calculateItem();
        else if (applyCalculation(*item, taxRates()))
            books_.noteChanged();
    });
    return true;
}

void SplitController::cancelSplitWindow() {
    split_ = SplitWindow{};
}

void SplitController::fail(const QString& message) {
    books_.ui().beep();
    books_.ui().alert(AlertStyle::Critical, AlertWords::kErrorTitle, message,
                      {AlertWords::kOkButton});
}

}  // namespace quandor
