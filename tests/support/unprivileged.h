#pragma once
// File permissions do not bind root, and CI runs as root. A test about
// permissions calls this first: as root it runs itself again in a child
// process as the unprivileged user "nobody" (through setpriv) and reports the
// child's result; the caller then returns. As any other user it returns false
// and the test runs here.

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <gtest/gtest.h>

#include <unistd.h>

namespace quandor::test {

inline bool rerunUnprivileged() {
    if (::geteuid() != 0) return false;
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString filter = QStringLiteral("%1.%2").arg(QString::fromUtf8(info->test_suite_name()),
                                                       QString::fromUtf8(info->name()));
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), QStringLiteral("/tmp"));
    env.insert(QStringLiteral("TMPDIR"), QStringLiteral("/tmp"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QStringLiteral("setpriv"),
                {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                 QStringLiteral("--clear-groups"), QStringLiteral("--"),
                 QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget(),
                 QStringLiteral("--gtest_filter=") + filter});
    if (!child.waitForStarted()) {
        ADD_FAILURE() << "setpriv could not be started";
        return true;
    }
    child.waitForFinished(120000);
    const QByteArray output = child.readAll();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output.constData();
    EXPECT_EQ(child.exitCode(), 0) << output.constData();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.constData();
    return true;
}

}  // namespace quandor::test
