// Windows that must fit on the screen and stay usable: the PDF preview, the
// help window; and the frame fitting they share.

#include "ui/pdf_preview.h"
#include "ui/placement.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPageSize>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfWriter>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace quandor::ui;

namespace {

// A two-page PDF and the shown main window it is previewed over.
struct PreviewDesk {
    QTemporaryDir dir;
    QString pdf = dir.filePath(QStringLiteral("Vorschau.pdf"));
    QWidget main;

    PreviewDesk() {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QPageSize::A4));
        QPainter painter(&writer);
        painter.drawText(100, 100, QStringLiteral("Übersicht Januar"));
        writer.newPage();
        painter.drawText(100, 100, QStringLiteral("Seite 2"));
        painter.end();
        main.resize(600, 400);
        main.show();
    }
};

}  // namespace

void PrintTo(const QRect& r, std::ostream* os) {
    *os << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
}

struct FitCase {
    const char* name;
    QSize frame;
    QPoint centre;
    QRect expected;
};

class FitFrame : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitFrame, StaysOnTheFreeArea) {
    const QRect screen(0, 0, 1440, 900);
    const FitCase& c = GetParam();
    const QRect r = fitFrame(c.frame, c.centre, screen);
    EXPECT_EQ(r, c.expected);
    EXPECT_TRUE(screen.contains(r));
}

INSTANTIATE_TEST_SUITE_P(
    Placement, FitFrame,
    ::testing::Values(
        FitCase{"SmallWindowCentred", {400, 300}, {719, 449}, QRect(520, 300, 400, 300)},
        // An A4 preview with a title bar is taller than a 900-pixel screen:
        // it gets the whole height, from the top edge down.
        FitCase{"TallerThanTheScreenIsShrunk", {688, 934}, {719, 449}, QRect(376, 0, 688, 900)},
        FitCase{
            "OverAWindowNearTheBottomMovesUp", {600, 500}, {699, 800}, QRect(400, 400, 600, 500)},
        FitCase{"NeverLeftOfOrAboveTheScreen", {600, 500}, {100, 50}, QRect(0, 0, 600, 500)}),
    [](const ::testing::TestParamInfo<FitCase>& info) { return std::string(info.param.name); });

TEST(PdfPreview, FitsTheScreenShowsThePagesAndClosesWithItsButton) {
    PreviewDesk d;
    const QString& pdf = d.pdf;
    QWidget& main = d.main;

    PdfPreviewWindow* preview = showPdfPreview(pdf, QStringLiteral("Vorschau - Test 1"), &main);
    ASSERT_TRUE(preview);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->document()->pageCount(), 2);
    const QRect free = main.screen()->availableGeometry();
    EXPECT_TRUE(free.contains(preview->frameGeometry()))
        << preview->frameGeometry().height() << " > " << free.height();
    EXPECT_LE(preview->height(), PdfPreviewWindow::preferredSize().height());

    // The same title brings the same window back.
    EXPECT_EQ(showPdfPreview(pdf, QStringLiteral("Vorschau - Test 1"), &main), preview);

    QPointer<PdfPreviewWindow> gone(preview);
    ASSERT_TRUE(preview->closeButton());
    EXPECT_EQ(preview->closeButton()->text(), QStringLiteral("Schließen"));
    preview->closeButton()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());
}

TEST(PdfPreview, ASheetOverTheMainWindowDoesNotBlockIt) {
    PreviewDesk d;
    const QString& pdf = d.pdf;
    QWidget& main = d.main;
    // The print sheet: modal over the main window, and it asks for the preview.
    QDialog sheet(&main);
    sheet.setWindowModality(Qt::WindowModal);
    sheet.open();

    QPointer<PdfPreviewWindow> preview =
        showPdfPreview(pdf, QStringLiteral("Vorschau - Test 2"), &main);
    ASSERT_TRUE(preview);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(preview));
    QApplication::setActiveWindow(preview);
    // Escape as the window system delivers it; a blocked window never gets it.
    QTest::keyClick(preview->windowHandle(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(preview.isNull() || !preview->isVisible());
    EXPECT_TRUE(sheet.isVisible());
}
