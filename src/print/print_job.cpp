#include "print/print_job.h"

#include "core/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quandor::print {

PrintJob::PrintJob(const Page& page, QString htmlPath, QString pdfPath, QString html)
    : page_(page),
      htmlPath_(std::move(htmlPath)),
      pdfPath_(std::move(pdfPath)),
      html_(std::move(html)) {}

bool PrintJob::writeHtml(QString* error) {
    QFile::remove(htmlPath_);
    QFile::remove(pdfPath_);
    QDir().mkpath(QFileInfo(htmlPath_).absolutePath());
    if (html_.isEmpty()) html_ = pageHtml(page_);
    return writeHtmlFile(html_, htmlPath_, error);
}

bool PrintJob::render(QString* error) {
    pdf_.clear();
    if (!writeHtml(error)) return false;
    QByteArray bytes = pdfBytes(page_, error);
    if (bytes.isEmpty()) return false;
    QString reason;
    if (!writeFileAtomically(pdfPath_, bytes, &reason)) {
        if (error)
            *error = QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden. (%2)")
                         .arg(pdfPath_, reason);
        return false;
    }
    pdf_ = std::move(bytes);
    return true;
}

bool PrintJob::print(QPagedPaintDevice& printer) const {
    return paintPages(page_, Output::Printer, printer) > 0;
}

}  // namespace quandor::print
