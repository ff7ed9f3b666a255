// SPDX-License-Identifier: MIT
// The layout dialog's preview against the printed pages: the same layouts printed to PDF (pages
// rendered by poppler) and shown in the preview put the image in the same places.
#include "dialogs/LayoutPreview.h"
#include "dialogs/PrintLayoutDlg.h"
#include "framework/UiServices.h"
#include "image/MemoryBitmap.h"
#include "platform/AppSettings.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestSupport.h"
#include "views/ImagePrinter.h"

#include <QDir>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Where the red and the blue of the image are on one page, as fractions of the page.
struct PageInk {
    QRectF red;
    QRectF blue;
};

bool IsRed(QRgb c) {
    return qRed(c) > 180 && qGreen(c) < 90 && qBlue(c) < 90;
}
bool IsBlue(QRgb c) {
    return qBlue(c) > 180 && qRed(c) < 90 && qGreen(c) < 90;
}

// The bounding boxes of the red and of the blue pixels within rc of image, relative to rc.
PageInk InkOf(const QImage& image, const QRect& rc) {
    QRect red, blue;
    for (int y = rc.top(); y <= rc.bottom(); ++y) {
        for (int x = rc.left(); x <= rc.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (IsRed(c))
                red |= QRect(x, y, 1, 1);
            else if (IsBlue(c))
                blue |= QRect(x, y, 1, 1);
        }
    }
    const auto rel = [&rc](const QRect& r) {
        if (r.isEmpty())
            return QRectF();
        return QRectF(double(r.left() - rc.left()) / rc.width(),
                      double(r.top() - rc.top()) / rc.height(), double(r.width()) / rc.width(),
                      double(r.height()) / rc.height());
    };
    return {rel(red), rel(blue)};
}

void ExpectSame(const QRectF& preview, const QRectF& printed, double dTolerance,
                const std::string& strWhat) {
    EXPECT_EQ(preview.isEmpty(), printed.isEmpty()) << strWhat;
    if (preview.isEmpty() || printed.isEmpty())
        return;
    EXPECT_NEAR(preview.left(), printed.left(), dTolerance) << strWhat << " left";
    EXPECT_NEAR(preview.top(), printed.top(), dTolerance) << strWhat << " top";
    EXPECT_NEAR(preview.right(), printed.right(), dTolerance) << strWhat << " right";
    EXPECT_NEAR(preview.bottom(), printed.bottom(), dTolerance) << strWhat << " bottom";
}

class LayoutPreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_ui.SetMessageBoxes(&m_boxes);
        m_image.Create(40, 10, 32);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 40; ++x)
                m_image.Row<RGBQuad>(y)[x] = x < 20 ? RGBQuad{0, 0, 255, 0} : RGBQuad{255, 0, 0, 0};
    }

    // The layout printed on A4 to PDF, its pages rendered at 40 dpi.
    std::vector<QImage> Print(const PrintLayoutSettings& record) {
        platform::CAppSettings settings("/usr/bin/quorvi-studio");
        record.ToSettings(settings);
        settings.m_dwOptionsA |= platform::options::kPrintWithoutDialog;
        CImagePrinter printer(settings, m_ui);
        const QString strPdf = QDir(QString::fromStdString(m_dir.Path().string()))
                                   .filePath(QStringLiteral("job%1.pdf").arg(++m_nJob));
        printer.Printer().setOutputFormat(QPrinter::PdfFormat);
        printer.Printer().setOutputFileName(strPdf);
        printer.Printer().setPageSize(QPageSize(QPageSize::A4));
        EXPECT_EQ(printer.PrintImage(m_image, true), CImagePrinter::EOutcome::Printed);
        const QString strPrefix = strPdf + QStringLiteral("-page");
        QProcess proc;
        proc.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("40"),
                                                QStringLiteral("-png"), strPdf, strPrefix});
        EXPECT_TRUE(proc.waitForFinished(60000) && proc.exitCode() == 0);
        QDir dir(QString::fromStdString(m_dir.Path().string()));
        std::vector<QImage> pages;
        for (const QString& strName : dir.entryList(
                 {QStringLiteral("job%1.pdf-page*.png").arg(m_nJob)}, QDir::Files, QDir::Name))
            pages.push_back(QImage(dir.filePath(strName)).convertToFormat(QImage::Format_RGB32));
        return pages;
    }

    // The preview of the layout dialog opened on the record, and its picture.
    void ComparePreviewWithPrint(const PrintLayoutSettings& record, int nPages) {
        CPrintLayoutDlg dialog(m_ui, record, QSize(2100, 2970), &m_image);
        dialog.resize(1100, 800);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        const CLayoutPreview& preview = *dialog.Preview();
        const QImage shown = const_cast<CLayoutPreview&>(preview).grab().toImage().convertToFormat(
            QImage::Format_RGB32);
        const std::vector<QImage> printed = Print(dialog.Record());
        ASSERT_EQ(int(printed.size()), nPages);
        EXPECT_TRUE(preview.PageRect(nPages + 1).isEmpty());
        for (int n = 1; n <= nPages; ++n) {
            const QRect rcPage = preview.PageRect(n);
            ASSERT_FALSE(rcPage.isEmpty()) << n;
            // Two preview pixels of the page's width.
            const double dTolerance = 2.5 / rcPage.width();
            const PageInk inPreview = InkOf(shown, rcPage);
            const PageInk onPaper = InkOf(printed[n - 1], printed[n - 1].rect());
            const std::string strPage = "page " + std::to_string(n);
            ExpectSame(inPreview.red, onPaper.red, dTolerance, strPage + " red");
            ExpectSame(inPreview.blue, onPaper.blue, dTolerance, strPage + " blue");
        }
    }

    testsupport::CTempDir m_dir;
    testsupport::CScriptedMessageBoxes m_boxes;
    CUiServices m_ui;
    CMemoryBitmap m_image;
    int m_nJob = 0;
};

} // namespace

TEST_F(LayoutPreviewTest, FittedPageShowsWhatPrints) {
    for (std::uint32_t dwCenter : {0u, 3u}) {
        PrintLayoutSettings record;
        record.dwCenterFlags = dwCenter;
        record.nMarginLeft = 300;
        record.nMarginBottom = 500;
        ComparePreviewWithPrint(record, 1);
    }
}

TEST_F(LayoutPreviewTest, PagesAtThePrintSizeShowWhatPrints) {
    // 40 cm over 18.6 cm of printable width: three pages, the second showing both colours.
    PrintLayoutSettings record;
    record.dwPrintMode = 3;
    record.nPrintWidth = 4000;
    record.nPrintHeight = 1000;
    ComparePreviewWithPrint(record, 3);
    // One page at the print size, centred.
    record.nPrintWidth = 1500;
    record.nPrintHeight = 2000;
    record.dwCenterFlags = 3;
    ComparePreviewWithPrint(record, 1);
    // Two rows of two.
    record.nPrintWidth = 3000;
    record.nPrintHeight = 4000;
    ComparePreviewWithPrint(record, 4);
}
