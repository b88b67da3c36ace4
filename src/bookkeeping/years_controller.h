#pragma once
// Years and their statements (Abrechnungen) in the main window: adding,
// editing and deleting them through the year sheet and the statement sheet.
//
// The sheets are state this controller holds (in the main window's one
// OpenSheet), so the window binds a sheet to sheet() and calls the actions of
// its buttons:
//
//   addYear / editYear ─▶ sheet open ─┬─ closeYear (check) ─▶ closed, kept
//                                     └─ cancelYear ─▶ closed; a new year is
//                                        removed again, an edited one restored
//
// (the same for statements with addList / editList / closeList / cancelList).
// The selection of the main window follows the record being worked on.

#include "bookkeeping/open_sheet.h"
#include "core/books.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace quandor {

class YearsController {
  public:
    using SheetKind = OpenSheet::Kind;
    using Sheet = OpenSheet;

    // `sheet` is the main window's sheet, shared with the item entry.
    YearsController(Books& books, OpenSheet& sheet);

    const Sheet& sheet() const { return sheet_; }
    bool sheetIsOpen() const { return sheet_.isOpen(); }

    // ---- years ---------------------------------------------------------------
    // Appends a new year, selects it and opens the year sheet on it.
    void addYear();
    // The year-name pop-up of the open year sheet.
    void setYearName(const QString& name);
    // Closes the year sheet when the year has a name of 2 or more characters;
    // otherwise alerts and keeps it open. True when the sheet closed.
    bool closeYear();
    // Closes the year sheet: a new year is removed again, an edited one gets back what it had.
    void cancelYear();
    // Opens the year sheet on the selected year; beeps without a selection.
    void editYear();
    // Deletes the selected year with its statements after asking.
    void deleteYear();

    // ---- statements ("List": the statement record, Thelist) -------------------
    // Appends a new statement to the selected year, selects it and opens the
    // statement sheet; alerts when no year is selected.
    void addList();
    // The title pop-up of the open statement sheet (the period name).
    void setListTitle(const QString& title);
    // Closes the statement sheet when the statement has a title of 2 or more
    // characters; otherwise alerts and keeps it open. True when the sheet closed.
    bool closeList();
    // The same for the statement sheet: a new statement is removed, an edited one restored.
    void cancelList();
    // Opens the statement sheet on the selected statement; beeps without a selection.
    void editList();
    // Deletes the selected statement with its items after asking.
    void deleteList();

    // What the statement sheet's title pop-up offers: the period names the VAT
    // advance return recognises (months, quarters, the whole year).
    static const QStringList& periodNames();
    // What the year sheet's name pop-up offers: the years around `current`.
    static QStringList yearNames(int current);
    // The settings opening the sheets writes (the first-steps guide, the
    // sheets' pages): what a refused command of the command line puts back.
    static QStringList sheetSettings();

    static const QString kNoYearName;     // closing the year sheet without a name
    static const QString kNoListTitle;    // closing the statement sheet without a title
    static const QString kNoYearForList;  // adding a statement without a year
    static const QString kDeleteYearTitle;
    static const QString kDeleteYearMessage;
    static const QString kDeleteListTitle;
    static const QString kDeleteListMessage;

  private:
    bool closeSheet(SheetKind kind, Key nameKey, const QString& refusal);
    void cancelSheet(SheetKind kind);
    void openSheet(SheetKind kind, RecordPtr record, bool isNew);
    bool askDelete(const QString& title, const QString& message);
    void fail(const QString& message);
    void rememberSelection();
    void restoreSelection();

    Books& books_;
    OpenSheet& sheet_;
    // For cancelling: the properties before editing, and the selection before adding.
    Dict savedProperties_;
    struct SelectionBefore {
        int year = -1;
        int statement = -1;
        std::vector<RecordPtr> items;
    };
    SelectionBefore selectionBefore_;
    RecordPtr newListYear_;  // the year a new statement was appended to
};

}  // namespace quandor
