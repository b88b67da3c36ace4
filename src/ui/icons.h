#pragma once
// The program's named images (toolbar, preference pages, first-steps guide).
// Toolbar and page icons come from the desktop's icon theme when it has a
// fitting one, else they are drawn here so the program looks complete anywhere.

#include <QIcon>
#include <QImage>
#include <QString>

namespace quandor::ui {

QIcon namedIcon(const QString& name);
// The drawn picture of a named icon, ignoring the theme (also for tests).
QImage drawnIcon(const QString& name, int size);

// The first-steps guide pictures "ja1" to "ja4".
struct GuideText {
    int step = 0;  // the number in the circle
    QString headline;
    QString hint;
};
GuideText guideText(const QString& name);
// The picture of one guide step; a null image for an unknown name.
QImage guideImage(const QString& name, qreal devicePixelRatio = 1.0);

}  // namespace quandor::ui
