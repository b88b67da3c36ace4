#pragma once
// One command's view of the program: the settings store, a UI port without a
// window and the application delegate with the open database.

#include "cli/cli.h"
#include "core/app_delegate.h"
#include "core/settings.h"
#include "core/uiport.h"

#include <deque>
#include <memory>

namespace quandor::cli {

// Alerts go to stderr as "Titel: Text" and are answered by their default
// button (the first), or by the action button when the command got --yes.
// Dialogs are cancelled; delayed steps run in order when the command drains them.
class CliUiPort : public UiPort {
  public:
    explicit CliUiPort(const Context& ctx) : ctx_(ctx) {}

    void setAnswerYes(bool yes) { yes_ = yes; }
    int alertCount() const { return alerts_; }

    int alert(AlertStyle style, const QString& title, const QString& message,
              const QStringList& buttons) override;
    void beep() override {}
    std::optional<QString> saveDialog(const QString&, const QString&, const QString&) override {
        return {};
    }
    std::optional<QString> openDialog(const QString&, const QStringList&) override { return {}; }
    std::optional<QString> chooseFolder(const QString&) override { return {}; }
    bool openUrl(const QString&) override { return false; }
    bool openFile(const QString&) override { return false; }
    bool revealFile(const QString&) override { return false; }
    bool launchApplication(const QString&, const QStringList&) override { return false; }
    void setClipboardText(const QString& text) override { clipboard_ = text; }
    void schedule(int delayMs, std::function<void()> step) override;
    void quit() override { quitRequested_ = true; }

    void drain();
    void discardPending() { pending_.clear(); }
    const QString& clipboard() const { return clipboard_; }
    bool quitRequested() const { return quitRequested_; }

  private:
    const Context& ctx_;
    bool yes_ = false;
    int alerts_ = 0;
    QString clipboard_;
    bool quitRequested_ = false;
    std::deque<std::function<void()>> pending_;
};

class Session {
  public:
    // Opens the settings store and the database (--db or the resolved path).
    // Returns null after printing the reason; `exitCode` tells why.
    static std::unique_ptr<Session> open(const Context& ctx, int* exitCode,
                                         bool loadDatabase = true);

    Settings& settings() { return *settings_; }
    CliUiPort& ui() { return ui_; }
    QuandorAppDelegate& delegate() { return *delegate_; }
    Database& database() { return delegate_->database(); }

    // Saves the database once, atomically. kFileError with the German reason on failure.
    int save();
    // Writes the settings now; a failure is told once (also at the end of the command).
    bool syncSettings();
    ~Session();

  private:
    Session(const Context& ctx) : ctx_(ctx), ui_(ctx) {}
    const Context& ctx_;
    std::unique_ptr<Settings> settings_;
    CliUiPort ui_;
    std::unique_ptr<QuandorAppDelegate> delegate_;
    bool settingsFailureTold_ = false;
};

// The clock of the command (--now), or the system clock.
std::optional<QDateTime> parseNow(const QString& text);

}  // namespace quandor::cli
