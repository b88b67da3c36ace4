#pragma once
// Empty books for controller tests: a temporary data folder with its own
// settings, the scripted UI, a fixed clock and the bookkeeping controllers.

#include "bookkeeping/bookkeeping_controllers.h"
#include "core/app_delegate.h"
#include "core/paths.h"
#include "core/settings.h"
#include "support/fake_ui.h"

#include <QDateTime>
#include <QTemporaryDir>

namespace quandor::test {

inline QDateTime mayFirstNoon() {
    return QDateTime::fromString(QStringLiteral("2024-05-01T12:00:00Z"), Qt::ISODate);
}

struct OpenBooks {
    explicit OpenBooks(QuandorAppDelegate::Clock clock = mayFirstNoon)
        : app(settings, ui, Paths::under(dir.path()), std::move(clock)) {}

    QTemporaryDir dir;
    Settings settings{dir.filePath(QStringLiteral("Quandor.conf"))};
    FakeUi ui;
    QuandorAppDelegate app;
    BookkeepingControllers controllers{app.books()};
};

}  // namespace quandor::test
