// SPDX-License-Identifier: MIT
// Selecting, dragging and the clipboard in an image window on a real X server, driven with
// XTest as a person would: a rubber band, Ctrl+C read back by another program, an image another
// program copied pasted, dragged and merged, Ctrl-drag copying and a plain drag moving.
#include "AppFixture.h"

#include "document/TavixCaptureDoc.h"
#include "framework/CommandIds.h"
#include "image/DisplayBitmap.h"
#include "support/XClient.h"
#include "views/TavixCaptureView.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QProcess>
#include <QUrl>

#include <X11/keysym.h>

#include <cstdlib>

using namespace apptest;

namespace {

constexpr std::uint32_t kShownOptions = 0x0008167B & ~0x2u;
constexpr QRgb kImageBackground = 0xFFC0C0C0; // "ColorImageBackground" by default

std::string Display() {
    const char* psz = std::getenv("DISPLAY");
    return psz != nullptr ? psz : "";
}

QImage Picture(int nWidth, int nHeight, int nSalt) {
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            image.setPixel(x, y, qRgb((x * 5 + nSalt) & 0xFF, (y * 7 + nSalt) & 0xFF, 0x31));
    return image;
}

QRgb DocPixel(const CTavixCaptureDoc& doc, int x, int y) {
    const RGBQuad q = doc.GetImage()->Row<RGBQuad>(y)[x];
    return qRgb(q.red, q.green, q.blue);
}

// How many pixels of rc in the document differ from image shifted by (dx, dy) (the pixel at
// (x, y) of the document against (x - dx, y - dy) of image).
int Differences(const CTavixCaptureDoc& doc, const QImage& image, const QRect& rc, int dx = 0,
                int dy = 0) {
    int nDiff = 0;
    for (int y = rc.top(); y <= rc.bottom(); ++y)
        for (int x = rc.left(); x <= rc.right(); ++x)
            nDiff += DocPixel(doc, x, y) != image.pixel(x - dx, y - dy) ? 1 : 0;
    return nDiff;
}

class ImageSelectionTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Start(kShownOptions);
        Frame().show();
        Frame().activateWindow();
        m_original = Picture(200, 150, 0);
        m_pDoc = NewDocument(m_original);
        ASSERT_NE(m_pDoc, nullptr);
        m_pView = ActiveView();
        ASSERT_NE(m_pView, nullptr);
        ASSERT_TRUE(WaitUntil([this] {
            return m_pView->isVisible() && QApplication::focusWidget() == m_pView &&
                   m_pView->window()->isActiveWindow();
        }));
        m_pClient = std::make_unique<testsupport::CXClient>(Display());
    }

    void TearDown() override {
        m_pClient.reset();
        // Takes the clipboard back from any xclip still serving it, so that it ends.
        QApplication::clipboard()->setText(QStringLiteral("done"));
        ProcessEvents();
        AppTest::TearDown();
    }

    // Where image pixel pt shows on the screen.
    QPoint OnScreen(QPoint pt) const {
        return m_pView->viewport()->mapToGlobal(m_pView->ImageToView(pt));
    }

    // Press at a, move there in steps, release at b, as a person drags.
    void DragOnImage(QPoint a, QPoint b) {
        PressAndMove(a, b);
        m_pClient->ButtonUp(1);
        m_pClient->Sync();
        ASSERT_TRUE(WaitUntil([this] { return !m_pView->Editor().IsTracking(); }));
        ProcessEvents();
    }

    void PressAndMove(QPoint a, QPoint b) {
        const QPoint ptA = OnScreen(a), ptB = OnScreen(b);
        m_pClient->MoveTo(ptA.x(), ptA.y());
        m_pClient->Sync();
        ASSERT_TRUE(WaitUntil([this, a] {
            return m_pView->viewport()->mapFromGlobal(QCursor::pos()) == m_pView->ImageToView(a);
        }));
        m_pClient->ButtonDown(1);
        m_pClient->Sync();
        ASSERT_TRUE(WaitUntil([this] { return m_pView->Editor().IsTracking(); }));
        for (int i = 1; i <= 4; ++i)
            m_pClient->MoveTo(ptA.x() + (ptB.x() - ptA.x()) * i / 4,
                              ptA.y() + (ptB.y() - ptA.y()) * i / 4);
        m_pClient->Sync();
        // The status bar shows where the view saw the pointer last.
        ASSERT_TRUE(WaitUntil([this, b] {
            return Frame().Panes().PaneText(IImageViewHost::PaneMousePosition) ==
                   CTavixCaptureView::MousePositionText(b);
        }));
    }

    void Select(QRect rc) {
        if (m_pView->Mode() != CTavixCaptureView::ModeSelect) {
            ASSERT_TRUE(Run(ID_VIEW_SELECT_REGION));
        }
        DragOnImage(rc.topLeft(), rc.topLeft() + QPoint(rc.width(), rc.height()));
        ASSERT_EQ(m_pView->Selection(), rc);
    }

    void Keys(std::initializer_list<uint32_t> keysyms) {
        m_pClient->Chord(keysyms);
        m_pClient->Sync();
    }

    // Runs another program to its end while this one keeps serving the clipboard.
    QByteArray RunBeside(const QStringList& args, const QByteArray& input = {}) {
        QProcess process;
        process.start(args.front(), args.mid(1));
        if (!process.waitForStarted(5000))
            return {};
        if (!input.isEmpty())
            process.write(input);
        process.closeWriteChannel();
        EXPECT_TRUE(WaitUntil([&] { return process.state() == QProcess::NotRunning; }, 10000));
        return process.readAllStandardOutput();
    }

    // Another program copies data of mime type strType to the clipboard and keeps serving it.
    void OtherProgramCopies(const QString& strType, const QByteArray& data) {
        RunBeside({"xclip", "-selection", "clipboard", "-t", strType, "-i"}, data);
        ASSERT_TRUE(WaitUntil([] { return !QApplication::clipboard()->ownsClipboard(); }));
        ASSERT_TRUE(WaitUntil([this] { return IsEnabled(ID_EDIT_PASTE); }));
    }

    QImage m_original;
    CTavixCaptureDoc* m_pDoc = nullptr;
    CTavixCaptureView* m_pView = nullptr;
    std::unique_ptr<testsupport::CXClient> m_pClient;
};

