#include "ui/toolbar_items.h"

#include <array>

namespace quandor::ui {

namespace {

constexpr std::array<ToolbarItemSpec, 12> kItems{{
    {u"NewEntryItemIdentifier", u"Neue Abrechnung",
     u"Hier klicken um einen neuen Abrechnungszeitraum anzulegen", u"tabTemplate",
     ToolbarAction::List},
    {u"JahrItemIdentifier", u"Neues Jahr", u"Hier klicken um einen neues Jahr anzulegen",
     u"yearTemplate", ToolbarAction::Year},
    {u"PostenItemIdentifier", u"Neuer Posten", u"Hier klicken um einen neuen Posten anzulegen",
     u"toolbarNewTemplate", ToolbarAction::AddItem},
    {u"DeleteItemIdentifier", u"Posten löschen", u"Hier klicken um ausgewählten Posten zu löschen",
     u"toolbarDeleteTemplate", ToolbarAction::DeleteItem},
    {u"RechnerItemIdentifier", u"Rechner", u"Hier klicken um den Taschnrechner zu öffnen",
     u"calculatorTemplate", ToolbarAction::Calculator},
    {u"PrintItemIdentifier", u"Drucken",
     u"Hier klicken um Übersicht Abrechnungszeitraum zu drucken", u"printTemplate",
     ToolbarAction::Print},
    {u"ExportItemIdentifier", u"Exportieren",
     u"Hier klicken um Übersicht Abrechnungszeitraum zu exportieren", u"exportTemplate",
     ToolbarAction::Export},
    {u"JournalItemIdentifier", u"Berichte",
     u"Hier klicken um Berichte zu erstellen, drucken und exportieren", u"statisticsTemplate",
     ToolbarAction::Journal},
    {u"SearchItemIdentifier", u"Suche", u"Hier klicken um nach Posten zu suchen", u"showTemplate",
     ToolbarAction::Search},
    {u"VoranmeldungItemIdentifier", u"Voranmeldung",
     u"Hier klicken um Voranmeldung vorzubereiten und zu verwalten", u"taxTemplate",
     ToolbarAction::Voranmeldung},
    {u"KassenbuchItemIdentifier", u"Kassenbuch",
     u"Hier klicken um das Kassenbuch einzusehen und auszudrucken", u"cashTemplate",
     ToolbarAction::Kassenbuch},
    {u"UebersichtItemIdentifier", u"Übersicht", u"Hier klicken um die Jahresübersicht einzusehen",
     u"overviewTemplate", ToolbarAction::Uebersicht},
}};

QString str(const char16_t* s) {
    return QString::fromUtf16(s);
}

}  // namespace

std::span<const ToolbarItemSpec> toolbarItems() {
    return kItems;
}

const ToolbarItemSpec* findToolbarItem(QStringView identifier) {
    for (const auto& item : kItems) {
        if (identifier == QStringView(item.identifier)) return &item;
    }
    return nullptr;
}

bool isLayoutIdentifier(QStringView identifier) {
    return identifier == QStringView(kSeparatorIdentifier) ||
           identifier == QStringView(kSpaceIdentifier) ||
           identifier == QStringView(kFlexibleSpaceIdentifier);
}

QStringList defaultToolbarIdentifiers() {
    return {str(u"RechnerItemIdentifier"),
            str(kSpaceIdentifier),
            str(u"JahrItemIdentifier"),
            str(u"NewEntryItemIdentifier"),
            str(kFlexibleSpaceIdentifier),
            str(u"PostenItemIdentifier"),
            str(u"DeleteItemIdentifier"),
            str(kFlexibleSpaceIdentifier),
            str(kSpaceIdentifier),
            str(u"SearchItemIdentifier"),
            str(u"VoranmeldungItemIdentifier"),
            str(kSpaceIdentifier),
            str(u"UebersichtItemIdentifier"),
            str(u"KassenbuchItemIdentifier"),
            str(u"JournalItemIdentifier")};
}

QStringList paletteIdentifiers() {
    QStringList ids;
    for (const auto& item : kItems) {
        if (item.action == ToolbarAction::Print || item.action == ToolbarAction::Export) continue;
        ids << str(item.identifier);
    }
    ids << str(kSeparatorIdentifier) << str(kSpaceIdentifier) << str(kFlexibleSpaceIdentifier);
    return ids;
}

QStringList sanitizedToolbarIdentifiers(const QStringList& stored, bool storedPresent) {
    if (!storedPresent) return defaultToolbarIdentifiers();
    const QStringList offered = paletteIdentifiers();
    QStringList result;
    for (const QString& id : stored) {
        if (!offered.contains(id)) continue;
        if (!isLayoutIdentifier(id) && result.contains(id)) continue;
        result << id;
    }
    return result;
}

}  // namespace quandor::ui

namespace quandor::ui {

QStringList calculatorCandidates() {
    return {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
            QStringLiteral("galculator"), QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc")};
}

QString firstCalculator(const std::function<QString(const QString&)>& findExecutable) {
    for (const QString& name : calculatorCandidates()) {
        const QString path = findExecutable(name);
        if (!path.isEmpty()) return path;
    }
    return {};
}

QString joinToolbarIdentifiers(const QStringList& identifiers) {
    return identifiers.join(QLatin1Char(','));
}

QStringList splitToolbarIdentifiers(const QString& stored) {
    QStringList ids;
    for (const QString& part : stored.split(QLatin1Char(','), Qt::SkipEmptyParts))
        ids << part.trimmed();
    return ids;
}

}  // namespace quandor::ui
