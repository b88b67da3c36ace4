#include "core/datev_load.h"

namespace quandor::datev {

namespace {

struct Question {
    const char16_t* title;
    const char16_t* button;
    const char16_t* message;
};

Question questionFor(Chart chart) {
    switch (chart) {
        case Chart::Complete:
            return {
                u"Kompletten DATEV Kontenrahmen (SK04) laden", u"Komplettes Set",
                u"Du bist dabei etwaige vorhandene Konten mit dem kompletten DATEV Kontenrahmen "
                u"(SK04 | 2013) zu ersetzen. Diese Aktion kann nicht rückgängig gemacht werden. "
                u"Bestehende Zuordnung in vorhandenen Abrechnungen bleiben davon unberührt. Bitte "
                u"denke daran, dass diese Aktion auswirkung auf die Berichte (Gewinnermittlung) "
                u"hat "
                u"und deswegen NUR erfolgen sollte, wenn alle benötigten Berichte mit dem alten "
                u"Kontenrahmen bereits erstellt wurden. Möchtest du wirklich das komplette Set "
                u"laden?"};
        case Chart::Standard:
            return {
                u"Standard DATEV Kontenrahmen (nach SK04) laden", u"Standard Set",
                u"Du bist dabei etwaige vorhandene Konten mit dem Standard DATEV Kontenrahmen "
                u"(nach SK04 | 2013) zu ersetzen. Diese Aktion kann nicht rückgängig gemacht "
                u"werden. "
                u"Bestehende Zuordnung in vorhandenen Abrechnungen bleiben davon unberührt. Bitte "
                u"denke daran, dass diese Aktion auswirkung auf die Berichte (Gewinnermittlung) "
                u"hat "
                u"und deswegen nur erfolgen sollte, wenn alle benötigten Berichte mit dem alten "
                u"Kontenrahmen bereits erstellt wurden. Möchtest du wirklich das Standard Set "
                u"laden?"};
        case Chart::Minimal:
            break;
    }
    return {
        u"Minimal Kontenrahmen laden", u"Minimal Set",
        u"Du bist dabei etwaige vorhandene Konten mit dem Minimal Kontenrahmen zu ersetzen. Diese "
        u"Aktion kann nicht rückgängig gemacht werden. Bestehende Zuordnung in vorhandenen "
        u"Abrechnungen bleiben davon unberührt. Bitte denke daran, dass diese Aktion auswirkung "
        u"auf "
        u"die Berichte (Gewinnermittlung) hat und deswegen nur erfolgen sollte, wenn alle "
        u"benötigten Berichte mit dem alten Kontenrahmen bereits erstellt wurden. Möchtest du "
        u"wirklich das Minimal Set laden?"};
}

}  // namespace

bool loadChart(UiPort& ui, RecordList& accounts, Chart chart, Ask ask) {
    if (ask == Ask::Question) {
        const Question q = questionFor(chart);
        const int answer = ui.alert(AlertStyle::Warning, QString::fromUtf16(q.title),
                                    QString::fromUtf16(q.message),
                                    {QString::fromUtf16(q.button), QStringLiteral("Abbrechen")});
        if (answer != 0) return false;
    }
    RecordList chartAccounts = loadShippedChart(chart);
    if (chartAccounts.empty()) {
        // Never trade the person's accounts for an empty list.
        ui.alert(
            AlertStyle::Critical, QStringLiteral("Fehler!"),
            QStringLiteral("Der Kontenrahmen konnte nicht gelesen werden. Deine Konten bleiben "
                           "unverändert."),
            {QStringLiteral("OK")});
        return false;
    }
    accounts = std::move(chartAccounts);
    return true;
}

}  // namespace quandor::datev
