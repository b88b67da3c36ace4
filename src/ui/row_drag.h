#pragma once
// Reordering rows by drag, and dropping rows on rows of another table, for
// table and list views whose models know nothing of drag and drop.
//
// The helper watches the view's viewport: pressing on a row and moving starts
// a drag carrying the controller's move data under the table's own drag type;
// over the own table the drop goes between rows (a line shows where), over a
// table that accepts drops "on" rows (items on statements) the row is framed.
// What a drop does is left to the hooks, which call the statement controller.

#include <QByteArray>
#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>
#include <vector>

class QAbstractItemView;
class QFrame;
class QDropEvent;

namespace quandor::ui {

class RowDrag : public QObject {
    Q_OBJECT
  public:
    struct Hooks {
        QString moveType;  // the drag type of this table's own rows
        // Drag start: the move data of the dragged rows (ascending).
        std::function<QByteArray(const std::vector<int>& rows)> writeRows;
        // A drop of the own type between rows, before `row` (row count: at the end).
        std::function<bool(const QString& type, const QByteArray& data, int row)> dropBetween;
        // Drops of another table's rows on a row of this one (optional).
        QString onRowType;
        std::function<bool(const QString& type, int row)> dropOnRow;
        // After a drop changed something: reread the lists.
        std::function<void()> changed;
    };

    RowDrag(QAbstractItemView* view, Hooks hooks);

    // The row a drop at `pos` (viewport coordinates) goes before.
    int gapRow(const QPoint& pos) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void startDrag();
    bool acceptsType(const QDropEvent* event, QString* type) const;
    void showGap(int row);
    void showOnRow(int row);
    void hideIndicator();

    QAbstractItemView* view_;
    // Kept apart from the view: while the view is being torn down its
    // viewport still sends events, and the view may no longer be asked for it.
    QWidget* viewport_;
    Hooks hooks_;
    QFrame* indicator_ = nullptr;
    QPoint pressPos_;
    int pressRow_ = -1;
};

}  // namespace quandor::ui
