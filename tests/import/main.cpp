// The imports speak German: their texts format numbers as the person's (German) locale does.

#include <gtest/gtest.h>

#include <QLocale>

int main(int argc, char** argv) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
