// The toolbar vocabulary: items, the set of a new installation, the palette, the stored text.

#include "ui/toolbar_items.h"

#include <gtest/gtest.h>

#include <QSet>

using namespace quandor::ui;

TEST(ToolbarTable, ItemsPressDifferentButtonsAndThePaletteHoldsTheDefaults) {
    // Every item presses a different button; layout entries are no items.
    QSet<int> actions;
    QSet<QString> ids;
    for (const auto& item : toolbarItems()) {
        actions.insert(int(item.action));
        ids.insert(QString::fromUtf16(item.identifier));
    }
    EXPECT_EQ(actions.size(), qsizetype(toolbarItems().size()));
    EXPECT_EQ(ids.size(), qsizetype(toolbarItems().size()));
    EXPECT_EQ(findToolbarItem(u"SpaceItemIdentifier"), nullptr);
    EXPECT_EQ(findToolbarItem(u"Unbekannt"), nullptr);

    // Drucken and Exportieren are hidden items: neither offered nor set by default.
    const QStringList palette = paletteIdentifiers();
    for (const QStringList& set : {palette, defaultToolbarIdentifiers()}) {
        EXPECT_FALSE(set.contains("PrintItemIdentifier"));
        EXPECT_FALSE(set.contains("ExportItemIdentifier"));
    }
    for (const char* layout :
         {"SeparatorItemIdentifier", "SpaceItemIdentifier", "FlexibleSpaceItemIdentifier"})
        EXPECT_TRUE(palette.contains(layout)) << layout;
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
