#pragma once
// The one way controllers talk to the person. The desktop program implements
// it with message boxes, file dialogs and timers; tests and quandor-cli
// implement it with scripted answers, so every operation and every German
// message runs without a window.

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace quandor {

enum class AlertStyle { Informational, Warning, Critical };

class UiPort {
  public:
    virtual ~UiPort() = default;

    // Shows a modal alert; returns the index of the button pressed (0 = first, the default).
    virtual int alert(AlertStyle style, const QString& title, const QString& message,
                      const QStringList& buttons) = 0;
    virtual void beep() = 0;

    // File dialogs; nothing when the person cancels.
    virtual std::optional<QString> saveDialog(const QString& title, const QString& fileType,
                                              const QString& proposedName) = 0;
    virtual std::optional<QString> openDialog(const QString& title,
                                              const QStringList& fileTypes) = 0;
    virtual std::optional<QString> chooseFolder(const QString& title) = 0;

    // Hand-offs to the desktop; false when nothing could be started.
    virtual bool openUrl(const QString& url) = 0;
    virtual bool openFile(const QString& path) = 0;
    virtual bool revealFile(const QString& path) = 0;
    virtual bool launchApplication(const QString& program, const QStringList& arguments) = 0;
    virtual void setClipboardText(const QString& text) = 0;

    // Runs `step` after `delayMs` on the main thread (tests may run it at once,
    // as long as the order of the steps stays).
    virtual void schedule(int delayMs, std::function<void()> step) = 0;

    // Ends the program (the disclaimer's second button, restart).
    virtual void quit() = 0;
};

}  // namespace quandor
