#include "ui/row_drag.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFrame>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>

namespace quandor::ui {

RowDrag::RowDrag(QAbstractItemView* view, Hooks hooks)
    : QObject(view), view_(view), viewport_(view->viewport()), hooks_(std::move(hooks)) {
    view_->viewport()->setAcceptDrops(true);
    view_->viewport()->installEventFilter(this);
    indicator_ = new QFrame(view_->viewport());
    indicator_->setAttribute(Qt::WA_TransparentForMouseEvents);
    indicator_->hide();
}

int RowDrag::gapRow(const QPoint& pos) const {
    const QModelIndex index = view_->indexAt(pos);
    const int rows = view_->model() ? view_->model()->rowCount() : 0;
    if (!index.isValid()) return rows;
    const QRect rect = view_->visualRect(index);
    return pos.y() > rect.center().y() ? index.row() + 1 : index.row();
}

bool RowDrag::acceptsType(const QDropEvent* event, QString* type) const {
    const QMimeData* mime = event->mimeData();
    if (!mime) return false;
    if (!hooks_.moveType.isEmpty() && mime->hasFormat(hooks_.moveType) && hooks_.dropBetween) {
        *type = hooks_.moveType;
        return true;
    }
    if (!hooks_.onRowType.isEmpty() && mime->hasFormat(hooks_.onRowType) && hooks_.dropOnRow) {
        *type = hooks_.onRowType;
        return true;
    }
    return false;
}

void RowDrag::showGap(int row) {
    const int rows = view_->model()->rowCount();
    int y = 0;
    if (rows > 0) {
        const QRect rect = row < rows ? view_->visualRect(view_->model()->index(row, 0))
                                      : view_->visualRect(view_->model()->index(rows - 1, 0));
        y = row < rows ? rect.top() : rect.bottom() + 1;
    }
    indicator_->setStyleSheet(QStringLiteral("background: palette(highlight); border: none;"));
    indicator_->setGeometry(0, std::max(0, y - 1), view_->viewport()->width(), 3);
    indicator_->show();
    indicator_->raise();
}

void RowDrag::showOnRow(int row) {
    QRect rect = view_->visualRect(view_->model()->index(row, 0));
    rect.setLeft(0);
    rect.setRight(view_->viewport()->width() - 1);
    indicator_->setStyleSheet(
        QStringLiteral("background: transparent; border: 2px solid palette(highlight); "
                       "border-radius: 3px;"));
    indicator_->setGeometry(rect);
    indicator_->show();
    indicator_->raise();
}

void RowDrag::hideIndicator() {
    indicator_->hide();
}

void RowDrag::startDrag() {
    if (!hooks_.writeRows || hooks_.moveType.isEmpty()) return;
    std::vector<int> rows;
    if (QItemSelectionModel* selection = view_->selectionModel()) {
        for (const QModelIndex& index : selection->selectedRows()) rows.push_back(index.row());
    }
    if (std::find(rows.begin(), rows.end(), pressRow_) == rows.end()) rows = {pressRow_};
    std::sort(rows.begin(), rows.end());
    auto* mime = new QMimeData;
    mime->setData(hooks_.moveType, hooks_.writeRows(rows));
    auto* drag = new QDrag(view_);
    drag->setMimeData(mime);
    // A translucent picture of the row beside the cursor, so that the line or
    // frame showing where the drop goes stays visible.
    const QRect rect = view_->visualRect(view_->model()->index(pressRow_, 0));
    const QPixmap row = view_->viewport()->grab(
        QRect(0, rect.top(), std::min(view_->viewport()->width(), 320), rect.height()));
    QPixmap picture(row.size());
    picture.setDevicePixelRatio(row.devicePixelRatio());
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        painter.setOpacity(0.7);
        painter.drawPixmap(0, 0, row);
    }
    drag->setPixmap(picture);
    drag->setHotSpot(QPoint(-12, -6));
    drag->exec(Qt::MoveAction, Qt::MoveAction);
}

bool RowDrag::eventFilter(QObject* watched, QEvent* event) {
    if (watched != viewport_) return false;
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* e = static_cast<QMouseEvent*>(event);
            pressRow_ = -1;
            if (e->button() == Qt::LeftButton) {
                const QModelIndex index = view_->indexAt(e->position().toPoint());
                if (index.isValid()) {
                    pressRow_ = index.row();
                    pressPos_ = e->position().toPoint();
                }
            }
            return false;
        }
        case QEvent::MouseMove: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (pressRow_ < 0 || !(e->buttons() & Qt::LeftButton)) return false;
            if ((e->position().toPoint() - pressPos_).manhattanLength() <
                QApplication::startDragDistance())
                return false;
            startDrag();
            pressRow_ = -1;
            return true;
        }
        case QEvent::MouseButtonRelease:
            pressRow_ = -1;
            return false;
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* e = static_cast<QDragMoveEvent*>(event);
            QString type;
            if (!acceptsType(e, &type)) {
                hideIndicator();
                e->ignore();
                return true;
            }
            const QPoint pos = e->position().toPoint();
            if (type == hooks_.moveType) {
                showGap(gapRow(pos));
            } else {
                // Only rows take the drop; the enter is accepted anywhere so
                // that the moves over the rows keep coming.
                const QModelIndex index = view_->indexAt(pos);
                if (!index.isValid()) {
                    hideIndicator();
                    if (event->type() == QEvent::DragEnter) {
                        e->accept();
                    } else {
                        e->ignore();
                    }
                    return true;
                }
                showOnRow(index.row());
            }
            e->setDropAction(Qt::MoveAction);
            e->accept();
            return true;
        }
        case QEvent::DragLeave:
            hideIndicator();
            return true;
        case QEvent::Drop: {
            auto* e = static_cast<QDropEvent*>(event);
            hideIndicator();
            QString type;
            if (!acceptsType(e, &type)) {
                e->ignore();
                return true;
            }
            const QPoint pos = e->position().toPoint();
            e->setDropAction(Qt::MoveAction);
            e->accept();
            // Run after the drag has ended: a drop may ask or alert.
            if (type == hooks_.moveType) {
                const QByteArray data = e->mimeData()->data(type);
                const int row = gapRow(pos);
                QTimer::singleShot(0, this, [this, type, data, row] {
                    if (hooks_.dropBetween(type, data, row) && hooks_.changed) hooks_.changed();
                });
            } else {
                const QModelIndex index = view_->indexAt(pos);
                const int row = index.isValid() ? index.row() : -1;
                if (row >= 0)
                    QTimer::singleShot(0, this, [this, type, row] {
                        if (hooks_.dropOnRow(type, row) && hooks_.changed) hooks_.changed();
                    });
            }
            return true;
        }
        default:
            return false;
    }
}

}  // namespace quandor::ui
