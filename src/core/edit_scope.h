#pragma once
// A change of several steps to the open books that happens whole or not at all.
//
//   EditScope scope(books);
//   scope.keep(statement->items());          // what a failure puts back
//   scope.keepSettings({prefs::jaImage});
//   … change the records …
//   if (refused) return;                     // the destructor rolls back
//   scope.commit();                          // changed once, selection refreshed once
//
// Whatever was kept is put back when the scope ends without commit(): the
// lists their records and order, the records their fields and child lists,
// the settings their stored values (or their absence). Changes to things that
// were not kept stay; keep everything a step may touch before the step.

#include "core/books.h"
#include "core/record.h"

#include <QStringList>
#include <QStringView>
#include <QVariant>

#include <initializer_list>
#include <optional>
#include <vector>

namespace quandor {

class EditScope {
  public:
    explicit EditScope(Books& books) : books_(books) {}
    EditScope(const EditScope&) = delete;
    EditScope& operator=(const EditScope&) = delete;
    ~EditScope();

    // Keeps what `list` holds (its records and their order).
    void keep(RecordList& list);
    // Keeps `record`'s fields and child lists, down to the last child.
    void keep(const RecordPtr& record);
    // Keeps the stored values of these settings.
    void keepSettings(std::initializer_list<QStringView> keys);
    void keepSettings(const QStringList& keys);

    // The change is done: the books count as changed and the selection is
    // refreshed, once. Without commit() the destructor rolls back.
    void commit();
    // Puts back what was kept now (the destructor then does nothing).
    void rollback();
    bool committed() const { return done_ && committed_; }

  private:
    struct KeptList {
        RecordList* list;
        RecordList records;
    };
    struct KeptRecord {
        RecordPtr record;
        RecordPtr copy;
    };
    struct KeptSetting {
        QString key;
        std::optional<QVariant> value;
    };

    Books& books_;
    std::vector<KeptList> lists_;
    std::vector<KeptRecord> records_;
    std::vector<KeptSetting> settings_;
    bool done_ = false;
    bool committed_ = false;
};

}  // namespace quandor
