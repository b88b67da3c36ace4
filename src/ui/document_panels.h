#pragma once
// The document panels beside the item list: the item's document, the
// statement's and the year's document lists, each with the panel that shows
// the selected document (icon, name, kind, size, dates) and takes drops.

#include "documents/documents_controller.h"

#include <QWidget>

class QAbstractButton;
class QLabel;
class QTableView;

namespace quandor {
class QuandorAppDelegate;
}

namespace quandor::ui {

class MainWindow;

// One panel: shows the selected record's document and offers to add, reveal,
// open and remove it; a file dropped on it replaces the document.
class DocumentPanel : public QWidget {
    Q_OBJECT
  public:
    DocumentPanel(DocumentsController& documents, DocumentsController::Panel panel,
                  QWidget* parent = nullptr);
    void refresh();
    QLabel* titleField() const { return title_; }

  signals:
    // The records changed (a document attached or removed).
    void changed();

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    DocumentsController& documents_;
    DocumentsController::Panel panel_;
    bool dragging_ = false;
    QLabel* icon_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* kind_ = nullptr;
    QLabel* size_ = nullptr;
    QLabel* created_ = nullptr;
    QLabel* modified_ = nullptr;
    QAbstractButton* reveal_ = nullptr;
    QAbstractButton* open_ = nullptr;
    QAbstractButton* remove_ = nullptr;
};

// The three panels in tabs, added beside the main window's item list.
void installDocumentPanels(MainWindow& main, QuandorAppDelegate& delegate);

}  // namespace quandor::ui
