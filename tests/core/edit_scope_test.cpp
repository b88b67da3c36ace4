// A change of several steps happens whole or not at all.
#include "core/edit_scope.h"
#include "core/app_delegate.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "support/fake_ui.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quandor;
using namespace Qt::StringLiterals;

namespace {

struct Open {
    QTemporaryDir dir;
    Settings settings{dir.filePath(u"q.conf"_s)};
    test::FakeUi ui;
    QuandorAppDelegate app{settings, ui, Paths::under(dir.path())};
    RecordPtr year = Record::create(RecordClass::Year, Date{});
    RecordPtr statement = Record::create(RecordClass::Thelist, Date{});
    RecordPtr item = Record::create(RecordClass::Item, Date{});

    Open() {
        item->set(keys::title, u"Porto"_s);
        statement->items().push_back(item);
        year->thelists().push_back(statement);
        app.database().years.push_back(year);
        app.selection().setYearIndex(0);
        app.selection().setStatementIndex(0);
        settings.setInt(prefs::jaImage, 2);
    }
};

}  // namespace

TEST(EditScope, WithoutCommitEverythingKeptComesBack) {
    Open o;
    const uint64_t before = o.app.changeCount();
    {
        EditScope scope(o.app.books());
        scope.keep(o.statement->items());
        scope.keep(o.item);
        scope.keepSettings({prefs::jaImage, prefs::itemRememberGroup});
        o.item->set(keys::title, u"geändert"_s);
        o.statement->items().push_back(Record::create(RecordClass::Item, Date{}));
        o.statement->items().erase(o.statement->items().begin());
        o.settings.setInt(prefs::jaImage, 5);
        o.settings.setText(prefs::itemRememberGroup, u"Büro"_s);
        scope.keep(o.statement->items());  // kept again later: the first state counts
    }
    ASSERT_EQ(o.statement->items().size(), 1u);
    EXPECT_EQ(o.statement->items()[0], o.item);
    EXPECT_EQ(o.item->text(keys::title), u"Porto"_s);
    EXPECT_EQ(o.settings.getInt(prefs::jaImage), 2);
    EXPECT_FALSE(o.settings.contains(prefs::itemRememberGroup));  // absent before, absent again
    EXPECT_EQ(o.app.changeCount(), before);
    EXPECT_EQ(o.app.selection().listedCount(), 1u);
}

TEST(EditScope, CommitKeepsTheChangeAndCountsItOnce) {
    Open o;
    const uint64_t before = o.app.changeCount();
    {
        EditScope scope(o.app.books());
        scope.keep(o.statement->items());
        o.statement->items().push_back(Record::create(RecordClass::Item, Date{}));
        scope.commit();
        scope.rollback();  // too late: nothing happens
    }
    EXPECT_EQ(o.statement->items().size(), 2u);
    EXPECT_EQ(o.app.changeCount(), before + 1);
    EXPECT_EQ(o.app.selection().listedCount(), 2u);  // refreshed
}

TEST(EditScope, RecordComesBackWithItsChildren) {
    Open o;
    {
        EditScope scope(o.app.books());
        scope.keep(o.year);
        o.year->set(keys::dateValue, u"2099"_s);
        o.statement->set(keys::title, u"anders"_s);  // a child's field: kept with the year
        o.year->thelists().clear();
    }
    ASSERT_EQ(o.year->thelists().size(), 1u);
    EXPECT_EQ(o.year->thelists()[0]->text(keys::title), QString());
    EXPECT_EQ(o.year->text(keys::dateValue), QString());
}
