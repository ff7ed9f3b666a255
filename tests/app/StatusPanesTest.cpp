// SPDX-License-Identifier: MIT
// The status-bar panes follow the active image window: its depth and size after every
// operation, its own last command, and nothing of an image whose window has closed.
#include "AppFixture.h"

#include "app/PaneStatusBar.h"
#include "document/TavixCaptureDoc.h"
#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "views/TavixCaptureView.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QStatusBar>

using namespace apptest;

namespace {

constexpr std::uint32_t kShownOptions = 0x0008167B & ~platform::options::kStartHidden;

} // namespace

TEST_F(AppTest, PanesFollowTheActiveImageAndAreClearedWithoutOne) {
    Start(kShownOptions);
    ASSERT_NE(Open(WritePng(40, 30, QStringLiteral("first.png"))), nullptr);
    QMdiSubWindow* pFirst = Frame().MdiArea()->activeSubWindow();
    ASSERT_TRUE(Run(ID_IMAGE_GRAYSCALE));
    EXPECT_EQ(ActiveView()->Image()->Depth(), 8);
    EXPECT_EQ(Frame().Panes().PaneText(2), QStringLiteral("  Color: 8 Bits"));
    const QString strGray = QStringLiteral("Last command : Convert the image to grayscale picture");
    EXPECT_EQ(Frame().Panes().PaneText(0), strGray);

    // Another image: its own values, and no command of its own yet.
    ASSERT_NE(Open(WritePng(20, 10, QStringLiteral("second.png"))), nullptr);
    EXPECT_EQ(Frame().Panes().PaneText(0), QStringLiteral("Ready"));
    EXPECT_EQ(Frame().Panes().PaneText(2), QStringLiteral("  Color: 32 Bits"));
    EXPECT_EQ(Frame().Panes().PaneText(3), QStringLiteral("  Image Size: (20,10)"));
    ASSERT_TRUE(Run(ID_IMAGE_INVERT));
    const QString strInvert = QStringLiteral("Last command : Invert the image");
    EXPECT_EQ(Frame().Panes().PaneText(0), strInvert);

    // Back to the first: its values and its last command.
    Frame().MdiArea()->setActiveSubWindow(pFirst);
    ProcessEvents();
    EXPECT_EQ(Frame().Panes().PaneText(0), strGray);
    EXPECT_EQ(Frame().Panes().PaneText(2), QStringLiteral("  Color: 8 Bits"));
    EXPECT_EQ(Frame().Panes().PaneText(3), QStringLiteral("  Image Size: (40,30)"));

    // When the last window has closed, nothing of it is left in the panes.
    m_boxes.m_answers = {EMsgResult::No, EMsgResult::No};
    Run(ID_FILE_CLOSE_ALL);
    ASSERT_TRUE(WaitUntil([&] { return m_pApp->DocManager().GetOpenDocumentCount() == 0; }));
    ProcessEvents();
    EXPECT_EQ(Frame().Panes().PaneText(0), QStringLiteral("Ready"));
    for (int nPane = 1; nPane < 4; ++nPane)
        EXPECT_TRUE(Frame().Panes().PaneText(nPane).isEmpty()) << nPane;
}

TEST_F(AppTest, MessagePaneIsWideEnoughForTheLongestCommandPrompt) {
    Start(kShownOptions);
    // As narrow as the window can be made.
    Frame().resize(100, 400);
    ProcessEvents();
    QString strLongest;
    const QFontMetrics metrics(Frame().statusBar()->font());
    for (const QAction* pAction : Frame().findChildren<QAction*>()) {
        if (metrics.horizontalAdvance(pAction->statusTip()) > metrics.horizontalAdvance(strLongest))
            strLongest = pAction->statusTip();
    }
    ASSERT_FALSE(strLongest.isEmpty());
    EXPECT_GE(Frame().Panes().Bar().PaneRect(0).width(), metrics.horizontalAdvance(strLongest))
        << strLongest.toStdString();
}

TEST_F(AppTest, StatusBarPaintsItsPaneRecordsTheProgressPaneAndTheGripWhenNotMaximised) {
    Start(kShownOptions);
    CPaneStatusBar& bar = Frame().Panes().Bar();
    ASSERT_EQ(bar.PaneCount(), 4);
    EXPECT_EQ(bar.PaneText(1), QStringLiteral("  Mouse Position:")); // the standard text
    EXPECT_EQ(bar.GetPaneRecord(0).crText, QColor(Qt::black));
    // A pane's own colours: background, and the shadow colour while disabled.
    CPaneStatusBar::PaneRecord& record = bar.GetPaneRecord(2);
    record.crBack[0] = QColor(10, 200, 30);
    record.crBack[1] = QColor(200, 10, 30);
    bar.update();
    const QRect rc2 = bar.PaneRect(2);
    QImage shot = bar.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(rc2.right() - 2, rc2.center().y())), QColor(10, 200, 30));
    record.bDisabled = true;
    shot = bar.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(rc2.right() - 2, rc2.center().y())), QColor(200, 10, 30));

    // The progress control covers pane 0 and one pixel around it, and goes when done.
    Frame().Panes().SetProgress(0.5);
    ASSERT_NE(bar.ProgressControl(), nullptr);
    EXPECT_EQ(bar.ProgressControl()->geometry(), bar.PaneRect(0).adjusted(-1, -1, 1, 1));
    EXPECT_EQ(bar.ProgressControl()->value(), 50);
    Frame().Panes().SetProgress(1.0);
    EXPECT_EQ(bar.ProgressControl(), nullptr);

    // The grip: drawn in the corner of a window that is not maximised, absent otherwise.
    auto gripPixels = [&] {
        const QImage image = bar.grab().toImage();
        const QColor face = bar.palette().color(QPalette::Window);
        int nPixels = 0;
        // The grip's lines start on the bar's bottom row, which the panes leave alone.
        for (int i = 1; i <= CPaneStatusBar::kGripSize; ++i)
            nPixels += QColor(image.pixel(image.width() - 1 - i, image.height() - 1)) != face;
        return nPixels;
    };
    EXPECT_TRUE(bar.IsGripShown());
    EXPECT_GT(gripPixels(), 3);
    Frame().showMaximized();
    ASSERT_TRUE(WaitUntil([&] { return Frame().isMaximized(); }));
    EXPECT_FALSE(bar.IsGripShown());
    EXPECT_EQ(gripPixels(), 0);
}

TEST_F(AppTest, StatusBarWithoutPanesSaysItCannotBeMade) {
    Start(kShownOptions);
    QMainWindow window;
    auto* pBar = new CPaneStatusBar(&window);
    EXPECT_FALSE(pBar->CreateStatusBar(m_pApp->Ui(), &window, {}, 0));
    ASSERT_FALSE(m_boxes.m_shown.empty());
    EXPECT_EQ(m_boxes.m_shown.back().strText, QStringLiteral("Unable to create Statusbar."));
}
