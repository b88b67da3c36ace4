#pragma once
// The small windows around the main window: the About window and the help
// and documentation windows. (The welcome sheet is in first_steps_sheets.h.)

#include <QDialog>
#include <QPixmap>

namespace quandor::ui {

// The program's emblem: a green ledger sheet with a rising line.
QPixmap emblem(int size);

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
