#pragma once
// The small windows around the main window: the welcome sheet, the About
// window and the help and documentation windows.

#include "core/settings.h"

#include <QDialog>

class QCheckBox;

namespace quandor::ui {

// Shown over the main window at start while "prefsAlwaysShowWelcomeSheet" is
// false; its check box sets that key.
class WelcomeSheet : public QDialog {
    Q_OBJECT
  public:
    WelcomeSheet(Settings& settings, QWidget* parent);
    QCheckBox* dontShowAgain() const { return dontShow_; }

  signals:
    void openPreferences();

  private:
    Settings& settings_;
    QCheckBox* dontShow_ = nullptr;
};

// "Über Quandor": name, version and what the program is for.
class AboutWindow : public QDialog {
    Q_OBJECT
  public:
    explicit AboutWindow(QWidget* parent = nullptr);
};

// The help and documentation windows: short German texts for now. The first
// time they open at a size that shows a page of text, centred over the main
// window and on its screen; after that where the person left them.
class InfoWindow : public QDialog {
    Q_OBJECT
  public:
    InfoWindow(const QString& title, const QString& html, QWidget* parent = nullptr);
    // Shows the window when hidden, hides it when shown.
    void toggle();
    static QSize readableSize();

  private:
    bool placed_ = false;
};

QString helpText();
QString documentationText();

}  // namespace quandor::ui
