#pragma once
// Every key of the settings store, as a named constant, so that a typo cannot
// create a new key silently. Types and defaults as the program uses them:
// reading a key that was never written gives false, 0, 0.0 or empty text; a
// default named here is written once by the step given in brackets
// (first start: QuandorAppDelegate::firstStart; first window: the main
// window's one-time step guarded by "firstStartEver"; upgrade: the upgrade
// steps of the start-up sequence).

#include <QStringView>

namespace quandor::prefs {

// ---- Values the person chooses in the preference window ------------------
inline constexpr QStringView prefsCompany = u"prefsCompany";                // text
inline constexpr QStringView prefsTaxID = u"prefsTaxID";                    // text
inline constexpr QStringView prefsELSTERID = u"prefsELSTERID";              // text
inline constexpr QStringView prefsCurrency = u"prefsCurrency";              // int, 0 (first window)
inline constexpr QStringView prefsUseTaxesGlobal = u"prefsUseTaxesGlobal";  // int, 1 (first window)
inline constexpr QStringView prefs1Rate = u"prefs1Rate";  // float, 19 (first window)
inline constexpr QStringView prefs2Rate = u"prefs2Rate";  // float, 7 (first window)
inline constexpr QStringView prefs3Rate = u"prefs3Rate";  // float, none (reads 0)
inline constexpr QStringView prefs1RateTitle =
    u"prefs1RateTitle";  // text, "Regelsteuersatz" (first window)
inline constexpr QStringView prefs2RateTitle =
    u"prefs2RateTitle";  // text, "Ermäßigter Steuersatz" (first window)
inline constexpr QStringView prefsPrintBorder = u"prefsPrintBorder";      // bool
inline constexpr QStringView prefsPrintCurrency = u"prefsPrintCurrency";  // bool
inline constexpr QStringView prefsPrintUnshortened =
    u"prefsPrintUnshortened";  // bool, true (upgrade 3.0)
inline constexpr QStringView prefsExportPrintWithList =
    u"prefsExportPrintWithList";                                        // bool, true (first start)
inline constexpr QStringView prefsTabSortOrder = u"prefsTabSortOrder";  // int, 0 (upgrade 2.0.4)
inline constexpr QStringView prefsMakeBackup = u"prefsMakeBackup";      // bool
inline constexpr QStringView useCustomLocation = u"useCustomLocation";  // bool
inline constexpr QStringView customLocationPath = u"customLocationPath";  // path
inline constexpr QStringView prefsDocPath = u"prefsDocPath";              // path (first start)
inline constexpr QStringView prefsBackupPath = u"prefsBackupPath";        // path (first start)
inline constexpr QStringView prefsUseMultipleAccounts = u"prefsUseMultipleAccounts";  // bool
inline constexpr QStringView prefsAlwaysShowItemHelpDawer =
    u"prefsAlwaysShowItemHelpDawer";  // bool, true (first start)
inline constexpr QStringView prefsAlwaysShowTabHelpDawer =
    u"prefsAlwaysShowTabHelpDawer";  // bool, true (first start)
inline constexpr QStringView prefsAlwaysShowYearHelpDawer =
    u"prefsAlwaysShowYearHelpDawer";  // bool, true (first start)
inline constexpr QStringView prefsAlwaysShowVoranmeldungHelpDawer =
    u"prefsAlwaysShowVoranmeldungHelpDawer";  // bool, true (first start)
inline constexpr QStringView prefsAlwaysShowJournalHelpDawer =
    u"prefsAlwaysShowJournalHelpDawer";  // bool, true (first start)
inline constexpr QStringView prefsAlwaysShowPrefsHelpDawer =
    u"prefsAlwaysShowPrefsHelpDawer";  // bool, true (first start)
inline constexpr QStringView prefsAlwaysShowDateDawer = u"prefsAlwaysShowDateDawer";        // bool
inline constexpr QStringView prefsAlwaysShowWelcomeSheet = u"prefsAlwaysShowWelcomeSheet";  // bool
inline constexpr QStringView prefsAlwaysRememberLastSettings =
    u"prefsAlwaysRememberLastSettings";                                     // bool
inline constexpr QStringView prefsRememberDate = u"prefsRememberDate";      // bool
inline constexpr QStringView setTaxAutomatically = u"setTaxAutomatically";  // bool
inline constexpr QStringView setUmsatzsteuerAutomatically =
    u"setUmsatzsteuerAutomatically";                                   // bool
inline constexpr QStringView loadInPreviewApp = u"loadInPreview.app";  // bool

// ---- Remembered choices and window state ----------------------------------
inline constexpr QStringView yearControllerSelectionIndex = u"yearControllerSelectionIndex";  // int
inline constexpr QStringView listControllerSelectionIndex = u"listControllerSelectionIndex";  // int
inline constexpr QStringView cashBookControllerSelectionIndex =
    u"cashBookControllerSelectionIndex";  // int
inline constexpr QStringView cashBookItemsControllerSelectionIndex =
    u"cashBookItemsControllerSelectionIndex";  // int
inline constexpr QStringView multipleAccountsControllerIndex =
    u"multipleAccountsControllerIndex";                                 // int
inline constexpr QStringView defaultDataFolder = u"defaultDataFolder";  // path, every resolution
inline constexpr QStringView defaultDataPath = u"defaultDataPath";      // path, every resolution
inline constexpr QStringView backupCount = u"backupCount";              // int, 1..6, 0 = none yet
inline constexpr QStringView backupAlertInt = u"backupAlertInt";        // int, saves so far
inline constexpr QStringView itemRememberGroup = u"itemRememberGroup";  // text
inline constexpr QStringView itemRememberAccount = u"itemRememberAccount";              // text
inline constexpr QStringView itemRememberAccountNumber = u"itemRememberAccountNumber";  // text
inline constexpr QStringView itemRememberTaxBool = u"itemRememberTaxBool";              // bool
inline constexpr QStringView itemRememberTaxTag = u"itemRememberTaxTag";                // int
inline constexpr QStringView itemRememberKind = u"itemRememberKind";                    // int
inline constexpr QStringView rememberDate = u"rememberDate";                            // date
inline constexpr QStringView geduld = u"geduld";                                        // bool
inline constexpr QStringView prefsSelectedExportTab =
    u"prefsSelectedExportTab";  // int, 2 (first start)
inline constexpr QStringView prefsSelectedExportJournal =
    u"prefsSelectedExportJournal";  // int, 2 (first start)
inline constexpr QStringView prefsSelectedYearTabTag = u"prefsSelectedYearTabTag";            // int
inline constexpr QStringView prefsSelectedTabTabTag = u"prefsSelectedTabTabTag";              // int
inline constexpr QStringView prefsSelectedItemTabTag = u"prefsSelectedItemTabTag";            // int
inline constexpr QStringView prefsSelectedJournalTabTag = u"prefsSelectedJournalTabTag";      // int
inline constexpr QStringView selectedVoranmeldungTabIndex = u"selectedVoranmeldungTabIndex";  // int
inline constexpr QStringView selectedJournalTag = u"selectedJournalTag";                      // int
inline constexpr QStringView calculatorHelpIndex = u"calculatorHelpIndex";                    // int
inline constexpr QStringView selectedSplitIndex = u"selectedSplitIndex";                      // int
inline constexpr QStringView customSplitValue = u"customSplitValue";                    // text
inline constexpr QStringView selectedAFATag = u"selectedAFATag";                        // int
inline constexpr QStringView allowanceCommentField = u"allowanceCommentField";          // text
inline constexpr QStringView allowanceCompensationBOOL = u"allowanceCompensationBOOL";  // bool
inline constexpr QStringView csv1Check = u"csv1Check";                                  // bool
inline constexpr QStringView csv2Check = u"csv2Check";                                  // bool
inline constexpr QStringView csv3Check = u"csv3Check";                                  // bool
inline constexpr QStringView csv4Check = u"csv4Check";                                  // bool
inline constexpr QStringView importCSVPath = u"importCSVPath";                          // path
inline constexpr QStringView importFilePath = u"importFilePath";                        // path
inline constexpr QStringView importTaxBool = u"importTaxBool";                          // bool
inline constexpr QStringView selectedImportKindTag = u"selectedImportKindTag";          // int
inline constexpr QStringView selectedImportDateTag = u"selectedImportDateTag";          // int
inline constexpr QStringView selectedTagImportTax = u"selectedTagImportTax";            // int
inline constexpr QStringView selectedFennickImportDateTag = u"selectedFennickImportDateTag";  // int
inline constexpr QStringView selectedFennickImportAccountValue =
    u"selectedFennickImportAccountValue";  // text
inline constexpr QStringView selectedFennickImportCategoryValue =
    u"selectedFennickImportCategoryValue";                                      // text
inline constexpr QStringView isImportButtonEnabled = u"isImportButtonEnabled";  // bool

// ---- One-time flags (false until the step has run once) -------------------
inline constexpr QStringView fiveStartEver = u"5StartEver";               // bool (first start)
inline constexpr QStringView firstStartEver = u"firstStartEver";          // bool (first window)
inline constexpr QStringView veryFirstAlertDone = u"veryFirstAlertDone";  // bool (disclaimer)
inline constexpr QStringView update_1_to_2 = u"update_1_to_2";            // bool
inline constexpr QStringView update_2_0_3_to_2_0_4 = u"update_2.0.3_to_2.0.4";          // bool
inline constexpr QStringView update_to_3_0 = u"update_to_3.0";                          // bool
inline constexpr QStringView isSetupDone = u"isSetupDone";                              // bool
inline constexpr QStringView firstYearSet = u"firstYearSet";                            // bool
inline constexpr QStringView firstListSet = u"firstListSet";                            // bool
inline constexpr QStringView firstItemSet = u"firstItemSet";                            // bool
inline constexpr QStringView firstStepsDone = u"firstStepsDone";                        // bool
inline constexpr QStringView jaImage = u"jaImage";                                      // int
inline constexpr QStringView winstonHintShown = u"1winston";                            // bool
inline constexpr QStringView isFirstAllowanceSetupDone = u"isFirstAllowanceSetupDone";  // bool
inline constexpr QStringView firstDropBOOL = u"firstDropBOOL";                          // bool
inline constexpr QStringView firstCSVBOOL = u"firstCSVBOOL";                            // bool

// ---- Working values passed between windows (no meaning between runs) ------
inline constexpr QStringView printFooter = u"printFooter";                                // text
inline constexpr QStringView prefsVorzeichen = u"prefsVorzeichen";                        // text
inline constexpr QStringView allowCashBook = u"allowCashBook";                            // bool
inline constexpr QStringView journalButtonsHidden = u"journalButtonsHidden";              // bool
inline constexpr QStringView showPrevieJournalRTFAction = u"showPrevieJournalRTFAction";  // bool
inline constexpr QStringView isPrintActionJournalRTFAction =
    u"isPrintActionJournalRTFAction";                                                 // bool
inline constexpr QStringView doExportJornalAction = u"doExportJornalAction";          // bool
inline constexpr QStringView isNotSteuerberaterAction = u"isNotSteuerberaterAction";  // bool
inline constexpr QStringView journalExportTitleString = u"journalExportTitleString";  // text
// The eleven statement totals (float).
inline constexpr QStringView tabSteuerfreieUmsaetzeField = u"tab-steuerfreieUmsaetzeField";
inline constexpr QStringView tabTax1SumField = u"tab-tax1SumField";
inline constexpr QStringView tabTax2SumField = u"tab-tax2SumField";
inline constexpr QStringView tabTax3SumField = u"tab-tax3SumField";
inline constexpr QStringView tabTax1AmountField = u"tab-tax1AmountField";
inline constexpr QStringView tabTax2AmountField = u"tab-tax2AmountField";
inline constexpr QStringView tabTax3AmountField = u"tab-tax3AmountField";
inline constexpr QStringView tabNichtSteuerbarField = u"tab-nichtSteuerbarField";
inline constexpr QStringView tabAbziehbareBetraegeField = u"tab-abziehbareBetraegeField";
inline constexpr QStringView tabAbziehbareBetraegeSteuerAmountField =
    u"tab-abziehbareBetraegeSteuerAmountField";
inline constexpr QStringView tabSaldoField = u"tab-saldoField";
// Cash-book sheet values.
inline constexpr QStringView prefsAddCashBookItemTitle = u"prefsAddCashBookItemTitle";  // text
inline constexpr QStringView prefsAddCashBookItemBeleg = u"prefsAddCashBookItemBeleg";  // text
inline constexpr QStringView prefsKasseneinlageSumme = u"prefsKasseneinlageSumme";      // text
inline constexpr QStringView prefsKasseneinlageBezeichnung =
    u"prefsKasseneinlageBezeichnung";                                                 // text
inline constexpr QStringView prefsUebertragKassenbuch = u"prefsUebertragKassenbuch";  // bool
inline constexpr QStringView prefsUebertragKassenbuchSumme =
    u"prefsUebertragKassenbuchSumme";  // text
inline constexpr QStringView prefsUebertragKassenbuchBezeichnung =
    u"prefsUebertragKassenbuchBezeichnung";  // text

// ---- The DATEV booking-batch export ("Datev" page) -------------------------
inline constexpr QStringView prefsDatevBeraterNummer = u"prefsDatevBeraterNummer";      // text
inline constexpr QStringView prefsDatevMandantenNummer = u"prefsDatevMandantenNummer";  // text
inline constexpr QStringView prefsDatevKontoBank = u"prefsDatevKontoBank";  // text, empty = "1800"
inline constexpr QStringView prefsDatevKontoKasse =
    u"prefsDatevKontoKasse";  // text, empty = "1600"

// ---- Program state kept in the store ---------------------------------------
inline constexpr QStringView isSaveAllowed =
    u"isSaveAllowed";  // bool, false at every start until a load
inline constexpr QStringView allowWindow = u"allowWindow";  // bool

}  // namespace quandor::prefs
