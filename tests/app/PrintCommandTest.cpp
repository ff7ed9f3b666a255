// SPDX-License-Identifier: MIT
// File Print from the menus of a running program: the active image reaches the application's
// printer (a PDF file here) with the layout of the settings.
#include "AppFixture.h"

#include "framework/CommandIds.h"
#include "views/ImagePrinter.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

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
