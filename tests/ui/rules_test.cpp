// Guide picture, sum colour and sum, money text and the first-window defaults.

#include "core/settings.h"
#include "core/settings_keys.h"
#include "sample_database.h"
#include "ui/icons.h"
#include "ui/main_window_rules.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QTemporaryDir>

#include <cmath>
#include <limits>

using namespace quandor;
using namespace quandor::ui;

struct GuideCase {
    bool done;
    int64_t jaImage;
    const char* expected;
};

class GuidePicture : public ::testing::TestWithParam<GuideCase> {};

TEST_P(GuidePicture, FollowsTheStep) {
    const GuideCase& c = GetParam();
    EXPECT_EQ(guideImageName(c.done, c.jaImage), QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Steps, GuidePicture,
                         ::testing::Values(GuideCase{false, 0, "ja1"}, GuideCase{false, 1, "ja1"},
                                           GuideCase{false, 2, "ja2"}, GuideCase{false, 3, "ja3"},
                                           GuideCase{false, 4, "ja4"}, GuideCase{false, 5, ""},
                                           GuideCase{false, 6, "ja1"}, GuideCase{false, -3, "ja1"},
                                           GuideCase{false, 1000000000000, "ja1"},
                                           GuideCase{true, 2, ""}, GuideCase{true, 0, ""}),
                         [](const auto& info) {
                             return std::string(info.param.done ? "done_" : "open_") +
                                    (info.param.jaImage < 0
                                         ? "minus" + std::to_string(-info.param.jaImage)
                                         : std::to_string(info.param.jaImage));
                         });

TEST(GuidePicture, EveryNamedPictureIsDrawn) {
    for (const char* name : {"ja1", "ja2", "ja3", "ja4"}) {
        const QImage image = guideImage(QString::fromLatin1(name));
        EXPECT_FALSE(image.isNull()) << name;
        EXPECT_FALSE(guideText(QString::fromLatin1(name)).headline.isEmpty());
    }
    EXPECT_TRUE(guideImage("ja5").isNull());
}

TEST(SumColour, SignOfTheWholeNumberValue) {
    EXPECT_EQ(sumColor(0.0f), kSumPositiveColor);
    EXPECT_EQ(sumColor(-0.99f), kSumPositiveColor);  // whole-number value 0
    EXPECT_EQ(sumColor(-1.0f), kSumNegativeColor);
    EXPECT_EQ(sumColor(std::numeric_limits<float>::quiet_NaN()), kSumPositiveColor);
    EXPECT_EQ(sumColor(-std::numeric_limits<float>::infinity()), kSumNegativeColor);
}

TEST(SumOfListedItems, AddsFinalAmountInSinglePrecisionAndListOrder) {
    const Database db = test::sampleDatabase();
    const RecordList& items = db.years[1]->thelists()[0]->items();
    EXPECT_EQ(finalAmountSum(items), 1190.0f + -23.80f + -89.0f);
    const std::vector<uint32_t> rows{1, 2};
    EXPECT_EQ(finalAmountSum(items, &rows), -23.80f + -89.0f);
    // Rows out of range and empty entries are skipped.
    RecordList withHole = items;
    withHole.push_back(nullptr);
    const std::vector<uint32_t> odd{0, 3, 99};
    EXPECT_EQ(finalAmountSum(withHole, &odd), 1190.0f);
}

TEST(MoneyText, GermanSeparators) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(moneyText(1234.5f), "1.234,50");
    EXPECT_EQ(moneyText(-0.5f), "-0,50");
    EXPECT_EQ(moneyText(-1234567.0f), "-1.234.567,00");
    EXPECT_EQ(moneyText(-0.001f), "0,00");
}

TEST(FirstWindowDefaults, WrittenOnceAndAgainWhenTheFlagIsCleared) {
    QTemporaryDir dir;
    Settings settings(dir.filePath("Quandor.conf"));
    EXPECT_TRUE(applyFirstWindowDefaults(settings));
    settings.setFloat(prefs::prefs1Rate, 16.0f);
    settings.setText(prefs::prefs1RateTitle, "Normal");
    EXPECT_FALSE(applyFirstWindowDefaults(settings));
    EXPECT_EQ(settings.getFloat(prefs::prefs1Rate), 16.0f);

    settings.remove(prefs::firstStartEver);
    EXPECT_TRUE(applyFirstWindowDefaults(settings));
    EXPECT_EQ(settings.getFloat(prefs::prefs1Rate), 19.0f);
    EXPECT_EQ(settings.getText(prefs::prefs1RateTitle), "Regelsteuersatz");
}
