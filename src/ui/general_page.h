#pragma once
// The "Allgemein" page of the preference window: company, taxes, printing,
// help drawers and item entry. Every change goes straight to the settings store.

#include "core/settings.h"

#include <QWidget>

namespace quandor::ui {

class GeneralPage : public QWidget {
    Q_OBJECT
  public:
    explicit GeneralPage(Settings& settings, QWidget* parent = nullptr);
    // Shows the stored values again (another window may have changed them).
    void reload();

  private:
    Settings& settings_;
    std::vector<std::function<void()>> loaders_;
};

}  // namespace quandor::ui
