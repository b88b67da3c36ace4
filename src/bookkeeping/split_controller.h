#pragma once
// The calculator sheet over the item sheet: replaces an item's amount by a
// share of it (25 %, 50 % or a percentage of the person's choice), or by a
// net amount plus VAT at the item's rate. Only "amount" is written here; the
// derived keys come from the item calculation afterwards.
//
// Its page ("calculatorHelpIndex": 0 split, else gross-up), the chosen share
// ("selectedSplitIndex") and the custom percentage ("customSplitValue") live
// in the settings; the gross-up page's net amount lives here.

#include "bookkeeping/add_controller.h"
#include "bookkeeping/item_calculation.h"
#include "core/books.h"

#include <QString>

#include <optional>

namespace quandor {

class SplitController {
  public:
    struct SplitWindow {
        bool open = false;
        RecordPtr item;     // the item the item sheet edits
        QString netAmount;  // the gross-up page's field
        QString sign;       // "-" for an expense, "+" for an income, else empty
        bool expense = false;
        bool income = false;
    };
    enum class SplitOutcome { Done, MissingRate, Pointless, BadNumber };

    // `items` is the item entry whose sheet the calculator works over.
    SplitController(Books& books, AddController& items);

    const SplitWindow& splitWindow() const { return split_; }
    // Opens the sheet over the item the open item sheet edits (or `item`,
    // when the item sheet hands it over); beeps when there is none.
    bool openSplitWindow(RecordPtr item = nullptr);
    // The page shown: 0 splits the amount, any other grosses up a net amount.
    void setCalculatorPage(int page);
    // The share of the split page: 0 is 25 %, 1 is 50 %, 2 the own percentage.
    void setSplitShare(int index);
    // The own percentage as typed.
    void setCustomSplitValue(const QString& text);
    // The net amount of the gross-up page as typed.
    void setSplitNetAmount(const QString& text);
    // Applies the chosen page to the item, schedules the tax calculation and
    // closes the sheet; on a refusal alerts and keeps it open.
    bool splitAction();
    // Closes the sheet; the item keeps its amount.
    void cancelSplitWindow();

    // The new amount of `item` by the page and its inputs; writes "amount"
    // only on Done. The tax calculation is left to the caller.
    static SplitOutcome splitItem(Record& item, int page, int shareIndex,
                                  const QString& customValue, const QString& netAmount,
                                  const TaxRates& rates);
    // A number typed by the person: German ("1.234,5") or plain ("1234.5"), a
    // "%" or "€" beside it; the amount reader of every other field (parseAmount).
    static std::optional<float> parseNumber(const QString& text);
    // The rates of the item calculation, so a gross-up and the figures agree.
    TaxRates taxRates() const;

    static const QString kSplitPointless;
    static const QString kSplitBadNetAmount;
    static const QString kSplitBadPercentage;

  private:
    void fail(const QString& message);

    Books& books_;
    AddController& items_;
    SplitWindow split_;
};

}  // namespace quandor
