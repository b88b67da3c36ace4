#pragma once
// The frame the list windows share (depreciation, inventory, cash book): a
// window beside the main window with a read-only table of whole rows, a
// bottom bar (the window's own buttons on the left, a summary in the middle,
// "CSV exportieren …", "PDF exportieren …" and "Drucken …" on the right),
// Ctrl+P for printing and Delete/Backspace on a list for deleting. Also the
// heading and the button row of the sheets these windows open.

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;
class QVBoxLayout;

namespace quandor::ui {

// A column of a list table: its heading and whether its texts stand on the right.
struct ListColumn {
    QString title;
    bool right = false;
};

// A sheet's bold heading, a little larger than the fields.
QLabel* sheetHeading(const QString& text, QWidget* parent);

// The sheet's buttons `okText` (default: Return) and "Abbrechen" (Escape)
// at the foot of `layout`; they accept and reject the sheet.
void addSheetButtons(QDialog* sheet, QVBoxLayout* layout, const QString& okText);

class ListWindow : public QDialog {
    Q_OBJECT
  protected:
    // What the three output buttons run, and the print button's tooltip.
    struct Outputs {
        std::function<void()> csv;
        std::function<void()> pdf;
        std::function<void()> print;
        QString printToolTip;
    };

    ListWindow(const QString& objectName, const QString& title, QWidget* parent);

    // A table of `columns`: whole rows, one selected at a time, read only;
    // the column `stretch` takes the width the others leave.
    QTableWidget* makeTable(const QString& objectName, std::vector<ListColumn> columns, int stretch,
                            QWidget* parent);
    // The texts of row `row`, aligned as their columns say.
    void setRow(QTableWidget* table, int row, const QStringList& texts) const;
    // After filling: the columns as wide as their texts, the stretching one takes the rest.
    void fitColumns(QTableWidget* table) const;
    // Shows `row` selected, or no row when `table` has no such row.
    static void showSelected(QTableWidget* table, int row);

    // The bottom bar at the foot of `layout`: `left`, the summary, the output buttons.
    void addBottomBar(QVBoxLayout* layout, std::initializer_list<QPushButton*> left,
                      const Outputs& outputs);
    // Delete and Backspace on `list` run `remove`.
    void onDeleteKey(QWidget* list, const std::function<void()>& remove);
    // The current row of `table` is the one the buttons act on: `select` tells
    // the controller, the row is shown selected and `changed` runs.
    void followCurrentRow(QTableWidget* table, const std::function<void(int)>& select,
                          const std::function<void()>& changed);
    // Shows the window (centred the first time), brings it to the front and
    // gives `focus` the keyboard (none when null).
    void bringToFront(QWidget* focus);
    // The three output buttons on or off together.
    void enableOutputs(bool on);

    QLabel* summary() const { return summary_; }
    QPushButton* csvButton() const { return csv_; }
    QPushButton* pdfButton() const { return pdf_; }
    QPushButton* printButton() const { return print_; }

    // True while the window itself changes the selection of its lists.
    bool syncing_ = false;

  private:
    std::vector<ListColumn> columns_;  // of the table made by makeTable
    int stretch_ = -1;
    QLabel* summary_ = nullptr;
    QPushButton* csv_ = nullptr;
    QPushButton* pdf_ = nullptr;
    QPushButton* print_ = nullptr;
};

}  // namespace quandor::ui
