#pragma once
// Table models of the main window over the open database. They hold no copy of
// a record: the year list reads the root list, the statement list the selected
// year's "thelists", the item list the selection's listed rows.

#include "core/database.h"
#include "core/selection.h"

#include <QAbstractListModel>
#include <QAbstractTableModel>

namespace quandor::ui {

// The years, showing "dateValue".
class YearListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit YearListModel(const Database& db, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // The year list changed underneath (added, removed, loaded).
    void reload();

  private:
    const Database& db_;
};

// The statements of the selected year, showing "title".
class StatementListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit StatementListModel(const Selection& selection, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    void reload();

  private:
    const RecordList* statements() const;
    const Selection& selection_;
};

// The listed items of the selected statement (sorted by date, filtered by the
// search text; the selection decides which rows there are).
class ItemTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Date, Title, Group, Account, Amount, Tax, ColumnCount };

    explicit ItemTableModel(const Selection& selection, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void reload();

  private:
    const Record* itemAt(int row) const;
    const Selection& selection_;
};

}  // namespace quandor::ui
