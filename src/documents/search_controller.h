#pragma once
// The search over every item of every year: the search sheet, filtered as
// the person types, its detail sheet and the item's document.
//
//   openSearchSheet ─▶ every item, sorted by "date" ─▶ setSearchText … (each keystroke)
//        │                                             ├─ openDetailSheet (double click) /
//        closeDetailSheet │                                             └─ revealFile / openFile
//        (the item's document) └────────────────────────────────────────────▶ closeSearchSheet
//
// A search text matches an item when it occurs, ignoring case, in its title,
// number, receipt ("misc1"), category, account title or number, or in its
// amount as the window writes it ("1.234,56" or "1234,56"). Each item's texts
// are folded once when the sheet opens; a keystroke that only adds to the
// text searches the previous hits alone, so typing stays quick on 100,000 items.

#include "core/books.h"

#include <QString>

#include <utility>
#include <vector>

namespace quandor {

inline const QString kSearchDocTitle = QStringLiteral("Hinweis!");
inline const QString kSearchNoDocMessage = QStringLiteral("An diesem Posten hängt kein Dokument.");

class SearchController {
  public:
    struct Row {
        RecordPtr item;
        QString year;       // the year's "dateValue"
        QString statement;  // the statement's "title"
        int position = 0;   // 1-based place in its statement's item list (sorted by date)
    };

    explicit SearchController(Books& books);

    // Collects every item of every year (statements in list order); clears the search text.
    void openSearchSheet();
    void closeSearchSheet();
    bool isOpen() const { return open_; }

    void setSearchText(const QString& text);
    const QString& searchText() const { return text_; }

    // The rows shown (matching the search text, by "date" ascending).
    size_t count() const { return shown_.size(); }
    const Row& row(size_t index) const { return rows_[shown_[index]]; }
    size_t total() const { return rows_.size(); }

    int selectedRow() const { return selected_; }
    void setSelectedRow(int row);

    // The detail sheet of the selected row; without one it only beeps.
    bool openDetailSheet();
    void closeDetailSheet() { detailOpen_ = false; }
    bool detailOpen() const { return detailOpen_; }
    // Label and text of each field the detail sheet shows.
    std::vector<std::pair<QString, QString>> detailFields() const;

    // The selected item's document, handed to the desktop.
    bool revealFile();
    bool openFile();

  private:
    bool handOff(bool reveal);

    Books& books_;
    bool open_ = false;
    bool detailOpen_ = false;
    std::vector<Row> rows_;
    // The searched texts of all rows, case-folded, fields separated by U+001F,
    // rows by U+001E; row r starts at starts_[r] (one entry more than rows).
    QString folded_;
    std::vector<qsizetype> starts_;
    std::vector<uint32_t> shown_;
    // The hits of the last texts typed, so deleting a letter is as quick as typing one.
    std::vector<std::pair<QString, std::vector<uint32_t>>> recent_;
    QString text_;
    QString foldedText_;
    int selected_ = -1;
};

// Details of one item, as the detail sheet and `quandor-cli search` show them.
std::vector<std::pair<QString, QString>> itemDetailFields(const SearchController::Row& row);

}  // namespace quandor
