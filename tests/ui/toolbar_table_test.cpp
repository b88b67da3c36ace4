// The toolbar vocabulary: items, the set of a new installation, the palette.

#include "ui/toolbar_items.h"

#include <gtest/gtest.h>

#include <QSet>

using namespace quandor::ui;

namespace {

QStringList programItems(const QStringList& ids) {
    QStringList items;
    for (const QString& id : ids)
        if (!isLayoutIdentifier(id)) items << id;
    return items;
}

}  // namespace

TEST(ToolbarTable, TwelveItemsWithTheirTextsAndIcons) {
    ASSERT_EQ(toolbarItems().size(), 12u);
    const ToolbarItemSpec* rechner = findToolbarItem(u"RechnerItemIdentifier");
    ASSERT_NE(rechner, nullptr);
    EXPECT_EQ(QString::fromUtf16(rechner->label), "Rechner");
    EXPECT_EQ(QString::fromUtf16(rechner->toolTip), "Hier klicken um den Taschnrechner zu öffnen");
    EXPECT_EQ(QString::fromUtf16(rechner->iconName), "calculatorTemplate");
    EXPECT_EQ(rechner->action, ToolbarAction::Calculator);

    const ToolbarItemSpec* jahr = findToolbarItem(u"JahrItemIdentifier");
    ASSERT_NE(jahr, nullptr);
    EXPECT_EQ(QString::fromUtf16(jahr->toolTip), "Hier klicken um einen neues Jahr anzulegen");
    EXPECT_EQ(jahr->action, ToolbarAction::Year);

    const ToolbarItemSpec* uebersicht = findToolbarItem(u"UebersichtItemIdentifier");
    ASSERT_NE(uebersicht, nullptr);
    EXPECT_EQ(QString::fromUtf16(uebersicht->label), "Übersicht");
    EXPECT_EQ(QString::fromUtf16(uebersicht->iconName), "overviewTemplate");

    // Every item presses a different button.
    QSet<int> actions;
    QSet<QString> ids;
    for (const auto& item : toolbarItems()) {
        actions.insert(int(item.action));
        ids.insert(QString::fromUtf16(item.identifier));
    }
    EXPECT_EQ(actions.size(), 12);
    EXPECT_EQ(ids.size(), 12);
    EXPECT_EQ(findToolbarItem(u"SpaceItemIdentifier"), nullptr);
    EXPECT_EQ(findToolbarItem(u"Unbekannt"), nullptr);
}

TEST(ToolbarTable, NewInstallationShowsFifteenEntriesInOrder) {
    const QStringList expected{
        "RechnerItemIdentifier",    "SpaceItemIdentifier",         "JahrItemIdentifier",
        "NewEntryItemIdentifier",   "FlexibleSpaceItemIdentifier", "PostenItemIdentifier",
        "DeleteItemIdentifier",     "FlexibleSpaceItemIdentifier", "SpaceItemIdentifier",
        "SearchItemIdentifier",     "VoranmeldungItemIdentifier",  "SpaceItemIdentifier",
        "UebersichtItemIdentifier", "KassenbuchItemIdentifier",    "JournalItemIdentifier"};
    EXPECT_EQ(defaultToolbarIdentifiers(), expected);
    EXPECT_FALSE(defaultToolbarIdentifiers().contains("PrintItemIdentifier"));
    EXPECT_FALSE(defaultToolbarIdentifiers().contains("ExportItemIdentifier"));
}

TEST(ToolbarTable, PaletteOffersTenItemsAndThreeLayoutEntries) {
    const QStringList palette = paletteIdentifiers();
    EXPECT_EQ(palette.size(), 13);
    EXPECT_EQ(programItems(palette).size(), 10);
    EXPECT_FALSE(palette.contains("PrintItemIdentifier"));
    EXPECT_FALSE(palette.contains("ExportItemIdentifier"));
    EXPECT_TRUE(palette.contains("SeparatorItemIdentifier"));
    EXPECT_TRUE(palette.contains("SpaceItemIdentifier"));
    EXPECT_TRUE(palette.contains("FlexibleSpaceItemIdentifier"));
    // The default set uses only what the palette offers.
    for (const QString& id : defaultToolbarIdentifiers())
        EXPECT_TRUE(palette.contains(id)) << id.toStdString();
}

TEST(ToolbarTable, StoredToolbarIsCleanedBeforeUse) {
    // Nothing stored: the default set.
    EXPECT_EQ(sanitizedToolbarIdentifiers({}, false), defaultToolbarIdentifiers());
    // Stored empty: the person removed everything, and it stays so.
    EXPECT_TRUE(sanitizedToolbarIdentifiers({}, true).isEmpty());
    // Unknown names, the hidden items and repeated program items go; layout entries may repeat.
    const QStringList stored{"SuchItemIdentifier",   "PrintItemIdentifier", "JahrItemIdentifier",
                             "SpaceItemIdentifier",  "SpaceItemIdentifier", "JahrItemIdentifier",
                             "ExportItemIdentifier", "SearchItemIdentifier"};
    const QStringList expected{"JahrItemIdentifier", "SpaceItemIdentifier", "SpaceItemIdentifier",
                               "SearchItemIdentifier"};
    EXPECT_EQ(sanitizedToolbarIdentifiers(stored, true), expected);
}

TEST(ToolbarTable, StoredTextRoundTrips) {
    const QStringList ids = defaultToolbarIdentifiers();
    EXPECT_EQ(splitToolbarIdentifiers(joinToolbarIdentifiers(ids)), ids);
    EXPECT_TRUE(splitToolbarIdentifiers("").isEmpty());
    EXPECT_EQ(splitToolbarIdentifiers(" JahrItemIdentifier ,,SpaceItemIdentifier"),
              (QStringList{"JahrItemIdentifier", "SpaceItemIdentifier"}));
}

TEST(ToolbarTable, CalculatorIsTheFirstCandidateOnPath) {
    QStringList asked;
    auto onPath = [&](const QStringList& installed) {
        return [&asked, installed](const QString& name) {
            asked << name;
            return installed.contains(name) ? "/usr/bin/" + name : QString();
        };
    };
    EXPECT_EQ(firstCalculator(onPath({"xcalc", "kcalc"})), "/usr/bin/kcalc");
    EXPECT_EQ(asked, (QStringList{"gnome-calculator", "kcalc"}));
    EXPECT_EQ(firstCalculator(onPath({"gnome-calculator", "xcalc"})), "/usr/bin/gnome-calculator");
    EXPECT_TRUE(firstCalculator(onPath({})).isEmpty());
}
