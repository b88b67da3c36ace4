#include "bookkeeping/first_steps_controller.h"

#include "bookkeeping/alert_words.h"
#include "core/datev_load.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"

#include <cmath>

namespace quandor {

const QString FirstStepsController::kBadRate = QStringLiteral(
    "Bitte gib jeden Steuersatz als Zahl zwischen 0 und 100 ein, zum Beispiel 19 oder 7.");
const QString FirstStepsController::kNoYearName =
    QStringLiteral("Bitte wähle das Jahr, in dem du buchen möchtest, zum Beispiel 2024.");
const QString FirstStepsController::kNoPeriodName =
    QStringLiteral("Bitte wähle einen Zeitraum für deine erste Abrechnung, zum Beispiel Januar.");
const QString FirstStepsController::kSheetOpen = QStringLiteral(
    "Schließe bitte zuerst das geöffnete Blatt im Hauptfenster (Jahr, Abrechnung oder Posten).");

namespace {

// The step of the first-steps guide the end of the assistant stores.
constexpr int kGuideSetupDone = 2;

bool isRate(float rate) {
    return std::isfinite(rate) && rate >= 0.0f && rate <= 100.0f;
}

}  // namespace

FirstStepsController::FirstStepsController(Books& books, YearsController& years)
    : books_(books), years_(years) {}

bool FirstStepsController::welcomeAtStart() const {
    return !books_.settings().getBool(prefs::prefsAlwaysShowWelcomeSheet);
}

bool FirstStepsController::setupDone() const {
    return books_.settings().getBool(prefs::isSetupDone);
}

// ---- welcome ------------------------------------------------------------------------

void FirstStepsController::openSheetFirst() {
    sheet_ = Sheet::First;
}

void FirstStepsController::closeSheetFirst() {
    if (sheet_ != Sheet::First) return;
    sheet_ = Sheet::None;
    selectAssi();
}

void FirstStepsController::cancelSheetFirst() {
    if (sheet_ == Sheet::First) sheet_ = Sheet::None;
}

// ---- assistant ------------------------------------------------------------------------

void FirstStepsController::selectAssi() {
    assistantShown_ = true;
    openSheetAssi();
}

void FirstStepsController::openSheetAssi() {
    const Settings& settings = books_.settings();
    setup_.company = settings.getText(prefs::prefsCompany);
    setup_.taxID = settings.getText(prefs::prefsTaxID);
    // A fresh installation has its rates from the first window; without them
    // the assistant proposes the German ones.
    const float rate1 = settings.getFloat(prefs::prefs1Rate);
    const float rate2 = settings.getFloat(prefs::prefs2Rate);
    setup_.rate1 = rate1 > 0.0f ? rate1 : 19.0f;
    setup_.rate2 = rate2 > 0.0f ? rate2 : 7.0f;
    setup_.makeBackup = settings.getBool(prefs::prefsMakeBackup);
    sheet_ = Sheet::Assi;
}

bool FirstStepsController::closeSheetAssi() {
    if (sheet_ != Sheet::Assi) return false;
    if (!isRate(setup_.rate1) || !isRate(setup_.rate2)) {
        fail(kBadRate);
        return false;
    }
    Settings& settings = books_.settings();
    settings.setText(prefs::prefsCompany, setup_.company.trimmed());
    settings.setText(prefs::prefsTaxID, setup_.taxID.trimmed());
    settings.setFloat(prefs::prefs1Rate, setup_.rate1);
    settings.setFloat(prefs::prefs2Rate, setup_.rate2);
    settings.setBool(prefs::prefsMakeBackup, setup_.makeBackup);
    settings.sync();
    openSheetAccount();
    return true;
}

void FirstStepsController::cancelSheetAssi() {
    if (sheet_ != Sheet::Assi) return;
    sheet_ = Sheet::None;
    assistantShown_ = false;
}

// ---- account setup ----------------------------------------------------------------------

void FirstStepsController::openSheetAccount() {
    // Someone who already has accounts keeps them unless they choose otherwise.
    chart_ = accountCount() == 0 ? ChartChoice::Standard : ChartChoice::Keep;
    sheet_ = Sheet::Account;
}

int FirstStepsController::accountCount() const {
    return static_cast<int>(books_.database().accounts.size());
}

bool FirstStepsController::loadSetupChart(datev::Chart chart) {
    RecordList& accounts = books_.database().accounts;
    // Replacing the person's own accounts unasked would lose them: the
    // question of the preference window guards them here as well.
    const datev::Ask ask =
        accounts.empty() || accountsFromAssistant_ ? datev::Ask::NoQuestion : datev::Ask::Question;
    if (!datev::loadChart(books_.ui(), accounts, chart, ask)) return false;
    accountsFromAssistant_ = true;
    books_.noteChanged();
    return true;
}

bool FirstStepsController::loadCompleteAccountsSetup() {
    return loadSetupChart(datev::Chart::Complete);
}
bool FirstStepsController::loadDefaultAccountsSetup() {
    return loadSetupChart(datev::Chart::Standard);
}
bool FirstStepsController::loadMinimalAccountsSetup() {
    return loadSetupChart(datev::Chart::Minimal);
}

bool FirstStepsController::closeSheetAccount() {
    if (sheet_ != Sheet::Account) return false;
    bool loaded = true;
    switch (chart_) {
        case ChartChoice::Keep:
            break;
        case ChartChoice::Complete:
            loaded = loadCompleteAccountsSetup();
            break;
        case ChartChoice::Standard:
            loaded = loadDefaultAccountsSetup();
            break;
        case ChartChoice::Minimal:
            loaded = loadMinimalAccountsSetup();
            break;
    }
    if (!loaded) return false;  // the chart said why, or the person kept the accounts
    openSheetEntry();
    return true;
}

void FirstStepsController::cancelSheetAccount() {
    if (sheet_ != Sheet::Account) return;
    sheet_ = Sheet::None;
    assistantShown_ = false;
}

// ---- first entry --------------------------------------------------------------------------

void FirstStepsController::openSheetEntry() {
    const QDate today = books_.now().date();
    entry_.yearName = QString::number(today.year());
    const QStringList& periods = YearsController::periodNames();
    entry_.periodName = periods.value(today.month() - 1, periods.front());
    sheet_ = Sheet::Entry;
}

bool FirstStepsController::closeSheetEntry() {
    if (sheet_ != Sheet::Entry) return false;
    const QString yearName = entry_.yearName.trimmed();
    const QString periodName = entry_.periodName.trimmed();
    if (yearName.size() < 2) {
        fail(kNoYearName);
        return false;
    }
    if (periodName.size() < 2) {
        fail(kNoPeriodName);
        return false;
    }
    if (years_.sheetIsOpen()) {
        fail(kSheetOpen);
        return false;
    }
    finishAssi();
    sheet_ = Sheet::None;

    Selection& selection = books_.selection();
    RecordList& years = books_.database().years;
    int yearIndex = -1;
    for (size_t i = 0; i < years.size() && yearIndex < 0; ++i)
        if (years[i] && years[i]->text(keys::dateValue) == yearName)
            yearIndex = static_cast<int>(i);
    if (yearIndex >= 0) {
        selection.setYearIndex(yearIndex);
        selection.refresh();
    } else {
        years_.addYear();
        years_.setYearName(yearName);
        years_.closeYear();
    }
    RecordPtr year = selection.selectedYear();
    if (!year) return false;

    RecordList& lists = year->thelists();
    int listIndex = -1;
    for (size_t i = 0; i < lists.size() && listIndex < 0; ++i)
        if (lists[i] && lists[i]->text(keys::title) == periodName) listIndex = static_cast<int>(i);
    if (listIndex >= 0) {
        selection.setStatementIndex(listIndex);
        selection.refresh();
    } else {
        years_.addList();
        years_.setListTitle(periodName);
        years_.closeList();
    }
    return selection.selectedStatement() != nullptr;
}

void FirstStepsController::cancelSheetEntry() {
    if (sheet_ != Sheet::Entry) return;
    finishAssi();
    sheet_ = Sheet::None;
}

void FirstStepsController::finishAssi() {
    Settings& settings = books_.settings();
    settings.setBool(prefs::isSetupDone, true);
    settings.setInt(prefs::jaImage, kGuideSetupDone);
    settings.sync();
    assistantShown_ = false;
}

void FirstStepsController::fail(const QString& message) {
    books_.ui().beep();
    books_.ui().alert(AlertStyle::Critical, AlertWords::kErrorTitle, message,
                      {AlertWords::kOkButton});
}

}  // namespace quandor