QByteArray Encoded(const QImage& image, const char* pszFormat) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, pszFormat, 100);
    return data;
}

} // namespace

TEST_F(ImageSelectionTest, RubberBandSelectsAndCtrlCGivesOtherProgramsPngAndBmp) {
    EXPECT_FALSE(IsEnabled(ID_EDIT_COPY));
    Select(QRect(10, 12, 40, 30));
    EXPECT_TRUE(IsEnabled(ID_EDIT_COPY));
    QApplication::clipboard()->clear();
    Keys({XK_Control_L, XK_c});
    ASSERT_TRUE(WaitUntil([] { return QApplication::clipboard()->ownsClipboard(); }));

    const QByteArray targets =
        RunBeside({"xclip", "-selection", "clipboard", "-t", "TARGETS", "-o"});
    EXPECT_TRUE(targets.contains("image/png")) << targets.constData();
    EXPECT_TRUE(targets.contains("image/bmp")) << targets.constData();
    for (const char* pszType : {"image/png", "image/bmp"}) {
        const QImage copied =
            QImage::fromData(RunBeside({"xclip", "-selection", "clipboard", "-t", pszType, "-o"}));
        ASSERT_EQ(copied.size(), QSize(40, 30)) << pszType;
        int nDiff = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                nDiff +=
                    (copied.pixel(x, y) & 0xFFFFFF) != (m_original.pixel(10 + x, 12 + y) & 0xFFFFFF)
                        ? 1
                        : 0;
        EXPECT_EQ(nDiff, 0) << pszType;
    }
    EXPECT_FALSE(m_pDoc->CanUndo()); // copying changed nothing
}

TEST_F(ImageSelectionTest, PastedImageDragsAndMergesAsOneUndoStep) {
    const QImage pasted = Picture(30, 20, 0x80);
    OtherProgramCopies(QStringLiteral("image/png"), Encoded(pasted, "PNG"));
    Keys({XK_Control_L, XK_v});
    ASSERT_TRUE(WaitUntil([this] { return m_pView->Editor().Floating() != nullptr; }));
    EXPECT_EQ(m_pView->Selection(), QRect(0, 0, 30, 20));
    EXPECT_FALSE(m_pDoc->CanUndo()); // floating: not in the image yet

    DragOnImage(QPoint(5, 5), QPoint(45, 35)); // to (40, 30)
    EXPECT_EQ(m_pView->Selection(), QRect(40, 30, 30, 20));
    EXPECT_FALSE(m_pDoc->CanUndo());
    // A click outside merges it.
    DragOnImage(QPoint(150, 120), QPoint(150, 120));
    ASSERT_EQ(m_pView->Editor().Floating(), nullptr);
    EXPECT_EQ(Differences(*m_pDoc, pasted, QRect(40, 30, 30, 20), 40, 30), 0);
    EXPECT_EQ(Differences(*m_pDoc, m_original, QRect(0, 0, 40, 150)), 0);
    EXPECT_TRUE(m_pView->Selection().isEmpty());

    // Exactly one step: one undo brings the whole image back, and there is no other.
    ASSERT_TRUE(m_pDoc->CanUndo());
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    EXPECT_EQ(Differences(*m_pDoc, m_original, QRect(0, 0, 200, 150)), 0);
    EXPECT_FALSE(m_pDoc->CanUndo());
}

