// Speed of the statement print and exports for one statement of N items.
//
//   export_bench [N] [RUNS] [KEEP.pdf]   (defaults: 10000 items, 5 runs)
//
// Measures, as medians over RUNS:
//  - the overview page with its item list: HTML built, written and parsed,
//    laid out and written as PDF (what opening the print or export sheet does);
//  - the CSV export (text, Windows-1252, atomic write);
//  - the semicolon CSV export;
//  - the XML export (text, UTF-8, atomic write).
// Runs headless on the offscreen platform, locale de_DE.

#include "bookkeeping/statement_exports.h"
#include "bookkeeping/statement_pages.h"
#include "cli/generator.h"
#include "core/app_delegate.h"
#include "core/keys.h"
#include "core/number_texts.h"
#include "print/print_pipeline.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextDocument>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

using namespace quandor;

namespace {

double medianMs(int runs, const std::function<void()>& work) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const int64_t n = argc > 1 ? std::atoll(argv[1]) : 10000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;

    GeneratorOptions options;
    options.items = n;
    options.itemsPerStatement = int(n);
    const Database db = generateDatabase(options);
    const RecordPtr year = db.years.front();
    const RecordPtr statement = year->thelists().front();
    ItemRefs listed;
    for (const RecordPtr& item : statement->items()) listed.push_back(item.get());

    QTemporaryDir dir;
    OverviewPage page;
    page.prologue = kPagePrologue;
    page.company = QStringLiteral("Muster GmbH");
    page.taxID = QStringLiteral("12/345/67890");
    page.today = mediumDateText(Date{});
    page.statement = statement.get();
    page.year = year.get();
    page.listed = listed;
    page.rates = {19.0f, 7.0f, std::nullopt};
    page.withList = true;
    page.sums = statementSums(*statement);
    const QString footer = overviewFooter(page.company, statement->text(keys::title), year->text(keys::dateValue));

    int pages = 0;
    const double pdf = medianMs(runs, [&] {
        const QString html = overviewPageHtml(page);
        QString error;
        auto doc = print::writeAndParseHtml(html, dir.filePath(QStringLiteral("PDFPreviewTab.html")), &error);
        print::PageOptions po;
        po.footer = footer;
        if (!doc || !print::writePdf(*doc, po, dir.filePath(QStringLiteral("PDFPreviewTab.pdf")), &error))
            std::fprintf(stderr, "%s\n", qPrintable(error));
        pages = doc ? doc->pageCount() : 0;
    });
    // Where the time of the page goes: building, parsing, layout, painting.
    {
        QString html;
        std::unique_ptr<QTextDocument> doc;
        const double build = medianMs(1, [&] { html = overviewPageHtml(page); });
        const double parse = medianMs(1, [&] { doc = print::parseHtml(html); });
        const double layout = medianMs(1, [&] {
            doc->setPageSize(QSizeF(555, 742));
            (void)doc->pageCount();
        });
        std::printf("  (page phases: HTML %.1f ms, parse %.1f ms, layout %.1f ms)\n", build, parse, layout);
    }
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QString reason;
        if (!QuandorAppDelegate::writeFileAtomically(dir.filePath(name), bytes, &reason))
            std::fprintf(stderr, "%s\n", qPrintable(reason));
    };
    const double csv = medianMs(runs, [&] { write(QStringLiteral("a.csv"), windows1252(csvString(listed, QLocale()))); });
    const double csvMac = medianMs(runs, [&] { write(QStringLiteral("b.csv"), windows1252(csvStringMac(listed, QLocale()))); });
    const double xml = medianMs(runs, [&] { write(QStringLiteral("c.xml"), xmlString(listed, QLocale()).toUtf8()); });

    if (argc > 3) {
        QFile::remove(QString::fromLocal8Bit(argv[3]));
        QFile::copy(dir.filePath(QStringLiteral("PDFPreviewTab.pdf")), QString::fromLocal8Bit(argv[3]));
    }
    std::printf("statement of %lld items, median of %d runs\n", static_cast<long long>(n), runs);
    std::printf("  overview page with item list as PDF: %8.1f ms (%d pages)\n", pdf, pages);
    std::printf("  CSV export:                          %8.1f ms\n", csv);
    std::printf("  CSV export with semicolons:          %8.1f ms\n", csvMac);
    std::printf("  XML export:                          %8.1f ms\n", xml);
    return 0;
}
