#pragma once
// Where windows and sheets appear.

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

}  // namespace quandor::ui
