// SPDX-License-Identifier: MIT
// Printing to PDF: the pages are rendered back with poppler's pdftoppm and the image's pixels
// are looked for where the layout puts them, page by page.
#include "views/ImagePrinter.h"
#include "framework/MessageBoxes.h"
#include "framework/WinApp.h"
#include "image/DisplayBitmap.h"
#include "image/MemoryBitmap.h"
#include "platform/AppSettings.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int kDpi = 50; // rendering resolution of the checks
constexpr double kPxPerTenth = kDpi / 254.0;

// The colour of image pixel (x, y) of a w-wide test image: far apart from its neighbours.
QRgb PatternColor(int x, int y, int w) {
    const int i = y * w + x;
    return qRgb(40 + (i * 53) % 200, 40 + (i * 97) % 200, 40 + (i * 29) % 200);
}

// A test image of the given class and depth (32 or 8) whose pixels show PatternColor.
template <class Bitmap> std::unique_ptr<CImageBitmap> MakePattern(int w, int h, int nDepth) {
    auto p = std::make_unique<Bitmap>();
    p->Create(w, h, nDepth);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb c = PatternColor(x, y, w);
            const RGBQuad q{static_cast<std::uint8_t>(qBlue(c)),
                            static_cast<std::uint8_t>(qGreen(c)),
                            static_cast<std::uint8_t>(qRed(c)), 0};
            if (nDepth == 32) {
                p->template Row<RGBQuad>(y)[x] = q;
            } else {
                p->Palette()[y * w + x] = q;
                p->Line(y)[x] = static_cast<std::uint8_t>(y * w + x);
            }
        }
    }
    return p;
}

bool Near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 12 && std::abs(qGreen(a) - qGreen(b)) <= 12 &&
           std::abs(qBlue(a) - qBlue(b)) <= 12;
}

QString Hex(QRgb c) {
    return QString::number(c & 0xFFFFFF, 16);
}

class ImagePrinterTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_pApp = std::make_unique<CWinApp>();
        m_pApp->Ui().SetMessageBoxes(&m_boxes);
        m_pPrinter = std::make_unique<CImagePrinter>(m_settings, m_pApp->Ui());
        QPrinter& printer = m_pPrinter->Printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(PdfPath());
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Portrait);
    }

    void TearDown() override {
        m_pPrinter.reset();
        m_pApp.reset();
    }

    QString PdfPath() const { return QString::fromStdString((m_dir.Path() / "out.pdf").string()); }

    // The pages of the PDF as images at kDpi, through poppler (independent of Qt's reader).
    std::vector<QImage> RenderPages() const {
        const QString strPrefix = QString::fromStdString((m_dir.Path() / "page").string());
        // QUORVI_KEEP_PRINTS=folder keeps a copy of each job for a look.
        if (const QString strKeep = qEnvironmentVariable("QUORVI_KEEP_PRINTS"); !strKeep.isEmpty())
            QFile::copy(PdfPath(),
                        QDir(strKeep).filePath(QStringLiteral("job-%1.pdf").arg(s_nKept++)));
        QProcess proc;
        proc.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(kDpi),
                                                QStringLiteral("-png"), PdfPath(), strPrefix});
        if (!proc.waitForFinished(60000) || proc.exitCode() != 0) {
            ADD_FAILURE() << "pdftoppm failed: " << proc.readAllStandardError().toStdString();
            return {};
        }
        QDir dir(QString::fromStdString(m_dir.Path().string()));
        QStringList names = dir.entryList({QStringLiteral("page-*.png")}, QDir::Files, QDir::Name);
        std::vector<QImage> pages;
        for (const QString& strName : names)
            pages.push_back(QImage(dir.filePath(strName)).convertToFormat(QImage::Format_RGB32));
        return pages;
    }

    // The page count poppler reads from the file.
    int PdfPageCount() const {
        QProcess proc;
        proc.start(QStringLiteral("pdfinfo"), {PdfPath()});
        proc.waitForFinished(60000);
        const QString strInfo = QString::fromLocal8Bit(proc.readAllStandardOutput());
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(strInfo);
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }

    // Checks a rendered page: the w x h image laid out over rcImage (tenths of a millimetre from
    // the paper's corner) shows inside rcClip; everything else is white. Points within two
    // rendered pixels of an edge are not judged (anti-aliasing).
    static void ExpectPage(const QImage& page, const QRect& rcImage, const QRect& rcClip, int w,
                           int h, const char* pszWhat) {
        ASSERT_FALSE(page.isNull()) << pszWhat;
        const QRect rcShown = rcClip & rcImage;
        int nErrors = 0;
        int nImagePoints = 0;
        for (int py = 1; py < page.height() - 1 && nErrors < 5; py += 3) {
            for (int px = 1; px < page.width() - 1 && nErrors < 5; px += 3) {
                const double tx = (px + 0.5) / kPxPerTenth;
                const double ty = (py + 0.5) / kPxPerTenth;
                const double dMargin = 2.0 / kPxPerTenth;
                const QRectF rcInner =
                    QRectF(rcShown).adjusted(dMargin, dMargin, -dMargin, -dMargin);
                const QRectF rcOuter =
                    QRectF(rcShown).adjusted(-dMargin, -dMargin, dMargin, dMargin);
                QRgb expected;
                if (!rcOuter.contains(tx, ty)) {
                    expected = qRgb(255, 255, 255);
                } else if (rcInner.contains(tx, ty)) {
                    const double ix = (tx - rcImage.left()) * w / rcImage.width();
                    const double iy = (ty - rcImage.top()) * h / rcImage.height();
                    // Skip points near the border between two image pixels.
                    const double dPixelMargin = 2.0 / kPxPerTenth * w / rcImage.width();
                    const double dPixelMarginY = 2.0 / kPxPerTenth * h / rcImage.height();
                    if (ix - std::floor(ix) < dPixelMargin || std::ceil(ix) - ix < dPixelMargin ||
                        iy - std::floor(iy) < dPixelMarginY || std::ceil(iy) - iy < dPixelMarginY)
                        continue;
                    expected = PatternColor(int(ix), int(iy), w);
                    ++nImagePoints;
                } else {
                    continue;
                }
                const QRgb got = page.pixel(px, py);
                if (!Near(got, expected)) {
                    ADD_FAILURE() << pszWhat << ": at (" << px << "," << py << ") got "
                                  << Hex(got).toStdString() << " expected "
                                  << Hex(expected).toStdString();
                    ++nErrors;
                }
            }
        }
        EXPECT_GT(nImagePoints, 0) << pszWhat << ": no point of the image was judged";
    }

    static inline int s_nKept = 0;
    testsupport::CTempDir m_dir;
    testsupport::CScriptedMessageBoxes m_boxes;
    std::unique_ptr<CWinApp> m_pApp;
    platform::CAppSettings m_settings{"/usr/bin/quorvi-studio"};
    std::unique_ptr<CImagePrinter> m_pPrinter;
};

