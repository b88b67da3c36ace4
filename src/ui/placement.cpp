#include "ui/placement.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace quandor::ui {

void centreOver(QWidget* window, const QWidget* over) {
    if (!window) return;
    QRect area;
    if (over) {
        area = over->frameGeometry();
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    } else {
        return;
    }
    QRect frame = window->frameGeometry();
    frame.moveCenter(area.center());
    window->move(frame.topLeft());
}

void presentSheet(QDialog* sheet, const std::function<void()>& takeFocus) {
    sheet->adjustSize();
    if (const QWidget* over = sheet->parentWidget()) centreOver(sheet, over);
    sheet->open();
    sheet->raise();
    sheet->activateWindow();
    takeFocus();
    QTimer::singleShot(0, sheet, takeFocus);
}

}  // namespace quandor::ui
