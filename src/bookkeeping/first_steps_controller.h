#pragma once
// The first-steps assistant: four sheets over the main window that take a new
// user from the welcome to the first item.
//
//   openSheetFirst (welcome) ─ closeSheetFirst ─▶ selectAssi ─▶ assistant sheet
//   assistant sheet (company, tax number, rates) ─ closeSheetAssi ─▶ account sheet
//   account sheet (chart of accounts) ─ closeSheetAccount ─▶ first-entry sheet
//   first-entry sheet (year, period) ─ closeSheetEntry ─▶ finishAssi, the year
//       and the statement exist and are selected; the window opens the item sheet
//
// Each cancelSheet… closes its sheet; what the closed sheets stored stays.
// The first-steps guide picture follows "jaImage": 2 when the assistant ends,
// 3 and 4 when the year and the statement are added, 5 when the item sheet opens.

#include "bookkeeping/years_controller.h"
#include "core/books.h"
#include "core/datev_charts.h"

#include <QString>

namespace quandor {

class FirstStepsController {
  public:
    enum class Sheet { None, First, Assi, Account, Entry };
    enum class ChartChoice { Keep, Complete, Standard, Minimal };

    // What the assistant sheet edits; written to the settings when it closes.
    struct Setup {
        QString company;
        QString taxID;
        float rate1 = 19.0f;
        float rate2 = 7.0f;
        bool makeBackup = false;
    };
    // What the first-entry sheet edits.
    struct Entry {
        QString yearName;
        QString periodName;
    };

    FirstStepsController(Books& books, YearsController& years);

    Sheet sheet() const { return sheet_; }
    // The assistant view of the main window (selectAssi until finishAssi or a cancel).
    bool assistantShown() const { return assistantShown_; }
    // At start: the welcome sheet shows while "prefsAlwaysShowWelcomeSheet" is false.
    bool welcomeAtStart() const;
    // The welcome sheet offers the assistant first until it has run once.
    bool setupDone() const;

    // ---- welcome -------------------------------------------------------------
    void openSheetFirst();
    // "Einrichtung starten": from the welcome to the assistant.
    void closeSheetFirst();
    void cancelSheetFirst();

    // ---- assistant -------------------------------------------------------------
    // Shows the assistant view and opens its sheet on the stored settings.
    void selectAssi();
    void openSheetAssi();
    Setup& setup() { return setup_; }
    // Checks the rates (0 to 100); alerts and keeps the sheet open on a bad one.
    // Otherwise writes company, tax number, rates and the backup choice and
    // opens the account sheet. True when the sheet closed.
    bool closeSheetAssi();
    void cancelSheetAssi();

    // ---- account setup ---------------------------------------------------------
    void openSheetAccount();
    void setChart(ChartChoice choice) { chart_ = choice; }
    ChartChoice chart() const { return chart_; }
    // Loads the chosen chart (nothing for Keep) and opens the first-entry sheet.
    // True when the sheet closed; an unreadable chart keeps it open.
    bool closeSheetAccount();
    void cancelSheetAccount();
    // The chart loads of the account sheet: without the question while the
    // account list is empty or holds what the assistant loaded; over accounts
    // the person keeps, the usual question comes first. True when loaded.
    bool loadCompleteAccountsSetup();
    bool loadDefaultAccountsSetup();
    bool loadMinimalAccountsSetup();
    int accountCount() const;

    // ---- first entry -----------------------------------------------------------
    void openSheetEntry();
    Entry& entry() { return entry_; }
    // Ends the assistant (finishAssi), then adds the year and the statement
    // unless they exist, and selects them. Alerts and keeps the sheet open on
    // an empty name. True when the item sheet may open.
    bool closeSheetEntry();
    // Ends the assistant without a year or statement.
    void cancelSheetEntry();

    // "isSetupDone" true, "jaImage" 2, the assistant view hidden.
    void finishAssi();

    static const QString kBadRate;       // a rate outside 0 to 100
    static const QString kNoYearName;    // the first-entry sheet without a year
    static const QString kNoPeriodName;  // the first-entry sheet without a period
    static const QString kSheetOpen;     // another sheet of the main window is open

  private:
    bool loadSetupChart(datev::Chart chart);
    void fail(const QString& message);

    Books& books_;
    YearsController& years_;
    Sheet sheet_ = Sheet::None;
    bool assistantShown_ = false;
    bool accountsFromAssistant_ = false;
    Setup setup_;
    Entry entry_;
    ChartChoice chart_ = ChartChoice::Standard;
};

}  // namespace quandor
