#pragma once
// "Hilfe → Handbuch": the handbook PDF built with the program, in the PDF
// view, with its pages as small pictures beside it and a search field.

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPdfDocument;
class QPdfView;

namespace quandor::ui {

class HandbookWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HandbookWindow(QWidget* parent = nullptr);

    // Loads the handbook; false when it cannot be read (the window says so).
    bool load(const QString& path);
    // Shows the page (0 = the first) and marks it in the page list.
    void showPage(int page);
    int currentPage() const { return page_; }
    // Looks for `text` (any case) from the page after the last hit on, wrapping
    // around, and shows the page it is on. Returns that page, -1 when no page
    // has it; the line under the view says which hit of how many it is.
    int findNext(const QString& text);

    QPdfDocument* document() const { return document_; }
    QListWidget* pageList() const { return pages_; }
    QLineEdit* searchField() const { return search_; }
    QLabel* statusLine() const { return status_; }

    static QString resourcePath() { return QStringLiteral(":/handbuch/Handbuch.pdf"); }

  private:
    QPdfDocument* document_ = nullptr;
    QPdfView* view_ = nullptr;
    QListWidget* pages_ = nullptr;
    QLineEdit* search_ = nullptr;
    QLabel* status_ = nullptr;
    int page_ = 0;
    QString lastSearch_;
    int lastHit_ = -1;
};

}  // namespace quandor::ui