// Answers the next modal window: records its class and rejects it.
class CModalWatcher {
public:
    CModalWatcher() {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            if (QWidget* pModal = QApplication::activeModalWidget(); pModal != nullptr) {
                m_strSeen = QString::fromLatin1(pModal->metaObject()->className());
                if (m_onModal)
                    m_onModal(pModal);
                else if (auto* pDialog = qobject_cast<QDialog*>(pModal))
                    pDialog->reject();
            }
        });
        m_timer.start();
    }
    QTimer m_timer;
    QString m_strSeen;
    std::function<void(QWidget*)> m_onModal;
};

} // namespace

TEST_F(ImagePrinterTest, FitsTheImageToTheMarginsOfAnA4Page) {
    const auto pImage = MakePattern<CDisplayBitmap>(4, 3, 32);
    m_settings.m_dwOptionsA |= platform::options::kPrintWithoutDialog;
    struct Case {
        std::uint16_t wCenter;
        QRect rcExpected;
    };
    // 4 x 3 into 1860 x 2730: 465 per pixel, 1860 x 1395, moved down by (2730 - 1395) / 2.
    for (const Case& c :
         {Case{0, QRect(120, 120, 1860, 1395)}, Case{3, QRect(120, 787, 1860, 1395)}}) {
        m_settings.m_wImageCenterFlag = c.wCenter;
        ASSERT_EQ(m_pPrinter->PrintImage(*pImage, false), CImagePrinter::EOutcome::Printed);
        EXPECT_TRUE(m_boxes.m_shown.empty());
        EXPECT_EQ(PdfPageCount(), 1);
        const std::vector<QImage> pages = RenderPages();
        ASSERT_EQ(pages.size(), 1u);
        ExpectPage(pages[0], c.rcExpected, c.rcExpected, 4, 3,
                   c.wCenter != 0 ? "centred" : "top left");
    }
    // The printer's paper becomes "SizePage".
    EXPECT_EQ(m_settings.m_sizePage, (platform::SizeValue{2100, 2970}));
}

