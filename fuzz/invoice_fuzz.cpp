// libFuzzer target for the invoice readers: a Fennick document (keyed
// archive) and a GrandTotal invoice list (property list, binary or XML).
//
// Checked on every input, beyond "no crash, no hang, no leak, no undefined
// behaviour": a refused document has a German reason; an accepted one gives
// items with a kind and finite figures, and every position or invoice is
// either an item or named as left out.

#include "core/keys.h"
#include "import/invoice_import.h"

#include <cmath>
#include <cstdlib>

using namespace quandor;

namespace {

void checkItems(const RecordList& items, const ImportSummary& summary, size_t parts) {
    for (const RecordPtr& item : items) {
        const int64_t kind = item->integer(keys::kind);
        if (kind != 1 && kind != 2) std::abort();
        for (const Key& k :
             {keys::amount, keys::taxFee, keys::finalAmount, keys::finalAmountWithout})
            if (!std::isfinite(item->real(k))) std::abort();
    }
    if (size_t(summary.items + summary.skippedCount) != parts) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const TaxRates rates{19.0f, 7.0f, 16.0f};

    const FennickRead fennick = readFennickDocument(bytes);
    if (!fennick.ok && fennick.error.isEmpty()) std::abort();
    if (fennick.ok) {
        ImportSummary summary;
        RecordList items = fennickPreview(fennick.invoice, rates, Date{}, QStringLiteral("Konto"),
                                          std::nullopt, &summary);
        for (const RecordPtr& item : items) calculateFennickItem(*item, rates);
        checkItems(items, summary, fennick.invoice.positions.size());
    }

    const GrandTotalRead list = readGrandTotalExport(bytes);
    if (!list.ok && list.error.isEmpty()) std::abort();
    if (list.ok) {
        for (int64_t kind : {1, 2}) {
            GrandTotalChoices choices;
            choices.kind = kind;
            choices.tax = kind == 2;
            choices.rateTag = 1;
            ImportSummary summary;
            std::vector<QString> pdfs;
            const RecordList items =
                grandTotalItems(list.invoices, choices, rates, Date{}, &summary, &pdfs);
            if (pdfs.size() != items.size()) std::abort();
            checkItems(items, summary, list.invoices.size());
        }
    }
    return 0;
}
