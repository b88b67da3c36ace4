#include "core/settings.h"
#include "core/settings_keys.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/files.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cfloat>
#include <cstring>

using namespace quandor;
using test::readAll;
using test::writeAll;

namespace {

// QSettings shares one cache per file inside a process; a copy under a new
// name is parsed afresh, which is what the next program start sees.
QString freshCopy(const QString& path, const QString& name) {
    const QString copy = QFileInfo(path).absolutePath() + u'/' + name;
    QFile::remove(copy);
    EXPECT_TRUE(QFile::copy(path, copy));
    return copy;
}

uint32_t bits(float f) {
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

}  // namespace

TEST(Settings, NeverWrittenKeysReadEmptyAndTypedValuesSurviveARestart) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/Quandor.conf"));
    const QDateTime when =
        QDateTime::fromString(QStringLiteral("2024-02-29T23:59:58.123Z"), Qt::ISODateWithMs);
    const std::vector<float> floats = {19.0f,   7.0f,  0.1f,  1e-40f,
                                       FLT_MAX, -0.0f, 16.3f, 1.0f / 3.0f};
    {
        Settings s(path);
        EXPECT_EQ(s.status(), Settings::Status::Ok);
        EXPECT_TRUE(QFileInfo::exists(path));
        EXPECT_FALSE(s.getBool(prefs::prefsMakeBackup));
        EXPECT_EQ(s.getInt(prefs::backupAlertInt), 0);
        EXPECT_EQ(s.getFloat(prefs::prefs3Rate), 0.0f);
        EXPECT_EQ(s.getText(prefs::prefsCompany), QString());
        EXPECT_FALSE(s.getDate(prefs::rememberDate).has_value());
        EXPECT_FALSE(s.contains(prefs::prefsCompany));
        s.setBool(prefs::prefsMakeBackup, true);
        s.setInt(prefs::backupAlertInt, 12);
        s.setInt(u"big", int64_t{1} << 40);
        s.setText(prefs::prefsCompany, QStringLiteral("Müller & Söhne; \"Büro\" = 1 # 2"));
        s.setPath(prefs::prefsDocPath, QStringLiteral("/home/x/Dokumente mit Leerzeichen/"));
        s.setDate(prefs::rememberDate, when);
        for (size_t i = 0; i < floats.size(); ++i)
            s.setFloat(QStringLiteral("f%1").arg(i), floats[i]);
        QString error;
        ASSERT_TRUE(s.sync(&error)) << error.toStdString();
    }
    Settings s(freshCopy(path, QStringLiteral("again.conf")));
    EXPECT_TRUE(s.getBool(prefs::prefsMakeBackup));
    EXPECT_EQ(s.getInt(prefs::backupAlertInt), 12);
    EXPECT_EQ(s.getInt(u"big"), int64_t{1} << 40);
    EXPECT_EQ(s.getText(prefs::prefsCompany), QStringLiteral("Müller & Söhne; \"Büro\" = 1 # 2"));
    EXPECT_EQ(s.getPath(prefs::prefsDocPath), QStringLiteral("/home/x/Dokumente mit Leerzeichen/"));
    ASSERT_TRUE(s.getDate(prefs::rememberDate).has_value());
    EXPECT_EQ(*s.getDate(prefs::rememberDate), when);
    EXPECT_EQ(s.getDate(prefs::rememberDate)->timeSpec(), Qt::UTC);
    for (size_t i = 0; i < floats.size(); ++i)
        EXPECT_EQ(bits(s.getFloat(QStringLiteral("f%1").arg(i))), bits(floats[i])) << i;
    EXPECT_EQ(s.storedText(prefs::prefs1Rate), QString());
    EXPECT_EQ(s.storedText(u"f0"), QStringLiteral("19"));
}

class SettingsOddKey : public ::testing::TestWithParam<const char16_t*> {};

TEST_P(SettingsOddKey, RoundTripsExactly) {
    const QString key = QString::fromUtf16(GetParam());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quandor.conf"));
    {
        Settings s(path);
        s.setText(key, QStringLiteral("Wert von ") + key);
        s.setBool(QStringLiteral("neighbour"), true);
        ASSERT_TRUE(s.sync());
    }
    Settings s(freshCopy(path, QStringLiteral("copy.conf")));
    EXPECT_TRUE(s.contains(key));
    EXPECT_EQ(s.getText(key), QStringLiteral("Wert von ") + key);
    QStringList expected{key, QStringLiteral("neighbour")};
    expected.sort();
    EXPECT_EQ(s.keys(), expected) << s.keys().join(u'|').toStdString();
    s.remove(key);
    EXPECT_FALSE(s.contains(key));
    EXPECT_TRUE(s.getBool(u"neighbour"));
}

