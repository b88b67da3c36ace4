#include "core/selection.h"

#include "core/keys.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <unordered_set>

namespace quandor {

namespace {

bool inRange(int index, size_t size) {
    return index >= 0 && static_cast<size_t>(index) < size;
}

RecordPtr at(const RecordList& list, int index) {
    return inRange(index, list.size()) ? list[static_cast<size_t>(index)] : nullptr;
}

}  // namespace

Selection::Selection(const Database& db) : db_(db), amountText_(&Selection::defaultAmountText) {}

QString Selection::defaultAmountText(float amount) {
    static const QLocale german(QLocale::German, QLocale::Germany);
    return german.toString(static_cast<double>(amount), 'f', 2);
}

// ---- selected ---------------------------------------------------------------

RecordPtr Selection::selectedYear() const {
    return at(db_.years, year_);
}

RecordPtr Selection::selectedStatement() const {
    RecordPtr year = selectedYear();
    return year ? at(year->thelists(), statement_) : nullptr;
}

RecordPtr Selection::selectedCashBook() const {
    return at(db_.cashbooks, cashBook_);
}

RecordPtr Selection::selectedCashBookEntry() const {
    RecordPtr book = selectedCashBook();
    return book ? at(book->items(), cashBookEntry_) : nullptr;
}

void Selection::setYearIndex(int index) {
    const RecordPtr before = selectedStatement();
    year_ = inRange(index, db_.years.size()) ? index : -1;
    RecordPtr year = selectedYear();
    if (!year || !inRange(statement_, year->thelists().size())) statement_ = -1;
    notify(Change::Year);
    if (selectedStatement() != before) {
        selectedItems_.clear();
        notify(Change::Statement);
    }
    rebuildListed();
}

void Selection::setStatementIndex(int index) {
    RecordPtr year = selectedYear();
    const int next = year && inRange(index, year->thelists().size()) ? index : -1;
    if (next == statement_) return;
    statement_ = next;
    selectedItems_.clear();
    notify(Change::Statement);
    rebuildListed();
}

void Selection::setCashBookIndex(int index) {
    cashBook_ = inRange(index, db_.cashbooks.size()) ? index : -1;
    RecordPtr book = selectedCashBook();
    if (!book || !inRange(cashBookEntry_, book->items().size())) cashBookEntry_ = -1;
    notify(Change::CashBook);
}

void Selection::setCashBookEntryIndex(int index) {
    RecordPtr book = selectedCashBook();
    cashBookEntry_ = book && inRange(index, book->items().size()) ? index : -1;
    notify(Change::CashBookEntry);
}

RecordPtr Selection::firstSelectedItem() const {
    return selectedItems_.empty() ? nullptr : selectedItems_.front();
}

void Selection::setSelectedItems(std::vector<RecordPtr> items) {
    std::erase(items, nullptr);
    selectedItems_ = std::move(items);
    notify(Change::Items);
}

void Selection::setSelectedRows(const std::vector<int>& rows) {
    std::vector<RecordPtr> items;
    items.reserve(rows.size());
    for (int row : rows)
        if (row >= 0)
            if (RecordPtr item = listedItem(static_cast<size_t>(row))) items.push_back(item);
    setSelectedItems(std::move(items));
}

// ---- listed -----------------------------------------------------------------

void Selection::setFilterText(const QString& text) {
    if (text == filter_) return;
    filter_ = text;
    notify(Change::Filter);
    rebuildListed();
}

void Selection::setAmountText(AmountText f) {
    amountText_ = f ? std::move(f) : AmountText(&Selection::defaultAmountText);
    if (!filter_.isEmpty()) rebuildListed();
}

RecordPtr Selection::listedItem(size_t row) const {
    RecordPtr statement = selectedStatement();
    if (!statement || row >= listed_.size()) return nullptr;
    const RecordList& items = statement->items();
    const uint32_t index = listed_[row];
    return index < items.size() ? items[index] : nullptr;
}

int Selection::rowOf(const Record* item) const {
    RecordPtr statement = selectedStatement();
    if (!statement || !item) return -1;
    const RecordList& items = statement->items();
    for (size_t row = 0; row < listed_.size(); ++row)
        if (listed_[row] < items.size() && items[listed_[row]].get() == item)
            return static_cast<int>(row);
    return -1;
}

std::vector<Record*> Selection::listedItems() const {
    std::vector<Record*> out;
    RecordPtr statement = selectedStatement();
    if (!statement) return out;
    const RecordList& items = statement->items();
    out.reserve(listed_.size());
    for (uint32_t index : listed_)
        if (index < items.size()) out.push_back(items[index].get());
    return out;
}

bool Selection::matches(const Record& item, const QString& filter) const {
    if (filter.isEmpty()) return true;
    // One pass over the item's properties instead of a lookup per searched key.
    static const std::array<uint32_t, 7> searched = {
        keys::title.id(),  keys::group.id(),   keys::account.id(), keys::accountNumber.id(),
        keys::number.id(), keys::comment.id(), keys::misc1.id()};
    for (const Dict::Entry& e : item.properties()) {
        if (std::find(searched.begin(), searched.end(), e.key.id()) == searched.end()) continue;
        if (e.value.type() == Value::Type::String) {
            if (e.value.asString().contains(filter, Qt::CaseInsensitive)) return true;
        } else if (e.value.toString().contains(filter, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return amountText_(item.real(keys::amount)).contains(filter, Qt::CaseInsensitive);
}

void Selection::refresh() {
    clampIndexes();
    rebuildListed();
}

void Selection::clampIndexes() {
    if (!inRange(year_, db_.years.size())) year_ = -1;
    RecordPtr year = selectedYear();
    if (!year || !inRange(statement_, year->thelists().size())) statement_ = -1;
    if (!inRange(cashBook_, db_.cashbooks.size())) cashBook_ = -1;
    RecordPtr book = selectedCashBook();
    if (!book || !inRange(cashBookEntry_, book->items().size())) cashBookEntry_ = -1;
}

void Selection::rebuildListed() {
    listed_.clear();
    RecordPtr statement = selectedStatement();
    if (statement) {
        const RecordList& items = statement->items();
        std::vector<std::pair<double, uint32_t>> keyed;
        keyed.reserve(items.size());
        for (size_t i = 0; i < items.size(); ++i) {
            const Record* item = items[i].get();
            if (!item || !matches(*item, filter_)) continue;
            keyed.emplace_back(item->date(keys::date).sinceReference, static_cast<uint32_t>(i));
        }
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        listed_.reserve(keyed.size());
        for (const auto& k : keyed) listed_.push_back(k.second);
    }
    // Drop selected items that are no longer listed.
    if (!selectedItems_.empty()) {
        std::unordered_set<const Record*> shown;
        for (Record* r : listedItems()) shown.insert(r);
        const size_t before = selectedItems_.size();
        std::erase_if(selectedItems_, [&](const RecordPtr& r) { return !shown.count(r.get()); });
        if (selectedItems_.size() != before) notify(Change::Items);
    }
    notify(Change::Listed);
}

// ---- notifications ----------------------------------------------------------

int Selection::addListener(Listener listener) {
    const int id = nextListenerId_++;
    listeners_.emplace_back(id, std::move(listener));
    return id;
}

void Selection::removeListener(int id) {
    std::erase_if(listeners_, [id](const auto& l) { return l.first == id; });
}

void Selection::notify(Change c) {
    // A copy, so a listener may add or remove listeners.
    const auto listeners = listeners_;
    for (const auto& l : listeners)
        if (l.second) l.second(c);
}

}  // namespace quandor
