#pragma once
// SIGTERM (the session ending, `kill`), SIGHUP and SIGINT end the desktop
// program the way leaving it by other means does: the quit sequence stores
// and saves.

class QCoreApplication;

namespace quandor::ui {

// Installs the handlers. The handler only wakes the event loop; it is reset
// by its first signal, so a second one ends even a program that no longer
// answers.
void quitOnSignals(QCoreApplication& app);

}  // namespace quandor::ui
