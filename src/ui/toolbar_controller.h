#pragma once
// The main window's toolbar: builds it from the stored identifiers, lets each
// item press its main window button (so the button's enabling rules apply to
// the item), starts the calculator, and runs the customisation palette.

#include "core/settings.h"
#include "core/uiport.h"
#include "ui/toolbar_items.h"

#include <QObject>
#include <QStringList>

#include <map>

class QAction;
class QToolBar;

namespace quandor::ui {

class MainWindow;

class ToolbarController : public QObject {
    Q_OBJECT
  public:
    ToolbarController(MainWindow& window, Settings& settings, UiPort& ui);

    QToolBar* toolbar() const { return toolbar_; }
    // The entries shown, left to right.
    QStringList identifiers() const { return identifiers_; }
    // Shows these entries and keeps them in the settings store.
    void setIdentifiers(const QStringList& identifiers);
    // The action of a program item (also when the item is not on the toolbar).
    QAction* action(const QString& identifier) const;

    // What a toolbar item does: press the main window's button, when it is enabled.
    void perform(ToolbarAction action);
    // Starts the first calculator on PATH; explains in an alert when there is none.
    void calculatorButtonAction();
    // The "Symbolleiste anpassen …" dialog.
    void runCustomizePalette();

    // How a calculator is looked up (tests replace it).
    void setExecutableFinder(std::function<QString(const QString&)> finder) {
        findExecutable_ = std::move(finder);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void rebuild();
    void syncEnabled();

    MainWindow& window_;
    Settings& settings_;
    UiPort& ui_;
    QToolBar* toolbar_ = nullptr;
    QStringList identifiers_;
    std::map<QString, QAction*> actions_;
    std::function<QString(const QString&)> findExecutable_;
};

}  // namespace quandor::ui
