#include "documents/search_controller.h"

#include "core/keys.h"
#include "core/number_texts.h"
#include "documents/documents_controller.h"

#include <QFileInfo>
#include <QStringMatcher>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace quandor {

namespace {

constexpr QChar kFieldSeparator = QChar(0x1F);
constexpr QChar kRowSeparator = QChar(0x1E);
constexpr size_t kRecentTexts = 16;

void appendSearched(QString& out, const Record& item) {
    QString texts;
    for (const Key& k : {keys::title, keys::number, keys::misc1, keys::group, keys::account,
                         keys::accountNumber}) {
        texts += item.text(k);
        texts += kFieldSeparator;
    }
    out += std::move(texts).toCaseFolded();
    // The amount as the window writes it, grouped ("1.234,50") and plain ("1234,50").
    const float amount = item.real(keys::amount);
    const QString plain = plainAmountText(amount);
    out += plain;
    if (std::fabs(amount) >= 1000.0f) {
        out += kFieldSeparator;
        out += amountText(amount);
    }
    out += kRowSeparator;
}

}  // namespace

SearchController::SearchController(Books& books) : books_(books) {}

void SearchController::openSearchSheet() {
    rows_.clear();
    folded_.clear();
    starts_.clear();
    recent_.clear();
    shown_.clear();
    text_.clear();
    foldedText_.clear();
    selected_ = -1;
    detailOpen_ = false;
    for (const RecordPtr& year : books_.database().years) {
        if (!year) continue;
        const QString yearName = year->text(keys::dateValue);
        for (const RecordPtr& statement : year->thelists()) {
            if (!statement) continue;
            const RecordList& items = statement->items();
            std::vector<uint32_t> order(items.size());
            std::iota(order.begin(), order.end(), 0u);
            std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
                const double da = items[a] ? items[a]->date(keys::date).sinceReference : 0.0;
                const double db = items[b] ? items[b]->date(keys::date).sinceReference : 0.0;
                return da < db;
            });
            const QString title = statement->text(keys::title);
            int position = 0;
            for (uint32_t index : order) {
                ++position;
                if (!items[index]) continue;
                rows_.push_back({items[index], yearName, title, position});
            }
        }
    }
    {
        std::vector<std::pair<double, uint32_t>> keyed(rows_.size());
        for (size_t i = 0; i < rows_.size(); ++i)
            keyed[i] = {rows_[i].item->date(keys::date).sinceReference, uint32_t(i)};
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<Row> sorted;
        sorted.reserve(rows_.size());
        for (const auto& k : keyed) sorted.push_back(std::move(rows_[k.second]));
        rows_.swap(sorted);
    }
    folded_.reserve(qsizetype(rows_.size()) * 64);
    starts_.reserve(rows_.size() + 1);
    for (const Row& r : rows_) {
        starts_.push_back(folded_.size());
        appendSearched(folded_, *r.item);
    }
    starts_.push_back(folded_.size());
    shown_.resize(rows_.size());
    std::iota(shown_.begin(), shown_.end(), 0u);
    open_ = true;
}

void SearchController::closeSearchSheet() {
    open_ = false;
    detailOpen_ = false;
    rows_.clear();
    folded_.clear();
    starts_.clear();
    recent_.clear();
    shown_.clear();
    selected_ = -1;
}

