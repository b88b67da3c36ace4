#include "core/edit_scope.h"

#include "core/settings.h"

namespace quandor {

EditScope::~EditScope() {
    if (!done_) rollback();
}

void EditScope::keep(RecordList& list) {
    for (const KeptList& k : lists_)
        if (k.list == &list) return;  // the first state counts
    lists_.push_back({&list, list});
}

void EditScope::keep(const RecordPtr& record) {
    if (!record) return;
    for (const KeptRecord& k : records_)
        if (k.record == record) return;
    records_.push_back({record, record->deepCopy()});
}

void EditScope::keepSettings(std::initializer_list<QStringView> keys) {
    for (QStringView key : keys) keepSettings(QStringList{key.toString()});
}

void EditScope::keepSettings(const QStringList& keys) {
    for (const QString& key : keys) {
        bool known = false;
        for (const KeptSetting& k : settings_) known = known || k.key == key;
        if (!known) settings_.push_back({key, books_.settings().rawValue(key)});
    }
}

void EditScope::commit() {
    if (done_) return;
    done_ = committed_ = true;
    books_.noteChanged();
    books_.selection().refresh();
}

void EditScope::rollback() {
    if (done_) return;
    done_ = true;
    // Records first (their child lists), then the lists that held them, in
    // the reverse order of keeping.
    for (auto it = records_.rbegin(); it != records_.rend(); ++it)
        it->record->restoreFrom(*it->copy);
    for (auto it = lists_.rbegin(); it != lists_.rend(); ++it) *it->list = it->records;
    for (const KeptSetting& k : settings_) books_.settings().setRawValue(k.key, k.value);
    books_.selection().refresh();
}

}  // namespace quandor
