#pragma once
// The UI port of the desktop program: message boxes, file dialogs, the
// desktop's hand-offs and the main thread's timers.

#include "core/uiport.h"

#include <QPointer>
#include <QWidget>

namespace quandor::ui {

class QtUiPort : public UiPort {
  public:
    // Alerts and dialogs are modal to `parent` when it is set and visible.
    explicit QtUiPort(QWidget* parent = nullptr) : parent_(parent) {}
    void setParentWindow(QWidget* parent) { parent_ = parent; }

    int alert(AlertStyle style, const QString& title, const QString& message,
              const QStringList& buttons) override;
    void beep() override;
    std::optional<QString> saveDialog(const QString& title, const QString& fileType,
                                      const QString& proposedName) override;
    std::optional<QString> openDialog(const QString& title, const QStringList& fileTypes) override;
    std::optional<QString> chooseFolder(const QString& title) override;
    bool openUrl(const QString& url) override;
    bool openFile(const QString& path) override;
    bool revealFile(const QString& path) override;
    bool launchApplication(const QString& program, const QStringList& arguments) override;
    void setClipboardText(const QString& text) override;
    void schedule(int delayMs, std::function<void()> step) override;
    void quit() override;

    bool quitRequested() const { return quitRequested_; }

  private:
    QWidget* dialogParent() const;
    QPointer<QWidget> parent_;
    bool quitRequested_ = false;
};

}  // namespace quandor::ui
