#include "ui/placement.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace quandor::ui {

namespace {

QMargins marginsOf(const QWidget* w) {
    const QRect outer = w->frameGeometry();
    const QRect inner = w->geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

}  // namespace

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

QRect fitFrame(QSize frame, QPoint centre, const QRect& available) {
    QRect r(QPoint(0, 0), frame.boundedTo(available.size()));
    r.moveCenter(centre);
    if (r.right() > available.right()) r.moveRight(available.right());
    if (r.bottom() > available.bottom()) r.moveBottom(available.bottom());
    if (r.left() < available.left()) r.moveLeft(available.left());
    if (r.top() < available.top()) r.moveTop(available.top());
    return r;
}

QMargins decorationOf(const QWidget* window, const QWidget* reference) {
    if (window && window->isVisible()) {
        const QMargins own = marginsOf(window);
        if (!own.isNull()) return own;
    }
    if (reference && reference->isVisible()) {
        const QMargins theirs = marginsOf(reference);
        if (!theirs.isNull()) return theirs;
    }
    // Before the window system has framed anything: a title bar and thin borders.
    return {4, 30, 4, 4};
}

void placeOnScreen(QWidget* window, QSize wanted, const QWidget* over) {
    if (!window) return;
    const QScreen* screen =
        over && over->screen() ? over->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        window->resize(wanted);
        return;
    }
    const QRect available = screen->availableGeometry();
    const QMargins frame = decorationOf(window, over);
    const QSize outer(wanted.width() + frame.left() + frame.right(),
                      wanted.height() + frame.top() + frame.bottom());
    const QPoint centre =
        over && over->isVisible() ? over->frameGeometry().center() : available.center();
    const QRect fitted = fitFrame(outer, centre, available);
    window->resize(fitted.width() - frame.left() - frame.right(),
                   fitted.height() - frame.top() - frame.bottom());
    window->move(fitted.topLeft());
}

}  // namespace quandor::ui
