#pragma once
// The open books as every controller sees them: the records, the main
// window's selection, the settings, the UI port, the folders and the clock.
//
// The application delegate owns the one instance of a run (books()); a
// controller keeps a reference and never a copy of any list. Every change to
// the records is announced with noteChanged() (or made inside an EditScope,
// which does it once at its end), so the periodic save knows there is
// something to write.

#include "core/database.h"
#include "core/paths.h"
#include "core/selection.h"
#include "core/uiport.h"

#include <QDateTime>

#include <cstdint>
#include <functional>

namespace quandor {

class Settings;

class Books {
  public:
    using Clock = std::function<QDateTime()>;

    Books(Database& database, Selection& selection, Settings& settings, UiPort& ui,
          const Paths& paths, Clock clock)
        : database_(database),
          selection_(selection),
          settings_(settings),
          ui_(ui),
          paths_(paths),
          clock_(std::move(clock)) {}
    Books(const Books&) = delete;
    Books& operator=(const Books&) = delete;

    Database& database() { return database_; }
    const Database& database() const { return database_; }
    Selection& selection() { return selection_; }
    const Selection& selection() const { return selection_; }
    Settings& settings() { return settings_; }
    const Settings& settings() const { return settings_; }
    UiPort& ui() { return ui_; }
    const Paths& paths() const { return paths_; }

    // The clock (the command line's --now); UTC.
    QDateTime now() const { return clock_().toUTC(); }
    // The same as a record date.
    Date nowStamp() const {
        return Date::fromUnix(static_cast<double>(now().toMSecsSinceEpoch()) / 1000.0);
    }

    void noteChanged() { ++changeCount_; }
    uint64_t changeCount() const { return changeCount_; }

  private:
    Database& database_;
    Selection& selection_;
    Settings& settings_;
    UiPort& ui_;
    const Paths& paths_;
    Clock clock_;
    uint64_t changeCount_ = 0;
};

}  // namespace quandor
