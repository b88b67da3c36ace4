#pragma once
// The statement controller's year and statement work: adding, editing and
// deleting years and statements (Abrechnungen) of the main window.
//
// The year and statement sheets are modelled as state this controller holds,
// so the window binds a sheet to sheet() and calls the actions of its buttons:
//
//   addYear / editYear ─▶ sheet open ─┬─ closeYear (check) ─▶ closed, kept
//                                     └─ cancelYear ─▶ closed; a new year is
//                                        removed again, an edited one restored
//
// (the same for statements with addList / editList / closeList / cancelList).
// Every change to the records is announced with noteChanged(); the selection of
// the main window follows the record being worked on.

#include "core/app_delegate.h"

#include <QString>
#include <QStringList>

namespace quandor {

class AddController {
  public:
    enum class SheetKind { None, Year, Statement };

    // What an open sheet shows. `record` is the year or statement being edited
    // (the sheet's fields write straight into it); `isNew` tells whether
    // cancelling removes it again.
    struct Sheet {
        SheetKind kind = SheetKind::None;
        RecordPtr record;
        bool isNew = false;
        bool helpDrawer = false;  // open the help drawer beside the sheet
    };

    explicit AddController(QuandorAppDelegate& app);

    const Sheet& sheet() const { return sheet_; }
    bool sheetIsOpen() const { return sheet_.kind != SheetKind::None; }

    // ---- years ---------------------------------------------------------------
    // Appends a new year, selects it and opens the year sheet on it.
    void addYear();
    // The year-name pop-up of the open year sheet.
    void setYearName(const QString& name);
    // Closes the year sheet when the year has a name of 2 or more characters;
    // otherwise alerts and keeps it open. True when the sheet closed.
    bool closeYear();
    void cancelYear();
    // Opens the year sheet on the selected year; beeps without a selection.
    void editYear();
    // Deletes the selected year with its statements after asking.
    void deleteYear();

    // ---- statements ----------------------------------------------------------
    // Appends a new statement to the selected year, selects it and opens the
    // statement sheet; alerts when no year is selected.
    void addList();
    void setListTitle(const QString& title);
    bool closeList();
    void cancelList();
    void editList();
    void deleteList();

    // What the statement sheet's title pop-up offers: the period names the VAT
    // advance return recognises (months, quarters, the whole year).
    static const QStringList& periodNames();
    // What the year sheet's name pop-up offers: the years around `current`.
    static QStringList yearNames(int current);

    // ---- items (add_controller_items.cpp) -----------------------------------

    // ---- master lists, reordering and drops (add_controller_lists.cpp) ------

    // ---- item split (add_controller_split.cpp) --------------------------------

    // The German texts of this controller, for the window layer and tests.
    static const QString kErrorTitle;     // "Fehler!"
    static const QString kNoYearName;     // closing the year sheet without a name
    static const QString kNoListTitle;    // closing the statement sheet without a title
    static const QString kNoYearForList;  // adding a statement without a year
    static const QString kDeleteYearTitle;
    static const QString kDeleteYearMessage;
    static const QString kDeleteListTitle;
    static const QString kDeleteListMessage;
    static const QString kDeleteButton;  // "Löschen"
    static const QString kCancelButton;  // "Abbrechen"

  private:
    bool closeSheet(SheetKind kind, Key nameKey, const QString& refusal);
    void cancelSheet(SheetKind kind);
    void openSheet(SheetKind kind, RecordPtr record, bool isNew);
    bool askDelete(const QString& title, const QString& message);
    void fail(const QString& message);

    // item entry state

    // master list state

    // split state

    QuandorAppDelegate& app_;
    Sheet sheet_;
    // For cancelling: the properties before editing, and the selection before adding.
    Dict savedProperties_;
    int previousIndex_ = -1;
    RecordPtr newListYear_;  // the year a new statement was appended to
};

}  // namespace quandor
