#pragma once
// A year "2024" in empty books with the first steps done, German locale, and
// the reports window over it; for the reports and package tests.

#include "core/keys.h"
#include "core/settings_keys.h"
#include "reports/journal_controller.h"
#include "support/books.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace quandor::test {

struct ReportBooks : ::testing::Test {
    ReportBooks() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        year = Record::create(RecordClass::Year, books().nowStamp());
        year->set(keys::dateValue, QStringLiteral("2024"));
        books().database().years.push_back(year);
        books().selection().setYearIndex(0);
        settings().setBool(prefs::firstStepsDone, true);
    }
    Books& books() { return open.app.books(); }
    Settings& settings() { return open.settings; }
    FakeUi& ui() { return open.ui; }

    RecordPtr statement(const QString& title) {
        RecordPtr s = Record::create(RecordClass::Thelist, books().nowStamp());
        s->set(keys::title, title);
        year->thelists().push_back(s);
        return s;
    }
    OpenBooks open;
    RecordPtr year;
    JournalController journal{books()};
};

}  // namespace quandor::test