void SearchController::setSearchText(const QString& text) {
    // Control characters could match across fields and rows; they never occur in a search.
    QString folded = text.trimmed().toCaseFolded();
    folded.removeIf([](QChar c) { return c.unicode() < 0x20; });
    text_ = text;
    selected_ = -1;
    detailOpen_ = false;
    const QString previous = foldedText_;
    foldedText_ = folded;
    if (folded.isEmpty()) {
        shown_.resize(rows_.size());
        std::iota(shown_.begin(), shown_.end(), 0u);
        return;
    }
    for (const auto& [seen, hits] : recent_) {
        if (seen == folded) {
            shown_ = hits;
            return;
        }
    }
    if (!previous.isEmpty() && folded.contains(previous)) {
        // Typing on: only the previous hits can still match.
        std::vector<uint32_t> from;
        from.swap(shown_);
        for (uint32_t r : from) {
            const QStringView row =
                QStringView(folded_).mid(starts_[r], starts_[r + 1] - starts_[r]);
            if (row.contains(folded, Qt::CaseSensitive)) shown_.push_back(r);
        }
    } else {
        // One pass over all rows: each hit skips to the start of the next row.
        shown_.clear();
        const QStringMatcher matcher(folded, Qt::CaseSensitive);
        qsizetype at = 0;
        while ((at = matcher.indexIn(folded_, at)) >= 0) {
            const auto next = std::upper_bound(starts_.begin(), starts_.end(), at);
            shown_.push_back(uint32_t(next - starts_.begin() - 1));
            at = *next;
        }
    }
    if (recent_.size() >= kRecentTexts) recent_.erase(recent_.begin());
    recent_.emplace_back(folded, shown_);
}

void SearchController::setSelectedRow(int row) {
    selected_ = row >= 0 && size_t(row) < shown_.size() ? row : -1;
}

bool SearchController::openDetailSheet() {
    if (selected_ < 0) {
        books_.ui().beep();
        return false;
    }
    detailOpen_ = true;
    return true;
}

std::vector<std::pair<QString, QString>> SearchController::detailFields() const {
    if (selected_ < 0) return {};
    return itemDetailFields(row(size_t(selected_)));
}

std::vector<std::pair<QString, QString>> itemDetailFields(const SearchController::Row& row) {
    const Record& item = *row.item;
    const int64_t kind = item.integer(keys::kind);
    QString account = item.text(keys::accountNumber);
    if (!item.text(keys::account).isEmpty())
        account += (account.isEmpty() ? QString() : QStringLiteral(" ")) + item.text(keys::account);
    const bool tax = item.flag(keys::taxBool);
    return {
        {QStringLiteral("Jahr"), row.year},
        {QStringLiteral("Abrechnung"), row.statement},
        {QStringLiteral("Datum"), shortDateText(item.date(keys::date))},
        {QStringLiteral("Art"), kind == 1   ? QStringLiteral("Ausgabe")
                                : kind == 2 ? QStringLiteral("Einnahme")
                                            : QString()},
        {QStringLiteral("Bezeichnung"), item.text(keys::title)},
        {QStringLiteral("Kategorie"), item.text(keys::group)},
        {QStringLiteral("Konto"), account},
        {QStringLiteral("Nummer"), item.text(keys::number)},
        {QStringLiteral("Beleg"), item.text(keys::misc1)},
        {QStringLiteral("Betrag (brutto)"), amountText(item.real(keys::finalAmount))},
        {QStringLiteral("Netto"),
         tax ? amountText(item.real(keys::finalAmountWithout)) : QString()},
        {QStringLiteral("Steuersatz"), tax ? rateText(item.real(keys::taxPerecent)) : QString()},
        {QStringLiteral("Kommentar"), item.text(keys::comment)},
        {QStringLiteral("Dokument"), item.text(keys::filePath)},
    };
}

bool SearchController::handOff(bool reveal) {
    if (selected_ < 0) {
        books_.ui().beep();
        return false;
    }
    const QString path = row(size_t(selected_)).item->text(keys::filePath);
    if (path.isEmpty()) {
        books_.ui().alert(AlertStyle::Informational, kSearchDocTitle, kSearchNoDocMessage,
                          {QStringLiteral("OK")});
        return false;
    }
    return handOffDocument(books_.ui(), path, reveal);
}

bool SearchController::revealFile() {
    return handOff(true);
}

bool SearchController::openFile() {
    return handOff(false);
}

}  // namespace quandor