INSTANTIATE_TEST_SUITE_P(Keys, SettingsOddKey,
                         ::testing::Values(u"loadInPreview.app", u"update_2.0.3_to_2.0.4",
                                           u"update_to_3.0", u"5StartEver", u"1winston",
                                           u"tab-saldoField", u"a/b", u"a\\b", u"a//b", u"/lead",
                                           u"trail/", u"100%", u"%2F", u"%25", u"with space",
                                           u"General", u"a=b", u"[x]", u";c", u"#h", u"Größe"));

TEST(Settings, SlashAndBackslashKeysStayApart) {
    QTemporaryDir dir;
    Settings s(dir.filePath(QStringLiteral("Quandor.conf")));
    s.setInt(u"a/b", 1);
    s.setInt(u"a\\b", 2);
    s.setInt(u"a%2Fb", 3);
    EXPECT_EQ(s.getInt(u"a/b"), 1);
    EXPECT_EQ(s.getInt(u"a\\b"), 2);
    EXPECT_EQ(s.getInt(u"a%2Fb"), 3);
    EXPECT_EQ(s.keys().size(), 3);
}

TEST(Settings, DamagedFileIsKeptAsideAndTheStoreStartsFresh) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quandor.conf"));
    const QByteArray garbage("[General]\nprefsCompany=A\0\xff\xfe\x01 kaputt", 28);
    writeAll(path, garbage);
    {
        Settings s(path);
        EXPECT_EQ(s.status(), Settings::Status::Damaged);
        EXPECT_TRUE(s.problem().contains(QStringLiteral("Quandor.conf.beschaedigt")))
            << s.problem().toStdString();
        EXPECT_EQ(readAll(path + QStringLiteral(".beschaedigt")), garbage);
        EXPECT_FALSE(s.contains(prefs::prefsCompany));
        s.setBool(prefs::veryFirstAlertDone, true);
        EXPECT_TRUE(s.sync());
    }
    EXPECT_TRUE(readAll(path).contains("veryFirstAlertDone=true"));
    // A second damage does not replace the first kept copy.
    writeAll(path, garbage + "2");
    Settings again(path);
    EXPECT_EQ(again.status(), Settings::Status::Damaged);
    EXPECT_EQ(readAll(path + QStringLiteral(".beschaedigt")), garbage);
    EXPECT_EQ(readAll(path + QStringLiteral(".beschaedigt-2")), garbage + "2");
}

TEST(Settings, UnreadableFileIsLeftAloneAndNotWritten) {
    QTemporaryDir dir;
    // A folder in the file's place cannot be read, also by root.
    const QString path = dir.filePath(QStringLiteral("Quandor.conf"));
    ASSERT_TRUE(QDir().mkpath(path));
    Settings s(path);
    EXPECT_EQ(s.status(), Settings::Status::Unreadable);
    EXPECT_FALSE(s.problem().isEmpty());
    s.setInt(prefs::backupAlertInt, 3);
    EXPECT_EQ(s.getInt(prefs::backupAlertInt), 3);  // kept for this run
    QString error;
    EXPECT_FALSE(s.sync(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST(Settings, FileWithoutReadPermissionIsLeftAlone) {
    if (test::rerunUnprivileged()) return;
    QTemporaryDir dir;
    const QString locked = dir.filePath(QStringLiteral("locked.conf"));
    writeAll(locked, "[General]\nprefsCompany=Geheim\n");
    QFile::setPermissions(locked, QFileDevice::WriteOwner);
    {
        Settings l(locked);
        EXPECT_EQ(l.status(), Settings::Status::Unreadable);
        l.setText(prefs::prefsCompany, QStringLiteral("anders"));
    }
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(readAll(locked), QByteArray("[General]\nprefsCompany=Geheim\n"));
}

TEST(Settings, LenientReadingOfHandEditedValues) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quandor.conf"));
    writeAll(path, "[General]\nb1=1\nb2=false\ni1=12.7\ni2=abc\nf1=19,5\nd1=kein Datum\n");
    Settings s(path);
    EXPECT_TRUE(s.getBool(u"b1"));
    EXPECT_FALSE(s.getBool(u"b2"));
    EXPECT_EQ(s.getInt(u"i1"), 12);
    EXPECT_EQ(s.getInt(u"i2"), 0);
    EXPECT_EQ(s.getFloat(u"f1"), 19.5f);
    EXPECT_FALSE(s.getDate(u"d1").has_value());
}
