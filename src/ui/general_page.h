#pragma once
// The "Allgemein" page of the preference window: company, taxes, printing,
// help drawers and item entry. Every change goes straight to the settings store.
//
// With several users, company, tax number, ELSTER number and taxation kind
// belong to the open user: the program copies them from the users list at
// every save, so here they are shown read-only, with a link to the
// "Benutzer" page where they are changed.

#include "core/settings.h"

#include <QWidget>

namespace quandor::ui {

class GeneralPage : public QWidget {
    Q_OBJECT
  public:
    explicit GeneralPage(Settings& settings, QWidget* parent = nullptr);
    // Shows the stored values again (another window may have changed them).
    void reload();

  signals:
    // The note's link to the "Benutzer" page was followed.
    void showUsersPage();

  private:
    Settings& settings_;
    std::vector<std::function<void()>> loaders_;
    std::vector<QWidget*> userFields_;  // company, tax number, ELSTER number, taxation
    QWidget* userNote_ = nullptr;
};

}  // namespace quandor::ui
