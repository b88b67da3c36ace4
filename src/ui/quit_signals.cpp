#include "ui/quit_signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace quandor::ui {

namespace {

int quitSignalSocket[2] = {-1, -1};

void onQuitSignal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(quitSignalSocket[1], &c, 1);
}

}  // namespace

void quitOnSignals(QCoreApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, quitSignalSocket) != 0) return;
    auto* notifier = new QSocketNotifier(quitSignalSocket[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
        notifier->setEnabled(false);
        // exit(), not quit(): quit() first asks every window to close, and a
        // sheet that checks its entries on closing (the first item sheet,
        // which cannot be cancelled) would answer with an alert and keep the
        // program running unsaved while the session ends.
        QCoreApplication::exit(0);
    });
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(signal, &action, nullptr);
}

}  // namespace quandor::ui
