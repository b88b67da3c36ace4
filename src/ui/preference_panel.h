#pragma once
// The preference window: a toolbar of seven pages; choosing one swaps the page
// in, fits the window to it and sets the window title. Opens on "Allgemein".

#include "core/settings.h"

#include <QMainWindow>

class QAction;
class QActionGroup;
class QLabel;
class QStackedWidget;

namespace quandor::ui {

class GeneralPage;

class PreferencePanel : public QMainWindow {
    Q_OBJECT
  public:
    explicit PreferencePanel(Settings& settings, QWidget* parent = nullptr);

    // Shows the page with that identifier; false for an unknown identifier.
    bool selectPage(const QString& identifier);
    QString currentIdentifier() const;
    QWidget* page(const QString& identifier) const;
    QToolBar* pageToolbar() const { return toolbar_; }

    // Centre and show the window on Allgemein, Kategorien, Konten or Vorlagen.
    void showPrefs();
    void selectTab1();
    void selectTab2();
    void selectTab3();
    void selectTab4();

    // A later page replaces a placeholder (the pages that come with their lists).
    void setPage(const QString& identifier, QWidget* page);

    // The help panel beside the pages: it explains the shown page. Opening
    // the window opens it while "prefsAlwaysShowPrefsHelpDawer" is set; the
    // toolbar's "Hilfe" shows and hides it.
    bool helpShown() const;
    void setHelpShown(bool shown);
    QLabel* helpPanel() const { return help_; }
    QAction* helpAction() const { return helpAction_; }

  signals:
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Esc closes the window, as in every dialog (unless a field used it first,
    // such as a list cell being edited).
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void showCentred(int pageIndex);

    Settings& settings_;
    QToolBar* toolbar_ = nullptr;
    QActionGroup* group_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    GeneralPage* general_ = nullptr;
    QLabel* help_ = nullptr;
    QAction* helpAction_ = nullptr;
};

}  // namespace quandor::ui
