// SPDX-License-Identifier: MIT
// The status-bar panes follow the active image window: its depth and size after every
// operation, its own last command, and nothing of an image whose window has closed.
#include "AppFixture.h"

#include "document/TavixCaptureDoc.h"
#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "views/TavixCaptureView.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
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
    EXPECT_GE(Frame().Panes().Pane(0)->width(), metrics.horizontalAdvance(strLongest))
        << strLongest.toStdString();
}
