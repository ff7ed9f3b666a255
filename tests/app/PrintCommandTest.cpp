// SPDX-License-Identifier: MIT
// File Print from the menus of a running program: the active image reaches the application's
// printer (a PDF file here) with the layout of the settings.
#include "AppFixture.h"

#include "document/TavixCaptureDoc.h"
#include "framework/CommandIds.h"
#include "framework/ui/CommandDispatcher.h"
#include "framework/ui/MultiDocTemplate.h"
#include "image/MemoryBitmap.h"
#include "views/ImagePrinter.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <functional>

using namespace apptest;

namespace {

constexpr std::uint32_t kShownOptions = 0x0008167B & ~0x2u;
constexpr std::uint32_t kPrintWithoutDialog = 0x100;

int PdfPageCount(const QString& strPath) {
    QProcess proc;
    proc.start(QStringLiteral("pdfinfo"), {strPath});
    proc.waitForFinished(60000);
    const QString strInfo = QString::fromLocal8Bit(proc.readAllStandardOutput());
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(strInfo);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Runs Print Preview of the active image and counts the pixels of the preview (the page as
// the dialog shows it) that have colour c.
int PreviewPixelsOf(CMainFrame& frame, QRgb c) {
    int nCount = -1;
    std::function<void()> look = [&] {
        auto* pDialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        auto* pWidget = pDialog != nullptr ? pDialog->findChild<QPrintPreviewWidget*>() : nullptr;
        if (pWidget == nullptr || pWidget->pageCount() < 1) {
            QTimer::singleShot(20, qApp, look);
            return;
        }
        pWidget->fitInView();
        const QImage shown = pWidget->grab().toImage().convertToFormat(QImage::Format_RGB32);
        nCount = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                nCount += (shown.pixel(x, y) & 0xFFFFFF) == (c & 0xFFFFFF) ? 1 : 0;
        pDialog->reject();
    };
    QTimer::singleShot(0, qApp, look);
    frame.Dispatcher().Execute(ID_FILE_PRINT_PREVIEW);
    return nCount;
}

} // namespace

TEST_F(AppTest, FilePrintSendsTheActiveImageToThePrinter) {
    Start(kShownOptions | kPrintWithoutDialog);
    auto* pPrinter = dynamic_cast<CImagePrinter*>(Frame().ImagePrinter());
    ASSERT_NE(pPrinter, nullptr);
    const QString strPdf = QString::fromStdString((Root() / "printed.pdf").string());
    pPrinter->Printer().setOutputFormat(QPrinter::PdfFormat);
    pPrinter->Printer().setOutputFileName(strPdf);
    pPrinter->Printer().setPageSize(QPageSize(QPageSize::A5));
    EXPECT_FALSE(IsEnabled(ID_FILE_PRINT)); // no image yet

    ASSERT_NE(Open(WritePng(40, 30)), nullptr);
    EXPECT_TRUE(IsEnabled(ID_FILE_PRINT));
    EXPECT_TRUE(IsEnabled(ID_FILE_PRINT_PREVIEW));
    // A layout of 30 cm over the 12.4 cm of an A5 page less its margins: 3 x 1 pages.
    m_pApp->Settings().m_dwPrintMode = 3;
    m_pApp->Settings().m_sizePrint = {3000, 1500};
    EXPECT_TRUE(Run(ID_FILE_PRINT));
    EXPECT_TRUE(m_boxes.m_shown.empty());
    EXPECT_TRUE(QFileInfo::exists(strPdf));
    EXPECT_EQ(PdfPageCount(strPdf), 3);
    EXPECT_EQ(m_pApp->Settings().m_sizePage, (platform::SizeValue{1480, 2100}));
}

TEST_F(AppTest, PrinterTroubleFromTheMenuShowsStringOneFiftyOne) {
    Start(kShownOptions);
    auto* pPrinter = dynamic_cast<CImagePrinter*>(Frame().ImagePrinter());
    ASSERT_NE(pPrinter, nullptr);
    pPrinter->Printer().setOutputFormat(QPrinter::PdfFormat);
    pPrinter->Printer().setOutputFileName(
        QString::fromStdString((Root() / "missing" / "x.pdf").string()));
    ASSERT_NE(Open(WritePng(8, 8)), nullptr);
    // Direct print skips the dialog even without 0x100.
    EXPECT_TRUE(Run(ID_FILE_PRINT_DIRECT));
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_boxes.m_shown[0].strText,
              QStringLiteral("Your printer has some trouble. Please check your printer "
                             "settings in the Control Panel window."));
    EXPECT_EQ(m_boxes.m_shown[0].icon, EMsgIcon::Stop);
}

TEST_F(AppTest, PrintPreviewShowsCapturedAndOpenedImagesAlike) {
    Start(kShownOptions);
    m_pApp->Settings().m_dwPrintMode = 1; // fit to the page
    const QRgb colour = qRgb(20, 90, 200);
    // A capture: its fourth bytes are 0, as the screen gives them.
    CMemoryBitmap captured;
    captured.Create(60, 40, 32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            captured.Row<RGBQuad>(y)[x] = RGBQuad{200, 90, 20, 0};
    ASSERT_NE(CTavixCaptureDoc::OpenNew(*m_pApp->DocTemplate(), captured,
                                        CTavixCaptureDoc::ENewImage::Capture),
              nullptr);
    ProcessEvents();
    const int nCaptured = PreviewPixelsOf(Frame(), colour);
    // The same picture opened from a file.
    QImage same(60, 40, QImage::Format_RGB32);
    same.fill(colour);
    same.save(QString::fromStdString((Root() / "same.png").string()));
    ASSERT_NE(Open(Root() / "same.png"), nullptr);
    const int nOpened = PreviewPixelsOf(Frame(), colour);
    EXPECT_GT(nOpened, 1000) << "the opened file's page shows the image";
    EXPECT_GT(nCaptured, nOpened / 2) << "the captured image's page is empty";
    EXPECT_TRUE(m_boxes.m_shown.empty());
}