TEST_F(ImagePrinterTest, EveryDepthAndRowOrderPrintsTheSame) {
    // Bottom-up and top-down memory, palette and true-colour pixels.
    std::vector<std::pair<const char*, std::unique_ptr<CImageBitmap>>> images;
    images.emplace_back("display 8 bpp", MakePattern<CDisplayBitmap>(4, 3, 8));
    images.emplace_back("memory 32 bpp", MakePattern<CMemoryBitmap>(4, 3, 32));
    images.emplace_back("memory 8 bpp", MakePattern<CMemoryBitmap>(4, 3, 8));
    m_settings.m_wImageCenterFlag = 0;
    for (const auto& [pszName, pImage] : images) {
        ASSERT_EQ(m_pPrinter->PrintImage(*pImage, true), CImagePrinter::EOutcome::Printed)
            << pszName;
        const std::vector<QImage> pages = RenderPages();
        ASSERT_EQ(pages.size(), 1u);
        ExpectPage(pages[0], QRect(120, 120, 1860, 1395), QRect(120, 120, 1860, 1395), 4, 3,
                   pszName);
    }
}

TEST_F(ImagePrinterTest, LandscapePaperSetsTheLayout) {
    QPrinter& printer = m_pPrinter->Printer();
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageOrientation(QPageLayout::Landscape);
    m_settings.m_wImageCenterFlag = 0;
    const auto pImage = MakePattern<CDisplayBitmap>(4, 3, 32);
    ASSERT_EQ(m_pPrinter->PrintImage(*pImage, true), CImagePrinter::EOutcome::Printed);
    EXPECT_EQ(m_settings.m_sizePage, (platform::SizeValue{2794, 2159}));
    // 2554 x 1919 printable: 638.5 per pixel, 2554 x 1915.5 rounded to 1916.
    const std::vector<QImage> pages = RenderPages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_GT(pages[0].width(), pages[0].height());
    ExpectPage(pages[0], QRect(120, 120, 2554, 1916), QRect(120, 120, 2554, 1916), 4, 3,
               "letter landscape");
}

TEST_F(ImagePrinterTest, PrintSizeSpreadsOverColumns) {
    // 40 cm wide over 18.6 cm of printable width: three pages, the third 2.8 cm wide.
    m_settings.m_dwPrintMode = 3;
    m_settings.m_sizePrint = {4000, 1000};
    const auto pImage = MakePattern<CDisplayBitmap>(8, 2, 32);
    ASSERT_EQ(m_pPrinter->PrintImage(*pImage, true), CImagePrinter::EOutcome::Printed);
    EXPECT_EQ(PdfPageCount(), 3);
    const std::vector<QImage> pages = RenderPages();
    ASSERT_EQ(pages.size(), 3u);
    const int nWidths[3] = {1860, 1860, 280};
    for (int c = 0; c < 3; ++c) {
        const std::string strWhat = "column " + std::to_string(c);
        ExpectPage(pages[std::size_t(c)], QRect(120 - c * 1860, 120, 4000, 1000),
                   QRect(120, 120, nWidths[c], 1000), 8, 2, strWhat.c_str());
    }
}

TEST_F(ImagePrinterTest, PrintSizeSpreadsOverRowsAndColumnsInReadingOrder) {
    // 30 x 40 cm: 2 columns (1860 + 1140) and 2 rows (2730 + 1270); page 2 is the top right.
    m_settings.m_dwPrintMode = 4;
    m_settings.m_sizePrint = {3000, 4000};
    const auto pImage = MakePattern<CMemoryBitmap>(3, 4, 32);
    ASSERT_EQ(m_pPrinter->PrintImage(*pImage, true), CImagePrinter::EOutcome::Printed);
    const std::vector<QImage> pages = RenderPages();
    ASSERT_EQ(pages.size(), 4u);
    ExpectPage(pages[0], QRect(120, 120, 3000, 4000), QRect(120, 120, 1860, 2730), 3, 4,
               "top left");
    ExpectPage(pages[1], QRect(120 - 1860, 120, 3000, 4000), QRect(120, 120, 1140, 2730), 3, 4,
               "top right");
    ExpectPage(pages[2], QRect(120, 120 - 2730, 3000, 4000), QRect(120, 120, 1860, 1270), 3, 4,
               "bottom left");
    ExpectPage(pages[3], QRect(120 - 1860, 120 - 2730, 3000, 4000), QRect(120, 120, 1140, 1270), 3,
               4, "bottom right");
}

TEST_F(ImagePrinterTest, PrintSizeOnOnePageIsCentred) {
    m_settings.m_dwPrintMode = 3;
    m_settings.m_sizePrint = {1000, 500};
    m_settings.m_wImageCenterFlag = 3;
    const auto pImage = MakePattern<CDisplayBitmap>(4, 2, 32);
    ASSERT_EQ(m_pPrinter->PrintImage(*pImage, true), CImagePrinter::EOutcome::Printed);
    const std::vector<QImage> pages = RenderPages();
    ASSERT_EQ(pages.size(), 1u);
    const QRect rc(120 + (1860 - 1000) / 2, 120 + (2730 - 500) / 2, 1000, 500);
    ExpectPage(pages[0], rc, rc, 4, 2, "centred at the print size");
}

