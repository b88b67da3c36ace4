#pragma once
// A UI port for benchmarks: every question gets its first button, dialogs are
// cancelled, and delayed steps run at once, so only the work itself is timed.

#include "core/uiport.h"

namespace quandor::bench {

class SilentUi : public UiPort {
  public:
    int alert(AlertStyle, const QString&, const QString&, const QStringList&) override { return 0; }
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
    void setClipboardText(const QString&) override {}
    void schedule(int, std::function<void()> step) override { step(); }
    void quit() override {}
};

}  // namespace quandor::bench
