#pragma once
// The preference pages "Kategorien", "Konten" and "Vorlagen": the master lists
// edited in place. Rows are edited in the table, reordered by drag, added with
// "+" and deleted with "−" (or the delete key) after the question.

#include "bookkeeping/array_controller.h"
#include "core/app_delegate.h"

#include <QAbstractTableModel>
#include <QWidget>

class QLabel;
class QTableView;
class QPushButton;

namespace quandor::ui {

// One master list as a table of editable columns.
class MasterListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    using List = ArrayController::ListKind;

    MasterListModel(QuandorAppDelegate& app, ArrayController& controller, List list,
                    QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The list changed underneath (rows added, deleted, moved, loaded).
    void reload();
    List list() const { return list_; }
    // The choices of a column edited by a pop-up (kind, rate); empty for text columns.
    QStringList choices(int column) const;
    // The German reason the last edit was refused; empty after a good edit.
    QString lastRefusal() const { return refusal_; }

  signals:
    void refused(const QString& reason);

  private:
    struct Column;
    const std::vector<Column>& columns() const;
    Record* recordAt(int row) const;

    QuandorAppDelegate& app_;
    ArrayController& controller_;
    List list_;
    QString refusal_;
};

class MasterListPage : public QWidget {
    Q_OBJECT
  public:
    using List = ArrayController::ListKind;

    MasterListPage(QuandorAppDelegate& app, ArrayController& controller, List list,
                   QWidget* parent = nullptr);

    QTableView* table() const { return table_; }
    MasterListModel* model() const { return model_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* removeButton() const { return remove_; }

    // "+": a new row, its first column in editing with the text selected.
    void addRow();
    // "−": deletes the selected row after the question.
    void removeRow();
    // Rereads the list (shown again, or changed by another window).
    void reload();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void selectRow(int row);

    QuandorAppDelegate& app_;
    ArrayController& controller_;
    List list_;
    MasterListModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
    QLabel* message_ = nullptr;
};

}  // namespace quandor::ui