TEST_F(ImagePrinterTest, PrinterTroubleShowsTheMessageAndPrintsNothing) {
    const QString strPath =
        QString::fromStdString((m_dir.Path() / "no such folder" / "out.pdf").string());
    m_pPrinter->Printer().setOutputFileName(strPath);
    const auto pImage = MakePattern<CDisplayBitmap>(4, 3, 32);
    EXPECT_EQ(m_pPrinter->PrintImage(*pImage, true), CImagePrinter::EOutcome::Failed);
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(m_boxes.m_shown[0].strText,
              QStringLiteral("Your printer has some trouble. Please check your printer "
                             "settings in the Control Panel window."));
    EXPECT_EQ(m_boxes.m_shown[0].icon, EMsgIcon::Stop);
    EXPECT_FALSE(QFileInfo::exists(strPath));

    // No printer installed: Qt offers PDF output, but with no file chosen that is trouble too.
    m_pPrinter->Printer().setOutputFileName(QString());
    EXPECT_EQ(m_pPrinter->PrintImage(*pImage, true), CImagePrinter::EOutcome::Failed);
    EXPECT_EQ(m_boxes.m_shown.size(), 2u);
}

TEST_F(ImagePrinterTest, EmptyOrEndlessLayoutIsRefusedWithAReason) {
    const auto pImage = MakePattern<CDisplayBitmap>(4, 3, 32);
    m_settings.m_dwPrintMode = 3;
    m_settings.m_sizePrint = {0, 0};
    EXPECT_EQ(m_pPrinter->PrintImage(*pImage, true), CImagePrinter::EOutcome::Failed);
    m_settings.m_sizePrint = {2000000000, 2000000000};
    EXPECT_EQ(m_pPrinter->PrintImage(*pImage, true), CImagePrinter::EOutcome::Failed);
    ASSERT_EQ(m_boxes.m_shown.size(), 2u);
    EXPECT_TRUE(m_boxes.m_shown[0].strText.contains(QStringLiteral("nothing to print")));
    EXPECT_TRUE(m_boxes.m_shown[1].strText.contains(QStringLiteral("pages")));
    EXPECT_FALSE(QFileInfo::exists(PdfPath()));
}

TEST_F(ImagePrinterTest, OptionSkipsThePrintDialog) {
    const auto pImage = MakePattern<CDisplayBitmap>(4, 3, 32);
    {
        // Without the option the dialog comes first; cancelling it prints nothing.
        m_settings.m_dwOptionsA &= ~platform::options::kPrintWithoutDialog;
        CModalWatcher watcher;
        EXPECT_EQ(m_pPrinter->PrintImage(*pImage, false), CImagePrinter::EOutcome::Cancelled);
        EXPECT_FALSE(watcher.m_strSeen.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(PdfPath()));
    }
    {
        // With 0x100 printing starts at once on the current printer.
        m_settings.m_dwOptionsA |= platform::options::kPrintWithoutDialog;
        CModalWatcher watcher;
        EXPECT_EQ(m_pPrinter->PrintImage(*pImage, false), CImagePrinter::EOutcome::Printed);
        EXPECT_TRUE(watcher.m_strSeen.isEmpty()) << watcher.m_strSeen.toStdString();
        EXPECT_EQ(PdfPageCount(), 1);
    }
}

TEST_F(ImagePrinterTest, PreviewShowsThePagesOfTheLayout) {
    m_settings.m_dwPrintMode = 3;
    m_settings.m_sizePrint = {4000, 1000};
    const auto pImage = MakePattern<CDisplayBitmap>(8, 2, 32);
    CModalWatcher watcher;
    int nPreviewPages = -1;
    watcher.m_onModal = [&](QWidget* pModal) {
        if (auto* pWidget = pModal->findChild<QPrintPreviewWidget*>(); pWidget != nullptr)
            nPreviewPages = pWidget->pageCount();
        if (auto* pDialog = qobject_cast<QDialog*>(pModal))
            pDialog->reject();
    };
    m_pPrinter->PreviewImage(*pImage);
    EXPECT_EQ(nPreviewPages, 3);
    EXPECT_TRUE(m_boxes.m_shown.empty());
    // The preview draws without writing the printer's file.
    EXPECT_FALSE(QFileInfo::exists(PdfPath()));
    // and needs no printer or file (the PDF fallback Qt takes when no printer is installed).
    m_pPrinter->Printer().setOutputFileName(QString());
    m_settings.m_dwPrintMode = 1;
    nPreviewPages = -1;
    m_pPrinter->PreviewImage(*pImage);
    EXPECT_EQ(nPreviewPages, 1);
    EXPECT_TRUE(m_boxes.m_shown.empty());
}
