#pragma once
// The text of a PDF file page by page, through pdftotext (poppler-utils).

#include <QProcess>
#include <QString>
#include <QStringList>

namespace quandor::test {

// One entry per page; empty when the file could not be read.
inline QStringList pdfPages(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"),
                                          QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

}  // namespace quandor::test