TEST_F(ImageSelectionTest, BmpJpegAndFileListsFromOtherProgramsPaste) {
    const QImage pasted = Picture(24, 16, 0x40);
    const auto path = Root() / "copied.png";
    ASSERT_TRUE(pasted.save(QString::fromStdString(path.string())));
    const QByteArray uri = QUrl::fromLocalFile(QString::fromStdString(path.string())).toEncoded();
    const std::pair<QString, QByteArray> offers[] = {
        {QStringLiteral("image/bmp"), Encoded(pasted, "BMP")},
        {QStringLiteral("image/jpeg"), Encoded(pasted, "JPEG")},
        {QStringLiteral("text/uri-list"), uri + "\r\n"},
    };
    for (const auto& [strType, data] : offers) {
        OtherProgramCopies(strType, data);
        ASSERT_TRUE(Run(ID_EDIT_PASTE)) << strType.toStdString();
        const CImageBitmap* pFloating = m_pView->Editor().Floating();
        ASSERT_NE(pFloating, nullptr) << strType.toStdString();
        EXPECT_EQ(pFloating->Width(), 24);
        EXPECT_EQ(pFloating->Height(), 16);
        const RGBQuad q = pFloating->Row<RGBQuad>(9)[7];
        // JPEG is lossy: near the colour is enough there.
        const int nTolerance = strType == QStringLiteral("image/jpeg") ? 12 : 0;
        EXPECT_LE(std::abs(int(q.red) - qRed(pasted.pixel(7, 9))), nTolerance);
        EXPECT_LE(std::abs(int(q.green) - qGreen(pasted.pixel(7, 9))), nTolerance);
    }
    // Paste As New Image takes the same clipboard.
    ASSERT_TRUE(Run(ID_EDIT_PASTE_AS_NEW));
    ASSERT_TRUE(WaitUntil([this] { return ActiveView() != m_pView; }));
    EXPECT_EQ(ActiveView()->ImageSize(), QSize(24, 16));
}

TEST_F(ImageSelectionTest, CtrlDragCopiesAndAPlainDragLeavesTheBackgroundColour) {
    Select(QRect(10, 10, 20, 20));
    m_pClient->KeyDown(XK_Control_L);
    DragOnImage(QPoint(15, 15), QPoint(65, 15)); // a copy at (60, 10)
    m_pClient->KeyUp(XK_Control_L);
    m_pClient->Sync();
    EXPECT_EQ(Differences(*m_pDoc, m_original, QRect(10, 10, 20, 20)), 0);
    EXPECT_EQ(Differences(*m_pDoc, m_original, QRect(60, 10, 20, 20), 50, 0), 0);
    EXPECT_EQ(m_pView->Selection(), QRect(60, 10, 20, 20));

    Select(QRect(100, 10, 20, 20));
    PressAndMove(QPoint(105, 15), QPoint(105, 55)); // to (100, 50)
    // While dragging, the place the pixels left shows the background colour on the screen.
    const QImage shot = m_pView->viewport()->grab().toImage();
    EXPECT_EQ(shot.pixel(m_pView->ImageToView(QPoint(110, 20))), kImageBackground);
    EXPECT_EQ(shot.pixel(m_pView->ImageToView(QPoint(110, 60))), m_original.pixel(110, 20));
    m_pClient->ButtonUp(1);
    m_pClient->Sync();
    ASSERT_TRUE(WaitUntil([this] { return !m_pView->Editor().IsTracking(); }));
    EXPECT_EQ(DocPixel(*m_pDoc, 110, 20), kImageBackground);
    EXPECT_EQ(DocPixel(*m_pDoc, 119, 29), kImageBackground);
    EXPECT_EQ(Differences(*m_pDoc, m_original, QRect(100, 50, 20, 20), 0, 40), 0);
}
