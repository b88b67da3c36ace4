#pragma once
// Where windows and sheets appear.

#include <QMargins>
#include <QRect>
#include <QSize>

#include <functional>

class QDialog;
class QWidget;

namespace quandor::ui {

// Centres `window` over `over`, or over the primary screen's free area when
// `over` is null.
void centreOver(QWidget* window, const QWidget* over = nullptr);

// Shows a sheet at its natural size, centred over its parent and in front,
// and runs `takeFocus` now and once more after the window system has shown
// it (showing may hand the focus to the first field).
void presentSheet(QDialog* sheet, const std::function<void()>& takeFocus);

// A window's frame (with title bar and borders) of `frame` size, centred on
// `centre` and then shrunk and moved as little as needed to lie wholly inside
// `available`, so its title bar and its lower buttons stay reachable.
QRect fitFrame(QSize frame, QPoint centre, const QRect& available);

// The title bar and borders the window system puts around `window`: its own
// once it has been shown, else those of `reference` (a window of the same
// program that is on screen), else a typical frame.
QMargins decorationOf(const QWidget* window, const QWidget* reference = nullptr);

// Gives `window` the size `wanted` (without frame) or less, so that with its
// frame it fits on the free area of the screen `over` is on, and centres it
// over `over` (or that screen).
void placeOnScreen(QWidget* window, QSize wanted, const QWidget* over);

}  // namespace quandor::ui
